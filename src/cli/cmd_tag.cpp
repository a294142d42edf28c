// vantrel-cli tag: sets fields of a file's ID3v1 and ID3v2 tags and writes them.
#include "Command.h"
#include "batch/FixJournal.h"
#include "platform/FileLock.h"
#include "tags/ForeignTags.h"
#include "tags/Id3v2Writer.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <functional>
#include <map>
#include <optional>

namespace vantrel::cli {

namespace {

const char* const usageText =
    "Usage: vantrel-cli tag FILE [--v1 FIELD=VALUE]... [--v2 FIELD=VALUE]...\n\n"
    "Sets tag fields and writes each tag that was given a field.\n"
    "  --v1 fields: Title Artist Album Year Comment Genre Track (Genre and Track 0-255)\n"
    "  --v2 fields: Title Artist Album Year Comment Genre OtherGenreName Track Composer\n"
    "               Copyright OriginalArtist EncodedBy LinkTo Lyrics PlayCounter AudioURL\n"
    "               BuyURL ArtistURL (Genre 0-255)\n"
    "Field names are not case-sensitive. `vantrel-cli undo` puts the old tags back.\n"
    "A WMA, FLAC, Ogg Vorbis, Opus or M4A file (told by its content) keeps its own\n"
    "tag: only --v2 Title Artist Album Year Comment Track Genre are taken, and\n"
    "written into that tag.\n";

// A number 0..255 as the byte fields take it.
std::optional<int> byteValue(const QString& v)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    if (!ok || n < 0 || n > 255) return std::nullopt;
    return n;
}

using Setter1 = std::function<bool(cMP3ID3v1&, const QString&)>;
using Setter2 = std::function<bool(cMP3ID3v2&, const QString&)>;

template <typename T> std::function<bool(T&, const QString&)> text(void (T::*set)(const QString&))
{
    return [set](T& t, const QString& v) {
        (t.*set)(v);
        return true;
    };
}

const std::map<QString, Setter1>& v1Fields()
{
    static const std::map<QString, Setter1> m{
        {QStringLiteral("title"), text(&cMP3ID3v1::setTitle)},
        {QStringLiteral("artist"), text(&cMP3ID3v1::setArtist)},
        {QStringLiteral("album"), text(&cMP3ID3v1::setAlbum)},
        {QStringLiteral("year"), text(&cMP3ID3v1::setYear)},
        {QStringLiteral("comment"), text(&cMP3ID3v1::setComment)},
        {QStringLiteral("genre"),
         [](cMP3ID3v1& t, const QString& v) {
             const auto n = byteValue(v);
             if (n) t.setGenre(static_cast<quint8>(*n));
             return n.has_value();
         }},
        {QStringLiteral("track"),
         [](cMP3ID3v1& t, const QString& v) {
             const auto n = byteValue(v);
             if (n) t.setTrack(static_cast<quint8>(*n));
             return n.has_value();
         }},
    };
    return m;
}

const std::map<QString, Setter2>& v2Fields()
{
    static const std::map<QString, Setter2> m{
        {QStringLiteral("title"), text(&cMP3ID3v2::setTitle)},
        {QStringLiteral("artist"), text(&cMP3ID3v2::setArtist)},
        {QStringLiteral("album"), text(&cMP3ID3v2::setAlbum)},
        {QStringLiteral("year"), text(&cMP3ID3v2::setYear)},
        {QStringLiteral("comment"), text(&cMP3ID3v2::setComment)},
        {QStringLiteral("othergenrename"), text(&cMP3ID3v2::setOtherGenreName)},
        {QStringLiteral("track"), text(&cMP3ID3v2::setTrack)},
        {QStringLiteral("composer"), text(&cMP3ID3v2::setComposer)},
        {QStringLiteral("copyright"), text(&cMP3ID3v2::setCopyright)},
        {QStringLiteral("originalartist"), text(&cMP3ID3v2::setOriginalArtist)},
        {QStringLiteral("encodedby"), text(&cMP3ID3v2::setEncodedBy)},
        {QStringLiteral("linkto"), text(&cMP3ID3v2::setLinkTo)},
        {QStringLiteral("lyrics"), text(&cMP3ID3v2::setLyrics)},
        {QStringLiteral("playcounter"), text(&cMP3ID3v2::setPlayCounter)},
        {QStringLiteral("audiourl"), text(&cMP3ID3v2::setAudioURL)},
        {QStringLiteral("buyurl"), text(&cMP3ID3v2::setBuyURL)},
        {QStringLiteral("artisturl"), text(&cMP3ID3v2::setArtistURL)},
        {QStringLiteral("genre"),
         [](cMP3ID3v2& t, const QString& v) {
             const auto n = byteValue(v);
             if (n) t.setGenre(*n);
             return n.has_value();
         }},
    };
    return m;
}

struct Assignment {
    bool v2;
    QString field; // lower case
    QString value;
};

int usageError(Streams& io, const QString& why)
{
    io.err << "vantrel-cli tag: " << why << "\n\n" << usageText;
    return ExitUsage;
}

// A file with a tag of its own (WMA, FLAC, Ogg, M4A): the --v2 fields it has
// go into that tag. Anything it cannot hold refuses the whole write, file
// unchanged. The write is journaled like an ID3 write, so that undo puts the
// old tag back.
int tagForeign(Streams& io, const QString& file, AudioFormat format, const QList<Assignment>& assignments)
{
    const QString kind = ForeignTags::formatKey(format).toUpper();
    ForeignTagEdit edit;
    const std::map<QString, std::optional<QString>*> fields{
        {QStringLiteral("title"), &edit.title},     {QStringLiteral("artist"), &edit.artist},
        {QStringLiteral("album"), &edit.album},     {QStringLiteral("year"), &edit.year},
        {QStringLiteral("comment"), &edit.comment}, {QStringLiteral("track"), &edit.track},
        {QStringLiteral("genre"), &edit.genre}};
    for (const Assignment& as : assignments) {
        const auto it = fields.find(as.field);
        if (!as.v2 || it == fields.end()) {
            io.err << "vantrel-cli tag: " << file << ": a " << kind << " file has no "
                   << (as.v2 ? QStringLiteral("field ") + as.field : QStringLiteral("ID3v1 tag"))
                   << "; nothing written\n";
            return ExitFailure;
        }
        // The tag holds the genre's name.
        *it->second = as.field == QLatin1String("genre") ? cMP3ID3v2::GenreName(as.value.toInt()) : as.value;
    }
    FixJournal journal; // a run of its own: `vantrel-cli undo` puts the tag back
    if (QString reason; !assignments.isEmpty() && !journal.recordTagWrite(file, &reason)) {
        io.err << "vantrel-cli tag: " << file << ": not written: " << reason << '\n';
        return ExitFailure;
    }
    const ForeignTagResult r = ForeignTags::write(file, edit);
    if (!r.ok) {
        io.err << "vantrel-cli tag: " << file << ": " << kind << " tag not written: " << r.error << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

int runTag(const QStringList& args, Streams& io)
{
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        io.out << usageText;
        return ExitOk;
    }
    QString file;
    QList<Assignment> assignments;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--v1") || a == QLatin1String("--v2")) {
            if (i + 1 >= args.size()) return usageError(io, a + QStringLiteral(" needs FIELD=VALUE"));
            const QString pair = args[++i];
            const qsizetype eq = pair.indexOf(QLatin1Char('='));
            if (eq <= 0) return usageError(io, QStringLiteral("'%1' is not FIELD=VALUE").arg(pair));
            Assignment as{a == QLatin1String("--v2"), pair.left(eq).toLower(), pair.mid(eq + 1)};
            const bool known = as.v2 ? v2Fields().count(as.field) != 0 : v1Fields().count(as.field) != 0;
            if (!known)
                return usageError(io, QStringLiteral("unknown %1 field '%2'").arg(a.mid(2), pair.left(eq)));
            const bool numeric =
                as.field == QLatin1String("genre") || (!as.v2 && as.field == QLatin1String("track"));
            if (numeric && !byteValue(as.value))
                return usageError(io, QStringLiteral("'%1' is not a number from 0 to 255").arg(as.value));
            assignments << as;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return usageError(io, QStringLiteral("unknown option '%1'").arg(a));
        } else if (file.isEmpty()) {
            file = a;
        } else {
            return usageError(io, QStringLiteral("only one FILE is taken"));
        }
    }
    if (file.isEmpty()) return usageError(io, QStringLiteral("no FILE given"));
    if (const AudioFormat format = detectAudioFormat(file); ForeignTags::handles(format))
        return tagForeign(io, file, format, assignments);

    // Held from reading the tags to the end of writing them: parallel runs on
    // one file take turns instead of losing each other's fields.
    FileLock lock;
    QString why;
    if (!lock.acquire(file, &why) && lock.busy()) {
        io.err << "vantrel-cli tag: " << file << ": nothing written: " << why << '\n';
        return ExitFailure;
    }
    cMP3ID3v1 v1;
    cMP3ID3v2 v2;
    try {
        v1.setMP3File(file);
        v2.setMP3File(file);
    } catch (const TagFileError& e) {
        io.err << "vantrel-cli tag: " << file << ": " << e.description() << '\n';
        return ExitFailure;
    }
    bool touched1 = false, touched2 = false;
    for (const Assignment& as : assignments) {
        if (as.v2)
            v2Fields().at(as.field)(v2, as.value);
        else
            v1Fields().at(as.field)(v1, as.value);
        (as.v2 ? touched2 : touched1) = true;
    }

    // An ID3v2 tag that could not be read completely is not rewritten, and
    // then nothing is: the file stays as it is.
    if (touched2 && !v2.unreadReason().isEmpty()) {
        io.err << "vantrel-cli tag: " << file
               << ": nothing written: " << id3v2::unreadTagError(v2.unreadReason()) << '\n';
        return ExitFailure;
    }
    FixJournal journal; // a run of its own: `vantrel-cli undo` puts the tags back
    if (QString reason; (touched1 || touched2) && !journal.recordTagWrite(file, &reason)) {
        io.err << "vantrel-cli tag: " << file << ": not written: " << reason << '\n';
        return ExitFailure;
    }
    int rc = ExitOk;
    if (touched1 && !v1.Update()) {
        io.err << "vantrel-cli tag: " << file << ": ID3v1 tag not written: " << v1.lastError() << '\n';
        rc = ExitFailure;
    }
    if (touched2 && !v2.Update()) {
        io.err << "vantrel-cli tag: " << file << ": ID3v2 tag not written: " << v2.lastError() << '\n';
        rc = ExitFailure;
    }
    // What the ID3v2 reader (and writer) passed over, e.g. frames without an
    // ID3v2.3 equivalent.
    for (const QString& w : v2.warnings())
        io.err << "vantrel-cli tag: " << file << ": " << w << '\n';
    return rc;
}

} // namespace

VANTREL_CLI_COMMAND(tag, "tag", "set fields of a file's ID3v1 and ID3v2 tags", runTag);

} // namespace vantrel::cli
