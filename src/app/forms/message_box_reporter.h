#pragma once

#include "app/reporter.h"

namespace blokpost {

// Shows the operator's messages in modal boxes.
class MessageBoxReporter : public Reporter {
public:
    void message(const std::string& text) override;
    bool confirm(const std::string& question) override;
};

}  // namespace blokpost
