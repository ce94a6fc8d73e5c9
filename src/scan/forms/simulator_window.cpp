#include "scan/forms/simulator_window.h"

#include "base/forms/spin_edit.h"
#include "base/forms/stored_text.h"
#include "board/driver_board.h"
#include "desk/forms/window_host.h"
#include "scan/auto_trains.h"
#include "state/program_state.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace blokpost {

namespace {

constexpr int kLampSize = 17;
const QString kLampLit = QStringLiteral("background:#FFFF00; border:1px solid black; border-radius:8px;");
const QString kLampDark = QStringLiteral("background:#404040; border:1px solid black; border-radius:8px;");
// A push button paints its background only when its border is styled too.
const QString kSensorActive =
    QStringLiteral("background:#FFFF00; font-weight:bold; border:1px solid #404040; border-radius:3px;");
const QString kSensorInactive =
    QStringLiteral("background:#C0C0C0; font-weight:bold; border:1px solid #404040; border-radius:3px;");
const QString kSensorStanding =
    QStringLiteral("background:#FF8000; font-weight:bold; border:1px solid #404040; border-radius:3px;");

// A sensor button: a click is a train passing the contact, a right click a
// train that stops on it (or leaves it again).
class SensorButton : public QPushButton {
public:
    SensorButton(const QString& text, QWidget* parent, std::function<void()> rightClick)
        : QPushButton(text, parent), rightClick_(std::move(rightClick)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::RightButton) return QPushButton::mousePressEvent(event);
        event->accept();
        if (isEnabled()) rightClick_();
    }

private:
    std::function<void()> rightClick_;
};

}  // namespace

TForm21::TForm21(WindowHost& app) : Window(app, QStringLiteral("Simulator"), 520, 360, Frame::FixedDialog) {
    status_ = addLabel(QString(), 8, 8, 504);
    problem_ = addLabel(QString(), 8, 30, 504, false);
    problem_->setWordWrap(true);
    problem_->resize(504, 30);
    buildLamps();
    analogOutputs_ = addLabel(QString(), 8, 128, 250);
    group_ = addLabel(QString(), 264, 128, 248);
    lastPin_ = addLabel(QString(), 8, 152, 504);
    buildSensors();
    buildSliders();
    buildAutoTrains();
    sync();
}

QLabel* TForm21::addLabel(const QString& text, int x, int y, int width, bool bold) {
    auto* label = new QLabel(text, this);
    label->setGeometry(x, y, width, 20);
    label->setFont(designedFont(13, bold));
    label->setStyleSheet(QStringLiteral("color:#FFFF00;"));
    return label;
}

void TForm21::buildLamps() {
    addLabel(QStringLiteral("Digitale uitgangen (1..7 adres, 8 strobe)"), 8, 64, 400);
    for (int channel = 1; channel <= 8; ++channel) {
        const int x = 24 + 40 * (channel - 1);
        Shape[channel] = new QLabel(this);
        Shape[channel]->setGeometry(x, 88, kLampSize, kLampSize);
        addLabel(QString::number(channel), x + 4, 106, 20, false);
        showLamp(channel, false);
    }
}

void TForm21::buildSensors() {
    addLabel(QStringLiteral("Sensoren: klik = trein passeert, rechtsklik = trein staat"), 8, 184, 504);
    for (int group = 1; group <= 4; ++group) {
        addLabel(QStringLiteral("Groep %1").arg(group), 8, 212 + 32 * (group - 1), 64, false);
        for (int input = 1; input <= 5; ++input) {
            const int sensor = 5 * (group - 1) + input;
            // A standing train leaves; otherwise a train stops on the contact.
            auto* button = new SensorButton(QString::number(sensor), this, [this, sensor] {
                handle([this, sensor] {
                    if (DriverBoard* driver = host_.driverBoard()) {
                        SimulatedBoard& layout = driver->simulation();
                        layout.setSensor(sensor, !layout.standing(sensor));
                    }
                });
            });
            button->setGeometry(72 + 44 * (input - 1), 208 + 32 * (group - 1), 40, 25);
            connect(button, &QPushButton::clicked, this, [this, sensor] {
                handle([this, sensor] {
                    if (DriverBoard* driver = host_.driverBoard()) driver->simulation().pulseSensor(sensor);
                });
            });
            Button[sensor] = button;
            showSensor(sensor, false, false);
        }
    }
}

void TForm21::buildSliders() {
    for (int channel = 1; channel <= 2; ++channel) {
        const int y = 208 + 64 * (channel - 1);
        analogInput_[channel] = addLabel(QString(), 312, y, 200);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setGeometry(312, y + 24, 192, 25);
        slider->setRange(0, 255);
        connect(slider, &QSlider::valueChanged, this, [this, channel](int value) {
            handle([this, channel, value] {
                if (DriverBoard* driver = host_.driverBoard()) driver->simulation().setAnalogInput(channel, value);
            });
        });
        TrackBar[channel] = slider;
    }
}

void TForm21::buildAutoTrains() {
    CheckBox1 = new QCheckBox(QStringLiteral("Automatisch rijden"), this);
    CheckBox1->setGeometry(8, 334, 170, 22);
    CheckBox1->setFont(designedFont(13, true));
    CheckBox1->setStyleSheet(QStringLiteral("color:#FFFF00;"));
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) { host_.autoTrains().setEnabled(on); });
    addLabel(QStringLiteral("Rijtijd"), 200, 335, 56);
    SpinEdit1 = new SpinEdit(AutoTrains::kShortestTravelSeconds, AutoTrains::kLongestTravelSeconds,
                             AutoTrains::kStartTravelSeconds, this);
    SpinEdit1->setGeometry(256, 333, 64, 24);
    SpinEdit1->setSuffix(QStringLiteral(" s"));
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int seconds) { host_.autoTrains().setTravelSeconds(seconds); });
}

void TForm21::showLamp(int channel, bool lit) { Shape[channel]->setStyleSheet(lit ? kLampLit : kLampDark); }

void TForm21::showSensor(int sensor, bool active, bool standing) {
    Button[sensor]->setStyleSheet(standing ? kSensorStanding : active ? kSensorActive : kSensorInactive);
}

void TForm21::showEvent(QShowEvent* event) {
    Window::showEvent(event);
    sync();
}

void TForm21::sync() {
    // Runs after every tick; a hidden window is brought up to date when shown.
    if (!isVisible() && shownOnce_) return;
    const SimulatorView view = simulatorView(host_.driverBoard(), state());
    const bool all = !shownOnce_;
    shownOnce_ = true;
    if (all || view.status != shown_.status) status_->setText(fromStoredText(view.status));
    if (all || view.problem != shown_.problem) problem_->setText(fromStoredText(view.problem));
    for (int channel = 1; channel <= 8; ++channel)
        if (all || view.lamp[channel] != shown_.lamp[channel]) showLamp(channel, view.lamp[channel]);
    if (all || view.analogOutput != shown_.analogOutput || view.selectedGroup != shown_.selectedGroup) {
        analogOutputs_->setText(QStringLiteral("Analoge uitgangen: %1  %2")
                                    .arg(view.analogOutput[1])
                                    .arg(view.analogOutput[2]));
        group_->setText(fromStoredText(view.selectedGroup));
    }
    if (all || view.lastPin != shown_.lastPin) lastPin_->setText(QStringLiteral("Laatste pin: ") + fromStoredText(view.lastPin));
    for (int sensor = 1; sensor <= 20; ++sensor) {
        if (all || view.sensor[sensor] != shown_.sensor[sensor] || view.standing[sensor] != shown_.standing[sensor])
            showSensor(sensor, view.sensor[sensor], view.standing[sensor]);
        if (all || view.simulating != shown_.simulating) Button[sensor]->setEnabled(view.simulating);
    }
    if (all || view.simulating != shown_.simulating) {
        // The trains drive on the simulated layout only.
        CheckBox1->setEnabled(view.simulating);
        SpinEdit1->setEnabled(view.simulating);
    }
    for (int channel = 1; channel <= 2; ++channel) {
        if (!all && view.analogInput[channel] == shown_.analogInput[channel] && view.simulating == shown_.simulating)
            continue;
        analogInput_[channel]->setText(QStringLiteral("Analoge ingang %1: %2").arg(channel).arg(view.analogInput[channel]));
        const QSignalBlocker quiet(TrackBar[channel]);
        TrackBar[channel]->setValue(view.analogInput[channel]);
        TrackBar[channel]->setEnabled(view.simulating);
    }
    shown_ = view;
}

}  // namespace blokpost
