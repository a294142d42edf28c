// The parser's number stage: removes track numbers (or every digit) while it
// keeps the years 1900 to 2020 and the numbers in the last third of the name.
#pragma once

#include <QString>

namespace vantrel::parser {

// Runs once per pass, on the working name as the bracket clean-up left it.
void numberStage(QString& s, bool removeTrackNumbers, bool removeAllNumbers);

} // namespace vantrel::parser
