// The practice's records on a private PostgreSQL server: who sees what,
// checked in the server with psql, answers stored once, a killed server.

#include "app/commandline.h"
#include "practiceserver.h"

#include <QtSql>
#include <QtTest>

#include <memory>

class tst_server : public QObject, PracticeServer
{
    Q_OBJECT
    static answerRecord answer(const QString &uid)
    {
        return {QDateTime(QDate(2026, 3, 5), QTime(9, 41), Qt::UTC), "Ahorn", {"Ahron", "Ahorn", "Ahornn"}, "Ahorn",
                true, 1, 900, uid};
    }
    // A new patient of this role's with a training of one answer.
    static qint64 trained(serverStore &store, const QString &name)
    {
        trainingRecord training{0, store.addPatient(name), 0, "Baumarten", {}};
        return store.recordAnswer(training, answer(QString()), QDateTime::currentDateTimeUtc()) ? training.patientId : 0;
    }

private slots:
    void initTestCase()
    {
        if (!PrivatePostgres::installed())
            QSKIP("PostgreSQL 15 is not installed (Debian: postgresql-15)");
        QCOMPARE(startServer(), QString());
    }

    void schemaFoundAgain_data()
    {
        QTest::addColumn<bool>("older"); // the tables as the first version made them, with a line in the log
        QTest::newRow("as made") << false;
        QTest::newRow("version 1") << true;
    }
    // A therapist's role finds the tables; older ones only the owner changes.
    void schemaFoundAgain()
    {
        QFETCH(bool, older);
        QCOMPARE(database(), QString());
        if (older) {
            trained(*as("anna"), "Frau Albers");
            pg->admin("ALTER TABLE audit DROP COLUMN uid; UPDATE store_info SET value = '1' WHERE key = 'schema_version';"
                      "INSERT INTO audit (user_name, action, patient_uid) SELECT 'anna', 'import', uid FROM patients", db);
            QVERIFY(as("anna")->lastError().contains("älteren Version"));
            QVERIFY(as("it")->isOpen());
        }
        QVERIFY2(as("anna")->isOpen(), "a second open finds the tables the first made");
        QCOMPARE(pg->admin("SELECT value FROM store_info WHERE key = 'schema_version'", db), QStringList{"2"});
        QCOMPARE(pg->admin("SELECT count(DISTINCT uid) FROM audit", db), QStringList(older ? "1" : "0"));
    }

    void eachSeesTheirOwn_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<bool>("shared"); // anna adds ben to her patient's Behandelnde
        QTest::addColumn<QStringList>("seen"); // name|answers
        QTest::newRow("anna") << "anna" << false << QStringList{"Frau Albers|1"};
        QTest::newRow("ben") << "ben" << false << QStringList{"Herr Brandt|1"};
        QTest::newRow("ben, shared") << "ben" << true << QStringList{"Frau Albers|1", "Herr Brandt|1"};
        QTest::newRow("owner") << "it" << true << QStringList();
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
        // Everything the role reaches in the tables, past the program.
        QCOMPARE(psql(role, "SELECT p.name, (SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id"
                            " WHERE t.patient_id = p.id) FROM patients p ORDER BY 1"), seen);
        QCOMPARE(psql(role, "SELECT (SELECT count(*) FROM answers) || '|' || (SELECT count(*) FROM trainings)"),
                 QStringList(QString("%1|%1").arg(seen.size())));
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
        // The same training sent twice, as after a crash before it was marked sent.
        const trainingRecord training{0, anna->addPatient("Frau Albers"), 0, "Baumarten", {}, 0, "t1"};
        trainingRecord first = training, second = training;
        QVERIFY(anna->recordAnswer(first, answer("u1"), QDateTime::currentDateTimeUtc()));
        QVERIFY(anna->recordAnswer(second, answer(secondUid), QDateTime::currentDateTimeUtc()));
        QCOMPARE(pg->admin("SELECT count(*) FROM answers UNION ALL SELECT count(*) FROM trainings", db),
                 QStringList({QString::number(answers), "1"}));
        QCOMPARE(anna->trainings(first.patientId).value(0).items, answers);
        QCOMPARE(anna->trainings(first.patientId).value(0).started, answer("u1").at);
    }

    void serverKilled()
    {
        QCOMPARE(database(), QString());
        auto anna = as("anna");
        trainingRecord training{0, anna->addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(anna->recordAnswer(training, answer("u1"), QDateTime::currentDateTimeUtc()));
        QVERIFY(pg->kill());
        QVERIFY(!anna->recordAnswer(training, answer("u2"), QDateTime::currentDateTimeUtc()));
        QVERIFY2(anna->lastError().contains(QString("127.0.0.1:%1/%2").arg(pg->port).arg(db)), qPrintable(anna->lastError()));
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
        const qint64 albers = trained(*as("anna"), "Frau Albers");
        QVERIFY(QTest::currentDataTag() != QByteArray("added colleague") || as("anna")->setTreating(albers, {"anna", "ben"}));
        QCOMPARE(as(by)->deletePatient(albers), deleted);
        // What stays of a deleted patient is the line that says so, by uid.
        QCOMPARE(pg->admin("SELECT (SELECT count(*) FROM patients) + (SELECT count(*) FROM treating)"
                           " + (SELECT count(*) FROM trainings) + (SELECT count(*) FROM answers)"
                           " || '|' || (SELECT count(*) FROM audit WHERE action = 'delete')", db),
                 QStringList(deleted ? "0|1" : "4|0"));
    }

    void importFile_data()
    {
        QTest::addColumn<QString>("fault"); // what is done to the file or the server first
        QTest::addColumn<QString>("says");  // empty: moved
        QTest::newRow("moved twice") << "" << "";
        QTest::newRow("name known from another computer") << "known" << "";
        QTest::newRow("damaged") << "damaged" << "beschädigt";
        QTest::newRow("newer") << "newer" << "neueren Version";
        QTest::newRow("name treated by another") << "taken" << "Behandelnde";
    }
    // A computer's records file moved to the server: each answer once
    // however often, or nothing at all.
    void importFile()
    {
        QFETCH(QString, fault);
        QFETCH(QString, says);
        QCOMPARE(database(), QString());
        QTemporaryDir dir;
        const QString file = dir.filePath("skarvel.sqlite");
        trainingRecord albers, brandt;
        {
            recordStore local(file);
            QVERIFY(local.open(true));
            albers = {0, local.addPatient("Frau Albers"), 0, "Baumarten", {}};
            brandt = {0, local.addPatient("Herr Brandt"), 1, "Obst", {}};
            for (trainingRecord *training : {&albers, &albers, &brandt})
                QVERIFY(local.recordAnswer(*training, answer(QString()), QDateTime::currentDateTimeUtc()));
        }
        if (fault == "damaged") {
            QFile bytes(file);
            QVERIFY(bytes.open(QFile::ReadWrite) && bytes.seek(4096) && bytes.write(QByteArray(4096, '\x5a')) == 4096);
        } else if (fault == "newer") {
            QVERIFY(sqliteRows(file, "PRAGMA user_version = 99").isEmpty());
        } else if (fault == "taken") {
            QVERIFY(as("ben")->addPatient("Herr Brandt"));
        } else if (fault == "known") {
            QVERIFY(as("anna")->addPatient("Frau Albers"));
        }
        auto anna = as("anna");
        const int added = anna->importFile(file);
        if (!says.isEmpty()) {
            QCOMPARE(added, -1);
            QVERIFY2(anna->lastError().contains(says), qPrintable(anna->lastError()));
            // Not even the patient before the one that failed.
            QCOMPARE(pg->admin("SELECT (SELECT count(*) FROM patients) || '|' || (SELECT count(*) FROM answers)", db),
                     QStringList(fault == "taken" ? "1|0" : "0|0"));
            return;
        }
        QCOMPARE(added, 3);
        QCOMPARE(anna->importFile(file), 0);
        {
            recordStore local(file);
            QVERIFY(local.open(false) && local.recordAnswer(albers, answer(QString()), QDateTime::currentDateTimeUtc()));
        }
        QCOMPARE(anna->importFile(file), 1);
        // Every answer of the file once, in its training, with its patient.
        const QString perAnswer = "SELECT p.name, t.uid, a.uid FROM answers a JOIN trainings t ON t.id = a.training_id"
                                  " JOIN patients p ON p.id = t.patient_id ORDER BY 3";
        QCOMPARE(psql("anna", perAnswer), sqliteRows(file, perAnswer));
        QCOMPARE(psql("anna", "SELECT count(*) FROM treating WHERE role = 'anna'"), QStringList("2"));
        QCOMPARE(pg->admin("SELECT count(*) FROM patients", db), QStringList("2"));
    }

    void setupServer_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("owner") << "postgresql://it:i@127.0.0.1:%1/%2" << 0 << "GRANT skarvel_praxis TO";
        QTest::newRow("therapist") << "postgresql://anna:a@127.0.0.1:%1/%2" << 1 << "Rolle einer Therapeutin";
        QTest::newRow("CA file, server without TLS") << "postgresql://it:i@127.0.0.1:%1/%2?sslrootcert=/etc/ca.pem" << 1
                                                     << "verschlüsselte Verbindung";
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
        const int code = readCommandLine(arguments, options, &answer);
        QCOMPARE(code < 0 ? setUpServer(options.setupServer, &answer) : code, exitCode);
        QVERIFY2(answer.contains(says), qPrintable(answer));
    }
};

QTEST_GUILESS_MAIN(tst_server)
#include "tst_server.moc"
