#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz corpora (tests/fuzz/corpus/).

Valid record files come from samples/ (the generator's output); the rest are
small bad cases built here. Run from anywhere; existing files are replaced,
regression inputs kept by the fuzz runs are left alone."""
import math
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent
CORPUS = ROOT / "corpus"
SAMPLE = (ROOT.parent.parent / "samples" / "run0001.xbm").read_bytes()
HEADER = 2070


def put(parser, name, data):
    folder = CORPUS / parser
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))


def record(n, counts=None, egc=None, title=None):
    head = bytearray(SAMPLE[:HEADER])
    struct.pack_into("<h", head, 2068, n)
    if egc is not None:
        struct.pack_into("<ddd", head, 1434, *egc)
    if title is not None:
        head[4:68] = title.ljust(64, b"\0")[:64]
    body = SAMPLE[HEADER:HEADER + 4 * n] if counts is None else b"".join(struct.pack("<i", c) for c in counts)
    return bytes(head) + body


def records():
    put("record", "valid-1024-channels.xbm", SAMPLE)
    put("record", "valid-16-channels.xbm", record(16))
    put("record", "zero-channels.xbm", record(0))
    put("record", "nonfinite-calibration.xbm", record(4, [0, -1, 2**31 - 1, -2**31], [math.nan, math.inf, -math.inf]))
    put("record", "huge-calibration.xbm", record(2, [1, 2], [1.7e308, -1.7e308, 5e-324]))
    put("record", "sjis-title.xbm", record(1, [7], title=b"\x82\xa0\x82\xa2 ABC \x8e\x8e\x97\xbf"))
    put("record", "short-header.xbm", SAMPLE[:2000])
    put("record", "header-only-without-count.xbm", SAMPLE[:2068])
    put("record", "counts-cut-short.xbm", record(16)[:HEADER + 40])
    put("record", "negative-channels.xbm", record(-1))
    put("record", "too-many-channels.xbm", record(8193, [1] * 4))
    put("record", "empty.xbm", b"")


def list_files():
    put("listfile", "title-then-number.xli", "Series of 12\r\n12\r\n")
    put("listfile", "comma-separated.xli", "title, 3, more, items")
    put("listfile", "quoted-comma.xli", '"a, quoted title",  1.5e3  \n')
    put("listfile", "second-item-word.xli", "title\nword\n")
    put("listfile", "one-item.xli", "onlyone")
    put("listfile", "unclosed-quote.xli", '"never closed, 12')
    put("listfile", "empty.xli", "")
    put("listfile", "separators-only.xli", ",\r\n,\r,")
    put("listfile", "overflowing-number.xli", "t\n1e999\n")


def text_routines():
    # The last byte picks the routine (0 path, 1 number, 2 dates, 3 SplitNumbers, 4 wildcard/hour).
    cases = {
        "path-drive.txt": ("C:\\data\\run01.xbm", 0),
        "path-dot-in-folder.txt": ("C:\\a.b\\file", 0),
        "path-slashes.txt": ("/home/user/run.1.2.XBM", 0),
        "number-exponent.txt": ("  -1.5e-3 ", 1),
        "number-point-only.txt": (".", 1),
        "number-overflow.txt": ("1e999", 1),
        "number-underflow.txt": ("1e-999", 1),
        "number-long-fraction.txt": ("0." + "0" * 400 + "1", 1),
        "date.txt": ("20070723", 2),
        "date-letters.txt": ("ab070723", 2),
        "date-short.txt": ("19", 2),
        "split-comma.txt": ("0.26673, 0.042192", 3),
        "split-many.txt": (" ".join(str(i) for i in range(40)), 3),
        "split-leading-blank.txt": (" 12.5 300,", 3),
        "wildcard.txt": ("run_????.xbm*", 4),
        "hour.txt": ("+9", 4),
    }
    for name, (text, routine) in cases.items():
        put("text_routines", name, text.encode("latin-1") + bytes([routine]))


def text_format():
    # Mask from the front (ends at a lone backslash), then the text; from the
    # end: the double (8 bytes, little-endian), start and width.
    values = [math.nan, math.inf, -math.inf, 2.675, -0.0004, 123456789012345678.0, 5e-324, 1.7976931348623157e308,
              -0.0, 0.5, 9.9999999999999995e14]
    texts = [b"\x82\xa0\x82\xa2ABC\x82", b"ABC" + b"\0" * 5, b"\x81", b"plain text", b"\xe0\x40\xfc\xfc\x9f\x7f"]
    masks = [b"0.00000E+000", b"######0.000", b"00", b"#0.00", b"E"]
    for i, value in enumerate(values):
        text = texts[i % len(texts)]
        mask = masks[i % len(masks)]
        data = mask + b"\\x" + text + bytes([i * 7 % 256, 0, i % 5]) + struct.pack("<d", value)
        put("text_format", f"value-{i:02d}.bin", data)


records()
list_files()
text_routines()
text_format()
