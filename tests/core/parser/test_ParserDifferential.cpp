// The production parser against the plain transcription of its step list, on
// a generated corpus built from the pieces that make the steps act, under
// every combination of the options. Deterministic: the same names every run.
#include "LiteralParser.h"
#include "ParserCorpus.h"
#include "parser/FilenameParser.h"

#include <QStringList>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

using namespace vantrel::test;
using vantrel::ParserOptions;

// Option set number k: the five switches from its low bits, the texts from the rest.
ParserOptions optionSet(int k)
{
    static const char* const removeTexts[] = {"various artists",   "", "  ", "a", " - ", "Song",
                                              "  Various Artists "};
    static const char* const replaces[][2] = {
        {"", ""},  {"va", "various artists"}, {"abc", "The ABC"}, {"-", "&repwith&"}, {".*", "$1"},
        {"a", ""}, {"song", "SONG"},          {"1", "one"}};
    ParserOptions o;
    o.removeTrackNumbers = k & 1;
    o.capitalizeWords = k & 2;
    o.removeEnabled = k & 4;
    o.removeAllNumbers = k & 8;
    o.collapseRepeats = k & 16;
    o.removeText = QString::fromLatin1(removeTexts[(k >> 5) % 7]);
    const auto& rep = replaces[(k >> 5) / 7 % 8];
    o.replaceEnabled = true;
    o.replaceWhat = QString::fromLatin1(rep[0]);
    o.replaceWith = QString::fromLatin1(rep[1]);
    return o;
}

// The corpus is cut into shards so that CTest can run them side by side.
constexpr int kShards = 8;
constexpr int kNamesPerShard = 13000; // 104,000 names in all
constexpr int kOptionSets = 32 * 7 * 8;
// Four passes through the option sets meet every one, the slow ones included.
static_assert(kShards * kNamesPerShard >= 4 * kOptionSets);

class ParserDifferential : public ::testing::TestWithParam<int> {};

TEST_P(ParserDifferential, AgreesWithStepList)
{
    const int shard = GetParam();
    Random r{0x5EED0000ULL + std::uint64_t(shard)};
    int failures = 0;
    for (int i = 0; i < kNamesPerShard; ++i) {
        const int index = shard * kNamesPerShard + i;
        int k = index % kOptionSets;
        // The step that collapses repeated characters makes the transcription
        // about ten times slower; it stays in every combination but only on
        // every fourth pass through the option sets.
        if ((k & 16) && (index / kOptionSets) % 4 != 0) k &= ~16;
        const QString name = randomName(r, !(k & 16));
        const ParserOptions o = optionSet(k);
        const QString expected = vantrel::literal::trimfilename(
            name, o.removeTrackNumbers, o.capitalizeWords, o.removeText, o.removeEnabled, o.collapseRepeats,
            o.replaceWhat, o.replaceWith, o.removeAllNumbers);
        const QString actual = vantrel::trimfilename(name, o);
        if (actual != expected && ++failures <= 20) {
            ADD_FAILURE() << "name [" << name.toStdString() << "] option set " << k << "\n  literal    ["
                          << expected.toStdString() << "]\n  production [" << actual.toStdString() << "]";
        }
    }
    EXPECT_EQ(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, ParserDifferential, ::testing::Range(0, kShards));

} // namespace
