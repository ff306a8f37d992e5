#include "dialogs/aboutwindow.h"
#include "testsupport.h"
#include "words/textdocument.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Runs `act` on the dialog as soon as exec() has made it the active modal
// widget. exec() returns -1 when the dialog never became modal and -2 when
// `act` did not end it, so a broken close fails the test instead of hanging.
int execAndThen(QDialog &dialog, const std::function<void(QWidget *)> &act)
{
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != &dialog) {
            dialog.done(-1);
            return;
        }
        act(modal);
    });
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-2); });
    return dialog.exec();
}

QString builtVersion()
{
    return QString::number(SKARVEL_VERSION_MAJOR) + QLatin1Char('.')
            + QString::number(SKARVEL_VERSION_MINOR) + QLatin1Char('.')
            + QString::number(SKARVEL_VERSION_PATCH);
}

QLabel *label(const QDialog &dialog, const char *name)
{
    return dialog.findChild<QLabel *>(QLatin1String(name));
}

} // namespace

class tst_aboutwindow : public QObject
{
    Q_OBJECT

private slots:
    void widgetTree_data();
    void widgetTree();
    void opensOnAboutTab();
    void cannotGrow_data();
    void cannotGrow();
    void okButtonStrip();
    void aboutTextEndsWithVersion();
    void licenceText();
    void labels_data();
    void labels();
    void documentLinesJoin_data();
    void documentLinesJoin();
    void okClosesAndReopensAlike();

private:
    TemporaryConfig config;
};

void tst_aboutwindow::widgetTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("parent");

    QTest::newRow("tabWidget") << "tabWidget" << QByteArray("QTabWidget") << "aboutDialog";
    QTest::newRow("textEdit_ueber") << "textEdit_ueber" << QByteArray("QLabel") << "ueber_tab";
    QTest::newRow("scrollArea_Lizenz") << "scrollArea_Lizenz" << QByteArray("QScrollArea")
                                       << "lizenz_tab";
    QTest::newRow("textEdit_Lizenz") << "textEdit_Lizenz" << QByteArray("QLabel")
                                     << "scrollAreaWidgetContents";
    QTest::newRow("pushButton_OK") << "pushButton_OK" << QByteArray("QPushButton")
                                   << "aboutDialog";
}

void tst_aboutwindow::widgetTree()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, parent);

    aboutWindow dialog;
    auto *widget = dialog.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QByteArray(widget->metaObject()->className()), type);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
}

void tst_aboutwindow::opensOnAboutTab()
{
    aboutWindow dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("aboutDialog"));
    QCOMPARE(QByteArray(dialog.metaObject()->className()), QByteArray("aboutWindow"));
    QCOMPARE(dialog.metaObject()->methodCount(), dialog.metaObject()->methodOffset());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pondrel - Skarvel"));
    QCOMPARE(dialog.font().pointSize(), 12);
    QCOMPARE(dialog.sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
    QCOMPARE(dialog.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);

    auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(tabs->documentMode());
    QCOMPARE(tabs->maximumSize(), QSize(540, 480));
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Über"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Lizenz"));
    QCOMPARE(tabs->widget(0)->objectName(), QStringLiteral("ueber_tab"));
    QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("lizenz_tab"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(540, 423));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(label(dialog, "textEdit_ueber")->isVisible());
}

void tst_aboutwindow::cannotGrow_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("both") << QSize(900, 900) << QSize(540, 480);
    QTest::newRow("one pixel") << QSize(541, 481) << QSize(540, 480);
    QTest::newRow("taller") << QSize(540, 2000) << QSize(540, 480);
    QTest::newRow("wider") << QSize(2000, 450) << QSize(540, 450);
    QTest::newRow("at maximum") << QSize(540, 480) << QSize(540, 480);
}

void tst_aboutwindow::cannotGrow()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);

    aboutWindow dialog;
    QCOMPARE(dialog.maximumSize(), QSize(540, 480));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    dialog.resize(requested);

    QTRY_COMPARE(dialog.size(), expected);
}

void tst_aboutwindow::okButtonStrip()
{
    aboutWindow dialog;
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_OK"));
    QCOMPARE(ok->text(), QStringLiteral("Ok"));
    QCOMPARE(ok->minimumSize(), QSize(100, 30));
    QCOMPARE(ok->font().pointSize(), 12);

    auto *strip = dialog.findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout"));
    QVERIFY(strip);
    QCOMPARE(strip->contentsMargins().right(), 0);
    QCOMPARE(strip->count(), 2);
    QVERIFY(strip->itemAt(0)->spacerItem());
    QCOMPARE(strip->itemAt(0)->sizeHint(), QSize(40, 20));
    QCOMPARE(strip->itemAt(1)->widget(), ok);

    // The spacer takes the free width, so "Ok" keeps its own width at the
    // right edge below the tabs.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QCOMPARE(ok->geometry().right(), tabs->geometry().right());
    QCOMPARE(ok->width(), qMax(100, ok->sizeHint().width()));
}

void tst_aboutwindow::aboutTextEndsWithVersion()
{
    // The documented program version; the dialog itself takes it from the build.
    QCOMPARE(builtVersion(), QStringLiteral("1.0.3"));
    const QString versionLine =
            QStringLiteral("<SPAN style=\"color : #000058; font-size : 15px;\">Version ")
            + builtVersion() + QStringLiteral("</SPAN><br>");

    aboutWindow dialog;
    const QString text = label(dialog, "textEdit_ueber")->text();

    QVERIFY2(text.endsWith(versionLine), qPrintable(text));
    QCOMPARE(text, readTextDocument(QStringLiteral(":/data/ueber.html")) + versionLine);
}

void tst_aboutwindow::licenceText()
{
    aboutWindow dialog;
    const QString text = label(dialog, "textEdit_Lizenz")->text();

    QCOMPARE(text, readTextDocument(QStringLiteral(":/data/lizenz.html")));
    QVERIFY(text != QLatin1String("TextLabel"));
}

void tst_aboutwindow::labels_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("opensLinks");
    QTest::addColumn<bool>("wraps");

    QTest::newRow("about") << QByteArray("textEdit_ueber") << true << false;
    QTest::newRow("licence") << QByteArray("textEdit_Lizenz") << false << true;
}

void tst_aboutwindow::labels()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, opensLinks);
    QFETCH(bool, wraps);

    aboutWindow dialog;
    QLabel *shown = label(dialog, name.constData());
    QVERIFY(shown);
    QCOMPARE(shown->openExternalLinks(), opensLinks);
    QCOMPARE(shown->wordWrap(), wraps);
    QCOMPARE(shown->textFormat(), Qt::AutoText);
}

void tst_aboutwindow::documentLinesJoin_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two lines") << true << QByteArray("a\nb\n") << "ab";
    QTest::newRow("crlf") << true << QByteArray("a\r\nb\r\n") << "ab";
    QTest::newRow("no final line end") << true << QByteArray("a\nb") << "ab";
    QTest::newRow("empty line") << true << QByteArray("a\n\nb\n") << "ab";
    QTest::newRow("leading blank kept") << true << QByteArray("<p>Text\n und mehr</p>\n")
                                        << "<p>Text und mehr</p>";
    QTest::newRow("utf-8") << true << QByteArray("\xc3\x9c" "ber\nGr\xc3\xbc\xc3\x9f" "e\n")
                           << QStringLiteral("ÜberGrüße");
    QTest::newRow("empty file") << true << QByteArray() << "";
    QTest::newRow("missing") << false << QByteArray() << "";
}

void tst_aboutwindow::documentLinesJoin()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("document.html"));
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), qint64(content.size()));
    }

    const QString text = readTextDocument(path);

    QCOMPARE(text, expected);
    QVERIFY(!text.isNull() || expected.isEmpty());
}

void tst_aboutwindow::okClosesAndReopensAlike()
{
    QString aboutText;
    QString licence;
    for (int opening = 0; opening < 2; ++opening) {
        aboutWindow dialog;
        const int result = execAndThen(dialog, [](QWidget *modal) {
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("pushButton_OK")),
                              Qt::LeftButton);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());

        if (opening == 0) {
            aboutText = label(dialog, "textEdit_ueber")->text();
            licence = label(dialog, "textEdit_Lizenz")->text();
        } else {
            QCOMPARE(label(dialog, "textEdit_ueber")->text(), aboutText);
            QCOMPARE(label(dialog, "textEdit_Lizenz")->text(), licence);
        }
    }
}

QTEST_MAIN(tst_aboutwindow)
#include "tst_aboutwindow.moc"
