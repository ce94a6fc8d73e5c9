#pragma once

#include "base/reporter.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <map>
#include <string>
#include <vector>

namespace blokpost {

// Shows the operator's messages in message boxes. A message does not block:
// the layout keeps running while it stands open, and the same text is not
// opened a second time while its box is still showing. Questions are modal.
//
// Every box stands on top of the main window (it belongs to it, so no window
// manager puts the maximised main window over it). A message raised before
// the main window is shown, such as a refused board library at start, waits
// and opens once the main window is up, instead of being buried under it.
class MessageBoxReporter : public QObject, public Reporter {
public:
    // The window the boxes stand above; messages wait until it is shown.
    void keepAbove(QWidget* mainWindow);

    void message(const std::string& text) override;
    bool confirm(const std::string& question) override;

    // Messages waiting for the main window to be shown.
    const std::vector<std::string>& waiting() const { return waiting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const std::string& text);
    void showWaiting();

    QPointer<QWidget> mainWindow_;
    std::vector<std::string> waiting_;
    std::map<std::string, QPointer<QMessageBox>> open_;
};

}  // namespace blokpost
