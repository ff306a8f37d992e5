// The training window, its dialogs and its settings, through their widgets
// and on real files in a private config directory, with the bundled list.

#include "app/capabilities.h"
#include "app/commandline.h"
#include "app/startup.h"
#include "dialogs/anleitungsdialog.h"
#include "dialogs/datenablage.h"
#include "dialogs/einstellungen.h"
#include "records/patientdialog.h"
#include "records/recordstore.h"
#include "records/verlaufdialog.h"
#include "wordlists/wordlisteditor.h"
#include "wordlists/wordlisterrors.h"
#include "windowdriver.h"

#include <QMessageBox>

#include <random>

class tst_window : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;

    void start(const QByteArray &settings, const QString &list = threeWords::bundledDocument)
    {
        startTrainer(config, settings, {}, list);
    }
    // With the records, for the patient's own count; nothing is written
    // until a patient is chosen.
    void startWithRecords(const QByteArray &settings)
    {
        startTrainer(config, settings, [](gameThreeWords &window, preferences &prefs) {
            wireRecords(window, prefs, StartOptions{});
        });
    }

private slots:
    void storedValues_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("type");
        QTest::newRow("font size") << QByteArray("fontSize=-3") << 1;
        QTest::newRow("type too large") << QByteArray("gameType=7") << 1;
        QTest::newRow("type negative") << QByteArray("gameType=-1") << 0;
    }

    // The trainer's calm look whatever the desktop asks for; a value that is
    // none trains as the nearest one, a font size as 14 points; the file
    // keeps it, and training writes nothing.
    void storedValues()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, type);
        applyTrainerStyle();
        QVERIFY(QStringList({"cleanlooks", "fusion"}).contains(QApplication::style()->objectName().toLower()));
        start("[General]\n" + stored + "\n");
        QCOMPARE(driver->child<QComboBox>("comboBox_typ")->currentIndex(), type);
        QCOMPARE(driver->child<QComboBox>("comboBox_wordGroup")->font().pointSize(), 14);
        act("rn");
        stopTrainer();
        QCOMPARE(config.contents(), "[General]\n" + stored + "\n");
    }

    void layout_data()
    {
        QTest::addColumn<QByteArray>("list"); // empty: the bundled one
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("wordSize"); // 0: whatever fits the screen
        QTest::addColumn<int>("presentation");
        const QByteArray shortWords = "#A\nab;ac;ad\nae;af;ag\n#B\nbc;bd;be\n";
        QTest::newRow("too small") << shortWords << 5 << 12 << 0;
        QTest::newRow("too large") << shortWords << 100 << 35 << 0;
        const QByteArray longWords = "#Verkehr\nStraßenbahnhaltestelle;Strassenbahnhaltestelle;Straßenbahnhaltstelle\n"
                                     "#Schiff\nDonaudampfschifffahrtsgesellschaftskapitän;Donaudampfschiffahrtsgesellschaftskapitän;"
                                     "Donaudampfschifffahrtsgesellschaftskapitaen\n";
        for (int size : {14, 20, 28, 32}) {
            QTest::addRow("bundled %d", size) << QByteArray() << size << 0 << 0;
            QTest::addRow("long words %d", size) << longWords << size << 0 << 0;
        }
        // The picture leaves the smallest words no room at this size.
        QTest::addRow("pictures 32") << QByteArray() << 32 << 0 << 1;
    }

    // Words are never cut, the window stays inside the screen whatever
    // refits it (a patient chosen, the settings closed), and nothing moves or
    // grows from one item to the next.
    void layout()
    {
        QFETCH(QByteArray, list);
        QFETCH(int, fontSize);
        QFETCH(int, wordSize);
        QFETCH(int, presentation);
        const QString path = list.isEmpty() ? threeWords::bundledDocument : writeFile(config.dir.filePath("list"), list);
        start("[General]\ngameType=0\nfontSize=" + QByteArray::number(fontSize) + "\npresentation="
                  + QByteArray::number(presentation) + "\n", path);
        QStringList words; // on a button of the words' font, what the widest word needs
        for (const WindowDriver::Group &group : WindowDriver::readList(path))
            for (const QStringList &entry : group.entries)
                words += entry;
        const auto whole = [&] {
            const QFontMetrics metrics(driver->button(0)->font());
            QPushButton widest(*std::max_element(words.begin(), words.end(), [&](const QString &a, const QString &b) {
                return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
            }));
            widest.setFont(driver->button(0)->font());
            QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
            for (int k = 0; k < 3; ++k)
                QVERIFY2(driver->button(k)->width() >= widest.sizeHint().width(), qPrintable(widest.text()));
        };
        QVERIFY(wordSize ? driver->button(0)->font().pointSize() == wordSize : driver->button(0)->font().pointSize() >= 9);
        whole();
        window->setPracticeGroup("Fehlerwörter", {}); // what choosing a patient does to the window
        whole();
        window->setRepeatOffered(true); // a speech engine ready only after the window shows
        whole();
        driver->settings([](QWidget *) {});
        whole();
        for (int chosen : {9, qBound(9, fontSize, 32)}) // a new size chosen while the dialog is open
            driver->settings([chosen](QWidget *dialog) { dialog->findChild<QSpinBox *>("spinBox_fontSize")->setValue(chosen); });
        whole();
        for (auto *list : {driver->child<QComboBox>("comboBox_wordGroup"), driver->child<QComboBox>("comboBox_typ")}) {
            list->showPopup(); // every entry whole where the screen has room for all
            const int rows = list->count() * list->view()->sizeHintForRow(0);
            QVERIFY(list->view()->height() >= rows || rows > window->screen()->availableGeometry().height() - 20);
            list->hidePopup();
        }
        const QRect more = driver->child<QPushButton>("moreButton")->geometry(), middle = driver->button(1)->geometry();
        const QRect tick = driver->child<QLabel>("label_haken")->geometry();
        act("wn"); // lets the status bar settle, which some styles size anew after the first verdict
        const QSize size = window->size();
        act("wrnwnrrnn");
        QCOMPARE(driver->child<QPushButton>("moreButton")->geometry(), more);
        QCOMPARE(driver->child<QLabel>("label_haken")->geometry(), tick);
        QCOMPARE(driver->button(1)->geometry(), middle);
        QCOMPARE(window->size(), size);
        for (int k = 0; k < 3; ++k)
            QVERIFY(qAbs(driver->button(k)->width() - middle.width()) <= 1); // the odd pixel
    }

    void statistics_data()
    {
        QTest::addColumn<QString>("actions"); // see WindowDriver::act
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("group");
        QTest::newRow("wrong, right") << "wrnrrn" << "1 von 2  (50%)" << "Baumarten";
        QTest::newRow("truncated") << "rnrnn" << "2 von 3  (66%)" << "Baumarten";
        QTest::newRow("group after right, Return in the list") << "rgrn" << "1 von 1  (100%)" << "Blumenarten";
        QTest::newRow("credit of a replaced item") << "rgn" << "0 von 1  (0%)" << "Blumenarten";
        QTest::newRow("group after wrong") << "wgrn" << "1 von 1  (100%)" << "Blumenarten";
        QTest::newRow("settings after wrong") << "wsrnwn" << "1 von 2  (50%)" << "Baumarten";
        QTest::newRow("type change") << "rnrt" << "0 von 0  (0%)" << "Baumarten";
        QTest::newRow("type after wrong") << "wtrn" << "1 von 1  (100%)" << "Baumarten";
        QTest::newRow("Alle, then type") << "GtT" << "0 von 0  (0%)" << "Baumarten";
        QTest::newRow("patient") << "rnrnpwrn" << "0 von 1  (0%)" << "Baumarten";
        QTest::newRow("patient after wrong") << "wprn" << "1 von 1  (100%)" << "Baumarten";
        QTest::newRow("slow double press") << "rdrd" << "2 von 2  (100%)" << "Baumarten";
        QTest::newRow("press unseen") << "qrn" << "1 von 1  (100%)" << "Baumarten";
        QTest::newRow("Return in the open list") << "ro" << "0 von 0  (0%)" << "Baumarten";
        QTest::newRow("mouse in the open list") << "rOo" << "0 von 0  (0%)" << "Blumenarten";
    }

    void statistics()
    {
        QFETCH(QString, actions);
        QFETCH(QString, expected);
        QFETCH(QString, group);
        startWithRecords("[General]\ngameType=0\n");
        act(actions);
        QCOMPARE(counts(), expected);
        QCOMPARE(window->actualGroup(), group);
    }

    void delay_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("used"); // a delay the dialog cannot offer: the nearest one it can
        QTest::newRow("two and a half seconds") << 2500 << 2500;
        QTest::newRow("none") << 0 << 1000;
        QTest::newRow("negative") << -5 << 1000;
        QTest::newRow("too long") << 45000 << 30000;
    }

    // Game method 2 (its counts: see soak): a right answer brings the next
    // item by itself after the delay, until the user chooses "Weiter-Taste".
    void delay()
    {
        QFETCH(int, stored);
        QFETCH(int, used);
        start("[General]\ngameMethod=2\ntimeDelay=" + QByteArray::number(stored) + "\n");
        auto *timer = window->findChild<QTimer *>("delayTimer");
        QVERIFY(driver->click(true) && timer->isActive());
        QCOMPARE(timer->interval(), used);
        driver->settings([](QWidget *dialog) {
            auto *weiter = dialog->findChild<QRadioButton *>("radioButton_weiter");
            QTest::mouseClick(weiter, Qt::LeftButton, {}, QPoint(5, weiter->height() / 2));
        });
        QVERIFY(driver->click(true) && !timer->isActive() && driver->child<QPushButton>("moreButton")->isVisible());
    }

    void settingsDialog_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("chooseDelay"); // click "Zeitverzögerung"
        QTest::addColumn<QByteArray>("after"); // null: the file as it was, and a warning
        const QByteArray defaults = "fontSize=20\ntimeDelay=2000\n";
        QTest::newRow("defaults") << QByteArray() << 2 << false << defaults;
        QTest::newRow("too long") << QByteArray("[General]\ntimeDelay=45000\n") << 30 << false
                                  << QByteArray("fontSize=20\ntimeDelay=30000\n");
        QTest::newRow("delay kept") << QByteArray("[General]\ngameMethod=2\n") << 2 << false
                                    << QByteArray("fontSize=20\ngameMethod=2\ntimeDelay=2000\n");
        QTest::newRow("delay chosen") << QByteArray() << 2 << true << QByteArray("fontSize=20\ngameMethod=2\ntimeDelay=2000\n");
        QTest::newRow("damaged") << QByteArray("a=1\nno equals\n") << 2 << false << QByteArray();
        QTest::newRow("blocked") << QByteArray("blocked") << 2 << false << QByteArray();
    }

    // The dialog shows the delay in whole seconds within 1 to 30 and every
    // text whole; each change is stored at once, but never over a file that
    // was not read whole or cannot be written.
    void settingsDialog()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, seconds);
        QFETCH(bool, chooseDelay);
        QFETCH(QByteArray, after);
        startTrainer(config, settings, tellProblemsInWindow);
        if (after.isNull())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not stored"));
        driver->settings([&](QWidget *dialog) {
            QCOMPARE(dialog->findChild<QSpinBox *>("spinBox_time")->value(), seconds);
            for (auto *text : dialog->findChildren<QWidget *>(QRegularExpression("label|radio|push")))
                QVERIFY2(text->width() >= text->sizeHint().width(), qPrintable(text->objectName()));
            dialog->findChild<QSpinBox *>("spinBox_fontSize")->setValue(21);
            dialog->findChild<QSpinBox *>("spinBox_fontSize")->setValue(20);
            if (chooseDelay)
                QTest::mouseClick(dialog->findChild<QRadioButton *>("radioButton_time"), Qt::LeftButton, {}, QPoint(5, 5));
        });
        QCOMPARE(config.contents(), after.isNull() ? (settings == "blocked" ? QByteArray() : settings) : "[General]\n" + after);
        QCOMPARE(driver->child<QPushButton>("moreButton")->isHidden(), after.contains("gameMethod=2"));
        // A value not stored is also told in the window, once however many follow.
        const auto told = window->findChildren<QMessageBox *>();
        QCOMPARE(told.size(), after.isNull() ? 1 : 0);
        if (after.isNull())
            QVERIFY2(told.first()->isVisible() && told.first()->text().contains("„" + config.file() + "“"),
                     qPrintable(told.first()->text()));
    }

    // What the window announces to the capabilities that listen.
    void announces()
    {
        start("[General]\ngameType=0\n");
        QSignalSpy shown(window.get(), &gameThreeWords::itemShown), judged(window.get(), &gameThreeWords::answerJudged);
        QSignalSpy counted(window.get(), &gameThreeWords::itemCounted), replaced(window.get(), &gameThreeWords::itemReplaced);
        QSignalSpy chosen(window.get(), &gameThreeWords::trainingChosen);
        act("wrng");
        QCOMPARE(judged.size(), 2);
        QVERIFY(!judged.at(0).at(1).toBool() && judged.at(1).at(1).toBool());
        QCOMPARE(counted.size(), 1);
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(chosen.takeFirst(), (QVariantList{0, "Blumenarten"}));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last(), (QVariantList{window->shownWords(), 0, driver->rightWord()}));
        start(config.contents()); // the group chosen is chosen again
        QCOMPARE(window->actualGroup(), "Blumenarten");
    }

    // Keys answer and move on wherever the focus is but in a list, and the focus goes back
    // to the first word; a double click brings one item, not two; the wheel
    // changes no list it is not in; a screen reader hears words and verdicts.
    void keysAndGuards()
    {
        start("[General]\ngameType=0\n");
        auto *more = driver->child<QPushButton>("moreButton");
        auto *groups = driver->child<QComboBox>("comboBox_wordGroup");
        for (int k = 0; k < 3; ++k) { // each key answers with its own word
            for (int item = 0; item < 100 && driver->button(k)->text() != driver->rightWord(); ++item)
                act("n");
            QCOMPARE(driver->button(k)->accessibleName(), driver->button(k)->text());
            act(QString::number(k + 1));
            QCOMPARE(QAccessible::queryAccessibleInterface(driver->child<QLabel>("judgeLabel"))->text(QAccessible::Name), "Richtig!");
            driver->button(1)->setFocus();
            act("n");
            QCOMPARE(window->focusWidget(), driver->button(0));
        }
        const QString done = counts().section(' ', 2, 2);
        clock.advance(1000);
        QTest::mouseClick(more, Qt::LeftButton);
        QTest::mouseDClick(more, Qt::LeftButton);
        QTest::mouseRelease(more, Qt::LeftButton);
        QCOMPARE(counts().section(' ', 2, 2).toInt(), done.toInt() + 1);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        driver->button(0)->setFocus();
        QApplication::sendEvent(groups, &wheel);
        QCOMPARE(window->actualGroup(), "Baumarten");
        QTest::keyClick(driver->button(0), Qt::Key_Left); // the arrows stay among the words
        QCOMPARE(window->focusWidget(), driver->button(2));
    }

    void linger_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("spoken"); // the button whose word is said; -1: none
        QTest::newRow("mouse on the right word") << "mouse" << 2;
        QTest::newRow("focus moved by an arrow") << "arrow" << 1;
        QTest::newRow("mouse over the focus") << "arrow, mouse" << 2;
        QTest::newRow("focus after a new item") << "n" << -1;
        QTest::newRow("Weiter clicked") << "click" << -1;
    }

    // The word under the mouse, else the one the patient moved the focus
    // to; the focus the program puts on the left word is no lingering.
    void linger()
    {
        QFETCH(QString, how);
        QFETCH(int, spoken);
        // Qt 6 lets a new window find the mouse where an earlier test left it.
        QCursor::setPos(QGuiApplication::primaryScreen()->geometry().bottomRight());
        start("[General]\n");
        QSignalSpy lingered(window.get(), &gameThreeWords::wordLingered);
        if (how.startsWith("arrow"))
            QTest::keyClick(driver->button(0), Qt::Key_Right);
        if (how.endsWith("mouse"))
            QTest::mouseMove(driver->button(2));
        if (how == "n")
            act("n");
        if (how == "click")
            clock.advance(1000), QTest::mouseClick(driver->child<QPushButton>("moreButton"), Qt::LeftButton);
        if (spoken < 0)
            QVERIFY(!window->findChild<QTimer *>("lingerTimer")->isActive());
        else
            QTRY_COMPARE(lingered.value(0), QVariantList{driver->button(spoken)->text()});
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode"); // -1: the program goes on
        QTest::addColumn<QString>("result"); // list | patient read, else the start of the answer
        QTest::newRow("none") << QStringList{"skarvel"} << -1 << " | ";
        QTest::newRow("words") << QStringList{"skarvel", "--words", "Familie.txt"} << -1 << "Familie.txt | ";
        QTest::newRow("patient") << QStringList{"skarvel", "--patient", "Frau Test"} << -1 << " | Frau Test";
        QTest::newRow("version") << QStringList{"skarvel", "--version"} << 0 << "Skarvel 1.";
        QTest::newRow("help") << QStringList{"skarvel-1.0", "--help"} << 0 << "Aufruf: skarvel-1.0 [Optionen]";
        QTest::newRow("unknown option") << QStringList{"skarvel", "--wörter", "x"} << 2 << "skarvel: Unbekannte Option „wörter“.";
        QTest::newRow("homework") << QStringList{"skarvel", "Anna.skarvel"} << -1 << " | Anna.skarvel";
        QTest::newRow("stray argument") << QStringList{"skarvel", "a.skarvel", "b.skarvel"} << 2 << "skarvel: Unbekanntes Argument „b.skarvel“.";
        QTest::newRow("homework-out alone") << QStringList{"skarvel", "--homework-out", "a.skarvel"} << 2 << "skarvel: --homework-out braucht eine Datei und --patient.";
        QTest::newRow("import and patient") << QStringList{"skarvel", "--import", "a.skarvel", "--patient", "A"} << 2 << "skarvel: --import braucht eine Datei und steht allein.";
        QTest::newRow("import last") << QStringList{"skarvel", "--import"} << 2 << "skarvel: --import braucht eine Datei.";
        QTest::newRow("empty patient") << QStringList{"skarvel", "--patient", ""} << 2 << "skarvel: --patient braucht einen Namen.";
        QTest::newRow("blank patient") << QStringList{"skarvel", "--patient", " "} << 2 << "skarvel: --patient braucht einen Namen.";
        QTest::newRow("patient last") << QStringList{"skarvel", "--patient"} << 2 << "skarvel: --patient braucht einen Namen.";
        QTest::newRow("words last") << QStringList{"skarvel", "--words"} << 2 << "skarvel: --words braucht eine Datei.";
        QTest::newRow("records last") << QStringList{"skarvel", "--records"} << 2 << "skarvel: --records braucht die Adresse des Servers.";
        QTest::newRow("records without database") << QStringList{"skarvel", "--records", "postgresql://anna@praxis:5432"} << 2 << "skarvel: --records: In „postgresql://anna@praxis:5432“ fehlt";
        QTest::newRow("records and import") << QStringList{"skarvel", "--records", "postgresql://anna@praxis/db", "--import", "a.skarvel"} << 2 << "skarvel: --records gilt für das Training";
    }

    // Every answer is German through and through, and a refusal shows the help.
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, result);
        StartOptions options;
        QString answer;
        QCOMPARE(readCommandLine(arguments, options, &answer), exitCode);
        QCOMPARE(exitCode < 0 ? options.wordList + " | " + options.patient + answer + options.homework : answer.left(result.size()), result);
        QCOMPARE(answer.contains("--patient <NAME>"), exitCode == 2 || arguments.contains("--help"));
        for (const char *english : {"Usage", "Options", "Displays", "help on", "version information"})
            QVERIFY2(!answer.contains(english), qPrintable(answer));
    }

    // A group without words leaves nothing to press, by mouse or by key.
    void groupWithoutWords()
    {
        start("[General]\ngameType=0\n", writeFile(config.dir.filePath("list"), "#Obst\nApfel;Apfell;Abfel\n#Leer\n"));
        act("gr");
        QCOMPARE(window->actualGroup(), QString("Leer"));
        QTest::keyClick(window.get(), Qt::Key_1);
        QCOMPARE(driver->child<QLabel>("judgeLabel")->text(), QString());
        act("Gw");
    }

    // A quiet line that comes later on a short screen is shown, the window still inside the screen; gone, its room
    // goes back to the training.
    void statusLine()
    {
        start("[General]\nfontSize=32\n");
        QTRY_VERIFY(window->isVisible() && window->statusBar()->isHidden());
        auto *line = new QLabel("Praxisserver nicht erreichbar", window.get());
        line->hide();
        window->statusBar()->addWidget(line, 1);
        line->show();
        QTRY_VERIFY(line->isVisible());
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        line->hide();
        QTRY_VERIFY(window->statusBar()->isHidden());
    }

    // A long text wraps, however long its lines.
    void anleitung()
    {
        AnleitungsDialog anleitung;
        anleitung.setText(QString("Ein Satz, der nicht aufhört. ").repeated(80));
        anleitung.show();
        QVERIFY(QTest::qWaitForWindowExposed(&anleitung));
        QTRY_VERIFY(anleitung.findChild<QScrollArea *>()->verticalScrollBar()->isVisible());
        QCOMPARE(anleitung.findChild<QScrollArea *>()->horizontalScrollBar()->maximum(), 0);
    }

    void dialogsFit_data()
    {
        QTest::addColumn<QString>("title");
        for (const char *title : {"Einstellungen", "Einstellungen mit Datenablage", "Anleitung", "Pondrel - Skarvel", "Patient wählen", "Patient umbenennen",
                                  "Verlauf – Frau Test", "Wortliste bearbeiten – noch nicht gespeichert", "Fehler in der Wortliste"})
            QTest::newRow(title) << QString(title);
    }

    // Each dialog inside the screen, its buttons whole, its title whole
    // beside the title bar's icon and three buttons.
    void dialogsFit()
    {
        QFETCH(QString, title);
        start("[General]\nfontSize=32\n");
        recordStore store(config.dir.filePath("records.sqlite"));
        const qint64 patient = store.open(true) ? store.addPatient("Frau Test") : 0;
        QStringList seen;
        std::function<void()> look = [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            const auto closed = qScopeGuard([dialog] { dialog->close(); }); // also after a failure
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            if (!title.startsWith(dialog->windowTitle().remove("[*]"))) { // the dialog that opens the one looked at
                QTimer::singleShot(0, dialog, look);
                return QTest::mouseClick(dialog->findChild<QPushButton *>("pushButton_rename"), Qt::LeftButton);
            }
            seen << title;
            if (auto *tabs = dialog->findChild<QTabWidget *>(); tabs && title.endsWith("Datenablage")) {
                tabs->setCurrentIndex(1);
                QVERIFY(QTest::qWaitForWindowExposed(tabs->currentWidget()));
            }
            QVERIFY(dialog->screen()->availableGeometry().contains(dialog->frameGeometry()));
            QVERIFY(dialog->width() >= QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(title) + 100);
            for (auto *button : dialog->findChildren<QPushButton *>()) {
                QVERIFY2(!button->isVisible() || (dialog->rect().contains(QRect(button->mapTo(dialog, QPoint()), button->size()))
                                                  && button->width() >= button->sizeHint().width()), qPrintable(button->text()));
            }
        };
        QTimer::singleShot(0, window.get(), look);
        if (title.endsWith("Datenablage")) // the tallest page there is, as the trainer adds it
            connect(window.get(), &gameThreeWords::settingsOpened, this, [](einstellungen *dialog) { dialog->addPage(new datenablage, "Datenablage"); });
        const QString first = title.section(' ', 0, 0);
        if (first == "Einstellungen" || first == "Anleitung" || first == "Pondrel") // Hilfe: "Über", "Anleitung"
            (first == "Einstellungen" ? window->findChild<QAction *>("menuEinstellungen")
                                      : window->findChild<QMenu *>("menuHilfe")->actions().value(first == "Anleitung"))->trigger();
        else if (first == "Patient")
            patientDialog(store, patient, window.get()).exec();
        else if (first == "Verlauf")
            verlaufDialog(store, patient, "Frau Test", window.get()).exec();
        else if (first == "Wortliste")
            wordListEditor(wordList::read(threeWords::bundledDocument).groups(), QString(), nullptr, window.get()).exec();
        else {
            wordListErrors errors(window.get());
            errors.setReport("Die Wortliste hat Fehler.", wordList::check(QByteArray(40, '\n')).problems(), "Brauchbaren Teil laden");
            errors.exec();
        }
        QCOMPARE(seen, QStringList{title});
    }

    // Qt's own buttons speak German once the trainer has set up Qt's texts.
    void qtTexts()
    {
        installQtTranslations();
        QMessageBox box(QMessageBox::Question, "Gruppe löschen", "?", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QString("Nein"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.labelText(QFileDialog::Reject).remove('&'), QString("Abbrechen"));
    }

    // Random actions, long under CTest's soak (SKARVEL_SOAK_STEPS); over them
    // the right word stands on every button.
    void soak()
    {
        const int steps = qEnvironmentVariableIsSet("SKARVEL_SOAK_STEPS") ? qEnvironmentVariableIntValue("SKARVEL_SOAK_STEPS") : 500;
        for (const char *settings : {"[General]\ngameMethod=2\ntimeDelay=-5\ngameType=0\n", "[General]\n"}) {
            startWithRecords(settings);
            std::mt19937 random(7);
            for (int step = 0; step < steps; ++step) {
                const QString broken = driver->step(unsigned(random()));
                QVERIFY2(broken.isEmpty(), qPrintable(QString("step %1: %2").arg(step).arg(broken)));
            }
            QVERIFY(driver->rightOn[0] && driver->rightOn[1] && driver->rightOn[2]);
        }
    }
};

QTEST_MAIN(tst_window)
#include "tst_window.moc"
