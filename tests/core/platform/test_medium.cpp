// Renaming on media that lack a feature, played through the medium seam on a
// temporary folder: no RENAME_NOREPLACE (EINVAL), no hard links (EPERM), and
// names found regardless of letter case, as USB sticks and cards behave.
#include "TestFiles.h"
#include "platform/MediumOps.h"
#include "platform/NameCase.h"
#include "platform/SafeRename.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

// The real entry a case-ignoring medium would find for path, or empty.
QByteArray resolve(const char* path)
{
    const QString p = QFile::decodeName(path);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    const QString folder = p.left(slash + 1), name = p.mid(slash + 1);
    for (const QString& e : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System))
        if (e.compare(name, Qt::CaseInsensitive) == 0) return QFile::encodeName(folder + e);
    return {};
}

bool keepsSpelling = false; // a medium on which a case-only rename changes nothing
int refuseRename = 0;       // errno of every plain rename, 0 to let it through

int noNoReplace(const char*, const char*)
{
    return EINVAL;
}
int noLinks(const char*, const char*)
{
    return EPERM;
}
int caseLookup(const char* path)
{
    return resolve(path).isEmpty() ? ENOENT : 0;
}
int caseUnlink(const char* path)
{
    const QByteArray r = resolve(path);
    return r.isEmpty() ? ENOENT : (::unlink(r.constData()) == 0 ? 0 : errno);
}
// Like such a medium, a plain rename replaces whatever answers to the target.
int caseRename(const char* from, const char* to)
{
    if (refuseRename) return refuseRename;
    const QByteArray f = resolve(from), t = resolve(to);
    if (f.isEmpty()) return ENOENT;
    if (f == t && keepsSpelling) return 0;
    if (!t.isEmpty() && t != f) ::unlink(t.constData());
    return ::rename(f.constData(), to) == 0 ? 0 : errno;
}

const detail::MediumOps kExfatLike{&noNoReplace, &noLinks, &caseUnlink, &caseRename, &caseLookup};

class CaseIgnoringMedium : public ::testing::Test {
  protected:
    void SetUp() override
    {
        keepsSpelling = false;
        refuseRename = 0;
        detail::forgetFolderCaseRules();
    }
    void TearDown() override { detail::forgetFolderCaseRules(); }
    QString p(const char* n) const { return dir.path() + QLatin1Char('/') + QString::fromUtf8(n); }
    QStringList listing() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    detail::ScopedMediumOps medium{kExfatLike};
};

} // namespace

TEST_F(CaseIgnoringMedium, RenamesWithoutReplacingAnySpellingOfTheName)
{
    ASSERT_TRUE(writeFile(p("a.mp3"), "alpha"));
    ASSERT_TRUE(writeFile(p("Other.mp3"), "other"));

    RenameResult r = safeRename(p("a.mp3"), p("OTHER.mp3"));
    EXPECT_EQ(r.error, RenameError::NameTaken);
    EXPECT_EQ(listing(), (QStringList{QStringLiteral("Other.mp3"), QStringLiteral("a.mp3")}));
    EXPECT_EQ(readFile(p("Other.mp3")), QByteArray("other"));

    r = safeRename(p("a.mp3"), p("b.mp3"));
    EXPECT_TRUE(r.ok()) << r.code;
    EXPECT_EQ(readFile(p("b.mp3")), QByteArray("alpha"));

    // A medium that really refuses the change still says so.
    refuseRename = EACCES;
    EXPECT_EQ(safeRename(p("b.mp3"), p("c.mp3")).error, RenameError::AccessRefused);
}

TEST_F(CaseIgnoringMedium, CaseOnlyRenameChangesTheSpellingDirectlyOrThroughAStep)
{
    for (const bool keeps : {false, true}) {
        SCOPED_TRACE(keeps ? "medium keeps the spelling" : "direct rename");
        keepsSpelling = keeps;
        ASSERT_TRUE(writeFile(p("artist - song.mp3"), "x"));
        EXPECT_TRUE(isOwnEntry(p("artist - song.mp3"), p("Artist - Song.mp3")));
        EXPECT_TRUE(sameFile(p("artist - song.mp3"), p("ARTIST - SONG.MP3")));
        EXPECT_FALSE(isOwnEntry(p("artist - song.mp3"), p("Artist - Song2.mp3")));

        const RenameResult r = safeRename(p("artist - song.mp3"), p("Artist - Song.mp3"));
        EXPECT_TRUE(r.ok()) << r.code;
        EXPECT_EQ(listing(), QStringList{QStringLiteral("Artist - Song.mp3")});
        EXPECT_EQ(readFile(p("Artist - Song.mp3")), QByteArray("x"));
        ASSERT_TRUE(QFile::remove(p("Artist - Song.mp3")));
    }
}

TEST_F(CaseIgnoringMedium, AnotherEntrySpelledExactlyLikeTheTargetIsNeverReplaced)
{
    // Two entries that Qt folds alike but the medium keeps apart (its case
    // table differs): the second one must survive a "case-only" rename.
    ASSERT_TRUE(writeFile(p("song.mp3"), "mine"));
    ASSERT_TRUE(isOwnEntry(p("song.mp3"), p("Song.mp3")));
    ASSERT_TRUE(writeFile(p("Song.mp3"), "theirs"));
    EXPECT_EQ(safeRename(p("song.mp3"), p("Song.mp3")).error, RenameError::NameTaken);
    EXPECT_EQ(readFile(p("Song.mp3")), QByteArray("theirs"));
    EXPECT_EQ(readFile(p("song.mp3")), QByteArray("mine"));
}

TEST(CaseSensitiveMedium, OtherSpellingsAreOtherFiles)
{
    detail::forgetFolderCaseRules();
    QTemporaryDir dir;
    const QString a = dir.path() + QStringLiteral("/song.mp3"), b = dir.path() + QStringLiteral("/Song.mp3");
    ASSERT_TRUE(writeFile(a, "a"));
    ASSERT_TRUE(writeFile(b, "b"));
    if (folderIgnoresCase(dir.path(), QStringLiteral("song.mp3")) || !QFile::exists(b))
        GTEST_SKIP() << "the temporary folder's medium ignores case";
    EXPECT_FALSE(isOwnEntry(a, b));
    EXPECT_FALSE(sameFile(a, b));
    EXPECT_EQ(safeRename(a, b).error, RenameError::NameTaken);
    EXPECT_TRUE(isOwnEntry(a, a));
}
