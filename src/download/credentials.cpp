#include "credentials.h"

#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace kx47
{

namespace
{

CredentialStore *replacement = nullptr;

const QString keyringService = QStringLiteral("KX47 Logbook");
constexpr int keyringWaitMs = 120000;

// The key of a login in the keyring: "lotw:K1ABC".
QString keyOf(Service service, const QString &login)
{
    return serviceWord(service) + QLatin1Char(':') + login.trimmed().toUpper();
}

// Runs a job of the keyring and waits for its answer; false when it did not come in time.
bool finish(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    bool done = false;
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&done, &loop] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(keyringWaitMs, &loop, &QEventLoop::quit);
    job.start();
    if (!done)
        loop.exec();
    return done;
}

} // namespace

CredentialStore &CredentialStore::instance()
{
    static KeyringCredentials keyring;
    return replacement ? *replacement : keyring;
}

void CredentialStore::replace(CredentialStore *store)
{
    replacement = store;
}

CredentialStore::Status KeyringCredentials::read(Service service, const QString &login,
                                                 QString *password)
{
    QKeychain::ReadPasswordJob job(keyringService);
    job.setKey(keyOf(service, login));
    if (!finish(job))
        return Status::Unavailable;
    switch (job.error()) {
    case QKeychain::NoError:
        *password = job.textData();
        return Status::Found;
    case QKeychain::EntryNotFound:
        return Status::NotFound;
    default:
        return Status::Unavailable;
    }
}

bool KeyringCredentials::write(Service service, const QString &login, const QString &password)
{
    QKeychain::WritePasswordJob job(keyringService);
    job.setKey(keyOf(service, login));
    job.setTextData(password);
    return finish(job) && job.error() == QKeychain::NoError;
}

void KeyringCredentials::remove(Service service, const QString &login)
{
    QKeychain::DeletePasswordJob job(keyringService);
    job.setKey(keyOf(service, login));
    finish(job);
}

} // namespace kx47
