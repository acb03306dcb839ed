#!/bin/bash
# Requests a crawl of a real documentation site costs, against wget: serves a
# folder of HTML documentation with nginx on 127.0.0.1, mirrors it once with
# `wget -r -l inf -k -p -E -e robots=off` and once with crawl-driver (a fresh
# profile and the built-in configuration), and counts each tool's requests in
# nginx's access log, with the answers that were not 2xx or 3xx.
#
#   bench/docs_requests.sh [FOLDER] [START_PATH] [BUILD_DIR]
#
# FOLDER defaults to the Sphinx documentation of python3-aiosmtpd
# (/usr/share/doc/python3-aiosmtpd/html), START_PATH to /index.html, BUILD_DIR
# to build. The bar: crawl-driver sends at most 1.2 times wget's requests.
# DOCS_REQUESTS_KEEP=1 keeps the work folder (site, mirrors, access logs).
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(dirname "$HERE")
PY=/usr/bin/python3
NGINX=/usr/sbin/nginx
FOLDER=${1:-/usr/share/doc/python3-aiosmtpd/html}
START=${2:-/index.html}
BUILD_DIR=${3:-$REPO/build}
CRAWL_DRIVER=$BUILD_DIR/bench/crawl-driver
[[ -d $FOLDER ]] || { echo "no documentation folder $FOLDER" >&2; exit 1; }
[[ -x $CRAWL_DRIVER ]] || { echo "crawl-driver is not built ($CRAWL_DRIVER)" >&2; exit 1; }
command -v wget > /dev/null || { echo "wget is not installed" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/docs-requests.XXXXXX")
SERVER_PID=
cleanup() {
    if [[ -n $SERVER_PID ]]; then exec 9>&-; wait "$SERVER_PID" 2>/dev/null || true; fi
    if [[ ${DOCS_REQUESTS_KEEP:-0} == 1 ]]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# The packaged documentation links some files to shared copies: serve real files.
cp -rL "$FOLDER" "$WORK/site"
PORT=$("$PY" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$WORK/nginx/temp"
cat > "$WORK/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log warn;
events { worker_connections 64; }
http {
  access_log $WORK/nginx/access.log;
  client_body_temp_path $WORK/nginx/temp/client_body;
  proxy_temp_path $WORK/nginx/temp/proxy;
  fastcgi_temp_path $WORK/nginx/temp/fastcgi;
  uwsgi_temp_path $WORK/nginx/temp/uwsgi;
  scgi_temp_path $WORK/nginx/temp/scgi;
  include /etc/nginx/mime.types;
  default_type application/octet-stream;
  server { listen 127.0.0.1:$PORT; root "$WORK/site"; autoindex on; }
}
CONF
mkfifo "$WORK/nginx/lifeline"
"$PY" "$REPO/tests/peers/bounded_run.py" --lifetime 3600 -- \
    "$NGINX" -e "$WORK/nginx/error.log" -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" \
    < "$WORK/nginx/lifeline" > /dev/null 2>&1 &
SERVER_PID=$!
exec 9> "$WORK/nginx/lifeline"
for _ in $(seq 1 100); do
    curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break
    sleep 0.05
done
: > "$WORK/nginx/access.log"
URL="http://127.0.0.1:$PORT$START"

# Requests since the log was last emptied, and those answered 4xx or 5xx.
take_log() {  # name
    cp "$WORK/nginx/access.log" "$WORK/$1.access.log"
    : > "$WORK/nginx/access.log"
    REQUESTS=$(wc -l < "$WORK/$1.access.log")
    FAILED=$(awk '$9 >= 400' "$WORK/$1.access.log" | wc -l)
}

mkdir -p "$WORK/wget"
(cd "$WORK/wget" && wget -q -r -l inf -k -p -E -e robots=off "$URL" || true)
take_log wget
WGET_REQUESTS=$REQUESTS WGET_FAILED=$FAILED

home=$WORK/home
mkdir -p "$home/config" "$home/data" "$home/cache" "$WORK/crawl"
env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" \
    "$CRAWL_DRIVER" "$URL" "$WORK/crawl" > "$WORK/crawl-driver.out" 2>&1 || true
take_log crawl-driver
sed 's/^/  /' "$WORK/crawl-driver.out"

RATIO=$("$PY" -c "print(f'{$REQUESTS / max($WGET_REQUESTS, 1):.2f}')")
printf '%-14s %9s %12s\n' tool requests "4xx/5xx" wget "$WGET_REQUESTS" "$WGET_FAILED" crawl-driver "$REQUESTS" "$FAILED"
VERDICT=$("$PY" -c "print('PASS' if $REQUESTS <= 1.2 * $WGET_REQUESTS else 'FAIL')")
echo "requests <= 1.2x wget: ${RATIO}x $VERDICT"
