#pragma once
// A round indicator of the grid window: a small circle with a thin black
// outline, filled with the colour the logic keeps for it.

#include "app/canvas.h"

#include <QWidget>
#include <functional>

namespace blokpost {

class IndicatorShape : public QWidget {
public:
    IndicatorShape(const Colour& fill, QWidget* parent);

    void sync();
    // Called on a press of any mouse button.
    std::function<void()> onPress;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Colour& fill_;
    Colour shown_;
};

}  // namespace blokpost
