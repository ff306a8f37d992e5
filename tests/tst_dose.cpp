// The dose: practice time from the answers, per week in the Verlauf, missed
// words back on their schedule, and the session goal in the room. Real
// SQLite files in a temporary data folder; time from clocks the tests set.

#include "app/capabilities.h"
#include "app/commandline.h"
#include "records/patientrecords.h"
#include "records/reviewschedule.h"
#include "records/sessiondonedialog.h"
#include "records/verlaufdialog.h"
#include "settings/preferences.h"
#include "testsupport.h"
#include "windowdriver.h"

#include <QtCharts>

using namespace QtCompat::Charts;

class tst_dose : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;

    // Noon, local time, of a day counted from a Monday.
    static QDateTime day(int offset, int seconds = 0)
    {
        return QDateTime(QDate(2026, 3, 2).addDays(offset), QTime(12, 0)).addSecs(seconds).toUTC();
    }
    static void answer(recordStore &store, trainingRecord &training, const QDateTime &at, bool right, int ms)
    {
        const QStringList words{"Apfel", "Apfl", "Appel"};
        QVERIFY(store.recordAnswer(training, {at, "Apfel", words, words.at(right ? 0 : 1), right, right ? 1 : 2, ms}, at));
    }

private slots:
    void init() { QDir(config.dir.filePath("data")).removeRecursively(); }

    void verlauf_data()
    {
        QTest::addColumn<QStringList>("trainings"); // day|h: at home|first response, then the times between answers (s)
        QTest::addColumn<int>("goal");              // minutes a week
        QTest::addColumn<bool>("chart");            // the practice tab
        QTest::newRow("one week") << QStringList{"0||30,40,50", "3||10,10"} << 0 << false;
        QTest::newRow("two weeks") << QStringList{"0||30,40", "8||10,500,10"} << 0 << true;
        QTest::newRow("home") << QStringList{"1|h|200,20,121", "1||5,5"} << 0 << true;
        QTest::newRow("gap, goal") << QStringList{"0|h|30,30", "2||20", "22|h|90,119"} << 100 << true;
        QTest::newRow("goal only") << QStringList{"0||30,30"} << 20 << true;
    }
    // Each answer counts the time since the one before, a training's first
    // its response time, every pause at most two minutes; summed per week,
    // in the practice and at home apart. A therapist without homework or a
    // second week sees the Verlauf as before.
    void verlauf()
    {
        QFETCH(QStringList, trainings);
        QFETCH(int, goal);
        QFETCH(bool, chart);
        recordStore store;
        QVERIFY(store.open(true));
        const qint64 id = store.addPatient("Frau Test");
        QMap<int, QPair<double, double>> weeks; // Monday's offset: minutes in the practice, at home
        QStringList places;
        for (const QString &line : trainings) {
            const QStringList fields = line.split('|');
            trainingRecord training{0, id, 0, "Obst", QString()};
            training.atHome = fields[1] == "h";
            int at = -1;
            for (const QString &seconds : fields[2].split(',')) {
                const int s = seconds.toInt();
                answer(store, training, day(fields[0].toInt(), at = at < 0 ? 0 : at + s), true, s * 1000);
                (training.atHome ? weeks[fields[0].toInt() / 7].second : weeks[fields[0].toInt() / 7].first) += qMin(s, 120) / 60.0;
            }
            places << (training.atHome ? "zu Hause" : "Praxis");
        }
        for (int week = weeks.firstKey(); week < weeks.lastKey(); ++week)
            weeks[week];
        const bool home = places.contains("zu Hause");

        verlaufDialog dialog(store, id, "Frau Test", nullptr, goal);
        auto *tabs = dialog.findChild<QTabWidget *>("tabWidget_charts");
        QCOMPARE(tabs->count(), chart ? 2 : 1);
        QStringList csv;
        for (const QString &row : QString::fromUtf8(dialog.report().csv()).split("\r\n", Qt::SkipEmptyParts))
            csv << row.section(';', 6);
        QCOMPARE(csv.join('|'), home ? "Ort|" + places.join('|') : QString(trainings.size(), '|'));
        if (!chart)
            return;
        QList<QBarSet *> sets;
        QList<qreal> goalLine;
        for (QAbstractSeries *series : tabs->widget(1)->findChild<QChartView *>()->chart()->series()) {
            if (auto *bars = qobject_cast<QStackedBarSeries *>(series))
                sets = bars->barSets();
            else
                for (const QPointF &point : static_cast<QLineSeries *>(series)->points())
                    goalLine << point.y();
        }
        QCOMPARE(sets.size(), home ? 2 : 1);
        QCOMPARE(sets[0]->count(), weeks.size());
        int i = 0;
        for (auto week = weeks.cbegin(); week != weeks.cend(); ++week, ++i) {
            QVERIFY2(qAbs(sets[0]->at(i) - week->first) < 1e-6, qPrintable(QString::number(sets[0]->at(i))));
            QVERIFY(!home || qAbs(sets[1]->at(i) - week->second) < 1e-6);
        }
        QCOMPARE(goalLine, goal ? (QList<qreal>{qreal(goal), qreal(goal)}) : QList<qreal>());
    }

    void schedule_data()
    {
        QTest::addColumn<QString>("answers"); // a day each: w wrong, r right at the first attempt, . none
        QTest::addColumn<QString>("due");     // D: due at the start of that day
        QTest::newRow("learnt") << "wr.r...r..." << "-D-D---D---";
        QTest::newRow("wrong again") << "wr.w.r..." << "-D-DDD-DD";
        QTest::newRow("early right") << "wrr.r...." << "-D-DD---D";
        QTest::newRow("late") << "w....r..." << "-DDDDD-DD";
        QTest::newRow("right first") << "rrw.." << "---DD";
        QTest::newRow("after learnt") << "wr.r...r.w.." << "-D-D---D--DD";
    }
    // Wrong: back the next day; right when due: back in two, then four days;
    // right on three such days: learnt. The store offers what the schedule
    // says, day by day.
    void schedule()
    {
        QFETCH(QString, answers);
        QFETCH(QString, due);
        recordStore store;
        QVERIFY(store.open(true));
        const qint64 id = store.addPatient("Frau Test");
        QVector<reviewSchedule::firstAttempt> attempts;
        QString seen, offered;
        for (int d = 0; d < answers.size(); ++d) {
            const QDate today = day(d).toLocalTime().date();
            seen += reviewSchedule::isDue(reviewSchedule::of(attempts), today) ? 'D' : '-';
            offered += store.dueEntries(id, QString(), today) == QStringList{"Apfel;Apfl;Appel"} ? 'D' : '-';
            if (answers[d] == '.')
                continue;
            attempts.append({today, answers[d] == 'r'});
            trainingRecord training{0, id, 0, "Obst", QString()};
            answer(store, training, day(d), answers[d] == 'r', 900);
        }
        QCOMPARE(seen, due);
        QCOMPARE(offered, due);
    }

    void sessionGoal_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("items"); // r or w at the first attempt, then the seconds before it
        QTest::addColumn<int>("reachedAt");     // the item after which the summary comes; 0: never
        QTest::newRow("words") << QByteArray("sessionGoalWords=3") << QStringList{"r1", "w1", "r1", "r1"} << 3;
        QTest::newRow("minutes") << QByteArray("sessionGoalMinutes=1") << QStringList{"r20", "r20", "w20", "r20"} << 3;
        QTest::newRow("pause capped") << QByteArray("sessionGoalMinutes=3") << QStringList{"r20", "r600", "r20", "r20", "r1"} << 4;
        QTest::newRow("no goal") << QByteArray() << QStringList{"r100", "r100", "r100"} << 0;
    }
    // The summary comes once, after the item that reaches the goal, with the
    // session's numbers; no answer key closes it; without a goal, nothing
    // comes and nothing is written.
    void sessionGoal()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, items);
        QFETCH(int, reachedAt);
        const QByteArray file = "[General]\ngameType=0\n" + settings + "\n";
        startTrainer(config, file, [](gameThreeWords &window, preferences &prefs) {
            wireRecords(window, prefs, StartOptions{});
        });
        int done = 0, appeared = 0;
        double seconds = 0;
        QString expected, text;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<sessionDoneDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            appeared = done;
            text = dialog->findChild<QLabel *>("label_summary")->text();
            for (int key : {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_Return, Qt::Key_Enter}) {
                QTest::keyClick(dialog->findChild<QPushButton *>("pushButton_stop"), Qt::Key(key));
                QTest::keyClick(dialog, Qt::Key(key));
                QVERIFY2(dialog->isVisible(), qPrintable(QKeySequence(key).toString()));
            }
            QTest::mouseClick(dialog->findChild<QPushButton *>("pushButton_goOn"), Qt::LeftButton);
        });
        watch.start(0);
        int right = 0;
        for (const QString &item : items) {
            const int wait = item.mid(1).toInt();
            clock.advance(wait * 1000);
            seconds += done ? qMin(wait + 0.7, 120.0) : qMin(wait, 120);
            right += item[0] == 'r';
            QCOMPARE(driver->act(item[0].toLatin1()), QString());
            if (item[0] == 'w')
                QCOMPARE(driver->act('r'), QString());
            QCOMPARE(driver->act('n'), QString());
            ++done;
            if (done == reachedAt)
                expected = QString("Geschafft für heute: %1, %2 Wörter, %3 davon im 1. Versuch richtig")
                               .arg(seconds < 60 ? "weniger als eine Minute" : QString("%1 Minute%2").arg(int(seconds / 60)).arg(seconds < 120 ? "" : "n"))
                               .arg(done).arg(right);
            QCoreApplication::processEvents(); // the summary comes after the next item is on show
        }
        QCOMPARE(appeared, reachedAt);
        QCOMPARE(text, expected);
        QCOMPARE(config.contents(), file);
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(tst_dose)
#include "tst_dose.moc"
