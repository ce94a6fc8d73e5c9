#pragma once
// The texts the program stores (meter names, pin names, timetable rows) are
// 8-bit Latin-1: one byte is one letter. These turn them into what the
// controls show and back, byte for byte, and keep out of the text boxes any
// letter that 8-bit text cannot hold, so what the operator sees is what is stored.

#include <QString>
#include <QValidator>
#include <string>

class QAbstractItemView;
class QLineEdit;

namespace blokpost {

QString fromStoredText(const std::string& bytes);
// Letters beyond Latin-1 cannot be stored; a text box guarded by
// acceptStoredLettersOnly() never holds one.
std::string toStoredText(const QString& text);

// Refuses, as it is typed or pasted, any text with a letter beyond Latin-1.
class StoredTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

void acceptStoredLettersOnly(QLineEdit* edit);
// The same for the text boxes in which a grid's cells are edited.
void acceptStoredLettersOnly(QAbstractItemView* grid);

}  // namespace blokpost
