#pragma once
// What a window asks of the program that holds it: the shared state, the
// other windows to open, the refresh after a handler, and the simulated
// board's controls. The application answers it; a window of a subsystem
// needs nothing more of the program above it.

class QWidget;

namespace blokpost {

struct ProgramState;
class Window;
class DriverBoard;
class AutoTrains;

class WindowHost {
public:
    virtual ProgramState& state() = 0;
    // Shows window Form`number`; the first time where the desk places it.
    virtual void showForm(int number) = 0;
    // Shows `part` of `window` to the operator: scrolled clear of the small
    // windows, and the windows opened from `window` moved off it.
    virtual void bringIntoView(Window& window, QWidget& part) = 0;
    // Copies what the logic changed onto every window's controls.
    virtual void syncAll() = 0;
    // The program's own driver, or null when a board library is in use.
    virtual DriverBoard* driverBoard() const = 0;
    // "Automatisch rijden": trains on the simulated board.
    virtual AutoTrains& autoTrains() = 0;

protected:
    ~WindowHost() = default;
};

}  // namespace blokpost
