#!/usr/bin/python3
# Independent reader for the tag property test: for each path read from
# stdin, one line with the frames mutagen sees in its ID3v2 tag, each as
# "<id> <text that describes the whole content>", separated by tabs.
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


for line in sys.stdin:
    path = line.rstrip("\n")
    try:
        frames = sorted(f.FrameID + " " + describe(f) for f in ID3(path).values())
    except Exception:
        frames = []
    print("\t".join(frames).replace("\n", " "), flush=True)
