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


CSV_HEAD = ('"Spectrum export","MCA"\r\n"Sample 1, 15 GPa",06/09/09,08:56:44,{live},{real}\r\n'
            '"Preset","Real"\r\n"Gain",1\r\n"Channels"\r\n0,1,{n}\r\n"EDX-00008","beamline"\r\n'
            '"Channel","Counts"\r\n')


def csv_source(n=16, live="266.3", real="300", counts=None):
    counts = counts or [400 + i for i in range(max(n, 0))]
    rows = "".join(f'"{i}",' + ",".join(str(c) for c in counts[i:i + 10]) + "\r\n" for i in range(0, len(counts), 10))
    return CSV_HEAD.format(live=live, real=real, n=n) + rows


def csv_sources():
    good = csv_source()
    put("csv", "valid-16-channels.csv", good)
    put("csv", "real-time-zero.csv", csv_source(real="0"))
    put("csv", "too-many-channels.csv", csv_source(n=8193, counts=[1] * 20))
    put("csv", "negative-channels.csv", csv_source(n=-3, counts=[1]))
    put("csv", "count-beyond-32-bits.csv", csv_source(counts=[99999999999] + [1] * 15))
    put("csv", "fewer-counts-than-channels.csv", csv_source(n=40))
    put("csv", "unclosed-quote.csv", good.replace('"Sample 1, 15 GPa"', '"Sample 1, 15 GPa'))
    put("csv", "lf-line-ends.csv", good.replace("\r\n", "\n"))
    put("csv", "cut-in-header.csv", good[:90])
    put("csv", "empty.csv", "")


NPD_HEAD = ("Record length,27\r\nSample name,MgSiO3 run 8, 15 GPa\r\nOperator name,beamline\r\n"
            "Profile number,EDX-00008\r\nTime,2006-09-09 08:56:44\r\nMeasurement mode,Live\r\n"
            "EGC0,2.66711E-001\r\nEGC1,4.21924E-002\r\nEGC2,0.00000E+000\r\n2Theta(deg),5.0010\r\n"
            "Live time(sec),266.33\r\nReal time(sec),300.00\r\nDead time(%),11.22483\r\n"
            "Temperature(K),378.15\r\nPress load(ton),140.00\r\nRing status,current(mA)=99.42\r\n"
            "Beam intensity,1.25\r\nCounting rate,1523.00\r\n"
            "Press conditions, X(mm)=1.500 Y(mm)=-2.000 Z(mm)=0.250 PHI(deg)=90.000\r\n"
            "Incident slit conditions, V(mm)=0.050 H(mm)=0.200\r\n"
            "Receiving slit conditions, V(mm)=0.050 H(mm)=0.200 Collimator(mm)=0.100\r\n"
            "Heating conditions, V(V)=3.20 C(A)=41.50 P(W)=132.80 R(OHM)=0.077\r\n"
            "Comment,\x82\xa0\x82\xa2 sample\r\nRam Stroke,0.00\r\n,\r\n,\r\n,\r\n")


def npd(n=8, data_lines=None):
    lines = data_lines if data_lines is not None else n
    body = "".join(f"{i + 1},{0.3 + 0.04 * i:.4f},{400 + i}\r\n" for i in range(lines))
    return NPD_HEAD + f"Data length, {n}\r\nCounting sec, 266.326\r\n" + body


def npd_sources():
    good = npd()
    put("npd", "valid-8-channels.npd", good)
    put("npd", "too-many-channels.npd", npd(n=8193, data_lines=4))
    put("npd", "negative-channels.npd", npd(n=-2, data_lines=1))
    put("npd", "data-length-40000.npd", npd(n=40000, data_lines=2))
    put("npd", "ends-in-header.npd", good[:300])
    put("npd", "time-without-colons.npd", good.replace("08:56:44", "085644"))
    put("npd", "items-without-equals.npd", good.replace("V(mm)=0.050 H(mm)=0.200\r\n", "V(mm)0.050 H(mm)\r\n"))
    put("npd", "lf-line-ends.npd", good.replace("\r\n", "\n"))
    put("npd", "empty.npd", "")


def cnf_sources():
    sample = ROOT.parent.parent / "samples" / "analyser.cnf"
    if not sample.exists():
        return
    good = sample.read_bytes()
    put("cnf", "valid-sample.cnf", good)
    put("cnf", "one-byte-short.cnf", good[:-1])
    put("cnf", "section-table.cnf", good + b"\0")  # not the template: read through its section table
    shifted = bytearray(good)
    shifted[11] = 0xB6  # the shifted layout's byte in a file of the plain size: not the template
    put("cnf", "layout-byte-of-the-other-size.cnf", bytes(shifted))
    head = bytearray(4608)
    struct.pack_into("<I", head, 10, 4608 + len(good))  # the template's size: byte 11 becomes 0xB6
    put("cnf", "shifted-base.cnf", bytes(head) + good)
    put("cnf", "empty.cnf", b"")


def writer_records():
    # Two bytes channel count (little-endian), then a record file.
    put("writers", "sample-1024.bin", struct.pack("<h", 1024) + SAMPLE)
    put("writers", "nonfinite.bin", struct.pack("<h", 4) + record(4, [0, -1, 2**31 - 1, -2**31],
                                                                  [math.nan, math.inf, -math.inf]))
    put("writers", "negative-channels.bin", struct.pack("<h", -5) + record(0))
    put("writers", "all-channels-no-counts.bin", struct.pack("<h", 8192) + record(0))
    put("writers", "sjis-title.bin", struct.pack("<h", 2) + record(2, [5, 6], title=b"\x82\xa0" * 31 + b"A\x82"))


records()
list_files()
csv_sources()
npd_sources()
cnf_sources()
writer_records()
text_routines()
text_format()
