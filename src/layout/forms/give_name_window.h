#pragma once
// Form19, "Give a Name": the names and addresses of the 126 pins in a grid,
// with "Take it" to give one pin a new address, the two saves and "Reset?".

#include "desk/forms/window.h"

#include <cstdint>

class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace blokpost {

class TForm19 : public Window {
public:
    explicit TForm19(WindowHost& app);
    void sync() override;

    QTableWidget* StringGrid1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;  // pin 1..126
    QSpinBox* SpinEdit2 = nullptr;  // address 0..125
    QPushButton* Button1 = nullptr;  // "Save Naam"
    QPushButton* Button2 = nullptr;  // "Take it"
    QPushButton* Button3 = nullptr;  // "Reset?"
    QPushButton* Button4 = nullptr;  // "Save Adres"

private:
    void FormCreate();
    void buildGrid();
    void buildAddressGroup();
    void Button2Click();
    void Button3Click();
    void cellEdited(QTableWidgetItem* item);

    std::uint64_t shownRevision_ = ~std::uint64_t{0};
};

}  // namespace blokpost
