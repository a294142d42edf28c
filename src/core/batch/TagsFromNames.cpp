#include "TagsFromNames.h"

#include "batch/FieldText.h"
#include "batch/FileList.h"
#include "batch/FixJournal.h"
#include "batch/FolderLoader.h"
#include "batch/RunAccount.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/formTag.h"
#include "tags/modTag.h"

namespace vantrel {

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString cr = QStringLiteral("\r");

// A field as the tag run judges it: cut at its first zero, the line breaks
// taken out (CR LF pairs for an artist, CR for a title), trimmed.
QString fieldValue(const QString& s, const QString& lineBreak)
{
    return trimSpaces(cutAtZero(s).remove(lineBreak));
}

// One field of both tags when existing values are kept.
void keepExisting(QString& v1, QString& v2, const QString& fromName, const QString& lineBreak)
{
    const QString own1 = fieldValue(v1, lineBreak), own2 = fieldValue(v2, lineBreak);
    const QString fill = !own2.isEmpty() ? own2 : !own1.isEmpty() ? own1 : fromName;
    if (own1.isEmpty()) v1 = fill;
    if (own2.isEmpty()) v2 = fill;
}

} // namespace

ArtistTitle splitArtistTitle(const QString& parsedName)
{
    const QString stem = parsedName.size() > 4 ? parsedName.left(parsedName.size() - 4) : QString();
    const QStringList pieces = stem.split(QLatin1Char('-'));
    if (pieces.size() == 1) return {QString(), trimSpaces(stem)};
    return {trimSpaces(pieces.first()), trimSpaces(pieces.last())};
}

TagsToWrite tagsToWrite(const QString& fileName, const ParserOptions& options, bool overwrite,
                        const ArtistTitle& v1, const ArtistTitle& v2)
{
    // A FLAC, Ogg, Opus or M4A file's name is split as the same stem with ".mp3" is.
    const ArtistTitle parsed = splitArtistTitle(trimfilename(FolderLoader::nameAsMp3(fileName), options));
    if (overwrite) return {parsed, parsed};
    TagsToWrite w{v1, v2};
    keepExisting(w.v1.artist, w.v2.artist, parsed.artist, crlf);
    keepExisting(w.v1.title, w.v2.title, parsed.title, cr);
    return w;
}

TagsFromNamesOutcome fixlisttags(const FileList& list, const ParserOptions& options, Prompter& prompter,
                                 formTag& tags, const Progress& progress)
{
    using modTag::CurrentTag;
    TagsFromNamesOutcome out;
    out.overwrite =
        prompter.ask(
            Question::OverwriteTags,
            QStringLiteral("If a tag already exists, should it be overwritten with the information found "
                           "in the filename using the intelligent filename parser?"),
            QStringLiteral("IMPORTANT!"), Buttons::YesNo, Icon::Question) == Answer::Yes;

    const int n = int(list.lstFiles.size());
    FixJournal journal; // the run's record for undo
    for (int i = 0; i < n; ++i) {
        if (!report(progress, i, n)) {
            out.cancelled = true;
            break;
        }
        QString path = FileList::at(list.lstAllfiles, i);
        if (!modTag::FileReadable(path)) {
            ++out.skipped;
            out.skips.append({i, path, unreadableReason(path)});
            continue;
        }
        if (QString why; !journal.recordTagWrite(path, &why)) {
            out.failures.append({i, path, why});
            prompter.tell(Question::TagNotWritten,
                          QStringLiteral("The tags of ") + path + QStringLiteral(" were not written: ") + why,
                          QStringLiteral("Error"), Icon::Critical);
            continue;
        }
        tags.txtArtistV2.clear();
        tags.txtTitleV2.clear();
        tags.txtArtist.clear();
        tags.txtTitle.clear();
        tags.tagFile(path);

        // A file with a tag of its own (WMA) gets no ID3v1 record: the tag
        // window writes artist and title into its own tag.
        const bool ownTag = ForeignTags::handles(detectAudioFormat(path));
        if (!ownTag && !modTag::GetID3v1(path, prompter)) {
            out.quitRequested = true;
            break;
        }
        const TagsToWrite w =
            tagsToWrite(list.lstFiles.at(i), options, out.overwrite, {tags.txtArtist, tags.txtTitle},
                        {tags.txtArtistV2, tags.txtTitleV2});
        // A field kept as it is keeps its bytes in the record too.
        if (out.overwrite || fieldValue(CurrentTag.Artist, crlf).isEmpty())
            CurrentTag.Artist = cutAtZero(w.v1.artist);
        if (out.overwrite || fieldValue(CurrentTag.Title, cr).isEmpty())
            CurrentTag.Title = cutAtZero(w.v1.title);
        const bool recordWritten = ownTag || modTag::SetID3v1(path, CurrentTag, prompter);
        tags.txtArtist = w.v1.artist;
        tags.txtTitle = w.v1.title;
        tags.txtArtistV2 = w.v2.artist;
        tags.txtTitleV2 = w.v2.title;
        const bool tagsWritten = tags.SetTags();
        if (tagsWritten && recordWritten) {
            ++out.written;
            continue;
        }
        const QString reason =
            tags.lastError().isEmpty() ? QStringLiteral("ID3v1: not written") : tags.lastError();
        out.failures.append({i, path, reason});
        // The record routine has already told the user about its own failure;
        // a failure only the tag window saw would otherwise go unnoticed.
        if (recordWritten)
            prompter.tell(Question::TagNotWritten,
                          QStringLiteral("The tags of ") + path + QStringLiteral(" could not be written: ") +
                              reason,
                          QStringLiteral("Error"), Icon::Critical);
    }
    journal.finish();
    const QString account = tagAccount(out, n);
    if (out.cancelled && !out.quitRequested)
        prompter.tell(Question::TagRunDone,
                      account +
                          QStringLiteral(" You have to reload the folder or re-simulate the list to see the "
                                         "results."),
                      QStringLiteral("Done"), Icon::Information);
    else if (!out.quitRequested)
        prompter.tell(Question::TagRunDone,
                      QStringLiteral("Done! You have to reload the folder or re-simulate the list to see the "
                                     "results.\r\n") +
                          account,
                      QStringLiteral("Done"), Icon::Information);
    return out;
}

} // namespace vantrel
