#pragma once
// The "Browser" window: switches the view in the browser on and off, chooses
// between this laptop only and the network, and shows the addresses to open
// (the operator's as a QR code for a phone) and the PIN that actions need.

#include "desk/forms/window.h"

class QCheckBox;
class QLabel;

namespace blokpost {

class WebView;

class BrowserWindow : public Window {
public:
    BrowserWindow(WindowHost& host, WebView& view);
    void sync() override;

private:
    void switchView();

    WebView& view_;
    QCheckBox* on_;
    QCheckBox* network_;
    QLabel* addresses_;
    QLabel* pin_;
    QLabel* code_;
    QString shownAddress_;
};

}  // namespace blokpost
