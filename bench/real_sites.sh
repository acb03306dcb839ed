#!/bin/bash
# Real documentation sites, mirrored and checked: serves documentation trees
# found on this machine with nginx on 127.0.0.1, mirrors each with Tidewell's
# crawl-driver and with wget, and prints per site and tool the wall time,
# peak memory, requests served (and how many drew a 4xx), files saved and the
# content checks of real_sites_check.py: files byte-identical, page text and
# inline scripts unchanged, on-site links (pages and stylesheets) opening
# saved files, no wrong extension, no file standing for nothing the site
# has, no two URLs in one file. Then one row per site: requests of
# crawl-driver and of wget and their ratio, URLs crawl-driver asked for more
# than once, its requests for server-side script names that no page links,
# the pages it saved that no page links, requests that drew a 4xx beyond
# wget's, and wall times.
#
#   bench/real_sites.sh [BUILD_DIR]
#
# Sites (each skipped with a message when missing on this machine):
#   sphinx   /usr/share/doc/python3-aiosmtpd/html (copied, links resolved)
#   listing  /usr/share/doc as nginx's autoindex listings
#   docbook  /usr/share/doc/valgrind/html with valgrind_manual.pdf beside it
#   debref   /usr/share/debian-reference (apt-get install debian-reference-en)
#   manual   /usr/share/doc/apache2-doc/manual, a web server's manual in
#            eleven languages (apt-get install apache2-doc)
# REAL_SITES=sphinx,docbook picks some. REAL_SITES_SCREENSHOTS=0 skips the
# browser step (real_sites_screens.sh, run when chromium is installed; the
# pictures go to REAL_SITES_SCREENS, a new folder below /tmp by default).
# REAL_SITES_KEEP=1 keeps the work folder (mirrors, logs, screenshots).
#
# Everything runs in a private network namespace holding only loopback
# (when unshare allows it), so a crawler that follows off-site links
# reaches nothing. Exits 1 when a check fails for crawl-driver or a bar
# fails on a site: requests at most 1.2x wget's, each URL asked for once,
# no request for a script name no page links, no page saved that no page
# links, and peak memory under 64 MiB on the listing. The 4xx beyond wget's
# are shown, not judged: they are what the scripts a page loads seem to
# name and the server lacks (a search index the package left out).
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(dirname "$HERE")
PY=/usr/bin/python3
NGINX=/usr/sbin/nginx
BUILD_DIR=${1:-$REPO/build}
BUILD_DIR=$(cd "$BUILD_DIR" 2>/dev/null && pwd || echo "$BUILD_DIR")
CRAWL_DRIVER=$BUILD_DIR/bench/crawl-driver
NGINX_LIFETIME=7200
SITES=${REAL_SITES:-sphinx,listing,docbook,debref,manual}
EXAMPLES=${REAL_SITES_EXAMPLES:-4}
# The bar: requests at most this many times wget's, on every site.
REQUEST_RATIO_BAR=1.2
LISTING_MEMORY_BAR_MIB=64

if [[ ${REAL_SITES_IN_NAMESPACE:-0} != 1 ]] && command -v ip > /dev/null && unshare -n ip link set lo up 2> /dev/null; then
    exec unshare -n env REAL_SITES_IN_NAMESPACE=1 bash -c 'ip link set lo up && exec "$@"' _ "$0" "$@"
fi
[[ ${REAL_SITES_IN_NAMESPACE:-0} == 1 ]] ||
    echo "note: no private network namespace (unshare -n and ip are needed): off-site links may reach the network" >&2
[[ -x $NGINX ]] || { echo "nginx is not installed ($NGINX): cannot serve the sites" >&2; exit 1; }
[[ -x $CRAWL_DRIVER ]] || { echo "crawl-driver is not built ($CRAWL_DRIVER)" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/real-sites.XXXXXX")
cleanup() {
    stop_server
    if [[ ${REAL_SITES_KEEP:-0} == 1 ]]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

NGINX_TYPES="text/html html htm; text/css css; application/javascript js; application/json json;
    text/plain txt py rst; text/xml xml; image/png png; image/jpeg jpg jpeg; image/gif gif;
    image/svg+xml svg; image/x-icon ico; font/woff woff; font/woff2 woff2; font/ttf ttf;
    application/vnd.ms-fontobject eot; application/pdf pdf; application/gzip gz;"
# nginx: start_server ROOT sets PORT and SERVER_DIR; stop_server ends it.
source "$HERE/nginx_server.sh"

have() { command -v "$1" > /dev/null 2>&1; }

FAILED=0
TABLE=$WORK/table.txt
: > "$TABLE"

# One mirror of the served site by one tool, then its checks. Prints the
# failures and appends a row to the table: site, tool, wall seconds, peak
# MiB, requests, 4xx, files, failed checks, off-site URLs, URLs asked for
# more than once, script-name requests and pages that no page links.
mirror_and_check() {  # site tool start_url command...
    local site=$1 tool=$2 url=$3
    shift 3
    local out=$WORK/$site-$tool home=$WORK/home-$site-$tool
    local log=$out.log timing=$out.time access=$out.access.log
    mkdir -p "$out" "$home/config" "$home/data" "$home/cache"
    local before status=0
    before=$(wc -l < "$SERVER_DIR/access.log")
    echo "  mirroring with $tool ..."
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" \
        /usr/bin/time -v -o "$timing" "$@" > "$log" 2>&1 || status=$?
    tail -n +"$((before + 1))" "$SERVER_DIR/access.log" > "$access"
    [[ $status == 0 ]] || { echo "  $tool exited with status $status"; tail -n 3 "$log" | sed 's/^/    /'; }
    # The folder standing for the server's root: crawl-driver writes
    # HOST/PORT, wget HOST:PORT.
    local mirror_root=$out/127.0.0.1/$PORT
    [[ $tool == wget ]] && mirror_root=$out/127.0.0.1:$PORT
    local offsite=0
    [[ $tool == crawl-driver ]] && offsite=$(grep -Ec '^URL: (https?|ftp)://' "$log" | tr -d ' ' || true)
    [[ $tool == crawl-driver ]] && offsite=$((offsite - $(grep -Ec "^URL: https?://127\.0\.0\.1:$PORT[/]" "$log" || true)))
    "$PY" "$HERE/real_sites_check.py" "$mirror_root" --root "$ROOT" --site "http://127.0.0.1:$PORT" \
        --access-log "$access" --examples "$EXAMPLES" --start "${url#http://127.0.0.1:$PORT}" > "$out.check.json"
    local wall rss
    wall=$(sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$timing" |
           awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
    rss=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$timing")
    "$PY" - "$out.check.json" "$site" "$tool" "$wall" "$rss" "$offsite" "$TABLE" <<'EOF'
import json, sys
report_path, site, tool, wall, rss, offsite, table = sys.argv[1:]
r = json.load(open(report_path))
if "missing" in r:
    print("    no mirror written at %s" % r["missing"])
    r = {"files_saved": 0, "requests": 0, "requests_4xx": 0, "failed": {"mirror": 1}, "examples": {},
         "on_site_links": 0, "on_site_working": 0, "on_site_dead_on_site": 0, "css_links": 0,
         "pages_compared": 0, "files_compared": 0, "script_requests": 0, "unlinked_pages": 0,
         "repeated_urls": 0}
failed = {k: v for k, v in r["failed"].items() if v}
print("    %d files saved (%d pages, %d other files compared), %d requests (%d drew 4xx), "
      "on-site links working %d of %d (%d dead on the site too), stylesheet links %d"
      % (r["files_saved"], r["pages_compared"], r["files_compared"], r["requests"], r["requests_4xx"],
         r["on_site_working"], r["on_site_links"], r["on_site_dead_on_site"], r["css_links"]))
if int(offsite):
    print("    off-site URLs it tried to fetch: %s" % offsite)
for name in sorted(failed):
    print("    FAIL %-10s %d" % (name, failed[name]))
    for example in r["examples"].get(name, []):
        print("         %s" % example)
if r["requests_4xx"]:
    print("    requests that drew 4xx, first few:")
    for example in r["examples"].get("4xx", []):
        print("         %s" % example)
for key, what in (("repeated_urls", "URLs asked for more than once"),
                  ("script_requests", "requests for script names no page links"),
                  ("unlinked_pages", "pages saved that no page links")):
    if r[key]:
        print("    %s: %d, first few:" % (what, r[key]))
        for example in r["examples"].get(key.replace("_", "-"), []):
            print("         %s" % example)
with open(table, "a") as t:
    t.write("\t".join([site, tool, wall, str(int(rss) / 1024), str(r["requests"]), str(r["requests_4xx"]),
                       str(r["files_saved"]), ",".join(sorted(failed)) or "-", offsite, str(r["repeated_urls"]),
                       str(r["script_requests"]), str(r["unlinked_pages"])]) + "\n")
sys.exit(1 if failed else 0)
EOF
    local checked=$?
    if [[ $tool == crawl-driver && $checked != 0 ]]; then FAILED=1; fi
    [[ ${REAL_SITES_KEEP:-0} == 1 ]] || rm -rf "$home"
    return 0
}

SCREENS=${REAL_SITES_SCREENS:-}

run_site() {  # name root start_path screenshot_pages [extra nginx server directives]
    local site=$1
    ROOT=$2
    local start=$3 pages=$4
    NGINX_SERVER_EXTRA=${5:-}
    start_server "$ROOT"
    local url="http://127.0.0.1:$PORT$start"
    echo "== $site: $ROOT ($(find -L "$ROOT" -type f | wc -l) files) at $url"
    set +e
    mirror_and_check "$site" crawl-driver "$url" "$CRAWL_DRIVER" --log "$url" "$WORK/$site-crawl-driver"
    if have wget; then
        mirror_and_check "$site" wget "$url" wget -r -l inf -k -p -E -e robots=off -nv -P "$WORK/$site-wget" "$url"
    else
        echo "  wget is not installed: skipped (no request ratio)"
    fi
    set -e
    if [[ ${REAL_SITES_SCREENSHOTS:-1} == 1 && -n $pages ]]; then
        [[ -n $SCREENS ]] || SCREENS=$(mktemp -d "${TMPDIR:-/tmp}/real-sites-screens.XXXXXX")
        # shellcheck disable=SC2086
        "$HERE/real_sites_screens.sh" "$SCREENS/$site" "http://127.0.0.1:$PORT" \
            "$WORK/$site-crawl-driver/127.0.0.1/$PORT" $pages || true
    fi
    stop_server
}

IFS=',' read -r -a WANTED <<< "$SITES"
for site in "${WANTED[@]}"; do
    case $site in
    sphinx)
        if [[ -d /usr/share/doc/python3-aiosmtpd/html ]]; then
            # A copy with the package's links to shared scripts and themes
            # resolved, so what is served is what is compared.
            cp -rL /usr/share/doc/python3-aiosmtpd/html "$WORK/sphinx-site" ||
                echo "  (some of the package's links lead nowhere: those files are left out)"
            run_site sphinx "$WORK/sphinx-site" /index.html "index.html smtp.html"
        else
            echo "== sphinx: /usr/share/doc/python3-aiosmtpd/html is missing (install python3-aiosmtpd): skipped"
        fi ;;
    listing)
        run_site listing /usr/share/doc / "" "autoindex on;" ;;
    docbook)
        if [[ -f /usr/share/doc/valgrind/html/index.html ]]; then
            cp -rL /usr/share/doc/valgrind/html "$WORK/docbook-site" ||
                echo "  (some of the package's links lead nowhere: those files are left out)"
            if [[ -f /usr/share/doc/valgrind/valgrind_manual.pdf.gz ]]; then
                gunzip -c /usr/share/doc/valgrind/valgrind_manual.pdf.gz > "$WORK/docbook-site/valgrind_manual.pdf"
                # Something must link to the manual for a crawler to find it.
                sed -i 's|</body>|<p><a href="valgrind_manual.pdf">The manual as PDF</a></p></body>|' \
                    "$WORK/docbook-site/index.html"
            fi
            run_site docbook "$WORK/docbook-site" /index.html "index.html manual-core.html"
        else
            echo "== docbook: /usr/share/doc/valgrind/html is missing (apt-get install valgrind): skipped"
        fi ;;
    debref)
        if [[ -f /usr/share/debian-reference/index.en.html ]]; then
            run_site debref /usr/share/debian-reference /index.html "index.en.html ch02.en.html"
        else
            echo "== debref: /usr/share/debian-reference is missing (apt-get install debian-reference-en): skipped"
        fi ;;
    manual)
        if [[ -f /usr/share/doc/apache2-doc/manual/index.html ]]; then
            run_site manual /usr/share/doc/apache2-doc/manual /index.html "en/index.html en/mod/core.html"
        else
            echo "== manual: /usr/share/doc/apache2-doc/manual is missing (apt-get install apache2-doc): skipped"
        fi ;;
    *) echo "unknown site $site (sphinx, listing, docbook, debref, manual)" >&2; exit 2 ;;
    esac
done

echo
printf '%-8s %-13s %8s %9s %9s %6s %7s %8s  %s\n' site tool "wall s" "peak MiB" requests 4xx files off-site \
    "failed checks"
awk -F'\t' '{ printf "%-8s %-13s %8.2f %9.1f %9d %6d %7d %8s  %s\n", $1, $2, $3, $4, $5, $6, $7, $9, $8 }' "$TABLE"
echo
# One row per site: crawl-driver against wget, and its bars.
awk -F'\t' -v bar="$REQUEST_RATIO_BAR" -v memoryBar="$LISTING_MEMORY_BAR_MIB" '
{
    key = $1 SUBSEP $2
    wall[key] = $3; rss[key] = $4; requests[key] = $5; errors[key] = $6; repeated[key] = $10
    scripts[key] = $11; unlinked[key] = $12
    if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 }
}
function ratio(a, b) { return b > 0 ? sprintf("%.2fx", a / b) : "-" }
END {
    printf "%-8s %9s %7s %7s %9s %8s %9s %5s %8s %8s %6s  %s\n", "site", "requests", "wget", "ratio", "repeated",
           "scripts", "unlinked", "4xx+", "wall s", "wget s", "ratio", "bars"
    for (i = 1; i <= n; i++) {
        s = order[i]; c = s SUBSEP "crawl-driver"; w = s SUBSEP "wget"
        if (!(c in requests)) continue
        hasWget = (w in requests)
        extra = hasWget ? errors[c] - errors[w] : 0
        verdict = ""
        if (hasWget && requests[w] > 0 && requests[c] / requests[w] > bar) verdict = verdict " requests>" bar "x"
        if (repeated[c] > 0) verdict = verdict " repeated"
        if (scripts[c] > 0) verdict = verdict " scripts"
        if (unlinked[c] > 0) verdict = verdict " unlinked"
        if (s == "listing" && rss[c] >= memoryBar) verdict = verdict sprintf(" memory(%.1f MiB)", rss[c])
        if (verdict != "") failed = 1
        printf "%-8s %9d %7s %7s %9d %8d %9d %5s %8.2f %8s %6s  %s\n", s, requests[c],
               hasWget ? requests[w] : "-", hasWget ? ratio(requests[c], requests[w]) : "-", repeated[c],
               scripts[c], unlinked[c], hasWget ? extra : "-", wall[c],
               hasWget ? sprintf("%.2f", wall[w]) : "-", hasWget ? ratio(wall[c], wall[w]) : "-",
               verdict == "" ? "PASS" : "FAIL" verdict
    }
    exit failed
}' "$TABLE" || FAILED=1

[[ -z $SCREENS ]] || echo "screenshots (online and from disk): $SCREENS"
exit "$FAILED"
