#ifndef PRACTICESERVER_H
#define PRACTICESERVER_H

#include "privatepostgres.h"
#include "records/serverstore.h"

#include <QtSql>

#include <memory>

// The practice's server as the tests meet it: the owner "it", the
// practice's IT with no superuser rights, so held to the policies, and the
// therapists anna and ben in the practice's group role; a fresh database for
// each test that asks for one, set up by the owner's first open.
struct PracticeServer
{
    std::unique_ptr<PrivatePostgres> pg;
    QString db;
    const QMap<QString, QString> passwords{{"anna", "a"}, {"ben", "b"}, {"it", "i"}};

    // Empty, or what went wrong.
    QString startServer()
    {
        pg = std::make_unique<PrivatePostgres>();
        if (!pg->failure.isEmpty())
            return pg->failure;
        pg->admin("CREATE ROLE it LOGIN CREATEROLE PASSWORD 'i'");
        // The group role is made by the schema's first open.
        const QString problem = database();
        pg->admin("CREATE ROLE anna LOGIN PASSWORD 'a'; CREATE ROLE ben LOGIN PASSWORD 'b';"
                  " GRANT skarvel_praxis TO anna, ben");
        return problem;
    }
    QString database()
    {
        static int n = 0;
        pg->admin("CREATE DATABASE " + (db = QString("praxis%1").arg(++n)) + " OWNER it");
        auto owner = as("it");
        return owner->isOpen() ? QString() : owner->lastError();
    }
    std::unique_ptr<serverStore> as(const QString &role) const
    {
        auto store = std::make_unique<serverStore>();
        store->open(pg->url(role, db), passwords.value(role));
        return store;
    }
    QStringList psql(const QString &role, const QString &sql) const
    {
        return pg->psql(role, passwords.value(role), db, sql);
    }
};

// The rows of a query on an SQLite file, fields joined by "|" as psql joins
// them; a query that fails gives one row saying so.
inline QStringList sqliteRows(const QString &fileName, const QString &sql)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-rows");
        db.setDatabaseName(fileName);
        QSqlQuery query(db);
        if (!db.open() || !query.exec(sql))
            rows << "failed: " + query.lastError().text();
        for (QStringList fields; query.next(); rows << fields.join('|'), fields.clear()) {
            for (int i = 0; i < query.record().count(); ++i)
                fields << query.value(i).toString();
        }
    }
    QSqlDatabase::removeDatabase("test-rows");
    return rows;
}

#endif // PRACTICESERVER_H
