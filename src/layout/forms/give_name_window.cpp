#include "layout/forms/give_name_window.h"

#include "base/forms/stored_text.h"
#include "desk/forms/window_host.h"
#include "layout/pin_names.h"
#include "state/program_state.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>

namespace blokpost {

namespace {

constexpr int kRowHeight = 24;
constexpr int kColumnWidths[kPinGridColumns] = {64, 77, 64};

QLabel* boldLabel(const QString& caption, QWidget* parent, int x, int y) {
    auto* label = new QLabel(caption, parent);
    label->setFont(designedFont(13, true));
    label->move(x, y);
    return label;
}

// Buttons carry bold captions, as in every window of the program.
QPushButton* boldButton(const QString& caption, QWidget* parent, const QRect& place) {
    auto* button = new QPushButton(caption, parent);
    button->setFont(designedFont(11, true));
    button->setGeometry(place);
    return button;
}

QSpinBox* spinBox(QWidget* parent, int x, int y, int minimum, int maximum, int value) {
    auto* box = new QSpinBox(parent);
    box->setFont(designedFont(11, false));  // not the group's bold title
    box->setGeometry(x, y, 65, 24);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

}  // namespace

TForm19::TForm19(WindowHost& app) : Window(app, QStringLiteral("Give a Name"), 846, 618, Frame::FixedDialog) {
    QLabel* label1 = boldLabel(QStringLiteral("Pin             Naam            Adres"), this, 112, 8);
    label1->setStyleSheet(QStringLiteral("color: #C0C0C0"));
    buildGrid();
    Button1 = boldButton(QStringLiteral("Save Naam"), this, QRect(0, 24, 97, 25));
    connect(Button1, &QPushButton::clicked, this, [this] { handle([this] { NaamOpslaan(state()); }); });
    buildAddressGroup();
    Button3 = boldButton(QStringLiteral("Reset?"), this, QRect(712, 544, 75, 25));
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    FormCreate();
}

void TForm19::buildGrid() {
    StringGrid1 = new QTableWidget(kPins, kPinGridColumns, this);
    StringGrid1->setGeometry(112, 32, 233, 593);
    acceptStoredLettersOnly(StringGrid1);
    StringGrid1->setFont(designedFont(11, true));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    for (int column = 0; column < kPinGridColumns; ++column)
        StringGrid1->setColumnWidth(column, kColumnWidths[column]);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    for (int row = 0; row < kPins; ++row)
        for (int column = 0; column < kPinGridColumns; ++column)
            StringGrid1->setItem(row, column, new QTableWidgetItem);
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { cellEdited(item); });
}

void TForm19::buildAddressGroup() {
    auto* group = new QGroupBox(QStringLiteral("Customize addresses"), this);
    group->setGeometry(360, 32, 257, 137);
    group->setFont(designedFont(11, true));
    boldLabel(QStringLiteral("Pin             Adres"), group, 16, 24);
    SpinEdit1 = spinBox(group, 16, 48, 1, kPins, 1);
    SpinEdit2 = spinBox(group, 96, 48, 0, kPins - 1, 0);
    Button2 = boldButton(QStringLiteral("Take it"), group, QRect(176, 48, 65, 25));
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    Button4 = boldButton(QStringLiteral("Save Adres"), group, QRect(16, 96, 97, 25));
    connect(Button4, &QPushButton::clicked, this, [this] { handle([this] { AdresOpslaan(state()); }); });
}

// The window's creation: the grid shows the start values of the pin tables.
void TForm19::FormCreate() {
    FillPinGrid(state());
    sync();
}

void TForm19::Button2Click() {
    handle([this] { TakeAddress(state(), SpinEdit1->value(), SpinEdit2->value()); });
}

void TForm19::Button3Click() {
    handle([this] { ResetPinTables(state()); });
}

void TForm19::cellEdited(QTableWidgetItem* item) {
    SetPinGridCell(state(), item->row(), item->column(), toStoredText(item->text()));
    // The grid already shows what was typed.
    shownRevision_ = state().pinGrid.revision;
}

void TForm19::sync() {
    const PinGrid& grid = state().pinGrid;
    if (grid.revision == shownRevision_) return;
    shownRevision_ = grid.revision;
    const QSignalBlocker quiet(StringGrid1);
    for (int row = 0; row < kPins; ++row)
        for (int column = 0; column < kPinGridColumns; ++column) {
            QTableWidgetItem* item = StringGrid1->item(row, column);
            const QString text = fromStoredText(grid.cell[row][column]);
            if (item->text() != text) item->setText(text);
        }
}

}  // namespace blokpost
