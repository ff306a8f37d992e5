// Start-up as main() does it: the style is chosen after the application has
// read its command line, so a "-style" option must not win; the resource
// bundle is there before main() runs.

#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

namespace {

// Filled in before the application object exists.
QStringList resourcesBeforeMain;

const QStringList bundled{
    QStringLiteral(":/data/wordgroups.dat"), QStringLiteral(":/data/anleitung.html"),
    QStringLiteral(":/data/ueber.html"),     QStringLiteral(":/data/lizenz.html"),
    QStringLiteral(":/data/haken.png"),      QStringLiteral(":/data/kreuz.png"),
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void resourcesBeforeApplication();
    void styleIgnoresCommandLine();
    void icon();
};

void TestStartup::resourcesBeforeApplication()
{
    QCOMPARE(resourcesBeforeMain, bundled);
}

void TestStartup::styleIgnoresCommandLine()
{
    // main() below asked for "windows" on the command line and checked that
    // the application took it, before the trainer's style was applied.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // Cleanlooks was not carried over to Qt 6; Fusion stands in for it.
    const bool cleanlooks = QStyleFactory::keys().contains(QStringLiteral("Cleanlooks"), Qt::CaseInsensitive);
    const QString expected = QLatin1String(cleanlooks ? "cleanlooks" : "fusion");
#else
    // On Qt 5 the style plugin is a requirement of the build and the package.
    const QString expected = QStringLiteral("cleanlooks");
#endif
    QCOMPARE(QApplication::style()->objectName().toLower(), expected);
}

void TestStartup::icon()
{
    const QIcon icon = trainerIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 64, 128}) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
        const QImage image = icon.pixmap(size, size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
    }
}

int main(int argc, char *argv[])
{
    for (const QString &path : bundled) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.size() > 0)
            resourcesBeforeMain << path;
    }

    // Ask for another style on the command line, as a user might.
    QByteArrayList arguments{QByteArray(argv[0]), "-style", "windows"};
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    QVector<char *> pointers;
    for (QByteArray &argument : arguments)
        pointers << argument.data();
    int count = pointers.size();
    QApplication app(count, pointers.data());
    if (QApplication::style()->objectName().toLower() != QStringLiteral("windows"))
        qFatal("the command line did not select the windows style");
    applyTrainerStyle();

    TestStartup test;
    return QTest::qExec(&test, QApplication::arguments());
}

#include "tst_startup.moc"
