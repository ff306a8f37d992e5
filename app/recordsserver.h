#ifndef RECORDSSERVER_H
#define RECORDSSERVER_H

#include <QString>

class preferences;
struct StartOptions;

// Where this run records: the practice server's address with the password
// to log in with, or no address for the file on this computer (the default).
struct recordsServerChoice
{
    QString url;      // postgresql://user@host:port/db, checked by serverStore::checkUrl
    QString password; // empty: libpq's PGPASSWORD or ~/.pgpass
    QString passwordKey; // not empty: the password is the keychain's under this key
};

// The command line's --records, for this run only; else the Datenablage of
// the settings, the password from the keychain.
recordsServerChoice recordsServer(const StartOptions &options, preferences &prefs);

#endif // RECORDSSERVER_H
