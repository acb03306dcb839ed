#!/usr/bin/python3
"""TCP server that follows an exact transcript, for protocol tests.

    tcp_script_peer.py --script FILE [--log FILE] [--lifetime SECONDS]

Script: {"steps": [STEP, ...]}, run from the start on every connection:
  {"send": "220 hi\\r\\n"}     send the text (UTF-8)
  {"expect": "EHLO"}           read one line; it must start with the text
  {"read_until": "."}          read lines until one equals the text (line end
                               left out), e.g. the end of DATA
  {"sleep": 0.5}               wait
  {"never_answer": true}       read and record until the client closes
  {"close": true}              close now
A line that does not fit an "expect" ends the connection. After the last step
the peer closes. Binds 127.0.0.1 on an ephemeral port, prints "PORT n", exits
after --lifetime seconds (120) or when its standard input closes.

Log, one JSON object a line, written as things happen:
  {"connection": C, "event": "accept"}
  {"connection": C, "event": "line", "data_base64": ...}  each line received
  {"connection": C, "event": "mismatch", "step": S, "expected": text}
  {"connection": C, "event": "end", "reason": "done" | "closed by script" |
   "client closed" | "mismatch"}
"""
import argparse
import base64
import json
import os
import socket
import sys
import threading
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_common import JsonLineLog, announce_port, exit_when_done  # noqa: E402

MAX_LINE = 65536


class ClientClosed(Exception):
    pass


class Session:
    def __init__(self, sock, connection_id, log):
        self.sock = sock
        self.id = connection_id
        self.log = log
        self.rfile = sock.makefile("rb")

    def event(self, name, **fields):
        record = {"connection": self.id, "event": name}
        record.update(fields)
        self.log.write(record)

    def read_line(self):
        line = self.rfile.readline(MAX_LINE)
        if not line:
            raise ClientClosed()
        self.event("line", data_base64=base64.b64encode(line).decode("ascii"))
        return line

    def run(self, steps):
        for number, step in enumerate(steps):
            if "send" in step:
                self.sock.sendall(step["send"].encode("utf-8"))
            elif "expect" in step:
                line = self.read_line().decode("utf-8", "replace")
                if not line.startswith(step["expect"]):
                    self.event("mismatch", step=number, expected=step["expect"])
                    return "mismatch"
            elif "read_until" in step:
                while self.read_line().rstrip(b"\r\n").decode("utf-8", "replace") != step["read_until"]:
                    pass
            elif "sleep" in step:
                time.sleep(float(step["sleep"]))
            elif step.get("never_answer"):
                while True:
                    self.read_line()
            elif step.get("close"):
                return "closed by script"
            else:
                raise ValueError("unknown step %r" % (step,))
        return "done"

    def serve(self, steps):
        try:
            reason = self.run(steps)
        except ClientClosed:
            reason = "client closed"
        except OSError as error:
            reason = "client closed (%s)" % error
        self.event("end", reason=reason)
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()


def main():
    parser = argparse.ArgumentParser(description="Scripted TCP test server")
    parser.add_argument("--script", required=True)
    parser.add_argument("--log")
    parser.add_argument("--lifetime", type=float, default=120.0)
    args = parser.parse_args()
    with open(args.script, "r", encoding="utf-8") as f:
        steps = json.load(f).get("steps", [])
    log = JsonLineLog(args.log)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    exit_when_done(args.lifetime)
    announce_port(listener.getsockname()[1])
    connection_id = 0
    while True:
        sock, _ = listener.accept()
        connection_id += 1
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        session = Session(sock, connection_id, log)
        session.event("accept")
        threading.Thread(target=session.serve, args=(steps,), daemon=True).start()


if __name__ == "__main__":
    main()
