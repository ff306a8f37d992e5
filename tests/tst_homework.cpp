// Homework in real files: goals in the practice's records, a homework file
// made, practised at home through the recorder and the window, and merged
// back; every file that must be refused.
#include "app/capabilities.h"
#include "homework/homeworkdialog.h"
#include "homework/homeworkfile.h"
#include "homework/homeworksession.h"
#include "records/recordstore.h"
#include "records/sessiondonedialog.h"
#include "records/sessiongoal.h"
#include "settings/preferences.h"
#include "testsupport.h"
#include "window/gamethreewords.h"
#include <QtSql>
#include <QtTest>
#include <QtWidgets>
class tst_homework : public QObject
{
    Q_OBJECT
    TemporaryConfig config;
    QString practiceFile() const { return config.dir.filePath("practice.sqlite"); }
    // A homework for Frau Rund (display name "Anna") on an own list with one picture, in records that hold Herr Anders too.
    // before: what Frau Rund did in the practice before the homework was made.
    QString makeHomework(recordStore &practice, const QString &name, homeworkInfo *info, qint64 *patient,
                         const std::function<void(qint64, const QString &)> &before = {})
    {
        const QString list = writeFile(config.dir.filePath("obst.txt"), "#Obst\nApfel;Apfl;Appel\nBirne;Bine;Birme\n");
        QDir(config.dir.path()).mkpath("Bilder");
        writeFile(config.dir.filePath("Bilder/Apfel.png"), "not really a png");
        const qint64 other = practice.addPatient("Herr Anders"), id = practice.addPatient("Frau Rund");
        trainingRecord training{0, other, 0, "Obst", QString()};
        practice.recordAnswer(training, {QDateTime::currentDateTimeUtc(), "Apfel", {"Apfel", "Apfl", "Appel"}, "Apfel", true, 1, 900}, QDateTime::currentDateTimeUtc());
        const preferences prefs("Pondrel", "Skarvel");
        *info = homeworkFile::defaults(prefs, QDate(2026, 3, 2));
        info->displayName = "Anna";
        *patient = id;
        if (before)
            before(id, QFileInfo(list).absoluteFilePath());
        return homeworkFile::takeList(list, info).isEmpty() && homeworkFile::write(config.dir.filePath(name), practice, id, *info).isEmpty()
            ? config.dir.filePath(name) : QString();
    }
    static void answer(homeworkSession &home, int n)
    {
        home.trainingChosen(0, "Obst");
        for (int i = 0; i < n; ++i) {
            home.recorder().itemShown({"Apfl", "Apfel", "Appel"}, 0, "Apfel");
            home.recorder().answerJudged(i % 2 ? "Apfel" : "Apfl", i % 2);
            home.recorder().itemCounted();
        }
    }
    // The statement run on the file; the first value it gives.
    static QVariant sql(const QString &path, const QString &statement)
    {
        QVariant value;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "change");
            db.setDatabaseName(path);
            db.open();
            QSqlQuery query(db);
            value = query.exec(statement) && query.next() ? query.value(0) : QVariant();
        }
        QSqlDatabase::removeDatabase("change");
        return value;
    }
private slots:
    void init() { QFile::remove(practiceFile()), QFile::remove(recordStore::defaultFileName()); }

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

    // Made for one patient alone, practised at home in two runs, returned three times: each answer arrives once,
    // the open training's later answers too, all marked at home.
    void roundTrip()
    {
        recordStore practice(practiceFile());
        QVERIFY(practice.open(true));
        homeworkInfo made, read;
        qint64 id = 0;
        const QString path = makeHomework(practice, "Anna.skarvel", &made, &id);
        QVERIFY(!path.isEmpty() && (QFile(path).permissions() & 0077) == 0);
        QCOMPARE(homeworkFile::read(path, &read), QString());
        QVERIFY(read.displayName == "Anna" && read.listText == made.listText && read.pictures.value("Apfel.png") == "not really a png");
        QVERIFY(read.patientUid == practice.patientUid(id) && practice.assignments(id).size() == 1);
        QCOMPARE(sql(path, "SELECT group_concat(name) FROM patients").toString(), QString("Anna"));

        QString message;
        {
            homeworkSession home(path, read);
            QCOMPARE(home.open(), QString());
            answer(home, 3);
            QCOMPARE(homeworkFile::import(path, practice, &message), 3);
            answer(home, 2);
            QCOMPARE(homeworkFile::import(path, practice, &message), 2);
            home.recorder().closing();
            QVERIFY(home.done(QDate::currentDate()).words == 5 && home.done(QDate::currentDate()).firstRight == 2);
        }
        // The training went on after it was taken: it ends where the file says.
        sql(path, "UPDATE trainings SET ended = '2027-01-01T10:00:00Z'");
        QCOMPARE(homeworkFile::import(path, practice, &message), 0);
        {
            homeworkSession home(path, read);
            QCOMPARE(home.open(), QString());
            answer(home, 1);
            home.recorder().closing();
        }
        QCOMPARE(homeworkFile::import(path, practice, &message), 1);
        QCOMPARE(homeworkFile::import(path, practice, &message), 0);
        QCOMPARE(practice.trainingAndAnswerCount(id), qMakePair(2, 6));
        const QList<trainingSummary> trainings = practice.trainings(id);
        QVERIFY(trainings.size() == 2 && trainings[0].atHome && trainings[1].atHome && trainings[0].items == 5);
        QVERIFY(trainings[0].firstRight == 2 && trainings[0].wordList == made.listName);
        QCOMPARE(trainings[0].ended, QDateTime(QDate(2027, 1, 1), QTime(10, 0), Qt::UTC));
        QCOMPARE(practice.trainingAndAnswerCount(practice.patientId("Herr Anders")), qMakePair(1, 1));
        QStringList logged; // made once, taken five times
        for (const auditRecord &line : practice.accessLog())
            logged.prepend(line.action + " " + line.patient);
        const QString taken = "import Frau Rund";
        QCOMPARE(logged, QStringList({"export-homework Frau Rund", taken, taken, taken, taken, taken}));
    }

    void week_data()
    {
        QTest::addColumn<QStringList>("answers"); // day of March 2026|seconds to the first choice, between the answers after
        QTest::addColumn<int>("today");
        QTest::addColumn<QString>("progress");
        QTest::newRow("none yet") << QStringList{} << 2 << "Diese Woche: 0 von 100 Minuten, 0 von 5 Tagen";
        QTest::newRow("two days") << QStringList{"2|90,90,90", "4|60"} << 8 << "Diese Woche: 5 von 100 Minuten, 2 von 5 Tagen";
        QTest::newRow("week before") << QStringList{"8|600,60", "10|60"} << 11 << "Diese Woche: 1 von 100 Minuten, 1 von 5 Tagen";
    }
    // The week's practice at home, Monday to Sunday around today, each pause at most two minutes.
    void week()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, today);
        QFETCH(QString, progress);
        recordStore practice(practiceFile());
        QVERIFY(practice.open(true));
        homeworkInfo info;
        qint64 id = 0;
        const QString path = makeHomework(practice, "week.skarvel", &info, &id);
        homeworkSession home(path, info);
        QCOMPARE(home.open(), QString());
        for (const QString &training : answers) {
            trainingRecord record{0, home.store().patientIdByUid(info.patientUid), 0, "Obst", QString()};
            record.atHome = true;
            QDateTime at(QDate(2026, 3, training.section('|', 0, 0).toInt()), QTime(10, 0));
            const QStringList seconds = training.section('|', 1).split(',');
            for (int i = 0; i < seconds.size(); ++i) {
                at = at.addSecs(i ? seconds[i].toInt() : 0);
                QVERIFY(home.store().recordAnswer(record, {at, "Apfel", {"Apfel", "Apfl", "Appel"}, "Apfel", true, 1, i ? 900 : seconds[i].toInt() * 1000}, at));
            }
        }
        QCOMPARE(home.weekProgress(QDate(2026, 3, today)), progress);
    }

    // A word missed in the practice comes back at home on its day and goes on by the answers there; the file
    // carries nothing else of before, the practice's time is not the home's, and only the home's answer comes back.
    void review()
    {
        recordStore practice(practiceFile());
        QVERIFY(practice.open(true));
        const QDateTime monday(QDate(2026, 3, 2), QTime(10, 0));
        const auto answerOn = [](recordStore &store, trainingRecord &training, const QDateTime &at, const QString &right, bool firstRight) {
            const QStringList shown{"Bine", right, "Birme"};
            return store.recordAnswer(training, {at, right, shown, firstRight ? right : "Bine", firstRight, firstRight ? 1 : 2, 900}, at);
        };
        homeworkInfo info;
        qint64 id = 0;
        const QString path = makeHomework(practice, "review.skarvel", &info, &id, [&](qint64 rund, const QString &list) {
            trainingRecord falsch{0, rund, 0, "Obst", list}, other{0, rund, 0, "Obst", config.dir.filePath("andere.txt")},
                spelling{0, rund, 1, "Obst", list}, anders{0, practice.patientId("Herr Anders"), 0, "Obst", list};
            QVERIFY(answerOn(practice, falsch, monday, "Birne", false) && answerOn(practice, falsch, monday.addSecs(60), "Apfel", true));
            QVERIFY(answerOn(practice, other, monday, "Kiwi", false) && answerOn(practice, spelling, monday, "Pflaume", false));
            QVERIFY(answerOn(practice, anders, monday, "Mango", false));
        });
        QVERIFY(!path.isEmpty());
        QCOMPARE(sql(path, "SELECT group_concat(right_word) FROM answers").toString(), QString("Birne"));

        homeworkSession home(path, info);
        QCOMPARE(home.open(), QString());
        QCOMPARE(home.dueEntries(QDate(2026, 3, 2)), QStringList());
        QCOMPARE(home.dueEntries(QDate(2026, 3, 3)), QStringList{"Birne;Bine;Birme"});
        trainingRecord atHome{0, home.store().patientIdByUid(info.patientUid), 0, "Obst", info.listName};
        atHome.atHome = true;
        QVERIFY(answerOn(home.store(), atHome, monday.addDays(1), "Birne", true));
        QCOMPARE(home.dueEntries(QDate(2026, 3, 4)), QStringList());
        QCOMPARE(home.dueEntries(QDate(2026, 3, 5)), QStringList{"Birne;Bine;Birme"});
        QCOMPARE(home.weekProgress(QDate(2026, 3, 3)), QString("Diese Woche: 0 von 100 Minuten, 1 von 5 Tagen"));
        QCOMPARE(home.done(QDate(2026, 3, 2)).words, 0);

        QString message;
        QCOMPARE(homeworkFile::import(path, practice, &message), 1);
        QCOMPARE(practice.dueEntries(id, info.listName, QDate(2026, 3, 4)), QStringList());

        QVERIFY(home.periodLine(info.starts).isEmpty() && home.periodLine(info.ends).isEmpty());
        QVERIFY(home.periodLine(info.ends.addDays(1)).startsWith("Die Hausaufgabe lief bis zum "));
        QVERIFY(home.periodLine(info.starts.addDays(-1)).startsWith("Die Hausaufgabe beginnt am "));
    }

    void dayGoal_data()
    {
        QTest::addColumn<int>("earlierSeconds");
        QTest::addColumn<QString>("summary"); // after two answers of 40 s each, one right at the first attempt
        QTest::newRow("reached with earlier runs") << 19 * 60 << "Geschafft für heute: 20 Minuten, 12 Wörter, 8 davon im 1. Versuch richtig";
        QTest::newRow("not yet") << 10 * 60 << "";
        QTest::newRow("told in an earlier run") << 20 * 60 << "";
    }
    // The day's goal at home counts what was done earlier that day, and is told once a day.
    void dayGoal()
    {
        QFETCH(int, earlierSeconds);
        QFETCH(QString, summary);
        preferences prefs("Pondrel", "Skarvel", {});
        MovedClock clock;
        sessionGoal goal(prefs, clock, nullptr);
        goal.setGoal(20, 0);
        goal.setEarlier(earlierSeconds * 1000, 10, 7);
        for (bool right : {true, false}) {
            goal.itemShown({"Apfl", "Apfel", "Appel"}, 0, "Apfel");
            clock.advance(40000);
            goal.answerJudged("Apfel", right);
            goal.itemCounted();
        }
        QString shown;
        QTimer::singleShot(0, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *done = qobject_cast<sessionDoneDialog *>(widget))
                    shown = done->findChild<QLabel *>("label_summary")->text(), done->reject();
        });
        QCoreApplication::processEvents(); // the summary comes after the item, from the event loop
        QCOMPARE(shown, summary);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("change"); // what happens to the file, or to the practice's records
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "remove" << "die Datei gibt es nicht";
        QTest::newRow("no database") << "text" << "beschädigt oder keine Hausaufgabe";
        QTest::newRow("damaged") << "damage" << "beschädigt oder keine Hausaufgabe";
        QTest::newRow("records only") << "DROP TABLE homework_info" << "beschädigt oder keine Hausaufgabe";
        QTest::newRow("newer records") << "PRAGMA user_version = 99" << "neueren Version";
        QTest::newRow("newer homework") << "UPDATE homework_info SET value = '2' WHERE key = 'format_version'" << "neueren Version";
        QTest::newRow("other practice") << "UPDATE homework_info SET value = 'x' WHERE key = 'records_uid'" << "anderen Praxis";
        QTest::newRow("unknown patient") << "delete patient" << "den es in diesen Aufzeichnungen nicht gibt";
    }
    // Each refused with the file's name and the reason; nothing of it reaches the records.
    void refusals()
    {
        QFETCH(QString, change);
        QFETCH(QString, reason);
        recordStore practice(practiceFile());
        QVERIFY(practice.open(true));
        homeworkInfo info;
        qint64 id = 0;
        const QString path = makeHomework(practice, "refused.skarvel", &info, &id);
        {
            homeworkSession home(path, info);
            QCOMPARE(home.open(), QString());
            answer(home, 2);
        }
        if (change == "remove")
            QFile::remove(path);
        else if (change == "text")
            writeFile(path, "#Obst\nApfel;Apfl;Appel\n");
        else if (change == "delete patient")
            QVERIFY(practice.deletePatient(id));
        else if (change != "damage")
            sql(path, change);
        QFile file(path);
        if (change == "damage" && file.open(QFile::ReadWrite) && file.seek(file.size() / 2))
            file.write(QByteArray(8192, '\x5a')), file.close();
        QString message;
        QCOMPARE(homeworkFile::import(path, practice, &message), -1);
        QVERIFY2(message.contains("„" + path + "“") && message.contains(reason), qPrintable(message));
        QVERIFY(practice.trainingAndAnswerCount(practice.patientIdByUid(info.patientUid)).second == 0);
        QCOMPARE(practice.trainingAndAnswerCount(practice.patientId("Herr Anders")), qMakePair(1, 1));
    }

    // The dialog starts from the practice's settings, offers "Alle" for "Falschwörter" only, and gives back what was chosen.
    void dialog()
    {
        homeworkInfo start;
        start.settings = {{"gameType", 0}, {"wordGroup", "Alle"}, {"timeDelay", 3000}};
        homeworkDialog dialog("Frau Rund", start, QString());
        auto *groups = dialog.findChild<QComboBox *>("comboBox_group");
        QVERIFY(groups->currentText() == "Alle" && dialog.findChild<QSpinBox *>("spinBox_delay")->value() == 3);
        dialog.findChild<QComboBox *>("comboBox_type")->setCurrentIndex(1);
        dialog.findChild<QSpinBox *>("spinBox_delay")->setValue(5);
        dialog.accept();
        const QVariantMap &chosen = dialog.homework().settings;
        QVERIFY(groups->findText("Alle") < 0 && chosen["wordGroup"] == "Baumarten" && chosen["gameType"] == 1);
        QVERIFY(chosen["timeDelay"] == 5000 && dialog.result() == QDialog::Accepted && dialog.homework().listText.isEmpty());
    }

    void atHome_data()
    {
        QTest::addColumn<bool>("free");
        QTest::addColumn<int>("endsIn"); // days from today
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("fontSize"); // 32: the window on its short screen gives up what it can
        QTest::newRow("settings fixed") << false << 7 << "Diese Woche: 0 von 100 Minuten, 0 von 5 Tagen" << 14;
        QTest::newRow("settings free, period over") << true << -1 << "Die Hausaufgabe lief bis zum " << 14;
        QTest::newRow("32 pt") << false << 7 << "Diese Woche: 0 von 100 Minuten, 0 von 5 Tagen" << 32;
    }
    // The window at home: the file's list, its group and delay, the display name; the settings reachable only when freed,
    // and changing the group writes neither the settings file nor records of the computer's own.
    void atHome()
    {
        QFETCH(bool, free);
        QFETCH(int, endsIn);
        QFETCH(QString, line);
        QFETCH(int, fontSize);
        recordStore practice(practiceFile());
        QVERIFY(practice.open(true));
        homeworkInfo info;
        qint64 id = 0;
        // Missed yesterday in the practice: due today.
        const QString made = makeHomework(practice, "window.skarvel", &info, &id, [&practice](qint64 rund, const QString &list) {
            trainingRecord training{0, rund, 0, "Obst", list};
            const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
            QVERIFY(practice.recordAnswer(training, {yesterday, "Birne", {"Bine", "Birne", "Birme"}, "Bine", false, 2, 900}, yesterday));
        });
        sql(made, QString("INSERT OR REPLACE INTO homework_info VALUES ('settings_free', '%1'), ('setting.timeDelay', '7000'),"
                          " ('setting.gameType', '0'), ('setting.wordGroup', 'Alle'), ('starts', '%2'), ('ends', '%3'),"
                          " ('setting.fontSize', '%4')")
                      .arg(QString::number(free), QDate::currentDate().addDays(-7).toString(Qt::ISODate),
                           QDate::currentDate().addDays(endsIn).toString(Qt::ISODate), QString::number(fontSize)));
        QVERIFY(homeworkFile::read(made, &info).isEmpty());
        MovedClock clock;
        preferences prefs("Pondrel", "Skarvel", info.settings);
        gameThreeWords window(&prefs, threeWords::bundledDocument, clock);
        QVERIFY(wireHomework(window, prefs, made, info));
        QCOMPARE(window.windowTitle(), QString("Pondrel - Skarvel – Anna"));
        QVERIFY(window.findChild<QLabel *>("label_weekProgress")->text().startsWith(line));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.findChild<QLabel *>("label_weekProgress")->isVisible());
        QVERIFY(window.screen()->availableGeometry().contains(window.frameGeometry()));
        QVERIFY(prefs.timeDelay() == 7000 && window.actualGroup() == "Alle");
        QVERIFY(QStringList({"Apfel", "Birne"}).contains(window.shownRightWord()));
        QCOMPARE(window.findChild<QAction *>("menuEinstellungen")->isEnabled(), free);
        auto *groups = window.findChild<QComboBox *>("comboBox_wordGroup");
        QCOMPARE(groups->isEnabled(), free);
        QVERIFY(groups->findText("Fehlerwörter") > 0);
        emit groups->textActivated("Obst");
        clock.advance(5000);
        window.findChild<QPushButton *>("moreButton")->click();
        QCOMPARE(sql(made, "SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id WHERE t.at_home = 1").toInt(), 1);
        QVERIFY(config.contents().isNull() && !QFile::exists(recordStore::defaultFileName()));
    }
};
QTEST_MAIN(tst_homework)
#include "tst_homework.moc"
