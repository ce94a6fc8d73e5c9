#include "app/forms/message_box_reporter.h"

#include <QApplication>
#include <QMessageBox>

namespace blokpost {

void MessageBoxReporter::message(const std::string& text) {
    QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Blokpost"), QString::fromStdString(text));
}

bool MessageBoxReporter::confirm(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Blokpost"), QString::fromStdString(question),
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok;
}

}  // namespace blokpost
