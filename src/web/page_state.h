#pragma once
// The state as the browser's pages show it: every line as the line watch
// sees it (what it waits for, how long, what is usual, its mark), the model clock, the sensors as the hold indicators
// show them, the memories and green flags, the departure boards and the last
// logbook lines. Made as one JSON text, the same for every page.

#include <QByteArray>

namespace blokpost {

struct ProgramState;
class LineWatch;

// Which lines the operator may stop and start from the browser: those whose
// button the main window shows, as the laptop offers them.
bool lineHasButton(const ProgramState& state, int line);

QByteArray pageStateJson(const ProgramState& state, const LineWatch& watch);

}  // namespace blokpost
