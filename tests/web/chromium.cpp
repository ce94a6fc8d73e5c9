#include "web/chromium.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <unistd.h>

namespace blokpost::test {

using namespace Qt::StringLiterals;

Chromium::Chromium() {
    QStringList arguments{u"--headless=new"_s, u"--disable-gpu"_s, u"--no-first-run"_s,
                          u"--remote-debugging-port=0"_s, u"--user-data-dir="_s + profile_.path(), u"about:blank"_s};
    // Chromium's sandbox refuses to run as root, as a container's test runs are.
    if (geteuid() == 0) arguments.prepend(u"--no-sandbox"_s);
    process_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process_.setStandardErrorFile(QProcess::nullDevice());
    process_.start(u"chromium"_s, arguments);
    // Chromium writes the port and path of its DevTools endpoint here once it listens.
    QFile active(profile_.filePath(u"DevToolsActivePort"_s));
    QStringList endpoint;
    if (!spinUntil([&] {
            if (!active.open(QIODevice::ReadOnly)) return false;
            endpoint = QString::fromLatin1(active.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            active.close();
            return endpoint.size() >= 2;
        }))
        return;
    devtools_.open(QUrl(u"ws://127.0.0.1:%1%2"_s.arg(endpoint[0], endpoint[1])));
    if (!spinUntil([&] { return devtools_.state() == QAbstractSocket::ConnectedState; })) return;
    const QString target =
        call(u"Target.createTarget"_s, {{u"url"_s, u"about:blank"_s}}, false).value(u"targetId"_s).toString();
    const QJsonObject attach{{u"targetId"_s, target}, {u"flatten"_s, true}};
    session_ = call(u"Target.attachToTarget"_s, attach, false).value(u"sessionId"_s).toString();
}

Chromium::~Chromium() {
    devtools_.abort();
    process_.kill();
    process_.waitForFinished(5000);
}

QJsonObject Chromium::call(const QString& method, const QJsonObject& params, bool inPage) {
    const int id = nextId_++;
    QJsonObject message{{u"id"_s, id}, {u"method"_s, method}, {u"params"_s, params}};
    if (inPage) message.insert(u"sessionId"_s, session_);
    QJsonObject result;
    bool answered = false;
    const auto connection = QObject::connect(&devtools_, &QWebSocket::textMessageReceived, [&](const QString& text) {
        const QJsonObject reply = QJsonDocument::fromJson(text.toUtf8()).object();
        if (reply.value(u"id"_s).toInt() != id) return;
        result = reply.value(u"result"_s).toObject();
        answered = true;
    });
    devtools_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    spinUntil([&] { return answered; });
    QObject::disconnect(connection);
    return result;
}

void Chromium::open(const QString& url) {
    call(u"Page.navigate"_s, {{u"url"_s, url}});
    waitFor(u"document.readyState === 'complete'"_s);
}

QString Chromium::evaluate(const QString& expression) {
    const QJsonObject result =
        call(u"Runtime.evaluate"_s, {{u"expression"_s, expression}, {u"returnByValue"_s, true}});
    return result.value(u"result"_s).toObject().value(u"value"_s).toVariant().toString();
}

bool Chromium::waitFor(const QString& expression) {
    return spinUntil([&] { return evaluate(u"!!(%1)"_s.arg(expression)) == QLatin1String("true"); });
}

}  // namespace blokpost::test
