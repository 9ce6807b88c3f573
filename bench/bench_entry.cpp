// Timings of QSO entry on a log of 100,000 QSOs and a gazetteer of 20,000 places: the database
// work of one "Submit" (rules, number, append), the rebuild of the place list on a change of
// the sub-square, and the handling of one typed character in each field. Prints medians.
#include "gazetteer/placelookup.h"
#include "log/logstore.h"
#include "log/qsonumber.h"
#include "platform/dialogs.h"
#include "qso/entrymode.h"
#include "qso/qsoentry.h"
#include "qso/qsoform.h"
#include "qso/qsosubmission.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

using namespace kx47;

namespace
{

constexpr int logSize = 100000;
constexpr int gazetteerSize = 20000;

// Answers every question Yes and shows nothing.
class SilentDialogs : public Dialogs
{
public:
    MessageAnswer message(const QString &, MessageIcon, MessageButtons buttons,
                          const QString &) override
    {
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    QString input(const QString &) override { return QString(); }
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
};

QString letters(int subSquare)
{
    return QString(QLatin1Char('A' + subSquare / 24 % 24)) + QLatin1Char('A' + subSquare % 24);
}

bool makeFile(Database &db, const QString &path, Schema::File file)
{
    QFile(path).open(QIODevice::WriteOnly);
    QString error;
    if (!db.open(path, &error) || !Schema::apply(db.handle(), file, &error)) {
        std::fprintf(stderr, "cannot make %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    return true;
}

// A log spread over every sub-square, band and mode, mostly worked, some confirmed, a few
// accredited.
void fillLog(const Database &log)
{
    const QStringList bands = QsoForm::bands;
    const QStringList modes = QsoForm::modes;
    QRandomGenerator random(47);
    log.beginTransaction();
    for (int count = 1; count <= logSize; ++count) {
        const int roll = random.bounded(100);
        const QString qsl = roll < 2    ? QStringLiteral("a")
                            : roll < 20 ? QStringLiteral("c")
                                        : QStringLiteral("w");
        log.run(QStringLiteral("insert into data (count, WWLocator, call, date, time, place, "
                               "prov, mode, band, qsl) values (?,?,?,?,?,?,?,?,?,?)"),
                {count, letters(random.bounded(576)), QStringLiteral("IK%1AB").arg(count % 10),
                 QStringLiteral("2004-12-07"), QStringLiteral("09:30"),
                 QStringLiteral("PLACE%1").arg(random.bounded(gazetteerSize)),
                 QsoForm::provinces[random.bounded(9)], modes[random.bounded(modes.size())],
                 bands[random.bounded(bands.size())], qsl});
    }
    log.commit();
}

void fillGazetteer(const Database &places)
{
    places.beginTransaction();
    for (int i = 0; i < gazetteerSize; ++i)
        places.run(QStringLiteral("insert into places (place, WWLocator, prov) values (?,?,?)"),
                   {QStringLiteral("PLACE%1").arg(i), QStringLiteral("KX47") + letters(i % 576),
                    QsoForm::provinces[i % 9]});
    places.commit();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Medians in milliseconds of the wall-clock time and of this process's processor time; the
// wall-clock time of a write includes waiting for the disk, which other programs disturb.
struct Medians {
    double wall;
    double cpu;
};

// Runs the step `times` times.
Medians measureBoth(int times, const std::function<void(int)> &step)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    QElapsedTimer timer;
    for (int i = 0; i < times; ++i) {
        const double cpuStart = processorMs();
        timer.start();
        step(i);
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(processorMs() - cpuStart);
    }
    return {median(wall), median(cpu)};
}

double measure(int times, const std::function<void(int)> &step)
{
    return measureBoth(times, step).wall;
}

QsoEntry entryFor(int i)
{
    QsoEntry e;
    e.locator = letters(i * 7 % 576);
    e.call = QStringLiteral("IW%1XYZ").arg(i % 10);
    e.day = QStringLiteral("7");
    e.month = QStringLiteral("12");
    e.year = QStringLiteral("04");
    e.time = QStringLiteral("0930");
    e.place = QStringLiteral("PLACE%1").arg(i);
    e.prov = QStringLiteral("AN");
    e.mode = QsoForm::modes[i % 4];
    e.band = QsoForm::bands[i % 6];
    e.confirmed = i % 2 == 0;
    return e;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    Database log(QStringLiteral("bench-log"));
    Database places(QStringLiteral("bench-places"));
    if (!makeFile(log, folder.filePath(QStringLiteral("data.mdb")), Schema::File::Log) ||
        !makeFile(places, folder.filePath(QStringLiteral("places.mdb")), Schema::File::Places))
        return 1;
    fillLog(log);
    fillGazetteer(places);
    // As the program keeps its log: write-ahead journal, folded into the file after each change.
    log.useWriteAheadJournal();
    std::printf("log of %d QSOs, gazetteer of %d places\n", logSize, gazetteerSize);

    SilentDialogs dialogs;
    QsoSubmission submission(log, dialogs, EntryMode::insertQso());
    const Medians submit = measureBoth(300, [&](int i) { submission.submit(entryFor(i)); });
    std::printf("Submit, database work (checks, rules, number, append): median %.3f ms "
                "(processor %.3f ms)\n",
                submit.wall, submit.cpu);
    const LogStore store(log);
    const Medians reads = measureBoth(300, [&](int i) {
        const QsoRecord record = entryFor(i).record();
        store.accreditedExists(record.locator, record.band, record.mode);
        store.confirmedHolder(record.locator, record.band, record.mode);
        nextQsoNumber(log);
    });
    std::printf("  of which the rules and the number (reads):         median %.3f ms "
                "(processor %.3f ms)\n",
                reads.wall, reads.cpu);

    // Folding the journal into data.mdb after a Submit, done on a thread of its own while the
    // user reads "QSO saved": one row written and committed, then the checkpoint alone timed.
    log.waitUntilJournalFolded();
    std::vector<double> folding;
    QElapsedTimer foldTimer;
    for (int i = 0; i < 300; ++i) {
        QSqlQuery query(log.handle());
        query.exec(QStringLiteral("begin immediate"));
        query.exec(QStringLiteral("update data set time = '09:3%1' where count = %2")
                       .arg(i % 10)
                       .arg(i + 1));
        query.exec(QStringLiteral("commit"));
        foldTimer.start();
        log.checkpoint();
        folding.push_back(foldTimer.nsecsElapsed() / 1e6);
    }
    std::printf("  then, on its own thread, folding the journal in:   median %.3f ms\n",
                median(folding));

    // The same work without waiting for the disk to confirm each commit and checkpoint (the
    // program itself keeps synchronous = normal): shows how much of the figure above is the
    // disk.
    log.run(QStringLiteral("PRAGMA synchronous = OFF"));
    const Medians unsynced =
        measureBoth(300, [&](int i) { submission.submit(entryFor(i + 1000)); });
    log.run(QStringLiteral("PRAGMA synchronous = NORMAL"));
    std::printf("  the same without waiting for the disk:             median %.3f ms "
                "(processor %.3f ms)\n",
                unsynced.wall, unsynced.cpu);

    PlaceLookup lookup(places);
    const double listOnly = measure(500, [&](int i) { lookup.placesOf(letters(i % 576)); });
    std::printf("place list query of one sub-square:                   median %.3f ms\n", listOnly);

    QWidget window;
    QsoForm form(EntryMode::insertQso(), lookup, &window);
    window.show();
    auto *locator = form.findChild<QLineEdit *>(QStringLiteral("txtWWLocator"));
    auto *call = form.findChild<QLineEdit *>(QStringLiteral("txtCall"));
    auto *time = form.findChild<QLineEdit *>(QStringLiteral("txtTime"));
    auto *place = form.findChild<QComboBox *>(QStringLiteral("comboPlace"));
    place->setEditText(QStringLiteral("PLACE7"));
    const double rebuild = measure(500, [&](int i) { locator->setText(letters(i % 576)); });
    std::printf("place list rebuilt on a change of the sub-square:     median %.3f ms\n", rebuild);

    auto typed = [&](QWidget *field, const char *keys) {
        const int n = static_cast<int>(std::strlen(keys));
        return measure(400, [&, n](int i) {
            if (i % n == 0) {
                if (auto *edit = qobject_cast<QLineEdit *>(field))
                    edit->setText(QString());
                else
                    place->setEditText(QString());
            }
            QTest::keyClick(field, keys[i % n]);
        });
    };
    std::printf("typed character, sub-square field:                    median %.3f ms\n",
                typed(locator, "ab"));
    std::printf("typed character, call field:                          median %.3f ms\n",
                typed(call, "ik4abcdefgh"));
    std::printf("typed character, time field:                          median %.3f ms\n",
                typed(time, "093"));
    std::printf("typed character, place field:                         median %.3f ms\n",
                typed(place, "place123"));
    return 0;
}
