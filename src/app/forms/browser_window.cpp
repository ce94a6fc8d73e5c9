#include "app/forms/browser_window.h"

#include "state/program_state.h"
#include "web/qr_code.h"
#include "web/web_view.h"

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>

namespace blokpost {

BrowserWindow::BrowserWindow(WindowHost& host, WebView& view)
    : Window(host, QStringLiteral("Browser"), 420, 330, Frame::FixedDialog), view_(view) {
    on_ = new QCheckBox(QStringLiteral("Bekijken in de browser"), this);
    on_->setGeometry(12, 10, 396, 22);
    on_->setFont(designedFont(13, true));
    network_ = new QCheckBox(QStringLiteral("Ook op het netwerk (anders alleen op deze laptop)"), this);
    network_->setGeometry(12, 36, 396, 22);
    addresses_ = new QLabel(this);
    addresses_->setGeometry(12, 64, 396, 54);
    addresses_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    addresses_->setWordWrap(true);
    pin_ = new QLabel(this);
    pin_->setGeometry(12, 120, 220, 30);
    pin_->setFont(designedFont(20, true));
    code_ = new QLabel(this);
    code_->setGeometry(238, 124, 170, 170);
    connect(on_, &QCheckBox::toggled, this, [this] { switchView(); });
    connect(network_, &QCheckBox::toggled, this, [this] {
        if (view_.isOn()) switchView();
    });
    sync();
}

void BrowserWindow::switchView() {
    handle([&] {
        if (!on_->isChecked()) {
            view_.switchOff();
        } else if (!view_.switchOn(network_->isChecked())) {
            state().reporter.message("De browserweergave kan niet starten: geen poort vrij. Sluit het andere "
                                     "programma dat de poort gebruikt en probeer het opnieuw.");
        }
    });
}

void BrowserWindow::sync() {
    const bool on = view_.isOn();
    const QSignalBlocker quiet(on_);
    on_->setChecked(on);
    const QString address = view_.operatorAddress();
    if (address == shownAddress_ && !addresses_->text().isEmpty()) return;
    shownAddress_ = address;
    if (!on) {
        addresses_->setText(QStringLiteral("Uit: de browser ziet niets van de baan."));
        pin_->clear();
        code_->clear();
        return;
    }
    addresses_->setText(QStringLiteral("Bediening: %1\nBezoekers: %2").arg(address, view_.visitorsAddress()));
    pin_->setText(QStringLiteral("PIN: %1").arg(view_.pin()));
    const QImage code = qrCode(address, 4);
    code_->setPixmap(QPixmap::fromImage(code).scaled(code_->size(), Qt::KeepAspectRatio, Qt::FastTransformation));
}

}  // namespace blokpost
