#include "importfolder.h"

#include "app/commandline.h"

#include <QFile>
#include <QTextStream>

namespace kx47::test
{

QString writeFile(const QString &folder, const QString &name, const QByteArray &content)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

OpenFolder::OpenFolder(const ProgramFolder &folder)
{
    QString error;
    if (!log.open(folder.logPath(), &error) || !places.open(folder.placesPath(), &error))
        qFatal("cannot open the program folder: %s", qPrintable(error));
}

CommandRun runCommand(const QStringList &arguments, const QString &defaultFolder)
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = CommandLine(arguments).run(defaultFolder, out, err);
    out.flush();
    err.flush();
    return run;
}

} // namespace kx47::test
