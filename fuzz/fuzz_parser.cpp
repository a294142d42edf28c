// libFuzzer target for the filename parser. The input's first two bytes pick
// the options, the rest is the name as UTF-16 (any code units, unpaired
// surrogates included), up to 1,000 characters. Checks: no crash or hang, the
// result ends with the lower-cased extension, forbidden characters are gone.
// With VANTREL_FUZZ_COMPARE=1 in the environment, short names are also run
// through the plain step-list transcription and must give the same result
// (slow under the sanitizers, so it is not on by default).
#include "../tests/core/parser/LiteralParser.cpp"
#include "parser/FilenameParser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const unsigned bits = data[0] | (unsigned(data[1]) << 8);
    data += 2;
    size -= 2;
    const std::size_t units = std::min<std::size_t>(size / 2, 1000);
    QString name(qsizetype(units), Qt::Uninitialized);
    std::memcpy(name.data(), data, units * 2);

    const bool removeTrack = bits & 1, capitalize = bits & 2, removeEnabled = bits & 4, collapse = bits & 8,
               removeAll = bits & 16, replace = bits & 32;
    static const char* const texts[] = {"", "a", " - ", "&repwith&", ".*", "various artists", "-", "www"};
    const QString removeText = QString::fromLatin1(texts[(bits >> 6) & 7]);
    const QString what = replace ? QString::fromLatin1(texts[(bits >> 9) & 7]) : QString();
    const QString with = replace ? QString::fromLatin1(texts[(bits >> 12) & 7]) : QString();

    const QString out = vantrel::trimfilename(name, removeTrack, capitalize, removeText, removeEnabled,
                                              collapse, what, with, removeAll);

    // The extension comes back lower-cased at the end, as long as the final
    // trim and the "&repwith&" replacement cannot reach into it.
    QString ext = name.right(4);
    for (QChar& c : ext) {
        const char32_t l = QChar::toLower(char32_t(c.unicode()));
        c = QChar(l > 0xFFFF ? c.unicode() : char16_t(l));
    }
    if (!ext.contains(u' ') && !ext.contains(u'&') && !out.endsWith(ext)) std::abort();
    if (!replace && !ext.contains(u' ') && !ext.contains(u'&')) {
        const QStringView body = QStringView(out).chopped(ext.size());
        for (QChar c : body)
            if (c == u'/' || c == u'\\' || c == u'"' || c == u':' || c == u'?' || c == u'*' || c == u'|' ||
                c == u'<' || c == u'>')
                std::abort();
    }

    // Differential check where the transcription is quick enough.
    static const bool compare = qEnvironmentVariableIntValue("VANTREL_FUZZ_COMPARE") == 1;
    if (compare && units <= (collapse ? 24u : 64u)) {
        const QString expected = vantrel::literal::trimfilename(
            name, removeTrack, capitalize, removeText, removeEnabled, collapse, what, with, removeAll);
        if (expected != out) std::abort();
    }
    return 0;
}
