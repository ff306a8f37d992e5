// Homework goals in the practice's records: a real SQLite file in a
// temporary data directory.

#include "records/recordstore.h"
#include "testsupport.h"

#include <QtSql>
#include <QtTest>

class tst_homework : public QObject
{
    Q_OBJECT
    TemporaryConfig config;

private slots:
    void cleanup() { QFile::remove(recordStore::defaultFileName()); }

    void assignmentsStayWithTheirPatient_data()
    {
        QTest::addColumn<QList<int>>("owners"); // the patient (0, 1) of each goal, in the order given
        QTest::newRow("one") << QList<int>{0};
        QTest::newRow("two, one each") << QList<int>{1, 0};
        QTest::newRow("three") << QList<int>{0, 1, 0};
    }
    // Each patient reads back their own goals, the earliest start first,
    // after the file was closed and opened again; uids find the patient.
    void assignmentsStayWithTheirPatient()
    {
        QFETCH(QList<int>, owners);
        qint64 ids[2];
        QString uids[2];
        {
            recordStore store;
            QVERIFY(store.open(true));
            ids[0] = store.addPatient("Anna");
            ids[1] = store.addPatient("Bernd");
            for (int i = 0; i < owners.size(); ++i) {
                // Later given, earlier started: the order must come from the dates.
                assignmentRecord goal{0, QString(), ids[owners[i]], QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC),
                                      10 + i, 1 + i, QDate(2026, 3, 20 - i), QDate(2026, 4, 20 - i)};
                QVERIFY(store.addAssignment(goal));
                QCOMPARE(goal.uid.size(), 32);
            }
            uids[0] = store.patientUid(ids[0]);
            uids[1] = store.patientUid(ids[1]);
            QVERIFY(!store.recordsUid().isEmpty() && uids[0] != uids[1]);
        }
        recordStore store;
        QVERIFY(store.open(false));
        for (int p = 0; p < 2; ++p) {
            QCOMPARE(store.patientIdByUid(uids[p]), ids[p]);
            QList<int> expected; // indexes given to p, latest given first
            for (int i = owners.size() - 1; i >= 0; --i)
                if (owners[i] == p)
                    expected << i;
            const QList<assignmentRecord> read = store.assignments(ids[p]);
            QCOMPARE(read.size(), expected.size());
            for (int k = 0; k < read.size(); ++k) {
                const int i = expected[k];
                QCOMPARE(read[k].minutesPerDay, 10 + i);
                QCOMPARE(read[k].daysPerWeek, 1 + i);
                QCOMPARE(read[k].starts, QDate(2026, 3, 20 - i));
                QCOMPARE(read[k].ends, QDate(2026, 4, 20 - i));
                QCOMPARE(read[k].patientId, ids[p]);
            }
        }
        QCOMPARE(store.patientIdByUid(QString(32, 'f')), qint64(0));
    }
};

QTEST_MAIN(tst_homework)
#include "tst_homework.moc"
