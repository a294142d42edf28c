#!/usr/bin/env bash
# Renames, name clashes, case-only renames, tag writes and undo on a real
# medium of the kind music is carried on: a small exFAT image on a loop device
# mounted through exfat-fuse, or an NTFS image mounted through ntfs-3g.
#   media-tests.sh exfat|ntfs PATH-TO-vantrel-cli
# Needs root and /dev/fuse (and the Debian packages exfatprogs, exfat-fuse,
# ntfs-3g, python3-mutagen); without them it says why and exits 77 (skipped).
set -u
fs=${1:?exfat or ntfs}
cli=${2:?path to vantrel-cli}

skip() {
  echo "SKIP ($fs): $*"
  exit 77
}
need() {
  for t in "$@"; do command -v "$t" >/dev/null 2>&1 || skip "'$t' is missing (see the README's media tests)"; done
}

[ "$(id -u)" -eq 0 ] || skip "attaching and mounting an image needs root"
[ -c /dev/fuse ] || skip "no /dev/fuse on this machine"
py=/usr/bin/python3
[ -x "$py" ] || py=python3
"$py" -c 'import mutagen' 2>/dev/null || skip "python3-mutagen is missing (reads the tags back)"
case $fs in
  exfat) need mkfs.exfat mount.exfat-fuse losetup ;;
  ntfs) need mkntfs ntfs-3g ;;
  *) echo "unknown medium '$fs'" >&2; exit 2 ;;
esac

work=$(mktemp -d /tmp/vantrel-media.XXXXXX)
mnt=$work/mnt
loop=
cleanup() {
  cd /
  if mountpoint -q "$mnt"; then umount "$mnt" || umount -l "$mnt"; fi
  [ -z "$loop" ] || losetup -d "$loop"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$mnt" "$work/data"
truncate -s 32M "$work/disk.img"
case $fs in
  exfat)
    mkfs.exfat "$work/disk.img" >/dev/null || skip "mkfs.exfat failed"
    loop=$(losetup -f --show "$work/disk.img") || skip "no free loop device"
    mount.exfat-fuse "$loop" "$mnt" || skip "mount.exfat-fuse failed"
    ;;
  ntfs)
    mkntfs -F -f -q "$work/disk.img" >/dev/null 2>&1 || skip "mkntfs failed"
    ntfs-3g "$work/disk.img" "$mnt" || skip "ntfs-3g failed"
    ;;
esac
echo "medium: $fs on $mnt ($(findmnt -n -o FSTYPE,SOURCE "$mnt"))"

export VANTREL_DATA_DIR=$work/data # the undo journal stays in the test's folder
passed=0
failed=0
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
  fi
}
listing() { (cd "$1" && ls -A | LC_ALL=C sort | tr '\n' '|'); }
expect_listing() { # expect_listing FOLDER NAME... (exact spellings, nothing else)
  local folder=$1
  shift
  local want
  want=$(printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' '|')
  local got
  got=$(listing "$folder")
  [ "$got" = "$want" ] || {
    echo "  in $folder: want $want"
    echo "  in $folder: got  $got"
    return 1
  }
}
same_content() { cmp -s "$1" "$2"; }

# Three MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each) and a
# distinct byte at the end, so that every file is told apart by content.
make_mp3() { # make_mp3 PATH MARK
  "$py" - "$1" "$2" <<'EOF'
import sys
frame = b"\xff\xfb\x90\x00" + bytes(413)
open(sys.argv[1], "wb").write(frame * 3 + sys.argv[2].encode())
EOF
}

# ---- renames, case-only renames and undo --------------------------------------
d=$mnt/rename
mkdir "$d"
make_mp3 "$d/artist - song.mp3" 1
make_mp3 "$d/the band - first track.mp3" 2
make_mp3 "$d/another_artist_-_some_song.mp3" 3
make_mp3 "$d/Already Right - Name.mp3" 4
for f in "$d"/*; do cp "$f" "$work/orig-$(basename "$f")"; done

out=$("$cli" simulate --mode file-names "$d")
check "simulation proposes case-only renames without ' (1)'" \
  bash -c '! grep -q " (1)" <<<"$1"' _ "$out"
"$cli" fix --yes --mode file-names "$d" >/dev/null
check "fix exits 0" test $? -eq 0
check "every file renamed, case-only ones in place" expect_listing "$d" \
  "Artist - Song.mp3" "The Band - First Track.mp3" "Another Artist - Some Song.mp3" "Already Right - Name.mp3"
check "contents kept" same_content "$d/Artist - Song.mp3" "$work/orig-artist - song.mp3"
check "contents kept" same_content "$d/Another Artist - Some Song.mp3" "$work/orig-another_artist_-_some_song.mp3"

"$cli" undo >/dev/null 2>&1
check "undo exits 0" test $? -eq 0
check "undo restores every name, case-only ones included" expect_listing "$d" \
  "artist - song.mp3" "the band - first track.mp3" "another_artist_-_some_song.mp3" "Already Right - Name.mp3"
check "contents kept after undo" same_content "$d/artist - song.mp3" "$work/orig-artist - song.mp3"

# ---- a name another file holds, in another spelling ----------------------------
d=$mnt/clash
mkdir "$d"
make_mp3 "$d/ARTIST - SONG.MP3" other
make_mp3 "$d/artist_-_song.mp3" mine
cp "$d/ARTIST - SONG.MP3" "$work/other"
cp "$d/artist_-_song.mp3" "$work/mine"
"$cli" fix --yes --mode file-names "$d/artist_-_song.mp3" >/dev/null
check "fix with a clash exits 0" test $? -eq 0
if [ "$fs" = exfat ]; then
  # The medium ignores case: "Artist - Song.mp3" is the other file's name.
  new="Artist - Song (1).mp3"
else
  new="Artist - Song.mp3"
fi
check "the clash is resolved as the medium's case rule demands" expect_listing "$d" "ARTIST - SONG.MP3" "$new"
check "the other file is untouched" same_content "$d/ARTIST - SONG.MP3" "$work/other"
check "the renamed file keeps its content" same_content "$d/$new" "$work/mine"
"$cli" undo >/dev/null 2>&1
check "undo of the clash" expect_listing "$d" "ARTIST - SONG.MP3" "artist_-_song.mp3"

# ---- tag writes ------------------------------------------------------------------
d=$mnt/tags
mkdir "$d"
make_mp3 "$d/song.mp3" t
make_mp3 "$d/Some Artist - Some Title.mp3" u
"$cli" tag "$d/song.mp3" --v2 artist=Ünïcode --v2 title=Thing --v1 artist=Plain >/dev/null
check "tag write exits 0" test $? -eq 0
"$cli" fix --yes --mode tags-from-names "$d/Some Artist - Some Title.mp3" >/dev/null
check "tags-from-names exits 0" test $? -eq 0
read_tags() { # artist and title as mutagen reads them, then whether the frames survived
  "$py" - "$1" <<'EOF'
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
data = open(sys.argv[1], "rb").read()
frames = (b"\xff\xfb\x90\x00" + bytes(413)) * 3
print(t["TPE1"].text[0], "/", t["TIT2"].text[0], "/", frames in data)
EOF
}
check "the tag reads back with an independent reader" \
  test "$(read_tags "$d/song.mp3")" = "Ünïcode / Thing / True"
check "tags from the name read back" \
  test "$(read_tags "$d/Some Artist - Some Title.mp3")" = "Some Artist / Some Title / True"
check "no temporary file is left" expect_listing "$d" "song.mp3" "Some Artist - Some Title.mp3"

echo "$fs: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
