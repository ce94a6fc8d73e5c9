#include "app/forms/main_window.h"

#include "app/forms/blokpost_app.h"
#include "app/forms/program_start.h"
#include "app/main_cycle.h"
#include "base/forms/stored_text.h"
#include "lines/step_marker.h"
#include "scan/pins.h"
#include "state/program_state.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QPushButton>

namespace blokpost {

TForm1::TForm1(BlokpostApp& app)
    : Window(app, QStringLiteral("Blokpost"), 1289, 800, Frame::Borderless),
      Timer1([&app] { app.tick(); }),
      app_(app) {
    ProgramState& s = state();
    Image84 = new CanvasView(s.screen.main.trackPlan, this);
    Image84->move(0, 24);

    for (int k = 1; k <= kPinDrawings + kSensors; ++k) {
        Image[k] = new CanvasView(s.screen.main.drawing[k], this, false);
        Image[k]->resize(96, 35);
        if (k <= kPinDrawings) Image[k]->onClick = [this, k] { handle([&] { Plaat(state(), k); }); };
    }
    for (int line = 1; line <= kLines; ++line) {
        auto* button = new QPushButton(this);
        button->resize(89, 25);
        button->setFont(designedFont(13, true));
        connect(button, &QPushButton::clicked, this, [this, line] { handle([&] { ToggleLine(state(), line); }); });
        lineButton[line] = button;
    }

    quit = [] { QApplication::quit(); };
    addButton(QStringLiteral("Exit"), 0, 49, [this] { exitPressed(); });
    addButton(QStringLiteral("K8055n"), 56, 49, [this] { Kaart(state()); });
    addButton(QStringLiteral("Scherm"), 112, 49, [&app] { app.showForm(2); });
    addButton(QStringLiteral("Read/save"), 168, 65, [&app] { app.showForm(3); });
    addButton(QStringLiteral("Rijschema"), 240, 73, [&app] { app.showForm(4); });
    Button14 = addButton(QString(), 328, 49, [&app] { app.showForm(6); });
    Button15 = addButton(QString(), 376, 49, [&app] { app.showForm(7); });
    for (int i = 0; i < kLines; ++i)
        addButton(QStringLiteral("Bord%1").arg(i + 1), 448 + 40 * i, 41, [&app, i] { app.showForm(8 + i); });
    addButton(QStringLiteral("Klok"), 768, 41, [&app] { app.showForm(16); });
    addButton(QStringLiteral("Spoorboekje"), 824, 81, [&app] { app.showForm(17); });
    addButton(QStringLiteral("Logboek"), 920, 57, [&app] { app.showForm(20); });
    addButton(QStringLiteral("Simulator"), 984, 65, [&app] { app.showForm(21); });
    addButton(QStringLiteral("Lijnen"), 1056, 57, [&app] { app.showForm(22); });
    addButton(QStringLiteral("Browser"), 1120, 65, [&app] { app.showBrowserWindow(); });
    // The first-steps guide, also on F1.
    addButton(QStringLiteral("Help"), 1192, 41, [this] { openFirstStepsGuide(state().reporter); })
        ->setShortcut(QKeySequence::HelpContents);

    sync();
}

QPushButton* TForm1::addButton(const QString& caption, int x, int width, const std::function<void()>& action) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(x, 0, width, 25);
    buttonRow_ |= button->geometry();
    connect(button, &QPushButton::clicked, this, [this, action] { handle(action); });
    return button;
}

void TForm1::startTimer1() { Timer1.start(); }

// Ten seconds of the cycle's ticks.
constexpr int kExitArmedTicks = 80;

void TForm1::exitPressed() {
    std::string running;
    int count = 0;
    for (int line = 1; line <= kLines; ++line)
        if (state().model.CurrentStep[line] != 0)
            running += std::string(count++ == 0 ? "" : ", ") + lineLetter(line);
    if (running.empty() || exitArmedTicks_ > 0) {
        quit();
        return;
    }
    // Asked once, in a message that leaves the cycle running. A press long after
    // (the operator chose to run on) is asked again.
    exitArmedTicks_ = kExitArmedTicks;
    state().reporter.message((count == 1 ? "Lijn " : "Lijnen ") + running + (count == 1 ? " rijdt" : " rijden") +
                             " nog. Druk binnen tien seconden nog eens op \"Exit\" om Blokpost te sluiten; de "
                             "lijnen blijven dan staan waar ze zijn.");
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    Window::closeEvent(event);
}

QRect TForm1::buttonRowArea() const { return buttonRow_; }

QRect TForm1::trackPlanArea() const { return Image84->geometry(); }

QRect TForm1::lineButtonsArea() const {
    QRect area;
    for (int line = 1; line <= kLines; ++line) area |= lineButton[line]->geometry();
    return area;
}

QRect TForm1::lineButtonCaptionsArea() const {
    const QRect all = lineButtonsArea();
    const int caption = QFontMetrics(lineButton[1]->font()).horizontalAdvance(fromStoredText(lineStartCaption(1)));
    // The caption is centred: its right end lies half the rest of the button in.
    constexpr int kMargin = 4;
    const int shown = std::min(all.width(), (lineButton[1]->width() + caption) / 2 + kMargin);
    return QRect(all.topLeft(), QSize(shown, all.height()));
}

QWidget* TForm1::elementControl(int e) const {
    if (e < kFirstLineButtonElement) return Image[e + 1];
    return lineButton[e - kFirstLineButtonElement + 1];
}

void TForm1::sync() {
    if (state().cycle.Phase != seenPhase_) {
        seenPhase_ = state().cycle.Phase;
        if (exitArmedTicks_ > 0) --exitArmedTicks_;
    }
    const MainWindowView& view = state().screen.main;
    Image84->sync();
    for (int k = 1; k <= kPinDrawings + kSensors; ++k) Image[k]->sync();
    for (int e = 0; e < kLayoutElements; ++e) {
        QWidget* control = elementControl(e);
        const ControlPlacement& at = view.element[e];
        if (control->pos() != QPoint(at.x, at.y)) control->move(at.x, at.y);
        if (control->isVisibleTo(this) != at.visible) control->setVisible(at.visible);
    }
    for (int line = 1; line <= kLines; ++line)
        lineButton[line]->setText(fromStoredText(view.lineCaption[line]));
    Button14->setText(fromStoredText(view.meterButtonCaption[1]));
    Button15->setText(fromStoredText(view.meterButtonCaption[2]));
    showMarks();
}

void TForm1::showMarks() {
    for (int line = 1; line <= kLines; ++line) {
        const bool marked = app_.lineWatch().mark(line) == LineMark::Stalled;
        if (markShown_[static_cast<std::size_t>(line)] == marked) continue;
        markShown_[static_cast<std::size_t>(line)] = marked;
        lineButton[line]->setStyleSheet(marked ? QStringLiteral("background-color: #d02020; color: white") : QString());
    }
}

}  // namespace blokpost
