#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace kx47::test
{

// The user's home, and with it the documents folder (QStandardPaths::DocumentsLocation), in a
// folder of the test's own for as long as the object lives: a printout that falls back to the
// documents folder never reaches the real one. blocked: a file stands where the documents
// folder would be, so that nothing can be saved there either.
class OwnDocumentsFolder
{
public:
    explicit OwnDocumentsFolder(bool blocked = false)
        : m_oldHome(qgetenv("HOME")), m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path() + "/.config"));
        if (blocked) {
            QFile blocker(path());
            if (blocker.open(QIODevice::WriteOnly))
                blocker.close();
        }
    }
    ~OwnDocumentsFolder()
    {
        qputenv("HOME", m_oldHome);
        if (m_oldConfig.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    OwnDocumentsFolder(const OwnDocumentsFolder &) = delete;
    OwnDocumentsFolder &operator=(const OwnDocumentsFolder &) = delete;

    QString path() const { return QDir(m_home.path()).filePath(QStringLiteral("Documents")); }

private:
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
};

} // namespace kx47::test
