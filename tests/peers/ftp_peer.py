#!/usr/bin/python3
"""Read-only FTP server for tests.

    ftp_peer.py --root DIR [--user NAME --password WORD] [--lifetime SECONDS]

Serves DIR on 127.0.0.1 (ephemeral port, passive mode) to the anonymous login
and to the one user given, prints "PORT n", and exits after --lifetime
seconds (120) or when its standard input closes.
"""
import argparse
import logging
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_common import announce_port, exit_when_done  # noqa: E402

from pyftpdlib.authorizers import DummyAuthorizer  # noqa: E402
from pyftpdlib.handlers import FTPHandler  # noqa: E402
from pyftpdlib.servers import FTPServer  # noqa: E402

READ_ONLY = "elr"  # change folder, list, retrieve


def main():
    parser = argparse.ArgumentParser(description="Read-only FTP test server")
    parser.add_argument("--root", required=True)
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--lifetime", type=float, default=120.0)
    args = parser.parse_args()

    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    root = os.path.realpath(args.root)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root, perm=READ_ONLY)
    if args.user:
        authorizer.add_user(args.user, args.password, root, perm=READ_ONLY)

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.banner = "test FTP peer ready"
    Handler.timeout = 60
    # A failed login answers at once: tests must not wait out a penalty.
    Handler.auth_failed_timeout = 0

    server = FTPServer(("127.0.0.1", 0), Handler)
    exit_when_done(args.lifetime)
    announce_port(server.socket.getsockname()[1])
    server.serve_forever(timeout=0.5, handle_exit=False)


if __name__ == "__main__":
    main()
