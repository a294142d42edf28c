// The characters a new file name may not hold, in one place: the parser's
// last clean-up, the renaming and the details window all remove the same set.
#pragma once

#include <QString>

namespace vantrel {

// Whether c is removed from new names. By Windows-1252 code: 42 ("*"),
// 58-64, 91-96, 123-126, 128, 130-137, 139-153, 155, 161-191, 240 and 248.
bool isForbiddenInFileName(char16_t c);

// Removes the forbidden characters and turns a double quote into "'".
// Everything else is kept (spaces too).
void cleanFileNameInPlace(QString& name);
QString cleanFileName(const QString& name);

} // namespace vantrel
