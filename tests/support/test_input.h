#pragma once
// The operator's hands in the window tests: mouse buttons and typing, sent
// to a control as the window system would deliver them.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QString>
#include <QWidget>

namespace blokpost::test {

// One press or release of `button` at `at` on the widget.
inline void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPointF at = QPointF(5, 5)) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

inline void rightPress(QWidget* widget) { sendMouse(widget, QEvent::MouseButtonPress, Qt::RightButton); }

// Replaces a control's text by typing, key by key, as the operator would.
inline void typeInto(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(control, &press);
        QCoreApplication::sendEvent(control, &release);
    }
}

}  // namespace blokpost::test
