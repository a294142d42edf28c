// The diagnostic report put in the clipboard after an access failure.
#include "Version.h"
#include "batch/DiagnosticReport.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

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
    o.mode = Mode::FileNames;
    o.numbers = true;
    o.ucase = true;
    o.scheme = 2;
    o.schemeText = u("<Track> <Title>");
    const QString log = u("\r\nPath/File Access error in file: '/music/a - b.mp3', cannot continue.");
    const QString text = diagnosticReport(sampleFile(), o, log, when);
    EXPECT_FALSE(text.endsWith(u("\r\n")));
    EXPECT_FALSE(text.contains(QRegularExpression(u("[^\r]\n"))));
    const QStringList expected = {
        "--------- BEGIN INFO ---------",
        "Vantrel version " + versionFull(),
        reportDateTime(when),
        "Path: /music/",
        "Before: a - b.mp3",
        "After: A - B.mp3",
        "Size: 3.47MB",
        "",
        "ID3v1",
        "Artist = Art1",
        "Title = Tit1",
        "Album = Alb1",
        "Year = 1999",
        "Comment = Com1",
        "Genre = Rock",
        "",
        "",
        "ID3v2",
        "Artist = Art2",
        "Title = Tit2",
        "Album = Alb2",
        "Year = 2001",
        "Comment = Com2",
        "Track = 7",
        "Link to = http://x",
        "Genre = Pop",
        "",
        "",
        "Debug info",
        "optType(1) value: True",
        "optType(2) value: False",
        "optType(0) value: False",
        "chkForceId1 value: 0",
        "chkNumbers value: 1",
        "chkUcase value: 1",
        "chkUcaseAll value: 0",
        "chkOptScheme(0) value: False",
        "chkOptScheme(1) value: False",
        "chkOptScheme(2) value: True",
        "txtScheme value: <Track> <Title>",
        "",
        "Error log:",
        "Path/File Access error in file: '/music/a - b.mp3', cannot continue.",
        "--------- END INFO ---------",
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
        {true, true, {"chkRemove value: www, .com", "chkReplace value: _, "}},
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
                  (QStringList{"txtScheme value: ", "", "Error log:", "--------- END INFO ---------"}));
        EXPECT_EQ(lines.at(lines.indexOf(u("Debug info")) + 3), u("optType(0) value: True"));
    }
}
