// The ID3v2 tag of one audio file: setting MP3File reads the tag (versions
// 2.2, 2.3 and 2.4) into a frame store and the field properties; the setters
// and frame operations change the store in memory; Update writes it back as
// an ID3v2.3 tag at the start of the file.
//
// Nothing is lost on the way: every frame that no setter touched is written
// back with the bytes it was read with (frames of a 2.2 tag under their 2.3
// id, frames of a 2.4 tag with 2.3 headers and UTF-8 text turned into UTF-16,
// several values joined by "/"). Reading also adds what a 2.3 reader needs
// for the frames only 2.4 has: TYER, TDAT, TIME from TDRC, TORY from TDOR,
// IPLS from TIPL and TMCL, when the tag does not hold them already.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace vantrel {

class OpenFile;
namespace id3v2 {
struct Frame23;
}

class cMP3ID3v2 {
  public:
    // One occurrence of a frame: the body as it will be written (2.3 form),
    // the 2.3 frame flags, and the text the field properties see.
    struct Occurrence {
        QString text;
        QByteArray body;
        quint16 flags = 0;
    };

    cMP3ID3v2();

    // The file path. Setting it stores the path and reads the tag at once;
    // an unopenable file throws TagFileError (source "<exe>.cMP3ID3v2") and
    // leaves the object reset. A damaged tag never throws: what could be read
    // is kept.
    const QString& MP3File() const { return path_; }
    void setMP3File(const QString& path);
    // The same on a file the caller opened for reading (throws when it is not open).
    void setMP3File(const QString& path, OpenFile& file);

    // True when a valid tag was found before the audio (anywhere near the start).
    bool HasID3v2Tag() const { return tagOffset_ >= 0; }
    // Major version of the tag read (2, 3 or 4); 0 without a tag.
    int ID3v2TagVersion() const { return version_; }

    // Distinct frame ids in the order of their first appearance.
    int FrameCount() const { return int(order_.size()); }
    // The id at 1-based position index; empty outside 1..FrameCount().
    QString Frame(int index) const;
    const QStringList& frameIds() const { return order_; }
    // Occurrences of a frame id; 0 when it is not in the store.
    int TagsInFrame(const QString& frame) const;
    // Text of occurrence index (1-based) of a frame; empty when there is none.
    QString tagText(const QString& frame, int index) const;
    // The occurrence itself, or nullptr.
    const Occurrence* occurrence(const QString& frame, int index) const;

    // Adds one occurrence of sFrame made from sTag. Text frames get an
    // encoding byte and the text; COMM and USLT take sTag as language (3
    // characters), description, a zero character and the text; TXXX and WXXX
    // as description, a zero character and the value; other URL frames the
    // URL alone; PCNT a decimal count. Never fails; an id that is not four
    // letters or digits makes Update refuse to write.
    void AddTag(const QString& sFrame, const QString& sTag);
    // Removes a frame with all its occurrences; false when it is not present.
    bool RemoveFrame(const QString& frame);
    // Removes occurrence tagIndex (1-based), renumbering the rest; removes the
    // frame when none remains. False when there is no such occurrence.
    bool RemoveTag(const QString& sFrame, int tagIndex);

    // Field properties. The getters return the value read or last set; each
    // setter stores the value and replaces the field's frame, which then moves
    // to the end of the frame list. A value equal to the field's current one
    // leaves an existing frame as it is, byte for byte; an empty value still
    // makes a frame. Text goes out as Latin-1 (encoding byte 0) when every
    // character fits, else as UTF-16 with byte order mark (encoding byte 1).
    // URL frames hold the URL alone, PCNT a 4-byte (or 8-byte) counter.
    // Comment replaces only the comment without description (keeping its
    // language; a new one gets the language field 00 "nt"), LinkTo only the
    // URL of the last WXXX (keeping its description), Lyrics the last USLT
    // (keeping language and description, "XXX" and none for a new one); the
    // other occurrences stay byte for byte. Frames of a 2.2 tag other than
    // TT2, TP1, TAL, TYE, TRK, TCO, COM and TEN stay in the store but fill no
    // field.
    QString ArtistURL() const { return artistUrl_; }
    void setArtistURL(const QString& v);
    QString BuyURL() const { return buyUrl_; }
    void setBuyURL(const QString& v);
    QString AudioURL() const { return audioUrl_; }
    void setAudioURL(const QString& v);
    QString Copyright() const { return copyright_; }
    void setCopyright(const QString& v);
    QString Composer() const { return composer_; }
    void setComposer(const QString& v);
    QString OriginalArtist() const { return originalArtist_; }
    void setOriginalArtist(const QString& v);
    QString LinkTo() const { return linkTo_; }
    void setLinkTo(const QString& v);
    // Decimal text of the play counter.
    QString PlayCounter() const { return playCounter_; }
    void setPlayCounter(const QString& v);
    QString EncodedBy() const { return encodedBy_; }
    void setEncodedBy(const QString& v);
    QString Title() const { return title_; }
    void setTitle(const QString& v);
    QString Artist() const { return artist_; }
    void setArtist(const QString& v);
    QString Album() const { return album_; }
    void setAlbum(const QString& v);
    // TYER, or the year of TDRC when there is no TYER. Setting writes TYER
    // and removes TDRC so that the two never disagree.
    QString Year() const { return year_; }
    void setYear(const QString& v);
    // The text of every comment, joined by a zero character and CR LF.
    QString Comment() const { return comment_; }
    void setComment(const QString& v);
    QString Lyrics() const { return lyrics_; }
    void setLyrics(const QString& v);
    // Genre number from TCON, 255 when there is none.
    int Genre() const { return genre_; }
    void setGenre(int v);
    QString OtherGenreName() const { return otherGenreName_; }
    void setOtherGenreName(const QString& v);
    QString Track() const { return track_; }
    void setTrack(const QString& v);

    static QString GenreName(int genre);

    // Writes the store into the file as an ID3v2.3 tag. Returns whether the
    // file was written; on false the file is unchanged and lastError() says
    // why (read-only, missing, locked, invalid frame id, "not an MP3 file"
    // when the content is another container, "the existing ID3v2 tag could
    // not be read completely" when the tag read held bytes that were neither
    // frames nor padding). Frames with a non-standard id read from the file
    // are written back byte for byte. Never throws.
    bool Update();
    const QString& lastError() const { return lastError_; }
    // Why the tag read could not be accounted for completely (bytes that are
    // neither frames nor padding, a frame past the tag's end); empty when it
    // could. Update refuses to write while this is set.
    const QString& unreadReason() const { return unread_; }

    // Things the reader or writer passed over (a 2.2 frame without a 2.3
    // equivalent, ...), one line each; cleared when MP3File is set.
    const QStringList& warnings() const { return warnings_; }

    // 0-based offset of "ID3" in the file, -1 without a tag; and the size of
    // the tag area in bytes from there (header included).
    qint64 tagOffset() const { return tagOffset_; }
    qint64 tagAreaSize() const { return tagArea_; }

  private:
    // A frame id and the text field it fills when read and writes when set.
    struct FieldFrame {
        const char* id;
        QString cMP3ID3v2::*field;
    };
    static const QList<FieldFrame>& fieldFrames();
    // The field of a frame id (TCON: OtherGenreName), nullptr for none.
    static QString cMP3ID3v2::*fieldOf(const QString& id);

    void reset();
    // Adds a frame as read to the store and, when it may, fills its field.
    // Returns the stored occurrence when it filled a field.
    const Occurrence* storeReadFrame(const id3v2::Frame23& frame, bool fillsField);
    void applyField(const QString& id, const QString& text);
    void applyGenreText(const QString& text);
    void setField(QString cMP3ID3v2::*field, const QString& v);
    void replaceFrame(const QString& id, const QString& sTag);
    void replaceOccurrence(const QString& id, int index, const Occurrence& occ);

    QString path_;
    qint64 tagOffset_ = -1;
    qint64 tagArea_ = 0;
    int version_ = 0;

    QStringList order_;
    QHash<QString, QList<Occurrence>> frames_;

    QString artistUrl_, buyUrl_, audioUrl_, copyright_, composer_, originalArtist_, linkTo_, playCounter_,
        encodedBy_, title_, artist_, album_, year_, comment_, lyrics_, otherGenreName_, track_;
    int genre_ = 255;

    QString lastError_;
    QStringList warnings_;
    QString unread_;        // why the tag read could not be accounted for; empty when it could
    QSet<QString> carried_; // non-standard ids read from the file
};

} // namespace vantrel
