// The practice's records on a private PostgreSQL server: who sees what,
// checked in the server with psql, answers stored once, a killed server.

#include "app/commandline.h"
#include "privatepostgres.h"
#include "records/serverstore.h"

#include <QtTest>

#include <memory>

class tst_server : public QObject
{
    Q_OBJECT
    std::unique_ptr<PrivatePostgres> pg;
    QString db; // a fresh database for each test, made by the admin's first open
    const QMap<QString, QString> passwords{{"anna", "a"}, {"ben", "b"}};

    QString database()
    {
        static int n = 0;
        db = QString("praxis%1").arg(++n);
        pg->admin("CREATE DATABASE " + db);
        serverStore admin;
        return admin.open(pg->url("admin", db), QString()) ? QString() : admin.lastError();
    }
    std::unique_ptr<serverStore> as(const QString &role)
    {
        auto store = std::make_unique<serverStore>();
        store->open(pg->url(role, db), passwords.value(role));
        return store;
    }
    static answerRecord answer(const QString &uid)
    {
        return {QDateTime(QDate(2026, 3, 5), QTime(9, 41), Qt::UTC), "Ahorn", {"Ahron", "Ahorn", "Ahornn"}, "Ahorn",
                true, 1, 900, uid};
    }
    // A training of one answer for a new patient of this role's.
    qint64 trained(serverStore &store, const QString &name)
    {
        trainingRecord training{0, store.addPatient(name), 0, "Baumarten", {}};
        return store.recordAnswer(training, answer(QString()), QDateTime::currentDateTimeUtc()) ? training.patientId : 0;
    }
    QString count(const QString &sql) { return pg->admin(sql, db).value(0); }

private slots:
    void initTestCase()
    {
        if (!PrivatePostgres::installed())
            QSKIP("PostgreSQL 15 is not installed (Debian: postgresql-15)");
        pg = std::make_unique<PrivatePostgres>();
        QVERIFY2(pg->failure.isEmpty(), qPrintable(pg->failure));
        QCOMPARE(database(), QString());
        pg->admin("CREATE ROLE anna LOGIN PASSWORD 'a'; CREATE ROLE ben LOGIN PASSWORD 'b';"
                  " GRANT skarvel_praxis TO anna, ben");
    }

    void schemaFoundAgain()
    {
        QCOMPARE(database(), QString());
        QVERIFY2(as("anna")->isOpen(), "a second open finds the tables made by the first");
        QCOMPARE(count("SELECT value FROM store_info WHERE key = 'schema_version'"), QString("1"));
    }

    void eachSeesTheirOwn_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<bool>("shared"); // anna adds ben to her patient
        QTest::addColumn<QStringList>("seen"); // name|answers, as psql shows them
        QTest::newRow("anna") << "anna" << false << QStringList{"Frau Albers|1"};
        QTest::newRow("ben") << "ben" << false << QStringList{"Herr Brandt|1"};
        QTest::newRow("ben, shared") << "ben" << true << QStringList{"Frau Albers|1", "Herr Brandt|1"};
    }
    void eachSeesTheirOwn()
    {
        QFETCH(QString, role);
        QFETCH(bool, shared);
        QFETCH(QStringList, seen);
        QCOMPARE(database(), QString());
        auto anna = as("anna"), ben = as("ben");
        const qint64 albers = trained(*anna, "Frau Albers");
        QVERIFY2(albers && trained(*ben, "Herr Brandt"), qPrintable(anna->lastError() + ben->lastError()));
        QVERIFY(!shared || anna->setTreating(albers, {"anna", "ben"}));
        // Everything the role can reach in the tables, past the program.
        QCOMPARE(pg->psql(role, passwords[role], db,
                          "SELECT p.name, (SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id"
                          " WHERE t.patient_id = p.id) FROM patients p ORDER BY 1"),
                 seen);
        QCOMPARE(pg->psql(role, passwords[role], db, "SELECT count(*) FROM answers").value(0), QString::number(seen.size()));
        QCOMPARE(pg->psql(role, passwords[role], db, "SELECT count(*) FROM trainings").value(0), QString::number(seen.size()));
        QStringList names;
        for (const patientRecord &patient : as(role)->patients())
            names.append(patient.name + "|1");
        QCOMPARE(names, seen);
    }

    void answerStoredOnce_data()
    {
        QTest::addColumn<QString>("secondUid");
        QTest::addColumn<int>("answers");
        QTest::newRow("same uid") << "u1" << 1;
        QTest::newRow("another uid") << "u2" << 2;
    }
    void answerStoredOnce()
    {
        QFETCH(QString, secondUid);
        QFETCH(int, answers);
        QCOMPARE(database(), QString());
        auto anna = as("anna");
        // The same training twice, as an outbox sends it again after a crash.
        const trainingRecord training{0, anna->addPatient("Frau Albers"), 0, "Baumarten", {}, 0, "t1"};
        trainingRecord first = training, second = training;
        QVERIFY(anna->recordAnswer(first, answer("u1"), QDateTime::currentDateTimeUtc()));
        QVERIFY(anna->recordAnswer(second, answer(secondUid), QDateTime::currentDateTimeUtc()));
        QCOMPARE(count("SELECT count(*) FROM answers"), QString::number(answers));
        QCOMPARE(count("SELECT count(*) FROM trainings"), QString("1"));
        QCOMPARE(anna->trainings(first.patientId).value(0).items, answers);
    }

    void serverKilled()
    {
        QCOMPARE(database(), QString());
        auto anna = as("anna");
        trainingRecord training{0, anna->addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(anna->recordAnswer(training, answer("u1"), QDateTime::currentDateTimeUtc()));
        QVERIFY(pg->kill());
        QVERIFY(!anna->recordAnswer(training, answer("u2"), QDateTime::currentDateTimeUtc()));
        QVERIFY2(anna->lastError().contains("127.0.0.1:" + QString::number(pg->port)), qPrintable(anna->lastError()));
        QVERIFY2(pg->start(), qPrintable(pg->failure));
        QVERIFY2(anna->recordAnswer(training, answer("u3"), QDateTime::currentDateTimeUtc()), qPrintable(anna->lastError()));
        QCOMPARE(pg->admin("SELECT uid FROM answers ORDER BY id", db), QStringList({"u1", "u3"}));
    }

    void deletePatient_data()
    {
        QTest::addColumn<QString>("by");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("maker") << "anna" << true;
        QTest::newRow("added colleague") << "ben" << true;
        QTest::newRow("not treating") << "ben" << false;
    }
    void deletePatient()
    {
        QFETCH(QString, by);
        QFETCH(bool, deleted);
        QCOMPARE(database(), QString());
        auto anna = as("anna");
        const qint64 albers = trained(*anna, "Frau Albers");
        QVERIFY(!QString(QTest::currentDataTag()).startsWith("added") || anna->setTreating(albers, {"anna", "ben"}));
        QCOMPARE(as(by)->deletePatient(albers), deleted);
        const QString rows = count("SELECT (SELECT count(*) FROM patients) + (SELECT count(*) FROM treating)"
                                   " + (SELECT count(*) FROM trainings) + (SELECT count(*) FROM answers)");
        QCOMPARE(rows, QString(deleted ? "0" : "4"));
    }

    void setupServer_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("admin") << "postgresql://admin@127.0.0.1:%1/%2" << 0 << "GRANT skarvel_praxis TO";
        QTest::newRow("therapist") << "postgresql://anna:a@127.0.0.1:%1/%2" << 1 << "Rolle einer Therapeutin";
        QTest::newRow("no server") << "postgresql://admin@127.0.0.1:1/%2" << 1 << "nicht erreichbar";
        QTest::newRow("no database") << "postgresql://admin@127.0.0.1:%1" << 2 << "fehlt";
        QTest::newRow("no URL") << "" << 2 << "braucht";
    }
    void setupServer()
    {
        QFETCH(QString, url);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QCOMPARE(database(), QString());
        QStringList arguments{"skarvel", "--setup-server"};
        if (!url.isEmpty())
            arguments.append(url.replace("%1", QString::number(pg->port)).replace("%2", db));
        StartOptions options;
        QString answer;
        int code = readCommandLine(arguments, options, &answer);
        QCOMPARE(code < 0 ? setUpServer(options.setupServer, &answer) : code, exitCode);
        QVERIFY2(answer.contains(says), qPrintable(answer));
    }
};

QTEST_GUILESS_MAIN(tst_server)
#include "tst_server.moc"
