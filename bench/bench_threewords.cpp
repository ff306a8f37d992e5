// How long the word store takes for what the program does with the bundled
// list: loading it once at start-up, and drawing a whole cycle over "Alle",
// where the redraws of used indices cost most towards the end.

#include "words/qtcompat.h"
#include "words/threewords.h"

#include <QtTest>

class BenchThreeWords : public QObject
{
    Q_OBJECT

private slots:
    void load();
    void cycleOverAll_data();
    void cycleOverAll();
};

void BenchThreeWords::load()
{
    int groups = 0;
    QBENCHMARK {
        threeWords store;
        groups = store.groupNames().size();
    }
    QVERIFY(groups > 0);
}

void BenchThreeWords::cycleOverAll_data()
{
    QTest::addColumn<int>("gameType");

    QTest::newRow("type0") << 0; // Falschwörter
    QTest::newRow("type1") << 1; // gruppenfremde Wörter
}

void BenchThreeWords::cycleOverAll()
{
    QFETCH(int, gameType);

    threeWords store;
    store.selectGroup(threeWords::allGroups);
    const int n = store.selectedEntries().size();
    QVERIFY(n > 0);
    QtCompat::seedRandom(1);
    QBENCHMARK {
        store.selectGroup(threeWords::allGroups);
        for (int i = 0; i < n; ++i)
            store.nextItem(gameType);
    }
    QCOMPARE(store.drawnIndices().size(), n);
}

QTEST_GUILESS_MAIN(BenchThreeWords)
#include "bench_threewords.moc"
