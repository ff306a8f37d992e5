// A returned homework file of 5,000 answers merged into records of 100,000
// (each run into a fresh copy of them), the same file merged again (nothing
// new), and the Verlauf afterwards, from the menu to the painted dialog.
// Run on an optimised build, with a display or QT_QPA_PLATFORM=offscreen.

#include "homework/homeworkfile.h"
#include "records/recordstore.h"
#include "records/verlaufdialog.h"

#include <QtSql>
#include <QtTest>
#include <QtWidgets>

#include <algorithm>

class BenchHomework : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    static double median(QVector<double> values)
    {
        std::sort(values.begin(), values.end());
        return values.at(values.size() / 2);
    }

    // trainings of 40 answers each, every one with its identity, in one transaction.
    static void generate(const QString &fileName, qint64 patient, int trainings, bool atHome)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "generate");
            db.setDatabaseName(fileName);
            QVERIFY(db.open() && db.transaction());
            QSqlQuery training(db), answer(db);
            training.prepare("INSERT INTO trainings (patient_id, started, ended, game_type, word_group, word_list, uid,"
                             " at_home) VALUES (?, ?, ?, ?, 'Obst', '', lower(hex(randomblob(16))), ?)");
            answer.prepare("INSERT INTO answers (training_id, at, right_word, shown_words, first_choice,"
                           " first_attempt_right, attempts, response_ms, uid)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, lower(hex(randomblob(16))))");
            const QDateTime begin = QDateTime::currentDateTimeUtc().addDays(atHome ? -30 : -730);
            for (int t = 1; t <= trainings; ++t) {
                const QString started = begin.addSecs(t * (atHome ? 600 : 25000)).toString(Qt::ISODate);
                for (const QVariant &value : {QVariant(patient), QVariant(started), QVariant(started), QVariant(t % 2),
                                              QVariant(int(atHome))})
                    training.addBindValue(value);
                QVERIFY(training.exec());
                const qint64 id = training.lastInsertId().toLongLong();
                for (int a = 0; a < 40; ++a) {
                    const bool right = (a * 7 + t) % 10 < 7;
                    const QString word = QStringLiteral("Wort%1").arg((a * 31 + t) % 400);
                    for (const QVariant &value : {QVariant(id), QVariant(started), QVariant(word),
                                                  QVariant(word + ";x;y"), QVariant(right ? word : "x"),
                                                  QVariant(int(right)), QVariant(right ? 1 : 2),
                                                  QVariant(500 + (a * 97 + t) % 4000)})
                        answer.addBindValue(value);
                    QVERIFY(answer.exec());
                }
            }
            QVERIFY(db.commit());
        }
        QSqlDatabase::removeDatabase("generate");
    }

private slots:
    void mergeAndVerlauf()
    {
        const QString records = dir.filePath("records.sqlite"), returned = dir.filePath("Hausaufgabe.skarvel");
        qint64 patient = 0;
        {
            recordStore store(records);
            QVERIFY(store.open(true));
            patient = store.addPatient("Frau Bench");
            homeworkInfo homework;
            homework.starts = QDate::currentDate();
            homework.ends = homework.starts.addDays(27);
            QCOMPARE(homeworkFile::write(returned, store, patient, homework), QString());
        }
        generate(records, patient, 2500, false);
        generate(returned, 1, 125, true);

        QVector<double> merged, again, shown, before;
        for (int run = 0; run < 5; ++run) {
            const QString copy = dir.filePath(QStringLiteral("copy%1.sqlite").arg(run));
            QVERIFY(QFile::copy(records, copy));
            recordStore store(copy);
            QVERIFY(store.open(false));
            QString message;
            QElapsedTimer timer;
            timer.start();
            {
                verlaufDialog dialog(store, patient, "Frau Bench");
                dialog.show();
                QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                QCoreApplication::processEvents();
                before.append(timer.nsecsElapsed() / 1e6);
            }
            timer.restart();
            QCOMPARE(homeworkFile::import(returned, store, &message), 5000);
            merged.append(timer.nsecsElapsed() / 1e6);
            timer.restart();
            QCOMPARE(homeworkFile::import(returned, store, &message), 0);
            again.append(timer.nsecsElapsed() / 1e6);
            timer.restart();
            verlaufDialog dialog(store, patient, "Frau Bench");
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCoreApplication::processEvents();
            shown.append(timer.nsecsElapsed() / 1e6);
            QCOMPARE(dialog.report().rows().size(), 2625);
        }
        qInfo("merging 5,000 answers into 100,000: median %.1f ms (target: <= 1000 ms)", median(merged));
        qInfo("merging the same file again (nothing new): median %.1f ms", median(again));
        qInfo("Verlauf of 105,000 answers afterwards: median %.1f ms (target: < 300 ms); of the 100,000 before: "
              "median %.1f ms", median(shown), median(before));
        QVERIFY(median(merged) <= 1000 && median(shown) < 300);
    }
};

QTEST_MAIN(BenchHomework)
#include "bench_homework.moc"
