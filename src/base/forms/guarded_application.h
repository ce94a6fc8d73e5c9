#pragma once
// The program's QApplication. Every event (a tick of the cycle, a click, a
// repaint) is delivered through notify(); an exception that escapes its
// handler is reported there and the event loop carries on, so nothing but
// "Exit" ends the program.

#include <QApplication>

namespace blokpost {

class Reporter;

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Where escaped exceptions are reported; none (null) writes them to stderr.
    void reportTo(Reporter* reporter) { reporter_ = reporter; }
    static GuardedApplication* instance();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void report(const std::string& text);

    Reporter* reporter_ = nullptr;
};

}  // namespace blokpost
