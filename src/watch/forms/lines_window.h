#pragma once
// "Lijnen": one row per line that has steps, saying whether it runs, is
// stopped or waits for its departure; how long it has been on its current
// step; the step in words; and what the watch noticed, in words, or else what
// is usual on this step. A stalled line's row turns red, a line left waiting
// on a memory that no running line sets yellow. Read-only: it only shows.

#include "desk/forms/window.h"
#include "state/model.h"

#include <array>

class QLabel;

namespace blokpost {

class LineWatch;

class LinesWindow : public Window {
public:
    LinesWindow(WindowHost& host, const LineWatch& watch);
    // Only while shown: a hidden window costs the tick nothing.
    void sync() override;

private:
    struct Row {
        QWidget* panel = nullptr;
        QLabel* letter = nullptr;
        QLabel* state = nullptr;
        QLabel* since = nullptr;  // how long on this step
        QLabel* words = nullptr;  // the step's number and what it does or waits for
        QLabel* note = nullptr;   // what the watch noticed, else the usual time
        int shownMark = -1;
    };
    void addRow(int index);

    const LineWatch& watch_;
    std::array<Row, kLines> rows_{};
};

}  // namespace blokpost
