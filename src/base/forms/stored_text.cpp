#include "base/forms/stored_text.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyledItemDelegate>

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

namespace {

class StoredTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) acceptStoredLettersOnly(edit);
        return editor;
    }
};

}  // namespace

void acceptStoredLettersOnly(QAbstractItemView* grid) { grid->setItemDelegate(new StoredTextDelegate(grid)); }

}  // namespace blokpost
