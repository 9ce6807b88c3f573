-- KX47 Logbook database schema.
-- Two files: data.mdb holds the log and the applicant's record, places.mdb the gazetteer.
-- Text columns compare and sort without regard to letter case. Dates are ISO text
-- "YYYY-MM-DD", times of day "HH:MM".

-- [data.mdb]
CREATE TABLE data (
    count     INTEGER NOT NULL UNIQUE,
    WWLocator TEXT NOT NULL COLLATE NOCASE,
    call      TEXT NOT NULL COLLATE NOCASE,
    date      TEXT NOT NULL,
    time      TEXT NOT NULL,
    place     TEXT NOT NULL COLLATE NOCASE,
    prov      TEXT NOT NULL COLLATE NOCASE,
    mode      TEXT NOT NULL COLLATE NOCASE,
    band      TEXT NOT NULL COLLATE NOCASE,
    qsl       TEXT NOT NULL COLLATE NOCASE
);
-- The counter and the entry rules select by mode, band, QSL state and sub-square.
CREATE INDEX data_mode_band_qsl ON data (mode, band, qsl, WWLocator);
-- The full-log printout runs by sub-square, mode and band.
CREATE INDEX data_wwlocator_mode_band ON data (WWLocator, mode, band, count);
-- The browser searches by call, place and province.
CREATE INDEX data_call ON data (call);
CREATE INDEX data_place ON data (place);
CREATE INDEX data_prov ON data (prov);

CREATE TABLE userData (
    "OM/YL/SWL" TEXT COLLATE NOCASE,
    call        TEXT COLLATE NOCASE,
    fName       TEXT COLLATE NOCASE,
    sName       TEXT COLLATE NOCASE,
    address     TEXT COLLATE NOCASE,
    city        TEXT COLLATE NOCASE,
    prov        TEXT COLLATE NOCASE,
    country     TEXT COLLATE NOCASE,
    ZIPcode     TEXT COLLATE NOCASE,
    WWLocator   TEXT COLLATE NOCASE,
    email       TEXT COLLATE NOCASE,
    count       INTEGER
);

PRAGMA user_version = 1;

-- Each later version is a numbered step from the one before, applied in order to a new file and
-- to a log made by an earlier version of the program.
-- [data.mdb step 2]
-- The browser's first lines in band order come straight from this index.
CREATE INDEX IF NOT EXISTS data_band_mode ON data (band, mode, WWLocator, prov);
PRAGMA user_version = 2;

-- [data.mdb step 3]
-- Confirmations by LoTW and eQSL, kept beside the QSL state (qsl "c" stays a QSL card or what
-- the user chose to count as one): "Y" with the date of the confirmation "YYYY-MM-DD" (empty
-- when the service gave none), or empty texts for none.
ALTER TABLE data ADD COLUMN lotw TEXT NOT NULL DEFAULT '' COLLATE NOCASE;
ALTER TABLE data ADD COLUMN lotwDate TEXT NOT NULL DEFAULT '';
ALTER TABLE data ADD COLUMN eqsl TEXT NOT NULL DEFAULT '' COLLATE NOCASE;
ALTER TABLE data ADD COLUMN eqslDate TEXT NOT NULL DEFAULT '';
-- The sub-squares confirmed electronically, for the award map and the cards still missing.
CREATE INDEX IF NOT EXISTS data_electronic ON data (mode, band, WWLocator)
    WHERE lotw <> '' OR eqsl <> '';
PRAGMA user_version = 3;

-- [places.mdb]
CREATE TABLE places (
    place     TEXT NOT NULL COLLATE NOCASE,
    WWLocator TEXT NOT NULL COLLATE NOCASE,
    prov      TEXT NOT NULL COLLATE NOCASE
);
CREATE INDEX places_wwlocator_place ON places (WWLocator, place);
CREATE INDEX places_place ON places (place);

PRAGMA user_version = 1;

-- [places.mdb step 2]
PRAGMA user_version = 2;

-- [places.mdb step 3]
PRAGMA user_version = 3;
