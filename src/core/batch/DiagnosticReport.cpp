#include "DiagnosticReport.h"

#include "Version.h"

#include <QLocale>
#include <QStringList>

namespace vantrel {

static QString truth(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

static QString number(bool b)
{
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

QString reportDateTime(const QDateTime& now)
{
    const QLocale locale;
    // The long time format carries the zone name; the report shows the clock only.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormat);
}

QString diagnosticReport(const ReportFile& f, const ReportOptions& o, const QString& errlog,
                         const QDateTime& now)
{
    QStringList l;
    l << QStringLiteral("--------- BEGIN INFO ---------")
      << QStringLiteral("Vantrel version ") + versionFull() << reportDateTime(now)
      << QStringLiteral("Path: ") + f.path << QStringLiteral("Before: ") + f.before
      << QStringLiteral("After: ") + f.after << QStringLiteral("Size: ") + f.size << QString()
      << QStringLiteral("ID3v1") << QStringLiteral("Artist = ") + f.v1.artist
      << QStringLiteral("Title = ") + f.v1.title << QStringLiteral("Album = ") + f.v1.album
      << QStringLiteral("Year = ") + f.v1.year << QStringLiteral("Comment = ") + f.v1.comment
      << QStringLiteral("Genre = ") + f.v1.genre << QString() << QString() << QStringLiteral("ID3v2")
      << QStringLiteral("Artist = ") + f.v2.artist << QStringLiteral("Title = ") + f.v2.title
      << QStringLiteral("Album = ") + f.v2.album << QStringLiteral("Year = ") + f.v2.year
      << QStringLiteral("Comment = ") + f.v2.comment << QStringLiteral("Track = ") + f.v2.track
      << QStringLiteral("Link to = ") + f.v2.linkTo << QStringLiteral("Genre = ") + f.v2.genre << QString()
      << QString() << QStringLiteral("Debug info")
      << QStringLiteral("optType(1) value: ") + truth(o.mode == Mode::FileNames)
      << QStringLiteral("optType(2) value: ") + truth(o.mode == Mode::TagsFromNames)
      << QStringLiteral("optType(0) value: ") + truth(o.mode == Mode::TagNames)
      << QStringLiteral("chkForceId1 value: ") + number(o.forceId1)
      << QStringLiteral("chkNumbers value: ") + number(o.numbers);
    if (o.remove) l << QStringLiteral("chkRemove value: ") + o.removeText;
    if (o.replace)
        l << QStringLiteral("chkReplace value: ") + o.replaceWhat + QStringLiteral(", ") + o.replaceWith;
    l << QStringLiteral("chkUcase value: ") + number(o.ucase)
      << QStringLiteral("chkUcaseAll value: ") + number(o.ucaseAll)
      << QStringLiteral("chkOptScheme(0) value: ") + truth(o.scheme == 0)
      << QStringLiteral("chkOptScheme(1) value: ") + truth(o.scheme == 1)
      << QStringLiteral("chkOptScheme(2) value: ") + truth(o.scheme == 2)
      << QStringLiteral("txtScheme value: ") + o.schemeText << QString()
      << QStringLiteral("Error log:") + errlog << QStringLiteral("--------- END INFO ---------");
    return l.join(QStringLiteral("\r\n"));
}

} // namespace vantrel
