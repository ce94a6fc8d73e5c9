#include "app/forms/message_box_reporter.h"

#include <QApplication>

namespace blokpost {

void MessageBoxReporter::message(const std::string& text) {
    std::erase_if(open_, [](const auto& entry) { return entry.second.isNull(); });
    QPointer<QMessageBox>& shown = open_[text];
    if (shown) {
        shown->raise();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Blokpost"), QString::fromStdString(text),
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->setWindowModality(Qt::NonModal);
    box->show();
    shown = box;
}

bool MessageBoxReporter::confirm(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Blokpost"), QString::fromStdString(question),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok;
}

}  // namespace blokpost
