#include "settings/basepreferences.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

enum class Setup {
    Contents,           // the file holds the row's bytes
    DirectoryInPlace,   // a directory stands where the file should be
    NoConfigDirectory,  // a plain file stands where the organisation directory should be
    ReadOnly,           // the row's bytes in a file that cannot be written
    NoPermissions,      // the row's bytes in a file without any permission bits
};

QByteArray randomBytes()
{
    // Fixed seed: a failing run can be repeated with the same bytes.
    QRandomGenerator generator(0x5ca1ab1e);
    QByteArray bytes(512, '\0');
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_basePreferences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fontSizeRead_data();
    void fontSizeRead();
    void constructionWritesNothing();
    void setFontSize_data();
    void setFontSize();
    void setFontSizeRepeatWritesAgain();
    void failedWrite_data();
    void failedWrite();
    void utf8Boundaries_data();
    void utf8Boundaries();
    void metaObject();

private:
    // Created with the test object, before any QSettings exists.
    TemporaryConfig config;
};

void tst_basePreferences::initTestCase()
{
    QVERIFY(config.isValid());
}

void tst_basePreferences::init()
{
    config.reset();
}

void tst_basePreferences::fontSizeRead_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("fontSize");

    QTest::newRow("missing") << QByteArray("gameType=0\n") << 14;
    QTest::newRow("stored") << QByteArray("fontSize=20\n") << 20;
    QTest::newRow("smallest") << QByteArray("fontSize=1\n") << 1;
    QTest::newRow("large") << QByteArray("fontSize=1000\n") << 1000;
    QTest::newRow("zero") << QByteArray("fontSize=0\n") << 14;
    QTest::newRow("negative") << QByteArray("fontSize=-3\n") << 14;
    QTest::newRow("text") << QByteArray("fontSize=gross\n") << 14;
    QTest::newRow("fraction") << QByteArray("fontSize=12.5\n") << 14;
    QTest::newRow("emptyValue") << QByteArray("fontSize=\n") << 14;
    QTest::newRow("beyondInt") << QByteArray("fontSize=2147483648\n") << 14;
    QTest::newRow("farBeyondInt") << QByteArray("fontSize=99999999999\n") << 14;
    QTest::newRow("inSection") << QByteArray("[Other]\nfontSize=20\n") << 14;
}

void tst_basePreferences::fontSizeRead()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, fontSize);
    QVERIFY(config.writeSettingsFile(contents));

    basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(store.fontSize(), fontSize);
}

void tst_basePreferences::constructionWritesNothing()
{
    {
        basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.fontSize(), 14);
    }
    QVERIFY(!QFileInfo::exists(config.settingsFile()));

    // A value that reads as the default is not "repaired" in the file either.
    const QByteArray contents("fontSize=-3\n");
    QVERIFY(config.writeSettingsFile(contents));
    {
        basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.fontSize(), 14);
    }
    QCOMPARE(config.settingsFileContents(), contents);
}

void tst_basePreferences::setFontSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("nextStart");

    QTest::newRow("dialogMinimum") << 9 << 9;
    QTest::newRow("dialogMaximum") << 32 << 32;
    QTest::newRow("default") << 14 << 14;
    // Set as given, but not a font size the next start accepts.
    QTest::newRow("zero") << 0 << 14;
}

void tst_basePreferences::setFontSize()
{
    QFETCH(int, size);
    QFETCH(int, nextStart);
    // Typed by hand: an umlaut in UTF-8, which a later write must not alter.
    QVERIFY(config.writeSettingsFile("fontSize=20\ngameType=0\nnote=Schriftgr\xc3\xb6\xc3\x9f" "e\n"
                                     "[Other]\nkey=1\n"));

    WarningCollector warnings;
    {
        basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        store.setFontSize(size);
        QCOMPARE(store.fontSize(), size);
        // On disk while the store is still alive: written through, not at exit.
        QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QString::number(size));
    }
    QCOMPARE(config.storedValue(QStringLiteral("gameType")), QStringLiteral("0"));
    QCOMPARE(config.storedValue(QStringLiteral("note")), QStringLiteral("Schriftgr\u00f6\u00dfe"));
    QCOMPARE(config.storedValue(QStringLiteral("Other/key")), QStringLiteral("1"));
    QVERIFY2(warnings.warnings().isEmpty(), qPrintable(warnings.warnings().join(QLatin1Char('\n'))));

    basePreferences next(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QCOMPARE(next.fontSize(), nextStart);
}

void tst_basePreferences::setFontSizeRepeatWritesAgain()
{
    basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    store.setFontSize(14);
    QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QStringLiteral("14"));

    // Someone else takes the key out; the same value set again must bring it back.
    QVERIFY(config.writeSettingsFile("gameType=0\n"));
    QVERIFY(config.storedValue(QStringLiteral("fontSize")).isNull());
    store.setFontSize(14);
    QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QStringLiteral("14"));
    QCOMPARE(config.storedValue(QStringLiteral("gameType")), QStringLiteral("0"));
}

void tst_basePreferences::failedWrite_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("fontSize");

    QTest::newRow("randomBytes") << Setup::Contents << randomBytes() << 14;
    QTest::newRow("lineWithoutEquals")
        << Setup::Contents << QByteArray("fontSize=20\n[Other]\nno equals sign\nkey=1\n") << 20;
    QTest::newRow("unclosedSection")
        << Setup::Contents << QByteArray("fontSize=20\n[Other\nkey=1\n") << 20;
    QTest::newRow("notUtf8")
        << Setup::Contents << QByteArray("fontSize=20\nname=Schriftgr\xf6\xdf" "e\n") << 20;
    QTest::newRow("fileIsDirectory") << Setup::DirectoryInPlace << QByteArray() << 14;
    QTest::newRow("noConfigDirectory") << Setup::NoConfigDirectory << QByteArray("a file\n") << 14;
    QTest::newRow("readOnly") << Setup::ReadOnly << QByteArray("fontSize=20\n") << 20;
    QTest::newRow("noPermissions") << Setup::NoPermissions << QByteArray("fontSize=20\n") << 14;
}

// Whatever keeps a change from being stored: the run goes on with the new
// value, each change that is lost says so in one line naming the file, and
// the file is left exactly as it was, also when the store goes away.
void tst_basePreferences::failedWrite()
{
    QFETCH(Setup, setup);
    QFETCH(QByteArray, contents);
    QFETCH(int, fontSize);

    const QString organisationDir = QFileInfo(config.settingsFile()).path();
    QString untouched = config.settingsFile();
    std::unique_ptr<ReadOnlyFile> readOnly;
    switch (setup) {
    case Setup::Contents:
        QVERIFY(config.writeSettingsFile(contents));
        break;
    case Setup::DirectoryInPlace:
        QVERIFY(QDir().mkpath(config.settingsFile()));
        break;
    case Setup::NoConfigDirectory: {
        QFile blocker(organisationDir);
        QVERIFY(blocker.open(QFile::WriteOnly));
        QCOMPARE(blocker.write(contents), qint64(contents.size()));
        untouched = organisationDir;
        break;
    }
    case Setup::ReadOnly:
        QVERIFY(config.writeSettingsFile(contents));
        readOnly.reset(new ReadOnlyFile(config.settingsFile()));
        if (!readOnly->isReadOnly())
            QSKIP("This file system cannot make a file read-only for the current user");
        break;
    case Setup::NoPermissions:
        if (runsAsRoot())
            QSKIP("Root reads any file; fileIsDirectory stands in for an unreadable file");
        QVERIFY(config.writeSettingsFile(contents));
        QVERIFY(QFile::setPermissions(config.settingsFile(), QFileDevice::Permissions()));
        break;
    }
    const auto restorePermissions = qScopeGuard([&] {
        if (setup == Setup::NoPermissions)
            QFile::setPermissions(config.settingsFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    });
    const auto stateOnDisk = [&] {
        const QFileInfo info(untouched);
        QFile file(untouched);
        if (info.isDir())
            return QByteArrayLiteral("<directory>");
        if (!file.open(QFile::ReadOnly))
            return "<unreadable> " + QByteArray::number(info.size()) + ' '
                + QByteArray::number(info.lastModified().toMSecsSinceEpoch());
        return file.readAll();
    };
    const QByteArray before = stateOnDisk();

    WarningCollector warnings;
    {
        basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.fontSize(), fontSize);
        QCOMPARE(warnings.warnings(), QStringList());

        store.setFontSize(25);
        QCOMPARE(store.fontSize(), 25);
        QCOMPARE(warnings.warnings().size(), 1);
        const QString warning = warnings.warnings().constFirst();
        QVERIFY2(warning.contains(config.settingsFile()), qPrintable(warning));
        QVERIFY2(!warning.contains(QLatin1Char('\n')), qPrintable(warning));

        store.setFontSize(26);
        QCOMPARE(store.fontSize(), 26);
        QCOMPARE(warnings.warnings().size(), 2);
        QCOMPARE(stateOnDisk(), before);
    }
    QCOMPARE(stateOnDisk(), before);
    QCOMPARE(warnings.warnings().size(), 2);
}

void tst_basePreferences::utf8Boundaries_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("valid");

    // The last value of the file, without a line end: a sequence that ends
    // the file must be checked up to its last byte and no further.
    QTest::newRow("twoBytesAtEnd") << QByteArray("Gr\xc3\xb6") << true;
    QTest::newRow("lowestThreeBytes") << QByteArray("\xe0\xa0\x80") << true;
    QTest::newRow("belowSurrogates") << QByteArray("\xed\x9f\xbf") << true;
    QTest::newRow("aboveSurrogates") << QByteArray("\xee\x80\x80") << true;
    QTest::newRow("highestThreeBytes") << QByteArray("\xef\xbf\xbd") << true;

    QTest::newRow("cutTwoBytes") << QByteArray("Gr\xc3") << false;
    QTest::newRow("cutThreeBytes") << QByteArray("\xe2\x82") << false;
    QTest::newRow("loneContinuation") << QByteArray("a\x80") << false;
    QTest::newRow("badContinuation") << QByteArray("\xe2\x28\xa1") << false;
    QTest::newRow("overlongTwo") << QByteArray("\xc1\xbf") << false;
    QTest::newRow("overlongThree") << QByteArray("\xe0\x9f\xbf") << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
    // Valid UTF-8 beyond U+FFFF, but Qt 5 would drop it from the file on the
    // next write.
    QTest::newRow("fourBytes") << QByteArray("\xf0\x9f\x98\x80") << false;
}

// Only a file that Qt writes back as it is, UTF-8 throughout, is written
// over; then its text comes back unchanged.
void tst_basePreferences::utf8Boundaries()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, valid);
    const QByteArray contents = "fontSize=20\nnote=" + value;
    QVERIFY(config.writeSettingsFile(contents));

    WarningCollector warnings;
    {
        basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        store.setFontSize(21);
    }
    if (valid) {
        QCOMPARE(warnings.warnings(), QStringList());
        QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QStringLiteral("21"));
        QCOMPARE(config.storedValue(QStringLiteral("note")), QString::fromUtf8(value));
    } else {
        QCOMPARE(warnings.warnings().size(), 1);
        QCOMPARE(config.settingsFileContents(), contents);
    }
}

void tst_basePreferences::metaObject()
{
    const QMetaObject &meta = basePreferences::staticMetaObject;
    QCOMPARE(meta.className(), "basePreferences");
    QCOMPARE(meta.superClass(), &QObject::staticMetaObject);

    // One method of its own: the slot, public and reachable by its signature.
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 1);
    const int slot = meta.indexOfSlot("setFontSize(int)");
    QCOMPARE(slot, meta.methodOffset());
    QCOMPARE(meta.method(slot).methodType(), QMetaMethod::Slot);
    QCOMPARE(meta.method(slot).access(), QMetaMethod::Public);

    basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    QVERIFY(QMetaObject::invokeMethod(&store, "setFontSize", Qt::DirectConnection, Q_ARG(int, 17)));
    QCOMPARE(store.fontSize(), 17);
    QCOMPARE(config.storedValue(QStringLiteral("fontSize")), QStringLiteral("17"));
}

QTEST_GUILESS_MAIN(tst_basePreferences)
#include "tst_basepreferences.moc"
