#include "support/app_program.h"

namespace blokpost::test {

AppProgram::AppProgram(std::unique_ptr<Board> board, std::function<void()> beforeEachTick)
    : beforeTick(std::move(beforeEachTick)) {
    start(std::move(board));
}

void AppProgram::start(std::unique_ptr<Board> board) {
    if (!board) board = std::make_unique<RecordingBoard>();
    app = std::make_unique<BlokpostApp>(folder.path(), &reporter, std::move(board));
}

void AppProgram::tick() {
    if (beforeTick) beforeTick();
    app->tick();
}

void AppProgram::ticks(int n) {
    for (int i = 0; i < n; ++i) tick();
}

void AppProgram::runThroughPhase(int phase) {
    do tick();
    while (state().cycle.Phase != phase);
}

std::vector<int> AppProgram::sensorsOn() {
    std::vector<int> on;
    for (int s = 1; s <= kSensors; ++s)
        if (state().model.SensorState[s] == 1) on.push_back(s);
    return on;
}

}  // namespace blokpost::test
