#!/bin/bash
# The crawl benchmark: generates a site, serves it with nginx on 127.0.0.1 and
# mirrors it with Tidewell's crawl-driver, Tidewell's windows (the quicker
# grabber as `tidewell URL` and Return start it, and the grabber window with
# the Default configuration, both drawn offscreen by window-grab-driver),
# wget and httrack in one run, then prints wall time, CPU time, peak memory,
# files saved and the share of on-site links that work from disk, as ratios
# against wget. Tidewell's drivers also print the grab's own time (from the
# start check to the end, as a user times it from Return to "Done."), which
# leaves out loading the program and building its windows.
#
#   bench/crawl_bench.sh [PAGES] [BUILD_DIR]
#
# PAGES is a page count (3000 when absent) or a comma list such as
# 3000,30000, which also prints how time per page and memory grow between
# the first and the last size. BUILD_DIR holds bench/crawl-driver and
# bench/window-grab-driver (default: build). A tool that is not installed (or a crawl-driver not built) is
# skipped with a message. Each tool mirrors the site CRAWL_BENCH_RUNS times
# (3), taking turns with the others, and its median run by wall time is
# reported. CRAWL_BENCH_KEEP=1 keeps the work folder (site, mirrors, logs)
# for inspection; CRAWL_BENCH_SEED changes the site.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(dirname "$HERE")
PY=/usr/bin/python3
NGINX=/usr/sbin/nginx
PAGES_LIST=${1:-3000}
BUILD_DIR=${2:-$REPO/build}
BUILD_DIR=$(cd "$BUILD_DIR" 2>/dev/null && pwd || echo "$BUILD_DIR")
SEED=${CRAWL_BENCH_SEED:-1}
RUNS=${CRAWL_BENCH_RUNS:-3}
CRAWL_DRIVER=$BUILD_DIR/bench/crawl-driver
WINDOW_DRIVER=$BUILD_DIR/bench/window-grab-driver
NGINX_LIFETIME=21600   # seconds; the server also ends when this script does

IFS=',' read -r -a SIZES <<< "$PAGES_LIST"
for size in "${SIZES[@]}"; do
    [[ $size =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [PAGES[,PAGES...]] [BUILD_DIR]" >&2; exit 2; }
done
[[ $RUNS =~ ^[1-9][0-9]*$ ]] || { echo "CRAWL_BENCH_RUNS must be a positive number" >&2; exit 2; }
[[ -x $NGINX ]] || { echo "nginx is not installed ($NGINX): cannot serve the site" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/crawl-bench.XXXXXX")
cleanup() {
    stop_server
    if [[ ${CRAWL_BENCH_KEEP:-0} == 1 ]]; then
        echo "work folder kept: $WORK"
    else
        rm -rf "$WORK"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# nginx: start_server ROOT sets PORT and SERVER_DIR; stop_server ends it.
source "$HERE/nginx_server.sh"

# ---------------------------------------------------------------------------
# One mirror: the tool under /usr/bin/time with a fresh HOME and XDG folders,
# then the link checker. Appends a row to $RESULTS:
# tool pages urls wall user sys maxrss_kb files pages_checked on_site working remote missing requests status grab
# (grab: the grab's own time, from its start to its end, as Tidewell's drivers print it after "Grab time: ";
# the wall time for the other tools, which have no start-up of their own to leave out)

RESULTS=$WORK/results.tsv
: > "$RESULTS"

run_mirror() {  # tool pages urls run checker_ignores... -- command... (OUT in the command is the mirror folder)
    local tool=$1 pages=$2 urls=$3 run=$4
    shift 4
    local ignores=()
    while [[ $1 != -- ]]; do ignores+=(--ignore "$1"); shift; done
    shift
    local name=$tool-$pages-run$run
    local out=$WORK/$name home=$WORK/home-$name log=$WORK/$name.log timing=$WORK/$name.time
    mkdir -p "$out" "$home/config" "$home/data" "$home/cache"
    local command=() word
    for word in "$@"; do command+=("${word//@OUT@/$out}"); done
    local before after status=0
    before=$(wc -l < "$SERVER_DIR/access.log")
    echo "  run $run: mirroring with $tool ..."
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" \
        /usr/bin/time -f "%e %U %S %M" -o "$timing" "${command[@]}" > "$log" 2>&1 || status=$?
    after=$(wc -l < "$SERVER_DIR/access.log")
    if [[ $status != 0 ]]; then
        echo "  $tool exited with status $status; its output ends with:"
        tail -n 5 "$log" | sed 's/^/    /'
    fi
    if [[ $tool == crawl-driver && $run == 1 ]]; then
        grep -E '^Total (files grabbed|errors|bytes grabbed|time):' "$log" | sed 's/^/    /' || true
    fi
    local checker counts
    checker=$("$PY" "$HERE/link_checker.py" "$out" --site "http://127.0.0.1:$PORT" --json \
              --examples "$([[ $run == 1 && $tool != curl ]] && echo 3 || echo 0)" "${ignores[@]}")
    counts=$("$PY" -c '
import json, sys
r = json.loads(sys.argv[1])
print(r["files_saved"], r["pages"], r["on_site"], r["on_site_working"], r["on_site_remote"], r["on_site_missing"])
for e in r["examples"]:
    print("    broken link: %s: %s (%s)" % (e["page"], e["link"], e["problem"]), file=sys.stderr)
' "$checker")
    local wall user sys maxrss files pages_checked on_site working remote missing
    read -r wall user sys maxrss < <(tail -n 1 "$timing")
    read -r files pages_checked on_site working remote missing <<< "$counts"
    printf '%s\t' "$tool" "$pages" "$urls" "$wall" "$user" "$sys" "$maxrss" "$files" "$pages_checked" \
        "$on_site" "$working" "$remote" "$missing" "$((after - before))" >> "$RESULTS"
    local grab
    grab=$(awk '/^Grab time: /{ seconds = $3 } END { print seconds }' "$log")
    printf '%s\t%s\n' "$status" "${grab:-$wall}" >> "$RESULTS"
    # Mirrors go once every run of the size is done: on a file system that
    # skips recently freed inodes when it allocates (ext4 without a journal),
    # deleting one here would slow the next tool's every file creation.
    DONE_MIRRORS+=("$out" "$home")
}
DONE_MIRRORS=()

have() { command -v "$1" > /dev/null 2>&1; }

bench_size() {  # pages
    local pages=$1
    local site=$WORK/site-$pages
    mkdir -p "$site"
    start_server "$site"
    local url="http://127.0.0.1:$PORT/"
    echo "== $pages pages, served at $url (seed $SEED, $RUNS run(s) of each tool, the median kept)"
    "$PY" "$HERE/site_generator.py" "$site" --pages "$pages" --base-url "http://127.0.0.1:$PORT" --seed "$SEED" \
        --manifest "$WORK/manifest-$pages.json"
    local urls files
    urls=$("$PY" -c 'import json,sys; print(json.load(open(sys.argv[1]))["urls"])' "$WORK/manifest-$pages.json")
    files=$("$PY" -c 'import json,sys; print(json.load(open(sys.argv[1]))["files"])' "$WORK/manifest-$pages.json")
    echo "  site: $files files, $urls distinct URLs (queries included)"
    have wget || echo "  wget is not installed: skipped (the ratios need it)"
    have httrack || echo "  httrack is not installed: skipped"
    have curl || echo "  curl is not installed: no floor line"
    # curl's configuration: one url/output pair per file of the site, the
    # mirror folder (@OUT@) filled in for each run.
    "$PY" - "$site" "$url" > "$WORK/curl-$pages.conf.in" <<'PYEOF'
import os, sys, urllib.parse
site, url = sys.argv[1], sys.argv[2]
print("create-dirs")
for folder, _, names in sorted(os.walk(site)):
    for name in sorted(names):
        relative = os.path.relpath(os.path.join(folder, name), site)
        print('url = "%s%s"' % (url, urllib.parse.quote(relative)))
        print('output = "@OUT@/%s"' % relative.replace("\\", "\\\\").replace('"', '\\"'))
PYEOF
    [[ -x $CRAWL_DRIVER ]] || echo "  crawl-driver is not built ($CRAWL_DRIVER): skipped; build it with" \
                                   "'cmake --build $BUILD_DIR --target crawl-driver'"
    [[ -x $WINDOW_DRIVER ]] || echo "  window-grab-driver is not built ($WINDOW_DRIVER): windows skipped; build it" \
                                    "with 'cmake --build $BUILD_DIR --target window-grab-driver'"

    # The tools take turns, so a change in the machine's load touches all.
    local run
    for run in $(seq 1 "$RUNS"); do
        if have wget; then
            run_mirror wget "$pages" "$urls" "$run" -- \
                wget -q -r -l inf -k -p -E -e robots=off -P @OUT@ "$url"
        fi
        if have httrack; then
            # Its throttles lifted: -%c0 (connections per second) and -A0
            # (bandwidth) are both needed, either alone leaves it at roughly
            # one request per 100 ms per connection; -%! lets them through.
            # Eight connections (-c8) are its default. Its bookkeeping files
            # are not part of the mirror.
            run_mirror httrack "$pages" "$urls" "$run" \
                hts-cache hts-log.txt hts-in_progress.lock backblue.gif fade.gif index.html cookies.txt -- \
                httrack "$url" -O @OUT@ -q -%v0 -I0 -c8 -%c0 -A0 -%! -s0 -#L10000000
        fi
        if have curl; then
            # The floor: every file of the site fetched in turn over one
            # kept-alive connection and written, with no parsing at all.
            sed "s|@OUT@|$WORK/curl-$pages-run$run|" "$WORK/curl-$pages.conf.in" > "$WORK/curl-$pages-run$run.conf"
            run_mirror curl "$pages" "$urls" "$run" -- curl -s -K "$WORK/curl-$pages-run$run.conf"
        fi
        if [[ -x $CRAWL_DRIVER ]]; then
            run_mirror crawl-driver "$pages" "$urls" "$run" -- "$CRAWL_DRIVER" "$url" @OUT@
        fi
        if [[ -x $WINDOW_DRIVER ]]; then
            # The whole program with its windows drawn offscreen, started as
            # a user starts a grab; @OUT@ is the user's download folder.
            run_mirror quicker-window "$pages" "$urls" "$run" -- "$WINDOW_DRIVER" "$url" @OUT@
            run_mirror grabber-window "$pages" "$urls" "$run" -- "$WINDOW_DRIVER" --grabber "$url" @OUT@
        fi
    done
    stop_server
    if [[ ${CRAWL_BENCH_KEEP:-0} != 1 ]]; then
        rm -rf "$site" "${DONE_MIRRORS[@]}"
        DONE_MIRRORS=()
    fi
}

for size in "${SIZES[@]}"; do
    bench_size "$size"
done

# ---------------------------------------------------------------------------
# The table (each tool's median run by wall time), the ratios against wget of
# the same size, and the bars.

awk -F'\t' -v sizes="$PAGES_LIST" '
function ratio(a, b) { return (b > 0) ? sprintf("%.2fx", a / b) : "n/a" }
{
    key = $1 SUBSEP $2
    if (!(key in count)) order[++n] = key
    row[key, ++count[key]] = $0
}
# Keeps the run with the median wall time of each tool and size.
function pick(key,    i, j, c, t, idx, w, g) {
    c = count[key]
    for (i = 1; i <= c; i++) { split(row[key, i], f, "\t"); w[i] = f[4] + 0; g[i] = f[16] + 0; idx[i] = i }
    # The grab time has a median of its own: start-up and grab vary apart.
    for (i = 2; i <= c; i++)
        for (j = i; j > 1 && g[j] < g[j - 1]; j--) { t = g[j]; g[j] = g[j - 1]; g[j - 1] = t }
    grab[key] = g[int((c + 1) / 2)]
    for (i = 2; i <= c; i++)
        for (j = i; j > 1 && w[idx[j]] < w[idx[j - 1]]; j--) { t = idx[j]; idx[j] = idx[j - 1]; idx[j - 1] = t }
    split(row[key, idx[int((c + 1) / 2)]], f, "\t")
    urls[key] = f[3]; wall[key] = f[4]; cpu[key] = f[5] + f[6]; mem[key] = f[7] / 1024
    files[key] = f[8]; onsite[key] = f[10]; working[key] = f[11]; remote[key] = f[12]; missing[key] = f[13]
    requests[key] = f[14]; status[key] = f[15]
    lo[key] = w[idx[1]]; hi[key] = w[idx[c]]
}
END {
    for (i = 1; i <= n; i++) pick(order[i])
    nsizes = split(sizes, size, ",")
    for (s = 1; s <= nsizes; s++) {
        p = size[s]; w = "wget" SUBSEP p
        printf "\n%d pages\n", p
        printf "%-14s %8s %8s %8s %9s %7s %8s %8s %9s %9s %9s %9s %9s\n", "tool", "wall s", "grab s", "cpu s", "peak MiB",
               "files", "requests", "on-site", "working", "wall/wget", "cpu/wget", "mem/wget", "files/wget"
        for (i = 1; i <= n; i++) {
            k = order[i]; split(k, part, SUBSEP)
            if (part[2] != p) continue
            share = onsite[k] > 0 ? sprintf("%.2f%%", 100 * working[k] / onsite[k]) : "n/a"
            hasw = (w in wall)
            printf "%-14s %8.2f %8.2f %8.2f %9.1f %7d %8d %8d %9s %9s %9s %9s %9s%s\n", part[1], wall[k], grab[k], cpu[k], mem[k],
                   files[k], requests[k], onsite[k], share,
                   hasw ? ratio(wall[k], wall[w]) : "n/a", hasw ? ratio(cpu[k], cpu[w]) : "n/a",
                   hasw ? ratio(mem[k], mem[w]) : "n/a", hasw ? ratio(files[k], files[w]) : "n/a",
                   (status[k] != 0 ? "  (exit " status[k] ")" : "") \
                   (count[k] > 1 ? sprintf("  (wall %.2f-%.2f s in %d runs)", lo[k], hi[k], count[k]) : "")
            if (missing[k] + remote[k] > 0 && part[1] != "curl")  # the floor rewrites no links
                printf "%-14s   on-site links not working: %d open no file, %d still point at the server\n",
                       "", missing[k], remote[k]
        }
        d = "crawl-driver" SUBSEP p
        if ((d in wall) && (w in wall)) {
            printf "bars for crawl-driver at %d pages:\n", p
            cap = p >= 30000 ? 0.8 : 0.7
            printf "  wall time <= %.1fx wget:            %s %s\n", cap, ratio(wall[d], wall[w]),
                   wall[d] <= cap * wall[w] ? "PASS" : "FAIL"
            fl = "curl" SUBSEP p
            if (fl in wall)
                printf "  wall time <= 2.0x the floor (curl): %s %s\n", ratio(wall[d], wall[fl]),
                       wall[d] <= 2 * wall[fl] ? "PASS" : "FAIL"
            printf "  CPU time <= wget:                  %s %s\n", ratio(cpu[d], cpu[w]), cpu[d] <= cpu[w] ? "PASS" : "FAIL"
            printf "  peak memory < 64 MiB:              %.1f MiB %s\n", mem[d], mem[d] < 64 ? "PASS" : "FAIL"
            printf "  on-site links working from disk:   %d of %d %s\n", working[d], onsite[d],
                   (onsite[d] > 0 && working[d] == onsite[d]) ? "PASS" : "FAIL"
        }
        split("quicker-window grabber-window", windows, " ")
        for (v = 1; v <= 2; v++) {
            q = windows[v] SUBSEP p
            if (!((q in wall) && (w in wall) && (d in wall))) continue
            printf "bars for the %s at %d pages:\n", windows[v], p
            printf "  wall time <= 0.7x wget:            %s %s\n", ratio(wall[q], wall[w]),
                   wall[q] <= 0.7 * wall[w] ? "PASS" : "FAIL"
            printf "  grab time <= 1.1x crawl-driver:    %s %s\n", ratio(grab[q], grab[d]),
                   grab[q] <= 1.1 * grab[d] ? "PASS" : "FAIL"
            printf "  wall time <= 1.1x crawl-driver:    %s %s (start-up included: %.2f s against %.2f s)\n",
                   ratio(wall[q], wall[d]), wall[q] <= 1.1 * wall[d] ? "PASS" : "FAIL",
                   wall[q] - grab[q], wall[d] - grab[d]
            printf "  on-site links working from disk:   %d of %d %s\n", working[q], onsite[q],
                   (onsite[q] > 0 && working[q] == onsite[q]) ? "PASS" : "FAIL"
        }
    }
    if (nsizes > 1) {
        a = size[1]; b = size[nsizes]
        printf "\nscaling from %d to %d pages (time per URL, memory added per URL)\n", a, b
        for (i = 1; i <= n; i++) {
            k = order[i]; split(k, part, SUBSEP)
            if (part[2] != a) continue
            big = part[1] SUBSEP b
            if (!(big in wall)) continue
            perSmall = wall[k] / urls[k]; perBig = wall[big] / urls[big]
            extra = (mem[big] - mem[k]) * 1048576 / (urls[big] - urls[k])
            verdict = ""
            if (part[1] == "crawl-driver")
                verdict = sprintf("  bars: time per page <= 1.2x %s, under 1 KB per URL %s",
                                  perBig <= 1.2 * perSmall ? "PASS" : "FAIL", extra < 1024 ? "PASS" : "FAIL")
            printf "  %-13s %.3f ms -> %.3f ms per URL (%s); %.0f bytes per added URL%s\n", part[1],
                   1000 * perSmall, 1000 * perBig, ratio(perBig, perSmall), extra, verdict
        }
    }
}' "$RESULTS"
