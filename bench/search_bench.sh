#!/bin/bash
# The search benchmark: generates a site of about 1,200 files and searches it
# for one word with the search window (bench/search-driver, drawn offscreen)
# first with no word lists kept (cold), then again with the lists the first
# search kept (warm), and with `grep -ril`. Prints wall and CPU time of each,
# the files each found, and checks the bars: cold at most 5 s, warm at most
# 1 s, and the same results, in the same order, both times.
#
#   bench/search_bench.sh [PAGES] [WORD] [BUILD_DIR]
#
# PAGES is the generated site's page count (1100 when absent: with its
# stylesheets, scripts and pictures about 1,180 files in 57 folders), WORD
# the word searched for ("lighthouse"). BUILD_DIR holds bench/search-driver
# (default: build). SEARCH_BENCH_KEEP=1 keeps the work folder.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(dirname "$HERE")
PAGES=${1:-1100}
WORD=${2:-lighthouse}
BUILD_DIR=${3:-$REPO/build}
DRIVER=$BUILD_DIR/bench/search-driver
COLD_BAR=5
WARM_BAR=1

[[ $PAGES =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [PAGES] [WORD] [BUILD_DIR]" >&2; exit 2; }
[[ -x $DRIVER ]] || { echo "$DRIVER is not built (cmake --build $BUILD_DIR --target search-driver)" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/search-bench.XXXXXX")
cleanup() {
    if [[ ${SEARCH_BENCH_KEEP:-0} == 1 ]]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

/usr/bin/python3 "$HERE/site_generator.py" "$WORK/site" --pages "$PAGES" --base-url http://127.0.0.1:9 > /dev/null
FILES=$(find "$WORK/site" -type f | wc -l)
FOLDERS=$(find "$WORK/site" -mindepth 1 -type d | wc -l)
echo "site: $FILES files in $FOLDERS folders ($(du -sh "$WORK/site" | cut -f1)), searching for \"$WORD\""

mkdir -p "$WORK/home/config" "$WORK/home/data" "$WORK/home/cache" "$WORK/tmp"
# run NAME COMMAND...: wall and CPU time into $WORK/NAME.time, output into $WORK/NAME.out
run() {
    local name=$1
    shift
    env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" XDG_DATA_HOME="$WORK/home/data" \
        XDG_CACHE_HOME="$WORK/home/cache" TMPDIR="$WORK/tmp" \
        /usr/bin/time -f "%e %U %S" -o "$WORK/$name.time" "$@" > "$WORK/$name.out" 2> "$WORK/$name.err"
}

run cold "$DRIVER" --list "$WORK/site" "$WORD"
run warm "$DRIVER" --list "$WORK/site" "$WORD"
run grep grep -ril "$WORD" "$WORK/site" || true

# The driver's own figure: from the click on Search to the end of the search.
search_seconds() { tail -n 1 "$WORK/$1.out" | awk '{print $6}'; }
found_by_search() { tail -n 1 "$WORK/$1.out" | awk '{print $2}'; }
cpu() { awk '{printf "%.2f", $2 + $3}' "$WORK/$1.time"; }
wall() { awk '{printf "%.2f", $1}' "$WORK/$1.time"; }

printf '\n%-22s %10s %12s %10s %8s\n' tool "search s" "process s" "CPU s" found
printf '%-22s %10s %12s %10s %8s\n' "search (cold)" "$(search_seconds cold)" "$(wall cold)" "$(cpu cold)" "$(found_by_search cold)"
printf '%-22s %10s %12s %10s %8s\n' "search (warm)" "$(search_seconds warm)" "$(wall warm)" "$(cpu warm)" "$(found_by_search warm)"
printf '%-22s %10s %12s %10s %8s\n' "grep -ril" "-" "$(wall grep)" "$(cpu grep)" "$(wc -l < "$WORK/grep.out")"
echo "(grep matches the bytes anywhere in a file, markup and scripts included; the search matches whole words of the text a reader sees)"

status=0
check() {  # description, condition
    if eval "$2"; then echo "ok    $1"; else echo "FAIL  $1"; status=1; fi
}
echo
check "cold search at most ${COLD_BAR} s" "awk -v s=$(search_seconds cold) 'BEGIN { exit !(s <= $COLD_BAR) }'"
check "warm search at most ${WARM_BAR} s" "awk -v s=$(search_seconds warm) 'BEGIN { exit !(s <= $WARM_BAR) }'"
check "warm search finds what the cold one found, in the same order" \
    "cmp -s <(head -n -1 '$WORK/cold.out') <(head -n -1 '$WORK/warm.out')"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
exit $status
