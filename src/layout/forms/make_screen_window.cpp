#include "layout/forms/make_screen_window.h"

#include "base/forms/stored_text.h"
#include "desk/forms/window_host.h"
#include "layout/make_screen.h"
#include "state/program_state.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <climits>

namespace blokpost {

namespace {

constexpr int kRadioHeight = 17;
constexpr int kDotOffset = 24;  // a dot stands this far left of its radio button
constexpr int kPinColumnLefts[] = {56, 192, 328, 464, 600, 736, 888};

// Where radio button k (1..91) stands as designed.
QPoint radioPosition(int k) {
    if (k <= kFirstSensorElement) return {kPinColumnLefts[(k - 1) / 10], 48 + 24 * ((k - 1) % 10)};
    if (k <= kFirstLineButtonElement) {
        const int sensor = k - kFirstSensorElement;
        return {sensor <= 10 ? 936 : 1072, 184 + 24 * ((sensor - 1) % 10)};
    }
    return {1208, 184 + 24 * (k - kFirstLineButtonElement - 1)};
}

QSpinBox* unboundedSpinBox(QWidget* parent, int x, int y) {
    auto* box = new QSpinBox(parent);
    box->setGeometry(x, y, 73, 24);
    box->setRange(INT_MIN, INT_MAX);
    box->setValue(0);
    return box;
}

QLineEdit* meterEdit(QWidget* parent, int y, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(696, y, 121, 24);
    acceptStoredLettersOnly(edit);
    return edit;
}

template <class Widget, class Value>
void showQuietly(Widget* widget, void (Widget::*set)(Value), Value value) {
    const QSignalBlocker quiet(widget);
    (widget->*set)(value);
}

}  // namespace

TForm2::TForm2(WindowHost& app) : Window(app, QStringLiteral("Make Screen"), 1308, 429, Frame::FixedDialog) {
    buildElementChoice();
    buildPlacementControls();
    buildMeterNames();
    buildLabels();
    sync();
}

void TForm2::buildElementChoice() {
    radioGroup = new QButtonGroup(this);
    radioGroup->setExclusive(true);
    for (int k = 1; k <= kLayoutElements; ++k) {
        const QPoint at = radioPosition(k);
        RadioButton[k] = new QRadioButton(QString::fromStdString(radioCaption(k)), this);
        RadioButton[k]->setGeometry(at.x(), at.y(), 113, kRadioHeight);
        radioGroup->addButton(RadioButton[k], k);
        Shape[k] = new IndicatorShape(state().layoutWindows.makeScreen.dot[k], this);
        Shape[k]->move(at.x() - kDotOffset, at.y());
    }
    connect(radioGroup, &QButtonGroup::idClicked, this, [this](int k) { handle([this, k] { Wie(state(), k); }); });
}

void TForm2::buildPlacementControls() {
    Visible = new QCheckBox(QStringLiteral("Visible"), this);
    Visible->move(1032, 24);
    connect(Visible, &QCheckBox::toggled, this, [this](bool on) { handle([this, on] { PasAan(state(), on); }); });
    SpinEdit1 = unboundedSpinBox(this, 1112, 16);
    connect(SpinEdit1, &QSpinBox::valueChanged, this,
            [this](int v) { handle([this, v] { Horizontaal(state(), v); }); });
    SpinEdit2 = unboundedSpinBox(this, 1040, 48);
    connect(SpinEdit2, &QSpinBox::valueChanged, this,
            [this](int v) { handle([this, v] { Vertikaal(state(), v); }); });
    Image1 = new CanvasView(state().layoutWindows.makeScreen.preview, this);
    Image1->move(1112, 48);
}

void TForm2::buildMeterNames() {
    // The designed texts stay on screen only; the names change when the operator edits them.
    Edit1 = meterEdit(this, 312, QStringLiteral("Meter 1"));
    Edit2 = meterEdit(this, 344, QStringLiteral("Meter2"));
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        handle([this, text] { Meter1maken(state(), toStoredText(text)); });
    });
    connect(Edit2, &QLineEdit::textChanged, this, [this](const QString& text) {
        handle([this, text] { Meter2maken(state(), toStoredText(text)); });
    });
}

void TForm2::buildLabels() {
    struct Caption {
        const char* text;
        int x, y;
    };
    constexpr Caption captions[] = {{"Aansluitpinnen voor wissels, seinen en blokken", 32, 296},
                                    {"Ingang sensoren", 912, 160},
                                    {"Start/stop", 1184, 160},
                                    {"Voltmeters", 696, 368}};
    for (const Caption& c : captions) {
        auto* label = new QLabel(QString::fromLatin1(c.text), this);
        label->setFont(designedFont(13, true));
        label->setStyleSheet(QStringLiteral("color: #FFFF00"));
        label->move(c.x, c.y);
    }
}

void TForm2::sync() {
    const MakeScreenView& view = state().layoutWindows.makeScreen;
    for (int k = 1; k <= kLayoutElements; ++k) Shape[k]->sync();
    if (view.checkedRadio >= 1 && view.checkedRadio <= kLayoutElements && !RadioButton[view.checkedRadio]->isChecked())
        showQuietly<QAbstractButton, bool>(RadioButton[view.checkedRadio], &QAbstractButton::setChecked, true);
    if (Visible->isChecked() != view.visibleChecked)
        showQuietly<QAbstractButton, bool>(Visible, &QAbstractButton::setChecked, view.visibleChecked);
    if (SpinEdit1->value() != view.left) showQuietly<QSpinBox, int>(SpinEdit1, &QSpinBox::setValue, view.left);
    if (SpinEdit2->value() != view.top) showQuietly<QSpinBox, int>(SpinEdit2, &QSpinBox::setValue, view.top);
    Image1->sync();
}

}  // namespace blokpost
