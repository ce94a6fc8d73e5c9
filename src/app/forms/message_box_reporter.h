#pragma once

#include "app/reporter.h"

#include <QPointer>
#include <QMessageBox>
#include <map>
#include <string>

namespace blokpost {

// Shows the operator's messages in message boxes. A message does not block:
// the layout keeps running while it stands open, and the same text is not
// opened a second time while its box is still showing. Questions are modal.
class MessageBoxReporter : public Reporter {
public:
    void message(const std::string& text) override;
    bool confirm(const std::string& question) override;

private:
    std::map<std::string, QPointer<QMessageBox>> open_;
};

}  // namespace blokpost
