// How long runs report progress and learn that the user wants them stopped.
#pragma once

#include <QtGlobal>
#include <functional>

namespace vantrel {

// Called between items with (done, total); returns false to stop the run
// before the next item. The window binds it to its working panel (and lets
// itself repaint there), the CLI to stderr; an empty function never stops.
using Progress = std::function<bool(qsizetype done, qsizetype total)>;

inline bool report(const Progress& p, qsizetype done, qsizetype total)
{
    return !p || p(done, total);
}

} // namespace vantrel
