// How an item is offered: the right word's picture above the words, or the
// words alone, with the bundled list and with an own list whose pictures lie
// in its folder "Bilder". The right word spoken: see tst_speech.

#include "windowdriver.h"

class tst_presentation : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;
    QTemporaryDir folder;
    QMap<QString, QString> bundledPictures; // right word -> "Bild" or "Farbfläche"

    // The trainer on the bundled list or on the own list, as its menu hands it over.
    void start(const QByteArray &settings, bool own)
    {
        const QString list = own ? folder.filePath("Liste.txt") : threeWords::bundledDocument;
        startTrainer(config, "[General]\n" + settings, [&](gameThreeWords &window, preferences &) {
            QStringList names;
            QList<QStringList> entries;
            threeWords::readWordGroups(list, names, entries);
            if (own)
                window.setWordGroups(names, entries, list);
        }, list);
        if (own)
            driver->listHandedOver();
    }

private slots:
    void initTestCase()
    {
        // An own list with a photo, a drawing, a damaged file and a word without.
        QDir(folder.path()).mkdir("Bilder");
        writeFile(folder.filePath("Liste.txt"), "#Familie\nOma;Omma;Ooma\nHaus;Hauss;Hauß\nKaputt;Kaput;Kapputt\n"
                                                "Tisch;Tich;Tiisch\n#Möbel\nStuhl;Stul;Stuhll\nBank;Bannk;Bnak\n");
        writeFile(folder.filePath("Bilder/Haus.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
                                                      "<rect width='20' height='10' fill='#a03010'/></svg>");
        writeFile(folder.filePath("Bilder/Kaputt.jpg"), "\xff\xd8 kein Bild");
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
        for (int item = 0; item < 300 && (seen.size() < 2 || item < 20); ++item) {
            const QString right = driver->rightWord();
            const QImage shown = view->grab().toImage();
            QImage blank(shown.size(), shown.format());
            blank.fill(shown.pixel(0, 0));
            const bool drawn = shown != blank;
            QCOMPARE(drawn, pictured.contains(right));
            QCOMPARE(view->accessibleName(), drawn ? pictured.value(right) + ": " + right : QString());
            QCOMPARE(driver->child<QWidget>("innerBox")->geometry(), words);
            seen += drawn;
            QCOMPARE(driver->act('n'), QString());
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
};

QTEST_MAIN(tst_presentation)
#include "tst_presentation.moc"
