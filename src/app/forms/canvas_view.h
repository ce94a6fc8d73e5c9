#pragma once
// Shows one of the logic's pictures and repaints it when it has changed.

#include "app/canvas.h"

#include <QWidget>
#include <functional>

namespace blokpost {

// A control that answers a press of any mouse button, as the designed
// pictures and shapes do (they react on the press, not on a click).
class PressArea : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> onPress;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class CanvasView : public PressArea {
public:
    CanvasView(const Canvas& canvas, QWidget* parent, bool sizeToPicture = true);

    void sync();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Canvas& canvas_;
    bool sizeToPicture_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
};

}  // namespace blokpost
