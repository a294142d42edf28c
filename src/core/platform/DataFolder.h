// The folder for the program's own data (the history of fixes, downloaded
// updates): $VANTREL_DATA_DIR when set, otherwise "vantrel" in the user's data
// folder. The window and the command-line tool share it.
#pragma once

#include <QString>

namespace vantrel {

QString userDataFolder();

} // namespace vantrel
