#include "settings/preferences.h"
#include "testsupport.h"

#include <QDir>
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

const char *const trainingKeys[] = {"gameMethod", "gameType", "timeDelay"};

int currentValue(preferences &store, const QString &key)
{
    if (key == QLatin1String("gameMethod"))
        return store.gameMethod();
    if (key == QLatin1String("gameType"))
        return store.gameType();
    return store.timeDelay();
}

// Calls a slot the way the window's connections do: by its signature.
bool callSlot(preferences &store, const QByteArray &signature, int argument)
{
    const QMetaMethod slot = store.metaObject()->method(store.metaObject()->indexOfSlot(signature.constData()));
    if (!slot.isValid())
        return false;
    return slot.parameterCount() == 0 ? slot.invoke(&store, Qt::DirectConnection)
                                      : slot.invoke(&store, Qt::DirectConnection, Q_ARG(int, argument));
}

} // namespace

// Stands in for the settings dialog and the training-type combo box.
class signalSource : public QObject
{
    Q_OBJECT
signals:
    void gameMethod_1();
    void gameMethod_2();
    void indexChanged(int);
    void secondsChanged(int);
};

class tst_preferences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void firstRun_data();
    void firstRun();
    void readStored_data();
    void readStored();
    void slotWritesThrough_data();
    void slotWritesThrough();
    void repeatWritesAgain_data();
    void repeatWritesAgain();
    void methodBackToOne();
    void nextStartReadsChanges();
    void oddDelayKeptUntilReplaced();
    void unstorableChangeHeldInMemory_data();
    void unstorableChangeHeldInMemory();
    void metaObject();
    void stringConnections();

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

void tst_preferences::firstRun_data()
{
    QTest::addColumn<bool>("fileExists");

    QTest::newRow("noFile") << false;
    QTest::newRow("otherKeysOnly") << true;
}

void tst_preferences::firstRun()
{
    QFETCH(bool, fileExists);
    const QByteArray contents("fontSize=20\n[Other]\nkey=1\n");
    if (fileExists)
        QVERIFY(config.writeSettingsFile(contents));

    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.gameMethod(), 1);
        QCOMPARE(store.gameType(), 1);
        QCOMPARE(store.timeDelay(), 2000);
    }
    // The defaults live in memory only, also after the store has gone.
    if (fileExists)
        QCOMPARE(config.settingsFileContents(), contents);
    else
        QVERIFY(!QFileInfo::exists(config.settingsFile()));
}

void tst_preferences::readStored_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("gameMethod");
    QTest::addColumn<int>("gameType");
    QTest::addColumn<int>("timeDelay");

    QRandomGenerator generator(0xdecafbad);
    QByteArray random(512, '\0');
    for (char &byte : random)
        byte = char(generator.bounded(256));

    QTest::newRow("allStored") << QByteArray("gameMethod=2\ngameType=0\ntimeDelay=5000\n") << 2 << 0 << 5000;
    QTest::newRow("generalSection") << QByteArray("[General]\ngameType=0\n") << 1 << 0 << 2000;
    QTest::newRow("empty") << QByteArray() << 1 << 1 << 2000;
    QTest::newRow("randomBytes") << random << 1 << 1 << 2000;
    QTest::newRow("halfSeconds") << QByteArray("timeDelay=2500\n") << 1 << 1 << 2500;
    QTest::newRow("negativeDelay") << QByteArray("timeDelay=-5\n") << 1 << 1 << -5;
    QTest::newRow("unknownMethod") << QByteArray("gameMethod=7\n") << 7 << 1 << 2000;
    QTest::newRow("unknownType") << QByteArray("gameType=12\n") << 1 << 12 << 2000;
    QTest::newRow("textType") << QByteArray("gameType=Falschwörter\n") << 1 << 0 << 2000;
    QTest::newRow("latin1TextType") << QByteArray("gameType=Falschw\xf6rter\n") << 1 << 0 << 2000;
    QTest::newRow("emptyValue") << QByteArray("gameMethod=\n") << 0 << 1 << 2000;
    // Read unchecked: QVariant keeps the low 32 bits of a number too large for int.
    QTest::newRow("hugeMethod") << QByteArray("gameMethod=99999999999\n")
                                << int(quint32(99999999999LL)) << 1 << 2000;
    QTest::newRow("otherSection") << QByteArray("[Other]\ngameType=0\n") << 1 << 1 << 2000;
    QTest::newRow("damagedLaterLine")
        << QByteArray("gameType=0\ntimeDelay=4000\nno equals sign\n") << 1 << 0 << 4000;
}

void tst_preferences::readStored()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, gameMethod);
    QFETCH(int, gameType);
    QFETCH(int, timeDelay);
    QVERIFY(config.writeSettingsFile(contents));

    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.gameMethod(), gameMethod);
        QCOMPARE(store.gameType(), gameType);
        QCOMPARE(store.timeDelay(), timeDelay);
    }
    // Reading neither repairs nor rewrites anything.
    QCOMPARE(config.settingsFileContents(), contents);
}

void tst_preferences::slotWritesThrough_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("argument");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");

    QTest::newRow("method1") << QByteArray("setGameMethod_1()") << 0 << QStringLiteral("gameMethod") << 1;
    QTest::newRow("method2") << QByteArray("setGameMethod_2()") << 0 << QStringLiteral("gameMethod") << 2;
    QTest::newRow("type0") << QByteArray("setGameType(int)") << 0 << QStringLiteral("gameType") << 0;
    QTest::newRow("typeUnchecked") << QByteArray("setGameType(int)") << -4 << QStringLiteral("gameType") << -4;
    QTest::newRow("delay5s") << QByteArray("setTimeDelay(int)") << 5 << QStringLiteral("timeDelay") << 5000;
    QTest::newRow("delay30s") << QByteArray("setTimeDelay(int)") << 30 << QStringLiteral("timeDelay") << 30000;
    QTest::newRow("delay0") << QByteArray("setTimeDelay(int)") << 0 << QStringLiteral("timeDelay") << 0;
    // Out of the dialog's reach: the product would not fit into an int.
    QTest::newRow("delayTooLong") << QByteArray("setTimeDelay(int)") << 3000000 << QStringLiteral("timeDelay")
                                  << std::numeric_limits<int>::max();
    QTest::newRow("delayTooNegative") << QByteArray("setTimeDelay(int)") << -3000000 << QStringLiteral("timeDelay")
                                      << std::numeric_limits<int>::min();
}

void tst_preferences::slotWritesThrough()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, argument);
    QFETCH(QString, key);
    QFETCH(int, value);
    // Values none of the rows writes, so that each write shows.
    QVERIFY(config.writeSettingsFile("gameMethod=9\ngameType=9\ntimeDelay=9\nfontSize=20\n"
                                     "[Other]\nkey=1\n"));

    WarningCollector warnings;
    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QVERIFY(callSlot(store, slot, argument));
        QCOMPARE(currentValue(store, key), value);
        QCOMPARE(config.storedValue(key), QString::number(value));
        for (const char *other : trainingKeys) {
            if (key != QLatin1String(other))
                QCOMPARE(currentValue(store, QLatin1String(other)), 9);
        }
    }
    for (const char *other : trainingKeys) {
        if (key != QLatin1String(other))
            QCOMPARE(config.storedValue(QLatin1String(other)), QStringLiteral("9"));
    }
    QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QStringLiteral("20"));
    QCOMPARE(config.storedValue(QStringLiteral("Other/key")), QStringLiteral("1"));
    QCOMPARE(warnings.warnings(), QStringList());

    preferences next(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(currentValue(next, key), value);
}

void tst_preferences::repeatWritesAgain_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("argument");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");

    QTest::newRow("method1") << QByteArray("setGameMethod_1()") << 0 << QStringLiteral("gameMethod") << QStringLiteral("1");
    QTest::newRow("method2") << QByteArray("setGameMethod_2()") << 0 << QStringLiteral("gameMethod") << QStringLiteral("2");
    QTest::newRow("type") << QByteArray("setGameType(int)") << 1 << QStringLiteral("gameType") << QStringLiteral("1");
    QTest::newRow("delay") << QByteArray("setTimeDelay(int)") << 2 << QStringLiteral("timeDelay") << QStringLiteral("2000");
}

// Calling a slot with the value already held writes it all the same: taken
// out of the file behind the store's back, the key comes back.
void tst_preferences::repeatWritesAgain()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, argument);
    QFETCH(QString, key);
    QFETCH(QString, stored);

    preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QVERIFY(callSlot(store, slot, argument));
    QCOMPARE(config.storedValue(key), stored);

    QVERIFY(config.writeSettingsFile("fontSize=20\n"));
    QVERIFY(callSlot(store, slot, argument));
    QCOMPARE(config.storedValue(key), stored);
    QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QStringLiteral("20"));
}

void tst_preferences::methodBackToOne()
{
    preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    store.setGameMethod_2();
    QCOMPARE(config.storedValue(QStringLiteral("gameMethod")), QStringLiteral("2"));
    store.setGameMethod_1();
    QCOMPARE(store.gameMethod(), 1);
    QCOMPARE(config.storedValue(QStringLiteral("gameMethod")), QStringLiteral("1"));
}

void tst_preferences::nextStartReadsChanges()
{
    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        store.setGameMethod_2();
        store.setGameType(0);
        store.setTimeDelay(7);
        store.setFontSize(24);
    }
    preferences next(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(next.gameMethod(), 2);
    QCOMPARE(next.gameType(), 0);
    QCOMPARE(next.timeDelay(), 7000);
    QCOMPARE(next.fontSize(), 24);
}

// A delay no whole multiple of a second survives other writes; only the
// seconds-based slot replaces it.
void tst_preferences::oddDelayKeptUntilReplaced()
{
    QVERIFY(config.writeSettingsFile("timeDelay=2500\n"));
    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        store.setGameType(0);
        store.setGameMethod_2();
        store.setFontSize(16);
        QCOMPARE(store.timeDelay(), 2500);
    }
    QCOMPARE(config.storedValue(QStringLiteral("timeDelay")), QStringLiteral("2500"));

    preferences next(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(next.timeDelay(), 2500);
    next.setTimeDelay(3);
    QCOMPARE(config.storedValue(QStringLiteral("timeDelay")), QStringLiteral("3000"));
}

void tst_preferences::unstorableChangeHeldInMemory_data()
{
    QTest::addColumn<bool>("fileIsDirectory");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("gameType");

    QTest::newRow("fileIsDirectory") << true << QByteArray() << 1;
    QTest::newRow("damaged") << false << QByteArray("gameType=0\n[Other\nkey=1\n") << 0;
}

// The failure cases themselves are covered with the font size in
// tst_basepreferences; here the training settings go the same way.
void tst_preferences::unstorableChangeHeldInMemory()
{
    QFETCH(bool, fileIsDirectory);
    QFETCH(QByteArray, contents);
    QFETCH(int, gameType);
    if (fileIsDirectory)
        QVERIFY(QDir().mkpath(config.settingsFile()));
    else
        QVERIFY(config.writeSettingsFile(contents));

    WarningCollector warnings;
    {
        preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.gameMethod(), 1);
        QCOMPARE(store.gameType(), gameType);
        QCOMPARE(store.timeDelay(), 2000);

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
    QCOMPARE(QFileInfo(config.settingsFile()).isDir(), fileIsDirectory);
    if (!fileIsDirectory)
        QCOMPARE(config.settingsFileContents(), contents);
}

void tst_preferences::metaObject()
{
    const QMetaObject &meta = preferences::staticMetaObject;
    QCOMPARE(meta.className(), "preferences");
    QCOMPARE(meta.superClass(), &basePreferences::staticMetaObject);
    QCOMPARE(meta.superClass()->className(), "basePreferences");

    // Four public slots in this order, and nothing else: no signals.
    const QByteArray expected[] = {"setGameMethod_1()", "setGameMethod_2()", "setGameType(int)",
                                "setTimeDelay(int)"};
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 4);
    for (int i = 0; i < 4; ++i) {
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        QCOMPARE(method.methodSignature(), expected[i]);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Public);
        QCOMPARE(meta.indexOfSlot(expected[i].constData()), meta.methodOffset() + i);
    }
    // The base's slot is reachable through the store as well.
    QVERIFY(meta.indexOfSlot("setFontSize(int)") >= 0);
    QVERIFY(meta.indexOfSlot("setFontSize(int)") < meta.methodOffset());

    preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(store.qt_metacast("preferences"), static_cast<void *>(&store));
    QCOMPARE(store.qt_metacast("basePreferences"), static_cast<void *>(static_cast<basePreferences *>(&store)));
    QVERIFY(QMetaObject::invokeMethod(&store, "setTimeDelay", Qt::DirectConnection, Q_ARG(int, 3)));
    QCOMPARE(store.timeDelay(), 3000);
    QVERIFY(QMetaObject::invokeMethod(&store, "setGameMethod_2", Qt::DirectConnection));
    QCOMPARE(store.gameMethod(), 2);
}

// The window connects the dialog and the combo box to the store by
// signature strings; every one of those connections must take.
void tst_preferences::stringConnections()
{
    preferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    signalSource source;
    QVERIFY(connect(&source, SIGNAL(gameMethod_1()), &store, SLOT(setGameMethod_1())));
    QVERIFY(connect(&source, SIGNAL(gameMethod_2()), &store, SLOT(setGameMethod_2())));
    QVERIFY(connect(&source, SIGNAL(indexChanged(int)), &store, SLOT(setGameType(int))));
    QVERIFY(connect(&source, SIGNAL(secondsChanged(int)), &store, SLOT(setTimeDelay(int))));
    QVERIFY(connect(&source, SIGNAL(secondsChanged(int)), &store, SLOT(setFontSize(int))));

    emit source.gameMethod_2();
    QCOMPARE(store.gameMethod(), 2);
    emit source.gameMethod_1();
    QCOMPARE(store.gameMethod(), 1);
    emit source.indexChanged(0);
    QCOMPARE(store.gameType(), 0);
    emit source.secondsChanged(12);
    QCOMPARE(store.timeDelay(), 12000);
    QCOMPARE(store.fontSize(), 12);
}

QTEST_GUILESS_MAIN(tst_preferences)
#include "tst_preferences.moc"
