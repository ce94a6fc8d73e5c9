#pragma once
// A round indicator of the grid window: a small circle with a thin black
// outline, filled with the colour the logic keeps for it.

#include "base/canvas.h"
#include "base/forms/canvas_view.h"

namespace blokpost {

class IndicatorShape : public PressArea {
public:
    IndicatorShape(const Colour& fill, QWidget* parent);

    void sync();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Colour& fill_;
    Colour shown_;
};

}  // namespace blokpost
