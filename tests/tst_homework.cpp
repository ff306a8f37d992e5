// Homework goals in a real records file, closed and opened again between.
#include "records/recordstore.h"
#include "testsupport.h"
#include <QtTest>
class tst_homework : public QObject
{
    Q_OBJECT
    TemporaryConfig config;
private slots:
    // Goals given to Anna, Bernd, Anna: each reads back their own, the earliest start first; uids find them.
    void assignmentsStayWithTheirPatient()
    {
        QString uids[2];
        {
            recordStore store;
            QVERIFY(store.open(true));
            const qint64 ids[2] = {store.addPatient("Anna"), store.addPatient("Bernd")};
            for (int i : {0, 1, 2}) { // given later, started earlier
                assignmentRecord goal{0, {}, ids[i % 2], QDateTime::currentDateTimeUtc(), 10 + i, 1 + i,
                                      QDate(2026, 3, 20 - i), QDate(2026, 4, 20 - i)};
                QVERIFY(store.addAssignment(goal) && goal.uid.size() == 32);
            }
            uids[0] = store.patientUid(ids[0]), uids[1] = store.patientUid(ids[1]);
        }
        recordStore store;
        QVERIFY(store.open(false) && !store.recordsUid().isEmpty() && uids[0] != uids[1]);
        const auto anna = store.assignments(store.patientIdByUid(uids[0])), bernd = store.assignments(store.patientIdByUid(uids[1]));
        QVERIFY(anna.size() == 2 && bernd.size() == 1 && store.patientIdByUid(QString(32, 'f')) == 0);
        QVERIFY(anna[0].minutesPerDay == 12 && anna[0].daysPerWeek == 3 && anna[0].starts == QDate(2026, 3, 18));
        QVERIFY(anna[1].minutesPerDay == 10 && anna[1].ends == QDate(2026, 4, 20) && bernd[0].minutesPerDay == 11);
    }
};
QTEST_MAIN(tst_homework)
#include "tst_homework.moc"
