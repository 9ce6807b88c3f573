// Saves QSOs into a log through the program's own store, one after another until it is killed,
// and prints "<number> <call>" for each QSO once its save has returned. Used by tst_crash.
//   kx47_crashwriter LOG ROUND
#include "log/logstore.h"
#include "storage/database.h"

#include <QCoreApplication>
#include <cstdio>

using namespace kx47;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kx47_crashwriter LOG ROUND\n");
        return 2;
    }
    Database log(QStringLiteral("crash-writer"));
    QString error;
    if (!log.open(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    log.useWriteAheadJournal();
    const LogStore store(log);
    QsoRecord record;
    record.locator = QStringLiteral("AB");
    record.date = QStringLiteral("2004-12-07");
    record.time = QStringLiteral("09:30");
    record.place = QStringLiteral("PLACE");
    record.prov = QStringLiteral("AN");
    record.mode = QStringLiteral("CW");
    record.band = QStringLiteral("HF");
    record.qsl = vocabulary::QslState::Worked;
    for (int i = 0;; ++i) {
        record.call = QStringLiteral("R%1N%2").arg(QString::fromLocal8Bit(argv[2])).arg(i);
        const LogChange change = store.append(record);
        std::printf("%lld %s\n", static_cast<long long>(change.added.value(0)),
                    qPrintable(record.call));
        std::fflush(stdout);
    }
}
