#!/usr/bin/env python3
"""A loopback SMTP server for the mail tests.

Listens on 127.0.0.1:PORT and appends one JSON line per message it takes to
OUT: {"from": ..., "rcpt": [...], "data": ..., "auth": user or null}; every
AUTH attempt adds a line {"auth_attempt": user, "password": ...}.
  --auth USER:PASS   offer AUTH (LOGIN, PLAIN) and take that pair only
  --tls CERT KEY     offer STARTTLS with this certificate; AUTH only after it
  --reject ADDR      answer 550 to RCPT TO:<ADDR> (repeatable)
Prints READY once it listens; stops on SIGTERM.
"""
import argparse
import email
import email.policy
import json
import signal
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("port", type=int)
    ap.add_argument("out")
    ap.add_argument("--auth")
    ap.add_argument("--tls", nargs=2)
    ap.add_argument("--reject", action="append", default=[])
    a = ap.parse_args()
    lock = threading.Lock()

    def write(obj):
        with lock, open(a.out, "a", encoding="utf-8") as f:
            f.write(json.dumps(obj, ensure_ascii=False) + "\n")

    class Handler:
        async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
            if address in a.reject:
                return "550 5.1.1 mailbox unavailable"
            envelope.rcpt_tos.append(address)
            return "250 OK"

        async def handle_DATA(self, server, session, envelope):
            raw = envelope.original_content or envelope.content
            msg = email.message_from_bytes(raw, policy=email.policy.default)
            write({"from": envelope.mail_from, "rcpt": envelope.rcpt_tos,
                   "subject": str(msg["subject"]), "header_from": str(msg["from"]),
                   "headers": list(msg.keys()), "body": msg.get_content(),
                   "auth": session.auth_data if session.authenticated else None})
            return "250 Message accepted"

    def authenticator(server, session, envelope, mechanism, auth_data):
        user = auth_data.login.decode()
        password = auth_data.password.decode()
        write({"auth_attempt": user, "password": password})
        ok = a.auth is not None and a.auth == user + ":" + password
        return AuthResult(success=ok, auth_data=user if ok else None)

    kwargs = {}
    if a.auth:
        kwargs["authenticator"] = authenticator
        kwargs["auth_require_tls"] = bool(a.tls)
    if a.tls:
        ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        ctx.load_cert_chain(a.tls[0], a.tls[1])
        kwargs["tls_context"] = ctx
    ctl = Controller(Handler(), hostname="127.0.0.1", port=a.port, **kwargs)
    ctl.start()
    print("READY", flush=True)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    ctl.stop()


if __name__ == "__main__":
    sys.exit(main())
