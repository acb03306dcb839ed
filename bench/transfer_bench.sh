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
nginx_pid=
cleanup() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The site: small pages of about 1.5 KB, each linking to the next.
mkdir -p "$work/site" "$work/temp"
filler=$(printf 'Lorem ipsum dolor sit amet, consectetur adipiscing elit. %.0s' $(seq 1 24))
for i in $(seq 1 "$pages"); do
  printf '<html><head><title>Page %d</title></head><body><p>%s</p><a href="page-%d.html">next</a></body></html>\n' \
    "$i" "$filler" $((i + 1)) > "$work/site/page-$i.html"
done

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/nginx.conf" <<EOF
daemon off;
master_process off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log warn;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $work/temp/client_body;
  proxy_temp_path $work/temp/proxy;
  fastcgi_temp_path $work/temp/fastcgi;
  uwsgi_temp_path $work/temp/uwsgi;
  scgi_temp_path $work/temp/scgi;
  types { text/html html; }
  default_type application/octet-stream;
  sendfile on;
  keepalive_requests 100000;
  keepalive_timeout 60s;
  server {
    listen 127.0.0.1:$port;
    root $work/site;
  }
}
EOF
"$nginx" -c "$work/nginx.conf" -p "$work" -e "$work/error.log" &
nginx_pid=$!
for _ in $(seq 1 50); do
  curl -s -o /dev/null "http://127.0.0.1:$port/page-1.html" && break
  sleep 0.1
done

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
