#include "base/forms/message_box_reporter.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace blokpost {

void MessageBoxReporter::keepAbove(QWidget* mainWindow) {
    if (mainWindow_) mainWindow_->removeEventFilter(this);
    mainWindow_ = mainWindow;
    if (mainWindow_) mainWindow_->installEventFilter(this);
}

void MessageBoxReporter::message(const std::string& text) {
    if (mainWindow_ && !mainWindow_->isVisible()) {
        waiting_.push_back(text);
        return;
    }
    show(text);
}

bool MessageBoxReporter::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes before the window is on the screen; the waiting
    // boxes open right after, so they are mapped over it.
    if (watched == mainWindow_ && event->type() == QEvent::Show && !waiting_.empty())
        QTimer::singleShot(0, this, [this] { showWaiting(); });
    return QObject::eventFilter(watched, event);
}

void MessageBoxReporter::showWaiting() {
    const std::vector<std::string> texts = std::move(waiting_);
    waiting_.clear();
    for (const std::string& text : texts) show(text);
}

void MessageBoxReporter::show(const std::string& text) {
    std::erase_if(open_, [](const auto& entry) { return entry.second.isNull(); });
    QPointer<QMessageBox>& shown = open_[text];
    if (shown) {
        shown->raise();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Blokpost"), QString::fromStdString(text),
                                QMessageBox::Ok, mainWindow_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    // A message box drops the stay-on-top hint while it is first shown; set
    // afterwards, it keeps the box over the other windows that stay on top.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->show();
    box->raise();
    box->activateWindow();
    shown = box;
}

bool MessageBoxReporter::confirm(const std::string& question) {
    QWidget* parent = QApplication::activeWindow() ? QApplication::activeWindow() : mainWindow_.data();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Blokpost"), QString::fromStdString(question),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace blokpost
