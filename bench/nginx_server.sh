# Shared by the benchmarks (sourced): nginx in the foreground with a
# generated configuration, run by tests/peers/bounded_run.py: it ends nginx
# when its standard input (a pipe the calling script holds open on fd 9)
# closes, so nginx never outlives the script.
#
# The caller sets PY, NGINX, REPO, WORK and NGINX_LIFETIME. NGINX_TYPES (the
# MIME table), NGINX_SERVER_EXTRA (more server directives, such as
# "autoindex on;") and NGINX_ACCESS_LOG=off (no access log) are optional.

NGINX_TYPES=${NGINX_TYPES:-"text/html html htm; text/css css; application/javascript js;
    text/plain txt; image/png png; image/jpeg jpg jpeg; image/gif gif;"}
NGINX_SERVER_EXTRA=${NGINX_SERVER_EXTRA:-}
NGINX_ACCESS_LOG=${NGINX_ACCESS_LOG:-on}
SERVER_PID=
free_port() {
    "$PY" -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

write_nginx_config() {  # dir root port token
    local dir=$1 root=$2 port=$3 token=$4
    mkdir -p "$dir/temp"
    cat > "$dir/nginx.conf" <<EOF
daemon off;
master_process off;
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/error.log warn;
events { worker_connections 1024; }
http {
  access_log $([[ $NGINX_ACCESS_LOG == off ]] && echo off || echo "$dir/access.log");
  client_body_temp_path $dir/temp/client_body;
  proxy_temp_path $dir/temp/proxy;
  fastcgi_temp_path $dir/temp/fastcgi;
  uwsgi_temp_path $dir/temp/uwsgi;
  scgi_temp_path $dir/temp/scgi;
  types {
    $NGINX_TYPES
  }
  default_type application/octet-stream;
  sendfile on;
  keepalive_requests 1000000;
  server {
    listen 127.0.0.1:$port;
    server_name localhost;
    root "$root";
    $NGINX_SERVER_EXTRA
    location = /__bench_ready { access_log off; return 200 "$token"; }
  }
}
EOF
}

answers_with_token() {  # port token
    "$PY" - "$1" "$2" <<'EOF' 2>/dev/null
import sys, urllib.request
port, token = sys.argv[1], sys.argv[2]
try:
    with urllib.request.urlopen(f"http://127.0.0.1:{port}/__bench_ready", timeout=2) as answer:
        sys.exit(0 if answer.read().decode() == token else 1)
except Exception:
    sys.exit(1)
EOF
}

stop_server() {
    if [[ -n $SERVER_PID ]]; then
        exec 9>&-
        wait "$SERVER_PID" 2>/dev/null || true
        SERVER_PID=
    fi
}

# Serves `root` on a free port; sets PORT and SERVER_DIR.
start_server() {  # root
    local root=$1 attempt
    for attempt in 1 2 3 4 5 6 7 8; do
        PORT=$(free_port)
        SERVER_DIR=$WORK/nginx-$PORT
        local token="ready-$RANDOM$RANDOM"
        write_nginx_config "$SERVER_DIR" "$root" "$PORT" "$token"
        : > "$SERVER_DIR/error.log"
        mkfifo "$SERVER_DIR/lifeline"
        "$PY" "$REPO/tests/peers/bounded_run.py" --lifetime "$NGINX_LIFETIME" -- \
            "$NGINX" -e "$SERVER_DIR/error.log" -p "$SERVER_DIR" -c "$SERVER_DIR/nginx.conf" \
            < "$SERVER_DIR/lifeline" > /dev/null 2>&1 &
        SERVER_PID=$!
        exec 9> "$SERVER_DIR/lifeline"
        local waited
        for waited in $(seq 1 200); do
            if answers_with_token "$PORT" "$token"; then return 0; fi
            if grep -q "Address already in use" "$SERVER_DIR/error.log" || ! kill -0 "$SERVER_PID" 2>/dev/null; then
                break
            fi
            sleep 0.05
        done
        stop_server
        grep -q "Address already in use" "$SERVER_DIR/error.log" || { cat "$SERVER_DIR/error.log" >&2; break; }
    done
    echo "nginx did not start" >&2
    exit 1
}
