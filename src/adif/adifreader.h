#pragma once

#include "adifrecord.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;
class QXmlStreamReader;

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
// read (a length that is not a number, a value cut short by the end of the file) is handed out
// with its number and the reason, and reading goes on with the next record. An ADX file whose
// XML is broken is read up to the fault, which is then reported as an unreadable record.
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
    // The header's PROGRAMID, as written; empty when there is none.
    QString programId();
    // A file this program wrote itself (PROGRAMID KX47): its own fields may be trusted.
    bool isKx47Export();
    bool isAdx();

    // How far reading has come through the device, in bytes, for a progress bar.
    qint64 bytesRead() const;
    // Why reading stopped before the end of the file (the device failed, or the XML of an ADX
    // file is broken); empty when the whole file was read.
    QString fileError() const { return m_fileError; }

    // The longest value kept of a field the record carries; the rest of a longer value is
    // skipped (a call or locator that long is reported by the mapping anyway).
    static constexpr int keptValueLimit = 4096;

private:
    class Adi;
    class Adx;
    void start();

    QIODevice *m_device;
    bool m_started = false;
    bool m_adx = false;
    bool m_lotw = false;
    QString m_programId;
    QString m_fileError;
    std::unique_ptr<Adi> m_adi;
    std::unique_ptr<Adx> m_adxReader;
};

} // namespace kx47
