// The program's own version numbers and the texts built from them.
#pragma once

#include <QString>

namespace vantrel {

struct Version {
    int major;
    int minor;
    int revision;
};

// The version this build carries (from the CMake project version).
Version programVersion();

// "v" + major + "." + minor + revision, no separator before the revision:
// 4.1.4 shows as "v4.14" (main window label, help window).
QString versionLabel(const Version& v = programVersion());
// major + "." + minor, as in the "Edited by: " comment stamp.
QString versionShort(const Version& v = programVersion());
// major + "." + minor + "." + revision (diagnostic report, update question).
QString versionFull(const Version& v = programVersion());

} // namespace vantrel
