// The word store on documents written by the tests themselves: loading,
// selecting, drawing (including the exact use of the random sequence),
// judging, and the inputs on which drawing has no answer.

#include "words/qtcompat.h"
#include "words/threewords.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
#include <QTextCodec>
#endif

namespace {

// Three groups of different sizes and distinct words; group C has entries of
// one field only.
const QByteArray smallDocument = "#A\na1;a1x;a1y\na2;a2x;a2y\na3;a3x;a3y\n"
                                 "#B\nb1;b1x;b1y\nb2;b2x;b2y\n"
                                 "#C\nc1\nc2\nc3\nc4\n";

const QStringList smallNames = {"A", "B", "C"};
const QList<QStringList> smallLists = {
    {"a1;a1x;a1y", "a2;a2x;a2y", "a3;a3x;a3y"},
    {"b1;b1x;b1y", "b2;b2x;b2y"},
    {"c1", "c2", "c3", "c4"},
};

QString rightWord(const QString &entry)
{
    return entry.section(QLatin1Char(';'), 0, 0);
}

QStringList rightWords(const QStringList &entries)
{
    QStringList words;
    for (const QString &entry : entries)
        words << rightWord(entry);
    return words;
}

QStringList fields(const QString &item)
{
    return item.split(QLatin1Char(';'));
}

// The values the generator yields after seedRandom(seed); reseeds it, so the
// caller seeds again before handing the sequence to the store.
QList<int> randomSequence(uint seed, int count)
{
    QtCompat::seedRandom(seed);
    QList<int> values;
    for (int i = 0; i < count; ++i)
        values << QtCompat::nextRandom();
    return values;
}

// Whether the generator, seeded with seed before some calls, has not been
// drawn from by them. Valid only for seeds whose first two values differ,
// which randomSequence lets the caller check.
bool nothingDrawnSince(uint seed)
{
    const int next = QtCompat::nextRandom();
    return next == randomSequence(seed, 1).first();
}

} // namespace

class TestThreeWords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void loading_data();
    void loading();
    void constructionDrawsGroupForeignItem();
    void selecting_data();
    void selecting();

    void orderOfRandomNumbers_data();
    void orderOfRandomNumbers();
    void drawsNothing_data();
    void drawsNothing();
    void singleEntryDraws_data();
    void singleEntryDraws();

    void judging_data();
    void judging();

private:
    QString writeDocument(const QByteArray &content);

    QTemporaryDir m_dir;
    int m_documents = 0;
};

QString TestThreeWords::writeDocument(const QByteArray &content)
{
    const QString path = m_dir.filePath(QStringLiteral("doc%1.dat").arg(++m_documents));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestThreeWords::initTestCase()
{
    QVERIFY(m_dir.isValid());
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // Under a UTF-8 locale a loader that forgot to set its codec would still
    // read umlauts right; a Latin-1 locale makes that mistake visible.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO 8859-1"));
#endif
}

void TestThreeWords::loading_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QStringList>>("lists");

    QTest::newRow("headers") << QByteArray("#A\na;b;c\n#B\nd;e;f\ng;h;i\n") << QStringList{"A", "B"}
                             << QList<QStringList>{{"a;b;c"}, {"d;e;f", "g;h;i"}};
    QTest::newRow("emptyName") << QByteArray("#\na;b;c\n") << QStringList{""} << QList<QStringList>{{"a;b;c"}};
    QTest::newRow("noTrimming") << QByteArray("# Obst \n Rot ; Rod;Roht \n") << QStringList{" Obst "}
                                << QList<QStringList>{{" Rot ; Rod;Roht "}};
    QTest::newRow("blankBeforeHash") << QByteArray("#A\n #Obst\n") << QStringList{"A"}
                                     << QList<QStringList>{{" #Obst"}};
    QTest::newRow("entriesBeforeHeader") << QByteArray("x;y;z\nu;v;w\n#A\na;b;c\n#B\nd;e;f\n")
                                         << QStringList{"A", "B"}
                                         << QList<QStringList>{{"x;y;z", "u;v;w", "a;b;c"}, {"d;e;f"}};
    QTest::newRow("emptyLines") << QByteArray("#A\n\na;b;c\n\n#B\n\n") << QStringList{"A", "B"}
                                << QList<QStringList>{{"", "a;b;c", ""}, {""}};
    QTest::newRow("emptyGroups") << QByteArray("#A\n#B\na;b;c\n#C\n") << QStringList{"A", "B", "C"}
                                 << QList<QStringList>{{}, {"a;b;c"}, {}};
    QTest::newRow("crlf") << QByteArray("#A\r\na;b;c\r\n#B\r\nd;e;f\r\n") << QStringList{"A", "B"}
                          << QList<QStringList>{{"a;b;c"}, {"d;e;f"}};
    QTest::newRow("noFinalLf") << QByteArray("#A\na;b;c\nd;e;f") << QStringList{"A"}
                               << QList<QStringList>{{"a;b;c", "d;e;f"}};
    QTest::newRow("oneAndFourFields") << QByteArray("#A\nRot\nRot;Rod;Roht;Rohd\n") << QStringList{"A"}
                                      << QList<QStringList>{{"Rot", "Rot;Rod;Roht;Rohd"}};
    // Entries without any header have no group to belong to and are dropped.
    QTest::newRow("noHeader") << QByteArray("a;b;c\nd;e;f\n") << QStringList{} << QList<QStringList>{};
    QTest::newRow("umlauts") << QByteArray("#Gemüse\nMöhre;Möre;Möhrre\n") << QStringList{QStringLiteral("Gemüse")}
                             << QList<QStringList>{{QStringLiteral("Möhre;Möre;Möhrre")}};
}

void TestThreeWords::loading()
{
    QFETCH(QByteArray, document);
    QFETCH(QStringList, names);
    QFETCH(QList<QStringList>, lists);

    const threeWords store(writeDocument(document));
    QCOMPARE(store.groupNames(), names);
    QCOMPARE(store.entryLists(), lists);
    // Construction selects the first group.
    QCOMPARE(store.actualGroup(), names.value(0));
    QCOMPARE(store.selectedEntries(), lists.value(0));
}

void TestThreeWords::constructionDrawsGroupForeignItem()
{
    const threeWords store(writeDocument(smallDocument));
    QCOMPARE(store.drawnIndices().size(), 1);
    const QStringList words = fields(store.actualItem());
    QCOMPARE(words.size(), 3);
    QCOMPARE(words.at(0), rightWord(smallLists.at(0).at(store.drawnIndices().first())));
    const QStringList foreign = rightWords(smallLists.at(1) + smallLists.at(2));
    QVERIFY2(foreign.contains(words.at(1)) && foreign.contains(words.at(2)), qPrintable(store.actualItem()));
}

void TestThreeWords::selecting_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("group") << "C" << smallLists.at(2);
    QTest::newRow("all") << "Alle" << smallLists.at(0) + smallLists.at(1) + smallLists.at(2);
    QTest::newRow("unknown") << "Z" << QStringList{};
    QTest::newRow("allOtherCase") << "alle" << QStringList{};
}

void TestThreeWords::selecting()
{
    QFETCH(QString, name);
    QFETCH(QStringList, entries);

    threeWords store(writeDocument(smallDocument));
    store.selectGroup(QStringLiteral("C"));
    store.nextItem(0);
    store.nextItem(0);
    const QString item = store.actualItem();

    const uint seed = 17;
    QtCompat::seedRandom(seed);
    store.selectGroup(name);
    QVERIFY(nothingDrawnSince(seed));

    QCOMPARE(store.actualGroup(), name);
    QCOMPARE(store.selectedEntries(), entries);
    QVERIFY(store.drawnIndices().isEmpty());
    QCOMPARE(store.actualItem(), item);
    QCOMPARE(store.entryLists(), smallLists);
}

void TestThreeWords::orderOfRandomNumbers_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("gameType");
    QTest::addColumn<uint>("seed");

    QTest::newRow("type0/all") << "Alle" << 0 << 2024u;
    // Foreign words from every other group, never from the chosen one ...
    QTest::newRow("type1/group") << "B" << 1 << 7u;
    // ... while "Alle" excludes none, not even the group of the right word.
    QTest::newRow("type1/all") << "Alle" << 1 << 42u;
}

void TestThreeWords::orderOfRandomNumbers()
{
    QFETCH(QString, group);
    QFETCH(int, gameType);
    QFETCH(uint, seed);

    threeWords store(writeDocument(smallDocument));
    store.selectGroup(group);
    const QStringList entries = store.selectedEntries();
    const int n = entries.size();

    // Walk a copy of the sequence by the documented order: index draws with
    // redraws of used indices (the cycle reset first), then for game type 1
    // each foreign word as group draws (redrawn while the group is the
    // chosen one) followed by one draw for the word in that group.
    const QList<int> random = randomSequence(seed, 5000);
    int cursor = 0;
    QList<int> used;
    QStringList expected;
    const int draws = 3 * n + 1; // three full cycles and the start of a new one
    for (int d = 0; d < draws; ++d) {
        if (used.size() == n)
            used.clear();
        int i = random.at(cursor++) % n;
        while (used.contains(i))
            i = random.at(cursor++) % n;
        used << i;
        if (gameType == 0) {
            expected << entries.at(i);
            continue;
        }
        QString item = rightWord(entries.at(i));
        for (int w = 0; w < 2; ++w) {
            int g = random.at(cursor++) % smallNames.size();
            while (smallNames.at(g) == group)
                g = random.at(cursor++) % smallNames.size();
            const QStringList &source = smallLists.at(g);
            item += QLatin1Char(';') + rightWord(source.at(random.at(cursor++) % source.size()));
        }
        expected << item;
    }
    QVERIFY(cursor < random.size());

    // Seeded after construction, as a reproducible run does it.
    QtCompat::seedRandom(seed);
    QStringList actual;
    for (int d = 0; d < draws; ++d) {
        store.nextItem(gameType);
        actual << store.actualItem();
    }
    QCOMPARE(actual, expected);
    QCOMPARE(store.drawnIndices(), used);
    // Whatever the model says: the first cycle gives every entry once.
    QStringList firstCycle = rightWords(actual.mid(0, n));
    QStringList all = rightWords(entries);
    std::sort(firstCycle.begin(), firstCycle.end());
    std::sort(all.begin(), all.end());
    QCOMPARE(firstCycle, all);
    // Not one number more or less was drawn.
    QCOMPARE(QtCompat::nextRandom(), random.at(cursor));
}

void TestThreeWords::drawsNothing_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("gameType");

    QTest::newRow("type2") << smallDocument << "A" << 2;
    QTest::newRow("type-1") << smallDocument << "A" << -1;
    QTest::newRow("emptySelection/0") << smallDocument << "Z" << 0;
    QTest::newRow("emptySelection/1") << QByteArray("#A\n#B\nb\n") << "A" << 1;
    QTest::newRow("foreignGroupsEmpty") << QByteArray("#A\na\n#B\n#C\n") << "A" << 1;
    QTest::newRow("firstOfNameEmpty") << QByteArray("#A\na\n#B\n#B\nb\n") << "A" << 1;
    QTest::newRow("singleGroup") << QByteArray("#A\na;b;c\nd;e;f\n") << "A" << 1;
    QTest::newRow("onlyOwnName") << QByteArray("#A\na\n#A\nb\n") << "A" << 1;
}

// Another game type, or a draw without an answer: the item and the cycle
// stay as they are, and the random sequence is left untouched.
void TestThreeWords::drawsNothing()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, group);
    QFETCH(int, gameType);

    const uint seed = 23;
    const QList<int> sequence = randomSequence(seed, 2);
    QVERIFY(sequence.at(0) != sequence.at(1));

    threeWords store(writeDocument(document));
    store.selectGroup(group);
    const QString item = store.actualItem();

    QtCompat::seedRandom(seed);
    for (int i = 0; i < 3; ++i)
        store.nextItem(gameType);
    QVERIFY(nothingDrawnSince(seed));
    QCOMPARE(store.actualItem(), item);
    QVERIFY(store.drawnIndices().isEmpty());
}

void TestThreeWords::singleEntryDraws_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("gameType");
    QTest::addColumn<QString>("item");

    const QByteArray two = "#A\nEis;Eiss;Eihs\n#B\nBaum;Baumm;Bauhm\n";
    QTest::newRow("single/0") << two << "A" << 0 << "Eis;Eiss;Eihs";
    QTest::newRow("single/1") << two << "A" << 1 << "Eis;Baum;Baum";
    // A name stands for its first group, as selection and as foreign source.
    const QByteArray sameName = "#A\na\n#B\nb\n#A\nx\n";
    QTest::newRow("sameName/own") << sameName << "A" << 1 << "a;b;b";
    QTest::newRow("sameName/foreign") << sameName << "B" << 1 << "b;a;a";
    QTest::newRow("emptySourcesSkipped") << QByteArray("#A\na\n#B\n#C\nc;x;y\n#D\n") << "A" << 1 << "a;c;c";
    QTest::newRow("allOfOneGroup") << QByteArray("#A\na;b;c\n") << "Alle" << 1 << "a;a;a";
    QTest::newRow("fourFields/0") << QByteArray("#A\na;b;c;d\n#B\nb;x\n") << "A" << 0 << "a;b;c;d";
    QTest::newRow("fourFields/1") << QByteArray("#A\na;b;c;d\n#B\nb;x;y;z\n") << "A" << 1 << "a;b;b";
    QTest::newRow("emptyName") << QByteArray("#\ne\n#B\nb\n") << "" << 1 << "e;b;b";
}

// Every row selects a single entry, so each draw gives the same item, and
// one that happened shows as index 0.
void TestThreeWords::singleEntryDraws()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, group);
    QFETCH(int, gameType);
    QFETCH(QString, item);

    threeWords store(writeDocument(document));
    QtCompat::seedRandom(29);
    store.selectGroup(group);
    for (int i = 0; i < 10; ++i) {
        store.nextItem(gameType);
        QCOMPARE(store.actualItem(), item);
        QCOMPARE(store.drawnIndices(), QList<int>{0});
    }
}

void TestThreeWords::judging_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("right");

    QTest::newRow("exact") << "Rot" << true;
    QTest::newRow("lowerCase") << "rot" << false;
    QTest::newRow("leadingBlank") << " Rot" << false;
    QTest::newRow("trailingBlank") << "Rot " << false;
    QTest::newRow("prefix") << "Ro" << false;
    QTest::newRow("misspelling") << "Rod" << false;
}

void TestThreeWords::judging()
{
    QFETCH(QString, word);
    QFETCH(bool, right);

    threeWords store(writeDocument("#Farben\nRot;Rod;Roht\n"));
    store.nextItem(0);
    QCOMPARE(store.actualItem(), QStringLiteral("Rot;Rod;Roht"));
    QCOMPARE(store.isRightWord(word), right);
}

QTEST_GUILESS_MAIN(TestThreeWords)
#include "tst_threewords.moc"
