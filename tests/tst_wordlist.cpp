// The word list and the other files as the program gets them: through the
// compiled-in resource bundle, with the store reading the bundled document.

#include "words/threewords.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QResource>
#include <QSet>
#include <QtTest>

#include <memory>

namespace {

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

    void groups();
    void entries();
    void onlyFliederInTwoGroups();
    void bytesOfTheDocument();
    void resourcesUncompressed();
    void pictures_data();
    void pictures();

private:
    std::unique_ptr<threeWords> m_store;
    QByteArray m_bytes;
};

void TestWordList::initTestCase()
{
    QFile file(QStringLiteral(":/data/wordgroups.dat"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_bytes = file.readAll();
    m_store.reset(new threeWords);
}

void TestWordList::groups()
{
    QCOMPARE(m_store->groupNames(),
             (QStringList{"Baumarten", "Blumenarten", QStringLiteral("Büro"), "Farben", "Fortbewegungsmittel",
                          QStringLiteral("Gemüse"), "Kleidung", QStringLiteral("Küche"), "Obst", "Sportarten",
                          "Tiere", "Werkzeug"}));
    QList<int> sizes;
    for (const QStringList &entries : m_store->entryLists())
        sizes << entries.size();
    QCOMPARE(sizes, (QList<int>{38, 34, 12, 12, 29, 19, 18, 19, 18, 94, 41, 38}));

    // The document opens with the samples of its format description.
    QVERIFY(m_bytes.startsWith("#Baumarten\nAhorn;Arhorn;Ahorrn\n"));
    const QStringList colours = m_store->entryLists().at(m_store->groupNames().indexOf(QStringLiteral("Farben")));
    QCOMPARE(colours.mid(0, 2), (QStringList{QStringLiteral("Rot;Rod;Roht"), QStringLiteral("Grün;Grünn;Grühn")}));

    threeWords store;
    store.selectGroup(threeWords::allGroups);
    QCOMPARE(store.selectedEntries().size(), 372);
}

// Three different words per line, German letters only, the right word
// capitalised; no misspelling is a right word anywhere in the list.
void TestWordList::entries()
{
    const QRegularExpression word(QStringLiteral("^[A-Za-zäöüÄß-]+$"));
    QSet<QString> right;
    for (const QStringList &entries : m_store->entryLists()) {
        for (const QString &entry : entries)
            right << rightWord(entry);
    }
    for (const QStringList &entries : m_store->entryLists()) {
        for (const QString &entry : entries) {
            const QStringList fields = entry.split(QLatin1Char(';'));
            QVERIFY2(fields.size() == 3, qPrintable(entry));
            QVERIFY2(QSet<QString>(fields.begin(), fields.end()).size() == 3, qPrintable(entry));
            for (const QString &field : fields)
                QVERIFY2(word.match(field).hasMatch(), qPrintable(entry));
            QVERIFY2(fields.at(0).at(0).isUpper(), qPrintable(entry));
            QVERIFY2(!right.contains(fields.at(1)) && !right.contains(fields.at(2)), qPrintable(entry));
        }
    }
}

// A "gruppenfremde Wörter" item must never have two defensible answers, so
// only the one known word may stand in two groups.
void TestWordList::onlyFliederInTwoGroups()
{
    QHash<QString, QStringList> groupsOf;
    for (int g = 0; g < m_store->groupNames().size(); ++g) {
        for (const QString &entry : m_store->entryLists().at(g))
            groupsOf[rightWord(entry)] << m_store->groupNames().at(g);
    }
    for (auto it = groupsOf.constBegin(); it != groupsOf.constEnd(); ++it) {
        if (it.key() != QLatin1String("Flieder"))
            QVERIFY2(it.value().size() == 1, qPrintable(it.key()));
    }
    QCOMPARE(groupsOf.value(QStringLiteral("Flieder")), (QStringList{"Baumarten", "Blumenarten"}));
}

void TestWordList::bytesOfTheDocument()
{
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

void TestWordList::resourcesUncompressed()
{
    for (const char *name :
         {"wordgroups.dat", "anleitung.html", "ueber.html", "lizenz.html", "haken.png", "kreuz.png"}) {
        const QResource resource(QStringLiteral(":/data/") + QLatin1String(name));
        QVERIFY2(resource.isValid(), name);
        QVERIFY2(resource.compressionAlgorithm() == QResource::NoCompression, name);
    }
}

void TestWordList::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("haken") << ":/data/haken.png" << QColor(0x00, 0x80, 0x00);
    QTest::newRow("kreuz") << ":/data/kreuz.png" << QColor(0xFF, 0x00, 0x00);
}

// The sign in its colour on a transparent ground, 50 x 50.
void TestWordList::pictures()
{
    QFETCH(QString, path);
    QFETCH(QColor, colour);

    const QImage image(path);
    QCOMPARE(image.size(), QSize(50, 50));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    bool signColour = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            signColour = signColour || (qAlpha(pixel) == 255 && QColor(pixel).rgb() == colour.rgb());
        }
    }
    QVERIFY(signColour);
}

QTEST_MAIN(TestWordList)
#include "tst_wordlist.moc"
