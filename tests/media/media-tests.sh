#!/usr/bin/env bash
# Renames, case-only renames, a clash with another spelling, tag writes and
# undo through vantrel-cli on a real medium: a small exFAT image on a loop
# device mounted with exfat-fuse, or an NTFS image mounted with ntfs-3g.
#   media-tests.sh exfat|ntfs PATH-TO-vantrel-cli
# Needs root, /dev/fuse, exfatprogs, exfat-fuse, ntfs-3g and python3-mutagen;
# without them it says why and exits 77 (skipped).
set -u
fs=$1 cli=$(realpath "$2") py=/usr/bin/python3 loop=
skip() { echo "SKIP ($fs): $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "attaching and mounting an image needs root"
[ -c /dev/fuse ] || skip "no /dev/fuse on this machine"
[ "$fs" = exfat ] && tools="mkfs.exfat mount.exfat-fuse losetup" || tools="mkntfs ntfs-3g"
for t in $tools; do command -v "$t" >/dev/null || skip "'$t' is missing (see the README)"; done
"$py" -c 'import mutagen' 2>/dev/null || skip "python3-mutagen is missing"

work=$(mktemp -d /tmp/vantrel-media.XXXXXX) mnt=$work/mnt
cleanup() {
  cd / && mountpoint -q "$mnt" && { umount "$mnt" || umount -l "$mnt"; }
  [ -z "$loop" ] || losetup -d "$loop"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$mnt" && truncate -s 32M "$work/disk.img"
if [ "$fs" = exfat ]; then
  mkfs.exfat "$work/disk.img" >/dev/null && loop=$(losetup -f --show "$work/disk.img") &&
    mount.exfat-fuse "$loop" "$mnt" || skip "could not make and mount the exFAT image"
else
  mkntfs -F -f -q "$work/disk.img" >/dev/null 2>&1 && ntfs-3g "$work/disk.img" "$mnt" ||
    skip "could not make and mount the NTFS image"
fi
echo "medium: $(findmnt -n -o FSTYPE,SOURCE "$mnt")"
export VANTREL_DATA_DIR=$work # the undo journal stays here

failed=0 passed=0
check() { # check WHAT COMMAND...
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)) && echo "FAIL: $1" >&2; fi
}
listed() { # listed FOLDER NAME...: the folder holds exactly these spellings
  local got want
  got=$(ls -A "$1" | LC_ALL=C sort) want=$(printf '%s\n' "${@:2}" | LC_ALL=C sort)
  [ "$got" = "$want" ] || { echo "  want: ${want//$'\n'/|}" && echo "  got:  ${got//$'\n'/|}" && false; }
}
# Three MPEG-1 Layer III frames and a mark that tells the files apart.
frames='b"\xff\xfb\x90\x00" + bytes(413)'
mp3() { "$py" -c "import sys; open(sys.argv[1], 'wb').write(($frames) * 3 + sys.argv[2].encode())" "$@"; }

d=$mnt/rename && mkdir "$d" && cd "$d" || exit 1
mp3 "artist - song.mp3" 1 && mp3 "the band - first track.mp3" 2 && mp3 "another_artist_-_some_song.mp3" 3
cp "artist - song.mp3" "$work/1"
check "no ' (1)' for case-only renames" bash -c '! "$1" simulate --mode file-names . | grep -q "(1)"' _ "$cli"
check "fix renames everything" "$cli" fix --yes --mode file-names "$d" >/dev/null
check "case-only renames in place" listed . "Artist - Song.mp3" "The Band - First Track.mp3" \
  "Another Artist - Some Song.mp3"
check "content kept" cmp -s "Artist - Song.mp3" "$work/1"
check "undo" "$cli" undo >/dev/null 2>&1
check "undo restores every spelling" listed . "artist - song.mp3" "the band - first track.mp3" \
  "another_artist_-_some_song.mp3"

d=$mnt/clash && mkdir "$d" && cd "$d" || exit 1
mp3 "ARTIST - SONG.MP3" other && mp3 "artist_-_song.mp3" mine && cp "ARTIST - SONG.MP3" "$work/other"
# Where the medium ignores case, "Artist - Song.mp3" is the other file's name.
[ "$fs" = exfat ] && new="Artist - Song (1).mp3" || new="Artist - Song.mp3"
check "fix beside another spelling" "$cli" fix --yes --mode file-names "$d/artist_-_song.mp3" >/dev/null
check "the clash follows the medium's case rule" listed . "ARTIST - SONG.MP3" "$new"
check "the other file is untouched" cmp -s "ARTIST - SONG.MP3" "$work/other"
check "undo of the clash" "$cli" undo >/dev/null 2>&1
check "undone" listed . "ARTIST - SONG.MP3" "artist_-_song.mp3"

d=$mnt/tags && mkdir "$d" && cd "$d" || exit 1
mp3 song.mp3 t && mp3 "Some Artist - Some Title.mp3" u
check "tag write" "$cli" tag song.mp3 --v2 artist=Ünïcode --v2 title=Thing >/dev/null
check "tags from names" "$cli" fix --yes --mode tags-from-names "$d/Some Artist - Some Title.mp3" >/dev/null
tags() { # artist / title as mutagen reads them / whether the audio frames survived
  "$py" -c "import sys; from mutagen.id3 import ID3; t = ID3(sys.argv[1])
print(t['TPE1'].text[0], '/', t['TIT2'].text[0], '/', ($frames) * 3 in open(sys.argv[1], 'rb').read())" "$1"
}
check "the tag reads back elsewhere" test "$(tags song.mp3)" = "Ünïcode / Thing / True"
check "tags from the name read back" test "$(tags "Some Artist - Some Title.mp3")" = "Some Artist / Some Title / True"
check "no temporary file left" listed . song.mp3 "Some Artist - Some Title.mp3"

echo "$fs: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
