#pragma once
// The view in the browser as the operator switches it: off until switched
// on, then on this laptop only (the loopback address) unless the operator
// chooses the network. While on, the state goes to the pages after every
// tick and handler, and a page with the PIN may stop and start the lines
// whose buttons the main window shows, as those buttons do.

#include "web/page_state.h"

#include <QHostAddress>
#include <QString>
#include <memory>

namespace blokpost {

class WindowHost;
class WebServer;
class LineWatch;

class WebView {
public:
    // The port a phone finds again after a restart of the program.
    static constexpr quint16 kPort = 8055;

    WebView(WindowHost& host, const LineWatch& watch);
    ~WebView();

    // Starts the server on `port` (0: any free one; a port in use gives a free
    // one as well). False when no port could be opened.
    bool switchOn(bool network, quint16 port = kPort);
    void switchOff();
    bool isOn() const { return server_ != nullptr; }
    bool onNetwork() const;
    // The addresses to open: the operator's page and the visitors' page; empty while off.
    QString operatorAddress() const;
    QString visitorsAddress() const;
    QString pin() const;
    const WebServer* server() const { return server_.get(); }

    // After every tick and handler: the pages get what changed.
    void publish();

private:
    QString baseAddress() const;

    WindowHost& host_;
    const LineWatch& watch_;
    std::unique_ptr<WebServer> server_;
};

// The address of this machine that a phone on the same network reaches it by;
// the loopback address when it has none.
QHostAddress networkAddress();

}  // namespace blokpost
