#!/usr/bin/env python3
"""Writes the seed corpus of reception_fuzzer into tests/fuzz/corpus/reception_fuzzer/, in the
event framing its source describes: a selector byte (connection in the low two bits, what happens
in the upper six) before each chunk."""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "reception_fuzzer")
GONE, LONG = 63, 62


def chunk(client, data):
    if len(data) < LONG:
        return bytes([len(data) << 2 | client]) + data
    return bytes([LONG << 2 | client]) + len(data).to_bytes(2, "little") + data


def gone(client):
    return bytes([GONE << 2 | client])


def photo(seed, size, zero_bytes=True):
    """Bytes that begin as a JPEG does."""
    data, state = bytearray(b"\xff\xd8\xff\xe0"), seed
    while len(data) < size:
        state = (state * 1664525 + 1013904223) % 2**32
        byte = state >> 24
        data.append(byte if zero_bytes or byte else 1)
    return bytes(data).replace(b"|", b"!")


def message(name, data):
    return b"STAT||" + name + data + b"END||"


SEEDS = {
    # A pausing phone: the file start, the data in reads, the end, each on its own.
    "pausing-phone": b"".join([
        chunk(0, b"STAT||IMG_0001.jpg"), chunk(0, photo(1, 300)), chunk(0, photo(2, 40)), chunk(0, b"END||"),
        chunk(0, b"STAT||IMG_0002.jpg"), chunk(0, photo(3, 50, False)), chunk(0, b"END||"), gone(0)]),
    # A phone that does not pause, its messages merged and cut inside "END||STAT||" and a name.
    "merged-messages": (lambda s: b"".join([chunk(0, s[:70]), chunk(0, s[70:83]), chunk(0, s[83:87]),
                                            chunk(0, s[87:])]))(
        message(b"a.jpg", photo(4, 60)) + message(b"b.png", b"\x89PNG\r\n\x1a\n" + photo(5, 20)[4:])
        + message(b"c.jpg", photo(6, 30))),
    # Names that try to climb out of the receive directory.
    "parent-names": b"".join(chunk(0, message(name, photo(7, 20))) for name in [
        b"../escape.jpg", b"..%2Fescape.jpg", b"sub/../../escape.jpg", b"%2E%2E/escape.jpg", b"..",
        b"/tmp/escape.jpg"]),
    "backslash-names": b"".join(chunk(1, message(name, photo(8, 20))) for name in [
        b"..\\escape.jpg", b"a\\b.jpg", b"%5C..%5Cescape.jpg", b"\\\\server\\share\\x.jpg", b"C:\\x.jpg"]),
    # Chinese names percent-encoded as UTF-8, and raw in code page 936 as no phone sends them.
    "chinese-names": b"".join([
        chunk(2, message(b"%E5%BC%A0%E4%B8%89.jpg", photo(9, 30))),
        chunk(2, message(b"%E6%9D%8E%E5%9B%9B%2F..%2F%E7%8E%8B.jpg", photo(10, 30))),
        chunk(2, message("\u674e\u56db.jpg".encode("gbk"), photo(11, 30)))]),
    # Two phones at once, one going away in the middle of a photo and coming back without a file
    # start.
    "two-phones": b"".join([
        chunk(0, b"STAT||one.jpg"), chunk(1, b"STAT||two.jpg"), chunk(0, photo(12, 40)), chunk(1, photo(13, 40)),
        chunk(1, b"END||STAT||three.jpg"), chunk(0, photo(14, 20)), gone(0), chunk(3, photo(15, 20)[4:]),
        chunk(1, photo(16, 20) + b"END|"), chunk(1, b"|"), gone(1), gone(3)]),
}

os.makedirs(OUT, exist_ok=True)
for name, content in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(content)
