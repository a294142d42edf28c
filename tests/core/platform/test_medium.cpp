// Renaming on a medium played through the seam on a temporary folder: no
// RENAME_NOREPLACE (EINVAL), no hard links (EPERM), names found regardless of
// letter case and, like such media, a plain rename that replaces its target.
#include "TestFiles.h"
#include "platform/MediumOps.h"
#include "platform/NameCase.h"
#include "platform/SafeRename.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

bool keepsSpelling = false; // a case-only rename succeeds but changes nothing

// The real entry the medium finds for path, whatever its spelling, or empty.
QByteArray resolve(const char* path)
{
    const QString p = QString::fromUtf8(path), folder = p.left(p.lastIndexOf('/') + 1);
    for (const QString& e : QDir(folder).entryList(QDir::Files))
        if (e.compare(p.mid(folder.size()), Qt::CaseInsensitive) == 0) return (folder + e).toUtf8();
    return {};
}

int caseRename(const char* from, const char* to)
{
    const QByteArray f = resolve(from), t = resolve(to);
    if (f.isEmpty()) return ENOENT;
    if (f == t && keepsSpelling) return 0;
    if (!t.isEmpty() && t != f) ::unlink(t.constData()); // what the medium would do
    return ::rename(f.constData(), to) == 0 ? 0 : errno;
}

const detail::MediumOps kExfatLike{
    [](const char*, const char*) { return EINVAL; }, [](const char*, const char*) { return EPERM; },
    detail::systemOps().unlink, &caseRename, [](const char* p) { return resolve(p).isEmpty() ? ENOENT : 0; }};

class CaseIgnoringMedium : public ::testing::Test {
  protected:
    void SetUp() override { detail::forgetFolderCaseRules(); }
    void TearDown() override { detail::forgetFolderCaseRules(); }
    QString p(const char* n) const { return dir.path() + '/' + QString::fromUtf8(n); }

    QTemporaryDir dir;
    detail::ScopedMediumOps medium{kExfatLike};
};

} // namespace

TEST_F(CaseIgnoringMedium, NeverReplacesAnySpelling)
{
    ASSERT_TRUE(writeFile(p("a.mp3"), "alpha") && writeFile(p("Other.mp3"), "other"));
    EXPECT_FALSE(isOwnEntry(p("a.mp3"), p("OTHER.mp3")));
    EXPECT_EQ(safeRename(p("a.mp3"), p("OTHER.mp3")).error, RenameError::NameTaken);
    EXPECT_EQ(readFile(p("Other.mp3")), QByteArray("other"));
    EXPECT_TRUE(safeRename(p("a.mp3"), p("b.mp3")).ok());
    EXPECT_EQ(readFile(p("b.mp3")), QByteArray("alpha"));

    // Folded alike by us, kept apart by the medium: the other entry survives.
    ASSERT_TRUE(writeFile(p("B.mp3"), "beta"));
    EXPECT_EQ(safeRename(p("b.mp3"), p("B.mp3")).error, RenameError::NameTaken);
    EXPECT_EQ(readFile(p("B.mp3")), QByteArray("beta"));
}

TEST_F(CaseIgnoringMedium, CaseOnlyRenameDirectlyOrThroughAStepName)
{
    for (const bool keeps : {false, true}) {
        SCOPED_TRACE(keeps);
        keepsSpelling = keeps;
        ASSERT_TRUE(writeFile(p("artist - song.mp3"), "x"));
        EXPECT_TRUE(sameFile(p("artist - song.mp3"), p("ARTIST - SONG.MP3")));
        EXPECT_TRUE(safeRename(p("artist - song.mp3"), p("Artist - Song.mp3")).ok());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Artist - Song.mp3"});
        EXPECT_EQ(readFile(p("Artist - Song.mp3")), QByteArray("x"));
        ASSERT_TRUE(QFile::remove(p("Artist - Song.mp3")));
    }
    keepsSpelling = false;
}
