#include "app/forms/stored_text.h"

#include <QLineEdit>

namespace blokpost {

QString fromStoredText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toStoredText(const QString& text) { return text.toLatin1().toStdString(); }

QValidator::State StoredTextValidator::validate(QString& input, int&) const {
    for (const QChar letter : input)
        if (letter.unicode() > 0xFF) return Invalid;
    return Acceptable;
}

void acceptStoredLettersOnly(QLineEdit* edit) { edit->setValidator(new StoredTextValidator(edit)); }

}  // namespace blokpost
