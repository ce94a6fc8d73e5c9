#include "web/web_view.h"

#include "desk/forms/window_host.h"
#include "lines/step_marker.h"
#include "state/program_state.h"
#include "web/web_server.h"

#include <QNetworkInterface>

namespace blokpost {

namespace {

ActionAnswer toggleAsItsButton(WindowHost& host, int line, bool run) {
    ProgramState& s = host.state();
    const QString name = QStringLiteral("Lijn-%1").arg(QLatin1Char(lineLetter(line)));
    if (!lineHasButton(s, line))
        return {403, name + QStringLiteral(" heeft geen knop op het scherm en wordt daar ook niet bediend.")};
    // A second press from a slow phone must not undo the first.
    if ((s.model.CurrentStep[line] != 0) == run)
        return {200, name + (run ? QStringLiteral(" loopt al.") : QStringLiteral(" staat al stil."))};
    const bool ranThrough = guarded(s, [&] { ToggleLine(s, line); });
    host.syncAll();
    if (!ranThrough) return {500, name + QStringLiteral(": mislukt; de melding staat op de laptop.")};
    return {200, name + (run ? QStringLiteral(" gestart.") : QStringLiteral(" gestopt."))};
}

}  // namespace

WebView::WebView(WindowHost& host, const LineWatch& watch) : host_(host), watch_(watch) {}

WebView::~WebView() = default;

bool WebView::switchOn(bool network, quint16 port) {
    switchOff();
    auto server = std::make_unique<WebServer>(
        [this](int line, bool run) { return toggleAsItsButton(host_, line, run); },
        [this] { return pageStateJson(host_.state(), watch_); });
    const QHostAddress address = network ? QHostAddress(QHostAddress::AnyIPv4) : QHostAddress(QHostAddress::LocalHost);
    if (server->start(address, port) == 0 && (port == 0 || server->start(address, 0) == 0)) return false;
    server_ = std::move(server);
    return true;
}

void WebView::switchOff() { server_.reset(); }

bool WebView::onNetwork() const { return server_ && !server_->address().isLoopback(); }

QString WebView::baseAddress() const {
    if (!server_) return {};
    const QHostAddress at = onNetwork() ? networkAddress() : server_->address();
    return QStringLiteral("http://%1:%2").arg(at.toString()).arg(server_->port());
}

QString WebView::operatorAddress() const { return server_ ? baseAddress() + QStringLiteral("/") : QString(); }

QString WebView::visitorsAddress() const { return server_ ? baseAddress() + QStringLiteral("/bezoekers") : QString(); }

QString WebView::pin() const { return server_ ? server_->pin() : QString(); }

void WebView::publish() {
    // With no page open there is nobody to make the state for.
    if (!server_ || !server_->hasViewers()) return;
    server_->publish(pageStateJson(host_.state(), watch_));
}

QHostAddress networkAddress() {
    for (const QNetworkInterface& card : QNetworkInterface::allInterfaces()) {
        if (!card.flags().testFlag(QNetworkInterface::IsUp) || card.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : card.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) return entry.ip();
    }
    return QHostAddress(QHostAddress::LocalHost);
}

}  // namespace blokpost
