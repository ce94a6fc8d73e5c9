#pragma once
// "Controle": the findings of the check, worst first. A click on a finding
// asks the grid to mark the cell it is about. The window never blocks: it
// opens beside the grid while the layout keeps running.

#include "check/controle.h"
#include "desk/forms/window.h"

#include <functional>
#include <vector>

class QLabel;
class QListWidget;

namespace blokpost {

class ControleWindow : public Window {
public:
    explicit ControleWindow(WindowHost& app);

    void setFindings(std::vector<Finding> findings);
    const std::vector<Finding>& findings() const { return findings_; }

    // The finding the operator clicked: its line and step (0 = the line as a whole).
    std::function<void(int line, int step)> onChoose;

    QLabel* summary = nullptr;
    QListWidget* list = nullptr;

private:
    std::vector<Finding> findings_;
};

// "2 fouten, 1 waarschuwing, geen opmerkingen", then the first fout: which line and what.
QString controleSummary(const std::vector<Finding>& findings);

}  // namespace blokpost
