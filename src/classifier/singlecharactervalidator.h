#pragma once

#include <QString>
#include <QValidator>

namespace kelvane {

// Holds an input box to one character, as a length limit of 1 would, but
// counting a surrogate pair as one character: QLineEdit::maxLength counts
// UTF-16 units and would either refuse a character outside the Basic
// Multilingual Plane or cut it in half.
//
// Like a length limit, an insertion keeps only as much as fits: typing into a
// full box changes nothing, and text typed or pasted over the selection, or
// into an empty box, is cut to its first character.
class SingleCharacterValidator final : public QValidator
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleCharacterValidator)

public:
    explicit SingleCharacterValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    // The box's text before the edit being validated; a box with a validator
    // has no other text than one this validator accepted.
    mutable QString m_accepted;
};

} // namespace kelvane
