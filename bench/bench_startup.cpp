// Start-up on a log of 100,000 QSOs (or as many as asked): from the program's start to its main
// window painted, after a clean end (its pages in the page cache, and dropped from it), at the
// first start of a day (the day's backup runs after the window) and after an unclean end (the
// whole file is checked before the window); beside them, in the same run, what the start did
// before the window until now: the sqlite3 tool's check of the whole file and the copy with
// VACUUM INTO. Every figure line carries the load average of the machine when it was taken.
//
//     bench_startup [qsos [folder]]     (the log is kept in folder when one is given)
#include "benchapp.h"
#include "benchlog.h"
#include "figures.h"
#include "sqlitecli.h"
#include "timing.h"

#include "backup/backups.h"
#include "backup/logmarks.h"
#include "storage/database.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <fcntl.h>
#include <unistd.h>

using namespace kx47;
using namespace kx47::bench;

namespace
{

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

// The pages of a file leave the page cache, as after a reboot (for this file only).
void dropFromPageCache(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

class Painted : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

struct Start {
    Timing::Run painted;
    double backgroundMs; // until the work after the window is done
};

enum class Before { CleanEnd, CleanEndDropped, FirstOfDay, UncleanEnd, UncleanEndDropped };

// One start of the program on the folder, after the last run left it as `before` says.
Start startOnce(const QString &folder, const QString &logPath, Before before)
{
    const QString backups = QDir(folder).filePath(QStringLiteral("Backups"));
    if (before == Before::FirstOfDay) {
        for (const QString &name : QDir(backups).entryList(QDir::Files))
            QFile::remove(QDir(backups).filePath(name));
    }
    Start start{};
    {
        BenchApp bench(folder);
        if (before == Before::UncleanEnd || before == Before::UncleanEndDropped)
            LogMarks(logPath).markRunning();
        if (before == Before::CleanEndDropped || before == Before::UncleanEndDropped) {
            dropFromPageCache(logPath);
            dropFromPageCache(QDir(folder).filePath(QStringLiteral("places.mdb")));
        }
        Painted painted;
        QElapsedTimer wall;
        const clock_t cpu = clock();
        wall.start();
        if (!bench.start())
            return start;
        bench.app().mainWindow()->installEventFilter(&painted);
        while (!painted.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents,
                                            5);
        start.painted = {wall.nsecsElapsed() / 1e6, double(clock() - cpu) * 1000 / CLOCKS_PER_SEC};
        bench.app().waitForStartUpWork();
        start.backgroundMs = wall.nsecsElapsed() / 1e6;
    }
    return start;
}

void line(const QString &what, const QVector<Start> &starts, bool background)
{
    QVector<double> wall;
    QVector<double> cpu;
    QVector<double> after;
    for (const Start &start : starts) {
        wall << start.painted.wall;
        cpu << start.painted.cpu;
        after << start.backgroundMs;
    }
    print(
        QStringLiteral("  %1 %2 %3 %4   load %5")
            .arg(what, -46)
            .arg(Timing::median(wall), 10, 'f', 1)
            .arg(Timing::median(cpu), 10, 'f', 1)
            .arg(background ? QString::number(Timing::median(after), 'f', 1) : QStringLiteral("-"),
                 12)
            .arg(loadAverage()));
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    BenchLog log(argc, argv);
    if (!log.build())
        return 1;
    const QString folder = log.folder();
    const QString logPath = log.logPath();
    const int runs = log.qsos() > 300000 ? 3 : 5;

    // The first start checks the new log whole and makes the day's backup.
    startOnce(folder, logPath, Before::UncleanEnd);

    print(QStringLiteral("\nStart-up: main window painted (median of %1 starts)\n  %2 %3 %4 %5")
              .arg(runs)
              .arg(QString(), -46)
              .arg(QStringLiteral("wall ms"), 10)
              .arg(QStringLiteral("cpu ms"), 10)
              .arg(QStringLiteral("all done ms"), 12));
    const struct {
        const char *what;
        Before before;
        bool background;
    } cases[] = {
        {"after a clean end", Before::CleanEnd, false},
        {"after a clean end, log not in page cache", Before::CleanEndDropped, false},
        {"first start of the day (backup after window)", Before::FirstOfDay, true},
        {"after an unclean end (whole check first)", Before::UncleanEnd, false},
        {"the same, log not in page cache", Before::UncleanEndDropped, false},
    };
    for (const auto &c : cases) {
        QVector<Start> starts;
        for (int i = 0; i < runs; ++i)
            starts << startOnce(folder, logPath, c.before);
        line(QString::fromLatin1(c.what), starts, c.background);
    }

    print(QStringLiteral("\nWhat every start did before its window until now (anchors, same "
                         "run)\n  %1 %2 %3   load %4")
              .arg(QString(), -46)
              .arg(QStringLiteral("wall ms"), 10)
              .arg(QStringLiteral("cpu ms"), 10)
              .arg(loadAverage()));
    figure(QStringLiteral("sqlite3: pragma quick_check"),
           SqliteCli::medianMs(logPath, QStringLiteral("pragma quick_check;"), runs));
    {
        Database db(QStringLiteral("bench-startup-vacuum"));
        QString error;
        db.open(logPath, &error);
        const QString scratch = QDir(folder).filePath(QStringLiteral("scratch-backups"));
        figure(QStringLiteral("the day's copy with VACUUM INTO"), Timing::medianOf(runs, [&] {
                   QString failure;
                   const QString copy = Backups::backUp(db, scratch, &failure);
                   QFile::remove(copy);
               }));
        QDir(scratch).removeRecursively();
    }
    return 0;
}
