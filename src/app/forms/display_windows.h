#pragma once
// The small display windows that stand beside the main window: the two
// meters, the eight departure boards and the clock. Each shows one picture
// that the logic draws.

#include "base/forms/canvas_view.h"
#include "desk/forms/window.h"

namespace blokpost {

class BlokpostApp;

class PictureWindow : public Window {
public:
    PictureWindow(BlokpostApp& app, const QString& caption, const Canvas& picture);
    void sync() override { view_->sync(); }

protected:
    CanvasView* view_;
};

// Form6 and Form7: a meter, captioned with its name.
class TMeterForm : public PictureWindow {
public:
    TMeterForm(BlokpostApp& app, int meter);
    void sync() override;

private:
    int meter_;
};

// Form8..Form15: the departure board of one line.
class TBoardForm : public PictureWindow {
public:
    TBoardForm(BlokpostApp& app, int line);
};

// Form16: the clock, drawn only while it is shown.
class TClockForm : public PictureWindow {
public:
    explicit TClockForm(BlokpostApp& app);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

}  // namespace blokpost
