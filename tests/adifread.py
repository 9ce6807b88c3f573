#!/usr/bin/env python3
"""A second reader of the ADIF files the program writes, apart from its own: ADI by the
lengths of the values in bytes (the benchmark's one-pass reader), ADX with xml.etree.

    adifread.py FILE      prints the records as JSON: a list of {field: text}

An ADX application field <APP PROGRAMID="P" FIELDNAME="F"> is named APP_P_F, as in ADI. A
value that is not UTF-8, or a file that is neither form, ends the script with an error.
"""
import json
import pathlib
import sys
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "bench"))
from adif_reader import records as adi_records  # noqa: E402


def adx_records(path):
    root = ElementTree.parse(path).getroot()
    if root.tag != "ADX":
        raise ValueError("not an ADX document")
    for element in root.iterfind("RECORDS/RECORD"):
        record = {}
        for field in element:
            name = field.tag.upper()
            if name == "APP":
                name = "APP_%s_%s" % (field.get("PROGRAMID"), field.get("FIELDNAME"))
            record[name.upper()] = field.text or ""
        yield record


def main():
    path = sys.argv[1]
    if path.lower().endswith(".adx"):
        found = list(adx_records(path))
    else:
        with open(path, "rb") as f:
            data = f.read()
        found = [{name.decode("ascii"): value.decode("utf-8") for name, value in r.items()}
                 for r in adi_records(data)]
    json.dump(found, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
