// The word list and the other files as the program gets them: through the
// compiled-in resource bundle, with the store reading the bundled document.

#include "words/qtcompat.h"
#include "words/threewords.h"

#include <QFile>
#include <QHash>
#include <QPixmap>
#include <QRegularExpression>
#include <QResource>
#include <QSet>
#include <QtTest>

#include <memory>

namespace {

const QString wordListPath = QStringLiteral(":/data/wordgroups.dat");

const QStringList shippedGroups = {
    QStringLiteral("Baumarten"), QStringLiteral("Blumenarten"), QStringLiteral("Büro"),
    QStringLiteral("Farben"), QStringLiteral("Fortbewegungsmittel"), QStringLiteral("Gemüse"),
    QStringLiteral("Kleidung"), QStringLiteral("Küche"), QStringLiteral("Obst"),
    QStringLiteral("Sportarten"), QStringLiteral("Tiere"), QStringLiteral("Werkzeug"),
};

QString rightWord(const QString &entry)
{
    return entry.section(QLatin1Char(';'), 0, 0);
}

} // namespace

class TestWordList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void groupOrder();
    void groupSizes_data();
    void groupSizes();
    void allGroupsTogether();
    void openingLines();

    void entryFields();
    void misspellingsAreNoRightWords();
    void onlyFliederInTwoGroups();
    void bytesOfTheDocument();
    void drawingFromFarben();

    void resourcesOpen_data();
    void resourcesOpen();
    void pictures_data();
    void pictures();

private:
    std::unique_ptr<threeWords> m_store;
    QByteArray m_bytes;
};

void TestWordList::initTestCase()
{
    QFile file(wordListPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_bytes = file.readAll();
    m_store.reset(new threeWords);
}

void TestWordList::groupOrder()
{
    QCOMPARE(m_store->groupNames(), shippedGroups);
    QVERIFY(!m_store->groupNames().contains(threeWords::allGroups));
    QCOMPARE(m_store->entryLists().size(), shippedGroups.size());
}

void TestWordList::groupSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("entries");

    const int sizes[] = {38, 34, 12, 12, 29, 19, 18, 19, 18, 94, 41, 38};
    for (int i = 0; i < shippedGroups.size(); ++i)
        QTest::newRow(qPrintable(shippedGroups.at(i))) << shippedGroups.at(i) << sizes[i];
}

void TestWordList::groupSizes()
{
    QFETCH(QString, name);
    QFETCH(int, entries);

    const int group = m_store->groupNames().indexOf(name);
    QVERIFY(group >= 0);
    QCOMPARE(m_store->entryLists().at(group).size(), entries);
}

void TestWordList::allGroupsTogether()
{
    threeWords store;
    QCOMPARE(store.actualGroup(), QStringLiteral("Baumarten"));
    store.selectGroup(threeWords::allGroups);
    QStringList joined;
    for (const QStringList &entries : store.entryLists())
        joined += entries;
    QCOMPARE(store.selectedEntries().size(), 372);
    QCOMPARE(store.selectedEntries(), joined);
}

void TestWordList::openingLines()
{
    const QList<QByteArray> lines = m_bytes.split('\n');
    QVERIFY(lines.size() > 2);
    QCOMPARE(lines.at(0), QByteArray("#Baumarten"));
    QCOMPARE(lines.at(1), QByteArray("Ahorn;Arhorn;Ahorrn"));

    const int farben = m_store->groupNames().indexOf(QStringLiteral("Farben"));
    QVERIFY(farben >= 0);
    const QStringList colours = m_store->entryLists().at(farben);
    QVERIFY(colours.size() >= 2);
    QCOMPARE(colours.at(0), QStringLiteral("Rot;Rod;Roht"));
    QCOMPARE(colours.at(1), QStringLiteral("Grün;Grünn;Grühn"));
}

void TestWordList::entryFields()
{
    // German letters, the hyphen, nothing else; in particular no blanks.
    const QRegularExpression word(QStringLiteral("^[A-Za-zäöüÄß-]+$"));
    for (const QStringList &entries : m_store->entryLists()) {
        for (const QString &entry : entries) {
            const QStringList fields = entry.split(QLatin1Char(';'));
            QVERIFY2(fields.size() == 3, qPrintable(entry));
            QVERIFY2(QSet<QString>(fields.begin(), fields.end()).size() == 3, qPrintable(entry));
            for (const QString &field : fields)
                QVERIFY2(word.match(field).hasMatch(), qPrintable(entry));
            QVERIFY2(fields.at(0).at(0).isUpper(), qPrintable(entry));
        }
    }
}

void TestWordList::misspellingsAreNoRightWords()
{
    QSet<QString> right;
    for (const QStringList &entries : m_store->entryLists()) {
        for (const QString &entry : entries)
            right << rightWord(entry);
    }
    for (const QStringList &entries : m_store->entryLists()) {
        for (const QString &entry : entries) {
            const QStringList fields = entry.split(QLatin1Char(';'));
            for (int f = 1; f < fields.size(); ++f)
                QVERIFY2(!right.contains(fields.at(f)), qPrintable(entry));
        }
    }
}

// A "gruppenfremde Wörter" item must never have two defensible answers, so
// only the one known word may stand in two groups.
void TestWordList::onlyFliederInTwoGroups()
{
    QHash<QString, QStringList> groupsOf;
    for (int g = 0; g < m_store->groupNames().size(); ++g) {
        QSet<QString> inGroup;
        for (const QString &entry : m_store->entryLists().at(g)) {
            const QString word = rightWord(entry);
            QVERIFY2(!inGroup.contains(word), qPrintable(entry));
            inGroup << word;
            groupsOf[word] << m_store->groupNames().at(g);
        }
    }
    for (auto it = groupsOf.constBegin(); it != groupsOf.constEnd(); ++it) {
        if (it.key() != QLatin1String("Flieder"))
            QVERIFY2(it.value().size() == 1, qPrintable(it.key()));
    }
    QCOMPARE(groupsOf.value(QStringLiteral("Flieder")),
             (QStringList{QStringLiteral("Baumarten"), QStringLiteral("Blumenarten")}));
}

void TestWordList::bytesOfTheDocument()
{
    QVERIFY(!m_bytes.isEmpty());
    QVERIFY(!m_bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!m_bytes.contains('\r'));
    QVERIFY(m_bytes.endsWith('\n'));
    QVERIFY(!m_bytes.contains("\n\n"));
    QCOMPARE(m_bytes.count('\n'), 12 + 372);

    // Invalid UTF-8 decodes to replacement characters and does not survive
    // the way back.
    const QString text = QString::fromUtf8(m_bytes);
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(text.toUtf8(), m_bytes);
}

void TestWordList::drawingFromFarben()
{
    threeWords store;
    const int farben = store.groupNames().indexOf(QStringLiteral("Farben"));
    QVERIFY(farben >= 0);
    QSet<QString> colours;
    QSet<QString> others;
    for (int g = 0; g < store.groupNames().size(); ++g) {
        for (const QString &entry : store.entryLists().at(g))
            (g == farben ? colours : others) << rightWord(entry);
    }

    QtCompat::seedRandom(12);
    store.selectGroup(QStringLiteral("Farben"));
    QSet<QString> drawn;
    for (int i = 0; i < colours.size(); ++i) {
        store.nextItem(1);
        const QStringList words = store.actualItem().split(QLatin1Char(';'));
        QCOMPARE(words.size(), 3);
        QVERIFY2(colours.contains(words.at(0)), qPrintable(store.actualItem()));
        QVERIFY2(others.contains(words.at(1)), qPrintable(store.actualItem()));
        QVERIFY2(others.contains(words.at(2)), qPrintable(store.actualItem()));
        QVERIFY(store.isRightWord(words.at(0)));
        drawn << words.at(0);
    }
    QCOMPARE(drawn, colours);
}

void TestWordList::resourcesOpen_data()
{
    QTest::addColumn<QString>("path");

    for (const char *name : {"wordgroups.dat", "anleitung.html", "ueber.html", "lizenz.html",
                             "haken.png", "kreuz.png"})
        QTest::newRow(name) << QStringLiteral(":/data/") + QLatin1String(name);
}

void TestWordList::resourcesOpen()
{
    QFETCH(QString, path);

    QFile file(path);
    QVERIFY(file.exists());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.size() > 0);
    const QResource resource(path);
    QVERIFY(resource.isValid());
    QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
}

void TestWordList::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("haken") << ":/data/haken.png" << QColor(0x00, 0x80, 0x00);
    QTest::newRow("kreuz") << ":/data/kreuz.png" << QColor(0xFF, 0x00, 0x00);
}

void TestWordList::pictures()
{
    QFETCH(QString, path);
    QFETCH(QColor, colour);

    QPixmap pixmap;
    QVERIFY(pixmap.load(path));
    QCOMPARE(pixmap.size(), QSize(50, 50));
    QVERIFY(pixmap.hasAlphaChannel());

    // The sign is drawn in its colour on a transparent ground.
    const QImage image = pixmap.toImage();
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    bool signColour = false;
    for (int y = 0; y < image.height() && !signColour; ++y) {
        for (int x = 0; x < image.width() && !signColour; ++x) {
            const QRgb pixel = image.pixel(x, y);
            signColour = qAlpha(pixel) == 255 && QColor(pixel).rgb() == colour.rgb();
        }
    }
    QVERIFY(signColour);
}

QTEST_MAIN(TestWordList)
#include "tst_wordlist.moc"
