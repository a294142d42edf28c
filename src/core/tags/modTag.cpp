#include "tags/modTag.h"

#include "platform/FileLock.h"
#include "platform/OpenFile.h"
#include "platform/Prompter.h"
#include "tags/AudioFormat.h"
#include "tags/Windows1252.h"

#include <cerrno>

namespace vantrel {

namespace {

constexpr qint64 kRecordSize = 128;
const QString kCrLf = QStringLiteral("\r\n");

template <int Width> void appendField(QByteArray& out, const FixedText<Width>& f)
{
    QByteArray b = cp1252::encode(f.text()).left(Width);
    b.append(Width - b.size(), ' ');
    out += b;
}

template <int Width> FixedText<Width> fieldAt(const char* bytes)
{
    return FixedText<Width>(cp1252::decode(QByteArrayView(bytes, Width)));
}

// Drops a leading "* " (the marker of a file the list flagged), in place.
void stripListMarker(QString& fileName)
{
    if (fileName.startsWith(QLatin1String("* "))) fileName.remove(0, 2);
}

bool isWriteProtection(int err)
{
    return err == EACCES || err == EPERM || err == EROFS || err == ETXTBSY;
}

} // namespace

QByteArray TagRecord::toBytes() const
{
    QByteArray out;
    out.reserve(Size);
    appendField(out, Title);
    appendField(out, Artist);
    appendField(out, Album);
    appendField(out, Year);
    appendField(out, Comment);
    out += static_cast<char>(Genre);
    return out;
}

TagRecord TagRecord::fromBytes(const char* bytes)
{
    TagRecord r;
    r.Title = fieldAt<30>(bytes);
    r.Artist = fieldAt<30>(bytes + 30);
    r.Album = fieldAt<30>(bytes + 60);
    r.Year = fieldAt<4>(bytes + 90);
    r.Comment = fieldAt<30>(bytes + 94);
    r.Genre = static_cast<quint8>(bytes[124]);
    return r;
}

namespace modTag {

TagRecord CurrentTag;
QString tagLog;

bool FileReadable(const QString& fileName)
{
    const OpenFile file(fileName, OpenFile::Mode::Read);
    return file.isOpen();
}

RecordRead readRecord(const QString& fileName, OpenFile& file)
{
    RecordRead out;
    char record[kRecordSize];
    if (!file.isOpen() || file.size() < kRecordSize) {
        out.logLine = kCrLf + QStringLiteral("Unexpected error in filename: ") + fileName;
    } else if (!file.readAt(file.size() - kRecordSize, record, kRecordSize)) {
        out.error = file.error();
        out.errorText = file.errorText();
    } else if (record[0] != 'T' || record[1] != 'A' || record[2] != 'G') {
        out.logLine = kCrLf + QStringLiteral("No ID3-Tag: ") + fileName;
    } else {
        out.record = TagRecord::fromBytes(record + 3);
    }
    return out;
}

bool reportRecord(const RecordNote& read, Prompter& prompter)
{
    tagLog += read.logLine;
    if (read.error == 0) return true;
    const QString text = QStringLiteral("Fatal error! ") + kCrLf + QStringLiteral("Error Description: ") +
                         read.errorText + QStringLiteral(" Error Number: ") + QString::number(read.error) +
                         kCrLf +
                         QStringLiteral("Choose yes to exit the program, or choose no to continiue unstable "
                                        "session.") +
                         kCrLf + kCrLf + QStringLiteral("Error log: ") + kCrLf + tagLog;
    return prompter.ask(Question::FatalTagError, text, QStringLiteral("Fatal Error"), Buttons::YesNo,
                        Icon::Critical) != Answer::Yes;
}

bool GetID3v1(QString& fileName, Prompter& prompter)
{
    CurrentTag = TagRecord();
    if (fileName.isEmpty() || fileName == QLatin1String("*.mp3")) return true;
    stripListMarker(fileName);
    RecordRead read;
    {
        OpenFile file(fileName, OpenFile::Mode::Read);
        read = readRecord(fileName, file);
    }
    if (!reportRecord(read, prompter)) return false;
    if (read.error == 0) CurrentTag = read.record;
    return true;
}

bool SetID3v1(QString& fileName, const TagRecord& tag, Prompter& prompter)
{
    if (fileName.isEmpty()) return false;
    stripListMarker(fileName);

    OpenFile file;
    auto report = [&](int err, const QString& description) {
        if (isWriteProtection(err)) {
            prompter.tell(Question::TagNotWritten,
                          QStringLiteral("The file ") + fileName + QStringLiteral(" is write-protected"),
                          QStringLiteral("Error"), Icon::Exclamation);
        } else {
            prompter.tell(Question::TagNotWritten,
                          QStringLiteral("Error ") + QString::number(err) + QStringLiteral(": ") +
                              description,
                          QStringLiteral("Error"), Icon::Critical);
        }
        return false;
    };
    // Held from reading the record's place to the end of the write.
    FileLock lock;
    QString why;
    if (!lock.acquire(fileName, &why) && lock.busy()) {
        prompter.tell(Question::TagNotWritten,
                      QStringLiteral("The file ") + fileName + QStringLiteral(" was not written: ") + why,
                      QStringLiteral("Error"), Icon::Critical);
        return false;
    }
    if (!file.open(fileName, OpenFile::Mode::ReadWrite)) return report(file.error(), file.errorText());
    if (const AudioFormat format = detectAudioFormat(file); !takesId3(format, fileName)) {
        prompter.tell(Question::TagNotWritten,
                      QStringLiteral("The file ") + fileName + QStringLiteral(" was not written: ") +
                          notMp3Reason(format),
                      QStringLiteral("Error"), Icon::Exclamation);
        return false;
    }

    const qint64 length = file.size();
    char marker[3] = {};
    const bool hasRecord = length >= kRecordSize && file.readAt(length - kRecordSize, marker, 3) &&
                           marker[0] == 'T' && marker[1] == 'A' && marker[2] == 'G';
    const QByteArray body = tag.toBytes();
    if (hasRecord) {
        if (!file.writeAt(length - kRecordSize + 3, body.constData(), body.size()))
            return report(file.error(), file.errorText());
        return true;
    }
    const QByteArray record = QByteArrayLiteral("TAG") + body;
    if (!file.writeAt(length, record.constData(), record.size())) {
        const int err = file.error();
        const QString description = file.errorText();
        file.truncate(length); // leave no partial record behind
        return report(err, description);
    }
    return true;
}

} // namespace modTag
} // namespace vantrel
