#!/bin/sh
# Simulates one library with two builds of vantrel-cli and compares what they
# print (the JSON plan on standard output, the problems on standard error)
# for several option sets. Exit 0 when every run agrees. The problems are
# compared byte for byte; the plan object by object, with its keys in one
# order, so that a change of JSON writer (key order, spacing, escapes) is no
# difference while every key and value must agree.
#
#   compare-simulate.sh OLD_CLI NEW_CLI DIR [COUNT]
#
# DIR is made with make-library.py (COUNT files) when it does not exist yet.
set -u
[ $# -ge 3 ] || { echo "usage: $0 OLD_CLI NEW_CLI DIR [COUNT]" >&2; exit 2; }
old=$1 new=$2 dir=$3 count=${4:-3000}
here=$(dirname "$0")
[ -d "$dir" ] || python3 "$here/make-library.py" "$dir" "$count" || exit 2
out=$(mktemp -d) || exit 2
trap 'rm -rf "$out"' EXIT
# One plan object per line, its keys sorted; other lines as they are.
canon() {
    python3 -c '
import json, sys
for line in sys.stdin:
    text = line.rstrip("\n")
    body = text.rstrip(",")
    try:
        print(json.dumps(json.loads(body), sort_keys=True, ensure_ascii=False) + text[len(body):])
    except ValueError:
        print(text)
' <"$1" >"$1.canon" && mv "$1.canon" "$1"
}
status=0
n=0
while IFS= read -r opts; do
    n=$((n + 1))
    # shellcheck disable=SC2086 # the option sets are split on purpose
    "$old" simulate --json $opts -- "$dir" >"$out/old.out" 2>"$out/old.err" </dev/null
    oldrc=$?
    # shellcheck disable=SC2086
    "$new" simulate --json $opts -- "$dir" >"$out/new.out" 2>"$out/new.err" </dev/null
    newrc=$?
    canon "$out/old.out" && canon "$out/new.out" || exit 2
    if [ $oldrc -ne $newrc ] || ! cmp -s "$out/old.out" "$out/new.out" || ! cmp -s "$out/old.err" "$out/new.err"; then
        echo "DIFFERENT with options: $opts (exit $oldrc / $newrc)"
        diff "$out/old.out" "$out/new.out" | head -20
        diff "$out/old.err" "$out/new.err" | head -20
        status=1
    else
        echo "same ($(wc -c <"$out/new.out") bytes out, $(wc -c <"$out/new.err") bytes err): $opts"
    fi
done <<'SETS'

--mode file-names
--mode tags-from-names
--force-id3v1
--scheme title-artist --keep-track-numbers
--scheme <Track>_<Artist>_<Album>_<Title> --keep-track-numbers --collapse-repeats
--all-upper --no-word-capitals --remove-all-numbers
--replace the --with THE --remove live
SETS
[ $status -eq 0 ] && echo "all $n option sets print the same"
exit $status
