#include "watch/forms/lines_window.h"

#include "watch/line_watch.h"

#include <QLabel>

namespace blokpost {

namespace {

constexpr int kWidth = 520;
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 34;
// Left edge and width of each column: letter, state, step, words, since, usual.
constexpr std::array<std::array<int, 2>, 6> kColumns{{{4, 16}, {22, 122}, {146, 30}, {178, 242}, {422, 46}, {470, 46}}};
const std::array<const char*, 6> kHeaders{"", "Toestand", "Stap", "Doet of wacht op", "Sinds", "Normaal"};

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

}  // namespace

LinesWindow::LinesWindow(WindowHost& host, const LineWatch& watch)
    : Window(host, QStringLiteral("Lijnen"), kWidth, kHeaderHeight + kLines * kRowHeight + 4, Frame::FixedDialog),
      watch_(watch) {
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        addCaption(this, QString::fromUtf8(kHeaders[c]), kColumns[c][0], 3, designedFont(11, true), Qt::white);
    for (int i = 0; i < kLines; ++i) addRow(i);
}

void LinesWindow::addRow(int index) {
    Row& row = rows_[static_cast<std::size_t>(index)];
    row.panel = new QWidget(this);
    row.panel->setGeometry(2, kHeaderHeight + index * kRowHeight, kWidth - 4, kRowHeight - 2);
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        row.cells[c] = new QLabel(row.panel);
        row.cells[c]->setGeometry(kColumns[c][0] - 2, 1, kColumns[c][1], 16);
    }
    row.cells[0]->setFont(designedFont(13, true));
    row.note = new QLabel(row.panel);
    row.note->setGeometry(kColumns[1][0] - 2, 16, kWidth - kColumns[1][0] - 4, 15);
    row.note->setStyleSheet(QStringLiteral("color: #900000"));
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
        if (row.shownMark != static_cast<int>(line.mark)) {
            row.shownMark = static_cast<int>(line.mark);
            setBackground(row.panel, rowColour(line.mark));
        }
        const bool onStep = line.step >= 1 && line.step <= kSteps;
        setIfChanged(row.cells[0], QString(QChar(lineLetter(line.line))));
        setIfChanged(row.cells[1], QString::fromStdString(line.state));
        setIfChanged(row.cells[2], onStep ? QString::number(line.step) : QString());
        setIfChanged(row.cells[3], QString::fromStdString(line.words));
        setIfChanged(row.cells[4], onStep ? QString::fromStdString(DurationInWords(line.sinceSeconds)) : QString());
        setIfChanged(row.cells[5], line.usualSeconds ? QString::fromStdString(DurationInWords(*line.usualSeconds))
                                                     : QString());
        const std::string note = line.markWords.empty() ? line.departureNote
                                 : line.departureNote.empty() ? line.markWords
                                                              : line.markWords + " " + line.departureNote;
        setIfChanged(row.note, QString::fromStdString(note));
        row.note->setToolTip(QString::fromStdString(note));
        row.panel->show();
    }
}

}  // namespace blokpost
