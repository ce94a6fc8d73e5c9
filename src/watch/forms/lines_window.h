#pragma once
// "Lijnen": one row per line that has steps, saying whether it runs, is
// stopped or waits for its departure; its current step in words; how long it
// has been on that step and what is usual there; and, in words, what the
// watch noticed. A stalled line's row turns red. Read-only: it only shows.

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
        std::array<QLabel*, 6> cells{};  // letter, state, step, words, since, usual
        QLabel* note = nullptr;
        int shownMark = -1;
    };
    void addRow(int index);

    const LineWatch& watch_;
    std::array<Row, kLines> rows_{};
};

}  // namespace blokpost
