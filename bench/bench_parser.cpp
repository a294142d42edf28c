// Filename parser speed: the production parser against the plain step-list
// transcription, on typical names (20 to 80 characters), with the default
// options and with "Remove repeated characters" on. Prints names per second
// and the ratios (thread CPU time). Run from the build folder:
//   bench/bench_parser [seconds per figure, default 2] [--production-only]
// A small figure (0.01) makes one round over the names, for a profiler.
#include "parser/FilenameParser.h"

// The transcription lives with the tests; it is compiled in here as well.
#include "../tests/core/parser/LiteralParser.cpp"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::uint64_t rng = 0x1234567ULL;
int pick(int n)
{
    rng = rng * 6364136223846793005ULL + 1442695040888963407ULL;
    return int((rng >> 33) % std::uint64_t(n));
}

QStringList typicalNames(int count)
{
    const QStringList artists = {
        "Some Artist", "the_band", "DJ Someone feat. Other", "ARTIST NAME",
        "Los Músicos", "a.b.c.",   "Various Artists",        "The Long Named Orchestra"};
    const QStringList titles = {"Song Title",        "some_song_(radio_edit)",
                                "Track Of The Year", "Remix 2005",
                                "Part II",           "Don't Stop",
                                "Sooooong",          "intro"};
    const QStringList prefixes = {"", "01 - ", "07. ", "105 ", "(03) ", "12_-_", "", "va - "};
    const QStringList suffixes = {"",        " [www.example.com]", " (Live)", " - qmi", " 1999", " [rip]", "",
                                  " %20edit"};
    const QStringList exts = {".mp3", ".mp3", ".MP3", ".wma"};
    QStringList names;
    while (names.size() < count) {
        const QString n = prefixes[pick(8)] + artists[pick(8)] + (pick(2) ? " - " : "_-_") + titles[pick(8)] +
                          suffixes[pick(8)] + exts[pick(4)];
        if (n.size() >= 20 && n.size() <= 80) names << n;
    }
    return names;
}

// CPU time of this thread: the figure for one core, also on a busy machine.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

template <class F> double namesPerSecond(const QStringList& names, F parse, double minSeconds)
{
    const double start = cpuSeconds();
    std::size_t done = 0, sink = 0;
    double elapsed = 0;
    do {
        for (const QString& n : names)
            sink += std::size_t(parse(n).size());
        done += std::size_t(names.size());
        elapsed = cpuSeconds() - start;
    } while (elapsed < minSeconds);
    if (sink == 0) std::puts("");
    return double(done) / elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    double seconds = 2.0;
    bool withLiteral = true;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--production-only")
            withLiteral = false;
        else
            seconds = std::atof(argv[i]);
    }
    const QStringList names = typicalNames(2000);
    const QStringList few = names.mid(0, 200);
    for (bool collapse : {false, true}) {
        const auto production = [collapse](const QString& n) {
            return vantrel::trimfilename(n, true, true, QString(), false, collapse, QString(), QString(),
                                         false);
        };
        const auto literal = [collapse](const QString& n) {
            return vantrel::literal::trimfilename(n, true, true, QString(), false, collapse, QString(),
                                                  QString(), false);
        };
        const double p = namesPerSecond(names, production, seconds);
        if (!withLiteral) {
            std::printf("%-28s production %10.0f names/s\n",
                        collapse ? "collapse repeats on:" : "default options:", p);
            continue;
        }
        const double l = namesPerSecond(few, literal, seconds);
        std::printf("%-28s production %10.0f names/s   literal %8.0f names/s   ratio %6.1fx\n",
                    collapse ? "collapse repeats on:" : "default options:", p, l, p / l);
    }
    const auto plain = [](const QString& n) { return vantrel::trimfilename(n, vantrel::ParserOptions()); };
    vantrel::ParserOptions slowOptions;
    slowOptions.collapseRepeats = true;
    const auto slow = [&slowOptions](const QString& n) { return vantrel::trimfilename(n, slowOptions); };
    const double a = namesPerSecond(names, plain, seconds), b = namesPerSecond(names, slow, seconds);
    std::printf("collapse repeats costs %.2fx the default time\n", a / b);
    return 0;
}
