#!/usr/bin/python3
"""Runs a server program that has no lifetime of its own (nginx) for tests.

    bounded_run.py --lifetime SECONDS -- PROGRAM ARG...

Ends the program when the lifetime is over or when this script's standard
input closes, so a test that dies never leaves the server running. Exits
with the program's status when the program ends first.
"""
import argparse
import os
import signal
import subprocess
import sys
import threading


def main():
    parser = argparse.ArgumentParser(description="Run a program for a bounded time")
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no program given")

    child = subprocess.Popen(command, stdin=subprocess.DEVNULL)
    done = threading.Event()

    def watch_stdin():
        try:
            while sys.stdin.buffer.read1(4096):
                pass
        except (OSError, ValueError):
            pass
        done.set()

    threading.Thread(target=watch_stdin, daemon=True).start()
    threading.Thread(target=lambda: (child.wait(), done.set()), daemon=True).start()
    done.wait(args.lifetime)
    if child.poll() is None:
        child.send_signal(signal.SIGTERM)
        try:
            child.wait(5)
        except subprocess.TimeoutExpired:
            child.kill()
            child.wait()
    status = child.returncode
    os._exit(status if status >= 0 else 128 - status)


if __name__ == "__main__":
    main()
