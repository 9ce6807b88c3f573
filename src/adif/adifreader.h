#pragma once

#include "adifrecord.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;

namespace kx47
{

// Reads an ADIF file record by record, in one pass, in chunks: the file is never held whole in
// memory, so its size does not matter. Both forms are read: ADI (tagged text, with or without a
// header) and ADX (XML); the form is told from the first characters.
//
//     QFile file(path);
//     if (!file.open(QIODevice::ReadOnly)) ... the file cannot be read
//     AdifReader reader(&file);
//     AdifRecord record;
//     while (reader.next(record)) {
//         if (!record.error.isEmpty()) ... record.number could not be read, for record.error
//         progress(reader.bytesRead());
//     }
//     if (!reader.fileError().isEmpty()) ... reading stopped early, for that reason
//
// ADI as real writers produce it is taken: tags in any letter case with an optional type
// (<call:5:s>), comments and line breaks (LF or CRLF) between fields, text after a value
// (<STATE:2>MD // Maryland), a missing header or a missing last <EOR>, values in UTF-8 or
// Latin-1, and lengths counted in UTF-8 bytes or in characters. A record whose fields cannot be
// read (a length that is not a number or does not fit its value, a value cut short by the end of
// the file, fields after the last <EOR>) is handed out with its number and the reason, and
// reading goes on with the next record. An ADX file whose XML is broken is read up to the
// fault, which is then reported as an unreadable record. A file in UTF-16 or UTF-32, or an ADX
// file that declares another encoding Qt knows, is read as UTF-8 would be; an ADX file in an
// encoding Qt does not know is refused (refused(), with the reason in fileError()).
//
// Every file is read in memory of a few hundred kilobytes and in time in proportion to its
// size: values beyond keptValueLimit, comments, CDATA sections, attributes and the document type
// of ADX stream by, and the entities an ADX file declares are expanded only into the kept
// beginning of a value, within a budget for the whole file.
class AdifReader
{
public:
    // The device must be open for reading; the reader reads it from where it stands to its end.
    explicit AdifReader(QIODevice *device);
    ~AdifReader();
    AdifReader(const AdifReader &) = delete;
    AdifReader &operator=(const AdifReader &) = delete;

    // Fills record with the next record of the file; false at the end of the file (record is
    // then left empty). Records without any field (<EOR><EOR>) are passed over.
    bool next(AdifRecord &record);

    // What the header says; both read the header first when no record has been read yet.
    // A LoTW status report: the file's first line is "ARRL Logbook of the World Status Report".
    bool isLotwReport();
    // An eQSL.cc inbox download ("Received eQSLs for ..." in the header text, or a PROGRAMID
    // naming DownloadInBox): every record is a QSL received through eQSL.
    bool isEqslInbox();
    // The header's PROGRAMID, as written; empty when there is none.
    QString programId();
    // A file this program wrote itself (PROGRAMID KX47): its own fields may be trusted.
    bool isKx47Export();
    bool isAdx();

    // Whether what was read so far is ADIF at all: a header, a field or an ADX document. An
    // HTML page, an empty or binary file holds none, and then no record is read either.
    bool holdsAdif() const;
    // The file could not be read at all; fileError() says why.
    bool refused() const { return m_refused; }

    // How far reading has come through the device, in bytes, for a progress bar.
    qint64 bytesRead() const;
    // Why reading stopped before the end of the file (the device failed, or the XML of an ADX
    // file is broken); empty when the whole file was read.
    QString fileError() const { return m_fileError; }

    // The longest value kept of a field the record carries; the rest of a longer value is
    // skipped (a call or locator that long is reported by the mapping anyway).
    static constexpr int keptValueLimit = 4096;

private:
    class Input;
    class Adi;
    class Adx;
    void start();

    QIODevice *m_device;
    bool m_started = false;
    bool m_adx = false;
    bool m_lotw = false;
    bool m_eqslInbox = false;
    bool m_refused = false;
    QString m_programId;
    QString m_fileError;
    std::unique_ptr<Input> m_input;
    std::unique_ptr<Adi> m_adi;
    std::unique_ptr<Adx> m_adxReader;
};

} // namespace kx47
