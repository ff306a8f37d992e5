// How an item is offered: the right word's picture above the words, the
// right word spoken, or the words alone, with the bundled list and with an
// own list whose pictures lie in its folder "Bilder".

#include "app/capabilities.h"
#include "privatespeech.h"
#include "speech/wordspeaker.h"
#include "windowdriver.h"

// See tst_speech: libspeechd's voice list under ASan.
extern "C" const char *__asan_default_options() { return "intercept_strstr=0"; }

namespace {

const QByteArray ownList = "#Familie\nOma;Omma;Ooma\nHaus;Hauss;Hauß\nKaputt;Kaput;Kapputt\nTisch;Tich;Tiisch\n"
                           "#Möbel\nStuhl;Stul;Stuhll\nBank;Bannk;Bnak\n";

// The list as its file has it: the groups' entries, split at ";".
QMap<QString, QList<QStringList>> readList(const QString &path)
{
    QFile file(path);
    QMap<QString, QList<QStringList>> groups;
    QString group;
    for (const QString &line : QString::fromUtf8(file.open(QFile::ReadOnly) ? file.readAll() : "").split('\n', Qt::SkipEmptyParts))
        line.startsWith('#') ? void(group = line.mid(1)) : void(groups[group] += line.split(';'));
    return groups;
}

} // namespace

class tst_presentation : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;
    QTemporaryDir folder;
    std::unique_ptr<PrivateSpeech> speech;
    QString listPath;
    QMap<QString, QList<QStringList>> groups;
    QString group; // the group the model trains on
    QMap<QString, QString> bundledPictures; // right word -> "Bild" or "Farbfläche"

    // The trainer on the bundled list or on the own list, as its menu hands it over.
    void start(const QByteArray &settings, bool own, const Wiring &wire = {})
    {
        listPath = own ? folder.filePath("Liste.txt") : threeWords::bundledDocument;
        groups = readList(listPath);
        startTrainer(config, settings.isNull() ? settings : "[General]\n" + settings, [&](gameThreeWords &window, preferences &prefs) {
            QStringList names;
            QList<QStringList> entries;
            threeWords::readWordGroups(listPath, names, entries);
            if (own)
                window.setWordGroups(names, entries, listPath);
            if (wire)
                wire(window, prefs);
        }, listPath);
        const QString stored = prefs->value("wordGroup").toString();
        group = groups.contains(stored) ? stored : groups.firstKey(); // the first is first by name too
    }
    // The right word by the list's file: the entry shown ("Falschwörter"), or
    // the one word of the group ("gruppenfremde Wörter").
    QString rightWord() const
    {
        QStringList shown = window->shownWords();
        std::sort(shown.begin(), shown.end());
        for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
            for (QStringList entry : it.value()) {
                const QString right = entry.first();
                std::sort(entry.begin(), entry.end());
                if (prefs->gameType() == 0 ? entry == shown : it.key() == group && shown.contains(right))
                    return right;
            }
        }
        return QString();
    }
    void next() { clock.advance(700), QTest::mouseClick(driver->child<QPushButton>("moreButton"), Qt::LeftButton); }
    int told(const QString &text) const
    {
        const auto boxes = window->findChildren<QMessageBox *>();
        return std::count_if(boxes.begin(), boxes.end(), [&](QMessageBox *box) { return box->isVisible() && box->text() == text; });
    }
    wordSpeaker *speaker() const { return window->findChild<wordSpeaker *>(); }
    void startSpeaking(const QByteArray &settings, const QByteArray &conf = "AudioOutputMethod \"libao\"\n")
    {
        stopTrainer(), speech.reset(new PrivateSpeech(conf)), start(settings, false, wireSpeech);
    }

private slots:
    void initTestCase()
    {
        // An own list with a photo, a drawing, a damaged file and a word without.
        QDir(folder.path()).mkdir("Bilder");
        const auto write = [this](const char *name, const QByteArray &bytes) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QFile::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("Liste.txt", ownList);
        write("Bilder/Haus.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
                                 "<rect width='20' height='10' fill='#a03010'/></svg>");
        write("Bilder/Kaputt.jpg", "\xff\xd8 kein Bild");
        QImage photo(120, 80, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        QVERIFY(photo.save(folder.filePath("Bilder/Oma.jpg")));
        // The bundled pictures as their table lists them.
        QFile table(":/data/bilder.tsv");
        QVERIFY(table.open(QFile::ReadOnly));
        for (const QString &line : QString::fromUtf8(table.readAll()).split('\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith('#'))
                bundledPictures.insert(line.section('\t', 0, 0), line.section('\t', 1).startsWith('#') ? "Farbfläche" : "Bild");
        }
    }

    // The window and its speaker first, then the daemon they talked to.
    void cleanupTestCase() { stopTrainer(), speech.reset(); }

    void pictures_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("own");
        QTest::newRow("bundled") << QByteArray("presentation=1\ngameType=0\nwordGroup=Alle\n") << false;
        QTest::newRow("colours, gruppenfremd") << QByteArray("presentation=3\nwordGroup=Farben\n") << false;
        QTest::newRow("own list") << QByteArray("presentation=1\ngameType=0\n") << true;
    }

    // The right word's picture where it has one, with what it shows for a
    // screen reader; none where it has none or its file is damaged; the
    // words stay where they are.
    void pictures()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, own);
        start(settings, own);
        const QMap<QString, QString> pictured = own ? QMap<QString, QString>{{"Oma", "Bild"}, {"Haus", "Bild"}}
                                                    : bundledPictures;
        auto *view = window->findChild<QWidget *>("pictureView");
        QVERIFY(view->isVisible() && view->height() > 0);
        const QRect words = driver->child<QWidget>("innerBox")->geometry();
        QSet<bool> seen;
        for (int item = 0; item < 300 && (seen.size() < 2 || item < 20); ++item, next()) {
            const QString right = rightWord();
            const QImage shown = view->grab().toImage();
            QImage blank(shown.size(), shown.format());
            blank.fill(shown.pixel(0, 0));
            const bool drawn = shown != blank;
            QCOMPARE(drawn, pictured.contains(right));
            QCOMPARE(view->accessibleName(), drawn ? pictured.value(right) + ": " + right : QString());
            QCOMPARE(driver->child<QWidget>("innerBox")->geometry(), words);
            seen += drawn;
        }
        QCOMPARE(seen.size(), 2);
    }

    void groupWithoutPictures_data()
    {
        QTest::addColumn<int>("presentation");
        QTest::addColumn<int>("told");
        QTest::newRow("Bild") << 1 << 1;
        QTest::newRow("Nur Schrift") << 0 << 0;
    }

    // Said once, however often the group is chosen; a group with pictures says nothing.
    void groupWithoutPictures()
    {
        QFETCH(int, presentation);
        QFETCH(int, told);
        start("presentation=" + QByteArray::number(presentation) + "\ngameType=0\n", true);
        auto *groupList = driver->child<QComboBox>("comboBox_wordGroup");
        const QString text = "In der Gruppe „Möbel“ hat kein Wort ein Bild.";
        for (const QString name : {"Familie", "Möbel", "Familie", "Möbel"}) {
            emit groupList->textActivated(name);
            QTest::qWait(1);
        }
        QTRY_COMPARE(this->told(text), told);
        QCOMPARE(window->findChildren<QMessageBox *>().size(), told);
    }

    void storedOnChange_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("keys");  // Down (+) or Up (-) in the closed list
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("opened only") << QByteArray() << 0 << "Nur Schrift" << QByteArray();
        QTest::newRow("Bild") << QByteArray() << 1 << "Bild und Schrift" << QByteArray("presentation=1\n");
        QTest::newRow("beide") << QByteArray() << 3 << "Bild, Hören und Schrift" << QByteArray("presentation=3\n");
        QTest::newRow("back") << QByteArray("presentation=2\n") << -2 << "Nur Schrift" << QByteArray("presentation=0\n");
        QTest::newRow("damaged kept") << QByteArray("presentation=7\n") << 0 << "Bild, Hören und Schrift" << QByteArray("presentation=7\n");
    }

    // Opening and closing the dialog stores nothing; a choice stores its number.
    void storedOnChange()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, keys);
        QFETCH(QString, shown);
        QFETCH(QByteArray, after);
        start(stored, false);
        driver->settings([&](QWidget *dialog) {
            auto *list = dialog->findChild<QComboBox *>("comboBox_presentation");
            for (int k = 0; k < qAbs(keys); ++k)
                QTest::keyClick(list, keys > 0 ? Qt::Key_Down : Qt::Key_Up);
            QCOMPARE(list->currentText(), shown);
        });
        stopTrainer();
        QCOMPARE(QRegularExpression("presentation=.*\n").match(QString::fromUtf8(config.contents())).captured().toUtf8(), after);
    }

    // "Nur Schrift" is the trainer without pictures: chosen again after
    // "Bild", every widget is where and as large as it was before.
    void textOnly()
    {
        start(QByteArray(), false);
        auto *view = window->findChild<QWidget *>("pictureView");
        // Fitted once more as any change of size fits it, with the frame known.
        driver->settings([](QWidget *dialog) {
            for (int size : {15, 14})
                dialog->findChild<QSpinBox *>("spinBox_fontSize")->setValue(size);
        });
        const auto named = [this] { return window->findChildren<QWidget *>(QRegularExpression("^(?!qt_).")); };
        QMap<QString, QRect> before;
        for (QWidget *widget : named())
            before.insert(widget->objectName(), widget->isVisible() ? widget->geometry() : QRect());
        const QSize size = window->size();
        for (int presentation : {1, 0})
            driver->settings([presentation](QWidget *dialog) {
                auto *list = dialog->findChild<QComboBox *>("comboBox_presentation");
                QTest::keyClick(list, presentation ? Qt::Key_Down : Qt::Key_Up);
                QCOMPARE(list->currentIndex(), presentation);
            });
        QVERIFY(view->isHidden());
        QCOMPARE(window->size(), size);
        for (QWidget *widget : named())
            QCOMPARE(widget->isVisible() ? widget->geometry() : QRect(), before.value(widget->objectName()));
    }

    void listening_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("Hören, gruppenfremd") << QByteArray("presentation=2\n");
        QTest::newRow("Hören, vorlesen") << QByteArray("presentation=2\nspeakWords=true\n");
        QTest::newRow("Bild, Hören, Falschwörter") << QByteArray("presentation=3\ngameType=0\n");
    }

    // The right word alone when the item appears and again on key 0, also
    // where "Wörter vorlesen" would read all three.
    void listening()
    {
        QFETCH(QByteArray, settings);
        startSpeaking(settings);
        QTRY_VERIFY_WITH_TIMEOUT(speaker()->status() >= wordSpeaker::Ready || !PrivateSpeech::installed(), 60000);
        if (speaker()->status() != wordSpeaker::Ready)
            QSKIP(qPrintable("the engine cannot start: " + speaker()->reason()));
        QVERIFY(!window->findChild<QToolButton *>()->isHidden());
        for (int item = 0; item < 3; ++item) {
            QTRY_COMPARE(speaker()->text(), rightWord());
            QTRY_VERIFY_WITH_TIMEOUT(!speaker()->isSpeaking(), 10000);
            QSignalSpy speaking(speaker(), &wordSpeaker::speakingChanged);
            speaker()->say("Pause");
            QTest::keyClick(window.get(), Qt::Key_0);
            QCOMPARE(speaker()->text(), rightWord());
            QTRY_VERIFY(!speaking.isEmpty());
            next();
        }
    }

    void noEngine_data()
    {
        QTest::addColumn<bool>("inDialog"); // "Hören" chosen there, else stored
        QTest::newRow("stored") << false;
        QTest::newRow("chosen") << true;
    }

    // The reason in the window, once; the items go on as written words.
    void noEngine()
    {
        QFETCH(bool, inDialog);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Wörter vorlesen: .+"));
        startSpeaking(inDialog ? QByteArray() : "presentation=2\n",
                      "AudioOutputMethod \"libao\"\nAddModule \"dummy\" \"sd_dummy\" \"\"\n");
        if (inDialog)
            driver->settings([](QWidget *dialog) {
                QTest::keyClick(dialog->findChild<QComboBox *>("comboBox_presentation"), Qt::Key_End);
            });
        QTRY_VERIFY_WITH_TIMEOUT(speaker() && speaker()->status() == wordSpeaker::Unavailable, 60000);
        QTRY_COMPARE(told(speaker()->reason()), 1);
        QVERIFY(window->findChild<QToolButton *>()->isHidden());
        for (QMessageBox *box : window->findChildren<QMessageBox *>())
            box->close();
        QTest::mouseClick(driver->button(window->shownWords().indexOf(rightWord())), Qt::LeftButton);
        QCOMPARE(driver->child<QLabel>("judgeLabel")->text(), "<font color=\"green\">Richtig!</font>");
    }
};

QTEST_MAIN(tst_presentation)
#include "tst_presentation.moc"
