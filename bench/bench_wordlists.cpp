// Own word lists: checking a list at the size limit (20,000 lines, at most
// 200 ms), and proposing two misspellings for a word (median at most 20 ms)
// over every right word of the bundled list. Also writes the list of 5,000
// entries for the start-up benchmark (the command on one line):
//   /usr/bin/python3 bench/startup_bench.py build/app/skarvel build/bench/emptywindow 10
//       -- --words /tmp/skarvel-5000.txt

#include "words/spellcheck.h"
#include "words/threewords.h"
#include "words/wordlist.h"

#include <QtTest>

#include <algorithm>

class BenchWordLists : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    // groups x entries lines, each group with its header.
    static QByteArray list(int groups, int entries)
    {
        QByteArray bytes;
        for (int g = 0; g < groups; ++g) {
            bytes += "#Gruppe " + QByteArray::number(g) + '\n';
            for (int e = 0; e < entries; ++e) {
                const QByteArray n = QByteArray::number(g * entries + e);
                bytes += "Wörterbuch" + n + ";Wörterbuhc" + n + ";Wörterbuch" + n + "e\n";
            }
        }
        return bytes;
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QFile::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    void initTestCase()
    {
        write(QDir::temp().filePath("skarvel-5000.txt"), list(50, 100));
        qInfo("start-up list: %s", qPrintable(QDir::temp().filePath("skarvel-5000.txt")));
    }

    void check_data()
    {
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("entries");
        QTest::newRow("20,000 lines") << 400 << 49;
        QTest::newRow("5,000 entries, as at the start-up") << 50 << 100;
    }

    void check()
    {
        QFETCH(int, groups);
        QFETCH(int, entries);
        const QString path = dir.filePath("list.txt");
        write(path, list(groups, entries));
        wordList checked;
        QBENCHMARK {
            checked = wordList::read(path);
        }
        QCOMPARE(checked.groups().size(), groups);
        QVERIFY(checked.problems().isEmpty());
    }

    void proposeTwo()
    {
        const spellCheck *speller = spellCheck::german();
        if (!speller)
            QSKIP("no German dictionary (hunspell-de-de)");
        QStringList names;
        QList<QStringList> entries;
        threeWords::readWordGroups(threeWords::bundledDocument, names, entries);
        QVector<double> times;
        for (const QStringList &group : entries) {
            for (const QString &entry : group) {
                QElapsedTimer timer;
                timer.start();
                const QStringList proposals = speller->proposeMisspellings(entry.section(';', 0, 0), 2);
                times.append(timer.nsecsElapsed() / 1e6);
                QCOMPARE(proposals.size(), 2);
            }
        }
        std::sort(times.begin(), times.end());
        qInfo("proposing two misspellings, %d words: median %.3f ms, 90th percentile %.3f ms, slowest %.3f ms",
              int(times.size()), times.at(times.size() / 2), times.at(times.size() * 9 / 10), times.last());
    }
};

QTEST_GUILESS_MAIN(BenchWordLists)
#include "bench_wordlists.moc"
