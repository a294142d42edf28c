#!/usr/bin/python3
# Independent reader for the tag property test: for each path read from
# stdin, one JSON line with the frames mutagen sees in its ID3v2 tag, each as
# [id, text that describes the whole content], or null when mutagen finds no
# readable tag.
import hashlib
import json
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
        tag = ID3(path)
        frames = sorted([frame.FrameID, describe(frame)] for frame in tag.values())
        result = frames
    except Exception:
        result = None
    print(json.dumps(result), flush=True)
