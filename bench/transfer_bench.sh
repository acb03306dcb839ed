#!/usr/bin/env bash
# Requests per second of the crawl's download path (CURL::Grab through the
# grab and download threads) next to curl fetching the same URLs in one
# process over one reused connection. nginx serves a generated site of small
# pages on 127.0.0.1; everything lives in a temporary folder that is removed
# at the end.
#
#     bench/transfer_bench.sh [BUILD_DIR]      (default: ./build)
#
# PAGES (default 2000) sets the number of pages, RUNS (default 3) the runs of
# each client; the best run of each counts.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
program=$build/bench/transfer_bench
pages=${PAGES:-2000}
runs=${RUNS:-3}
nginx=/usr/sbin/nginx

if [ ! -x "$program" ]; then
  echo "transfer_bench is missing: cmake --build $build --target transfer_bench" >&2
  exit 2
fi
command -v curl >/dev/null || { echo "curl is missing" >&2; exit 2; }
[ -x "$nginx" ] || { echo "nginx is missing" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/transfer-bench.XXXXXX")
# nginx (bench/nginx_server.sh): start_server ROOT sets PORT; stop_server ends it.
PY=/usr/bin/python3 NGINX=$nginx REPO=$(dirname "$here") WORK=$work NGINX_LIFETIME=3600
NGINX_TYPES="text/html html;" NGINX_ACCESS_LOG=off
source "$here/nginx_server.sh"
cleanup() {
  stop_server
  rm -rf "$work"
}
trap cleanup EXIT

# The site: small pages of about 1.5 KB, each linking to the next.
mkdir -p "$work/site"
filler=$(printf 'Lorem ipsum dolor sit amet, consectetur adipiscing elit. %.0s' $(seq 1 24))
for i in $(seq 1 "$pages"); do
  printf '<html><head><title>Page %d</title></head><body><p>%s</p><a href="page-%d.html">next</a></body></html>\n' \
    "$i" "$filler" $((i + 1)) > "$work/site/page-$i.html"
done
start_server "$work/site"
port=$PORT

for i in $(seq 1 "$pages"); do echo "http://127.0.0.1:$port/page-$i.html"; done > "$work/urls.txt"
sed 's|.*|url = "&"\noutput = "/dev/null"|' "$work/urls.txt" > "$work/curl.cfg"

best() { sort -g | tail -n 1; }

curl_rates=()
for _ in $(seq 1 "$runs"); do
  start=$(date +%s.%N)
  curl -s --fail --config "$work/curl.cfg"
  end=$(date +%s.%N)
  curl_rates+=("$(awk -v n="$pages" -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", n / (b - a) }')")
done
curl_rate=$(printf '%s\n' "${curl_rates[@]}" | best)

tidewell_rates=()
for _ in $(seq 1 "$runs"); do
  line=$("$program" "$work/urls.txt")
  echo "$line"
  tidewell_rates+=("$(echo "$line" | sed -n 's/.*: \([0-9.]*\) requests\/s.*/\1/p')")
done
tidewell_rate=$(printf '%s\n' "${tidewell_rates[@]}" | best)

printf 'pages: %d, best of %d runs\n' "$pages" "$runs"
printf 'curl:     %8.0f requests/s\n' "$curl_rate"
printf 'tidewell: %8.0f requests/s\n' "$tidewell_rate"
awk -v c="$curl_rate" -v t="$tidewell_rate" 'BEGIN { printf "curl / tidewell: %.2f\n", c / t }'
