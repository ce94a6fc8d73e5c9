#pragma once
// Debian's headless Chromium, driven over its DevTools protocol: a page is
// opened, read and clicked as an operator would, while the program under
// test serves it from the same event loop.

#include "support/test_program.h"

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QWebSocket>

namespace blokpost::test {

class Chromium {
public:
    Chromium();
    ~Chromium();
    bool ready() const { return !session_.isEmpty(); }

    void open(const QString& url);
    // The value of a JavaScript expression in the page, as text.
    QString evaluate(const QString& expression);
    // Waits until the expression is true in the page; false when it never became so.
    bool waitFor(const QString& expression);

private:
    QJsonObject call(const QString& method, const QJsonObject& params, bool inPage = true);

    QTemporaryDir profile_;
    QProcess process_;
    QWebSocket devtools_;
    QString session_;
    int nextId_ = 1;
};

}  // namespace blokpost::test
