#include "Version.h"
#include "batch/DiagnosticReport.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

ReportFile sampleFile()
{
    ReportFile f;
    f.path = u("/music/");
    f.before = u("a - b.mp3");
    f.after = u("A - B.mp3");
    f.size = u("3.47MB");
    f.v1 = {u("Art1"), u("Tit1"), u("Alb1"), u("1999"), u("Com1"), u("Rock")};
    f.v2 = {u("Art2"), u("Tit2"), u("Alb2"), u("2001"), u("Com2"), u("7"), u("http://x"), u("Pop")};
    return f;
}

const QDateTime when(QDate(2024, 3, 9), QTime(14, 5, 6));

} // namespace

TEST(DiagnosticReport, WholeTextLineByLine)
{
    ReportOptions o;
    o.mode = 1;
    o.numbers = true;
    o.ucase = true;
    o.scheme = 2;
    o.schemeText = u("<Track> <Title>");
    const QString log = u("\r\nPath/File Access error in file: '/music/a - b.mp3', cannot continue.");
    const QString text = diagnosticReport(sampleFile(), o, log, when);
    EXPECT_FALSE(text.endsWith(u("\r\n")));
    EXPECT_FALSE(text.contains(QRegularExpression(u("[^\r]\n"))));
    const QStringList expected = {
        u("--------- BEGIN INFO ---------"),
        u("Vantrel version ") + versionFull(),
        reportDateTime(when),
        u("Path: /music/"),
        u("Before: a - b.mp3"),
        u("After: A - B.mp3"),
        u("Size: 3.47MB"),
        u(""),
        u("ID3v1"),
        u("Artist = Art1"),
        u("Title = Tit1"),
        u("Album = Alb1"),
        u("Year = 1999"),
        u("Comment = Com1"),
        u("Genre = Rock"),
        u(""),
        u(""),
        u("ID3v2"),
        u("Artist = Art2"),
        u("Title = Tit2"),
        u("Album = Alb2"),
        u("Year = 2001"),
        u("Comment = Com2"),
        u("Track = 7"),
        u("Link to = http://x"),
        u("Genre = Pop"),
        u(""),
        u(""),
        u("Debug info"),
        u("optType(1) value: True"),
        u("optType(2) value: False"),
        u("optType(0) value: False"),
        u("chkForceId1 value: 0"),
        u("chkNumbers value: 1"),
        u("chkUcase value: 1"),
        u("chkUcaseAll value: 0"),
        u("chkOptScheme(0) value: False"),
        u("chkOptScheme(1) value: False"),
        u("chkOptScheme(2) value: True"),
        u("txtScheme value: <Track> <Title>"),
        u(""),
        u("Error log:"),
        u("Path/File Access error in file: '/music/a - b.mp3', cannot continue."),
        u("--------- END INFO ---------"),
    };
    EXPECT_EQ(text.split(u("\r\n")), expected);
}

TEST(DiagnosticReport, RemoveAndReplaceLinesOnlyWhenTicked)
{
    const struct {
        bool remove;
        bool replace;
        QStringList between; // lines between "chkNumbers value: 0" and "chkUcase value: 0"
    } table[] = {
        {false, false, {}},
        {true, false, {u("chkRemove value: www, .com")}},
        {false, true, {u("chkReplace value: _, ")}},
        {true, true, {u("chkRemove value: www, .com"), u("chkReplace value: _, ")}},
    };
    for (const auto& row : table) {
        ReportOptions o;
        o.remove = row.remove;
        o.removeText = u("www, .com");
        o.replace = row.replace;
        o.replaceWhat = u("_");
        o.replaceWith = u("");
        const QStringList lines = diagnosticReport(sampleFile(), o, {}, when).split(u("\r\n"));
        const qsizetype from = lines.indexOf(u("chkNumbers value: 0"));
        const qsizetype to = lines.indexOf(u("chkUcase value: 0"));
        ASSERT_GE(from, 0);
        ASSERT_GT(to, from);
        EXPECT_EQ(lines.mid(from + 1, to - from - 1), row.between);
        // An empty log: "Error log:" right after the empty line, then the end.
        EXPECT_EQ(lines.mid(lines.size() - 4),
                  (QStringList{u("txtScheme value: "), u(""), u("Error log:"), u("--------- END INFO ---------")}));
        EXPECT_EQ(lines.at(lines.indexOf(u("Debug info")) + 3), u("optType(0) value: True"));
    }
}
