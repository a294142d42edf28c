// Rules of thumb for the "Estimated total time" of each long operation, and
// the time text they are shown with. Whole seconds, rounded half to even.
#pragma once

#include <QString>

namespace vantrel {

// The main window's three modes, in the order of its optType buttons: names
// from the tags, names from the file names, tags from the file names.
enum class Mode { TagNames = 0, FileNames = 1, TagsFromNames = 2 };

// Rounds to the nearest whole number, ties to even (2.5 -> 2, 3.5 -> 4).
long long roundHalfEven(double x);

// Dropping n items: the number shown after "More than " and before "s".
long long estimateDrop(long long n);
// Simulating n files in the given mode; slowRepeats when "Remove repeated
// characters" is on (the estimate times 3.3, rounded again).
long long estimateSimulate(long long n, Mode mode, bool slowRepeats);
// Fixing n files: renaming modes, or writing tags in the tag mode.
long long estimateFix(long long n, Mode mode);

// minutes + " min " + seconds (two digits) + " sec": 75 -> "1 min 15 sec".
QString SetTimeFormat(double seconds);

} // namespace vantrel
