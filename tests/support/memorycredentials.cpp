#include "memorycredentials.h"

namespace kx47::test
{

QString MemoryCredentials::key(Service service, const QString &login)
{
    return serviceWord(service) + QLatin1Char(':') + login.toUpper();
}

CredentialStore::Status MemoryCredentials::read(Service service, const QString &login,
                                                QString *password)
{
    if (!available)
        return Status::Unavailable;
    const auto found = passwords.constFind(key(service, login));
    if (found == passwords.constEnd())
        return Status::NotFound;
    *password = *found;
    return Status::Found;
}

bool MemoryCredentials::write(Service service, const QString &login, const QString &password)
{
    if (!available)
        return false;
    passwords.insert(key(service, login), password);
    return true;
}

void MemoryCredentials::remove(Service service, const QString &login)
{
    passwords.remove(key(service, login));
}

MemoryCredentials &credentials()
{
    static MemoryCredentials store;
    return store;
}

} // namespace kx47::test
