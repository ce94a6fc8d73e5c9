#pragma once
// A spin box that lets the operator type freely and brings the value back
// into its range when the box loses focus; a text that is no number counts
// as the range's minimum.

#include <QSpinBox>

namespace blokpost {

class SpinEdit : public QSpinBox {
public:
    SpinEdit(int minimum, int maximum, int start, QWidget* parent);

    // The value the box stands for now, also while the operator is still typing.
    int currentValue() const;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;
};

}  // namespace blokpost
