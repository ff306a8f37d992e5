#include "settings/preferences.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QMetaMethod>
#include <QRandomGenerator>
#include <QtTest>

#include <limits>
#include <type_traits>
#include <utility>

// Callers read the game type through the reference into the store.
static_assert(std::is_same<decltype(std::declval<preferences &>().gameType()), int &>::value,
              "gameType() returns a reference to the stored field");

namespace {

const char *const keys[] = {"gameMethod", "gameType", "timeDelay", "fontSize"};

int currentValue(preferences &store, const QString &key)
{
    if (key == QLatin1String("gameMethod"))
        return store.gameMethod();
    if (key == QLatin1String("gameType"))
        return store.gameType();
    if (key == QLatin1String("fontSize"))
        return store.fontSize();
    return store.timeDelay();
}

// Calls a slot by its signature, as a connection does.
bool callSlot(preferences &store, const QByteArray &signature, int argument)
{
    const QMetaMethod slot = store.metaObject()->method(store.metaObject()->indexOfSlot(signature.constData()));
    return slot.parameterCount() == 0 ? slot.invoke(&store, Qt::DirectConnection)
                                      : slot.invoke(&store, Qt::DirectConnection, Q_ARG(int, argument));
}

} // namespace

class tst_preferences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void readStored_data();
    void readStored();
    void slotWritesThrough_data();
    void slotWritesThrough();
    void unstorableChangeHeldInMemory();
    void metaObjectOrder();

private:
    // Created with the test object, before any QSettings exists.
    TemporaryConfig config;
};

void tst_preferences::initTestCase()
{
    QVERIFY(config.isValid());
}

void tst_preferences::init()
{
    config.reset();
}

void tst_preferences::readStored_data()
{
    QTest::addColumn<QByteArray>("contents"); // null: no file, the first run
    QTest::addColumn<int>("gameMethod");
    QTest::addColumn<int>("gameType");
    QTest::addColumn<int>("timeDelay");

    QRandomGenerator generator(0xdecafbad);
    QByteArray random(512, '\0');
    for (char &byte : random)
        byte = char(generator.bounded(256));

    QTest::newRow("firstRun") << QByteArray() << 1 << 1 << 2000;
    QTest::newRow("allStored") << QByteArray("gameMethod=2\ngameType=0\ntimeDelay=5000\n") << 2 << 0 << 5000;
    QTest::newRow("empty") << QByteArray("") << 1 << 1 << 2000;
    QTest::newRow("randomBytes") << random << 1 << 1 << 2000;
    QTest::newRow("halfSeconds") << QByteArray("timeDelay=2500\n") << 1 << 1 << 2500;
    QTest::newRow("negativeDelay") << QByteArray("timeDelay=-5\n") << 1 << 1 << -5;
    QTest::newRow("textType") << QByteArray("gameType=Falschwörter\n") << 1 << 0 << 2000;
    // Read unchecked: QVariant keeps the low 32 bits of a number too large for int.
    QTest::newRow("hugeMethod") << QByteArray("gameMethod=99999999999\n") << int(quint32(99999999999LL)) << 1 << 2000;
    QTest::newRow("damagedLaterLine") << QByteArray("gameType=0\ntimeDelay=4000\nno equals sign\n") << 1 << 0 << 4000;
}

void tst_preferences::readStored()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, gameMethod);
    QFETCH(int, gameType);
    QFETCH(int, timeDelay);
    if (!contents.isNull())
        QVERIFY(config.writeSettingsFile(contents));

    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.gameMethod(), gameMethod);
        QCOMPARE(store.gameType(), gameType);
        QCOMPARE(store.timeDelay(), timeDelay);
    }
    // Reading neither repairs nor rewrites anything, also when the store goes.
    QCOMPARE(QFileInfo::exists(config.settingsFile()), !contents.isNull());
    QCOMPARE(config.settingsFileContents(), contents);
}

void tst_preferences::slotWritesThrough_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("argument");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");

    QTest::newRow("method1") << QByteArray("setGameMethod_1()") << 0 << "gameMethod" << 1;
    QTest::newRow("method2") << QByteArray("setGameMethod_2()") << 0 << "gameMethod" << 2;
    QTest::newRow("type") << QByteArray("setGameType(int)") << 0 << "gameType" << 0;
    QTest::newRow("delay") << QByteArray("setTimeDelay(int)") << 5 << "timeDelay" << 5000;
    // Out of the dialog's reach: the product would not fit into an int.
    QTest::newRow("delayTooLong") << QByteArray("setTimeDelay(int)") << 3000000 << "timeDelay"
                                  << std::numeric_limits<int>::max();
    QTest::newRow("fontSize") << QByteArray("setFontSize(int)") << 32 << "fontSize" << 32;
}

void tst_preferences::slotWritesThrough()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, argument);
    QFETCH(QString, key);
    QFETCH(int, value);
    // Values none of the rows writes, so that each write shows; an umlaut,
    // typed by hand in UTF-8, that a write must not alter.
    QVERIFY(config.writeSettingsFile("gameMethod=9\ngameType=9\ntimeDelay=9\nfontSize=9\n"
                                     "[Other]\nnote=Schriftgr\xc3\xb6\xc3\x9f" "e\n"));

    WarningCollector warnings;
    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QVERIFY(callSlot(store, slot, argument));
        QCOMPARE(currentValue(store, key), value);
        // On disk while the store is still alive: written through, not at exit.
        QCOMPARE(config.storedValue(key), QString::number(value));
        QCOMPARE(config.storedValue(QStringLiteral("Other/note")), QStringLiteral("Schriftgr\u00f6\u00dfe"));

        // The value already held is written again, and nothing else: taken
        // out of the file behind the store's back, only this key comes back.
        QVERIFY(config.writeSettingsFile("[Other]\nkey=1\n"));
        QVERIFY(callSlot(store, slot, argument));
        QCOMPARE(config.storedValue(key), QString::number(value));
        for (const char *other : keys) {
            if (key == QLatin1String(other))
                continue;
            QVERIFY2(config.storedValue(QLatin1String(other)).isNull(), other);
            QCOMPARE(currentValue(store, QLatin1String(other)), 9);
        }
    }
    QCOMPARE(config.storedValue(QStringLiteral("Other/key")), QStringLiteral("1"));
    QCOMPARE(warnings.warnings(), QStringList());

    preferences next(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(currentValue(next, key), value);
}

// How a failed write goes is tested with the font size in
// tst_basepreferences; the training settings must go the same way.
void tst_preferences::unstorableChangeHeldInMemory()
{
    const QByteArray contents("gameType=0\n[Other\nkey=1\n");
    QVERIFY(config.writeSettingsFile(contents));

    WarningCollector warnings;
    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.gameType(), 0);
        store.setGameMethod_2();
        store.setGameType(5);
        store.setTimeDelay(4);
        QCOMPARE(store.gameMethod(), 2);
        QCOMPARE(store.gameType(), 5);
        QCOMPARE(store.timeDelay(), 4000);
    }
    QCOMPARE(warnings.warnings().size(), 3);
    for (const QString &warning : warnings.warnings())
        QVERIFY2(warning.contains(config.settingsFile()), qPrintable(warning));
    QCOMPARE(config.settingsFileContents(), contents);
}

void tst_preferences::metaObjectOrder()
{
    const QMetaObject &meta = preferences::staticMetaObject;
    QCOMPARE(meta.superClass(), &basePreferences::staticMetaObject);

    // Four public slots in this order, and nothing else: no signals.
    const QByteArray expected[] = {"setGameMethod_1()", "setGameMethod_2()", "setGameType(int)", "setTimeDelay(int)"};
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 4);
    for (int i = 0; i < 4; ++i) {
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        QCOMPARE(method.methodSignature(), expected[i]);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Public);
    }
}

QTEST_GUILESS_MAIN(tst_preferences)
#include "tst_preferences.moc"
