// Small text rules the batch operations share for tag texts and names.
#pragma once

#include "parser/ParserText.h"

#include <QString>

namespace vantrel {

// Trim in the program's sense: spaces only, not tabs or other white space.
inline QString trimSpaces(const QString& s)
{
    return parser::trimmedSpaces(s);
}

// A tag text passed through a text field ends at its first zero character.
inline QString cutAtZero(const QString& s)
{
    const qsizetype z = s.indexOf(QChar(0));
    return z < 0 ? s : s.left(z);
}

} // namespace vantrel
