#include "check/forms/controle_window.h"

#include "base/forms/stored_text.h"

#include <QLabel>
#include <QListWidget>

#include <algorithm>

namespace blokpost {

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 260;

QColor levelColour(FindingLevel level) {
    switch (level) {
        case FindingLevel::Fout: return QColor(0xB0, 0x00, 0x00);
        case FindingLevel::Waarschuwing: return QColor(0x80, 0x50, 0x00);
        case FindingLevel::Opmerking: break;
    }
    return Qt::black;
}

QString countOf(const std::vector<Finding>& findings, FindingLevel level, const char* one, const char* many) {
    const auto n = std::count_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.level == level; });
    if (n == 0) return QStringLiteral("geen %1").arg(QString::fromLatin1(many));
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

QString where(const Finding& f) {
    if (f.line < 1 || f.line > kLines) return QStringLiteral("de baan");
    QString text = QStringLiteral("lijn %1").arg(QChar(lineLetter(f.line)));
    if (f.step > 0) text += QStringLiteral(" stap %1").arg(f.step);
    return text;
}

}  // namespace

QString controleSummary(const std::vector<Finding>& findings) {
    QString text = countOf(findings, FindingLevel::Fout, "fout", "fouten") + QStringLiteral(", ") +
                   countOf(findings, FindingLevel::Waarschuwing, "waarschuwing", "waarschuwingen") +
                   QStringLiteral(", ") + countOf(findings, FindingLevel::Opmerking, "opmerking", "opmerkingen");
    const auto fout =
        std::find_if(findings.begin(), findings.end(), [](const Finding& f) { return f.level == FindingLevel::Fout; });
    if (fout != findings.end())
        text += QStringLiteral("\nEerste fout, ") + where(*fout) + QStringLiteral(": ") + fromStoredText(fout->text);
    return text;
}

ControleWindow::ControleWindow(WindowHost& app)
    : Window(app, QStringLiteral("Controle"), kWidth, kHeight, Frame::FixedDialog) {
    summary = new QLabel(this);
    summary->setGeometry(8, 4, kWidth - 16, 40);
    summary->setFont(designedFont(12, true));
    summary->setWordWrap(true);
    list = new QListWidget(this);
    list->setGeometry(8, 48, kWidth - 16, kHeight - 56);
    list->setFont(designedFont(12, false));
    list->setWordWrap(true);
    connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(findings_.size()) && onChoose)
            onChoose(findings_[static_cast<std::size_t>(row)].line, findings_[static_cast<std::size_t>(row)].step);
    });
    setFindings({});
}

void ControleWindow::setFindings(std::vector<Finding> findings) {
    findings_ = std::move(findings);
    summary->setText(controleSummary(findings_));
    const QSignalBlocker quiet(list);
    list->clear();
    for (const Finding& f : findings_) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1, %2: %3").arg(QString::fromLatin1(levelName(f.level)), where(f), fromStoredText(f.text)),
            list);
        item->setForeground(levelColour(f.level));
    }
}

}  // namespace blokpost
