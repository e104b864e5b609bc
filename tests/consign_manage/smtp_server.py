#!/usr/bin/env python3
"""A loopback SMTP server for the mail tests.

Listens on 127.0.0.1:PORT and appends one JSON line per message it takes to
OUT: {"from": ..., "rcpt": [...], "data": ..., "auth": user or null}; every
AUTH attempt adds a line {"auth_attempt": user, "password": ...}, every
connection a line {"connect": n} (n counts from 1), and every message carries
the number of its connection ("conn"), its MAIL FROM parameters
("mail_options") and its To header as sent ("header_to", UTF-8).
  --auth USER:PASS   offer AUTH (LOGIN, PLAIN) and take that pair only
  --tls CERT KEY     offer STARTTLS with this certificate; AUTH only after it
  --reject ADDR      answer 550 to RCPT TO:<ADDR> (repeatable)
  --no-smtputf8      do not offer SMTPUTF8 (then only ASCII commands are taken)
  --drop-after N     close a connection right after taking its Nth message
  --hangup-at K      answer the Kth MAIL FROM of the server with 421 and close
  --cut-at K         close the connection at the end of the Kth DATA without
                     an answer (the message is not taken)
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
from aiosmtpd.smtp import SMTP, AuthResult


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("port", type=int)
    ap.add_argument("out")
    ap.add_argument("--auth")
    ap.add_argument("--tls", nargs=2)
    ap.add_argument("--reject", action="append", default=[])
    ap.add_argument("--no-smtputf8", action="store_true")
    ap.add_argument("--drop-after", type=int, default=0)
    ap.add_argument("--hangup-at", type=int, default=0)
    ap.add_argument("--cut-at", type=int, default=0)
    a = ap.parse_args()
    lock = threading.Lock()
    counts = {"connect": 0, "mail": 0, "data": 0}
    live = threading.Event()  # the controller's own check at start is no client

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
            with lock:
                counts["data"] += 1
                cut = counts["data"] == a.cut_at
            if cut:
                server.cut = True  # push() closes instead of answering
                return "250 never sent"
            raw = envelope.original_content or envelope.content
            msg = email.message_from_bytes(raw, policy=email.policy.default)
            head = raw.split(b"\r\n\r\n", 1)[0].split(b"\r\n")
            to = [l[3:].strip().decode("utf-8", "replace") for l in head if l.lower().startswith(b"to:")]
            write({"from": envelope.mail_from, "rcpt": envelope.rcpt_tos,
                   "conn": server.conn_no, "mail_options": envelope.mail_options,
                   "header_to": to[0] if to else None,
                   "subject": str(msg["subject"]), "header_from": str(msg["from"]),
                   "headers": list(msg.keys()), "body": msg.get_content(),
                   "auth": session.auth_data if session.authenticated else None})
            server.taken += 1
            return "250 Message accepted"

    def authenticator(server, session, envelope, mechanism, auth_data):
        user = auth_data.login.decode()
        password = auth_data.password.decode()
        write({"auth_attempt": user, "password": password})
        ok = a.auth is not None and a.auth == user + ":" + password
        return AuthResult(success=ok, auth_data=user if ok else None)

    class CountingSMTP(SMTP):
        """One per connection: numbers it, and drops it as asked."""

        def __init__(self, *args, **kw):
            super().__init__(*args, **kw)
            self.conn_no = 0
            self.taken = 0
            if live.is_set():
                with lock:
                    counts["connect"] += 1
                    self.conn_no = counts["connect"]
                write({"connect": self.conn_no})

        async def smtp_MAIL(self, arg):
            with lock:
                counts["mail"] += 1
                hangup = counts["mail"] == a.hangup_at
            if hangup:
                await self.push("421 4.3.2 Service shutting down")
                self.transport.close()
                return
            await super().smtp_MAIL(arg)

        async def smtp_DATA(self, arg):
            await super().smtp_DATA(arg)
            if a.drop_after and self.taken >= a.drop_after:
                self.transport.close()

        async def push(self, status):
            if getattr(self, "cut", False):
                self.cut = False
                self.transport.close()
                return
            await super().push(status)

    kwargs = {"enable_SMTPUTF8": not a.no_smtputf8}
    if a.auth:
        kwargs["authenticator"] = authenticator
        kwargs["auth_require_tls"] = bool(a.tls)
    if a.tls:
        ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        ctx.load_cert_chain(a.tls[0], a.tls[1])
        kwargs["tls_context"] = ctx

    class CountingController(Controller):
        def factory(self):
            return CountingSMTP(self.handler, **self.SMTP_kwargs)

    ctl = CountingController(Handler(), hostname="127.0.0.1", port=a.port, **kwargs)
    ctl.start()
    live.set()
    print("READY", flush=True)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    ctl.stop()


if __name__ == "__main__":
    sys.exit(main())
