#pragma once
// The program's own web server, on Qt's HTTP server and WebSocket modules. It
// serves only the pages compiled into the program, pushes the state to every
// open page over a WebSocket, and takes one kind of action: stopping or
// starting a line, behind the PIN, from a page of its own origin.

#include "web/guards.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

class QWebSocket;

namespace blokpost {

struct ActionAnswer {
    int status;       // HTTP status
    QString message;  // for the operator, in Dutch
};

class WebServer : public QAbstractHttpServer {
public:
    // `lineAction(line, run)` stops (run false) or starts a line whose PIN and origin were checked;
    // `currentState()` is the state as a page opened now gets it.
    WebServer(std::function<ActionAnswer(int, bool)> lineAction, std::function<QByteArray()> currentState);
    ~WebServer() override;

    // Listens on `address`; port 0 takes a free one. The port, or 0 when it failed.
    quint16 start(const QHostAddress& address, quint16 port);
    const QHostAddress& address() const { return address_; }
    quint16 port() const { return port_; }
    const QString& pin() const { return pins_.pin(); }
    // Sends the state to every page when it differs from what they have.
    void publish(const QByteArray& state);
    bool hasViewers() const { return !viewers_.empty(); }
    int viewers() const { return static_cast<int>(viewers_.size()); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    // The origins this server answers as, "http://host:port"; a page of another never acts.
    bool isOwnOrigin(const QByteArray& origin) const;
    bool isOwnHost(const QByteArray& host) const;
    void acceptViewers();
    ActionAnswer act(const QHttpServerRequest& request);

    std::function<ActionAnswer(int, bool)> lineAction_;
    std::function<QByteArray()> currentState_;
    QHostAddress address_;
    quint16 port_ = 0;
    QSet<QString> ownHosts_;
    PinGuard pins_;
    RateBound rates_;
    QElapsedTimer clock_;
    QByteArray state_;
    std::vector<std::unique_ptr<QWebSocket>> viewers_;
};

}  // namespace blokpost
