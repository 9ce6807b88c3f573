#include "awardapplicationprintout.h"

#include "applicant/userdatastore.h"
#include "awardrequestkind.h"
#include "log/awardqueries.h"
#include "log/awardvocabulary.h"
#include "platform/printer.h"
#include "storage/database.h"
#include "text/fixedwidth.h"
#include "text/textforms.h"

#include <QSqlRecord>

namespace kx47
{

namespace
{

const QString timesNewRoman = QStringLiteral("Times New Roman");
const QString courierNew = QStringLiteral("Courier New");
constexpr double textSize = 12;
constexpr double listingSize = 8;

QString indent(const QString &text)
{
    return QString(15, QLatin1Char(' ')) + text;
}

} // namespace

AwardApplicationPrintout::AwardApplicationPrintout(const Database &log,
                                                   const AwardRequestKind &kind)
    : m_log(log), m_kind(kind)
{
}

QStringList AwardApplicationPrintout::officeAddress()
{
    return {QStringLiteral("To KX47 Award Manager"), QStringLiteral("P.O. Box 47"),
            QStringLiteral("47047 Borgo Zelvorana, Italy")};
}

QString AwardApplicationPrintout::fill(const QString &text, const QHash<QString, QString> &values)
{
    QString result;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('{'), from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('}'), open);
        if (close < 0)
            break;
        const QString name = text.mid(open + 1, close - open - 1);
        const auto value = values.constFind(name);
        result += text.mid(from, open - from);
        result += value == values.constEnd() ? text.mid(open, close - open + 1) : *value;
        from = close + 1;
    }
    return result + text.mid(from);
}

QList<int> AwardApplicationPrintout::print(Printer &printer, const QString &band,
                                           const QString &mode, int listed) const
{
    // Without a record the applicant's lines are printed empty. Each value stands on its own,
    // whatever marks or line breaks it holds.
    UserDataRecord applicant = UserDataStore(m_log).read();
    for (QString *value : {&applicant.fName, &applicant.sName, &applicant.call, &applicant.address,
                           &applicant.zipCode, &applicant.city, &applicant.prov, &applicant.country,
                           &applicant.email})
        *value = shownValue(*value);
    const QHash<QString, QString> values = {
        {QStringLiteral("fName"), applicant.fName},
        {QStringLiteral("sName"), applicant.sName},
        {QStringLiteral("call"), applicant.call},
        {QStringLiteral("listed"), QString::number(listed)},
        {QStringLiteral("band"), band},
        {QStringLiteral("mode"), mode},
    };
    const QString blank = QStringLiteral(" ");

    printer.setFontName(timesNewRoman);
    printer.setFontSize(textSize);
    printer.setBold(true);
    printer.printLine(blank);
    printer.printLine(blank);
    printer.printLine(m_kind.title);
    printer.setBold(false);
    printer.printLine(blank);
    printer.printLine(blank);
    for (const QString &line : officeAddress())
        printer.printLine(indent(line));
    printer.printLine(blank);
    printer.printLine(blank);
    printer.printLine(fill(m_kind.undersigned, values));
    printer.printLine(indent(applicant.address));
    printer.printLine(indent(applicant.zipCode + blank + applicant.city + blank + applicant.prov));
    printer.printLine(indent(applicant.country));
    printer.printLine(indent(applicant.email));
    printer.printLine(blank);
    for (const QString &line : m_kind.request)
        printer.printLine(fill(line, values));
    printer.printLine(blank);
    const int confirmedSoFar = AwardQueries(m_log).count(band, mode, vocabulary::qslConfirmed) +
                               AwardQueries(m_log).count(band, mode, vocabulary::qslAccredited);
    printer.printLine(fill(m_kind.confirmedSoFar,
                           {{QStringLiteral("confirmed"), QString::number(confirmedSoFar)}}));
    printer.printLine(QString(6, QLatin1Char(' ')));

    printer.setFontSize(listingSize);
    printer.setFontName(courierNew);
    const QList<int> listedQsos = printListing(printer, band, mode, listed);
    printer.setFontName(timesNewRoman);
    printer.printLine(blank);
    printer.setFontSize(textSize);
    for (const QString &line : m_kind.closing)
        printer.printLine(fill(line, values));
    printer.endDocument();
    return listedQsos;
}

QList<int> AwardApplicationPrintout::printListing(Printer &printer, const QString &band,
                                                  const QString &mode, int listed) const
{
    QList<int> numbers;
    QSqlQuery rows = AwardQueries(m_log).confirmed(band, mode);
    const QSqlRecord columns = rows.record();
    const int countColumn = columns.indexOf(QStringLiteral("count"));
    const int callColumn = columns.indexOf(QStringLiteral("call"));
    const int locatorColumn = columns.indexOf(QStringLiteral("WWLocator"));
    const int placeColumn = columns.indexOf(QStringLiteral("place"));
    const int provColumn = columns.indexOf(QStringLiteral("prov"));
    const int dateColumn = columns.indexOf(QStringLiteral("date"));
    const int timeColumn = columns.indexOf(QStringLiteral("time"));
    const QString margin(m_kind.listingIndent, QLatin1Char(' '));
    // The listing ends at the last confirmed QSO when there are fewer than asked for.
    while (numbers.size() < listed && rows.next()) {
        printer.printLine(
            margin + fixedLine({{rows.value(callColumn).toString(), 12},
                                {QStringLiteral("KX47") + rows.value(locatorColumn).toString(), 6},
                                {rows.value(placeColumn).toString(), 29},
                                {rows.value(provColumn).toString(), 3},
                                {dateText(rows.value(dateColumn).toString()), 10},
                                {listTime(rows.value(timeColumn).toString()), 5}}));
        numbers.append(rows.value(countColumn).toInt());
    }
    return numbers;
}

} // namespace kx47
