"""A small SMTP relay for the tests: records what it receives.

Listens on 127.0.0.1 with a free port, writes the port to --ready once it
listens, and appends one line per event to --log:
  AUTH <mechanism> ok|fail
  MAIL <address> <options...>
  RCPT <address>
  DATA <file holding the message bytes>
For each message a summary decoded by Python's own mail parser is written
next to it (<file>.txt), one item per line:
  HEADER <name>\t<raw value>
  DECODED <name>\t<value decoded to UTF-8>     (From, To, Cc, Subject)
  PART <content type>\t<charset>\t<transfer encoding>\t<disposition>\t<file name>\t<payload as hex>
  STARTTLS
  QUIT
"""
import argparse
import asyncio
import email
import email.policy
import hashlib
import hmac
import os
import logging
import ssl
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

# aiosmtpd warns about its own deprecated session field on every login.
warnings.filterwarnings("ignore")
logging.getLogger("mail.log").setLevel(logging.CRITICAL)

parser = argparse.ArgumentParser()
parser.add_argument("--log", required=True)
parser.add_argument("--ready", required=True)
parser.add_argument("--user", default="meteo")
parser.add_argument("--password", default="secret")
parser.add_argument("--mechs", default="CRAM-MD5,PLAIN,LOGIN",
                    help="mechanisms to offer; empty: no AUTH at all")
parser.add_argument("--cert")
parser.add_argument("--key")
parser.add_argument("--implicit-tls", action="store_true")
parser.add_argument("--starttls", action="store_true")
parser.add_argument("--refuse-starttls", action="store_true")
parser.add_argument("--refuse-rcpt", action="append", default=[])
parser.add_argument("--size-limit", type=int, default=33554432)
parser.add_argument("--slow-rcpt", type=float, default=0.0, help="seconds before answering RCPT")
parser.add_argument("--no-8bitmime", action="store_true",
                    help="do not announce 8BITMIME; message bytes above 127 are then refused")
args = parser.parse_args()

counter = 0


def record(line):
    with open(args.log, "a", encoding="utf-8") as f:
        f.write(line + "\n")


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = (isinstance(auth_data, LoginPassword)
          and auth_data.login == args.user.encode()
          and auth_data.password == args.password.encode())
    record(f"AUTH {mechanism} {'ok' if ok else 'fail'}")
    return AuthResult(success=ok, handled=False)


def unfold(value):
    return value.replace("\r", "").replace("\n", "")


def summarise(raw, path):
    lines = []
    compat = email.message_from_bytes(raw)
    for name, value in compat.items():
        lines.append(f"HEADER {name}\t{unfold(value)}")
    modern = email.message_from_bytes(raw, policy=email.policy.default)
    for name in ("From", "To", "Cc", "Subject"):
        if modern[name] is not None:
            lines.append(f"DECODED {name}\t{unfold(str(modern[name]))}")
    for part in compat.walk():
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        lines.append("PART " + "\t".join([
            part.get_content_type(), part.get_content_charset() or "",
            part.get("Content-Transfer-Encoding", ""), part.get_content_disposition() or "",
            part.get_filename() or "", payload.hex()]))
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


class Handler:
    async def auth_CRAM__MD5(self, server, auth_args):
        challenge = f"<{os.getpid()}.{id(server)}@relay.test>".encode()
        answer = await server.challenge_auth(challenge)
        if not isinstance(answer, bytes):
            return AuthResult(success=False, handled=False)
        user, _, digest = answer.decode().rpartition(" ")
        expected = hmac.new(args.password.encode(), challenge, hashlib.md5).hexdigest()
        ok = user == args.user and hmac.compare_digest(digest, expected)
        record(f"AUTH CRAM-MD5 {'ok' if ok else 'fail'}")
        return AuthResult(success=ok, handled=False)

    async def handle_MAIL(self, server, session, envelope, address, options):
        if not session.authenticated and args.mechs:
            return "530 5.7.0 Authentication required"
        record("MAIL " + " ".join([address] + list(options)))
        envelope.mail_from = address
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        record("RCPT " + address)
        if args.slow_rcpt:
            await asyncio.sleep(args.slow_rcpt)
        if address in args.refuse_rcpt:
            return "550 5.1.1 No such user"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        global counter
        counter += 1
        path = f"{args.log}.{counter}.eml"
        with open(path, "wb") as f:
            f.write(envelope.original_content)
        summarise(envelope.original_content, path + ".txt")
        record(f"DATA {path}")
        return "250 Message accepted"


class Relay(SMTP):
    async def smtp_STARTTLS(self, arg):
        if args.refuse_starttls:
            record("STARTTLS refused")
            await self.push("454 4.7.0 TLS not available now")
            return
        record("STARTTLS")
        await super().smtp_STARTTLS(arg)

    async def smtp_QUIT(self, arg):
        record("QUIT")
        await super().smtp_QUIT(arg)


def make_context():
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)
    return context


async def main():
    handler = Handler()
    mechs = [m for m in args.mechs.split(",") if m]
    exclude = [m for m in ("CRAM-MD5", "PLAIN", "LOGIN") if m not in mechs]
    starttls_context = make_context() if (args.starttls or args.refuse_starttls) else None
    implicit_context = make_context() if args.implicit_tls else None

    def factory():
        kwargs = dict(hostname="relay.test", data_size_limit=args.size_limit,
                      tls_context=starttls_context, auth_require_tls=False,
                      auth_exclude_mechanism=exclude, decode_data=args.no_8bitmime)
        if mechs:
            kwargs["authenticator"] = authenticator
        server = Relay(handler, **kwargs)
        if not mechs:
            # No AUTH line at all in the EHLO answer.
            server._auth_methods = {}
            server._auth_require_tls = True
        return server

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", 0, ssl=implicit_context)
    port = server.sockets[0].getsockname()[1]
    tmp = args.ready + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.rename(tmp, args.ready)
    async with server:
        await server.serve_forever()


asyncio.run(main())
