#include "timetable/forms/timetable_window.h"

#include "base/forms/stored_text.h"
#include "desk/forms/window_host.h"
#include "state/program_state.h"
#include "timetable/timetable.h"

#include <QPushButton>
#include <QStringList>
#include <QTextEdit>

namespace blokpost {

TForm17::TForm17(WindowHost& app)
    : Window(app, QStringLiteral("Spoorboekje"), 508, 588, Frame::FixedDialog) {
    setBackground(this, QColor(0x00, 0x00, 0x80));
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setGeometry(8, 8, 489, 521);
    RichEdit1->setFont(designedFont(16, true));
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);

    Button1 = new QPushButton(QStringLiteral("Maak spoorboekje"), this);
    Button1->setGeometry(16, 544, 153, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { host_.showForm(18); });  // BoekjeMaken
    Button2 = new QPushButton(QStringLiteral("Refrech"), this);
    Button2->setGeometry(184, 544, 75, 25);
    connect(Button2, &QPushButton::clicked, this, [this] { handle([this] { Opnieuw(state()); }); });
    for (QPushButton* button : {Button1, Button2}) button->setFont(designedFont(11, true));
    sync();
}

QRect TForm17::workArea() const { return RichEdit1->geometry(); }

void TForm17::sync() {
    const std::vector<std::string>& list = state().timetableEditor.list;
    if (list == shown_) return;
    shown_ = list;
    QStringList lines;
    for (const std::string& line : list) lines << fromStoredText(line);
    RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace blokpost
