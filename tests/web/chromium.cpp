#include "web/chromium.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <unistd.h>

namespace blokpost::test {

bool spinUntil(const std::function<bool()>& done, int deadlineMs) {
    QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

Chromium::Chromium() {
    QStringList arguments{QStringLiteral("--headless=new"), QStringLiteral("--disable-gpu"),
                          QStringLiteral("--no-first-run"), QStringLiteral("--remote-debugging-port=0"),
                          QStringLiteral("--user-data-dir=") + profile_.path(), QStringLiteral("about:blank")};
    // Chromium's sandbox refuses to run as root, as a container's test runs are.
    if (geteuid() == 0) arguments.prepend(QStringLiteral("--no-sandbox"));
    process_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(QStringLiteral("chromium"), arguments);
    // Chromium writes the port and path of its DevTools endpoint here once it listens.
    QFile active(profile_.filePath(QStringLiteral("DevToolsActivePort")));
    QStringList endpoint;
    if (!spinUntil([&] {
            if (!active.open(QIODevice::ReadOnly)) return false;
            endpoint = QString::fromLatin1(active.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            active.close();
            return endpoint.size() >= 2;
        }))
        return;
    devtools_.open(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(endpoint[0], endpoint[1])));
    if (!spinUntil([&] { return devtools_.state() == QAbstractSocket::ConnectedState; })) return;
    const QString target =
        call(QStringLiteral("Target.createTarget"), {{QStringLiteral("url"), QStringLiteral("about:blank")}}, false)
            .value(QStringLiteral("targetId"))
            .toString();
    session_ = call(QStringLiteral("Target.attachToTarget"),
                    {{QStringLiteral("targetId"), target}, {QStringLiteral("flatten"), true}}, false)
                   .value(QStringLiteral("sessionId"))
                   .toString();
}

Chromium::~Chromium() {
    devtools_.abort();
    process_.kill();
    process_.waitForFinished(5000);
}

QJsonObject Chromium::call(const QString& method, const QJsonObject& params, bool inPage) {
    const int id = nextId_++;
    QJsonObject message{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
    if (inPage) message.insert(QStringLiteral("sessionId"), session_);
    QJsonObject result;
    bool answered = false;
    const auto connection = QObject::connect(&devtools_, &QWebSocket::textMessageReceived, [&](const QString& text) {
        const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
        if (reply.value(QStringLiteral("id")).toInt() != id) return;
        result = reply.value(QStringLiteral("result")).toObject();
        answered = true;
    });
    devtools_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    spinUntil([&] { return answered; });
    QObject::disconnect(connection);
    return result;
}

void Chromium::open(const QString& url) {
    call(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url}});
    waitFor(QStringLiteral("document.readyState === 'complete'"));
}

QString Chromium::evaluate(const QString& expression) {
    const QJsonObject result = call(QStringLiteral("Runtime.evaluate"),
                                    {{QStringLiteral("expression"), expression}, {QStringLiteral("returnByValue"), true}});
    return result.value(QStringLiteral("result")).toObject().value(QStringLiteral("value")).toVariant().toString();
}

bool Chromium::waitFor(const QString& expression) {
    return spinUntil([&] { return evaluate(QStringLiteral("!!(%1)").arg(expression)) == QLatin1String("true"); });
}

}  // namespace blokpost::test
