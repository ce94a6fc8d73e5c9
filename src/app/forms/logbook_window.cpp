#include "app/forms/logbook_window.h"

#include "app/forms/blokpost_app.h"
#include "base/forms/stored_text.h"
#include "state/program_state.h"

#include <QLabel>
#include <QStringList>
#include <QTextEdit>

namespace blokpost {

TForm20::TForm20(BlokpostApp& app) : Window(app, QStringLiteral("Logboek"), 202, 309, Frame::FixedDialog) {
    auto* label = new QLabel(QStringLiteral("Tijd     Actie"), this);
    label->setGeometry(0, 0, 201, 33);
    label->setFont(designedFont(24, true));
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setGeometry(0, 32, 201, 273);
    RichEdit1->setFont(designedFont(16, true));
    RichEdit1->setReadOnly(true);
    RichEdit1->setEnabled(false);  // the operator reads it, nothing more
    // Disabled, yet as legible as an enabled box: black on white.
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Base, Qt::white);
    RichEdit1->setPalette(palette);
}

void TForm20::sync() {
    QStringList lines;
    for (const std::string& line : state().screen.display.logLines) lines << fromStoredText(line);
    const QString text = lines.join(QLatin1Char('\n'));
    if (text == shown_) return;
    shown_ = text;
    RichEdit1->setPlainText(text);
}

}  // namespace blokpost
