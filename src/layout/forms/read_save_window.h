#pragma once
// Form3, "Read / Save": reads the layout store and applies it, or writes it
// back after "Enable". Closing the window, however it is closed, disables Save.

#include "desk/forms/window.h"

class QPushButton;

namespace blokpost {

class TForm3 : public Window {
public:
    explicit TForm3(WindowHost& app);
    void sync() override;

    QPushButton* Button1 = nullptr;  // "Read"
    QPushButton* Button2 = nullptr;  // "Save"
    QPushButton* Button3 = nullptr;  // "Enable"

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace blokpost
