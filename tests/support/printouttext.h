#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kx47::test
{

// A PDF printout read back as text, the way a reader of the paper sees it.
class PrintoutText
{
public:
    // One word with its box on the page, in points from the top left corner.
    struct Word {
        QString text;
        double left, top, right, bottom;
    };
    struct Page {
        double width = 0, height = 0;
        QList<Word> words;
    };

    // True when poppler's pdftotext can be run.
    static bool available();

    // Reads the file; false (with the reason in error()) when pdftotext fails.
    bool read(const QString &pdfPath);
    QString error() const { return m_error; }

    // The text laid out on a grid of 4.8 points, the width of one Courier New character at
    // 8 points, page by page; trailing blanks are dropped by pdftotext.
    const QList<QStringList> &pages() const { return m_pages; }
    QStringList lines() const; // every page, one after the other
    const QList<Page> &boxes() const { return m_boxes; }

    // The first grid line, over all pages, that holds the text once its runs of blanks are
    // made single; -1 when there is none.
    int lineOf(const QString &text) const;

private:
    QList<QStringList> m_pages;
    QList<Page> m_boxes;
    QString m_error;
};

// The lines as printed with a fixed-pitch font, as they come back from the grid: every line
// shifted right by the same number of columns (the left margin), trailing blanks dropped.
// Returns the shift, or -1 when the lines do not all stand at one shift.
int commonShift(const QStringList &printed, const QStringList &readBack);

} // namespace kx47::test
