#pragma once

#include "download/credentials.h"

#include <QHash>

namespace kx47::test
{

// A keyring in memory; every test program uses it in place of the desktop's keyring, so that
// no test reads or writes the user's passwords.
class MemoryCredentials : public CredentialStore
{
public:
    bool available = true;             // false: behaves as a desktop without a keyring
    QHash<QString, QString> passwords; // "lotw:LOGIN" -> password

    Status read(Service service, const QString &login, QString *password) override;
    bool write(Service service, const QString &login, const QString &password) override;
    void remove(Service service, const QString &login) override;
    static QString key(Service service, const QString &login);
};

// The one every test program uses, emptied and available again by reset().
MemoryCredentials &credentials();

} // namespace kx47::test
