#!/usr/bin/env python3
"""Re-encodes the page content streams of a QDF file (written by `qpdf --qdf`) with other
filters, then lets fix-qdf set the lengths and the table.

usage: encode_content_streams.py IN.qdf OUT.pdf CHAIN [CHAIN ...]

Page k gets CHAIN number k (cycling). A chain lists filters in decoding order joined by "+":
AHx, A85, LZW (early change 1), LZW0 (early change 0), RL, Fl; "/P" after LZW, LZW0 or Fl
adds the PNG Up predictor over rows of 16 bytes. Example: "A85+LZW0/P"."""
import base64
import re
import subprocess
import sys
import zlib

COLUMNS = 16


def ascii_hex(data):
    text = data.hex()
    return "\n".join(text[i:i + 64] for i in range(0, len(text), 64)).encode() + b">"


def ascii85(data):
    return base64.a85encode(data, wrapcol=72) + b"~>"


def run_length(data):
    out = bytearray()
    i = 0
    while i < len(data):
        run = 1
        while i + run < len(data) and run < 128 and data[i + run] == data[i]:
            run += 1
        if run >= 3:
            out += bytes([257 - run, data[i]])
            i += run
            continue
        start = i
        while i < len(data) and i - start < 128:
            if i + 2 < len(data) and data[i] == data[i + 1] == data[i + 2]:
                break
            i += 1
        out += bytes([i - start - 1]) + data[start:i]
    return bytes(out + b"\x80")


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.bits = 0
        self.count = 0

    def put(self, code, width):
        self.bits = (self.bits << width) | code
        self.count += width
        while self.count >= 8:
            self.count -= 8
            self.out.append((self.bits >> self.count) & 0xFF)

    def done(self):
        if self.count:
            self.out.append((self.bits << (8 - self.count)) & 0xFF)
        return bytes(self.out)


def lzw(data, early):
    writer = BitWriter()
    width = 9

    def fresh():
        return {bytes([i]): i for i in range(256)}, 258

    table, next_code = fresh()
    writer.put(256, width)
    word = b""

    def added():
        nonlocal next_code, width
        next_code += 1
        if next_code - 1 + early >= (1 << width) and width < 12:
            width += 1

    for byte in data:
        candidate = word + bytes([byte])
        if candidate in table:
            word = candidate
            continue
        writer.put(table[word], width)
        table[candidate] = next_code
        added()
        word = bytes([byte])
        if next_code >= 4095:
            writer.put(256, width)
            table, next_code = fresh()
            width = 9
    if word:
        writer.put(table[word], width)
        added()
    writer.put(257, width)
    return writer.done()


def png_up(data):
    data += b" " * (-len(data) % COLUMNS)
    out = bytearray()
    previous = bytes(COLUMNS)
    for i in range(0, len(data), COLUMNS):
        row = data[i:i + COLUMNS]
        out += b"\x02" + bytes((row[k] - previous[k]) & 0xFF for k in range(COLUMNS))
        previous = row
    return bytes(out)


def encode(data, chain):
    names, parms = [], []
    for step in reversed(chain.split("+")):
        name, _, option = step.partition("/")
        parm = {}
        if option == "P":
            data = png_up(data)
            parm = {"Predictor": 12, "Columns": COLUMNS}
        if name == "AHx":
            data = ascii_hex(data)
        elif name == "A85":
            data = ascii85(data)
        elif name == "RL":
            data = run_length(data)
        elif name in ("LZW", "LZW0"):
            data = lzw(data, 0 if name == "LZW0" else 1)
            if name == "LZW0":
                parm["EarlyChange"] = 0
            name = "LZW"
        elif name == "Fl":
            data = zlib.compress(data, 9)
        else:
            sys.exit("unknown filter " + name)
        names.insert(0, name)
        parms.insert(0, parm)
    text = lambda p: "<< " + " ".join("/%s %d" % kv for kv in p.items()) + " >>" if p else "null"
    entries = "/Filter [" + " ".join("/" + n for n in names) + "]"
    if any(parms):
        entries += " /DecodeParms [" + " ".join(text(p) for p in parms) + "]"
    return data, entries


def main():
    source, target, chains = sys.argv[1], sys.argv[2], sys.argv[3:]
    qdf = open(source, "rb").read()
    pattern = re.compile(rb"(%% Contents for page (\d+)\n(?:%%[^\n]*\n)*\d+ 0 obj\n<<)"
                         rb"(.*?>>\nstream\n)(.*?)(\nendstream)", re.S)

    def replace(match):
        page = int(match.group(2))
        data, entries = encode(match.group(4), chains[(page - 1) % len(chains)])
        return match.group(1) + b"\n  " + entries.encode() + match.group(3) + data + match.group(5)

    encoded, count = pattern.subn(replace, qdf)
    if count == 0:
        sys.exit("no page content streams found in " + source)
    fixed = subprocess.run(["fix-qdf"], input=encoded, capture_output=True, check=True).stdout
    open(target, "wb").write(fixed)


if __name__ == "__main__":
    main()
