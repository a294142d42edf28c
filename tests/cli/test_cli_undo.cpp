// vantrel-cli undo and the accounts of fix, tag and undo: two fixes at once,
// tag writes put back byte for byte, damaged journals, and exit codes.
#include "CliRun.h"
#include "Id3v2Bytes.h"
#include "TestFiles.h"

#include <QDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantrel::test;

namespace {

class CliUndo : public CliFolders {
  protected:
    QStringList makeFolder(const QString& sub, int n) const
    {
        QDir(music.path()).mkpath(sub);
        for (int i = 0; i < n; ++i)
            writeFile(path(sub + QStringLiteral("/%1 - some_artist - song_%1.mp3").arg(i)), mpegFrames(1));
        return disk(sub);
    }
};

} // namespace

TEST_F(CliUndo, TwoFixesAtOnceAreEachUndone)
{
    for (const bool sameFolder : {false, true}) {
        SCOPED_TRACE(sameFolder ? "same folder" : "two folders");
        const QStringList before[] = {makeFolder(u("a"), 60), makeFolder(u("b"), 60)};
        const QString target[] = {path(u("a")), path(sameFolder ? u("a") : u("b"))};
        QProcess p[2];
        for (int i = 0; i < 2; ++i) {
            p[i].setProcessEnvironment(env());
            p[i].start(QStringLiteral(VANTREL_CLI), {"fix", "--mode", "file-names", "--yes", target[i]});
        }
        for (QProcess& one : p)
            ASSERT_TRUE(one.waitForFinished(120000));
        EXPECT_NE(disk(u("a")), before[0]);

        // On one folder the later run may find nothing left to change: no record then.
        const CliRun list = run({"undo", "--list"});
        EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
        const int runs = int(list.out.count(u("  finished  ")));
        EXPECT_TRUE(runs == 2 || (sameFolder && runs == 1)) << list.out.toStdString();
        for (int i = 0; i < runs; ++i) {
            const CliRun undo = run({"undo"});
            EXPECT_EQ(undo.exitCode, 0) << undo.err.toStdString();
        }
        EXPECT_EQ(disk(u("a")), before[0]);
        EXPECT_EQ(disk(u("b")), before[1]);
        QDir(path(u("a"))).removeRecursively();
        QDir(path(u("b"))).removeRecursively();
    }
}

TEST_F(CliUndo, AccountsAndExitCodes)
{
    const QString tagged = path(u("tagged1.mp3"));
    const QByteArray original =
        id3v2Tag(3, frame23("TPE1", latin1Text("Radiohead")) + frame23("TIT2", latin1Text("Karma Police")),
                 16) +
        mpegFrames(3) + id3v1Record("Karma Police", "Radiohead");
    writeFile(tagged, original);
    writeFile(path(u("some artist - clean.mp3")), mpegFrames(1));
    writeFile(path(u("Some Artist - Fine.mp3")), mpegFrames(1));
    // A name that cannot be shown is refused at loading.
    const QByteArray odd = QFile::encodeName(music.path()) + "/bad \xff.mp3";
    ::close(::open(odd.constData(), O_CREAT | O_WRONLY, 0644));

    const struct {
        QStringList args;
        int exitCode;
        const char* says; // on stderr
    } table[] = {
        {{"undo"}, 0, "Nothing to undo."},
        {{"fix", "--mode", "tags-from-names", "--overwrite-tags", "--yes", tagged},
         0,
         "Tags: 1 file(s) written, 0 skipped, 0 failed."},
        {{"fix", "--mode", "file-names", "--yes", music.path()},
         1,
         "Fix: 2 renamed, 1 unchanged, 0 skipped, 0 failed. 1 file(s) refused at loading."},
        {{"undo"}, 0, "(2 file(s) renamed back, 0 file(s) with their old tags), 0 could not be."},
        {{"undo"}, 0, "(0 file(s) renamed back, 1 file(s) with their old tags), 0 could not be."},
        {{"tag", tagged, "--v2", "Title=Other"}, 0, ""},
        {{"undo"}, 0, "1 file(s) with their old tags"},
        {{"undo", "--bogus"}, 2, "unexpected argument"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.args.join(u(" ")).toStdString());
        const CliRun r = run(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u(row.says))) << r.err.toStdString();
    }
    EXPECT_EQ(readFile(tagged), original);
    EXPECT_TRUE(disk().contains(u("some artist - clean.mp3")));
    ::unlink(odd.constData());

    // A damaged newest journal is reported by name, exit 1, never "Nothing to undo".
    QDir(data.path()).mkpath(u("history"));
    const QString garbage = data.path() + u("/history/99999999-garbage.journal");
    writeFile(garbage, "\x01\x02 not a journal\n");
    for (const QStringList& args : {QStringList{"undo", "--list"}, QStringList{"undo"}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(garbage)) << r.err.toStdString();
    }
}
