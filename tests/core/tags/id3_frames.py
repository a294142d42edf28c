#!/usr/bin/python3
# Independent reader for the tag property test: for each path read from
# stdin, one line with the frames mutagen sees in its ID3v2 tag, each as
# "<id> <text that describes the whole content>", separated by tabs; first
# "CUT" when a frame reaches past the size the tag header declares (mutagen
# then reads that frame cut short).
import hashlib
import sys

from mutagen.id3 import ID3


def describe(frame):
    parts = [frame.pprint()]
    for attr in ("data", "owner", "email", "rating", "count", "url", "desc", "lang", "mime", "type"):
        value = getattr(frame, attr, None)
        if isinstance(value, bytes):
            value = hashlib.sha1(value).hexdigest()
        if value is not None:
            parts.append("%s=%s" % (attr, value))
    if hasattr(frame, "text"):
        parts.append("text=%r" % ([str(t) for t in frame.text],))
    return "|".join(parts)


def cut(path, tag):
    data = open(path, "rb").read(tag.size + 16)
    pos = 10
    while pos + 10 <= len(data) and data[pos:pos + 4].strip(b"\0"):
        raw = data[pos + 4:pos + 8]
        size = int.from_bytes(raw, "big")
        if tag.version[1] == 4 and all(b < 0x80 for b in raw):
            size = (raw[0] << 21) | (raw[1] << 14) | (raw[2] << 7) | raw[3]
        pos += 10 + size
        if pos > tag.size:
            return True
    return False


for line in sys.stdin:
    path = line.rstrip("\n")
    try:
        tag = ID3(path)
        frames = sorted(f.FrameID + " " + describe(f) for f in tag.values())
        if cut(path, tag):
            frames.insert(0, "CUT")
    except Exception:
        frames = []
    print("\t".join(frames).replace("\n", " "), flush=True)
