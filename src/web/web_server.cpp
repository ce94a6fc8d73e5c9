#include "web/web_server.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

// The pages are compiled into this library; a static library's resources are registered by hand.
static void registerPages() { Q_INIT_RESOURCE(web); }

namespace blokpost {

namespace {

struct Page {
    const char* path;
    const char* resource;
    const char* type;
};
// Every path the server answers with a page. Nothing else is served: no file
// is looked up by the path it is asked for.
constexpr Page kPages[] = {
    {"/", ":/web/bediening.html", "text/html; charset=utf-8"},
    {"/bezoekers", ":/web/bezoekers.html", "text/html; charset=utf-8"},
    {"/web.js", ":/web/web.js", "text/javascript; charset=utf-8"},
    {"/web.css", ":/web/web.css", "text/css; charset=utf-8"},
};
constexpr const char* kLivePath = "/live";
constexpr const char* kLineActionPath = "/api/lijn";

using Status = QHttpServerResponder::StatusCode;

// Says what each response may do in the browser: only this server's own
// scripts, styles and connections, and no other site may frame the page.
void answer(QHttpServerResponder responder, const QByteArray& body, const QByteArray& type, Status status) {
    responder.write(body,
                    {{"Content-Type", type},
                     {"Cache-Control", "no-store"},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"},
                     {"Content-Security-Policy",
                      "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                      "connect-src 'self'; frame-ancestors 'none'"}},
                    status);
}

void answerJson(QHttpServerResponder responder, const ActionAnswer& a) {
    const QJsonObject body{{QStringLiteral("melding"), a.message}};
    answer(std::move(responder), QJsonDocument(body).toJson(QJsonDocument::Compact), "application/json",
           static_cast<Status>(a.status));
}

bool isWebSocketUpgrade(const QHttpServerRequest& request) {
    return request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

// A listening socket that bounds what each connection may send before it is
// answered, and how many connections there are at once.
class BoundedTcpServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly).size() > kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        // Connected before the HTTP server's own reader, so it sees the bytes first.
        auto received = std::make_shared<qint64>(0);
        connect(socket, &QTcpSocket::readyRead, socket, [socket, received] {
            *received += socket->bytesAvailable();
            if (*received <= kMaxRequestBytes) return;
            socket->readAll();
            socket->write("HTTP/1.1 413 Request Entity Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
        });
        // An answer sent: the next request is counted from nothing.
        connect(socket, &QTcpSocket::bytesWritten, socket, [received] { *received = 0; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        addPendingConnection(socket);
    }
};

}  // namespace

WebServer::WebServer(std::function<ActionAnswer(int, bool)> lineAction, std::function<QByteArray()> currentState)
    : lineAction_(std::move(lineAction)), currentState_(std::move(currentState)) {
    registerPages();
    pins_.renew(QRandomGenerator::system()->generate());
    clock_.start();
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] { acceptViewers(); });
}

WebServer::~WebServer() = default;

quint16 WebServer::start(const QHostAddress& address, quint16 port) {
    auto* listener = new BoundedTcpServer(this);
    if (!listener->listen(address, port)) {
        delete listener;
        return 0;
    }
    bind(listener);
    address_ = address;
    port_ = listener->serverPort();
    const QString at = QStringLiteral(":%1").arg(port_);
    if (address.isLoopback()) ownHosts_ << QStringLiteral("localhost") + at;
    const QList<QHostAddress> all = address == QHostAddress::AnyIPv4 ? QNetworkInterface::allAddresses()
                                                                      : QList<QHostAddress>{address};
    for (const QHostAddress& one : all)
        if (one.protocol() == QAbstractSocket::IPv4Protocol) ownHosts_ << one.toString() + at;
    return port_;
}

bool WebServer::isOwnHost(const QByteArray& host) const { return ownHosts_.contains(QString::fromLatin1(host)); }

bool WebServer::isOwnOrigin(const QByteArray& origin) const {
    return origin.startsWith("http://") && isOwnHost(origin.mid(7));
}

void WebServer::publish(const QByteArray& state) {
    if (state == state_) return;
    state_ = state;
    // Sent as the UTF-8 bytes it is: no page costs a conversion of its own.
    for (const auto& viewer : viewers_) viewer->sendBinaryMessage(state_);
}

void WebServer::acceptViewers() {
    while (std::unique_ptr<QWebSocket> viewer = nextPendingWebSocketConnection()) {
        // The pages only listen; anything they send is small.
        viewer->setMaxAllowedIncomingMessageSize(kMaxRequestBytes);
        QWebSocket* at = viewer.get();
        connect(at, &QWebSocket::disconnected, this, [this, at] {
            // Not deleted inside its own signal.
            for (auto& v : viewers_)
                if (v.get() == at) v.release()->deleteLater();
            std::erase_if(viewers_, [](const auto& v) { return !v; });
        });
        // While no page was open the state was not made; the first page gets it fresh.
        if (viewers_.empty()) state_ = currentState_();
        at->sendBinaryMessage(state_);
        viewers_.push_back(std::move(viewer));
    }
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const bool admitted = rates_.admit(request.remoteAddress().toString(), clock_.elapsed());
    // A WebSocket is taken on by the server's handshake when this says yes, and
    // nothing has been answered; a page of another site may not read the layout either.
    if (isWebSocketUpgrade(request))
        return admitted && request.url().path() == QLatin1String(kLivePath) && isOwnHost(request.value("Host")) &&
               isOwnOrigin(request.value("Origin"));
    QHttpServerResponder responder = makeResponder(request, socket);
    if (!admitted) {
        answer(std::move(responder), "Te veel verzoeken; probeer het zo weer.", "text/plain; charset=utf-8",
               Status::TooManyRequests);
        return true;
    }
    // A name that is not this server's (a rebound name of another site) gets nothing.
    if (!isOwnHost(request.value("Host"))) {
        answer(std::move(responder), "Onbekende host.", "text/plain; charset=utf-8", Status::MisdirectedRequest);
        return true;
    }
    const QString path = request.url().path();
    if (request.method() == QHttpServerRequest::Method::Post && path == QLatin1String(kLineActionPath)) {
        answerJson(std::move(responder), act(request));
        return true;
    }
    if (request.method() == QHttpServerRequest::Method::Get) {
        for (const Page& page : kPages) {
            if (path != QLatin1String(page.path)) continue;
            QFile file(QString::fromLatin1(page.resource));
            file.open(QIODevice::ReadOnly);
            answer(std::move(responder), file.readAll(), page.type, Status::Ok);
            return true;
        }
    }
    answer(std::move(responder), "Niet gevonden.", "text/plain; charset=utf-8", Status::NotFound);
    return true;
}

void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    answer(makeResponder(request, socket), "Niet gevonden.", "text/plain; charset=utf-8", Status::NotFound);
}

ActionAnswer WebServer::act(const QHttpServerRequest& request) {
    if (!isOwnOrigin(request.value("Origin")))
        return {403, QStringLiteral("Geweigerd: het verzoek komt niet van een pagina van Blokpost.")};
    const QJsonObject body = QJsonDocument::fromJson(request.body()).object();
    const int line = body.value(QStringLiteral("lijn")).toInt();
    const QString what = body.value(QStringLiteral("doe")).toString();
    if (line < 1 || line > 8 || (what != QLatin1String("stop") && what != QLatin1String("start")))
        return {400, QStringLiteral("Onbekend verzoek.")};
    switch (pins_.check(body.value(QStringLiteral("pin")).toString(), clock_.elapsed())) {
    case PinGuard::Verdict::Waiting:
        return {429, QStringLiteral("Na een verkeerde PIN: wacht nog %1 s en probeer het opnieuw.")
                         .arg((pins_.waitMs(clock_.elapsed()) + 999) / 1000)};
    case PinGuard::Verdict::Wrong:
        return {403, QStringLiteral("Verkeerde PIN: de PIN staat op de laptop, in het venster Browser.")};
    case PinGuard::Verdict::Accepted:
        break;
    }
    return lineAction_(line, what == QLatin1String("start"));
}

}  // namespace blokpost
