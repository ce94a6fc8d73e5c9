#pragma once
// Form1, the main window: the track plan full-screen with the pin and sensor
// drawings laid over it, the button row that opens every other window, the
// line buttons, and Timer1, which drives the main cycle.

#include "base/forms/canvas_view.h"
#include "desk/forms/window.h"

#include "app/cycle_timer.h"

#include <array>
#include <functional>

class QPushButton;

namespace blokpost {

class BlokpostApp;

class TForm1 : public Window {
public:
    explicit TForm1(BlokpostApp& app);
    void sync() override;
    void startTimer1();

    // What the windows opened over the main window keep clear of, in its own coordinates.
    QRect buttonRowArea() const;
    QRect trackPlanArea() const;
    // The places of all eight line buttons, shown or not: the layout may show any of them.
    QRect lineButtonsArea() const;
    // The left parts of the line buttons that show their longest caption
    // ("Start Lijn A", centred on the button) whole.
    QRect lineButtonCaptionsArea() const;

    // Image1..Image83, [0] unused; controls of layout elements 0..82.
    std::array<CanvasView*, 84> Image{};
    // Button6..Button13 for lines 1..8, [0] unused.
    std::array<QPushButton*, 9> lineButton{};
    QPushButton* Button14 = nullptr;
    QPushButton* Button15 = nullptr;
    CycleTimer Timer1;
    // Ends the program; a test puts its own here.
    std::function<void()> quit;

protected:
    // Only "Exit" ends the program: a close asked by the window manager (Alt+F4
    // on the full-screen track plan) would stop the layout in the middle of a
    // day. The program's own quit closes its windows too, and that close is let through.
    void closeEvent(QCloseEvent* event) override;

private:
    // "Exit": while lines run, the first press asks, without stopping the
    // layout; the next press ends the program.
    void exitPressed();
    QPushButton* addButton(const QString& caption, int x, int width, const std::function<void()>& action);
    QWidget* elementControl(int element) const;
    // A stalled line's button turns red while the stall lasts.
    void showMarks();

    BlokpostApp& app_;
    CanvasView* Image84;
    QRect buttonRow_;
    // Ticks left in which a second "Exit" ends the program; after that it asks again.
    int exitArmedTicks_ = 0;
    int seenPhase_ = 0;
    std::array<bool, 9> markShown_{};
};

}  // namespace blokpost
