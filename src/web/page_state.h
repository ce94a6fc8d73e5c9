#pragma once
// The state as the browser's pages show it: every line with what it waits
// for and since when, the model clock, the sensors as the hold indicators
// show them, the memories and green flags, the departure boards and the last
// logbook lines. Made as one JSON text, the same for every page.

#include "state/model.h"

#include <QByteArray>
#include <array>
#include <cstdint>

namespace blokpost {

struct ProgramState;

// When each line came onto the step it is on, in layout seconds; kept by
// looking after every tick and handler.
class StepTimes {
public:
    void notice(const ProgramState& state);
    std::int64_t since(int line) const { return since_[static_cast<std::size_t>(line)]; }

private:
    std::array<int, kLines + 1> step_{};
    std::array<std::int64_t, kLines + 1> since_{};
    bool first_ = true;
};

// The model clock in seconds since its midnight.
std::int64_t layoutSeconds(const ProgramState& state);
// What a line at `step` is doing, in the operator's words.
std::string stepInWords(const ProgramState& state, int line);
// Which lines the operator may stop and start from the browser: those whose
// button the main window shows, as the laptop offers them.
bool lineHasButton(const ProgramState& state, int line);

QByteArray pageStateJson(const ProgramState& state, const StepTimes& times);

}  // namespace blokpost
