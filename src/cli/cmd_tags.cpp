// vantrel-cli tags: shows what the two tag objects read from each file.
#include "Command.h"
#include "tags/ForeignTags.h"
#include "tags/TagError.h"
#include "tags/cMP3ID3v1.h"
#include "tags/cMP3ID3v2.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantrel::cli {

namespace {

QJsonObject id3v1Json(const cMP3ID3v1& t)
{
    return QJsonObject{
        {QStringLiteral("HasID3v1Tag"), t.HasID3v1Tag()},
        {QStringLiteral("Title"), t.Title()},
        {QStringLiteral("Artist"), t.Artist()},
        {QStringLiteral("Album"), t.Album()},
        {QStringLiteral("Year"), t.Year()},
        {QStringLiteral("Comment"), t.Comment()},
        {QStringLiteral("Genre"), t.Genre()},
        {QStringLiteral("Track"), t.Track()},
    };
}

QJsonObject id3v2Json(const cMP3ID3v2& t)
{
    QJsonArray frames;
    for (int i = 1; i <= t.FrameCount(); ++i)
        frames.append(t.Frame(i));
    return QJsonObject{
        {QStringLiteral("HasID3v2Tag"), t.HasID3v2Tag()},
        {QStringLiteral("ID3v2TagVersion"), t.ID3v2TagVersion()},
        {QStringLiteral("Title"), t.Title()},
        {QStringLiteral("Artist"), t.Artist()},
        {QStringLiteral("Album"), t.Album()},
        {QStringLiteral("Year"), t.Year()},
        {QStringLiteral("Comment"), t.Comment()},
        {QStringLiteral("Genre"), t.Genre()},
        {QStringLiteral("OtherGenreName"), t.OtherGenreName()},
        {QStringLiteral("Track"), t.Track()},
        {QStringLiteral("Composer"), t.Composer()},
        {QStringLiteral("Copyright"), t.Copyright()},
        {QStringLiteral("OriginalArtist"), t.OriginalArtist()},
        {QStringLiteral("EncodedBy"), t.EncodedBy()},
        {QStringLiteral("LinkTo"), t.LinkTo()},
        {QStringLiteral("Lyrics"), t.Lyrics()},
        {QStringLiteral("PlayCounter"), t.PlayCounter()},
        {QStringLiteral("AudioURL"), t.AudioURL()},
        {QStringLiteral("BuyURL"), t.BuyURL()},
        {QStringLiteral("ArtistURL"), t.ArtistURL()},
        {QStringLiteral("Frames"), frames},
    };
}

// Control characters (the zero and CR LF between joined comments) shown visibly.
QString printable(const QString& s)
{
    QString out;
    for (const QChar c : s) {
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void printText(QTextStream& out, const QString& file, const QJsonObject& v1, const QJsonObject& v2)
{
    static const QStringList v1Keys{
        QStringLiteral("Title"),   QStringLiteral("Artist"), QStringLiteral("Album"), QStringLiteral("Year"),
        QStringLiteral("Comment"), QStringLiteral("Genre"),  QStringLiteral("Track")};
    static const QStringList v2Keys =
        v1Keys + QStringList{QStringLiteral("OtherGenreName"), QStringLiteral("Composer"),
                             QStringLiteral("Copyright"),      QStringLiteral("OriginalArtist"),
                             QStringLiteral("EncodedBy"),      QStringLiteral("LinkTo"),
                             QStringLiteral("Lyrics"),         QStringLiteral("PlayCounter"),
                             QStringLiteral("AudioURL"),       QStringLiteral("BuyURL"),
                             QStringLiteral("ArtistURL")};
    // Fields in property order; empty texts are left out.
    auto fields = [&](const QJsonObject& o, const QStringList& keys) {
        for (const QString& key : keys) {
            const QJsonValue v = o.value(key);
            const QString text = v.isString() ? printable(v.toString()) : QString::number(v.toInt());
            if (!text.isEmpty()) out << "    " << key << ": " << text << '\n';
        }
    };
    out << file << '\n';
    if (v1.value(QStringLiteral("HasID3v1Tag")).toBool()) {
        out << "  id3v1:\n";
        fields(v1, v1Keys);
    } else {
        out << "  id3v1: none\n";
    }
    if (v2.value(QStringLiteral("HasID3v2Tag")).toBool()) {
        out << "  id3v2: version " << v2.value(QStringLiteral("ID3v2TagVersion")).toInt() << '\n';
        fields(v2, v2Keys);
        QStringList ids;
        for (const QJsonValue f : v2.value(QStringLiteral("Frames")).toArray())
            ids << f.toString();
        out << "    Frames: " << ids.join(QLatin1Char(' ')) << '\n';
    } else {
        out << "  id3v2: none\n";
    }
}

// A file with a tag of its own (WMA, FLAC, Ogg, M4A): that tag alone, under its format's key.
bool printForeign(QTextStream& out, QTextStream& err, const QString& file, AudioFormat format, bool json)
{
    QString error;
    const std::optional<ForeignTagFields> f = ForeignTags::read(file, &error);
    if (!f) {
        err << "vantrel-cli tags: " << file << ": " << error << '\n';
        return false;
    }
    const QList<std::pair<QString, QString>> fields{
        {QStringLiteral("Title"), f->title},    {QStringLiteral("Artist"), f->artist},
        {QStringLiteral("Album"), f->album},    {QStringLiteral("Year"), f->year},
        {QStringLiteral("Track"), f->track},    {QStringLiteral("Genre"), f->genre},
        {QStringLiteral("Comment"), f->comment}};
    const QString key = ForeignTags::formatKey(format);
    if (json) {
        QJsonObject o;
        for (const auto& [name, value] : fields)
            o.insert(name, value);
        o.insert(QStringLiteral("Items"), QJsonArray::fromStringList(f->otherItems));
        const QJsonObject all{{QStringLiteral("file"), file}, {key, o}};
        out << QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)) << '\n';
        return true;
    }
    out << file << '\n' << "  " << key << ":\n";
    for (const auto& [name, value] : fields)
        if (!value.isEmpty()) out << "    " << name << ": " << printable(value) << '\n';
    if (!f->otherItems.isEmpty()) out << "    Items: " << f->otherItems.join(QLatin1Char(' ')) << '\n';
    return true;
}

int runTags(const QStringList& args, Streams& io)
{
    bool json = false;
    QStringList files;
    bool optionsDone = false;
    for (const QString& a : args) {
        if (!optionsDone && a == QLatin1String("--json")) {
            json = true;
        } else if (!optionsDone && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            io.out << "Usage: vantrel-cli tags [--json] FILE...\n\n"
                      "Prints the ID3v1 and ID3v2 tags of each file as the program reads them.\n"
                      "With --json, one JSON object per file and line, with the keys \"file\", \"id3v1\"\n"
                      "and \"id3v2\".\n"
                      "A file whose content keeps its own tag shows that tag instead, under the key\n"
                      "\"asf\" (WMA), \"flac\", \"ogg\" (Vorbis, Opus) or \"mp4\" (M4A).\n";
            return ExitOk;
        } else if (!optionsDone && a == QLatin1String("--")) {
            optionsDone = true;
        } else if (!optionsDone && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            io.err << "vantrel-cli tags: unknown option '" << a << "'\n";
            return ExitUsage;
        } else {
            files << a;
        }
    }
    if (files.isEmpty()) {
        io.err << "Usage: vantrel-cli tags [--json] FILE...\n";
        return ExitUsage;
    }

    int rc = ExitOk;
    for (const QString& file : files) {
        const AudioFormat format = detectAudioFormat(file);
        if (ForeignTags::handles(format)) {
            if (!printForeign(io.out, io.err, file, format, json)) rc = ExitFailure;
            continue;
        }
        cMP3ID3v1 v1;
        cMP3ID3v2 v2;
        try {
            v1.setMP3File(file);
            v2.setMP3File(file);
        } catch (const TagFileError& e) {
            io.err << "vantrel-cli tags: " << file << ": " << e.description() << '\n';
            rc = ExitFailure;
            continue;
        }
        for (const QString& w : v2.warnings())
            io.err << "vantrel-cli tags: " << file << ": " << w << '\n';
        const QJsonObject o1 = id3v1Json(v1), o2 = id3v2Json(v2);
        if (json) {
            const QJsonObject all{
                {QStringLiteral("file"), file}, {QStringLiteral("id3v1"), o1}, {QStringLiteral("id3v2"), o2}};
            io.out << QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)) << '\n';
        } else {
            printText(io.out, file, o1, o2);
        }
    }
    return rc;
}

} // namespace

VANTREL_CLI_COMMAND(tags, "tags", "print the ID3v1 and ID3v2 tags of files", runTags);

} // namespace vantrel::cli
