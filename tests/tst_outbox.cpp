// The outbox between the window's records file and a private PostgreSQL
// server: every answer arrives once, through a killed server, a crash
// between sending and marking, and two computers recording at once. What
// arrived is counted in the server and the file with SQL.

#include "practiceserver.h"
#include "records/serveroutbox.h"

#include <QtSql>
#include <QtTest>

#include <memory>

class tst_outbox : public QObject, PracticeServer
{
    Q_OBJECT
    TemporaryConfig config;

    QString file(const QString &name) const { return config.dir.filePath(name + ".sqlite"); }
    std::unique_ptr<serverOutbox> outbox(const QString &name)
    {
        auto box = std::make_unique<serverOutbox>(pg->url("anna", db), passwords["anna"], file(name));
        box->setRetryInterval(200);
        box->setPollInterval(100);
        box->setPullInterval(500);
        return box;
    }
    // Two rounds begun after the last write have ended.
    static bool settled(serverOutbox &box)
    {
        QSignalSpy synced(&box, &serverOutbox::synced);
        for (int n = 1; n <= 2; ++n) {
            box.sendNow();
            if (synced.count() < n && !synced.wait(60000))
                return false;
        }
        return true;
    }
    // Patients|trainings|answers|answers' uids, as the server holds them.
    QString onServer() const
    {
        return pg->admin("SELECT (SELECT count(*) FROM patients) || '|' || (SELECT count(*) FROM trainings) || '|'"
                         " || (SELECT count(*) FROM answers) || '|' || (SELECT count(DISTINCT uid) FROM answers)", db)
            .value(0);
    }
    QStringList serverRows(const QString &sql) const { return pg->admin(sql, db); }
    // n answers into the file as the window writes them; a moment's lock
    // held by the outbox is waited for, as the recorder does.
    static bool record(recordStore &store, trainingRecord &training, int n)
    {
        for (int i = 0; i < n; ++i) {
            static int item = 0;
            const QDateTime at = QDateTime(QDate(2026, 3, 5), QTime(9, 0), Qt::UTC).addSecs(++item);
            const answerRecord answer{at, "Ahorn", {"Ahron", "Ahorn", "Ahornn"}, "Ahorn", true, 1, 900};
            QDeadlineTimer deadline(30000);
            while (!store.recordAnswer(training, answer, at.addSecs(1))) {
                if (!store.wasLocked() || deadline.hasExpired())
                    return false;
            }
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        if (!PrivatePostgres::installed())
            QSKIP("PostgreSQL 15 is not installed (Debian: postgresql-15)");
        QCOMPARE(startServer(), QString());
    }

    void arrivesOnce_data()
    {
        QTest::addColumn<int>("before"); // answers in the file before the outbox starts
        QTest::addColumn<int>("after");
        QTest::newRow("waiting at start") << 3 << 0;
        QTest::newRow("while running") << 0 << 4;
        QTest::newRow("both") << 2 << 3;
    }
    void arrivesOnce()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QCOMPARE(database(), QString());
        const QString name = QString("once%1").arg(QTest::currentDataTag()).remove(' ');
        recordStore store(file(name));
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(record(store, training, before));
        auto box = outbox(name);
        box->start();
        QVERIFY(record(store, training, after));
        QVERIFY(store.endTraining(training, QDateTime(QDate(2026, 3, 5), QTime(10, 0), Qt::UTC)));
        QVERIFY(settled(*box));
        const int answers = before + after;
        QCOMPARE(onServer(), QString("1|1|%1|%1").arg(answers));
        const QString uids = "SELECT uid FROM answers ORDER BY uid";
        QCOMPARE(serverRows(uids), sqliteRows(file(name), uids));
        QCOMPARE(serverRows("SELECT name, to_char(ended, 'HH24:MI') FROM patients, trainings"),
                 QStringList("Frau Albers|10:00"));
    }

    void serverKilled()
    {
        QCOMPARE(database(), QString());
        recordStore store(file("killed"));
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Albers"), 0, "Baumarten", {}};
        auto box = outbox("killed");
        QSignalSpy reached(box.get(), &serverOutbox::reachabilityChanged);
        box->start();
        QVERIFY(record(store, training, 2));
        QVERIFY(settled(*box));
        QVERIFY(pg->kill());
        // The training goes on into the file.
        QVERIFY(record(store, training, 3));
        QTRY_COMPARE_WITH_TIMEOUT(reached.value(0), QVariantList{false}, 60000);
        QCOMPARE(onServer(), QString()); // the killed server tells nothing
        QVERIFY2(pg->start(), qPrintable(pg->failure));
        QTRY_COMPARE_WITH_TIMEOUT(reached.value(1), QVariantList{true}, 60000);
        QVERIFY(settled(*box));
        QCOMPARE(onServer(), "1|1|5|5");
        QCOMPARE(reached.count(), 2);
    }

    void crashBetweenSendingAndMarking_data()
    {
        QTest::addColumn<QString>("lost"); // the marks the crash took
        QTest::newRow("all") << "";
        QTest::newRow("answers'") << "WHERE kind = 'a'";
        QTest::newRow("patient's") << "WHERE kind = 'p'";
        QTest::newRow("training's") << "WHERE kind = 't'";
    }
    void crashBetweenSendingAndMarking()
    {
        QFETCH(QString, lost);
        QCOMPARE(database(), QString());
        const QString name = QString("crash%1").arg(QTest::currentDataTag()).remove('\'');
        recordStore store(file(name));
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(record(store, training, 4));
        auto box = outbox(name);
        box->start();
        QVERIFY(settled(*box));
        box.reset();
        QVERIFY(!sqliteRows(file(name), "SELECT 1 FROM outbox_sent " + lost).isEmpty());
        sqliteRows(file(name), "DELETE FROM outbox_sent " + lost);
        box = outbox(name);
        QSignalSpy synced(box.get(), &serverOutbox::synced);
        box->start();
        QVERIFY(synced.wait(60000));
        QCOMPARE(onServer(), "1|1|4|4");
        QCOMPARE(sqliteRows(file(name), "SELECT count(*) FROM outbox_sent"), QStringList("6"));
    }

    // The patient made on both while apart is one on the server.
    void twoWorkstations()
    {
        QCOMPARE(database(), QString());
        recordStore one(file("room1")), two(file("room2"));
        QVERIFY(one.open(true) && two.open(true));
        trainingRecord first{0, one.addPatient("Frau Albers"), 0, "Baumarten", {}};
        trainingRecord second{0, two.addPatient("frau albers"), 0, "Obst", {}};
        QVERIFY(record(one, first, 1) && record(two, second, 1));
        auto boxOne = outbox("room1"), boxTwo = outbox("room2");
        boxOne->start();
        boxTwo->start();
        for (int i = 0; i < 10; ++i)
            QVERIFY(record(one, first, 1) && record(two, second, 1));
        QVERIFY(settled(*boxOne) && settled(*boxTwo));
        QCOMPARE(onServer(), "1|2|22|22");
        // Each file has the other's answers too, once.
        boxOne->pullNow();
        boxTwo->pullNow();
        QVERIFY(settled(*boxOne) && settled(*boxTwo));
        const QString uids = "SELECT uid FROM answers ORDER BY uid";
        QCOMPARE(sqliteRows(file("room1"), uids), serverRows(uids));
        QCOMPARE(sqliteRows(file("room2"), uids), serverRows(uids));
    }

    // Brought into a second computer's file, then deleted elsewhere while
    // that one records.
    void deletedElsewhere_data()
    {
        QTest::addColumn<int>("waiting"); // answers recorded on the second after the deletion
        QTest::addColumn<QString>("left"); // patients|answers|unsent in its file at the end
        QTest::newRow("nothing waiting") << 0 << "0|0|0";
        QTest::newRow("answers waiting") << 2 << "1|5|2";
    }
    void deletedElsewhere()
    {
        QFETCH(int, waiting);
        QFETCH(QString, left);
        QCOMPARE(database(), QString());
        const QString name = QString("gone%1").arg(waiting);
        recordStore one(file(name + "a"));
        QVERIFY(one.open(true));
        trainingRecord training{0, one.addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(record(one, training, 3));
        auto boxOne = outbox(name + "a"), boxTwo = outbox(name + "b");
        boxTwo->setPullInterval(3600000); // pulled when asked only
        boxOne->start();
        QVERIFY(settled(*boxOne));
        QSignalSpy changed(boxTwo.get(), &serverOutbox::patientsChanged), problem(boxTwo.get(), &serverOutbox::problem);
        boxTwo->start();
        QVERIFY(changed.wait(60000));
        recordStore two(file(name + "b"));
        QVERIFY(two.open(false));
        const qint64 there = two.patientId("Frau Albers");
        QCOMPARE(two.trainings(there).value(0).items, 3); // the Verlauf there
        serverStore anna;
        QVERIFY(anna.open(pg->url("anna", db), "a") && anna.deletePatient(anna.patientId("Frau Albers")));
        trainingRecord second{0, there, 0, "Obst", {}};
        QVERIFY(record(two, second, waiting));
        QVERIFY(settled(*boxTwo));
        boxTwo->pullNow();
        QVERIFY(settled(*boxTwo));
        QCOMPARE(sqliteRows(file(name + "b"), "SELECT (SELECT count(*) FROM patients) || '|' || (SELECT count(*) FROM answers)"
                                           " || '|' || (SELECT count(*) FROM answers WHERE uid NOT IN"
                                           " (SELECT uid FROM outbox_sent))"), QStringList(left));
        QCOMPARE(problem.isEmpty(), waiting == 0);
        QCOMPARE(onServer(), "0|0|0|0");
    }
    // A rename or deletion made here reaches the server.
    void changedHere_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("there"); // name|answers
        QTest::newRow("renamed") << false << QStringList("Frau Berger|3");
        QTest::newRow("deleted") << true << QStringList();
    }
    void changedHere()
    {
        QFETCH(bool, deleted);
        QFETCH(QStringList, there);
        QCOMPARE(database(), QString());
        const QString name = QString("here%1").arg(deleted);
        recordStore store(file(name));
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(record(store, training, 3));
        auto box = outbox(name);
        box->start();
        QVERIFY(settled(*box));
        QVERIFY(deleted ? store.deletePatient(training.patientId) : store.renamePatient(training.patientId, "Frau Berger"));
        box->pullNow();
        QVERIFY(settled(*box));
        QCOMPARE(serverRows("SELECT name, (SELECT count(*) FROM answers) FROM patients"), there);
    }

    void treating_data()
    {
        QTest::addColumn<bool>("here"); // changed in the file, else by ben on the server
        QTest::addColumn<QStringList>("roles");
        QTest::addColumn<QString>("left"); // patients|Behandelnde rows in the file at the end
        QTest::newRow("ben added here") << true << QStringList{"anna", "ben"} << "1|1";
        QTest::newRow("anna leaves here") << true << QStringList{"ben"} << "0|0";
        QTest::newRow("anna removed elsewhere") << false << QStringList{"ben"} << "0|0";
        QTest::newRow("ben leaves elsewhere") << false << QStringList{"anna"} << "1|1";
    }
    // Behandelnde changed here reach the server, the server's the file; RLS decides who sees whom.
    void treating()
    {
        QFETCH(bool, here);
        QFETCH(QStringList, roles);
        QFETCH(QString, left);
        QCOMPARE(database(), QString());
        const QString name = QString("treating%1").arg(QTest::currentDataTag()).remove(' ');
        recordStore store(file(name));
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(record(store, training, 2));
        auto box = outbox(name);
        box->setPullInterval(3600000); // pulled at start and when asked or left
        box->start();
        QVERIFY(settled(*box));
        QCOMPARE(store.therapists(), (QStringList{"anna", "ben"}));
        QCOMPARE(store.treating(training.patientId), QStringList("anna"));
        QVERIFY(store.setTreating(training.patientId, here ? roles : QStringList{"anna", "ben"}));
        QVERIFY(settled(*box));
        serverStore ben;
        QVERIFY(here || (ben.open(pg->url("ben", db), "b") && ben.setTreating(ben.patientId("Frau Albers"), roles)));
        if (!here)
            box->pullNow();
        QVERIFY(settled(*box));
        QCOMPARE(serverRows("SELECT string_agg(role, ',' ORDER BY role) FROM treating"), QStringList(roles.join(',')));
        QCOMPARE(pg->psql("ben", "b", db, "SELECT name FROM patients"),
                 roles.contains("ben") ? QStringList("Frau Albers") : QStringList());
        QCOMPARE(sqliteRows(file(name), "SELECT (SELECT count(*) FROM patients) || '|' || (SELECT count(*) FROM outbox_treating)"),
                 QStringList(left));
        if (left.startsWith('1'))
            QCOMPARE(store.treating(training.patientId), roles);
    }

    void auditOnce_data()
    {
        QTest::addColumn<QString>("lost"); // the marks a crash took
        QTest::addColumn<bool>("deleted"); // the patient deleted here at the end
        QTest::newRow("line's mark") << "WHERE kind = 'l'" << false;
        QTest::newRow("all marks") << "" << false;
        QTest::newRow("then deleted") << "WHERE kind = 'l'" << true;
    }
    // The log's lines go to the server once each, by uid, and the server's
    // come into the file; a deletion's line is the file's.
    void auditOnce()
    {
        QFETCH(QString, lost);
        QFETCH(bool, deleted);
        QCOMPARE(database(), QString());
        const QString name = QString("audit%1").arg(QTest::currentDataTag()).remove(' ').remove('\'');
        recordStore store(file(name));
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Albers"), 0, "Baumarten", {}};
        QVERIFY(record(store, training, 1) && store.logAccess(recordStore::exportedCsv, training.patientId));
        auto box = outbox(name);
        box->start();
        QVERIFY(settled(*box));
        box.reset();
        sqliteRows(file(name), "DELETE FROM outbox_sent " + lost);
        serverStore anna; // another computer of hers
        QVERIFY(anna.open(pg->url("anna", db), "a") && anna.logAccess(recordStore::imported, anna.patientId("Frau Albers")));
        box = outbox(name);
        box->start();
        QVERIFY(settled(*box));
        if (deleted) {
            QVERIFY(store.deletePatient(training.patientId));
            QVERIFY(settled(*box));
        }
        const QString lines = "SELECT action, uid FROM audit ORDER BY action";
        QCOMPARE(serverRows(lines).size(), deleted ? 3 : 2);
        QCOMPARE(serverRows(lines), sqliteRows(file(name), lines));
        QCOMPARE(sqliteRows(file(name), "SELECT count(*) FROM audit WHERE uid NOT IN (SELECT uid FROM outbox_sent)"),
                 QStringList("0"));
        if (deleted)
            QCOMPARE(onServer() + sqliteRows(file(name), "SELECT count(*) FROM outbox_treating").value(0), "0|0|0|00");
    }
};

QTEST_GUILESS_MAIN(tst_outbox)
#include "tst_outbox.moc"
