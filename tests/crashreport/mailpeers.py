#!/usr/bin/python3
"""Loopback peers for the crash reporter's mail tests: a small DNS hierarchy and a few SMTP servers.

    mailpeers.py OUTDIR [--dns-port N] [--smtp-port MODE=N]...

Prints one line per peer, then "ready", and serves until its standard input ends. Ports are chosen by the system
unless given (a program whose settings are fixed when it is built needs fixed ones; a test program that writes the
ports into its settings record at start does not):

    dns PORT                  every name server below listens on 127.0.0.x:PORT (UDP)
    smtp MODE PORT            an SMTP server on 127.0.0.1:PORT, for each MODE below
    ready

A program under test points its lookup at the root with the settings DnsRootServers "127.0.0.1" and DnsPort PORT,
and delivers directly with DirectSmtpPort set to the port of the "plain" (or another) server: the mail exchanger of
crashtest.example is mx.crashtest.example, 127.0.0.1.

Name servers (non-recursive, as the lookup expects; each answers only for its own zones and refers below them):
    127.0.0.1  the root ("")              also answers recursion-desired questions from the whole world, and knows
                                          smtp.corp.internal (127.0.0.1) only that way
    127.0.0.2  example                    delegates each zone below with glue, noglue.example without
    127.0.0.3  crashtest.example and the test zones below
    127.0.0.4  hoster.example             knows ns.hoster.example, the unglued server of noglue.example

Zones:
    crashtest.example   MX 20 backup.crashtest.example (listed first, 127.0.0.9: nothing listens there) and
                        MX 10 mx.crashtest.example (127.0.0.1); relay.crashtest.example is a CNAME of mx.
    noglue.example      MX 10 mx.crashtest.example; its name server has no glue and must be looked up itself
    nomx.example        no MX at all
    loop.example        the MX reply's exchanger name is a compression pointer to itself
    cut.example         the MX reply's record runs past the end of the datagram
    spoof.example       a reply with another identifier (MX evil.example) and an answer of class CH come first,
                        then the true reply (MX 10 mx.crashtest.example)

SMTP modes:
    plain    EHLO without AUTH
    auth     offers AUTH LOGIN and requires it (user "reporter", password "s3cret")
    refuse   answers RCPT TO with 550
    split    offers AUTH LOGIN (not required); sends every reply in pieces: the code split, multi-line replies split
             inside and between lines
    helo     refuses EHLO (502); HELO works
    mute     accepts the connection and never says a word
    flood    greets with a multi-line reply that never ends

Each SMTP session writes OUTDIR/MODE-N.log as it goes: "C: " and each command line received, "U: " and "P: " the
decoded AUTH LOGIN user and password, "D: " and the size of the data received. Each mail received is OUTDIR/MODE-N.eml
(the data with the dot-stuffing undone, byte for byte), MODE-N.body (the text: the whole body, or a MIME mail's first
part) and for a MIME mail MODE-N.attachment (the second part), each decoded from its transfer encoding - written before
the server confirms the data.
"""

import argparse
import base64
import email
import email.policy
import os
import random
import selectors
import socket
import socketserver
import struct
import sys
import threading
import time

A, NS, CNAME, MX = 1, 2, 5, 15
IN, CH = 1, 3

ROOT, TLD, ZONE, HOSTER = "127.0.0.1", "127.0.0.2", "127.0.0.3", "127.0.0.4"

# zone -> (server address, [(name server, glue address or None)])
ZONES = {
    "": (ROOT, [("a.root.test", ROOT)]),
    "example": (TLD, [("ns.tld.example", TLD)]),
    "crashtest.example": (ZONE, [("ns1.crashtest.example", ZONE)]),
    "noglue.example": (ZONE, [("ns.hoster.example", None)]),
    "nomx.example": (ZONE, [("ns1.crashtest.example", ZONE)]),
    "loop.example": (ZONE, [("ns1.crashtest.example", ZONE)]),
    "cut.example": (ZONE, [("ns1.crashtest.example", ZONE)]),
    "spoof.example": (ZONE, [("ns1.crashtest.example", ZONE)]),
    "hoster.example": (HOSTER, [("ns1.hoster.example", HOSTER)]),
}

RECORDS = {
    ("crashtest.example", MX): [(20, "backup.crashtest.example"), (10, "mx.crashtest.example")],
    ("mx.crashtest.example", A): ["127.0.0.1"],
    ("backup.crashtest.example", A): ["127.0.0.9"],
    ("ns1.crashtest.example", A): [ZONE],
    ("relay.crashtest.example", CNAME): ["mx.crashtest.example"],
    ("noglue.example", MX): [(10, "mx.crashtest.example")],
    ("spoof.example", MX): [(10, "mx.crashtest.example")],
    ("ns.hoster.example", A): [ZONE],
    ("ns1.hoster.example", A): [HOSTER],
}

# Known only to a recursive question at the root.
RECURSIVE_ONLY = {("smtp.corp.internal", A): ["127.0.0.1"]}


def encode_name(name):
    out = b""
    for label in [l for l in name.split(".") if l]:
        out += bytes([len(label)]) + label.encode()
    return out + b"\0"


def record(name, rtype, rdata, rclass=IN, ttl=300):
    return encode_name(name) + struct.pack(">HHIH", rtype, rclass, ttl, len(rdata)) + rdata


def rdata_of(rtype, value):
    if rtype == A:
        return socket.inet_aton(value)
    if rtype == MX:
        return struct.pack(">H", value[0]) + encode_name(value[1])
    return encode_name(value)


def enclosing_zones(name):
    """The zones name lies in, longest first."""
    labels = name.split(".") if name else []
    zones = []
    for i in range(len(labels) + 1):
        zone = ".".join(labels[i:])
        if zone in ZONES:
            zones.append(zone)
    return zones


def name_exists(name):
    return any(key[0] == name for key in RECORDS) or name in ZONES


def message(qid, question, answers=(), authority=(), additional=(), rcode=0, aa=True, ra=False):
    flags = 0x8000 | (0x0400 if aa else 0) | (0x0080 if ra else 0) | rcode
    header = struct.pack(">HHHHHH", qid, flags, 1, len(answers), len(authority), len(additional))
    return header + question + b"".join(answers) + b"".join(authority) + b"".join(additional)


def recursive_answer(qid, question, qname, qtype):
    answers = []
    name = qname
    for _ in range(8):
        if (name, qtype) in RECORDS or (name, qtype) in RECURSIVE_ONLY:
            values = RECORDS.get((name, qtype)) or RECURSIVE_ONLY[(name, qtype)]
            answers += [record(name, qtype, rdata_of(qtype, v)) for v in values]
            break
        if (name, CNAME) in RECORDS:
            target = RECORDS[(name, CNAME)][0]
            answers.append(record(name, CNAME, rdata_of(CNAME, target)))
            name = target
            continue
        break
    return message(qid, question, answers, aa=False, ra=True, rcode=0 if answers else 3)


def hostile_mx(qid, question, zone):
    """Replies that a careless reader would loop on or read past."""
    if zone == "loop.example":
        # Answer record: owner is a pointer to the question name (offset 12); its data holds the preference and a
        # pointer to itself.
        start = 12 + len(question)
        rdata_offset = start + 2 + 10 + 2  # owner pointer, fixed part, preference
        rdata = struct.pack(">H", 10) + struct.pack(">H", 0xC000 | rdata_offset)
        answer = struct.pack(">HHHIH", 0xC00C, MX, IN, 300, len(rdata)) + rdata
        return message(qid, question, [answer])
    # cut.example: the record claims 40 bytes of data but the datagram ends after 6.
    answer = struct.pack(">HHHIH", 0xC00C, MX, IN, 300, 40) + struct.pack(">H", 10) + b"\x02mx"
    return message(qid, question, [answer])


def authoritative_answer(server, qid, question, qname, qtype):
    zones = enclosing_zones(qname)
    own = [z for z in zones if ZONES[z][0] == server]
    if not own:
        return [message(qid, question, rcode=5, aa=False)]
    ours = own[0]
    below = zones[: zones.index(ours)]
    if below:
        child = below[-1]
        authority = [record(child, NS, encode_name(ns)) for ns, _ in ZONES[child][1]]
        glue = [record(ns, A, socket.inet_aton(addr)) for ns, addr in ZONES[child][1] if addr]
        return [message(qid, question, [], authority, glue, aa=False)]
    if qtype == MX and ours in ("loop.example", "cut.example") and qname == ours:
        return [hostile_mx(qid, question, ours)]
    if qtype == NS and qname == ours:
        answers = [record(ours, NS, encode_name(ns)) for ns, _ in ZONES[ours][1]]
        glue = [record(ns, A, socket.inet_aton(addr)) for ns, addr in ZONES[ours][1] if addr]
        return [message(qid, question, answers, [], glue)]
    replies = []
    if qtype == MX and ours == "spoof.example":
        evil = record(qname, MX, rdata_of(MX, (1, "evil.example")))
        replies.append(message((qid + 1) & 0xFFFF, question, [evil]))
        chaos = record(qname, MX, rdata_of(MX, (1, "evil.example")), rclass=CH)
        true_mx = [record(qname, MX, rdata_of(MX, v)) for v in RECORDS[(qname, MX)]]
        replies.append(message(qid, question, [chaos] + true_mx))
        return replies
    if (qname, qtype) in RECORDS:
        answers = [record(qname, qtype, rdata_of(qtype, v)) for v in RECORDS[(qname, qtype)]]
        return [message(qid, question, answers)]
    if (qname, CNAME) in RECORDS and qtype != CNAME:
        answers = [record(qname, CNAME, rdata_of(CNAME, RECORDS[(qname, CNAME)][0]))]
        return [message(qid, question, answers)]
    return [message(qid, question, rcode=0 if name_exists(qname) else 3)]


def parse_question(data):
    labels, offset = [], 12
    while data[offset]:
        length = data[offset]
        labels.append(data[offset + 1 : offset + 1 + length].decode())
        offset += 1 + length
    qtype, qclass = struct.unpack(">HH", data[offset + 1 : offset + 5])
    return ".".join(labels).lower(), qtype, data[12 : offset + 5]


def serve_dns(sockets, log):
    selector = selectors.DefaultSelector()
    for sock in sockets:
        selector.register(sock, selectors.EVENT_READ)
    while True:
        for key, _ in selector.select():
            sock = key.fileobj
            data, peer = sock.recvfrom(4096)
            server = sock.getsockname()[0]
            try:
                qid, flags = struct.unpack(">HH", data[:4])
                qname, qtype, question = parse_question(data)
            except Exception:
                continue
            with open(log, "a") as f:
                f.write(f"{server} {qname} {qtype} {'rd' if flags & 0x0100 else 'it'}\n")
            if flags & 0x0100 and server == ROOT:
                replies = [recursive_answer(qid, question, qname, qtype)]
            else:
                replies = authoritative_answer(server, qid, question, qname, qtype)
            for reply in replies:
                sock.sendto(reply, peer)


def bind_dns(fixed_port):
    for _ in range(1 if fixed_port else 50):
        sockets = []
        try:
            first = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            sockets.append(first)
            first.bind((ROOT, fixed_port))
            port = first.getsockname()[1]
            for address in (TLD, ZONE, HOSTER):
                sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                sockets.append(sock)
                sock.bind((address, port))
            return port, sockets
        except OSError:
            for sock in sockets:
                sock.close()
    raise RuntimeError("no common port for the name servers")


def decode_quoted_printable(text):
    """Quoted-printable as a mail reader must read it: a hard line break is the text's CR LF (Python's own decoder
    gives LF alone), "=" at a line's end joins it to the next, and "=" with two hexadecimal digits is that byte. A
    line longer than 76 characters or a stray "=" is an error."""
    out = bytearray()
    lines = text.split(b"\r\n")
    for number, line in enumerate(lines):
        if len(line) > 76:
            raise ValueError("quoted-printable line %d has %d characters" % (number + 1, len(line)))
        soft = line.endswith(b"=")
        if soft:
            line = line[:-1]
        at = 0
        while at < len(line):
            if line[at:at + 1] == b"=":
                out.append(int(line[at + 1:at + 3].decode("ascii"), 16))
                at += 3
            else:
                if line[at] > 126 or (line[at] < 32 and line[at] != 9):
                    raise ValueError("a byte 0x%02x stands unencoded in quoted-printable" % line[at])
                out.append(line[at])
                at += 1
        if not soft and number + 1 < len(lines):
            out += b"\r\n"
    return bytes(out)


def decoded(part):
    """A part's content: quoted-printable strictly (a part that breaks its rules is written as the error), any other
    encoding as Python's email package decodes it."""
    if part.get("Content-Transfer-Encoding", "").lower() == "quoted-printable":
        try:
            return decode_quoted_printable(part.get_payload(decode=False).encode("ascii"))
        except (ValueError, UnicodeEncodeError) as error:
            return ("undecodable: %s" % error).encode()
    return part.get_payload(decode=True) or b""


class SmtpHandler(socketserver.StreamRequestHandler):
    mode = "plain"
    outdir = "."
    counter = {}
    lock = threading.Lock()

    def setup(self):
        super().setup()
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        with SmtpHandler.lock:
            n = SmtpHandler.counter.get(self.mode, 0) + 1
            SmtpHandler.counter[self.mode] = n
        self.base = os.path.join(self.outdir, f"{self.mode}-{n}")

    def log(self, line):
        with open(self.base + ".log", "a", encoding="latin-1") as f:
            f.write(line + "\n")

    def reply(self, text):
        data = text.encode("latin-1")
        if self.mode != "split":
            self.wfile.write(data)
            self.wfile.flush()
            return
        # Pieces: the code torn apart, then the rest of each line cut in the middle and at its end.
        pieces = [data[:2]]
        rest = data[2:]
        while rest:
            cut = max(1, min(len(rest), random.randint(3, 12)))
            pieces.append(rest[:cut])
            rest = rest[cut:]
        for piece in pieces:
            self.wfile.write(piece)
            self.wfile.flush()
            time.sleep(0.03)

    def readline(self):
        line = self.rfile.readline(100000)
        if not line:
            return None
        return line.rstrip(b"\r\n").decode("latin-1")

    def handle(self):
        if self.mode == "mute":
            while self.request.recv(4096):
                pass
            return
        if self.mode == "flood":
            try:
                while True:
                    self.wfile.write(b"220-" + b"x" * 1000 + b"\r\n")
                    self.wfile.flush()
            except OSError:
                return
        self.reply("220 mail.test ESMTP ready\r\n")
        authed = False
        offers_login = self.mode in ("auth", "split")
        while True:
            line = self.readline()
            if line is None:
                return
            self.log("C: " + line)
            verb = line.split(" ")[0].upper()
            if verb == "EHLO":
                if self.mode == "helo":
                    self.reply("502 5.5.2 EHLO not here\r\n")
                    continue
                lines = ["mail.test greets you", "SIZE 10000000"]
                if offers_login:
                    lines += ["AUTH=PLAIN", "AUTH PLAIN LOGIN CRAM-MD5"]
                lines.append("HELP")
                text = "".join(f"250-{l}\r\n" for l in lines[:-1]) + f"250 {lines[-1]}\r\n"
                self.reply(text)
            elif verb == "HELO":
                self.reply("250 mail.test\r\n")
            elif line.upper() == "AUTH LOGIN" and offers_login:
                self.reply("334 VXNlcm5hbWU6\r\n")
                user = base64.b64decode(self.readline() or "").decode("latin-1")
                self.log("U: " + user)
                self.reply("334 UGFzc3dvcmQ6\r\n")
                password = base64.b64decode(self.readline() or "").decode("latin-1")
                self.log("P: " + password)
                authed = user == "reporter" and password == "s3cret"
                self.reply("235 2.7.0 accepted\r\n" if authed else "535 5.7.8 bad credentials\r\n")
            elif verb == "MAIL":
                if self.mode == "auth" and not authed:
                    self.reply("530 5.7.0 authentication required\r\n")
                else:
                    self.reply("250 2.1.0 ok\r\n")
            elif verb == "RCPT":
                if self.mode == "refuse":
                    self.reply("550 5.1.1 no such mailbox here\r\n")
                else:
                    self.reply("250 2.1.5 ok\r\n")
            elif verb == "DATA":
                self.reply("354 go ahead\r\n")
                self.receive_data()
            elif verb == "RSET":
                self.reply("250 ok\r\n")
            elif verb == "QUIT":
                self.reply("221 2.0.0 bye\r\n")
                return
            else:
                self.reply("500 5.5.1 what?\r\n")

    def receive_data(self):
        data = bytearray()
        while True:
            line = self.rfile.readline(1000000)
            if not line:
                return
            if line == b".\r\n":
                break
            if line.startswith(b"."):
                line = line[1:]
            data += line
        self.log(f"D: {len(data)}")
        with open(self.base + ".eml", "wb") as f:
            f.write(data)
        mail = email.message_from_bytes(bytes(data), policy=email.policy.compat32)
        parts = mail.get_payload() if mail.is_multipart() else [mail]
        with open(self.base + ".body", "wb") as f:
            f.write(decoded(parts[0]))
        if len(parts) > 1:
            with open(self.base + ".attachment", "wb") as f:
                f.write(decoded(parts[1]))
        self.reply("250 2.0.0 queued\r\n")


def start_smtp(mode, outdir, port):
    handler = type(f"Smtp_{mode}", (SmtpHandler,), {"mode": mode, "outdir": outdir})
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", port), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    parser = argparse.ArgumentParser(description="Loopback DNS and SMTP peers for the mail tests")
    parser.add_argument("outdir")
    parser.add_argument("--dns-port", type=int, default=0)
    parser.add_argument("--smtp-port", action="append", default=[], metavar="MODE=N")
    args = parser.parse_args()
    smtp_ports = {mode: int(port) for mode, port in (item.split("=", 1) for item in args.smtp_port)}
    os.makedirs(args.outdir, exist_ok=True)
    port, sockets = bind_dns(args.dns_port)
    threading.Thread(target=serve_dns, args=(sockets, os.path.join(args.outdir, "dns.log")), daemon=True).start()
    print(f"dns {port}")
    for mode in ("plain", "auth", "refuse", "split", "helo", "mute", "flood"):
        print(f"smtp {mode} {start_smtp(mode, args.outdir, smtp_ports.get(mode, 0))}")
    print("ready", flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
