#include "base/forms/guarded_application.h"

#include "base/reporter.h"

#include <cstdio>

namespace blokpost {

GuardedApplication* GuardedApplication::instance() {
    return dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        report(unexpectedFailureMessage(&error));
    } catch (...) {
        report(unexpectedFailureMessage(nullptr));
    }
    return false;
}

void GuardedApplication::report(const std::string& text) {
    // Reporting may itself fail when memory has run out; the event loop goes on regardless.
    try {
        if (reporter_) {
            reporter_->message(text);
            return;
        }
    } catch (...) {
    }
    std::fprintf(stderr, "Blokpost: %s\n", text.c_str());
}

}  // namespace blokpost
