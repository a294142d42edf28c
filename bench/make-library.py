#!/usr/bin/env python3
"""Makes a varied library of small audio files for comparing simulations.

    make-library.py DIR [COUNT]      (default 3000 files, in nested folders)

The same COUNT always gives the same files. The mix covers what changes a
proposal: no tag, ID3v1 only, ID3v2.3 and 2.4 in Latin-1, UTF-16 and UTF-8,
both tags, empty or missing fields, track numbers, names full of junk,
upper case, non-ASCII letters, many files with the same artist and title
(the " (1)" rule), files already holding a proposed name, files shorter than
an ID3v1 record, and content that is not MPEG behind an .mp3 or .wma name.
"""
import os
import random
import sys

ARTISTS = ["Artist One", "the second artist", "ÉLODIE", "Zoë & Friends", "a", "", "AC/DC", "  spaced  "]
TITLES = ["First Song", "song two", "Çà et là", "Title (Live)", "x", "", "Über – Größe", "Track 07"]
ALBUMS = ["Album", "", "Best Of", "Zweite Ausgabe"]
JUNK = ["", " [www.example.com]", " (128kbps)", "_-_", "  ", " -- ", "!!!", " (1)"]


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def text(version, s, enc):
    if enc == 0:
        return b"\x00" + s.encode("latin-1", "replace")
    if enc == 1:
        return b"\x01" + s.encode("utf-16")  # with its byte order mark
    return b"\x03" + s.encode("utf-8") if version == 4 else b"\x00" + s.encode("latin-1", "replace")


def v2tag(version, fields, enc):
    frames = b""
    for fid, value in fields:
        if value is None:
            continue
        body = text(version, value, enc)
        size = syncsafe(len(body)) if version == 4 else len(body).to_bytes(4, "big")
        frames += fid.encode() + size + b"\x00\x00" + body
    frames += b"\x00" * 32  # padding
    return b"ID3" + bytes([version, 0, 0]) + syncsafe(len(frames)) + frames


def v1record(title, artist, album, track):
    def field(s, n):
        return s.encode("cp1252", "replace")[:n].ljust(n, b"\x00")

    return (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + b"2001" + field("", 28) + b"\x00" +
            bytes([track % 256]) + b"\x0c")


def mpeg(frames=2):
    frame = b"\xff\xfb\x90\x64" + b"\x00" * 413
    return frame * frames


def name_for(rng, i, artist, title):
    style = rng.randrange(8)
    track = "%02d" % (i % 20 + 1)
    a = artist or "unknown"
    t = title or "untitled"
    if style == 0:
        n = "%s - %s - %s" % (track, a, t)
    elif style == 1:
        n = "%s_-_%s%s" % (a.replace(" ", "_"), t.replace(" ", "_"), rng.choice(JUNK))
    elif style == 2:
        n = ("%s - %s" % (a, t)).upper()
    elif style == 3:
        n = "%s.%s" % (track, t)
    elif style == 4:
        n = "%s%s%s" % (rng.choice(JUNK), t, rng.choice(JUNK))
    elif style == 5:
        n = "%s - %s" % (a, t)  # may already be the proposal: the " (1)" rule on disk
    elif style == 6:
        n = "track%d" % i
    else:
        n = "%s   -   %s (%d)" % (a, t, i % 3)
    n = n.replace("/", "-").strip() or "empty"
    ext = rng.choice([".mp3"] * 9 + [".MP3", ".wma"])
    return n + ext


def content(rng, i, artist, title, album):
    kind = rng.randrange(12)
    track = str(i % 20 + 1) + rng.choice(["", "/20"])
    fields = [("TPE1", artist or None), ("TIT2", title or None), ("TALB", album or None), ("TRCK", track)]
    if kind == 0:
        return mpeg()  # no tag
    if kind == 1:
        return mpeg() + v1record(title, artist, album, i)
    if kind in (2, 3):
        return v2tag(3, fields, 0) + mpeg()
    if kind == 4:
        return v2tag(3, fields, 1) + mpeg()
    if kind == 5:
        return v2tag(4, fields, 3) + mpeg()
    if kind == 6:
        return v2tag(4, fields, 1) + mpeg() + v1record(title, artist, album, i)
    if kind == 7:
        return v2tag(3, fields, 0) + mpeg() + v1record(rng.choice(TITLES), rng.choice(ARTISTS), "", i)
    if kind == 8:
        return b"ID3"[: rng.randrange(4)] + b"\x00" * rng.randrange(100)  # shorter than a record
    if kind == 9:
        return b"RIFF\x24\x00\x00\x00WAVEfmt " + b"\x00" * 200  # not MPEG
    if kind == 10:
        return v2tag(3, [("TPE1", artist or None), ("TIT2", None)], 0) + mpeg() + v1record(title, "", "", i)
    return v2tag(4, fields, 0) + mpeg(3)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 3000
    rng = random.Random(count)
    made = 0
    for i in range(count):
        folder = os.path.join(root, "f%d" % (i % 7), "sub%d" % (i % 3)) if i % 5 else os.path.join(root, "f%d" % (i % 7))
        os.makedirs(folder, exist_ok=True)
        artist, title, album = rng.choice(ARTISTS), rng.choice(TITLES), rng.choice(ALBUMS)
        path = os.path.join(folder, name_for(rng, i, artist, title))
        if os.path.exists(path):
            continue
        with open(path, "wb") as f:
            f.write(content(rng, i, artist, title, album))
        made += 1
    print("%d files under %s" % (made, root))


if __name__ == "__main__":
    main()
