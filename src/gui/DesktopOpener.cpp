#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace vantrel {

bool DesktopOpener::open(const QString& target)
{
    if (target.isEmpty()) return false;
    // An existing path is always a file, even when its name looks like an address.
    const bool isPath = target.startsWith(QLatin1Char('/')) || QFileInfo::exists(target);
    const QUrl url =
        isPath ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()) : QUrl::fromUserInput(target);
    if (!url.isValid()) return false;
    return QDesktopServices::openUrl(url);
}

} // namespace vantrel
