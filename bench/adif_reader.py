#!/usr/bin/env python3
"""A one-pass ADI reader with a regular expression, the way a script would read an ADIF file,
as the anchor of the ADIF reading benchmark. It reads the file in one pass (tag by tag, each
value by its length), keeps every field of a record in a dict and classifies the record as the
program does: KX47 sub-square, band category, mode category, confirmation.

    adif_reader.py FILE      prints the records, the KX47 records and the seconds taken
"""
import re
import sys
import time

TAG = re.compile(rb"<([A-Za-z0-9_]+)(?::(\d+)(?::[A-Za-z])?)?>")

BANDS = {
    b"160M": "HF", b"80M": "HF", b"60M": "HF", b"40M": "HF", b"30M": "HF", b"20M": "HF",
    b"17M": "HF", b"15M": "HF", b"12M": "HF", b"10M": "HF", b"6M": "50 MHz", b"8M": "VHF",
    b"5M": "VHF", b"4M": "VHF", b"2M": "VHF", b"1.25M": "VHF", b"70CM": "UHF", b"33CM": "UHF",
    b"23CM": "UHF", b"13CM": "UHF", b"9CM": "SHF", b"6CM": "SHF", b"3CM": "SHF",
    b"1.25CM": "SHF", b"6MM": "SHF", b"4MM": "SHF", b"2.5MM": "SHF", b"2MM": "SHF",
    b"1MM": "SHF", b"SUBMM": "SHF",
}
EDGES = [(1.8, 2.0, "HF"), (3.5, 4.0, "HF"), (5.06, 5.45, "HF"), (7.0, 7.3, "HF"),
         (10.1, 10.15, "HF"), (14.0, 14.35, "HF"), (18.068, 18.168, "HF"), (21.0, 21.45, "HF"),
         (24.89, 24.99, "HF"), (28.0, 29.7, "HF"), (40.0, 45.0, "VHF"), (50.0, 54.0, "50 MHz"),
         (54.000001, 69.9, "VHF"), (70.0, 71.0, "VHF"), (144.0, 148.0, "VHF"),
         (222.0, 225.0, "VHF"), (420.0, 450.0, "UHF"), (902.0, 928.0, "UHF"),
         (1240.0, 1300.0, "UHF"), (2300.0, 2450.0, "UHF"), (3300.0, 7500000.0, "SHF")]
PHONE = {b"SSB", b"AM", b"FM", b"DIGITALVOICE", b"USB", b"LSB"}


def classify(record):
    grid = record.get(b"GRIDSQUARE", b"").strip().upper()
    if len(grid) < 6 or not grid.startswith(b"KX47") or not (
            65 <= grid[4] <= 88 and 65 <= grid[5] <= 88):
        return None
    if record.get(b"PROP_MODE", b"").upper() == b"SAT" or record.get(b"SAT_NAME"):
        band = "SAT"
    else:
        band = BANDS.get(record.get(b"BAND", b"").strip().upper())
        if band is None:
            try:
                mhz = float(record.get(b"FREQ", b""))
                band = next((c for lo, hi, c in EDGES if lo <= mhz <= hi), None)
            except ValueError:
                band = None
    if band is None:
        return None
    mode = record.get(b"MODE", b"").strip().upper()
    mode = "CW" if mode == b"CW" else "SSB" if mode in PHONE else "DIGITAL"
    confirmed = (record.get(b"QSL_RCVD", b"").upper() in (b"Y", b"V")
                 or record.get(b"LOTW_QSL_RCVD", b"").upper() in (b"Y", b"V"))
    return (grid[4:6].decode(), band, mode, "c" if confirmed else "w")


def records(data):
    """Yields each record of ADI bytes as a dict of its fields (names in capitals, values as
    the bytes their lengths count); the header's fields are dropped at <EOH>."""
    pos = 0
    record = {}
    search = TAG.search
    while True:
        match = search(data, pos)
        if match is None:
            break
        name, length = match.group(1), match.group(2)
        pos = match.end()
        if length is None:
            tag = name.upper()
            if tag == b"EOR":
                if record:
                    yield record
                record = {}
            elif tag == b"EOH":
                record = {}
            continue
        n = int(length)
        record[name.upper()] = data[pos:pos + n]
        pos += n
    if record:
        yield record


def read(data):
    count = kx47 = 0
    for record in records(data):
        count += 1
        if classify(record):
            kx47 += 1
    return count, kx47


def main():
    start = time.perf_counter()
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    records, kx47 = read(data)
    seconds = time.perf_counter() - start
    print(f"{records} {kx47} {seconds:.3f}")


if __name__ == "__main__":
    main()
