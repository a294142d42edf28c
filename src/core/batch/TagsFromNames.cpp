#include "TagsFromNames.h"

#include "batch/FieldText.h"
#include "batch/FileList.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/formTag.h"
#include "tags/modTag.h"

namespace vantrel {

namespace {

bool emptyField(QString s, const QString& lineBreak)
{
    return trimSpaces(s.remove(lineBreak)).isEmpty();
}

} // namespace

ArtistTitle splitArtistTitle(const QString& parsedName)
{
    const QString stem = parsedName.size() > 4 ? parsedName.left(parsedName.size() - 4) : QString();
    const QStringList pieces = stem.split(QLatin1Char('-'));
    if (pieces.size() == 1)
        return {QString(), trimSpaces(stem)};
    return {trimSpaces(pieces.first()), trimSpaces(pieces.last())};
}

TagsFromNamesOutcome fixlisttags(const FileList& list, const ParserOptions& options, Prompter& prompter,
                                 formTag& tags, const Progress& progress)
{
    using modTag::CurrentTag;
    TagsFromNamesOutcome out;
    out.overwrite =
        prompter.ask(QStringLiteral("If a tag already exists, should it be overwritten with the information found "
                                    "in the filename using the intelligent filename parser?"),
                     QStringLiteral("IMPORTANT!"), Buttons::YesNo, Icon::Question) == Answer::Yes;

    const QString crlf = QStringLiteral("\r\n");
    const QString cr = QStringLiteral("\r");
    const int n = int(list.lstFiles.size());
    for (int i = 0; i < n; ++i) {
        if (!report(progress, i, n)) {
            out.cancelled = true;
            break;
        }
        QString path = FileList::at(list.lstAllfiles, i);
        if (!modTag::FileReadable(path)) {
            ++out.skipped;
            continue;
        }
        const ArtistTitle at = splitArtistTitle(trimfilename(list.lstFiles.at(i), options));

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
        if (out.overwrite) {
            CurrentTag.Artist = cutAtZero(at.artist);
            CurrentTag.Title = cutAtZero(at.title);
        } else {
            if (emptyField(cutAtZero(CurrentTag.Artist), crlf))
                CurrentTag.Artist = at.artist;
            if (emptyField(cutAtZero(CurrentTag.Title), cr))
                CurrentTag.Title = at.title;
        }
        const bool recordWritten = ownTag || modTag::SetID3v1(path, CurrentTag, prompter);

        if (out.overwrite) {
            tags.txtArtist = tags.txtArtistV2 = at.artist;
            tags.txtTitle = tags.txtTitleV2 = at.title;
        } else {
            for (QString* box : {&tags.txtArtist, &tags.txtTitle, &tags.txtArtistV2, &tags.txtTitleV2}) {
                if (emptyField(*box, crlf))
                    *box = (box == &tags.txtArtist || box == &tags.txtArtistV2) ? at.artist : at.title;
            }
        }
        if (tags.SetTags() && recordWritten) {
            ++out.written;
            continue;
        }
        const QString reason = tags.lastError().isEmpty() ? QStringLiteral("ID3v1: not written") : tags.lastError();
        out.failures.append({i, path, reason});
        // The record routine has already told the user about its own failure;
        // a failure only the tag window saw would otherwise go unnoticed.
        if (recordWritten)
            prompter.tell(QStringLiteral("The tags of ") + path + QStringLiteral(" could not be written: ") + reason,
                          QStringLiteral("Error"), Icon::Critical);
    }
    if (!out.quitRequested)
        prompter.tell(QStringLiteral("Done! You have to reload the folder or re-simulate the list to see the results."),
                      QStringLiteral("Done"), Icon::Information);
    return out;
}

} // namespace vantrel
