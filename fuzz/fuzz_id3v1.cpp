// libFuzzer target for the ID3v1 code: the input is a whole file. It is read
// by the tag class and by the record routines, then a record is written and
// checked: nothing before the record may change and the file may only keep
// its length or grow by one record. Also checks that Windows-1252 text keeps
// every byte through decode and encode.
#include "platform/Prompter.h"
#include "tags/Windows1252.h"
#include "tags/cMP3ID3v1.h"
#include "tags/modTag.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratchPath()
{
    static const QString path = QDir::temp().filePath(
        QStringLiteral("vantrel-fuzz-id3v1-%1.mp3").arg(static_cast<qint64>(::getpid())));
    return path;
}

void check(bool ok)
{
    if (!ok) std::abort();
}

bool put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vantrel;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    check(cp1252::encode(cp1252::decode(input)) == input);

    const QString path = scratchPath();
    if (!put(path, input)) return 0;

    ScriptedPrompter prompter(Answer::No);
    cMP3ID3v1 tag(&prompter);
    tag.setMP3File(path);
    check(tag.Title().size() <= 30 && tag.Year().size() <= 4 && tag.Comment().size() <= 28);

    QString name = path;
    modTag::GetID3v1(name, prompter);
    modTag::tagLog.clear(); // keep the log from growing over millions of runs

    // Write back what was read, with a changed title taken from the input.
    tag.setTitle(cp1252::decode(input.left(40)));
    const bool written = tag.Update();
    const QByteArray after = get(path);
    const qsizetype n = input.size();
    const bool hadRecord = n > 128 && input.mid(n - 128, 3) == "TAG";
    if (!written) {
        check(after == input);
    } else {
        const qsizetype kept = hadRecord ? n - 128 : n;
        check(after.size() == kept + 128);
        check(after.left(kept) == input.left(kept));
        check(after.mid(kept, 3) == "TAG");
        cMP3ID3v1 back;
        back.setMP3File(path);
        check(back.HasID3v1Tag() && back.Genre() == tag.Genre() && back.Track() == tag.Track());
    }

    // The record routines append or overwrite in the same way.
    name = path;
    const qsizetype before = after.size();
    const bool set = modTag::SetID3v1(name, modTag::CurrentTag, prompter);
    const QByteArray last = get(path);
    check(set);
    check(last.size() == before || last.size() == before + 128);
    return 0;
}
