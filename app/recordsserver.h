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
};

// The command line's --records, for this run only.
recordsServerChoice recordsServer(const StartOptions &options, preferences &prefs);

#endif // RECORDSSERVER_H
