#include "singlecharactervalidator.h"

#include "characteranalysis.h"

namespace kelvane {

SingleCharacterValidator::SingleCharacterValidator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State SingleCharacterValidator::validate(QString &input, int &pos) const
{
    if (characterCount(input) > 1) {
        // The box held at most one character, so the edit inserted text in
        // front of it, after it, or in its place. The cursor ends behind the
        // insertion: just before the old character when the text went in
        // front, where there was no room for it.
        const bool insertedInFront
            = !m_accepted.isEmpty() && input.endsWith(m_accepted) && pos == input.size() - m_accepted.size();
        if (insertedInFront) {
            input = m_accepted;
            pos = 0;
        } else {
            // After the old character this is the old character; in its
            // place, or into an empty box, the first one inserted.
            input = firstCharacter(input);
            pos = int(input.size());
        }
    }
    m_accepted = input;
    return Acceptable;
}

} // namespace kelvane
