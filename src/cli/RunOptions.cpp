#include "RunOptions.h"

#include "ParserCliOptions.h"
#include "batch/FolderLoader.h"
#include "parser/RenamingScheme.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantrel::cli {

namespace {

// "--name VALUE" or "--name=VALUE" at args[i]; the value in value.
bool optionValue(const QStringList& args, qsizetype& i, QLatin1String name, QString& value, QString& error)
{
    const QString& a = args.at(i);
    if (a == name) {
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = args.at(++i);
        return true;
    }
    if (a.startsWith(name) && a.size() > name.size() && a.at(name.size()) == u'=') {
        value = a.mid(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

bool RunOptions::parse(const QStringList& arguments, QString& error)
{
    QStringList args = arguments;
    error = takeParserOptions(args, simulation.parser);
    if (!error.isEmpty()) return false;

    bool onlyPaths = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (onlyPaths || a == u"-" || !a.startsWith(u'-')) {
            paths << a;
            continue;
        }
        QString value;
        if (a == u"--") {
            onlyPaths = true;
        } else if (a == u"--force-id3v1") {
            simulation.forceId1 = true;
        } else if (a == u"--no-subfolders") {
            includeSubfolders = false;
        } else if (a == u"--all-formats") {
            allFormats = true;
        } else if (a == u"--json") {
            json = true;
        } else if (optionValue(args, i, QLatin1String("--mode"), value, error)) {
            if (!error.isEmpty()) return false;
            if (value == u"tag-names")
                simulation.mode = Mode::TagNames;
            else if (value == u"file-names")
                simulation.mode = Mode::FileNames;
            else if (value == u"tags-from-names")
                simulation.mode = Mode::TagsFromNames;
            else {
                error = QStringLiteral("--mode takes tag-names, file-names or tags-from-names, not '%1'")
                            .arg(value);
                return false;
            }
        } else if (optionValue(args, i, QLatin1String("--scheme"), value, error)) {
            if (!error.isEmpty()) return false;
            if (value == u"artist-title") {
                simulation.scheme.choice = SchemeChoice::ArtistTitle;
            } else if (value == u"title-artist") {
                simulation.scheme.choice = SchemeChoice::TitleArtist;
            } else if (value.trimmed().isEmpty()) {
                error = QStringLiteral("--scheme needs artist-title, title-artist or a pattern");
                return false;
            } else {
                simulation.scheme.choice = SchemeChoice::Custom;
                simulation.scheme.pattern = NormalizeScheme(value);
            }
        } else {
            error = QStringLiteral("unknown option '%1'").arg(a);
            return false;
        }
    }
    if (paths.isEmpty()) {
        error = QStringLiteral("no PATH given");
        return false;
    }
    return true;
}

bool RunOptions::load(FileList& list, Prompter& prompter, QString& error) const
{
    QStringList absolute;
    for (const QString& p : paths) {
        const QString full = QDir::cleanPath(QFileInfo(p).absoluteFilePath());
        if (!FolderExists(full) && !FileExists(full)) {
            error = QStringLiteral("cannot read '%1': no such file or folder").arg(p);
            return false;
        }
        absolute << full;
    }
    // Folders are loaded as "Load" loads one, files added as a drop adds them;
    // starting from an empty list, one drop of everything does both.
    FolderLoader loader(list, prompter);
    loader.allFormats = allFormats;
    loader.addDropped(absolute, includeSubfolders);
    list.listviewthem();
    return true;
}

QString RunOptions::help()
{
    return parserOptionsHelp() +
           QStringLiteral(
               "  --mode tag-names|file-names|tags-from-names\n"
               "                        names from the tag (falling back to the file name), from\n"
               "                        the file name only, or tags from the file name (default\n"
               "                        tag-names)\n"
               "  --force-id3v1         use only the ID3v1 tag when it holds artist and title\n"
               "  --scheme artist-title|title-artist|PATTERN\n"
               "                        how names from tags are built (default artist-title); a\n"
               "                        PATTERN uses <Artist>, <Title>, <Album> and <Track> and is\n"
               "                        cleaned as the options window cleans it\n"
               "  --no-subfolders       load a folder PATH without its subfolders\n"
               "  --all-formats         also list FLAC, Ogg (Vorbis, Opus) and M4A files\n"
               "                        (.flac .ogg .oga .opus .m4a)\n"
               "  --json                print a JSON array instead of tab-separated lines\n");
}

Answer CliPrompter::ask(Question id, const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    Q_UNUSED(icon);
    if (buttons == Buttons::Ok) {
        QString flat = text;
        flat.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        err_ << title << ": " << flat << '\n';
        return Answer::Ok;
    }
    return id == Question::RenameFailed ? Answer::Ignore : Answer::Yes;
}

void printPlan(QTextStream& out, const FileList& list, bool json)
{
    const int n = list.rowCountShown();
    if (json) out << '[';
    for (int r = 0; r < n; ++r) {
        const FileList::Row& row = list.row(r);
        if (json) {
            // One object per line, as a line-reading tool expects.
            const QJsonObject o{
                {QStringLiteral("Before"), row.before},     {QStringLiteral("After"), row.after},
                {QStringLiteral("Artist"), row.artist},     {QStringLiteral("Title"), row.title},
                {QStringLiteral("Location"), row.location}, {QStringLiteral("problem"), row.problem}};
            out << (r ? ",\n " : "\n ") << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
        } else {
            out << row.before << '\t' << row.after << '\t' << row.artist << '\t' << row.title << '\t'
                << row.location << '\n';
        }
    }
    if (json) out << (n ? "\n]\n" : "]\n");
}

void printLog(QTextStream& s, const QString& log)
{
    const QStringList lines = log.split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        if (!line.isEmpty()) s << line << '\n';
    }
}

} // namespace vantrel::cli
