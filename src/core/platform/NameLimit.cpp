#include "NameLimit.h"

#include <QFile>
#include <climits>
#include <unistd.h>

namespace vantrel {

qsizetype nameLimitBytes(const QString& folder)
{
    const QByteArray f = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    const long limit = ::pathconf(f.constData(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<qsizetype>(limit) : static_cast<qsizetype>(NAME_MAX);
}

qsizetype nameBytes(const QString& name)
{
    return QFile::encodeName(name).size();
}

} // namespace vantrel
