#pragma once
// The running program: the board, the state and the windows, created in the
// order Form1..Form20 (then the board simulator, Form21, and the lines,
// Form22) and kept until the program ends.

#include "base/forms/message_box_reporter.h"
#include "board/board.h"
#include "desk/forms/window_host.h"
#include "scan/auto_trains.h"
#include "state/program_state.h"
#include "watch/line_watch.h"
#include "web/web_view.h"

#include <QString>
#include <array>
#include <memory>

namespace blokpost {

class Window;
class DriverBoard;
class Desk;

class BlokpostApp final : public WindowHost {
public:
    // `root` is the installation folder that all paths are relative to.
    // A test passes its own reporter and board; the program uses message boxes
    // and the board it finds in the data folder.
    explicit BlokpostApp(const QString& root, Reporter* reporter = nullptr, std::unique_ptr<Board> board = {});
    ~BlokpostApp();

    ProgramState& state() override { return *state_; }
    // Form1..Form22, and the Controle list as Form23.
    Window* form(int number) const { return forms_.at(static_cast<std::size_t>(number)).get(); }
    template <class T>
    T* formAs(int number) const { return static_cast<T*>(form(number)); }
    // Shows a window; the first time where the desk places it.
    void showForm(int number) override;
    void bringIntoView(Window& window, QWidget& part) override;
    Desk& desk() { return *desk_; }

    // Shows the main window maximised and starts the cycle.
    void start();
    // A second start on the folder: the main window comes to the front.
    void bringToFront();
    // One tick of the main cycle, then the simulated layout's time passes
    // (pulsed sensors, trains that drive themselves) and the windows are
    // brought up to date.
    void tick();
    void syncAll() override;

    // The program's own driver, or null when a board library is in use.
    DriverBoard* driverBoard() const override { return driver_; }
    // "Automatisch rijden": trains on the simulated board; they drive only while the simulation serves.
    AutoTrains& autoTrains() override { return autoTrains_; }
    // What each line waits for, and the lines that stalled.
    const LineWatch& lineWatch() const { return lineWatch_; }
    // The view in the browser, off until the operator switches it on in its window.
    WebView& webView() { return webView_; }
    void showBrowserWindow();

private:
    MessageBoxReporter messageBoxes_;
    std::unique_ptr<Board> board_;
    DriverBoard* driver_ = nullptr;
    std::unique_ptr<ProgramState> state_;
    AutoTrains autoTrains_;
    LineWatch lineWatch_;
    std::array<std::unique_ptr<Window>, 24> forms_;
    WebView webView_{*this, lineWatch_};
    std::unique_ptr<Window> browserWindow_;
    // Destroyed before the windows: it saves their places when the program ends.
    std::unique_ptr<Desk> desk_;
};

}  // namespace blokpost
