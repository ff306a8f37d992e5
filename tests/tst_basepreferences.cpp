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
    void failedWrite_data();
    void failedWrite();
    void utf8Boundaries_data();
    void utf8Boundaries();
    void metaObjectOrder();

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
    QTest::newRow("large") << QByteArray("fontSize=1000\n") << 1000;
    QTest::newRow("zero") << QByteArray("fontSize=0\n") << 14;
    QTest::newRow("negative") << QByteArray("fontSize=-3\n") << 14;
    QTest::newRow("text") << QByteArray("fontSize=gross\n") << 14;
    QTest::newRow("beyondInt") << QByteArray("fontSize=99999999999\n") << 14;
}

void tst_basePreferences::fontSizeRead()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, fontSize);
    QVERIFY(config.writeSettingsFile(contents));

    {
        basePreferences store(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
        QCOMPARE(store.fontSize(), fontSize);
    }
    // A value that reads as the default is not "repaired" in the file.
    QCOMPARE(config.settingsFileContents(), contents);
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
    QTest::newRow("highestThreeBytes") << QByteArray("\xef\xbf\xbd") << true;

    QTest::newRow("cutAtEnd") << QByteArray("Gr\xc3") << false;
    QTest::newRow("loneContinuation") << QByteArray("a\x80") << false;
    QTest::newRow("badSecondByte") << QByteArray("\xe2\x28\xa1") << false;
    QTest::newRow("badThirdByte") << QByteArray("\xe2\x82\x28") << false;
    QTest::newRow("overlongTwo") << QByteArray("\xc1\xbf") << false;
    QTest::newRow("overlongThree") << QByteArray("\xe0\x9f\xbf") << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
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

void tst_basePreferences::metaObjectOrder()
{
    // One method of its own: the public slot.
    const QMetaObject &meta = basePreferences::staticMetaObject;
    QCOMPARE(meta.superClass(), &QObject::staticMetaObject);
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 1);
    const QMetaMethod slot = meta.method(meta.methodOffset());
    QCOMPARE(slot.methodSignature(), QByteArray("setFontSize(int)"));
    QCOMPARE(slot.methodType(), QMetaMethod::Slot);
    QCOMPARE(slot.access(), QMetaMethod::Public);
}

QTEST_GUILESS_MAIN(tst_basePreferences)
#include "tst_basepreferences.moc"
