#ifndef RECORDSLOCATION_H
#define RECORDSLOCATION_H

#include <QString>

class basePreferences;

// Where the patients' records are kept: in the file on this computer (the
// default) or on the practice's PostgreSQL server. The group "records" of the
// settings holds the choice ("store": "file" or "server") and the server's
// host, port, database, user and optional CA file; never the password
// (passwordKeeper). Nothing is written until the user changes something.
class recordsLocation
{
public:
    struct server
    {
        QString host;
        QString port = QStringLiteral("5432");
        QString database;
        QString user;
        QString caFile; // empty: no certificate to prove the server by
    };
    enum Field { None, Host, Port, Database, User, CaFile };
    struct problem
    {
        Field field = None;
        QString text; // German, naming the field
    };

    explicit recordsLocation(basePreferences &prefs);

    bool onServer() const;
    server stored() const;
    // The server's address from the settings; empty on this computer.
    QString url() const;

    // What is wrong with the fields; field None when nothing is.
    static problem check(const server &fields);
    // "postgresql://user@host:port/db", with "?sslmode=verify-full&sslrootcert=FILE"
    // where a CA file is given; empty when check() finds a problem.
    static QString url(const server &fields);
    // How the keychain names the server's password: "user@host:port/db".
    static QString passwordKey(const server &fields);

    // Keeps the choice and, on the server, its fields; only what differs
    // from the settings is written. Fields that do not pass check() keep
    // everything as it was and say why in *why.
    bool store(bool onServer, const server &fields, problem *why);

private:
    basePreferences &m_prefs;
};

#endif // RECORDSLOCATION_H
