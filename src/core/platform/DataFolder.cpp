#include "platform/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace vantrel {

QString userDataFolder()
{
    const QString env = qEnvironmentVariable("VANTREL_DATA_DIR");
    if (!env.isEmpty()) return env;
    // Not AppDataLocation: the window and the command-line tool have different
    // application names and must find the same folder.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/vantrel");
}

} // namespace vantrel
