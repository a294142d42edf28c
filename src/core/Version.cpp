#include "Version.h"

namespace vantrel {

Version programVersion()
{
    return {VANTREL_VERSION_MAJOR, VANTREL_VERSION_MINOR, VANTREL_VERSION_PATCH};
}

QString versionLabel(const Version& v)
{
    return QStringLiteral("v%1.%2%3").arg(v.major).arg(v.minor).arg(v.revision);
}

QString versionShort(const Version& v)
{
    return QStringLiteral("%1.%2").arg(v.major).arg(v.minor);
}

QString versionFull(const Version& v)
{
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}

} // namespace vantrel
