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
    # A text is described by its values joined with "/", empty values left
    # out: the 2.3 tag written in place of a 2.4 one stores a multi-value
    # text that way (as mutagen's own 2.3 writer does), and an empty value,
    # such as the one after a closing separator, carries nothing.
    parts = [] if hasattr(frame, "text") else [frame.pprint()]
    for attr in ("data", "owner", "email", "rating", "count", "url", "desc", "lang", "mime", "type"):
        value = getattr(frame, attr, None)
        if isinstance(value, bytes):
            value = hashlib.sha1(value).hexdigest()
        if value is not None:
            parts.append("%s=%s" % (attr, value))
    if hasattr(frame, "text"):
        parts.append("text=%r" % "/".join(str(t) for t in frame.text if str(t)))
    return "|".join(parts)


def walk(path, tag):
    """Whether a frame reaches past the declared size, and the ids of the
    frames with the grouping flag (mutagen keeps their group byte in the
    content, as the start of the text or owner, where other readers strip it)."""
    data = open(path, "rb").read(tag.size + 16)
    pos, grouped = 10, set()
    while pos + 10 <= len(data) and data[pos:pos + 4].strip(b"\0"):
        raw = data[pos + 4:pos + 8]
        size = int.from_bytes(raw, "big")
        if tag.version[1] == 4 and all(b < 0x80 for b in raw):
            size = (raw[0] << 21) | (raw[1] << 14) | (raw[2] << 7) | raw[3]
        if data[pos + 9] & (0x40 if tag.version[1] == 4 else 0x20):
            grouped.add(data[pos:pos + 4].decode("latin-1"))
        pos += 10 + size
        if pos > tag.size:
            return True, grouped
    return False, grouped


for line in sys.stdin:
    path = line.rstrip("\n")
    try:
        tag = ID3(path)
        cut, grouped = walk(path, tag)
        frames = sorted(f.FrameID + (" grouped" if f.FrameID in grouped else " " + describe(f))
                        for f in tag.values())
        if cut:
            frames.insert(0, "CUT")
    except Exception:
        frames = []
    print("\t".join(frames).replace("\n", " "), flush=True)
