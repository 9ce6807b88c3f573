#pragma once

#include <QDate>
#include <QString>
#include <QUrl>

namespace kx47
{

// The online services whose confirmations the log downloads.
enum class Service { Lotw, Eqsl };

// "LoTW" or "eQSL", as the user knows them.
QString serviceName(Service service);
// "lotw" or "eqsl", as the command line and the settings name them; false for another word.
QString serviceWord(Service service);
bool serviceFromWord(const QString &word, Service *service);

// What the program remembers of each service in the user's settings: its address (the real
// one unless changed), the login, eQSL's QTH nickname and the date the next download starts
// from. Passwords are never kept here (see credentials.h).
namespace servicesettings
{

QUrl defaultAddress(Service service);
QUrl address(Service service);
void setAddress(Service service, const QUrl &address);

QString login(Service service);
void setLogin(Service service, const QString &login);

// eQSL only: the QTH nickname of an account that has several; empty for none.
QString nickname(Service service);
void setNickname(Service service, const QString &nickname);

// The first day whose confirmations the next download fetches; invalid: from the beginning.
QDate since(Service service);
void setSince(Service service, const QDate &since);

} // namespace servicesettings

} // namespace kx47
