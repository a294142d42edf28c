// Renaming that never replaces an existing file, by both ways the program
// knows: renameat2 with RENAME_NOREPLACE and link-then-unlink.
#include "TestFiles.h"
#include "platform/SafeRename.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

using namespace vantrel;
using vantrel::test::readFile;
using vantrel::test::writeFile;

namespace {

struct Variant {
    const char* name;
    RenameResult (*fn)(const QString&, const QString&);
};

class SafeRenameTest : public ::testing::TestWithParam<Variant> {
  protected:
    QTemporaryDir dir;
    QString p(const char* n) const { return dir.path() + QLatin1Char('/') + QString::fromUtf8(n); }
};

} // namespace

TEST_P(SafeRenameTest, RenamesButNeverReplacesAnExistingFileAndReportsAMissingOne)
{
    ASSERT_TRUE(writeFile(p("a.mp3"), "alpha"));
    ASSERT_TRUE(writeFile(p("b.mp3"), "beta"));
    RenameResult r = GetParam().fn(p("a.mp3"), p("b.mp3"));
    EXPECT_EQ(r.error, RenameError::NameTaken);
    EXPECT_EQ(r.code, EEXIST);
    EXPECT_EQ(readFile(p("a.mp3")), QByteArray("alpha"));
    EXPECT_EQ(readFile(p("b.mp3")), QByteArray("beta"));

    r = GetParam().fn(p("gone.mp3"), p("c.mp3"));
    EXPECT_EQ(r.error, RenameError::Other);
    EXPECT_EQ(r.code, ENOENT);
    EXPECT_FALSE(QFile::exists(p("c.mp3")));

    EXPECT_TRUE(GetParam().fn(p("a.mp3"), p("c.mp3")).ok());
    EXPECT_FALSE(QFile::exists(p("a.mp3")));
    EXPECT_EQ(readFile(p("c.mp3")), QByteArray("alpha"));
}

INSTANTIATE_TEST_SUITE_P(Both, SafeRenameTest,
                         ::testing::Values(Variant{"Renameat2", &safeRename},
                                           Variant{"LinkUnlink", &detail::renameByLink}),
                         [](const ::testing::TestParamInfo<Variant>& p) {
                             return std::string(p.param.name);
                         });
