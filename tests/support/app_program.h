#pragma once
// A whole program with its windows over a temporary installation folder, as
// the window, cycle and board tests run it: on the board of the test's
// choice (a recording one unless given), the cycle driven tick by tick.

#include "app/forms/blokpost_app.h"
#include "support/test_program.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace blokpost::test {

class AppProgram {
public:
    // Started at once. `beforeTick` runs before every tick: a fake board's
    // clock moving on, or the event loop until the tick is due.
    explicit AppProgram(std::unique_ptr<Board> board = nullptr, std::function<void()> beforeTick = {});
    // Not started yet: the test fills the folder first, or starts and closes it more than once.
    struct Later {};
    explicit AppProgram(Later) {}

    void start(std::unique_ptr<Board> board = nullptr);
    void close() { app.reset(); }

    ProgramState& state() { return app->state(); }
    template <class T>
    T* form(int number) const { return app->formAs<T>(number); }
    // The program's own driver, or null on a recording board.
    DriverBoard* driver() const { return app->driverBoard(); }

    void tick();
    void ticks(int n);
    // Ticks until the cycle has finished phase `phase`.
    void runThroughPhase(int phase);
    // The sensors the model reads on, in order.
    std::vector<int> sensorsOn();

    void writeFile(const std::string& relative, const std::string& contents) const {
        writeFileIn(folder, relative, contents);
    }
    void writePicture(const std::string& relative, int width, int height, unsigned colour = 0xFFFFFF) const {
        writePictureIn(folder, relative, width, height, colour);
    }

    QTemporaryDir folder;
    RecordingReporter reporter;
    std::function<void()> beforeTick;
    std::unique_ptr<BlokpostApp> app;
};

}  // namespace blokpost::test
