// Where the records are kept: the page "Datenablage" of the settings, the
// server's address built from it, the password kept out of the settings
// file, and a computer's patients moved to a private PostgreSQL server.

#include "app/capabilities.h"
#include "app/commandline.h"
#include "app/recordsserver.h"
#include "privatepostgres.h"
#include "records/recordstore.h"
#include "records/serverstore.h"
#include "settings/passwordkeeper.h"
#include "settings/recordslocation.h"
#include "windowdriver.h"
#include "words/serveraddress.h"

namespace {

// Passwords kept in the test's own map: Debian's keychains need a desktop.
struct memoryVault : passwordKeeper::vault
{
    QMap<QString, QString> *kept;
    explicit memoryVault(QMap<QString, QString> *kept) : kept(kept) {}
    void read(const QString &key, std::function<void(const QString &, const QString &)> done) override
    {
        done(kept->value(key), QString());
    }
    void write(const QString &key, const QString &password, std::function<void(const QString &)> done) override
    {
        kept->insert(key, password);
        done(QString());
    }
};

const QString password = "Geheim-Wort 7";

} // namespace

class tst_storage : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;
    QMap<QString, QString> kept;
    const QString file = config.dir.filePath("records.sqlite");

    void start()
    {
        startTrainer(config, QByteArray(), [this](gameThreeWords &window, preferences &prefs) {
            wireRecordsLocation(window, prefs, *new passwordKeeper(std::make_unique<memoryVault>(&kept), &window), file);
        });
    }
    // The files under the config directory that hold these bytes.
    QStringList holding(const QByteArray &bytes) const
    {
        QStringList found;
        for (QDirIterator it(config.dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            QFile file(it.next());
            if (file.open(QFile::ReadOnly) && file.readAll().contains(bytes))
                found << file.fileName();
        }
        return found;
    }
    // Fills the page: host, port, database, user, then the password.
    static void fill(QWidget *dialog, const QStringList &fields)
    {
        auto *tabs = dialog->findChild<QTabWidget *>("tabWidget");
        tabs->setCurrentIndex(tabs->count() - 1);
        QTest::mouseClick(dialog->findChild<QRadioButton *>("radioButton_server"), Qt::LeftButton, {}, QPoint(5, 5));
        const char *names[] = {"lineEdit_host", "lineEdit_port", "lineEdit_database", "lineEdit_user", "lineEdit_password"};
        for (int i = 0; i < fields.size(); ++i) {
            auto *edit = dialog->findChild<QLineEdit *>(names[i]);
            edit->selectAll();
            QTest::keyClicks(edit, fields.at(i));
        }
    }
    static void apply(QWidget *dialog)
    {
        QTest::mouseClick(dialog->findChild<QPushButton *>("pushButton_apply"), Qt::LeftButton);
    }

private slots:
    void chosenServer_data()
    {
        QTest::addColumn<QString>("records"); // --records
        QTest::addColumn<bool>("onServer");   // in the settings: Praxisserver db.praxis:5433/skarvel, user "anna"
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("key");
        QTest::newRow("this computer") << "" << false << "" << "";
        QTest::newRow("settings") << "" << true << "postgresql://anna@db.praxis:5433/skarvel" << "anna@db.praxis:5433/skarvel";
        QTest::newRow("--records") << "postgresql://bert@x:5432/y" << false << "postgresql://bert@x:5432/y" << "";
        QTest::newRow("--records first") << "postgresql://bert@x:5432/y" << true << "postgresql://bert@x:5432/y" << "";
    }
    // The run records where the command line says, else where the settings say, with the keychain's password.
    void chosenServer()
    {
        QFETCH(QString, records);
        QFETCH(bool, onServer);
        QFETCH(QString, url);
        QFETCH(QString, key);
        preferences prefs("Pondrel", "Skarvel");
        recordsLocation::problem why;
        QVERIFY(recordsLocation(prefs).store(onServer, {"db.praxis", "5433", "skarvel", "anna", QString()}, &why));
        StartOptions options;
        options.records = records;
        const recordsServerChoice chosen = recordsServer(options, prefs);
        QVERIFY(chosen.url == url && chosen.passwordKey == key && chosen.password.isEmpty());
    }
    void initTestCase()
    {
        writeFile(config.dir.filePath("ca file&1.pem"), "-----BEGIN CERTIFICATE-----\n");
        // No keychain of the desktop's is ever reached from here.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    }
    void cleanupTestCase() { stopTrainer(); }

    void url_data()
    {
        QTest::addColumn<QStringList>("fields"); // host, port, database, user, CA file in the config directory
        QTest::addColumn<QString>("url");        // DIR: the config directory; empty: refused
        QTest::addColumn<int>("field");          // at fault
        QTest::addColumn<QString>("says");
        const QString plain = "postgresql://anna@db.praxis:5432/praxis";
        QTest::newRow("plain") << QStringList{"db.praxis", "5432", "praxis", "anna", ""} << plain
                               << int(recordsLocation::None) << "";
        QTest::newRow("spaces around") << QStringList{" db.praxis ", " 5432", "praxis ", " anna", ""} << plain
                                       << int(recordsLocation::None) << "";
        QTest::newRow("CA file") << QStringList{"db.praxis", "5432", "praxis", "anna", "ca file&1.pem"}
                                 << plain + "?sslmode=verify-full&sslrootcert=DIR/ca%20file%261.pem"
                                 << int(recordsLocation::None) << "";
        QTest::newRow("IP address") << QStringList{"192.168.1.20", "6543", "praxis", "anna", ""}
                                    << "postgresql://anna@192.168.1.20:6543/praxis" << int(recordsLocation::None) << "";
        QTest::newRow("no host") << QStringList{"", "5432", "praxis", "anna", ""} << "" << int(recordsLocation::Host)
                                 << "Rechner";
        QTest::newRow("/ in host") << QStringList{"db/praxis", "5432", "praxis", "anna", ""} << ""
                                   << int(recordsLocation::Host) << "Rechnername";
        QTest::newRow("port not a number") << QStringList{"db.praxis", "54x2", "praxis", "anna", ""} << ""
                                           << int(recordsLocation::Port) << "Port „54x2“";
        QTest::newRow("port too big") << QStringList{"db.praxis", "70000", "praxis", "anna", ""} << ""
                                      << int(recordsLocation::Port) << "Port";
        QTest::newRow("/ in database") << QStringList{"db.praxis", "5432", "praxis/2026", "anna", ""} << ""
                                       << int(recordsLocation::Database) << "Datenbank";
        QTest::newRow("@ in user") << QStringList{"db.praxis", "5432", "praxis", "anna@praxis", ""} << ""
                                   << int(recordsLocation::User) << "Benutzer";
        QTest::newRow("missing CA file") << QStringList{"db.praxis", "5432", "praxis", "anna", "nicht-da.pem"} << ""
                                         << int(recordsLocation::CaFile) << "CA-Datei";
    }
    void url()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, url);
        QFETCH(int, field);
        QFETCH(QString, says);
        const QString caFile = fields.at(4).isEmpty() ? QString() : config.dir.filePath(fields.at(4));
        const recordsLocation::server server{fields.at(0), fields.at(1), fields.at(2), fields.at(3), caFile};
        url.replace("DIR", config.dir.path());
        QCOMPARE(recordsLocation::url(server), url);
        const recordsLocation::problem problem = recordsLocation::check(server);
        QCOMPARE(int(problem.field), field);
        QVERIFY2(problem.text.contains(says), qPrintable(problem.text));
        if (url.isEmpty())
            return;
        QCOMPARE(serverStore::checkUrl(url), QString());
        QCOMPARE(QUrlQuery(QUrl(url)).queryItemValue("sslrootcert", QUrl::FullyDecoded), caFile);
    }

    // A build whose libpq cannot encrypt refuses what asks for encryption,
    // and only that; one that can takes all of it.
    void withoutTls_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("refused"); // the sslmode the refusal names; empty: taken
        QTest::newRow("plain") << "" << "";
        QTest::newRow("prefer") << "?sslmode=prefer" << "";
        QTest::newRow("require") << "?sslmode=require" << "require";
        QTest::newRow("verify-ca") << "?sslmode=verify-ca" << "verify-ca";
        QTest::newRow("CA file") << "?sslrootcert=/etc/ca.pem" << "verify-full";
    }
    void withoutTls()
    {
        QFETCH(QString, query);
        QFETCH(QString, refused);
        const QString url = "postgresql://anna@db.praxis:5432/praxis" + query;
        const QString says = serverAddress::check(url, false);
        QCOMPARE(says.isEmpty(), refused.isEmpty());
        QVERIFY2(refused.isEmpty() || (says.contains("ohne OpenSSL") && says.contains("sslmode=" + refused)),
                 qPrintable(says));
        QCOMPARE(serverAddress::check(url, true), QString());
    }

    void page_data()
    {
        QTest::addColumn<QStringList>("fields"); // empty: the dialog only opened
        QTest::addColumn<QByteArray>("after");   // the settings file; null: none
        QTest::addColumn<QString>("says");
        QTest::newRow("opened only") << QStringList() << QByteArray() << "";
        QTest::newRow("server") << QStringList{"db.praxis", "5433", "praxis", "anna", password}
                                << QByteArray("[records]\ndatabase=praxis\nhost=db.praxis\nport=5433\nstore=server\nuser=anna\n")
                                << "„anna@db.praxis:5433/praxis“";
        QTest::newRow("no host") << QStringList{"", "5432", "praxis", "anna", password} << QByteArray() << "Rechner";
        QTest::newRow("bad port") << QStringList{"db.praxis", "5 4", "praxis", "anna", password} << QByteArray()
                                  << "Port";
    }
    // A first start writes nothing, nor does opening the page; bad fields
    // keep the file as it was; the password goes to the keychain and into no file.
    void page()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, after);
        QFETCH(QString, says);
        kept.clear();
        start();
        QCOMPARE(config.contents(), QByteArray());
        QString note;
        driver->settings([&](QWidget *dialog) {
            QVERIFY(dialog->findChild<QWidget *>("Datenablage"));
            if (fields.isEmpty())
                return;
            fill(dialog, fields);
            apply(dialog);
            note = dialog->findChild<QLabel *>("label_note")->text();
        });
        const QByteArray contents = config.contents();
        QCOMPARE(contents.contains("[records]") ? contents.mid(contents.indexOf("[records]")) : QByteArray(), after);
        QVERIFY2(note.contains(says), qPrintable(note));
        QCOMPARE(holding(password.toUtf8()), QStringList());
        QCOMPARE(kept.value("anna@db.praxis:5433/praxis"), after.isNull() ? QString() : password);
    }

    // The system's own keychain, which has no desktop here: it says so, the
    // password holds for the run, and no file gets it instead.
    void systemKeychain()
    {
        passwordKeeper keeper;
        if (!keeper.keepsAcrossRuns())
            QSKIP("built without the keychain (SKARVEL_KEYCHAIN)");
        QSignalSpy written(&keeper, &passwordKeeper::passwordWritten);
        keeper.write("anna@db.praxis:5432/praxis", password);
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, 30000);
        QVERIFY(!written.first().at(1).toString().isEmpty());
        QCOMPARE(keeper.known("anna@db.praxis:5432/praxis"), password);
        QCOMPARE(holding(password.toUtf8()), QStringList());
    }

    // Switching to the server offers the computer's patients; taken over,
    // each of their answers is there once.
    void moveOffered()
    {
        if (!PrivatePostgres::installed())
            QSKIP("PostgreSQL 15 is not installed (Debian: postgresql-15)");
        PrivatePostgres pg;
        QVERIFY2(pg.failure.isEmpty(), qPrintable(pg.failure));
        pg.admin("CREATE ROLE it LOGIN CREATEROLE PASSWORD 'i'");
        pg.admin("CREATE DATABASE praxis OWNER it");
        QVERIFY(serverStore().open(pg.url("it", "praxis"), "i"));
        pg.admin("CREATE ROLE anna LOGIN PASSWORD 'a'; GRANT skarvel_praxis TO anna");
        {
            recordStore local(file);
            QVERIFY(local.open(true));
            trainingRecord training{0, local.addPatient("Frau Albers"), 0, "Baumarten", {}};
            for (const char *word : {"Ahorn", "Birke"})
                QVERIFY(local.recordAnswer(training, {QDateTime::currentDateTimeUtc(), word, {word, "x", "y"}, word, true, 1, 900},
                                           QDateTime::currentDateTimeUtc()));
        }
        start();
        bool offered = false;
        driver->settings([&](QWidget *dialog) {
            QTimer::singleShot(0, [&offered] {
                if (auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    offered = true, question->button(QMessageBox::Yes)->click();
            });
            fill(dialog, {"127.0.0.1", QString::number(pg.port), "praxis", "anna", "a"});
            apply(dialog);
        });
        QVERIFY(offered);
        QTRY_VERIFY_WITH_TIMEOUT(!window->findChildren<QMessageBox *>().isEmpty(), 30000);
        const QString note = window->findChildren<QMessageBox *>().first()->text();
        QVERIFY2(note.contains("mit 2 neuen Antworten"), qPrintable(note));
        QCOMPARE(pg.admin("SELECT string_agg(right_word, ',' ORDER BY right_word) FROM answers", "praxis"),
                 QStringList("Ahorn,Birke"));
        stopTrainer();
    }
};

QTEST_MAIN(tst_storage)
#include "tst_storage.moc"
