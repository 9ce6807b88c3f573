#include "logfactory.h"

#include "storage/schema.h"
#include "text/textforms.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVector>
#include <cmath>
#include <random>

namespace kx47::bench
{

namespace
{

const QString insertQso = QStringLiteral(
    "insert into data (count, WWLocator, call, date, time, place, prov, mode, band, qsl) "
    "values (?,?,?,?,?,?,?,?,?,?)");
const QString insertPlace =
    QStringLiteral("insert into places (place, WWLocator, prov) values (?,?,?)");

const QStringList provinces{"AN", "AP", "AR", "FC", "QZ", "PG", "PU", "RN", "RSM"};
const QStringList bands{"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"};
const QStringList modes{"MIXED", "SSB", "CW", "DIGITAL"};
const QStringList qslStates{"w", "c", "a"};
// Shares in per cent, in the order of the lists above.
const QVector<int> bandShares{45, 15, 20, 10, 5, 5};
const QVector<int> modeShares{25, 35, 25, 15};
const QVector<int> qslShares{50, 40, 10};

const int placesPerSubSquare = 5;
const int callPool = 25000;

using Random = std::mt19937;

int pick(Random &random, int below)
{
    return std::uniform_int_distribution<int>(0, below - 1)(random);
}

int pickShare(Random &random, const QVector<int> &shares)
{
    int roll = pick(random, 100);
    for (int i = 0; i < shares.size(); ++i) {
        if (roll < shares[i])
            return i;
        roll -= shares[i];
    }
    return shares.size() - 1;
}

QString letters(Random &random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar('A' + pick(random, 26));
    return text;
}

// Calls of 4 to 15 characters, most of 5 or 6; long ones carry a portable suffix or a
// foreign prefix.
QStringList makeCalls(Random &random)
{
    const QStringList prefixes{"I", "IK", "IZ", "IW", "IU", "IV", "HB9", "DL", "F", "OE", "S5"};
    const QStringList suffixes{"/P", "/M", "/QRP", "/MM", "/AM"};
    QStringList calls{LogFactory::frequentCall()};
    while (calls.size() < callPool) {
        QString call = prefixes[pick(random, prefixes.size())] + QString::number(pick(random, 10)) +
                       letters(random, 1 + pick(random, 3));
        const int roll = pick(random, 100);
        if (roll < 10)
            call += suffixes[pick(random, suffixes.size())];
        else if (roll < 14)
            call = QStringLiteral("HB9/") + call + suffixes[pick(random, suffixes.size())];
        if (call.size() < 4)
            call += letters(random, 4 - call.size());
        calls << call.left(15);
    }
    return calls;
}

// Place names of 3 to 50 characters made of Italian-sounding words.
QString makePlace(Random &random)
{
    const QStringList starts{"SAN ", "SANTA ", "MONTE ", "CASTEL ", "BORGO ", "VILLA ", "",
                             "",     "",       "",       "PIEVE ",  "COLLE ", "SANT'"};
    const QStringList syllables{"BRA", "NVO", "LE", "AL", "TO",   "MI", "RA", "CO", "VA",
                                "RO",  "SE",  "NA", "TI", "GLIA", "NO", "DO", "FI", "LU"};
    const QStringList tails{" DI SOPRA",        " DI SOTTO",
                            " IN VAL D'ALBERA", " NUOVO",
                            " MARITTIMA",       " AL MONTE DELLE GRAZIE E SAN LORENZO VECCHIO"};
    QString place = starts[pick(random, starts.size())];
    const int words = 1 + pick(random, 3);
    for (int w = 0; w < words; ++w) {
        if (w > 0)
            place += QLatin1Char(' ');
        const int parts = 1 + pick(random, 4);
        for (int p = 0; p < parts; ++p)
            place += syllables[pick(random, syllables.size())];
    }
    if (pick(random, 100) < 20)
        place += tails[pick(random, tails.size())];
    return place.left(50);
}

struct Place {
    QString name;
    QString prov;
};

bool makeFile(const QString &path, Schema::File file, const QString &connection,
              const std::function<bool(QSqlDatabase &)> &fill, QString *error)
{
    QFile::remove(path);
    QFile(path).open(QIODevice::WriteOnly);
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QString reason;
        if (!db.open())
            reason = db.lastError().text();
        else if (Schema::apply(db, file, &reason) && db.transaction()) {
            done = fill(db) && db.commit();
            if (!done)
                reason = db.lastError().text();
        }
        if (!done && error)
            *error = reason;
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return done;
}

} // namespace

LogFactory::LogFactory(int qsos, unsigned seed) : m_qsos(qsos), m_seed(seed) {}

QString LogFactory::frequentCall()
{
    return QStringLiteral("IK0AAA");
}

QString LogFactory::frequentPlace()
{
    return QStringLiteral("SAN MARCO DI SOPRA");
}

bool LogFactory::build(const QString &folder, QString *error) const
{
    Random random(m_seed);
    QDir().mkpath(folder);

    // The gazetteer: a few places in every sub-square, each with its province.
    QVector<QString> subSquares;
    QVector<QVector<Place>> placesOf;
    for (int first = 0; first < 24; ++first) {
        for (int second = 0; second < 24; ++second) {
            subSquares << QString(QChar('A' + first)) + QChar('A' + second);
            const QString prov = provinces[(first / 3 + second / 8) % provinces.size()];
            QVector<Place> places;
            for (int p = 0; p < placesPerSubSquare; ++p)
                places.append({makePlace(random), prov});
            placesOf << places;
        }
    }
    placesOf[0][0].name = frequentPlace();

    const bool placesWritten = makeFile(
        QDir(folder).filePath(QStringLiteral("places.mdb")), Schema::File::Places,
        QStringLiteral("logfactory-places"),
        [&](QSqlDatabase &db) {
            QSqlQuery insert(db);
            insert.prepare(insertPlace);
            for (int s = 0; s < subSquares.size(); ++s) {
                for (const Place &place : placesOf[s]) {
                    insert.addBindValue(place.name);
                    insert.addBindValue(QStringLiteral("KX47") + subSquares[s]);
                    insert.addBindValue(place.prov);
                    if (!insert.exec())
                        return false;
                }
            }
            return true;
        },
        error);
    if (!placesWritten)
        return false;

    const QStringList calls = makeCalls(random);
    return makeFile(
        QDir(folder).filePath(QStringLiteral("data.mdb")), Schema::File::Log,
        QStringLiteral("logfactory-log"),
        [&](QSqlDatabase &db) {
            QSqlQuery insert(db);
            insert.prepare(insertQso);
            std::uniform_real_distribution<double> unit(0.0, 1.0);
            for (int count = 1; count <= m_qsos; ++count) {
                const int s = pick(random, subSquares.size());
                const Place &place = placesOf[s][pick(random, placesPerSubSquare)];
                // A few stations are worked again and again, most only once or twice.
                const int callIndex =
                    std::min(callPool - 1, int(callPool * std::pow(unit(random), 1.5)));
                insert.addBindValue(count);
                insert.addBindValue(subSquares[s]);
                insert.addBindValue(calls[callIndex]);
                insert.addBindValue(storedDate(1 + pick(random, 28), 1 + pick(random, 12),
                                               1990 + pick(random, 35)));
                insert.addBindValue(storedTime(pick(random, 24), pick(random, 60)));
                insert.addBindValue(place.name);
                insert.addBindValue(place.prov);
                insert.addBindValue(modes[pickShare(random, modeShares)]);
                insert.addBindValue(bands[pickShare(random, bandShares)]);
                insert.addBindValue(qslStates[pickShare(random, qslShares)]);
                if (!insert.exec())
                    return false;
            }
            return true;
        },
        error);
}

} // namespace kx47::bench
