#!/usr/bin/python3
"""Scripted HTTP/1.1 server for tests.

    http_peer.py [--script FILE] [--root DIR] [--log FILE] [--lifetime SECONDS]
                 [--tls-cert PEM --tls-key PEM] [--host ADDRESS]

Binds --host (127.0.0.1; any loopback address such as 127.0.0.2 serves as a
second host) on an ephemeral port, prints "PORT n" as its first line, and
exits after --lifetime seconds (120) or as soon as its standard input closes.
Connections are persistent (HTTP/1.1 keep-alive) unless the client or the
route says otherwise.

Script: {"routes": [ROUTE, ...]}. The first route that matches a request
answers it; then the files under --root (GET and HEAD); else 404.
ROUTE keys (only "path" is required):
  method          "GET" (default; a GET route answers HEAD too) or "*"
  path            exact request path, without the query
  query           when given, the raw query must equal it
  status, reason  200 ("redirect" makes it 302); the usual reason phrase
  headers         [[name, value], ...]; a name may repeat. Content-Type is
                  text/html unless given here
  body | body_base64 | body_file   body_file is relative to the script
  chunked         true: Transfer-Encoding: chunked
  redirect        Location value, relative or absolute
  set_cookies     ["a=1; Path=/", ...], one Set-Cookie header each
  require_cookie  "name" or "name=value": 403 unless the Cookie header has it
  realm           {"name": R, "user": U, "password": P}: 401 with
                  WWW-Authenticate: Basic realm="R" unless Authorization fits
  flaky           N: the first N requests of this route get 500
  continue        true: send "100 Continue" before the answer even unasked;
                  false: never send it; absent: answer Expect: 100-continue
  stall           seconds to wait between the headers and the body
  trickle         {"bytes": n, "delay": seconds}: the body in pieces
  close_mid_body  N: announce the whole body, send its first N bytes, close
  bare_lf         true: end the status and header lines with LF only
  close           true: send Connection: close and close after the answer
"{base}" in "redirect", header values and a text "body" stands for
http(s)://127.0.0.1:PORT. HEAD gets the headers a GET would, body left out.

Log (--log), one JSON object a line, written as things happen:
  {"type": "connection", "connection": C}
  {"type": "request", "connection": C, "index": I, "method", "target", "path",
   "query", "version", "headers": [[name, value], ...], "head_base64",
   "body_base64", "tls"}        (head: the request line and header lines as
                                 received; body: decoded from chunked)
  {"type": "tls_error", "connection": C, "error": text}
"""
import argparse
import base64
import http
import json
import os
import socket
import ssl
import sys
import threading
import time
from urllib.parse import unquote

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_common import JsonLineLog, announce_port, exit_when_done  # noqa: E402

MAX_LINE = 65536
MAX_HEADERS = 200
MAX_BODY = 64 * 1024 * 1024
IDLE_SECONDS = 60

CONTENT_TYPES = {
    ".html": "text/html", ".htm": "text/html", ".css": "text/css",
    ".js": "application/javascript", ".txt": "text/plain",
    ".xml": "text/xml", ".json": "application/json",
    ".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg",
    ".gif": "image/gif", ".svg": "image/svg+xml", ".pdf": "application/pdf",
}


class BadRequest(Exception):
    pass


class ClosedEarly(Exception):
    pass


def reason_phrase(status):
    try:
        return http.HTTPStatus(status).phrase
    except ValueError:
        return "Status"


class Request:
    def __init__(self, method, target, version, headers, head):
        self.method = method
        self.target = target
        self.version = version
        self.headers = headers
        self.head = head
        self.body = b""
        self.path, _, self.query = target.partition("?")

    def header_values(self, name):
        lowered = name.lower()
        return [value for key, value in self.headers if key.lower() == lowered]

    def header(self, name):
        values = self.header_values(name)
        return values[0] if values else None

    def header_tokens(self, name):
        return [token.strip().lower() for value in self.header_values(name)
                for token in value.split(",")]

    def keeps_alive(self):
        tokens = self.header_tokens("Connection")
        if "close" in tokens:
            return False
        if self.version == "HTTP/1.0":
            return "keep-alive" in tokens
        return True


def read_line(rfile):
    line = rfile.readline(MAX_LINE + 1)
    if len(line) > MAX_LINE:
        raise BadRequest("line too long")
    return line


def read_request_head(rfile):
    """The request line and headers; None when the client closed first."""
    line = read_line(rfile)
    while line in (b"\r\n", b"\n"):
        line = read_line(rfile)
    if not line:
        return None
    head = line
    parts = line.rstrip(b"\r\n").decode("latin-1").split(" ")
    if len(parts) != 3 or not parts[2].startswith("HTTP/"):
        raise BadRequest("bad request line")
    headers = []
    while True:
        line = read_line(rfile)
        if not line:
            raise ClosedEarly()
        head += line
        if line in (b"\r\n", b"\n"):
            break
        name, colon, value = line.rstrip(b"\r\n").decode("latin-1").partition(":")
        if not colon or not name.strip():
            raise BadRequest("bad header line")
        headers.append([name.strip(), value.strip()])
        if len(headers) > MAX_HEADERS:
            raise BadRequest("too many headers")
    return Request(parts[0], parts[1], parts[2], headers, head)


def read_exactly(rfile, count):
    data = rfile.read(count)
    if len(data) != count:
        raise ClosedEarly()
    return data


def read_request_body(rfile, request):
    if "chunked" in request.header_tokens("Transfer-Encoding"):
        body = b""
        while True:
            size_line = read_line(rfile).split(b";")[0].strip()
            try:
                size = int(size_line, 16)
            except ValueError:
                raise BadRequest("bad chunk size")
            if size == 0:
                while read_line(rfile) not in (b"\r\n", b"\n", b""):
                    pass
                return body
            body += read_exactly(rfile, size)
            read_line(rfile)
            if len(body) > MAX_BODY:
                raise BadRequest("body too large")
    length = request.header("Content-Length")
    if length is None:
        return b""
    try:
        count = int(length)
    except ValueError:
        raise BadRequest("bad Content-Length")
    if count < 0 or count > MAX_BODY:
        raise BadRequest("bad Content-Length")
    return read_exactly(rfile, count)


class Route:
    def __init__(self, spec, script_dir, base):
        if "path" not in spec:
            raise ValueError("a route needs a path: %r" % (spec,))
        self.spec = spec
        self.method = spec.get("method", "GET").upper()
        self.path = spec["path"]
        self.query = spec.get("query")
        self.base = base
        self.body = self._load_body(script_dir)
        self._failures_left = int(spec.get("flaky", 0))
        self._lock = threading.Lock()

    def _load_body(self, script_dir):
        spec = self.spec
        if "body_base64" in spec:
            return base64.b64decode(spec["body_base64"])
        if "body_file" in spec:
            with open(os.path.join(script_dir, spec["body_file"]), "rb") as f:
                return f.read()
        return self.expand(spec.get("body", "")).encode("utf-8")

    def expand(self, text):
        return text.replace("{base}", self.base)

    def matches(self, request):
        if request.path != self.path:
            return False
        if self.query is not None and request.query != self.query:
            return False
        return (self.method in ("*", request.method)
                or (request.method == "HEAD" and self.method == "GET"))

    def take_flaky_failure(self):
        with self._lock:
            if self._failures_left > 0:
                self._failures_left -= 1
                return True
            return False


class Answer:
    """What to send: status, headers, body and how to send it."""

    def __init__(self, status, headers=(), body=b"", reason=None):
        self.status = status
        self.reason = reason or reason_phrase(status)
        self.headers = list(headers)
        self.body = body
        self.chunked = False
        self.stall = 0.0
        self.trickle_bytes = 0
        self.trickle_delay = 0.0
        self.close_mid_body = None
        self.bare_lf = False
        self.close = False


def has_cookie(request, wanted):
    name, equals, value = wanted.partition("=")
    for header in request.header_values("Cookie"):
        for pair in header.split(";"):
            key, has_value, found = pair.strip().partition("=")
            if key == name and (not equals or (has_value and found == value)):
                return True
    return False


def has_credentials(request, user, password):
    expected = base64.b64encode(("%s:%s" % (user, password)).encode("utf-8")).decode("ascii")
    for value in request.header_values("Authorization"):
        scheme, _, token = value.strip().partition(" ")
        if scheme.lower() == "basic" and token.strip() == expected:
            return True
    return False


def plain_answer(status, text):
    return Answer(status, [["Content-Type", "text/plain"]], text.encode("utf-8"))


def route_answer(route, request):
    spec = route.spec
    if route.take_flaky_failure():
        answer = plain_answer(500, "flaky failure\n")
    elif "realm" in spec and not has_credentials(
            request, spec["realm"].get("user", ""), spec["realm"].get("password", "")):
        answer = plain_answer(401, "authorization required\n")
        answer.headers.append(
            ["WWW-Authenticate", 'Basic realm="%s"' % spec["realm"].get("name", "")])
    elif "require_cookie" in spec and not has_cookie(request, spec["require_cookie"]):
        answer = plain_answer(403, "cookie required\n")
    else:
        status = int(spec.get("status", 302 if "redirect" in spec else 200))
        headers = [[name, route.expand(value)] for name, value in spec.get("headers", [])]
        if not any(name.lower() == "content-type" for name, _ in headers):
            headers.insert(0, ["Content-Type", "text/html"])
        if "redirect" in spec:
            headers.append(["Location", route.expand(spec["redirect"])])
        for cookie in spec.get("set_cookies", []):
            headers.append(["Set-Cookie", cookie])
        answer = Answer(status, headers, route.body, spec.get("reason"))
        answer.chunked = bool(spec.get("chunked", False))
        answer.stall = float(spec.get("stall", 0))
        trickle = spec.get("trickle")
        if trickle:
            answer.trickle_bytes = max(1, int(trickle.get("bytes", 1)))
            answer.trickle_delay = float(trickle.get("delay", 0.05))
        if "close_mid_body" in spec:
            answer.close_mid_body = int(spec["close_mid_body"])
    answer.bare_lf = bool(spec.get("bare_lf", False))
    answer.close = bool(spec.get("close", False))
    return answer


def static_answer(root, request):
    if root is None or request.method not in ("GET", "HEAD"):
        return plain_answer(404, "not found\n")
    wanted = os.path.realpath(os.path.join(root, unquote(request.path).lstrip("/")))
    if wanted != root and not wanted.startswith(root + os.sep):
        return plain_answer(404, "not found\n")
    if os.path.isdir(wanted):
        wanted = os.path.join(wanted, "index.html")
    if not os.path.isfile(wanted):
        return plain_answer(404, "not found\n")
    with open(wanted, "rb") as f:
        body = f.read()
    extension = os.path.splitext(wanted)[1].lower()
    content_type = CONTENT_TYPES.get(extension, "application/octet-stream")
    return Answer(200, [["Content-Type", content_type]], body)


def body_pieces(answer):
    body = answer.body
    if answer.trickle_bytes <= 0 or not body:
        return [body]
    step = answer.trickle_bytes
    return [body[i:i + step] for i in range(0, len(body), step)]


def send_answer(sock, request, answer, keep_alive):
    """Sends one answer; False when the connection must close afterwards."""
    eol = b"\n" if answer.bare_lf else b"\r\n"
    has_body = not (100 <= answer.status < 200 or answer.status in (204, 304))
    lines = ["HTTP/1.1 %d %s" % (answer.status, answer.reason)]
    lines += ["%s: %s" % (name, value) for name, value in answer.headers]
    if has_body:
        if answer.chunked:
            lines.append("Transfer-Encoding: chunked")
        else:
            lines.append("Content-Length: %d" % len(answer.body))
    if not keep_alive:
        lines.append("Connection: close")
    elif request.version == "HTTP/1.0":
        lines.append("Connection: keep-alive")
    sock.sendall(eol.join(line.encode("utf-8") for line in lines) + eol + eol)
    if request.method == "HEAD" or not has_body:
        return keep_alive
    if answer.stall > 0:
        time.sleep(answer.stall)
    limit = answer.close_mid_body
    sent = 0
    for number, piece in enumerate(body_pieces(answer)):
        if number > 0:
            time.sleep(answer.trickle_delay)
        taken = piece if limit is None else piece[:max(0, limit - sent)]
        cut = len(taken) < len(piece)
        data = taken
        if answer.chunked and piece:
            data = b"%x\r\n" % len(piece) + taken + (b"" if cut else b"\r\n")
        if data:
            sock.sendall(data)
        sent += len(taken)
        if cut:
            return False
    if answer.chunked:
        sock.sendall(b"0\r\n\r\n")
    return keep_alive and limit is None


def wants_continue(request, route):
    setting = route.spec.get("continue") if route else None
    if setting is not None:
        return bool(setting)
    return (request.version == "HTTP/1.1"
            and "100-continue" in request.header_tokens("Expect"))


class Server:
    def __init__(self, routes, root, log, tls_context):
        self.routes = routes
        self.root = root
        self.log = log
        self.tls_context = tls_context
        self._index = 0
        self._index_lock = threading.Lock()

    def find_route(self, request):
        for route in self.routes:
            if route.matches(request):
                return route
        return None

    def log_request(self, connection_id, request):
        # One lock over numbering and writing keeps the log in index order.
        with self._index_lock:
            self._index += 1
            self.log.write({
                "type": "request", "connection": connection_id,
                "index": self._index, "method": request.method,
                "target": request.target, "path": request.path,
                "query": request.query, "version": request.version,
                "headers": request.headers,
                "head_base64": base64.b64encode(request.head).decode("ascii"),
                "body_base64": base64.b64encode(request.body).decode("ascii"),
                "tls": self.tls_context is not None,
            })

    def serve_connection(self, sock, connection_id):
        try:
            if self.tls_context is not None:
                try:
                    sock = self.tls_context.wrap_socket(sock, server_side=True)
                except (ssl.SSLError, OSError) as error:
                    self.log.write({"type": "tls_error", "connection": connection_id,
                                    "error": str(error)})
                    return
            self.serve_requests(sock, connection_id)
        except (OSError, ClosedEarly):
            pass
        finally:
            try:
                sock.close()
            except OSError:
                pass

    def serve_requests(self, sock, connection_id):
        rfile = sock.makefile("rb")
        while True:
            try:
                request = read_request_head(rfile)
                if request is None:
                    return
                route = self.find_route(request)
                if wants_continue(request, route):
                    sock.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
                request.body = read_request_body(rfile, request)
            except BadRequest as error:
                sock.sendall(b"HTTP/1.1 400 Bad Request\r\nContent-Length: %d\r\n"
                             b"Connection: close\r\n\r\n%s"
                             % (len(str(error)), str(error).encode("ascii")))
                return
            self.log_request(connection_id, request)
            if route is not None:
                answer = route_answer(route, request)
            else:
                answer = static_answer(self.root, request)
            keep_alive = request.keeps_alive() and not answer.close
            if not send_answer(sock, request, answer, keep_alive):
                try:
                    sock.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
                return


def load_routes(script_path, base):
    if not script_path:
        return []
    with open(script_path, "r", encoding="utf-8") as f:
        script = json.load(f)
    script_dir = os.path.dirname(os.path.abspath(script_path))
    return [Route(spec, script_dir, base) for spec in script.get("routes", [])]


def main():
    parser = argparse.ArgumentParser(description="Scripted HTTP/1.1 test server")
    parser.add_argument("--script")
    parser.add_argument("--root")
    parser.add_argument("--log")
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("--tls-cert")
    parser.add_argument("--tls-key")
    parser.add_argument("--host", default="127.0.0.1")
    args = parser.parse_args()
    if not args.host.startswith("127."):
        parser.error("--host must be a loopback address")

    tls_context = None
    if args.tls_cert:
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(args.tls_cert, args.tls_key)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind((args.host, 0))
    listener.listen(128)
    port = listener.getsockname()[1]
    base = "%s://%s:%d" % ("https" if tls_context else "http", args.host, port)

    routes = load_routes(args.script, base)
    root = os.path.realpath(args.root) if args.root else None
    server = Server(routes, root, JsonLineLog(args.log), tls_context)

    exit_when_done(args.lifetime)
    announce_port(port)
    connection_id = 0
    while True:
        sock, _ = listener.accept()
        connection_id += 1
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        sock.settimeout(IDLE_SECONDS)
        server.log.write({"type": "connection", "connection": connection_id})
        threading.Thread(target=server.serve_connection, args=(sock, connection_id),
                         daemon=True).start()


if __name__ == "__main__":
    main()
