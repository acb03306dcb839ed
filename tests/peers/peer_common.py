"""Start-up shared by the test peers: the PORT line and a bounded lifetime.

A peer exits by itself when its lifetime ends or when its standard input
closes, so a test that dies never leaves one running.
"""
import json
import os
import sys
import threading


def exit_when_done(lifetime_seconds):
    def watch_stdin():
        try:
            while sys.stdin.buffer.read1(4096):
                pass
        except (OSError, ValueError):
            pass
        os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()
    timer = threading.Timer(lifetime_seconds, lambda: os._exit(0))
    timer.daemon = True
    timer.start()


def announce_port(port):
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()


class JsonLineLog:
    """Appends one JSON object a line, flushed at once so tests read it live."""

    def __init__(self, path):
        self._lock = threading.Lock()
        self._file = open(path, "a", encoding="utf-8") if path else None

    def write(self, record):
        if self._file is None:
            return
        line = json.dumps(record, ensure_ascii=True) + "\n"
        with self._lock:
            self._file.write(line)
            self._file.flush()
