// The diagnostic report put in the clipboard after an access failure.
#include "Version.h"
#include "batch/DiagnosticReport.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vantrel;

// Each value on its own line after its label, in order; Remove and Replace only when ticked.
TEST(DiagnosticReport, EveryValueInItsPlace)
{
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    ReportFile f;
    f.path = u("/music/");
    f.after = u("A - B.mp3");
    f.v1 = {u("Art1"), u("Tit1"), u("Alb1"), u("1999"), u("Com1"), u("Rock")};
    f.v2 = {u("Art2"), u("Tit2"), u("Alb2"), u("2001"), u("Com2"), u("7"), u("http://x"), u("Pop")};
    ReportOptions o;
    o.mode = Mode::FileNames;
    o.numbers = o.remove = true;
    o.removeText = u("www, .com");
    o.scheme = 2;
    o.schemeText = u("<Track> <Title>");
    const QString log = u("\r\nPath/File Access error in file: '/music/a - b.mp3', cannot continue.");
    const QDateTime when(QDate(2024, 3, 9), QTime(14, 5, 6));
    const QString text = diagnosticReport(f, o, log, when);
    EXPECT_FALSE(text.contains(QRegularExpression(u("[^\r]\n")))); // CRLF only
    const QStringList lines = text.split(u("\r\n"));
    EXPECT_EQ(lines.first(), u("--------- BEGIN INFO ---------"));
    EXPECT_EQ(lines.last(), u("--------- END INFO ---------"));
    qsizetype at = 0;
    for (const QString& line :
         {u("Vantrel version ") + versionFull(), reportDateTime(when), u("Path: /music/"),
          u("After: A - B.mp3"), u("Genre = Rock"), u("Track = 7"), u("Link to = http://x"),
          u("optType(1) value: True"), u("chkNumbers value: 1"), u("chkRemove value: www, .com"),
          u("chkOptScheme(2) value: True"), u("txtScheme value: <Track> <Title>"), u("Error log:"),
          u("Path/File Access error in file: '/music/a - b.mp3', cannot continue.")}) {
        at = lines.indexOf(line, at);
        EXPECT_GE(at, 0) << line.toStdString();
    }
    EXPECT_FALSE(text.contains(u("chkReplace")));
}
