// Own word lists: the checker on damaged files, writing and reading back,
// the German dictionary, the editor through its widgets, and the start and
// the menu on the real window, all on real files in temporary directories.

#include "app/capabilities.h"
#include "app/commandline.h"
#include "settings/preferences.h"
#include "testsupport.h"
#include "window/gamethreewords.h"
#include "wordlists/wordlisteditor.h"
#include "wordlists/wordlisterrors.h"
#include "wordlists/wordlistmenu.h"
#include "words/spellcheck.h"
#include "words/wordpictures.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

class tst_wordlists : public QObject
{
    Q_OBJECT
    TemporaryConfig config;
    QTemporaryDir home;
    QStringList seen; // what the dialogs said

    QString file(const QString &name, const QByteArray &bytes)
    {
        QFile file(home.filePath(name));
        if (!file.open(QFile::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }
    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QFile::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString summary(const wordList &list)
    {
        QStringList groups;
        for (const wordList::Group &group : list.groups())
            groups << group.name + ':' + QString::number(group.entries.size());
        return groups.join(' ');
    }
    // Handles the next modal dialog of type T once it shows, and notes its
    // text. Another dialog still open after 5 s is closed and noted, so
    // that a test waiting for the wrong one fails instead of hanging.
    template<typename T>
    QTimer *onModal(const std::function<void(T *)> &act)
    {
        auto *timer = new QTimer(this);
        QElapsedTimer armed;
        armed.start();
        connect(timer, &QTimer::timeout, this, [this, timer, act, armed] {
            QWidget *modal = QApplication::activeModalWidget();
            if (armed.elapsed() > 5000 && !qobject_cast<T *>(modal)) {
                timer->deleteLater();
                timer->stop();
                seen << QString("no %1 in 5 s").arg(T::staticMetaObject.className());
                if (auto *other = qobject_cast<QDialog *>(modal))
                    other->reject();
            } else if (auto *dialog = qobject_cast<T *>(modal)) {
                timer->deleteLater();
                timer->stop();
                QStringList texts;
                for (auto *label : dialog->template findChildren<QLabel *>())
                    texts << label->text();
                for (auto *list : dialog->template findChildren<QListWidget *>()) {
                    texts << QString::number(list->count()) + " problems";
                    for (int i = 0; i < list->count(); ++i)
                        texts << list->item(i)->text();
                }
                seen << texts.join('\n');
                act(dialog);
            }
        });
        timer->start(10);
        return timer;
    }
    // Answers a file dialog in one step. Typed keys race the dialog's own
    // folder reading: once it has read the folder it selects its preset
    // file again, and under load that can land between the keys and
    // Return, so the dialog would act on a name the test never chose.
    static void chooseFile(QFileDialog *dialog, const QString &name)
    {
        const QFileInfo info(name);
        if (info.isAbsolute())
            dialog->setDirectory(info.path());
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(info.isAbsolute() ? info.fileName() : name);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept() checks the name
    }
    static void press(QDialog *dialog, const QString &text)
    {
        for (auto *button : dialog->findChildren<QAbstractButton *>()) {
            if (button->text() == text)
                return QTest::mouseClick(button, Qt::LeftButton);
        }
        QFAIL(qPrintable("no button " + text));
    }
    static QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(name); }
    static void type(const QString &text)
    {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the editor hands its text over queued
    }

private slots:
    void initTestCase()
    {
        for (const char *variable : {"XDG_DATA_HOME", "HOME", "XDG_RUNTIME_DIR"})
            qputenv(variable, QFile::encodeName(home.filePath(variable)));
        QDir(home.path()).mkdir("XDG_RUNTIME_DIR");
        QFile::setPermissions(home.filePath("XDG_RUNTIME_DIR"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void checking_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problems");
        QTest::addColumn<QString>("usable"); // or why nothing is
        QTest::newRow("BOM, CRLF") << QByteArray("\xef\xbb\xbf#A\r\nOma;Omma;Ohma\r\n# B \r\nRose;Rohse;Rosse") << "" << "A:1  B :1";
        QTest::newRow("before first group") << QByteArray("Oma;Omma;Ohma\n#A\nOpa;Oppa;Obba\n")
                                            << "Zeile 1: Eintrag vor der ersten Gruppe (es fehlt eine Zeile „#Gruppenname“)." << "A:1";
        QTest::newRow("fields") << QByteArray("#A\nOpa;Oppa\nOma;Omma;Ohma;x\n\nRose; ;Rosse\nMama;Mamma;Mama\nPapa;Pappa;Baba\nOma;Om\tma;Ohma\n")
                                << "Zeile 2: „Opa;Oppa“ hat 2 Felder statt 3 (richtig;falsch;falsch).\n"
                                   "Zeile 3: „Oma;Omma;Ohma;x“ hat 4 Felder statt 3 (richtig;falsch;falsch).\n"
                                   "Zeile 4: leere Zeile.\nZeile 5: In „Rose; ;Rosse“ ist Feld 2 leer.\n"
                                   "Zeile 6: „Mama“ steht zweimal in der Zeile.\n"
                                   "Zeile 8: Die Zeile enthält ein unsichtbares Steuerzeichen (etwa einen Tabulator)." << "A:1";
        QTest::newRow("right word twice") << QByteArray("#A\nOma;Omma;Ohma\n#B\nOma;Ommah;Ohmma\nRose;Rohse;Rosse\n")
                                          << "Zeile 4: „Oma“ ist schon in Zeile 2 ein richtiges Wort." << "A:1 B:1";
        QTest::newRow("empty groups") << QByteArray("#A\n#B\nOma;Omma;Ohma\n#C\nx;\n")
                                      << "Zeile 1: Die Gruppe „A“ hat keine Einträge.\n"
                                         "Zeile 4: Die Gruppe „C“ hat keinen fehlerfreien Eintrag.\n"
                                         "Zeile 5: „x;“ hat 2 Felder statt 3 (richtig;falsch;falsch)." << "B:1";
        QTest::newRow("invalid UTF-8") << QByteArray("#A\nOma;Om\xff" "a;Ohma\nOpa;Oppa;Obba\n#B\xc3\nRose;Rohse;Rosse\n#C\nRad;Rat;Ratt\xe2\x82")
                                       << "Zeile 2: keine gültige UTF-8-Kodierung.\n"
                                          "Zeile 4: keine gültige UTF-8-Kodierung; ihre Einträge werden nicht geladen.\n"
                                          "Zeile 6: Die Gruppe „C“ hat keinen fehlerfreien Eintrag.\n"
                                          "Zeile 7: keine gültige UTF-8-Kodierung." << "A:1";
        QTest::newRow("group names") << QByteArray("#A\nOma;Omma;Ohma\n#A\nOpa;Oppa;Obba\n#Alle\nx;y;z\n# \nq;w;e\n")
                                     << "Zeile 3: Die Gruppe „A“ gibt es schon in Zeile 1; ihre Einträge werden nicht geladen.\n"
                                        "Zeile 5: „Alle“ steht für alle Gruppen zusammen und kann keine Gruppe heißen; "
                                        "ihre Einträge werden nicht geladen.\n"
                                        "Zeile 7: Gruppe ohne Namen; ihre Einträge werden nicht geladen." << "A:1";
        const QByteArray fifty(50, 'h');
        QTest::newRow("long words") << "#A\nDonaudampfschifffahrtsgesellschaftskapitän;Donaudampfschiffahrtsgesellschaftskapitän;x\n"
                                       "Oma;Omma;" + fifty + "\nOpa;Oppa;h" + fifty + "\n" + QByteArray(1000000, 'a') + "\n#" + fifty + "h\nRose;Rohse;Rosse\n"
                                    << "Zeile 4: Feld 3 ist mit 51 Zeichen zu lang: ein Wort hat höchstens 50.\n"
                                       "Zeile 5: Feld 1 ist mit 1000000 Zeichen zu lang: ein Wort hat höchstens 50.\n"
                                       "Zeile 6: Der Gruppenname ist mit 51 Zeichen zu lang (höchstens 50); ihre Einträge werden nicht geladen." << "A:2";
        QTest::newRow("direction marks") << QByteArray("#A\nOma;Omma;Ohma\nAnna\u202e;x;y\nOpa;Oppa;Obba\u200f\n#B\u2067\nRose;Rohse;Rosse\n#C\nRad;\u061cRat;Ratt\n")
                                         << "Zeile 3: Die Zeile enthält ein unsichtbares Zeichen, das die Schreibrichtung ändert (U+202E).\n"
                                            "Zeile 4: Die Zeile enthält ein unsichtbares Zeichen, das die Schreibrichtung ändert (U+200F).\n"
                                            "Zeile 5: Der Gruppenname enthält ein unsichtbares Zeichen, das die Schreibrichtung ändert (U+2067); "
                                            "ihre Einträge werden nicht geladen.\n"
                                            "Zeile 7: Die Gruppe „C“ hat keinen fehlerfreien Eintrag.\n"
                                            "Zeile 8: Die Zeile enthält ein unsichtbares Zeichen, das die Schreibrichtung ändert (U+061C)." << "A:1";
        QTest::newRow("empty file") << QByteArray("") << "" << "Die Datei ist leer.";
        QTest::newRow("nothing usable") << QByteArray("#A\n")  << "Zeile 1: Die Gruppe „A“ hat keine Einträge."
                                        << "Die Wortliste enthält keine Gruppe mit fehlerfreien Einträgen.";
    }

    // Every problem with its line; only what is right is loaded, and it
    // agrees with what the word store reads from the same file.
    void checking()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problems);
        QFETCH(QString, usable);
        const QString path = file("list.txt", bytes);
        const wordList list = wordList::read(path);
        QStringList messages;
        for (const wordList::Problem &problem : list.problems())
            messages << problem.message();
        QCOMPARE(messages.join('\n'), problems);
        QCOMPARE(list.refusal().isEmpty() ? summary(list) : list.refusal(), usable);
        QStringList names;
        QList<QStringList> entries;
        threeWords::readWordGroups(path, names, entries);
        for (int g = 0; g < list.groups().size(); ++g)
            QVERIFY(entries.at(names.indexOf(list.names().at(g))).contains(list.entryLines().at(g).first()));
    }

    void limits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("refusal");
        const QByteArray entry = "Oma;Omma;Ohma\n";
        QTest::newRow("1 MiB") << file("big.txt", "#A\n" + QByteArray(1024 * 1024, 'x')) << "Die Datei „big.txt“ ist größer als 1 MiB.";
        QTest::newRow("endless") << "/dev/zero" << "Die Datei „zero“ ist größer als 1 MiB.";
        QTest::newRow("20,001 lines") << file("long.txt", "#A\n" + entry + QByteArray(19999, '\n')) << "Die Datei „long.txt“ hat mehr als 20.000 Zeilen.";
        QTest::newRow("20,000 lines") << file("full.txt", "#A\n" + entry + QByteArray(19998, '\n')) << "";
        QTest::newRow("gone") << home.filePath("gone.txt") << "Die Datei „gone.txt“ gibt es nicht (mehr).";
        QTest::newRow("folder") << home.path() << QString("„%1“ ist ein Ordner, keine Datei.").arg(QFileInfo(home.path()).fileName());
    }

    void limits()
    {
        QFETCH(QString, path);
        QFETCH(QString, refusal);
        QCOMPARE(wordList::read(path).refusal(), refusal);
    }

    // A list is written in the bundled form whatever it was read from, in
    // one piece or not at all.
    void writing()
    {
        const wordList read = wordList::read(file("crlf.txt", "\xef\xbb\xbf#Familie\r\nOma;Omma;Ohma\r\n#Garten\r\nRose;Rohse;Rosse"));
        const QString path = home.filePath("saved.txt");
        QCOMPARE(read.save(path), QString());
        QCOMPARE(contents(path), "#Familie\nOma;Omma;Ohma\n#Garten\nRose;Rohse;Rosse\n");
        QCOMPARE(wordList::read(path).entryLines(), read.entryLines());
        QVERIFY(read.save(path + "/x.txt").startsWith("„" + path + "/x.txt“ wurde nicht gespeichert."));
    }

    void fullDisk_data()
    {
        QTest::addColumn<QByteArray>("before"); // the list's file; null: none yet
        QTest::newRow("replaced") << QByteArray("#Familie\nOma;Omma;Ohma\n");
        QTest::newRow("new") << QByteArray();
    }
    // The old file stays whole, no other is left, the "*" stays, the message names the file.
    void fullDisk()
    {
        QFETCH(QByteArray, before);
        FullDisk disk;
        if (!disk.mounted)
            QSKIP("cannot mount a tmpfs here (needs root)");
        const QString path = disk.fill("Familie.txt", before);
        wordListEditor editor({{"Familie", {{"Oma", "Omma", "Ohma"}}}}, path, nullptr);
        editor.findChild<QTableWidget *>()->item(0, 0)->setText("Opa");
        onModal<QMessageBox>([](QMessageBox *box) { box->accept(); });
        QVERIFY(!editor.save() && editor.isWindowModified());
        QVERIFY(seen.last().contains("„" + path + "“ wurde nicht gespeichert. Auf dem Datenträger ist kein Platz mehr."));
        QCOMPARE(contents(path), before);
        QCOMPARE(QDir(disk.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), before.isNull() ? 1 : 2);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("windows1252"); // offered
        QTest::addColumn<QString>("loaded");   // read as offered: groups, entries (or why nothing)
        const QByteArray notepad = "#Tiere\r\nB\xe4r;B\xe4hr;B\xe4rr\r\nFu\xdf;Fuss;Fus\r\n#Geld\r\nEuro;\x80;Eur\r\nCent;Zent;Cend\r\n";
        const QString words = "Tiere Geld: Bär;Bähr;Bärr Fuß;Fuss;Fus Euro;€;Eur Cent;Zent;Cend";
        QTest::newRow("Windows-1252") << notepad << true << words;
        QTest::newRow("UTF-8") << QString("#Tiere\nBär;Bähr;Bärr\nFuß;Fuss;Fus\n#Geld\nEuro;€;Eur\nCent;Zent;Cend").toUtf8() << false << words;
        QTest::newRow("undefined byte") << notepad + "Pf\x81nd;Pfunt;Pfun" << false << "Geld: Cent;Zent;Cend";
        QTest::newRow("UTF-8 beside") << notepad + "M\xc3\xbcnze;Minze;Mynze" << false << "Geld: Cent;Zent;Cend Münze;Minze;Mynze";
        QTest::newRow("byte order mark") << "\xef\xbb\xbf" + notepad << false << "Geld: Cent;Zent;Cend";
        QTest::newRow("UTF-16") << QByteArray("#\0A\0\n\0B\0\xe4\0r\0;\0x\0;\0y\0", 20) << false
                                << "Die Wortliste enthält keine Gruppe mit fehlerfreien Einträgen.";
    }
    // A list from Notepad is read whole; UTF-8 and whatever is not clean Windows-1252 as UTF-8.
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, windows1252);
        const QString path = file("encoding.txt", bytes);
        QCOMPARE(wordList::read(path).readsAsWindows1252(), windows1252);
        const wordList list = wordList::read(path, windows1252 ? wordList::Encoding::Windows1252 : wordList::Encoding::Utf8);
        const QStringList lines = list.entryLines().value(0) + list.entryLines().value(1);
        QTEST(list.refusal().isEmpty() ? list.names().join(' ') + ": " + lines.join(' ') : list.refusal(), "loaded");
    }

    // Offered in one sentence; the file stays as it is until the editor saves it as UTF-8.
    void notepad()
    {
        preferences prefs("Pondrel", "Skarvel");
        wordListMenu menu(prefs, nullptr);
        const QString path = file("notepad.txt", "#Tiere\r\nB\xe4r;B\xe4hr;B\xe4rr\r\nKuh;Kuhh;Kuuh\r\n");
        onModal<wordListErrors>([](wordListErrors *dialog) { press(dialog, "Als Windows-1252 lesen"); });
        QVERIFY(menu.openList(path, true) && contents(path).contains("B\xe4r"));
        QVERIFY(seen.last().startsWith("„notepad.txt“ ist nicht in UTF-8 gespeichert, sondern wohl in Windows-1252, wie der "
                                       "Windows-Editor früher speicherte; so gelesen heißen die Wörter etwa „Bär“, „Bähr“, „Bärr“."));
        onModal<wordListEditor>([](wordListEditor *editor) { editor->save(), editor->reject(); });
        menu.editList();
        QCOMPARE(contents(path), "#Tiere\nBär;Bähr;Bärr\nKuh;Kuhh;Kuuh\n");
    }

    void spelling_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("first"); // the most plausible
        QTest::newRow("v/f") << "Vogel" << "Fogel";
        QTest::newRow("d/t") << "Hund" << "Hunt";
        QTest::newRow("ß/ss") << "Straße" << "Strasse";
        QTest::newRow("tz/z") << "Katze" << "Kaze";
        QTest::newRow("chs/ks") << "Fuchs" << "Fuks";
        QTest::newRow("ie/i") << "Biene" << "Bine";
        QTest::newRow("äu/eu") << "Häuser" << "Heuser";
        QTest::newRow("phrase") << "rote Bete" << "rote Pete";
        QTest::newRow("vowels only") << "Aue" << "Ahue";
        QTest::newRow("three letters") << "Uhu" << "Uhhu";
    }

    // Plausible misspellings that the dictionary (and hunspell itself)
    // does not know: never the word, never two alike.
    void spelling()
    {
        QFETCH(QString, word);
        QFETCH(QString, first);
        const spellCheck *speller = spellCheck::german();
        if (!speller)
            QSKIP("no German dictionary (hunspell-de-de): hunspell/de_DE.dic in no data folder");
        QVERIFY(speller->knows(word));
        const QStringList proposals = speller->proposeMisspellings(word, 4);
        QCOMPARE(proposals.value(0), first);
        QCOMPARE(proposals.size(), 4);
        QCOMPARE(QSet<QString>(proposals.begin(), proposals.end()).size(), 4);
        QVERIFY(!proposals.contains(word));
        QProcess hunspell;
        hunspell.start("hunspell", {"-i", "UTF-8", "-d", "de_DE", "-L"});
        hunspell.write(proposals.join('\n').replace(' ', '\n').toUtf8() + '\n' + word.toUtf8());
        hunspell.closeWriteChannel();
        QVERIFY2(hunspell.waitForFinished(), "the hunspell program");
        QCOMPARE(QString::fromUtf8(hunspell.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).size(), 4);
    }

    // Through the widgets: a new list with a group and two words, a save
    // that the checker stops, misspellings proposed, save and reopen.
    void editor()
    {
        const spellCheck *speller = spellCheck::german();
        if (!speller)
            QSKIP("no German dictionary (hunspell-de-de): hunspell/de_DE.dic in no data folder");
        wordListEditor editor({}, QString(), speller);
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QTest::mouseClick(button(&editor, "pushButton_addGroup"), Qt::LeftButton);
        type("Alle");
        QCOMPARE(editor.groups().first().name, "Neue Gruppe");
        QTest::mouseClick(button(&editor, "pushButton_renameGroup"), Qt::LeftButton);
        type("Tiere");
        auto *table = editor.findChild<QTableWidget *>();
        for (const char *word : {"#Vo;gel", "Omma"}) {
            QTest::mouseClick(button(&editor, "pushButton_addEntry"), Qt::LeftButton);
            type(word);
        }
        QVERIFY(!table->item(1, 0)->toolTip().isEmpty() && table->item(0, 0)->toolTip().isEmpty());

        // Checked before it is written; nothing written, no folder left.
        onModal<QFileDialog>([this](QFileDialog *dialog) {
            onModal<wordListErrors>([](wordListErrors *errors) { press(errors, "Abbrechen"); });
            chooseFile(dialog, "Tiere");
        });
        QTest::mouseClick(button(&editor, "pushButton_save"), Qt::LeftButton);
        QVERIFY(seen.last().startsWith("Die Wortliste hat Fehler."));
        QVERIFY(!QFileInfo::exists(home.filePath("XDG_DATA_HOME")));

        table->selectAll();
        QTest::mouseClick(button(&editor, "pushButton_propose"), Qt::LeftButton);
        QCOMPARE(table->item(0, 1)->text(), "Fogel");
        QVERIFY(table->item(1, 1)->toolTip().isEmpty() && !table->item(1, 2)->text().isEmpty());
        onModal<QFileDialog>([](QFileDialog *dialog) {
            chooseFile(dialog, "Tiere");
        });
        QSignalSpy saved(&editor, &wordListEditor::saved);
        QTest::mouseClick(button(&editor, "pushButton_save"), Qt::LeftButton);
        const QString path = QDir(wordListEditor::defaultFolder()).filePath("Tiere.txt");
        QCOMPARE(saved.value(0), QVariantList{path});
        QCOMPARE(contents(path), wordList(editor.groups()).toBytes());
        QVERIFY(contents(path).startsWith("#Tiere\nVogel;Fogel;"));

        // Reopened: a change, "Abbrechen" keeps it, "Verwerfen" drops it.
        const wordList reopened = wordList::read(path);
        QVERIFY(reopened.problems().isEmpty());
        wordListEditor again(reopened.groups(), path, nullptr);
        again.show();
        again.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&again));
        QVERIFY(!button(&again, "pushButton_propose")->isEnabled());
        again.findChild<QTableWidget *>()->item(0, 0)->setText("Vögel");
        onModal<QMessageBox>([](QMessageBox *box) { press(box, "Abbrechen"); });
        QTest::mouseClick(button(&again, "pushButton_close"), Qt::LeftButton);
        QVERIFY(again.isVisible());
        onModal<QMessageBox>([](QMessageBox *box) { press(box, "Verwerfen"); });
        QTest::mouseClick(button(&again, "pushButton_close"), Qt::LeftButton);
        QVERIFY(!again.isVisible());
        QCOMPARE(wordList::read(path).entryLines(), reopened.entryLines());
        QDir(home.filePath("XDG_DATA_HOME")).removeRecursively();
    }

    void start_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("words"); // --words
        QTest::addColumn<QString>("answer"); // to "Fehler in der Wortliste", if it shows
        QTest::addColumn<bool>("own");       // trains on the own list
        const QByteArray good = "#Familie\nOma;Omma;Ohma\n#Garten\nRose;Rohse;Rosse\n";
        const QString damaged = file("damaged.txt", good + "Tulpe;Tulbe\n");
        QTest::newRow("first start") << QByteArray() << "" << "" << false;
        QTest::newRow("gone") << QByteArray("[General]\nwordList=/gone/list.txt\n") << "" << "Schließen" << false;
        QTest::newRow("relative key") << QByteArray("[General]\nwordList=list.txt\n") << "" << "" << false;
        QTest::newRow("--words") << QByteArray() << file("good.txt", good) << "" << true;
        QTest::newRow("usable part") << QByteArray() << damaged << "Brauchbaren Teil laden" << true;
        QTest::newRow("cancelled") << QByteArray("[General]\nwordList=" + damaged.toUtf8() + "\n") << "" << "Abbrechen" << false;
    }

    // The start writes nothing; a list that cannot be used says so once
    // and leaves the bundled list and the key as they were.
    void start()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, words);
        QFETCH(QString, answer);
        QFETCH(bool, own);
        config.write(settings);
        const QByteArray damagedBefore = contents(home.filePath("damaged.txt"));
        seen.clear();
        if (!answer.isEmpty())
            onModal<wordListErrors>([answer](wordListErrors *dialog) { press(dialog, answer); });
        {
            preferences prefs("Pondrel", "Skarvel");
            gameThreeWords window(&prefs);
            StartOptions options;
            options.wordList = words;
            wireWordLists(window, prefs, options);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTRY_COMPARE(seen.size(), answer.isEmpty() ? 0 : 1);
            QCOMPARE(window.wordListSource(), own ? QFileInfo(words).absoluteFilePath() : QString());
            QCOMPARE(window.groupNames().first(), own ? "Familie" : "Baumarten");
            QCOMPARE(window.findChild<QAction *>("actionBundledWordList")->isChecked(), !own);
            if (!own && answer.isEmpty()) { // the editor starts from the whole bundled list
                QList<QStringList> shown;
                onModal<wordListEditor>([&shown](wordListEditor *editor) {
                    shown = wordList(editor->groups()).entryLines();
                    editor->reject();
                });
                window.findChild<QAction *>("actionEditWordList")->trigger();
                QCOMPARE(shown, window.entryLists());
            }
        }
        QCOMPARE(config.contents(), settings);
        QCOMPARE(contents(home.filePath("damaged.txt")), damagedBefore);
        QVERIFY(!QFileInfo::exists(home.filePath("XDG_DATA_HOME")));
    }

    // Chosen in the menu: remembered under the key, until the bundled list
    // is chosen again.
    void menu()
    {
        config.write(QByteArray());
        preferences prefs("Pondrel", "Skarvel");
        wordListMenu menu(prefs, nullptr);
        QSignalSpy chosen(&menu, &wordListMenu::listChosen);
        const QString path = file("menu.txt", "#Familie\nOma;Omma;Ohma\n");
        QVERIFY(menu.openList(path, true));
        QCOMPARE(chosen.takeFirst().at(2).toString(), path);
        QCOMPARE(config.contents(), "[General]\nwordList=" + path.toUtf8() + "\n");
        menu.findChild<QAction *>("actionBundledWordList")->trigger();
        QCOMPARE(chosen.takeFirst().at(0).toStringList().size(), 12);
        QCOMPARE(config.contents(), "[General]\nwordList=\n");
    }

    // A list "<name>/Liste.txt" of these right words, with the files of its
    // folder "Bilder" (name -> bytes).
    QString pictureList(const QString &name, const QStringList &words, const QMap<QString, QByteArray> &files,
                        const QByteArray &more = QByteArray())
    {
        QDir(home.filePath(name)).removeRecursively();
        QDir(home.path()).mkpath(name + "/Bilder");
        QByteArray list = "#Familie\n";
        for (const QString &word : words)
            list += (word + ';' + word + "x;" + word + "xx\n").toUtf8();
        for (auto f = files.begin(); f != files.end(); ++f)
            file(name + "/Bilder/" + f.key(), f.value());
        return file(name + "/Liste.txt", list + more);
    }
    static QByteArray picture(int width, int height, const char *format, QColor colour = QColor(40, 120, 200))
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return buffer.data();
    }
    QMap<QString, QByteArray> folder(const QString &name) const
    {
        QMap<QString, QByteArray> files;
        for (const QFileInfo &info : QDir(home.filePath(name + "/Bilder")).entryInfoList(QDir::Files | QDir::Hidden))
            files.insert(info.fileName(), contents(info.filePath()));
        return files;
    }

    void pictureFound_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found"); // empty: none
        QTest::newRow("exact") << "Oma" << QStringList{"Oma.jpg", "Opa.png"} << "Oma.jpg";
        QTest::newRow("case") << "Oma" << QStringList{"oma.PNG"} << "oma.PNG";
        QTest::newRow("exact first") << "Oma" << QStringList{"OMA.png", "Oma.png"} << "Oma.png";
        QTest::newRow("decomposed") << "Bär" << QStringList{"Ba\u0308r.png"} << "Ba\u0308r.png";
        QTest::newRow("missing") << "Oma" << QStringList{"Opa.jpg", "Oma.txt", "Omas.png"} << "";
    }
    // The editor shows the picture the trainer takes.
    void pictureFound()
    {
        QFETCH(QString, word);
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        QMap<QString, QByteArray> bytes;
        for (const QString &name : files)
            bytes.insert(name, name.endsWith(".txt") ? QByteArray("x") : picture(40, 30, "PNG"));
        const QString path = pictureList("found", {word, "Rose"}, bytes);
        QCOMPARE(QFileInfo(wordPictures(path).find(word).path).fileName(), found);
        wordListEditor editor(wordList::read(path).groups(), path, nullptr);
        QTableWidgetItem *cell = editor.findChild<QTableWidget *>()->item(0, 3);
        QCOMPARE(cell->icon().isNull(), found.isEmpty());
        QCOMPARE(cell->data(Qt::AccessibleTextRole).toString(), found.isEmpty() ? "kein Bild" : "Bild " + found);
    }

    void damagedPicture_data()
    {
        QTest::addColumn<QByteArray>("line"); // added to the list
        QTest::addColumn<QString>("answer");
        QTest::newRow("clean list") << QByteArray() << "Schließen";
        QTest::newRow("line problems") << QByteArray("Tulpe;Tulbe\n") << "Brauchbaren Teil laden";
    }
    // Named by file in the list's error dialog; the list loads all the same.
    void damagedPicture()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, answer);
        const QByteArray png = picture(60, 40, "PNG");
        const QString path = pictureList("damaged", {"Oma", "Opa", "Rose", "Tulpe"},
                                         {{"Oma.png", png}, {"Opa.jpg", "kein Bild"}, {"Rose.svg", "<svg"},
                                          {"Tulpe.png", png.left(png.size() / 2)}, {"Unbekannt.png", png}}, line);
        config.write(QByteArray());
        preferences prefs("Pondrel", "Skarvel");
        wordListMenu menu(prefs, nullptr);
        seen.clear();
        QPointer<QTimer> closer = onModal<wordListErrors>([answer](wordListErrors *dialog) { press(dialog, answer); });
        const bool opened = menu.openList(path, false);
        delete closer;
        QVERIFY(opened);
        QCOMPARE(menu.source(), path);
        QCOMPARE(seen.size(), 1);
        for (const char *name : {"„Opa.jpg“", "„Rose.svg“", "„Tulpe.png“"})
            QVERIFY2(seen.first().contains(QString("Das Bild ") + name + " ist beschädigt oder kein Bild."), qPrintable(seen.first()));
        QVERIFY(!seen.first().contains("Oma.png") && !seen.first().contains("Unbekannt"));
        QVERIFY(seen.first().contains(line.isEmpty() ? "3 problems" : "4 problems"));
    }

    void renamedEntry_data()
    {
        QTest::addColumn<QStringList>("renames"); // row:new word, in the list Oma, Opa, Rose
        QTest::addColumn<QStringList>("after");   // file=which file it was before
        QTest::newRow("renamed") << QStringList{"0:Mama"} << QStringList{"Anna.png=Anna.png", "Mama.jpg=Oma.jpg", "Opa.png=Opa.png"};
        QTest::newRow("swapped") << QStringList{"0:Opa", "1:Oma"} << QStringList{"Anna.png=Anna.png", "Oma.png=Opa.png", "Opa.jpg=Oma.jpg"};
        QTest::newRow("onto a renamed one") << QStringList{"2:Opa", "1:Papa"} << QStringList{"Anna.png=Anna.png", "Oma.jpg=Oma.jpg", "Papa.png=Opa.png"};
        QTest::newRow("over a leftover") << QStringList{"0:Anna"} << QStringList{"Anna.jpg=Oma.jpg", "Opa.png=Opa.png"};
        QTest::newRow("case only") << QStringList{"0:OMA"} << QStringList{"Anna.png=Anna.png", "OMA.jpg=Oma.jpg", "Opa.png=Opa.png"};
    }
    // The picture follows its entry when the list is saved, and never goes
    // to another entry.
    void renamedEntry()
    {
        QFETCH(QStringList, renames);
        QFETCH(QStringList, after);
        const QMap<QString, QByteArray> before{{"Oma.jpg", picture(50, 40, "JPG")}, {"Opa.png", picture(30, 60, "PNG")},
                                               {"Anna.png", picture(20, 20, "PNG")}};
        const QString path = pictureList("renamed", {"Oma", "Opa", "Rose"}, before);
        wordListEditor editor(wordList::read(path).groups(), path, nullptr);
        auto *table = editor.findChild<QTableWidget *>();
        for (const QString &rename : renames)
            table->item(rename.section(':', 0, 0).toInt(), 0)->setText(rename.section(':', 1));
        QVERIFY(QFileInfo::exists(home.filePath("renamed/Bilder/Oma.jpg")));
        QVERIFY(editor.save());
        QMap<QString, QByteArray> expected;
        for (const QString &file : after)
            expected.insert(file.section('=', 0, 0), before.value(file.section('=', 1)));
        QCOMPARE(folder("renamed").keys(), expected.keys());
        QCOMPARE(folder("renamed"), expected);
        for (int row = 0; row < 3; ++row) {
            const QString word = table->item(row, 0)->text();
            const bool has = std::any_of(after.begin(), after.end(), [&](const QString &f) { return f.startsWith(word + '.'); });
            QCOMPARE(!table->item(row, 3)->icon().isNull(), has);
        }
    }

    // "Speichern unter…" into another folder takes the pictures along, under
    // their words' new names; the first folder stays as it was.
    void savedElsewhere()
    {
        const QMap<QString, QByteArray> before{{"Oma.jpg", picture(50, 40, "JPG")}, {"Opa.png", picture(30, 60, "PNG")}};
        const QString path = pictureList("first", {"Oma", "Opa", "Rose"}, before);
        QDir(home.filePath("second")).removeRecursively();
        QDir(home.path()).mkdir("second");
        wordListEditor editor(wordList::read(path).groups(), path, nullptr);
        editor.findChild<QTableWidget *>()->item(0, 0)->setText("Mama");
        // Not the first list's name: Qt 6's dialog would ask whether to replace it.
        const QString target = home.filePath("second/Neu.txt");
        onModal<QFileDialog>([target](QFileDialog *dialog) {
            chooseFile(dialog, target);
        });
        QVERIFY(editor.saveAs());
        QCOMPARE(folder("first"), before);
        const QMap<QString, QByteArray> moved{{"Mama.jpg", before.value("Oma.jpg")}, {"Opa.png", before.value("Opa.png")}};
        QCOMPARE(folder("second"), moved);
    }

    void choosePicture_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QSize>("size"); // invalid: the bytes as they are
        QTest::newRow("large photo") << "Foto.JPG" << picture(2000, 1500, "JPG") << "Oma.jpg" << QSize(1024, 768);
        QTest::newRow("tall PNG") << "hoch.png" << picture(600, 1600, "PNG") << "Oma.png" << QSize(384, 1024);
        QTest::newRow("small PNG") << "klein.png" << picture(300, 200, "PNG") << "Oma.png" << QSize();
        QTest::newRow("SVG") << "oma.svg" << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">"
                                                       "<rect width=\"10\" height=\"10\"/></svg>") << "Oma.svg" << QSize();
        QTest::newRow("unsaved list") << "klein.png" << picture(30, 20, "PNG") << "" << QSize();
    }
    // Through the buttons: copied under the word's name (an older picture
    // in another format goes), scaled down, the original untouched; removed.
    void choosePicture()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, stored);
        QFETCH(QSize, size);
        const QString original = file(source, bytes);
        const QString path = pictureList("chosen", {"Oma", "Opa"}, {{"Oma.jpg", picture(40, 40, "JPG", Qt::red)}});
        wordListEditor editor(wordList::read(path).groups(), stored.isEmpty() ? QString() : path, nullptr);
        editor.show();
        auto *table = editor.findChild<QTableWidget *>();
        table->setCurrentCell(0, 0);
        seen.clear();
        if (stored.isEmpty()) {
            onModal<QMessageBox>([](QMessageBox *box) { press(box, "Abbrechen"); });
        } else {
            onModal<QFileDialog>([original](QFileDialog *dialog) {
                chooseFile(dialog, original);
            });
        }
        QTest::mouseClick(button(&editor, "pushButton_choosePicture"), Qt::LeftButton);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(contents(original), bytes);
        if (stored.isEmpty()) {
            QVERIFY(seen.first().contains("bitte zuerst speichern"));
            return;
        }
        QCOMPARE(folder("chosen").keys(), QStringList{stored});
        const QString copy = home.filePath("chosen/Bilder/" + stored);
        if (size.isValid())
            QCOMPARE(QImageReader(copy).size(), size);
        else
            QCOMPARE(contents(copy), bytes);
        QVERIFY(!table->item(0, 3)->icon().isNull() && table->item(1, 3)->icon().isNull());
        QVERIFY(QColor(table->item(0, 3)->icon().pixmap(8, 8).toImage().pixel(4, 4)).red() < 128); // not the old one

        QTest::mouseClick(button(&editor, "pushButton_removePicture"), Qt::LeftButton);
        QVERIFY(folder("chosen").isEmpty());
        QVERIFY(table->item(0, 3)->icon().isNull());
        QCOMPARE(contents(path), "#Familie\nOma;Omax;Omaxx\nOpa;Opax;Opaxx\n");
    }
};

QTEST_MAIN(tst_wordlists)
#include "tst_wordlists.moc"
