// What kind of audio file a file is, decided from its first bytes and never
// from its name: an ID3 tag is only ever written into MPEG audio, and a WMA
// file keeps its own ASF tags.
#pragma once

#include <QString>

namespace vantrel {

class OpenFile;

enum class AudioFormat {
    Unknown, // none of the signatures below (also an empty or unreadable file)
    Mpeg,    // an ID3v2 tag followed by anything but another container, or an MPEG frame sync
    Asf,     // the ASF header object's GUID (.wma)
    Flac,    // "fLaC", also behind an ID3v2 tag
    Ogg,     // "OggS" (Vorbis, Opus)
    Riff,    // "RIFF" (WAVE)
    Mp4,     // "ftyp" at offset 4 (M4A)
};

// Reads the first bytes of the file (behind an ID3v2 tag where one starts the
// file). A file that cannot be read is Unknown.
AudioFormat detectAudioFormat(const QString& path);
// The same on a file the caller opened; a file that is not open is Unknown.
AudioFormat detectAudioFormat(OpenFile& file);

// Whether an ID3 tag may be written into a file of this format: MPEG audio,
// and files whose content is not recognised at all (so that a damaged MP3 can
// still be tagged); never another container.
inline bool takesId3(AudioFormat f)
{
    return f == AudioFormat::Mpeg || f == AudioFormat::Unknown;
}

// The same for the file at path: a file named as a FLAC, Ogg, Opus or M4A
// file whose content is not recognised is refused as well (only a file named
// otherwise may be a damaged MP3).
bool takesId3(AudioFormat f, const QString& path);

// The extension of a name that says FLAC, Ogg Vorbis, Opus or M4A (".flac",
// ".ogg", ".oga", ".opus", ".m4a", in any letter case), lower-cased; empty for
// any other name.
QString otherFormatExtension(const QString& name);

// "not an MP3 file (ASF)", the reason an ID3 write into another container is refused.
QString notMp3Reason(AudioFormat f);

} // namespace vantrel
