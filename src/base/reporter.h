#pragma once
// Every message to the operator goes through one reporter: the windows show a
// message box, tests record the texts.

#include <stdexcept>
#include <string>

namespace blokpost {

class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void message(const std::string& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const std::string& question) = 0;
};

// Drops every message and answers OK: for the tools that run the logic
// unattended (benchmarks, fuzzers, screenshots).
class SilentReporter : public Reporter {
public:
    void message(const std::string&) override {}
    bool confirm(const std::string&) override { return true; }
};

// A failed file or picture operation. It stops the running handler at the
// point of failure; the handler's caller reports what() to the operator.
class OperationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the operator is told when a handler or a tick was stopped by anything
// else (running out of memory, a fault of the program); the program carries
// on. `error` is null for an exception that is no std::exception.
std::string unexpectedFailureMessage(const std::exception* error);

}  // namespace blokpost
