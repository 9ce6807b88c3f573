#!/usr/bin/env python3
"""Generate the gazetteer source data/places.csv for KX47 Logbook.

Every place name is invented: each one is built from a root of made-up
syllables, optionally with a descriptive prefix or suffix. The output is
deterministic (fixed seed), so running the script again gives the very same
file.

Columns: place, WWLocator (the full six-character sub-square), prov.

Usage: python3 data/make_places.py [output.csv]
"""

import csv
import os
import random
import sys

SEED = 4747
SQUARE = "KX47"
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWX"
PROVINCES = ["AN", "AP", "AR", "FC", "QZ", "PG", "PU", "RN", "RSM"]
MAX_LEN = 50

# Syllables chosen to sound vaguely Italian while staying away from real
# town names; roots are always three or four syllables long.
FIRST = ["BRAN", "MOS", "ZEL", "VOR", "TRI", "GAZO", "FLO", "QUIR", "DRO",
         "SCAL", "PEVE", "NOR", "CAS", "ORSI", "BEL", "RUVI", "SPIN", "TOR",
         "ZAVA", "LUR", "CRIVE", "FEN", "GRO", "MUZZA", "PLAVE", "STRO",
         "VEZZA", "ARGE", "OSMA", "ULVE", "BRU", "ZEVI", "MORLA", "PENTU"]
MIDDLE = ["VO", "TI", "RE", "DI", "NE", "GA", "LO", "MA", "ZU", "RI", "BE",
          "VA", "PU", "TE", "DO", "FA", "SI", "NO", "RO", "LA"]
LAST = ["LE", "RANA", "VELLA", "NOZZA", "GLIO", "SCIA", "RINO", "DERA",
        "VANO", "TORA", "MASCO", "BIGA", "NALDA", "RESSA", "VIZZE", "CURO",
        "LASCA", "ZENA", "PORDO", "GHIRA"]

PREFIXES = ["BORGO", "CASALE", "PIEVE", "POGGIO", "COLLE", "RIVA", "VILLA",
            "TORRE", "PRATO"]
SUFFIXES = ["DI SOTTO", "DI SOPRA", "AL PIANO", "SUL COLLE", "ALTA",
            "BASSA", "VECCHIA", "NUOVA", "DEI MULINI", "DEL FOSSO",
            "IN VALLE", "AL GUADO"]

# A few roots that end with an accented vowel, as place names often do.
ACCENTED_ENDINGS = ["À", "Ù", "È"]

# Names that occur in several sub-squares (some of them in different
# provinces): (name, number of sub-squares).
SHARED_NAMES = [
    ("ZELVORANA", 5),
    ("BORGO TRIMASCO", 4),
    ("PIEVE DI GAZNELLA", 3),
    ("MOSDERA AL PIANO", 3),
    ("CASALE FLORINO", 4),
    ("QUIRVANO", 3),
]

# Names holding an apostrophe.
APOSTROPHE_NAMES = [
    "SANT'ERMINIO",
    "SANT'ORZELIO DEI MULINI",
    "CA' DI SPINVORA",
    "POGGIO DELL'ULVERASCA",
    "SANT'AGRIPPELLA IN VALLE",
    "L'OSMARETTO",
    "COLLE D'ARGUZZENA",
]

# Long names, 46 to 50 characters each.
LONG_NAMES = [
    "SANTA ZAVORESSA DEI MULINI DI SOTTO E DEL FOSSO",
    "BORGO SAN FLORIMUZIO DELLE TRE VALLI DI ZELVORANA",
    "POGGIO DELLA CRIVELLINA E DELLA TORRE DI PLAVESCA",
    "CASALE DEI CARBONAI DI SOPRA E DI SOTTO A GHIRAVO",
    "PIEVE VECCHIA DI QUIRDOMASCO AL GUADO DEI CARBONAI",
]

# Rows whose province is not one of the nine province codes.
ODD_PROVINCES = [
    ("ORZAVIGLIO DI CONFINE", "XX"),
    ("TRAVOSCELLA OLTRE IL FOSSO", "ZZT"),
    ("BELMASCIA ESTERNA", "XX"),
    ("SPINDORELLA", "EE"),
    ("LURVEZZA DI FUORI", "ZZT"),
]

# One name holding a comma, to exercise the CSV quoting.
COMMA_NAMES = ["FENGLIO, FRAZIONE ALTA"]


def make_root(rng):
    parts = [rng.choice(FIRST)]
    for _ in range(rng.choice([1, 1, 2])):
        parts.append(rng.choice(MIDDLE))
    parts.append(rng.choice(LAST))
    root = "".join(parts)
    if rng.random() < 0.01:
        root = root[:-1] + rng.choice(ACCENTED_ENDINGS)
    return root


def make_name(rng):
    root = make_root(rng)
    r = rng.random()
    if r < 0.18:
        return rng.choice(PREFIXES) + " " + root
    if r < 0.36:
        return root + " " + rng.choice(SUFFIXES)
    if r < 0.40:
        return rng.choice(PREFIXES) + " " + root + " " + rng.choice(SUFFIXES)
    return root


def province_map(rng):
    """Assign every sub-square a province: nine regions grown around seeds."""
    seeds = []
    for prov in PROVINCES:
        while True:
            s = (rng.randrange(24), rng.randrange(24))
            if s not in [p for p, _ in seeds]:
                break
        seeds.append((s, prov))
    result = {}
    for x in range(24):
        for y in range(24):
            best = None
            for (sx, sy), prov in seeds:
                # RSM stays a small enclave: its distance is stretched.
                weight = 2.5 if prov == "RSM" else 1.0
                d = ((sx - x) ** 2 + (sy - y) ** 2) * weight
                if best is None or d < best[0]:
                    best = (d, prov)
            result[LETTERS[x] + LETTERS[y]] = best[1]
    return result


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "places.csv")
    rng = random.Random(SEED)
    provs = province_map(rng)
    subsquares = [a + b for a in LETTERS for b in LETTERS]

    used = set()
    rows = {sq: [] for sq in subsquares}

    def add(sq, name, prov):
        assert len(name) <= MAX_LEN, name
        assert name == name.upper(), name
        assert name not in [n for n, _ in rows[sq]], (sq, name)
        rows[sq].append((name, prov))
        used.add(name)

    # Special names first, at fixed random places.
    special = set()
    for name, times in SHARED_NAMES:
        for sq in rng.sample(subsquares, times):
            # Alternate between the local province and another code so the
            # same name shows up in different provinces.
            prov = provs[sq] if rng.random() < 0.5 else rng.choice(PROVINCES)
            add(sq, name, prov)
        special.add(name)
    for name in LONG_NAMES:
        assert 46 <= len(name) <= MAX_LEN, (name, len(name))
    for name in APOSTROPHE_NAMES + LONG_NAMES + COMMA_NAMES:
        sq = rng.choice(subsquares)
        add(sq, name, provs[sq])
        special.add(name)
    for name, prov in ODD_PROVINCES:
        sq = rng.choice(subsquares)
        add(sq, name, prov)
        special.add(name)

    # Then fill every sub-square up to 1..8 places with unique names.
    for sq in subsquares:
        target = max(rng.randint(1, 8), len(rows[sq]))
        target = min(target, 8)
        while len(rows[sq]) < target:
            name = make_name(rng)
            if name in used or len(name) > MAX_LEN:
                continue
            add(sq, name, provs[sq])

    total = sum(len(v) for v in rows.values())
    assert total >= 2000, total
    assert all(1 <= len(v) <= 8 for v in rows.values())

    with open(out, "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f, quoting=csv.QUOTE_MINIMAL, lineterminator="\n")
        w.writerow(["place", "WWLocator", "prov"])
        for sq in subsquares:
            for name, prov in sorted(rows[sq]):
                w.writerow([name, SQUARE + sq, prov])
    print("%s: %d places in %d sub-squares" % (out, total, len(subsquares)))


if __name__ == "__main__":
    main()
