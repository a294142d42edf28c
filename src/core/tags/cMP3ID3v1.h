// The ID3v1 tag of one audio file: the 128-byte record at the end of the file.
// Setting MP3File reads the record into the fields, the setters change them in
// memory only, and Update writes them back. No file stays open between calls.
#pragma once

#include <QString>

namespace vantrel {

class OpenFile;
class Prompter;

class cMP3ID3v1 {
  public:
    // The prompter, when given, shows the message for an empty file in Update.
    explicit cMP3ID3v1(Prompter* prompter = nullptr) : prompter_(prompter) {}

    QString MP3File() const { return mp3File_; }
    // Stores the path and reads its record (the fields are reset first, also
    // for the same path). Throws TagFileError when the file cannot be opened for
    // reading (a folder included); the fields then stay reset.
    void setMP3File(const QString& path);
    // The same on a file the caller opened for reading (throws when it is not open).
    void setMP3File(const QString& path, OpenFile& file);

    // Writes the fields into the file's record: in place over an existing
    // record, otherwise as 128 bytes appended. Texts are padded with spaces or
    // cut to their width; the layout is ID3v1.1 (zero byte, track), except
    // that a record read as ID3v1.0 keeps its 30-byte comment while Track is 0.
    // Returns whether the record was written. A file that cannot be opened for
    // writing (read-only, missing, a folder) or is 128 bytes or shorter is
    // left unchanged, and so is a file whose content is another container
    // ("not an MP3 file"); an empty file also gets the "not a valid MP3 file"
    // message. A failed append is cut back, so the file never keeps half a
    // record.
    bool Update();
    // Why the last Update wrote nothing (empty after a write).
    const QString& lastError() const { return lastError_; }

    // The file ends in a record that begins with "TAG" (and is longer than 128 bytes).
    bool HasID3v1Tag() const { return hasTag_; }

    QString Title() const { return title_; }
    void setTitle(const QString& v) { title_ = v; }
    QString Artist() const { return artist_; }
    void setArtist(const QString& v) { artist_ = v; }
    QString Album() const { return album_; }
    void setAlbum(const QString& v) { album_ = v; }
    QString Year() const { return year_; }
    void setYear(const QString& v) { year_ = v; }
    QString Comment() const { return comment_; }
    void setComment(const QString& v) { comment_ = v; }
    // 0 when the record has none (an ID3v1.0 record, or no record).
    quint8 Track() const { return track_; }
    void setTrack(quint8 v) { track_ = v; }
    // 255 means no genre.
    quint8 Genre() const { return genre_; }
    void setGenre(quint8 v) { genre_ = v; }

    // Name of a genre number; does not look at Genre().
    static QString GenreName(quint8 genre);

  private:
    void reset();

    Prompter* prompter_;
    QString mp3File_;
    QString lastError_;
    bool hasTag_ = false;
    bool isV11_ = false;
    QString title_, artist_, album_, year_, comment_;
    quint8 track_ = 0;
    quint8 genre_ = 255;
};

} // namespace vantrel
