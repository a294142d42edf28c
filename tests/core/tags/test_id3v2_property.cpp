// Whatever shape a tag has (ids, sizes, flags, extended headers, padding, a
// cut), a title change either leaves the file byte-identical or keeps every
// frame an independent reader (mutagen) saw before, and the audio.
// VANTREL_PROPERTY_CASES sets the number of mutated files (300 by default),
// VANTREL_PROPERTY_SEED the seed (1 by default).
#include "Id3v2Bytes.h"
#include "TestFiles.h"
#include "tags/cMP3ID3v2.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct Sample {
    QString path;
    QByteArray before;
    QByteArray tail; // the audio and record the file ended with, empty when cut
};

class Mutator {
  public:
    explicit Mutator(quint32 seed) : rng_(seed) {}
    int pick(int n) { return int(rng_() % quint32(n)); }

    // A valid 2.3 or 2.4 tag with text, comment, picture, private and user frames.
    QByteArray tag()
    {
        const int major = 3 + pick(2);
        auto f = [&](const char* id, const QByteArray& body) {
            return major == 3 ? frame23(id, body) : frame24(id, body);
        };
        QByteArray picture("\0image/png\0\3cover\0", 18);
        for (int i = 0; i < 64 + pick(400); ++i)
            picture += char(pick(256));
        QByteArray frames = f("TIT2", latin1Text("Old title")) + f("TPE1", latin1Text("Artist"));
        frames += f("COMM", QByteArray("\0eng\0A comment", 14)) + f("APIC", picture);
        frames += f("PRIV", QByteArray("owner\0\1\2\3", 9)) + f("TXXX", QByteArray("\0key\0value", 10));
        if (pick(2)) frames += f("TALB", latin1Text("Album"));
        return id3v2Tag(major, frames, pick(3) ? pick(300) : 0);
    }

    // One to three changes of the kinds real files show.
    QByteArray mutate(QByteArray t)
    {
        for (int n = 1 + pick(3); n > 0; --n) {
            const int at = 10 + pick(int(t.size()) - 10);
            switch (pick(9)) {
            case 0: // flags of the tag: extended header, unsynchronisation, footer...
                t[5] = char(t[5] ^ (0x10 << pick(4)));
                break;
            case 1: { // an id byte: another letter of either case, a digit, space, zero, junk
                static const char ids[] = "AZaz09 \0\xFF";
                t[at] = ids[pick(sizeof ids - 1)];
                break;
            }
            case 2: // a size or flag byte somewhere in the frames
                t[at] = char(t[at] + (pick(2) ? 1 : -1) * (1 + pick(4)));
                break;
            case 3: // the tag size
                t[9 - pick(2)] = char(pick(128));
                break;
            case 4: // a real extended header (2.3 form) in front of the frames
                t[5] = char(t[5] | 0x40);
                t.insert(10, QByteArray("\0\0\0\6\0\0\0\0\0\0", 10));
                break;
            case 5: // junk in the padding or the frames
                t[at] = char(pick(256));
                break;
            case 6: // a cut inside the tag
                return t.left(at);
            case 7: // the version
                t[3] = char(2 + pick(3));
                break;
            default: // more padding than the header says
                t.append(pick(200), '\0');
                break;
            }
        }
        return t;
    }

  private:
    std::mt19937 rng_;
};

// What mutagen sees in each file: a list of [id, description] per file, or null.
QList<QJsonValue> independentRead(const QList<Sample>& samples)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(ID3_FRAMES_PY)});
    EXPECT_TRUE(p.waitForStarted(10000)) << "python3 with mutagen is needed";
    for (const Sample& s : samples)
        p.write(s.path.toUtf8() + '\n');
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(600000));
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    EXPECT_GE(lines.size(), samples.size()) << p.readAllStandardError().toStdString();
    QList<QJsonValue> out;
    for (qsizetype i = 0; i < samples.size() && i < lines.size(); ++i)
        out << QJsonDocument::fromJson("[" + lines[i] + "]").array().at(0);
    return out;
}

// Each frame as "<id> <description>".
QStringList flatten(const QJsonValue& frames)
{
    QStringList out;
    for (const QJsonValue f : frames.toArray())
        out << f.toArray().at(0).toString() + ' ' + f.toArray().at(1).toString();
    return out;
}

} // namespace

TEST(Id3v2Property, MutatedTagsLoseNothingOnAWrite)
{
    const int cases = qEnvironmentVariableIsSet("VANTREL_PROPERTY_CASES")
                          ? qEnvironmentVariableIntValue("VANTREL_PROPERTY_CASES")
                          : 300;
    const quint32 seed = qEnvironmentVariableIsSet("VANTREL_PROPERTY_SEED")
                             ? quint32(qEnvironmentVariableIntValue("VANTREL_PROPERTY_SEED"))
                             : 1;
    QTemporaryDir dir;
    Mutator m(seed);
    const QByteArray audio = mpegFrames(3);
    QList<Sample> samples;
    for (int i = 0; i < cases; ++i) {
        Sample s;
        s.path = dir.filePath(QStringLiteral("%1.mp3").arg(i));
        s.tail = audio + (m.pick(2) ? id3v1Record("v1", "") : QByteArray());
        s.before = m.mutate(m.tag()) + s.tail;
        if (!s.before.endsWith(s.tail)) s.tail.clear();
        ASSERT_TRUE(writeFile(s.path, s.before));
        samples << s;
    }
    const QList<QJsonValue> seen = independentRead(samples);

    int written = 0;
    for (int i = 0; i < cases; ++i) {
        cMP3ID3v2 t;
        t.setMP3File(samples[i].path);
        t.setTitle(QStringLiteral("New %1").arg(i));
        written += t.Update();
    }
    const QList<QJsonValue> after = independentRead(samples);
    ASSERT_EQ(after.size(), cases);

    int refused = 0;
    for (int i = 0; i < cases; ++i) {
        const Sample& s = samples[i];
        const QByteArray now = readFile(s.path);
        const auto context = [&] { return "seed " + std::to_string(seed) + ", " + s.path.toStdString(); };
        if (now == s.before) {
            ++refused;
            continue;
        }
        EXPECT_TRUE(now.endsWith(s.tail)) << context() << ": audio changed";
        QStringList frames = flatten(after[i]);
        const QString title = QStringLiteral("text=['New %1']").arg(i);
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(),
                                [&](const QString& f) { return f.startsWith("TIT2 ") && f.contains(title); }))
            << context() << ": " << frames.join('\n').toStdString();
        for (const QString& f : flatten(seen[i])) {
            if (f.startsWith(QLatin1String("TIT2 "))) continue;
            EXPECT_TRUE(frames.removeOne(f)) << context() << ": lost " << f.toStdString();
        }
    }
    std::cout << cases << " mutated files: " << written << " written, " << refused
              << " left byte-identical\n";
}
