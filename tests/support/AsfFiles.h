// Real WMA (ASF), FLAC, Ogg Vorbis, Opus and M4A files for tests: encoded by
// ffmpeg, tagged and read back by an independent reader (mutagen, through
// Debian's python3).
#pragma once

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace vantrel::test {

// set PATH JSON: each key becomes one attribute (int: DWORD, "bytes:..." a
// byte array, else text). dump PATH: every attribute as "type:value", and
// the sha1 of each header object (and header extension child) that holds no
// tag, and of everything behind the header (the data object and the index).
inline const char* const kAsfPy = R"(
import sys, json, hashlib, struct
from mutagen.asf import ASF, ASFByteArrayAttribute as B, ASFUnicodeAttribute as U, ASFDWordAttribute as D
cmd, path = sys.argv[1], sys.argv[2]
f = ASF(path)
if cmd == 'set':
    for k, v in json.loads(sys.argv[3]).items():
        f.tags[k] = [D(v) if isinstance(v, int) else B(bytes.fromhex(v[6:])) if v.startswith('bytes:') else U(v)]
    f.save()
    sys.exit(0)
out = {}
for k in set(f.tags.keys()):
    out[k] = [type(a).__name__[3:-9] + ':' + (a.value.hex() if isinstance(a.value, bytes) else str(a.value))
              for a in f.tags[k]]
b = open(path, 'rb').read()
tagged = ('3326b2758e66cf11a6d900aa0062ce6c', '40a4d0d207e3d21197f000a0c95ea850',
          'eacbf8c5af5b77488467aa8c44fa4cca', '941c23449894d149a1411d134e457054')
def objects(at, end, prefix):
    while at < end:
        guid, size = b[at:at + 16].hex(), struct.unpack('<Q', b[at + 16:at + 24])[0]
        if guid == 'b503bf5f2ea9cf118ee300c00c205365':
            objects(at + 46, at + size, 'ext/')
        elif guid not in tagged:
            out[prefix + guid] = hashlib.sha1(b[at:at + size]).hexdigest()
        at += size
header = struct.unpack('<Q', b[16:24])[0]
objects(30, header, 'obj/')
out['behind-header'] = hashlib.sha1(b[header:]).hexdigest()
print(json.dumps(out))
)";

// Runs one of the scripts here with Debian's python, where python3-mutagen lives.
inline QJsonObject runAsfPy(const QStringList& args, bool* ok = nullptr, const char* script = kAsfPy)
{
    QProcess p;
    p.start("/usr/bin/python3", QStringList{"-c", QString::fromUtf8(script)} + args);
    const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok) *ok = done;
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// The reader's view of a file: attributes and checksums.
inline QJsonObject asfDump(const QString& path)
{
    return runAsfPy({"dump", path});
}

// A short mono WMA file at path, with the given attributes set by mutagen.
inline bool makeWma(const QString& path, const QJsonObject& attributes = {})
{
    const QString ffmpeg = "-nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=0.3 -ac 1 "
                           "-c:a wmav2 -f asf";
    bool ok = QProcess::execute("ffmpeg", ffmpeg.split(' ') << path) == 0;
    if (ok && !attributes.isEmpty())
        runAsfPy({"set", path, QString::fromUtf8(QJsonDocument(attributes).toJson())}, &ok);
    return ok;
}

// FLAC, Ogg Vorbis, Opus and M4A files: encoded by ffmpeg, with a private
// field and a picture added by mutagen. dump: every tag value (bytes as hex),
// the pictures, and the md5 of the decoded audio.
inline const char* const kFormatsPy = R"(
import sys, json, base64, hashlib, subprocess, mutagen
from mutagen.flac import Picture
from mutagen.mp4 import MP4Cover
cmd, path = sys.argv[1], sys.argv[2]
f = mutagen.File(path)
mp4 = type(f).__name__ == 'MP4'
if cmd == 'prep':
    pic = Picture(); pic.type = 3; pic.mime = 'image/png'; pic.data = b'PNG-1234'
    if mp4: f['covr'] = [MP4Cover(pic.data, MP4Cover.FORMAT_PNG)]; f['----:com.vantrel:private'] = [b'keep me']
    else: f['VANTREL_PRIVATE'] = 'keep me'
    if type(f).__name__ == 'FLAC': f.add_picture(pic)
    elif not mp4: f['METADATA_BLOCK_PICTURE'] = [base64.b64encode(pic.write()).decode()]
    f.save(); sys.exit(0)
out = {k.upper(): [v.hex() if isinstance(v, bytes) else str(v) for v in f.tags[k]] for k in f.tags.keys()}
out['pictures'] = [p.data.hex() for p in getattr(f, 'pictures', [])]
out['audio'] = subprocess.run(['ffmpeg', '-nostdin', '-loglevel', 'error', '-i', path, '-map', '0:a', '-f', 'md5', '-'],
                              capture_output=True, text=True).stdout
print(json.dumps(out))
)";

inline QJsonObject formatDump(const QString& path)
{
    return runAsfPy({"dump", path}, nullptr, kFormatsPy);
}

// A short file of the format its name says (.flac, .ogg Vorbis, .opus, .m4a,
// .oga Ogg FLAC, .wma; any letter case), titled "Old Title" by "Old Artist", with
// the private field and the picture.
inline bool makeAudio(const QString& path)
{
    const QString ext = path.section('.', -1).toLower();
    if (ext == u"wma") // the same fields as ASF attributes, the picture as WM/Picture
        return makeWma(
            path, {{"Title", "Old Title"},
                   {"Author", "Old Artist"},
                   {"Vantrel/Private", "keep me"},
                   {"WM/Picture", "bytes:030400000069006d006100670065002f0070006e006700000000000089504e47"}});
    const QString codec =
        QHash<QString, QString>{{"ogg", "libvorbis"}, {"opus", "libopus"}, {"m4a", "aac"}}.value(ext, "flac");
    const QString ffmpeg = "-nostdin -loglevel error -y -f lavfi -i sine=duration=0.3 -c:a " + codec +
                           " -metadata title=Old_Title -metadata artist=Old_Artist";
    bool ok = QProcess::execute("ffmpeg", ffmpeg.split(' ').replaceInStrings("_", " ") << path) == 0;
    if (ok) runAsfPy({"prep", path}, &ok, kFormatsPy);
    return ok;
}

} // namespace vantrel::test
