#include "watch/forms/lines_window.h"

#include "watch/line_watch.h"

#include <QLabel>

namespace blokpost {

namespace {

// As narrow as the logbook: it takes a column beside it, on a laptop's screen
// among all the display windows, on a full-HD screen right of the track plan.
constexpr int kWidth = 204;
constexpr int kRowHeight = 40;
constexpr int kTextHeight = 13;
constexpr int kTextLeft = 20;
constexpr int kSinceWidth = 50;

QColor rowColour(LineMark mark) {
    switch (mark) {
        case LineMark::Stalled: return QColor(0xF0, 0x80, 0x80);
        case LineMark::MemoryNobodySets: return QColor(0xF0, 0xD0, 0x80);
        case LineMark::None: break;
    }
    return QColor(0xF0, 0xF0, 0xF0);
}

void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

QLabel* addText(QWidget* parent, int x, int line, int width) {
    auto* label = new QLabel(parent);
    label->setGeometry(x, 1 + line * kTextHeight, width, kTextHeight);
    return label;
}

// The third line: what the watch noticed, else what is usual here.
QString thirdLine(const LineSnapshot& line) {
    std::string text = line.markWords;
    if (!line.departureNote.empty()) text += (text.empty() ? "" : " ") + line.departureNote;
    if (text.empty() && line.usualSeconds) text = "normaal " + DurationInWords(*line.usualSeconds);
    return QString::fromStdString(text);
}

}  // namespace

LinesWindow::LinesWindow(WindowHost& host, const LineWatch& watch)
    : Window(host, QStringLiteral("Lijnen"), kWidth, kLines * kRowHeight + 2, Frame::FixedDialog), watch_(watch) {
    for (int i = 0; i < kLines; ++i) addRow(i);
}

void LinesWindow::addRow(int index) {
    Row& row = rows_[static_cast<std::size_t>(index)];
    row.panel = new QWidget(this);
    row.panel->setGeometry(1, 1 + index * kRowHeight, kWidth - 2, kRowHeight - 2);
    const int textWidth = kWidth - kTextLeft - 4;
    row.letter = addText(row.panel, 2, 0, kTextLeft - 4);
    row.letter->setFont(designedFont(13, true));
    row.state = addText(row.panel, kTextLeft, 0, textWidth - kSinceWidth);
    row.since = addText(row.panel, kWidth - 4 - kSinceWidth, 0, kSinceWidth);
    row.since->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.words = addText(row.panel, kTextLeft, 1, textWidth);
    row.note = addText(row.panel, kTextLeft, 2, textWidth);
    row.panel->hide();
}

void LinesWindow::sync() {
    if (!isVisible()) return;
    const std::vector<LineSnapshot> lines = watch_.snapshot(state());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (i >= lines.size()) {
            row.panel->hide();
            continue;
        }
        const LineSnapshot& line = lines[i];
        const bool onStep = line.step >= 1 && line.step <= kSteps;
        setIfChanged(row.letter, QString(QChar(lineLetter(line.line))));
        setIfChanged(row.state, QString::fromStdString(line.state));
        setIfChanged(row.since, onStep ? QString::fromStdString(DurationInWords(line.sinceSeconds)) : QString());
        setIfChanged(row.words, onStep ? QString::number(line.step) + "  " + QString::fromStdString(line.words)
                                       : QString());
        const QString note = thirdLine(line);
        if (row.note->text() != note) {
            row.note->setText(note);
            row.panel->setToolTip(row.words->text() + "\n" + note);
        }
        if (row.shownMark != static_cast<int>(line.mark)) {
            row.shownMark = static_cast<int>(line.mark);
            setBackground(row.panel, rowColour(line.mark));
            row.note->setStyleSheet(line.mark == LineMark::None ? QString() : QStringLiteral("color: #800000"));
        }
        row.panel->show();
    }
}

}  // namespace blokpost
