#pragma once
// Shows one of the logic's pictures and repaints it when it has changed.

#include "base/canvas.h"

#include <QWidget>
#include <functional>

namespace blokpost {

// A control that answers a press of any mouse button (the grid's cells and
// indicators react on the press), or only a left click: pressed and released
// on the control with the left button (the pin drawings, which switch the layout).
class PressArea : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> onPress;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool leftPressed_ = false;
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
