#!/usr/bin/python3
"""SMTP server for tests.

    smtp_peer.py --out DIR [--mode plain|auth|starttls] [--user NAME
                 --password WORD] [--tls-cert PEM --tls-key PEM]
                 [--lifetime SECONDS]

Modes: plain offers no AUTH; auth offers AUTH PLAIN and LOGIN without TLS and
requires it before MAIL; starttls offers STARTTLS and requires it before
MAIL (and AUTH after it when --user is given). Binds 127.0.0.1 on an
ephemeral port, prints "PORT n", exits after --lifetime seconds (120) or
when its standard input closes.

Into DIR it writes each message as message-NNNN.eml (the DATA content as
received, dot-unstuffed), one JSON line per message in messages.jsonl
({"file", "mail_from", "rcpt_tos", "authenticated_as", "tls"}), and the
whole conversation in transcript.txt ("C: " client lines, "S: " server
lines, "-- " events).
"""
import argparse
import asyncio
import logging
import os
import ssl
import sys
import warnings

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_common import JsonLineLog, announce_port, exit_when_done  # noqa: E402

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword  # noqa: E402


class Transcript:
    def __init__(self, path):
        self._file = open(path, "a", encoding="utf-8", errors="backslashreplace")

    def write(self, text):
        self._file.write(text + "\n")
        self._file.flush()


class RecordingSMTP(SMTP):
    """Writes every line that crosses the connection to the transcript."""

    connections = 0

    def __init__(self, handler, transcript, **options):
        super().__init__(handler, **options)
        self._transcript = transcript
        self._partial = b""

    def connection_made(self, transport):
        if self.transport is None:
            RecordingSMTP.connections += 1
            self._transcript.write("-- connection %d" % RecordingSMTP.connections)
        else:
            self._transcript.write("-- TLS started")
        super().connection_made(transport)

    def data_received(self, data):
        lines = (self._partial + data).split(b"\n")
        self._partial = lines.pop()
        for line in lines:
            self._transcript.write("C: " + line.rstrip(b"\r").decode("utf-8", "backslashreplace"))
        super().data_received(data)

    async def push(self, status):
        text = status if isinstance(status, str) else status.decode("utf-8", "backslashreplace")
        self._transcript.write("S: " + text)
        await super().push(status)


class SavingHandler:
    def __init__(self, out_dir):
        self._out_dir = out_dir
        self._index = JsonLineLog(os.path.join(out_dir, "messages.jsonl"))
        self._count = 0

    async def handle_DATA(self, server, session, envelope):
        self._count += 1
        name = "message-%04d.eml" % self._count
        path = os.path.join(self._out_dir, name)
        with open(path + ".part", "wb") as f:
            f.write(envelope.original_content or b"")
        os.rename(path + ".part", path)
        login = session.auth_data.login if isinstance(session.auth_data, LoginPassword) else None
        self._index.write({
            "file": name,
            "mail_from": envelope.mail_from,
            "rcpt_tos": list(envelope.rcpt_tos),
            "authenticated_as": login.decode("utf-8", "replace") if login else None,
            "tls": session.ssl is not None,
        })
        return "250 OK message saved"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        accepted = (isinstance(auth_data, LoginPassword)
                    and auth_data.login == user.encode("utf-8")
                    and auth_data.password == password.encode("utf-8"))
        return AuthResult(success=accepted, auth_data=auth_data if accepted else None,
                          handled=False)
    return authenticate


def smtp_options(args):
    options = {"hostname": "localhost", "ident": "test SMTP peer", "timeout": 60}
    if args.mode == "auth":
        options.update(authenticator=make_authenticator(args.user or "", args.password),
                       auth_required=True, auth_require_tls=False)
    elif args.mode == "starttls":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert, args.tls_key)
        options.update(tls_context=context, require_starttls=True)
        if args.user:
            options.update(authenticator=make_authenticator(args.user, args.password),
                           auth_required=True, auth_require_tls=True)
    return options


def main():
    parser = argparse.ArgumentParser(description="SMTP test server")
    parser.add_argument("--out", required=True)
    parser.add_argument("--mode", choices=["plain", "auth", "starttls"], default="plain")
    parser.add_argument("--user")
    parser.add_argument("--password", default="")
    parser.add_argument("--tls-cert")
    parser.add_argument("--tls-key")
    parser.add_argument("--lifetime", type=float, default=120.0)
    args = parser.parse_args()
    if args.mode == "starttls" and not (args.tls_cert and args.tls_key):
        parser.error("starttls needs --tls-cert and --tls-key")

    # AUTH without TLS is what the auth mode is for; keep stderr for real faults.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)

    os.makedirs(args.out, exist_ok=True)
    transcript = Transcript(os.path.join(args.out, "transcript.txt"))
    handler = SavingHandler(args.out)
    options = smtp_options(args)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: RecordingSMTP(handler, transcript, loop=loop, **options),
        host="127.0.0.1", port=0))
    exit_when_done(args.lifetime)
    announce_port(server.sockets[0].getsockname()[1])
    loop.run_forever()


if __name__ == "__main__":
    main()
