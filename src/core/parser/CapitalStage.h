// The parser's capitalisation stage: rebuilds capitals on the all-lower-case
// name the cleanup leaves (artist words, first letter of the title, letters
// after "- ", roman numerals, abbreviations, "feat."/"ft."/"vs."/"vol.", "DJ").
#pragma once

#include <QString>

namespace vantrel::parser {

void capitalStage(QString& s, bool removeTrackNumbers, bool capitalizeWords);

} // namespace vantrel::parser
