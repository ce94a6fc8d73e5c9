#pragma once
// Shows one of the logic's pictures and repaints it when it has changed.

#include "app/canvas.h"

#include <QWidget>
#include <functional>

namespace blokpost {

class CanvasView : public QWidget {
public:
    CanvasView(const Canvas& canvas, QWidget* parent, bool sizeToPicture = true);

    void sync();
    // Called on a press of any mouse button.
    std::function<void()> onPress;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Canvas& canvas_;
    bool sizeToPicture_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};
};

}  // namespace blokpost
