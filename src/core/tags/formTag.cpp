#include "tags/formTag.h"

#include "Version.h"
#include "platform/FileLock.h"
#include "platform/OpenFile.h"
#include "platform/Prompter.h"
#include "tags/ForeignTags.h"
#include "tags/Id3v2Writer.h"
#include "tags/TagError.h"

namespace vantrel {

namespace {
// How much of a file's start tagFile reads at once.
constexpr qint64 kKeptHead = 16 * 1024;
} // namespace

formTag::formTag(Prompter& prompter) : prompter_(prompter), v1_(&prompter) {}

QString formTag::commentStamp()
{
    return QStringLiteral("Edited by: Vantrel ") + versionShort();
}

QString formTag::commentToWrite(const QString& typed)
{
    return QString(typed).remove(QStringLiteral("nt")).isEmpty() ? commentStamp() : typed;
}

std::optional<QString> formTag::firstCommandLineFile(const QString& commandLine)
{
    QString name;
    bool quoted = false;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char('"')) {
            if (quoted) return name;
            quoted = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
            break;
        } else {
            name += c;
        }
    }
    if (quoted) return std::nullopt;
    return name;
}

QString formTag::withoutMarker(QString text)
{
    static const QString marker = QStringLiteral("\u0001\u00FF\u00FE");
    return text.remove(marker);
}

void formTag::Load(const QString& commandLine)
{
    if (commandLine.isEmpty()) return;
    const std::optional<QString> file = firstCommandLineFile(commandLine);
    if (file && !file->isEmpty()) tagFile(*file);
}

bool formTag::tagFile(const QString& sFile)
{
    OpenFile file(sFile, OpenFile::Mode::Read);
    return tagFile(sFile, file);
}

bool formTag::tagFile(const QString& sFile, OpenFile& file)
{
    // A tag and the ID3v1 record usually lie within these: one read each.
    file.keepEnds(kKeptHead, 128);
    txtMp3File = sFile;
    ownTag_ = ForeignTags::handles(detectAudioFormat(file));
    if (ownTag_) return tagForeignFile(sFile, file);
    try {
        v1_.setMP3File(sFile, file);
        txtArtist = v1_.Artist();
        txtTitle = v1_.Title();
        txtAlbum = v1_.Album();
        const QString v1Genre = cMP3ID3v1::GenreName(v1_.Genre());
        if (!v1Genre.isEmpty())
            cboGenre.setText(v1Genre);
        else
            cboGenre.setListIndex(0);
        txtYear = v1_.Year();
        txtComment = v1_.Comment();

        v2_.setMP3File(sFile, file);
        txtArtistV2 = withoutMarker(v2_.Artist());
        txtTitleV2 = withoutMarker(v2_.Title());
        txtAlbumV2 = withoutMarker(v2_.Album());
        txtYearV2 = withoutMarker(v2_.Year());
        txtCommentV2 = withoutMarker(v2_.Comment());
        txtTrack = withoutMarker(v2_.Track());
        txtLinkTo = withoutMarker(v2_.LinkTo());
        // A genre given only as a name (no number) is shown as that name, so
        // that writing the tag back keeps it.
        const QString v2Genre = cMP3ID3v2::GenreName(v2_.Genre());
        cboGenreV2.setText(v2Genre.isEmpty() ? v2_.OtherGenreName() : v2Genre);
        txtOriginalArtist = v2_.OriginalArtist();
        txtComposer = v2_.Composer();
        txtCopyright = v2_.Copyright();
        txtEncodedBy = v2_.EncodedBy();
    } catch (const TagFileError& e) {
        loadedFile_.clear();
        prompter_.tell(Question::TagNotLoaded,
                       QStringLiteral("Could not load file '") + sFile + QStringLiteral("'\r\n\r\n") +
                           e.description(),
                       QStringLiteral("Vantrel"), Icon::Information);
        return false;
    }
    loadedFile_ = sFile;
    loadedGenreText_ = cboGenre.Text();
    loadedGenreTextV2_ = cboGenreV2.Text();
    return true;
}

bool formTag::SetTags()
{
    lastError_.clear();
    const QString stamp = commentStamp();
    const bool sameFile = !loadedFile_.isEmpty() && txtMp3File == loadedFile_;
    const bool keepGenre = sameFile && cboGenre.Text() == loadedGenreText_;
    const bool keepGenreV2 = sameFile && cboGenreV2.Text() == loadedGenreTextV2_;
    if (!keepGenre) cboGenre.resolve();
    if (!keepGenreV2) cboGenreV2.resolve(true);

    if (ForeignTags::handles(detectAudioFormat(txtMp3File))) return setForeignTags(keepGenreV2);

    // Held from reading both tags to the end of writing them, so that another
    // writer of the file neither interleaves nor loses its changes.
    FileLock lock;
    QString why;
    if (!lock.acquire(txtMp3File, &why) && lock.busy()) {
        lastError_ = why;
        return false;
    }
    // A tag that could not be read completely is not rewritten, and then
    // neither is the record: the file stays as it is.
    // Both tags are read through one open, closed before the writes.
    OpenFile read(txtMp3File, OpenFile::Mode::Read);
    read.keepEnds(kKeptHead, 128);
    QString v2ReadError;
    try {
        v2_.setMP3File(txtMp3File, read);
    } catch (const TagFileError& e) {
        v2ReadError = e.description();
    }
    if (v2ReadError.isEmpty() && !v2_.unreadReason().isEmpty()) {
        lastError_ = QStringLiteral("ID3v2: ") + id3v2::unreadTagError(v2_.unreadReason());
        return false;
    }

    QStringList problems;
    try {
        v1_.setMP3File(txtMp3File, read);
        read.close();
        v1_.setArtist(txtArtist);
        v1_.setTitle(txtTitle);
        v1_.setAlbum(txtAlbum);
        v1_.setYear(txtYear);
        v1_.setComment(commentsAsTyped ? commentToWrite(txtComment) : stamp);
        if (!keepGenre) v1_.setGenre(static_cast<quint8>(cboGenre.selectedGenre()));
        if (!v1_.Update()) problems << QStringLiteral("ID3v1: ") + v1_.lastError();
    } catch (const TagFileError& e) {
        problems << QStringLiteral("ID3v1: ") + e.description();
    }
    read.close();

    if (!v2ReadError.isEmpty()) {
        problems << QStringLiteral("ID3v2: ") + v2ReadError;
    } else {
        v2_.setArtist(txtArtistV2);
        v2_.setTitle(txtTitleV2);
        v2_.setAlbum(txtAlbumV2);
        v2_.setYear(txtYearV2);
        v2_.setComment(commentsAsTyped ? commentToWrite(txtCommentV2) : stamp);
        if (!keepGenreV2) {
            if (cboGenreV2.ListIndex() >= 0) v2_.setGenre(cboGenreV2.selectedGenre());
            v2_.setOtherGenreName(cboGenreV2.Text());
        }
        v2_.setTrack(txtTrack);
        v2_.setOriginalArtist(txtOriginalArtist);
        v2_.setComposer(txtComposer);
        v2_.setCopyright(txtCopyright);
        v2_.setEncodedBy(txtEncodedBy);
        v2_.setLinkTo(txtLinkTo);
        if (!v2_.Update()) problems << QStringLiteral("ID3v2: ") + v2_.lastError();
    }
    lastError_ = problems.join(QStringLiteral("; "));
    return problems.isEmpty();
}

// ---- files with a tag of their own (WMA, FLAC, Ogg, M4A) ----

bool formTag::tagForeignFile(const QString& sFile, OpenFile& file)
{
    QString error;
    const std::optional<ForeignTagFields> f = ForeignTags::read(file, &error);
    if (!f) {
        loadedFile_.clear();
        prompter_.tell(Question::TagNotLoaded,
                       QStringLiteral("Could not load file '") + sFile + QStringLiteral("'\r\n\r\n") + error,
                       QStringLiteral("Vantrel"), Icon::Information);
        return false;
    }
    // No ID3v1 record belongs to such a file.
    for (QString* v1 : {&txtArtist, &txtTitle, &txtAlbum, &txtYear, &txtComment})
        v1->clear();
    cboGenre.setListIndex(0);
    txtTitleV2 = f->title;
    txtArtistV2 = f->artist;
    txtAlbumV2 = f->album;
    txtYearV2 = f->year;
    txtCommentV2 = f->comment;
    txtTrack = f->track;
    cboGenreV2.setText(f->genre);
    for (QString* other : {&txtOriginalArtist, &txtComposer, &txtCopyright, &txtEncodedBy, &txtLinkTo})
        other->clear();
    loadedFile_ = sFile;
    loadedGenreText_ = cboGenre.Text();
    loadedGenreTextV2_ = cboGenreV2.Text();
    return true;
}

bool formTag::setForeignTags(bool keepGenreV2)
{
    ForeignTagEdit edit;
    edit.title = txtTitleV2;
    edit.artist = txtArtistV2;
    edit.album = txtAlbumV2;
    edit.year = txtYearV2;
    edit.track = txtTrack;
    edit.comment = commentStamp();
    // A genre the caller did not change stays as the file has it; a changed
    // one is written as the text the picker resolved it to.
    if (!keepGenreV2) edit.genre = cboGenreV2.Text();
    const ForeignTagResult r = ForeignTags::write(txtMp3File, edit);
    if (!r.ok)
        lastError_ =
            ForeignTags::formatKey(detectAudioFormat(txtMp3File)).toUpper() + QStringLiteral(": ") + r.error;
    return r.ok;
}

} // namespace vantrel
