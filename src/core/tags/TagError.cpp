#include "tags/TagError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstring>

namespace vantrel {

TagFileError::TagFileError(int number, const QString& description, const QString& source)
    : std::runtime_error(description.toStdString()), number_(number), description_(description),
      source_(source)
{
}

TagFileError TagFileError::fromErrno(int errnum, const QString& className)
{
    return TagFileError(errnum, systemErrorText(errnum), tagErrorSource(className));
}

QString tagErrorSource(const QString& className)
{
    QString exe;
    if (QCoreApplication::instance())
        exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (exe.isEmpty()) exe = QStringLiteral("vantrel");
    return exe + QLatin1Char('.') + className;
}

QString systemErrorText(int errnum)
{
    return QString::fromLocal8Bit(std::strerror(errnum));
}

} // namespace vantrel
