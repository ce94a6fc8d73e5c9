#pragma once
// What every window of the program shares: its fixed client size, the
// designed look (Tahoma, gray), and sync(), which copies the logic's view
// state onto the controls after every tick and every handler.

#include <QWidget>
#include <functional>

namespace blokpost {

class BlokpostApp;
struct ProgramState;

class Window : public QWidget {
public:
    enum class Frame { Borderless, FixedDialog };
    Window(BlokpostApp& app, const QString& caption, int clientWidth, int clientHeight, Frame frame);

    // Copies what the logic changed onto the controls.
    virtual void sync() {}
    // Makes the window visible without blocking the others.
    void showWindow();

protected:
    ProgramState& state();
    // Runs an operator's handler, then refreshes every window.
    void handle(const std::function<void()>& handler);

    BlokpostApp& app_;
};

// Designed fonts: Tahoma at a pixel size, bold where the windows use bold.
QFont designedFont(int pixelSize, bool bold);
void setBackground(QWidget* widget, const QColor& colour);

}  // namespace blokpost
