#include "tags/modTag.h"

#include "platform/FileLock.h"
#include "platform/Prompter.h"
#include "tags/AudioFormat.h"
#include "tags/RawFile.h"
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
    RawFile file;
    return file.open(fileName, RawFile::Mode::Read);
}

bool GetID3v1(QString& fileName, Prompter& prompter)
{
    CurrentTag = TagRecord();
    if (fileName.isEmpty() || fileName == QLatin1String("*.mp3")) return true;
    stripListMarker(fileName);
    if (!FileReadable(fileName)) {
        tagLog += kCrLf + QStringLiteral("Unexpected error in filename: ") + fileName;
        return true;
    }

    RawFile file;
    char record[kRecordSize];
    bool ok = file.open(fileName, RawFile::Mode::Read);
    if (ok && file.size() < kRecordSize) {
        tagLog += kCrLf + QStringLiteral("Unexpected error in filename: ") + fileName;
        return true;
    }
    if (ok) ok = file.readAt(file.size() - kRecordSize, record, kRecordSize);
    if (!ok) {
        const int number = file.error();
        const QString description = file.errorText();
        file.close();
        const QString text =
            QStringLiteral("Fatal error! ") + kCrLf + QStringLiteral("Error Description: ") + description +
            QStringLiteral(" Error Number: ") + QString::number(number) + kCrLf +
            QStringLiteral("Choose yes to exit the program, or choose no to continiue unstable "
                           "session.") +
            kCrLf + kCrLf + QStringLiteral("Error log: ") + kCrLf + tagLog;
        return prompter.ask(text, QStringLiteral("Fatal Error"), Buttons::YesNo, Icon::Critical) !=
               Answer::Yes;
    }
    if (record[0] != 'T' || record[1] != 'A' || record[2] != 'G') {
        tagLog += kCrLf + QStringLiteral("No ID3-Tag: ") + fileName;
        return true;
    }
    CurrentTag = TagRecord::fromBytes(record + 3);
    return true;
}

bool SetID3v1(QString& fileName, const TagRecord& tag, Prompter& prompter)
{
    if (fileName.isEmpty()) return false;
    stripListMarker(fileName);

    RawFile file;
    auto report = [&](int err, const QString& description) {
        if (isWriteProtection(err)) {
            prompter.tell(QStringLiteral("The file ") + fileName + QStringLiteral(" is write-protected"),
                          QStringLiteral("Error"), Icon::Exclamation);
        } else {
            prompter.tell(QStringLiteral("Error ") + QString::number(err) + QStringLiteral(": ") +
                              description,
                          QStringLiteral("Error"), Icon::Critical);
        }
        return false;
    };
    // Held from reading the record's place to the end of the write.
    FileLock lock;
    QString why;
    if (!lock.acquire(fileName, &why) && lock.busy()) {
        prompter.tell(QStringLiteral("The file ") + fileName + QStringLiteral(" was not written: ") + why,
                      QStringLiteral("Error"), Icon::Critical);
        return false;
    }
    if (!file.open(fileName, RawFile::Mode::ReadWrite)) return report(file.error(), file.errorText());
    if (const AudioFormat format = detectAudioFormat(fileName); !takesId3(format, fileName)) {
        prompter.tell(QStringLiteral("The file ") + fileName + QStringLiteral(" was not written: ") +
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
