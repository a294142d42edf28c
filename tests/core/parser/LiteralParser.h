// A plain, unoptimised transcription of the filename parser's ordered step
// list: every loop runs over its full range, every replacement is made even
// when it cannot find anything. It is slow on purpose and serves as the
// reference that the production parser is compared against.
#pragma once

#include <QString>

namespace vantrel::literal {

QString trimfilename(const QString& name, bool removeTrackNumbers, bool capitalizeWords,
                     const QString& removeText, bool removeEnabled, bool collapseRepeats,
                     const QString& replaceWhat, const QString& replaceWith, bool removeAllNumbers);

} // namespace vantrel::literal
