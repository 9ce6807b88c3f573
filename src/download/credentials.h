#pragma once

#include "service.h"

#include <QString>

namespace kx47
{

// Where the passwords of the services are kept: the desktop's keyring, never a file of the
// program or its settings. Where there is no keyring nothing is kept and the password is asked
// for each time.
class CredentialStore
{
public:
    enum class Status {
        Found,
        NotFound,    // the keyring works but holds no password for this login
        Unavailable, // no keyring, or it refused: nothing can be kept
    };

    virtual ~CredentialStore() = default;
    virtual Status read(Service service, const QString &login, QString *password) = 0;
    // False when the password could not be kept.
    virtual bool write(Service service, const QString &login, const QString &password) = 0;
    virtual void remove(Service service, const QString &login) = 0;

    // The program's store: the desktop's keyring, unless another one was put in its place.
    static CredentialStore &instance();
    // Puts store in the keyring's place (nullptr: the keyring again); the caller keeps it.
    static void replace(CredentialStore *store);
};

// The desktop's keyring through QtKeychain (the Secret Service or KWallet). Each call waits
// until the keyring answered, at most two minutes (it may ask the user to unlock it).
class KeyringCredentials : public CredentialStore
{
public:
    Status read(Service service, const QString &login, QString *password) override;
    bool write(Service service, const QString &login, const QString &password) override;
    void remove(Service service, const QString &login) override;
};

} // namespace kx47
