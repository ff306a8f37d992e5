// The word store on lists the tests write, and the bundled list.

#include "tests/testsupport.h"
#include "words/qtcompat.h"
#include "words/threewords.h"
#include "words/wordpictures.h"

#include <QtTest>

class tst_words : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString list(const QByteArray &bytes) { return writeFile(dir.filePath(QString::number(qHash(bytes))), bytes); }

private slots:
    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<QStringList>>("entries");
        QTest::newRow("verbatim") << QByteArray("x\n#\n# Obst \n Rot;R\xc3\xb6t \n #B\r\n") << QStringList{"", " Obst "}
                                  << QList<QStringList>{{"x"}, {" Rot;Röt ", " #B"}};
        QTest::newRow("no header") << QByteArray("a;b;c\n") << QStringList{} << QList<QStringList>{};
        // A byte that is no UTF-8 shows as U+FFFD, the file's last as well.
        QTest::newRow("broken bytes") << QByteArray("#A\xff\n#B\xdc") << QStringList{"A\ufffd", "B\ufffd"}
                                      << QList<QStringList>{{}, {}};
        QTest::newRow("zero byte") << QByteArray("#A\na\0;b;c\n#B", 12) << QStringList{"A", "B"}
                                   << QList<QStringList>{{QString::fromUtf8("a\0;b;c", 6)}, {}};
    }

    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, names);
        QFETCH(QList<QStringList>, entries);
        const threeWords store(list(bytes));
        QCOMPARE(store.groupNames(), names);
        QCOMPARE(store.entryLists(), entries);
    }

    void drawing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("selection"); // empty: nothing to draw
        QTest::addColumn<QStringList>("foreign"); // the words of other groups
        const QByteArray abc = "#A\na1;x;y\na2;x;y\na3;x;y\n#B\nb1;x;y\nb2;x;y\n#C\nc1;x;y\n";
        const QStringList a{"a1;x;y", "a2;x;y", "a3;x;y"};
        QTest::newRow("group/0") << abc << "A" << 0 << a << QStringList();
        QTest::newRow("group/1") << abc << "A" << 1 << a << QStringList{"b1", "b2", "c1"};
        QTest::newRow("one foreign word") << QByteArray("#A\na1;x;y\n#B\nb1\n") << "A" << 1 << QStringList{"a1;x;y"} << QStringList{"b1"};
        QTest::newRow("all/0") << abc << "Alle" << 0 << a + QStringList{"b1;x;y", "b2;x;y", "c1;x;y"} << QStringList();
        QTest::newRow("unknown group") << abc << "Z" << 0 << QStringList() << QStringList();
        QTest::newRow("type 2") << abc << "A" << 2 << QStringList() << QStringList();
        QTest::newRow("no other group") << QByteArray("#A\na;b;c\n#B\n") << "A" << 1 << QStringList() << QStringList();
    }

    // Each entry once per cycle; "gruppenfremde Wörter" adds two different
    // right words of other groups. Nothing to draw: the item stays.
    void drawing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, group);
        QFETCH(int, type);
        QFETCH(QStringList, selection);
        QFETCH(QStringList, foreign);
        threeWords store(list(bytes));
        store.selectGroup(group);
        const QString before = store.actualItem();
        QtCompat::seedRandom(7);
        QStringList sorted = selection, cycle;
        sorted.sort();
        for (int k = 0; k < 5 * selection.size(); ++k) {
            store.nextItem(type);
            cycle << selection.value(store.drawnIndices().last());
            const QStringList words = store.actualItem().split(';');
            QCOMPARE(type ? words.first() : store.actualItem(), type ? cycle.last().section(';', 0, 0) : cycle.last());
            QVERIFY(type == 0 || (foreign.contains(words.at(1)) && foreign.contains(words.at(2))));
            QVERIFY(type == 0 || words.at(1) != words.at(2) || foreign.size() == 1);
            if (cycle.size() == sorted.size()) {
                cycle.sort();
                QCOMPARE(std::exchange(cycle, {}), sorted);
            }
        }
        store.nextItem(type);
        QVERIFY(!selection.isEmpty() || (store.actualItem() == before && store.drawnIndices().isEmpty()));
    }

    // Three different words a line; no word twice; every right word known to
    // the German dictionary, no misspelling.
    void bundledList()
    {
        threeWords store;
        QStringList words;
        for (const QStringList &entries : store.entryLists()) {
            for (const QString &entry : entries) {
                const QStringList fields = entry.split(';');
                QVERIFY2(QSet<QString>(fields.begin(), fields.end()).size() == 3 && !fields.contains(""), qPrintable(entry));
                QVERIFY2(!words.contains(fields.first()), qPrintable(entry));
                words << fields;
            }
        }
        QProcess hunspell;
        hunspell.start("hunspell", {"-i", "UTF-8", "-d", "de_DE", "-L"});
        hunspell.write(words.join('\n').toUtf8());
        hunspell.closeWriteChannel();
        QVERIFY2(hunspell.waitForFinished() && hunspell.exitCode() == 0, "hunspell with de_DE (hunspell-de-de)");
        const QStringList unknown = QString::fromUtf8(hunspell.readAllStandardOutput()).split('\n');
        const QStringList rareButRight{"Zeder", "Platane", "Krokus", "Hyazinthe", "Mango"};
        for (int i = 0; i < words.size(); ++i) {
            const bool known = !unknown.contains(words.at(i)) || rareButRight.contains(words.at(i));
            QVERIFY2(known == (i % 3 == 0), qPrintable(words.at(i)));
        }
    }

    // The picture table against the bundled list as its file reads: each entry
    // a right word with a picture of its own, an <svg> document or a colour; no
    // SVG in the bundle that no entry names; no picture for the other words.
    void pictures()
    {
        QFile list(threeWords::bundledDocument), table(wordPictures::bundledTable);
        QVERIFY(list.open(QFile::ReadOnly) && table.open(QFile::ReadOnly));
        const QString entries = '\n' + QString::fromUtf8(list.readAll());
        QStringList words, pictures, svgs;
        for (const QString &line : QString::fromUtf8(table.readAll()).split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith('#'))
                continue;
            const QString word = line.section('\t', 0, 0), name = line.section('\t', 1);
            const bool colour = name.startsWith('#') && QColor::isValidColor(name);
            QFile svg(QStringLiteral(":/data/openmoji/%1.svg").arg(name));
            QXmlStreamReader xml(!colour && svg.open(QFile::ReadOnly) ? &svg : nullptr);
            const bool isSvg = xml.readNextStartElement() && xml.name() == QLatin1String("svg");
            while (!xml.atEnd())
                xml.readNext();
            const wordPictures::picture picture = wordPictures::of(word);
            QVERIFY2(entries.contains('\n' + word + ';') && !words.contains(word) && !pictures.contains(name)
                         && (colour || (isSvg && !xml.hasError())) && picture.path == (colour ? QString() : svg.fileName())
                         && picture.colour == (colour ? QColor(name) : QColor()), qPrintable(line));
            words << word;
            pictures << name;
            svgs << (colour ? QStringList() : QStringList(name + ".svg"));
        }
        svgs.sort();
        QCOMPARE(QDir(":/data/openmoji").entryList(QDir::Files, QDir::Name), svgs);
        for (const QString &entry : entries.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(words.contains(entry.section(';', 0, 0)) || wordPictures::of(entry.section(';', 0, 0)).isNull(), qPrintable(entry));
    }
};

QTEST_MAIN(tst_words)
#include "tst_words.moc"
