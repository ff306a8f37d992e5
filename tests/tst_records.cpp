// Patients and their records: a real SQLite file in a temporary data
// directory, written through the real window and its wiring.

#include "app/capabilities.h"
#include "app/commandline.h"
#include "records/patientdialog.h"
#include "records/patientnamedialog.h"
#include "records/patientrecords.h"
#include "records/recordsbackup.h"
#include "records/serveroutbox.h"
#include "records/verlaufdialog.h"
#include "settings/preferences.h"
#include "testsupport.h"
#include "windowdriver.h"

#include <QtCharts>
#include <QtSql>

#include <memory>
#include <sys/stat.h> // umask

using namespace QtCompat::Charts;

class tst_records : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;
    QTemporaryDir home;
    QTimer closer; // closes every message box, keeping its text
    QStringList messages;

    static QString file() { return recordStore::defaultFileName(); }
    patientRecords *records() const { return window->findChild<patientRecords *>(); }

    // As main does it: settings, window, wiring, show.
    void start(const QByteArray &settings, const QString &patient)
    {
        startTrainer(config, settings, [&patient](gameThreeWords &window, preferences &prefs) {
            wireRecords(window, prefs, StartOptions{QString(), patient});
        });
    }
    // Every row has an identity of its own, and so have the records.
    static void identities()
    {
        for (const char *table : {"patients", "trainings", "answers"})
            QCOMPARE(select(QString("SELECT count(DISTINCT uid) = count(*) AND min(length(uid)) = 32 FROM %1").arg(table)),
                     QStringList{"1"});
        QCOMPARE(select("SELECT length(value) FROM store_info WHERE key = 'records_uid'"), QStringList{"32"});
    }
    // The rows of a query on the file, fields joined by "|".
    static QStringList select(const QString &sql, const QString &fileName = file())
    {
        QStringList rows;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
            db.setDatabaseName(fileName);
            QSqlQuery query(db);
            for (db.open(), query.exec(sql); query.next(); rows.append(rows.takeLast().mid(1))) {
                rows.append(QString());
                for (int i = 0; i < query.record().count(); ++i)
                    rows.last() += '|' + query.value(i).toString();
            }
        }
        QSqlDatabase::removeDatabase("check");
        return rows;
    }
    // WindowDriver::act, p: a pause beyond the idle limit, S, B, H, A: presentation 0 to 3.
    void act(WindowDriver &driver, const QString &actions)
    {
        for (QChar action : actions) {
            if (action == 'p')
                QTest::qWait(1600);
            else if (QString("SBHA").contains(action))
                prefs->setPresentation(QString("SBHA").indexOf(action));
            else
                QCOMPARE(driver.act(action.toLatin1()), QString());
        }
    }
    static QByteArray contents(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QFile::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Each version's statements as that version of Skarvel made a new file.
    static QStringList oldSchema(int version)
    {
        QStringList v1{"PRAGMA application_id = 1397445206", "PRAGMA user_version = 1",
                       "CREATE TABLE patients (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, created TEXT NOT NULL)",
                       "CREATE TABLE trainings (id INTEGER PRIMARY KEY, patient_id INTEGER NOT NULL REFERENCES patients(id) ON DELETE CASCADE,"
                       " started TEXT NOT NULL, ended TEXT, game_type INTEGER NOT NULL, word_group TEXT NOT NULL, word_list TEXT NOT NULL)",
                       "CREATE INDEX trainings_by_patient ON trainings (patient_id, started)",
                       "CREATE TABLE answers (id INTEGER PRIMARY KEY, training_id INTEGER NOT NULL REFERENCES trainings(id) ON DELETE CASCADE,"
                       " at TEXT NOT NULL, right_word TEXT NOT NULL, shown_words TEXT NOT NULL, first_choice TEXT,"
                       " first_attempt_right INTEGER NOT NULL, attempts INTEGER NOT NULL, response_ms INTEGER)",
                       "CREATE INDEX answers_by_training ON answers (training_id, first_attempt_right, response_ms)"};
        return version == 1 ? v1 : v1 << "PRAGMA user_version = 2"
            << "CREATE TABLE patients_v2 (id INTEGER PRIMARY KEY, name TEXT NOT NULL, note TEXT NOT NULL DEFAULT '', match_key TEXT NOT NULL,"
               " created TEXT NOT NULL)" << "INSERT INTO patients_v2 (id, name, match_key, created) SELECT id, name, '', created FROM patients"
            << "DROP TABLE patients" << "ALTER TABLE patients_v2 RENAME TO patients" << "CREATE UNIQUE INDEX patients_by_key ON patients (match_key)";
    }
    static void answer(recordStore &store, trainingRecord &training, const QString &shown, int choice, int ms,
                       const QDateTime &at = QDateTime::currentDateTimeUtc())
    {
        const QStringList words = shown.split(';');
        QVERIFY(store.recordAnswer(training, {at, words.at(0), words, words.at(choice), choice == 0, choice ? 2 : 1, ms}, at));
    }

    static std::unique_ptr<verlaufDialog> verlaufOf(recordStore &store)
    {
        trainingRecord training{0, store.open(true) ? store.addPatient("Frau Test") : 0, 0, "Obst", QString()};
        answer(store, training, "Apfel;Apfl;Appel", 0, 500);
        return std::make_unique<verlaufDialog>(store, training.patientId, "Frau Test");
    }

private slots:
    void initTestCase()
    {
        for (const char *variable : {"XDG_DATA_HOME", "HOME", "XDG_RUNTIME_DIR"})
            qputenv(variable, QFile::encodeName(home.path()));
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        connect(&closer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                messages << box->text(), box->close();
        });
        closer.start(20);
    }
    void init()
    {
        closer.start(20);
        QDir(QFileInfo(file()).path()).removeRecursively();
        messages.clear();
    }

    void recording_data()
    {
        QTest::addColumn<QString>("actions"); // see act()
        QTest::addColumn<QStringList>("answers"); // training|right at once|attempts|choice made
        QTest::addColumn<QStringList>("trainings"); // type and presentation but S, as in act()|group
        const QStringList baum{"0|Baumarten"};
        QTest::newRow("right, wrong") << "rnwrrn" << QStringList{"1|1|1|1", "1|0|2|1"} << baum;
        QTest::newRow("no choice") << "n" << QStringList{"1|0|0|0"} << baum;
        QTest::newRow("replaced") << "wgrnsrn" << QStringList{"1|1|1|1", "1|1|1|1"} << QStringList{"0|Blumenarten"};
        QTest::newRow("group") << "rngrn" << QStringList{"1|1|1|1", "2|1|1|1"} << baum + QStringList{"0|Blumenarten"};
        QTest::newRow("type") << "rntrn" << QStringList{"1|1|1|1", "2|1|1|1"} << baum + QStringList{"1|Baumarten"};
        QTest::newRow("pause") << "rnprn" << QStringList{"1|1|1|1", "2|1|1|1"} << baum + baum;
        QTest::newRow("presentations") << "HrnArnBrnSrn" << QStringList{"1|1|1|1", "2|1|1|1", "3|1|1|1", "4|1|1|1"}
                                       << QStringList{"0H|Baumarten", "0A|Baumarten", "0B|Baumarten", "0|Baumarten"};
    }
    // One row per item left by "Weiter", its words as shown, its first choice
    // judged as the window judged it; a new training on every change.
    void recording()
    {
        QFETCH(QString, actions);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, trainings);
        // A presentation first is the one stored.
        start("[General]\ngameType=0\npresentation=" + QByteArray::number(qMax(0, QString("SBHA").indexOf(actions[0]))) + "\n", "Frau Test");
        QTRY_COMPARE(window->windowTitle(), "Pondrel - Skarvel – Frau Test");
        records()->recorder().setIdleLimit(1500);
        WindowDriver &driver = *this->driver;
        act(driver, actions);
        window->close();
        QCOMPARE(select("SELECT training_id, first_attempt_right, attempts, first_choice IS NOT NULL FROM answers"
                        " WHERE instr(';' || shown_words || ';', ';' || right_word || ';')"
                        " AND coalesce(first_choice = right_word, 0) = first_attempt_right ORDER BY id"),
                 answers);
        QCOMPARE(select("SELECT game_type || substr('BHA', presentation, 1), word_group FROM trainings"
                        " WHERE ended >= started ORDER BY id"), trainings);
        identities();
    }

    void choosing_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("patient"); // --patient
        QTest::addColumn<QString>("title");   // after "Pondrel - Skarvel"
        QTest::addColumn<QString>("message");
        QTest::newRow("new") << QByteArray() << "Frau Test" << " – Frau Test" << "";
        QTest::newRow("stored") << QByteArray("[General]\npatient=Frau Test\n") << "" << " – Frau Test" << "";
        QTest::newRow("any case") << QByteArray("[General]\npatient=Herr B\n") << " frau  TEST" << " – Frau Test" << "";
        QTest::newRow("no name") << QByteArray("[General]\npatient=Frau Test\n") << "\t" << "" << "kann kein Patient sein";
        QTest::newRow("stored list") << QByteArray("[General]\npatient=a, b\n") << "" << "" << "";
    }
    // --patient chooses, creating once and never twice; the key chooses
    // again at the next start; a name that cannot be one chooses nobody.
    void choosing()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, patient);
        QFETCH(QString, title);
        QFETCH(QString, message);
        start(QByteArray(), "Frau Test");
        QTRY_COMPARE(window->windowTitle(), "Pondrel - Skarvel – Frau Test");
        start(settings, patient);
        QTRY_VERIFY(messages.join(' ').contains(message));
        QTRY_COMPARE(window->windowTitle(), "Pondrel - Skarvel" + title);
        QCOMPARE(select("SELECT name FROM patients"), QStringList{"Frau Test"});
        QVERIFY(title.isEmpty() ? config.contents() == settings : config.contents().contains("patient=Frau Test\n"));
        QCOMPARE(records()->menu()->actions().at(1)->isEnabled(), !title.isEmpty());
    }

    // No patient, no file: nothing is opened, written or made.
    void nothingWithoutPatient()
    {
        start(QByteArray(), QString());
        WindowDriver &driver = *this->driver;
        act(driver, "rn");
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        records()->choosePatient();
        window->close();
        QVERIFY(!QFileInfo::exists(QFileInfo(file()).path()));
        QVERIFY(!QFileInfo::exists(config.file()));
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "sqlite:" and statements: a database of these
        QTest::addColumn<bool>("movedAside");
        QTest::addColumn<bool>("usable");
        QTest::newRow("random") << QByteArray(5000, 'x') << true << true;
        QTest::newRow("foreign") << QByteArray("sqlite:CREATE TABLE kunden (name TEXT)") << true << true;
        QTest::newRow("garbled page") << QByteArray("garbled") << true << true;
        QTest::newRow("empty") << QByteArray() << false << true;
        QTest::newRow("newer") << QByteArray("sqlite:PRAGMA application_id = 1397445206;PRAGMA user_version = 99") << false << false;
        QTest::newRow("next") << QByteArray("sqlite:PRAGMA application_id = 1397445206;PRAGMA user_version = 8") << false << false;
    }
    // A file that is no record of ours is moved aside as it is and a new one
    // started, with one message; one from a newer version is left alone.
    void damaged()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, movedAside);
        QFETCH(bool, usable);
        QDir().mkpath(QFileInfo(file()).path());
        if (bytes.startsWith("sqlite:")) {
            for (const QByteArray &statement : bytes.mid(7).split(';'))
                select(statement);
        } else if (bytes == "garbled") {
            recordStore full;
            QVERIFY(full.open(true) && full.addPatient("Frau Test"));
        }
        QFile damaged(file());
        QVERIFY(damaged.open(QFile::ReadWrite));
        if (bytes == "garbled")
            damaged.seek(4096), damaged.write(QByteArray(4096, 'x'));
        else if (!bytes.startsWith("sqlite:"))
            damaged.write(bytes);
        damaged.close();
        const QByteArray before = contents(file());

        recordStore store;
        QCOMPARE(store.open(false), usable);
        const QStringList aside = QDir(QFileInfo(file()).path()).entryList({"skarvel.sqlite.damaged-2*"});
        QCOMPARE(aside.size(), int(movedAside));
        QCOMPARE(store.takeNotice().isEmpty(), !movedAside && usable);
        if (!usable)
            QCOMPARE(contents(file()), before);
        if (movedAside)
            QCOMPARE(contents(QFileInfo(file()).dir().filePath(aside.first())), before);
        QVERIFY(store.patients().isEmpty());
        QCOMPARE(store.addPatient("Herr Neu") != 0, usable);
    }

    void verlauf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("umlauts") << "Frau Müller-Lüdenscheidt";
        QTest::newRow("percent") << "Zimmer %1 %2";
    }
    // The table, its CSV and its PDF say the same: items, percentages
    // truncated as the window does, medians of odd and even counts; the
    // name as it was typed; a line per type; a skipped item is no mistake.
    void verlauf()
    {
        QFETCH(QString, name);
        recordStore store;
        QVERIFY(store.open(true));
        const qint64 id = store.addPatient(name);
        trainingRecord first{0, id, 0, "Obst; \"Äpfel\"", QString()}, second{0, id, 1, "Tiere", "/x/Eigene.txt"};
        answer(store, first, "Apfel;Apfl;Appel", 0, 400);
        answer(store, first, "Birne;Birnne;Bierne", 1, 3000);
        answer(store, first, "Kiwi;Kiwii;Kiwy", 0, 1000);
        answer(store, second, "Hund;Zange;Rock", 0, 1200);
        answer(store, first, "Pflaume;Plaume;Pflaumme", 2, 2500);
        QVERIFY(store.endTraining(first, QDateTime::currentDateTimeUtc()));
        trainingRecord skipped{0, id, 0, "Obst", QString()};
        QVERIFY(store.recordAnswer(skipped, {QDateTime::currentDateTimeUtc(), "Mango", {"Mango", "Mangu", "Mago"},
                                             QString(), false, 0, -1}, QDateTime::currentDateTimeUtc()));

        verlaufDialog dialog(store, id, name);
        QCOMPARE(dialog.windowTitle(), "Verlauf – " + name);
        QCOMPARE(dialog.report().missed(), (QList<QPair<QString, int>>{{"Birne", 1}, {"Pflaume", 1}}));
        QStringList lines;
        for (QAbstractSeries *series : dialog.findChild<QChartView *>()->chart()->series())
            lines << series->name() + ":" + QString::number(static_cast<QLineSeries *>(series)->count());
        QCOMPARE(lines, (QStringList{"Falschwörter:2", "gruppenfremde Wörter:1"}));
        const QString today = QDate::currentDate().toString("dd.MM.yyyy");
        QCOMPARE(dialog.report().period(), today + " – " + today);
        auto *table = dialog.findChild<QTableWidget *>();
        QStringList cells;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 1; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
        QCOMPARE(cells.join('|'), "Falschwörter|Obst; \"Äpfel\"|4|50|1,8|gruppenfremde Wörter|Tiere (Eigene.txt)|1|100|1,2"
                                  "|Falschwörter|Obst|1|0|–");

        QString error;
        QVERIFY(dialog.exportCsv(home.filePath("v.csv"), &error));
        QByteArray csv = contents(home.filePath("v.csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF") && csv.endsWith("\r\n"));
        QStringList parsed{QString()}; // a field at a time: quotes, doubled quotes, ";" and CRLF
        const QString text = QString::fromUtf8(csv.mid(3));
        for (int i = 0, quoted = 0; i < text.size(); ++i) {
            if (text[i] == '"' && quoted && text.mid(i + 1, 1) == "\"")
                parsed.last() += text[i++];
            else if (text[i] == '"')
                quoted = !quoted;
            else if (!quoted && (text[i] == ';' || text.mid(i, 2) == "\r\n"))
                parsed.append(QString()), i += text[i] == '\r';
            else
                parsed.last() += text[i];
        }
        parsed.removeLast();
        QStringList shown = dialog.report().header();
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                shown << table->item(row, column)->text();
        QCOMPARE(parsed, shown);

        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QVERIFY(dialog.exportPdf(home.filePath("v.pdf"), &error));
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-enc", "UTF-8", home.filePath("v.pdf"), "-"});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QString pdf = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(pdf.contains("Verlauf – " + name) && pdf.contains("Zeitraum: " + today) && pdf.contains("Obst; \"Äpfel\""), qPrintable(pdf));
        QVERIFY(!dialog.exportCsv(home.filePath("none/v.csv"), &error) && error.contains("none/v.csv"));
    }

    void migrating_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("names"); // as the file holds them
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("plain") << 1 << QStringList{"Frau Ärger", "Herr B"} << QStringList{"Frau Ärger", "Herr B"};
        QTest::newRow("case twins") << 1 << QStringList{"Frau Ärger", "FRAU ÄRGER"}
                                    << QStringList{"Frau Ärger", "FRAU ÄRGER (angelegt am 05.01.2026 10:00)"};
        QTest::newRow("version 2") << 2 << QStringList{"Frau Ärger", "Herr B"} << QStringList{"Frau Ärger", "Herr B"};
    }
    // A file of version 1 or 2, written as that version wrote it, opens with every
    // patient, training and answer, each training words only; twins but for case are
    // told apart, and from then on the file itself refuses a twin.
    void migrating()
    {
        QFETCH(int, version);
        QFETCH(QStringList, names);
        QFETCH(QStringList, shown);
        QDir().mkpath(QFileInfo(file()).path());
        QStringList v1 = oldSchema(version);
        for (int i = 0; i < names.size(); ++i)
            v1 << QString(version == 1 ? "INSERT INTO patients VALUES (%1, '%2', '2026-01-05T10:00:00Z')" : "INSERT INTO patients VALUES"
                          " (%1, '%2', '', '%3\n', '2026-01-05T10:00:00Z')").arg(QString::number(i + 1), names[i], names[i].toCaseFolded())
               << QString("INSERT INTO trainings VALUES (%1, %1, '2026-01-05T10:00:00Z', NULL, 0, 'Obst', '')").arg(i + 1)
               << QString("INSERT INTO answers VALUES (%1, %1, '2026-01-05T10:00:00Z', 'Apfel', 'Apfel;Apfl;Appel', 'Apfl', 0, 2, 900)").arg(i + 1);
        for (const QString &statement : v1)
            select(statement);
        const QStringList answers = select("SELECT * FROM answers"),
                          trainings = select("SELECT * FROM trainings").replaceInStrings(QRegularExpression("$"), "|0|0");
        recordStore store;
        QVERIFY(store.open(false));
        const QString old = "id, training_id, at, right_word, shown_words, first_choice, first_attempt_right, attempts, response_ms";
        QCOMPARE(select("PRAGMA user_version") + select("SELECT id, patient_id, started, ended, game_type, word_group, word_list,"
                                                        " presentation, at_home FROM trainings")
                     + select("SELECT " + old + " FROM answers"),
                 QStringList{"7"} + trainings + answers);
        identities();
        shown.replaceInStrings("05.01.2026 10:00", QDateTime(QDate(2026, 1, 5), QTime(10, 0), Qt::UTC).toLocalTime().toString("dd.MM.yyyy HH:mm"));
        QStringList patients;
        for (const patientRecord &patient : store.patients()) {
            patients << patient.shown();
            QCOMPARE(store.trainings(patient.id).value(0).items, 1);
        }
        QCOMPARE(patients, shown);
        QVERIFY(!store.addPatient("frau ärger"));
        QVERIFY(store.addPatient("Frau Ärger", "geb. 1948"));
        select("INSERT INTO patients (name, note, match_key, created) VALUES ('x', '', 'frau ärger\n', '')");
        QCOMPARE(store.patients().size(), names.size() + 1);
    }

    void byPresentation_data()
    {
        QTest::addColumn<QStringList>("trainings"); // type|presentation|first attempts, 1: right
        QTest::newRow("words only") << QStringList{"0|0|10", "1|0|11"};
        QTest::newRow("two") << QStringList{"0|0|110", "0|1|1110", "0|0|0"};
        QTest::newRow("all, both types") << QStringList{"0|2|11", "1|3|10", "0|1|011", "1|0|111", "0|0|00"};
    }
    // Per type, the percentage right at the first attempt with each
    // presentation, over its words; nothing of it where all were words only.
    void byPresentation()
    {
        QFETCH(QStringList, trainings);
        const QStringList types{"Falschwörter", "gruppenfremde Wörter"},
            names{"Nur Schrift", "Bild und Schrift", "Hören und Schrift", "Bild, Hören und Schrift"};
        recordStore store;
        QVERIFY(store.open(true) && store.addPatient("Frau Test") == 1);
        QMap<QPair<int, int>, QString> firsts; // type and presentation: the first attempts
        QStringList shown{"Darbietung"}; // the CSV's last column
        for (const QString &line : trainings) {
            trainingRecord training{0, 1, line.at(0).digitValue(), "Obst", QString(), line.at(2).digitValue()};
            for (QChar first : line.mid(4))
                answer(store, training, "Apfel;Apfl;Appel", first == '1' ? 0 : 1, 500);
            firsts[{training.gameType, training.presentation}] += line.mid(4);
            shown << names[training.presentation];
        }
        const bool used = shown.count("Nur Schrift") < trainings.size();
        QMap<int, QStringList> parts;
        QStringList series, lines; // what the chart and the label say
        for (auto n = firsts.cbegin(); n != firsts.cend(); ++n) {
            parts[n.key().first] << QString("%1 %2 % (%3 Wörter)").arg(names[n.key().second], QString::number(n->count('1') * 100 / n->size()),
                                                                       QString::number(n->size()));
            series << types[n.key().first] + (used ? "<br>" + names[n.key().second] : QString());
        }
        for (auto type = parts.cbegin(); type != parts.cend() && used; ++type)
            lines << types[type.key()] + ", richtig im 1. Versuch: " + type->join(", ");

        verlaufDialog dialog(store, 1, "Frau Test");
        auto *label = dialog.findChild<QLabel *>("label_presentations");
        QCOMPARE(label->isVisibleTo(&dialog) ? label->text().split('\n') : QStringList(), lines);
        QStringList drawn, csv;
        for (QAbstractSeries *line : dialog.findChild<QChartView *>()->chart()->series())
            drawn << line->name();
        for (const QString &row : QString::fromUtf8(dialog.report().csv()).split("\r\n", Qt::SkipEmptyParts))
            csv << row.section(';', 6);
        QCOMPARE(drawn, series);
        QCOMPARE(csv.join('|'), used ? shown.join('|') : QString(trainings.size(), '|'));
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem"); // of the store
        QTest::addColumn<QString>("hint");    // of the dialog, typing it again
        QTest::newRow("plain") << "Frau Ärger" << "" << "schon";
        QTest::newRow("overrides") << QString("Frau \u202Eregrä") << "Schreibrichtung" << "Schreibrichtung";
        QTest::newRow("isolate") << QString("Frau \u2067B") << "Schreibrichtung" << "Schreibrichtung";
        QTest::newRow("mark") << QString("Frau\u200F B") << "Schreibrichtung" << "Schreibrichtung";
        QTest::newRow("arabic mark") << QString("Frau\u061C B") << "Schreibrichtung" << "Schreibrichtung";
        QTest::newRow("too long") << QString(81, 'a') << "länger als 80" << "höchstens 80";
    }
    // A name that can show as another is refused with the reason; typing
    // stops at the limit, and the dialog keeps what was typed when the
    // store refuses it.
    void names()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        QFETCH(QString, hint);
        recordStore store;
        QVERIFY(store.open(true));
        QCOMPARE(store.addPatient(name) != 0, problem.isEmpty());
        QVERIFY(store.takeNotice().contains(problem));
        patientNameDialog dialog("Neuer Patient", QString(), QString(), [&store](const QString &typed, const QString &) {
            return store.addPatient(typed) ? QString() : store.takeNotice();
        });
        auto *edit = dialog.findChild<QLineEdit *>("lineEdit_name");
        for (QChar c : name)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        if (name.size() <= 80)
            dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(edit->text(), name.left(80));
        QVERIFY2(dialog.findChild<QLabel *>("label_hint")->text().contains(hint), qPrintable(hint));
    }

    void locked_data()
    {
        QTest::addColumn<QString>("then"); // while held: nothing, closing the window or the Verlauf
        QTest::addColumn<QString>("said"); // the last message
        QTest::newRow("written when free") << "" << "";
        QTest::newRow("closed while held") << "close" << "Nicht gespeichert wurden 3 Antworten zu diesen Wörtern: %1.";
        QTest::newRow("Verlauf while held") << "Verlauf" << "3 Antworten warten noch darauf, gespeichert zu werden, und fehlen "
                                                           "im Verlauf, bis das andere Programm die Aufzeichnungen freigibt.";
    }
    // Another program holding the file freezes nothing: the answers wait with
    // one quiet line and are written, each once and in order, when it lets
    // go; closing while it holds says which answers were lost, the Verlauf
    // which are missing. No message closes on an answer key.
    void locked()
    {
        QFETCH(QString, then);
        QFETCH(QString, said);
        start("[General]\ngameType=0\n", "Frau Test");
        QTRY_COMPARE(window->windowTitle(), "Pondrel - Skarvel – Frau Test");
        trainingRecorder &recorder = records()->recorder();
        recorder.setRetryInterval(0);
        recorder.setClosingWait(0);
        QStringList rights;
        for (int i = 0; i < 4; ++i)
            rights << driver->rightWord(), act(*driver, i == 1 ? "wrn" : "rn");
        QSqlDatabase lock = QSqlDatabase::addDatabase("QSQLITE", "lock");
        lock.setDatabaseName(file());
        QVERIFY(lock.open() && QSqlQuery(lock).exec("BEGIN EXCLUSIVE"));
        closer.stop();
        QTimer keys;
        connect(&keys, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!modal)
                return;
            for (int key : {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_0, Qt::Key_Return, Qt::Key_Enter}) {
                QTest::keyClick(box ? box->buttons().first() : modal, Qt::Key(key));
                QVERIFY2(!box || box->isVisible(), qPrintable(QKeySequence(key).toString()));
            }
            messages << (box ? box->text() : modal->windowTitle()), modal->close();
        });
        keys.start(20);
        QSignalSpy written(&recorder, &trainingRecorder::answerRecorded);
        QElapsedTimer answering; // the file held for far longer than this
        answering.start();
        for (int i = 0; i < 3; ++i)
            rights << driver->rightWord(), act(*driver, "rn");
        QVERIFY2(answering.elapsed() < 3000, qPrintable(QString::number(answering.elapsed())));
        auto *line = window->findChild<QLabel *>("label_recordsWaiting");
        QCOMPARE(line->isVisible() ? line->text() : QString(), "Die Aufzeichnungen sind gerade von einem anderen Programm "
                                                               "belegt – 3 Antworten werden gespeichert, sobald sie frei sind.");
        if (then == "Verlauf")
            records()->showVerlauf();
        else if (then == "close")
            window->close();
        QCOMPARE(messages.value(messages.size() - (then == "Verlauf" ? 2 : 1)), said.replace("%1", rights.mid(4).join(", ")));
        QSqlQuery(lock).exec("ROLLBACK");
        lock.close();
        const bool lost = then == "close";
        QTRY_COMPARE(written.count(), lost ? 0 : 3);
        QVERIFY(!line->isVisible());
        window->close();
        QCOMPARE(select("SELECT right_word FROM answers ORDER BY id"), lost ? rights.mid(0, 4) : rights);
        QCOMPARE(select("SELECT count(DISTINCT training_id) FROM answers"), QStringList{"1"});
    }

    void patientList_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("list") << "listWidget_patients" << int(QDialog::Accepted) << "Berta";
        QTest::newRow("Ohne Patient") << "pushButton_none" << int(QDialog::Accepted) << "";
        QTest::newRow("Abbrechen") << "pushButton_cancel" << int(QDialog::Rejected) << "";
    }
    // Return presses the framed button, or chooses in the list.
    void patientList()
    {
        QFETCH(QString, focus);
        QFETCH(int, result);
        QFETCH(QString, chosen);
        recordStore store;
        QVERIFY(store.open(true));
        QVERIFY(store.addPatient("Berta"));
        patientDialog dialog(store, store.addPatient("Anna"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(dialog.findChild<QListWidget *>(), Qt::Key_Down);
        auto *widget = dialog.findChild<QWidget *>(focus);
        widget->setFocus();
        const QString framed = qobject_cast<QPushButton *>(widget) ? focus : "pushButton_choose";
        for (QPushButton *button : dialog.findChildren<QPushButton *>())
            QCOMPARE(button->isDefault(), button->objectName() == framed);
        QTest::keyClick(widget, Qt::Key_Return);
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.chosen().name, chosen);
    }

    // The window names the own list in use.
    void listShown()
    {
        QFile list(home.filePath("Meine Wörter.txt"));
        QVERIFY(list.open(QFile::WriteOnly) && list.write("#Obst\nApfel;Apfl;Appel\nBirne;Birnne;Bierne\n") && list.flush());
        startTrainer(config, QByteArray(), [&list](gameThreeWords &window, preferences &prefs) {
            wireWordLists(window, prefs, StartOptions{list.fileName(), QString()});
        });
        QTRY_COMPARE(window->wordListSource(), list.fileName());
        auto *label = window->findChild<QLabel *>("label_wordList");
        QCOMPARE(label ? label->text() : QString(), "Wortliste: Meine Wörter.txt");
    }

    void formulas_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("cell"); // as it stands in the CSV
        QTest::newRow("=") << "=HYPERLINK(\"x\")" << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("+") << "+49 30" << "\"'+49 30\"";
        QTest::newRow("-") << "-2+3" << "\"'-2+3\"";
        QTest::newRow("@") << "@A1" << "\"'@A1\"";
        QTest::newRow("tab") << "\t=1" << "\"'\t=1\"";
        QTest::newRow("CR") << "\r=1" << "\"'\r=1\"";
        QTest::newRow("inside") << "Obst=Gemüse" << "Obst=Gemüse";
    }
    // A cell that a spreadsheet program would run as a formula stays text.
    void formulas()
    {
        QFETCH(QString, group);
        QFETCH(QString, cell);
        trainingSummary training;
        training.group = group;
        const QString csv = QString::fromUtf8(verlaufReport("Frau Test", {training}, {}).csv());
        QVERIFY2(csv.contains(';' + cell + ';'), qPrintable(csv));
    }

    void privacy_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<bool>("older"); // the files there before, as an older Skarvel left them
        QTest::newRow("022") << 022 << false;
        QTest::newRow("000") << 0 << false;
        QTest::newRow("older files") << 022 << true;
    }
    // Health data, whatever the umask: the records, their folder and the exports for the user alone.
    void privacy()
    {
        QFETCH(int, umask);
        QFETCH(bool, older);
        const QString folder = QFileInfo(file()).path(), csv = home.filePath(QTest::currentDataTag()), pdf = csv + ".pdf";
        const mode_t before = ::umask(mode_t(umask));
        if (older && QDir().mkpath(folder) && QFile(csv).open(QFile::WriteOnly) && QFile(pdf).open(QFile::WriteOnly))
            select("PRAGMA user_version");
        recordStore store;
        const auto verlauf = verlaufOf(store);
        QString error;
        QVERIFY(verlauf->exportCsv(csv, &error) && verlauf->exportPdf(pdf, &error));
        QCOMPARE(recordsBackup::make(store, QDate(2026, 12, 7)), QString());
        ::umask(before);
        const QString backup = folder + "/Sicherungen/skarvel-2026-12-07.sqlite";
        for (const QString &path : {folder, file(), file() + "-wal", file() + "-shm", csv, pdf, QFileInfo(backup).path(), backup}) // no group, no others
            QVERIFY2(QFileInfo::exists(path) && !(QFileInfo(path).permissions() & 0x77), qPrintable(path));
    }

    void fullDisk_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::newRow("CSV") << false;
        QTest::newRow("PDF") << true;
    }
    // An export over a file on a full disk leaves it whole and says so.
    void fullDisk()
    {
        QFETCH(bool, pdf);
        FullDisk disk;
        if (!disk.mounted)
            QSKIP("cannot mount a tmpfs here (needs root)");
        const QString path = disk.fill("Verlauf", "vorher");
        recordStore store;
        QString error;
        QVERIFY(!(pdf ? verlaufOf(store)->exportPdf(path, &error) : verlaufOf(store)->exportCsv(path, &error)));
        QCOMPARE(error, "„" + path + "“ wurde nicht gespeichert. Auf dem Datenträger ist kein Platz mehr. Die Datei ist unverändert.");
        QCOMPARE(contents(path), "vorher");
    }

    // Deleting a patient leaves nothing of him in the file, its log or its
    // copies, and everyone else as they were.
    void deleting()
    {
        const QString copy = QFileInfo(file()).path() + "/Sicherungen/skarvel-2026-12-07.sqlite";
        recordStore store;
        QVERIFY(store.open(true));
        trainingRecord kept{0, store.addPatient("Frau Bleibt"), 0, "Obst", QString()};
        trainingRecord gone{0, store.addPatient("Herr Geht"), 0, "Obst", QString()};
        for (int i = 0; i < 300; ++i) {
            answer(store, kept, "Apfel;Apfl;Appel", 0, 500);
            answer(store, gone, "Quitte;Quite;Kwitte", 1, 500);
        }
        QCOMPARE(recordsBackup::make(store, QDate(2026, 12, 7)), QString());
        const QString uid = store.patientUid(gone.patientId);
        QVERIFY(store.deletePatient(gone.patientId));
        recordsBackup::forget(file(), uid);
        QCOMPARE(select("SELECT count(*) FROM answers", copy) + select("PRAGMA freelist_count", copy), (QStringList{"300", "0"}));
        QVERIFY(!contents(copy).contains("Quitte") && !contents(copy).contains("Herr Geht"));
        QCOMPARE(select("SELECT count(*), count(DISTINCT training_id) FROM answers"), QStringList{"300|1"});
        QCOMPARE(select("PRAGMA freelist_count"), QStringList{"0"});
        QCOMPARE(store.patients().size(), 1);
        QVERIFY(!(contents(file()) + contents(file() + "-wal")).contains("Quitte"));
        QVERIFY(!(contents(file()) + contents(file() + "-wal")).contains("Herr Geht"));
    }

    void backups_data()
    {
        QTest::addColumn<QList<int>>("days"); // of December, one answer and a copy each, in this order
        QTest::newRow("one day, twice") << QList<int>{7, 7};
        QTest::newRow("eight days") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("with gaps") << QList<int>{1, 3, 3, 9, 10, 11, 20, 21, 22, 30};
    }
    // One copy a day, the first of the day kept, the newest seven days kept;
    // each copy holds the answers written before it.
    void backups()
    {
        QFETCH(QList<int>, days);
        recordStore store;
        QVERIFY(store.open(true));
        trainingRecord training{0, store.addPatient("Frau Test"), 0, "Obst", QString()};
        QMap<int, int> answers; // day: answers in its copy
        for (int day : days) {
            answer(store, training, "Apfel;Apfl;Appel", 0, 500);
            if (!answers.contains(day))
                answers[day] = days.indexOf(day) + 1;
            QCOMPARE(recordsBackup::make(store, QDate(2026, 12, day)), QString());
        }
        while (answers.size() > 7)
            answers.erase(answers.begin());
        const QString folder = QFileInfo(file()).path() + "/Sicherungen";
        QStringList names;
        for (auto day = answers.cbegin(); day != answers.cend(); ++day) {
            names << QString("skarvel-2026-12-%1.sqlite").arg(day.key(), 2, 10, QChar('0'));
            QCOMPARE(select("SELECT count(*) FROM answers", folder + '/' + names.last()), QStringList{QString::number(*day)});
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files), names);
    }

    // Who exported, imported or deleted whom, in the file and in the patient
    // dialog; a deleted patient by the identity alone.
    void audit()
    {
        qputenv("USER", "therapeutin");
        recordStore store;
        const auto verlauf = verlaufOf(store);
        const QString kept = store.patientUid(1);
        QString error;
        QVERIFY(verlauf->exportCsv(home.filePath("a.csv"), &error) && verlauf->exportPdf(home.filePath("a.pdf"), &error));
        QVERIFY(store.logAccess(recordStore::imported, 1));
        const qint64 gone = store.addPatient("Herr Geht");
        const QString goneUid = store.patientUid(gone);
        QVERIFY(store.deletePatient(gone));
        QCOMPARE(select("SELECT user_name, action, patient_uid FROM audit ORDER BY id"),
                 (QStringList{"therapeutin|export-csv|" + kept, "therapeutin|export-pdf|" + kept, "therapeutin|import|" + kept,
                              "therapeutin|delete|" + goneUid}));
        patientDialog dialog(store, 0);
        QStringList shown;
        for (int i = 0; i < dialog.findChild<QListWidget *>("listWidget_audit")->count(); ++i)
            shown << dialog.findChild<QListWidget *>("listWidget_audit")->item(i)->text().section("  ", 1);
        QCOMPARE(shown, (QStringList{"therapeutin: Patient gelöscht – Kennung " + goneUid.left(8) + "… (der Name wird nach dem "
                                     "Löschen nicht aufbewahrt)", "therapeutin: Ergebnisse einer Hausaufgabe übernommen – Frau Test",
                                     "therapeutin: Verlauf als PDF exportiert – Frau Test",
                                     "therapeutin: Verlauf als CSV exportiert – Frau Test"}));
    }

    void treatingShown_data()
    {
        QTest::addColumn<QString>("server"); // the outbox's; empty: the records file of this computer
        QTest::newRow("records file") << "";
        QTest::newRow("practice server") << "postgresql://anna@127.0.0.1:1/praxis";
    }
    // "Behandelnde" only for the practice server, from the outbox's file,
    // whose worker made the tables even with the server away.
    void treatingShown()
    {
        QFETCH(QString, server);
        recordStore store;
        QVERIFY(store.open(true));
        const qint64 albers = store.addPatient("Frau Albers");
        std::unique_ptr<serverOutbox> outbox;
        if (!server.isEmpty()) {
            outbox = std::make_unique<serverOutbox>(server, QString(), store.fileName());
            QSignalSpy reached(outbox.get(), &serverOutbox::reachabilityChanged);
            outbox->start();
            QVERIFY(reached.wait(30000));
            select("INSERT INTO outbox_therapists (role) VALUES ('ben')"); // as a pull brings them
        }
        patientDialog dialog(store, albers);
        QCOMPARE(dialog.findChild<QGroupBox *>("groupBox_treating")->isVisibleTo(&dialog), !server.isEmpty());
        auto *list = dialog.findChild<QListWidget *>("listWidget_treating");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "+" : "");
        QCOMPARE(shown, server.isEmpty() ? QStringList() : QStringList({"anna (Sie)+", "ben"}));
        if (server.isEmpty())
            return;
        list->item(1)->setCheckState(Qt::Checked);
        QCOMPARE(select("SELECT roles, sent IS NULL FROM outbox_treating"), QStringList("anna\nben|1"));
    }

    // A file as version 5 left it opens with all it held, and keeps the log from then on.
    void fromVersion5()
    {
        {
            recordStore store;
            verlaufOf(store);
        }
        select("DROP TABLE audit");
        select("PRAGMA user_version = 5");
        const QStringList rows = select("SELECT * FROM patients") + select("SELECT * FROM trainings") + select("SELECT * FROM answers");
        recordStore store;
        QVERIFY(store.open(false) && store.logAccess(recordStore::exportedCsv, 1));
        QCOMPARE(select("SELECT * FROM patients") + select("SELECT * FROM trainings") + select("SELECT * FROM answers"), rows);
        QCOMPARE(select("PRAGMA user_version") + select("SELECT action FROM audit"), (QStringList{"7", "export-csv"}));
    }

    // "Fehlerwörter": the items answered wrong at the first attempt and due
    // again today, offered after "Alle" once asked for; a word missed today
    // waits for tomorrow.
    void practice()
    {
        start("[General]\ngameType=0\n", "Frau Test");
        QTRY_COMPARE(window->windowTitle(), "Pondrel - Skarvel – Frau Test");
        recordStore &store = records()->store();
        const qint64 id = store.patientId("Frau Test");
        trainingRecord other{0, id, 1, "Obst", QString()};
        answer(store, other, "Birne;Zange;Rock", 1, 500);
        QStringList rights; // missed yesterday, the newest first
        const QDateTime yesterday = QDateTime::currentDateTimeUtc().addDays(-1);
        for (const QString word : {"Apfel", "Kiwi", "Pflaume", "Kirsche", "Banane", "Mango"}) {
            trainingRecord training{0, id, 0, "Obst", QString()};
            answer(store, training, word + ";" + word + "e;" + word + "n", 1, 500, yesterday);
            answer(store, training, "Ahorn;Ahörn;Aharn", 0, 500, yesterday);
            rights.prepend(word);
        }
        trainingRecord own{0, id, 0, "Obst", "/x/Eigene.txt"}; // the newest, in another list
        answer(store, own, "Quitte;Quite;Kwitte", 1, 500);
        QCOMPARE(store.missedEntries(id, "/x/Eigene.txt", 5), QStringList{"Quitte;Quite;Kwitte"});
        auto offered = [this] {
            QStringList words;
            for (const QString &entry : window->selectedEntries())
                words << entry.section(';', 0, 0);
            return words;
        };
        records()->menu()->actions().at(2)->trigger();
        QTRY_VERIFY(messages.join(' ').contains("6 Wörter"));
        WindowDriver &driver = *this->driver;
        act(driver, "wnG");
        auto *groups = driver.child<QComboBox>("comboBox_wordGroup");
        QCOMPARE(groups->itemText(groups->count() - 2) + groups->currentText(), "AlleFehlerwörter");
        QCOMPARE(offered(), rights);
        act(driver, "wn");
        QCOMPARE(window->drawnIndices().size(), 2);
        records()->menu()->actions().at(2)->trigger();
        QCOMPARE(window->actualGroup(), "Baumarten");
        QCOMPARE(groups->findText("Fehlerwörter"), -1);
    }
};

QTEST_MAIN(tst_records)
#include "tst_records.moc"
