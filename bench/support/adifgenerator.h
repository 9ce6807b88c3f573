#pragma once

#include <QString>

namespace kx47::bench
{

// Writes ADI files of the kind an everyday logger exports and LoTW sends, for the ADIF
// benchmarks: records of 20 to 30 fields (call, date, times, band, frequency, mode and submode,
// reports, name, QTH, country and zones, station, confirmations of paper, LoTW and eQSL), a
// share of them in the sub-squares of KX47 (some only to the four-character square), every
// ADIF band and mode including satellites and the bands outside the award, and the untidiness
// of real files: lowercase tags, type indicators, CRLF lines, comments after values, QTHs in
// Latin-1 and in UTF-8 counted in characters, a few records with a broken length, an impossible
// date or an overlong call, and no <EOR> after the last record. The same options always give
// the same file, written record by record (its size does not matter).
class AdifGenerator
{
public:
    struct Options {
        int records = 1000000;
        double kx47Share = 0.10; // records with a KX47 locator of six characters
        bool quirks = true;      // the untidiness above; false: tidy ASCII ADIF 3.1
        bool lotwReport = false; // a LoTW status report: its header and only LoTW confirmations
        unsigned seed = 47;
    };

    explicit AdifGenerator(const Options &options) : m_options(options) {}

    // Writes the file; false, with the reason, when it cannot be written.
    bool write(const QString &path, QString *error = nullptr) const;

    // After write(): how many records the file has with a six-character KX47 locator.
    int kx47Records() const { return m_kx47; }

private:
    Options m_options;
    mutable int m_kx47 = 0;
};

} // namespace kx47::bench
