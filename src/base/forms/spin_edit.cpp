#include "base/forms/spin_edit.h"

#include <QLineEdit>
#include <algorithm>

namespace blokpost {

SpinEdit::SpinEdit(int minimum, int maximum, int start, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    setValue(start);
}

int SpinEdit::currentValue() const { return valueFromText(lineEdit()->text()); }

QValidator::State SpinEdit::validate(QString& input, int&) const {
    bool number = false;
    const qlonglong value = input.trimmed().toLongLong(&number);
    // Anything may be typed; only a number in range is taken as it stands.
    return number && value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void SpinEdit::fixup(QString& input) const { input = QString::number(valueFromText(input)); }

int SpinEdit::valueFromText(const QString& text) const {
    bool number = false;
    const qlonglong value = text.trimmed().toLongLong(&number);
    if (!number) return minimum();
    return static_cast<int>(std::clamp<qlonglong>(value, minimum(), maximum()));
}

}  // namespace blokpost
