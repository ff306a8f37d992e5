// The three dialogs on their own, for what the tests through the training
// window (tst_windowdialogs) do not reach.

#include "dialogs/aboutwindow.h"
#include "dialogs/anleitungsdialog.h"
#include "dialogs/einstellungen.h"
#include "testsupport.h"
#include "words/textdocument.h"

#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <iterator>
#include <memory>

namespace {

QString sentences(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("Wählen Sie das richtig geschriebene Wort aus den drei Wörtern aus "
                               "und drücken Sie dann auf Weiter. ");
    return text;
}

} // namespace

class tst_dialogs : public QObject
{
    Q_OBJECT

private slots:
    void closing_data();
    void closing();

    void settingsFixedSize();
    void settingsTimeDelay_data();
    void settingsTimeDelay();
    void settingsGameMethod_data();
    void settingsGameMethod();
    void settingsMetaObjectOrder();

    void aboutSizeAndTabs();
    void aboutTexts();
    void documentLinesJoin_data();
    void documentLinesJoin();

    void anleitungButtonStrip();
    void anleitungScrolling_data();
    void anleitungScrolling();
    void anleitungRetranslates();
};

void tst_dialogs::closing_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("how");

    // The settings dialog is closed all three ways in tst_windowdialogs.
    for (const char *dialog : {"about", "anleitung"}) {
        for (const char *how : {"ok", "escape", "close"})
            QTest::addRow("%s/%s", dialog, how) << QString::fromLatin1(dialog) << QString::fromLatin1(how);
    }
}

void tst_dialogs::closing()
{
    QFETCH(QString, dialog);
    QFETCH(QString, how);

    std::unique_ptr<QDialog> shown;
    if (dialog == QLatin1String("about"))
        shown.reset(new aboutWindow);
    else
        shown.reset(new AnleitungsDialog);

    const int result = execAndThen(*shown, [how](QWidget *modal) {
        auto *ok = modal->findChild<QPushButton *>();
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("Ok"));
        if (how == QLatin1String("ok"))
            QTest::mouseClick(ok, Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(modal, Qt::Key_Escape);
        else
            modal->close();
    });

    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!shown->isVisible());
}

void tst_dialogs::settingsFixedSize()
{
    einstellungen dialog;
    // 474 x 220, or just as much more as the platform's font needs so that
    // no text is cut off.
    const QSize fixed = QSize(474, 220).expandedTo(dialog.minimumSizeHint());
    QCOMPARE(dialog.font().pointSize(), 12);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), fixed);
    dialog.resize(700, 400);
    QCOMPARE(dialog.size(), fixed);
    dialog.resize(100, 50);
    QCOMPARE(dialog.size(), fixed);

    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget))
            QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(widget->objectName()));
    }
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_OK"));
    QCOMPARE(ok->height(), 35);
    QVERIFY(ok->width() >= 100);
}

void tst_dialogs::settingsTimeDelay_data()
{
    QTest::addColumn<int>("milliseconds");
    QTest::addColumn<int>("shown");

    QTest::newRow("truncates") << 2999 << 2;
    QTest::newRow("negative") << -4500 << 1;
}

void tst_dialogs::settingsTimeDelay()
{
    QFETCH(int, milliseconds);
    QFETCH(int, shown);

    einstellungen dialog;
    QSignalSpy delays(&dialog, &einstellungen::timeDelayChanged);
    QSignalSpy fontSizes(&dialog, &einstellungen::fontSizeChanged);

    dialog.setTimeDelay(milliseconds);

    QCOMPARE(dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_time"))->value(), shown);
    QCOMPARE(delays.count(), 1);
    QCOMPARE(delays.first().first().toInt(), shown);
    QCOMPARE(fontSizes.count(), 0);
}

void tst_dialogs::settingsGameMethod_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("weiterChecked");

    QTest::newRow("1-from-time") << 2 << 1 << true;
    QTest::newRow("2-from-weiter") << 1 << 2 << false;
    QTest::newRow("0-keeps-weiter") << 1 << 0 << true;
    QTest::newRow("3-keeps-time") << 2 << 3 << false;
}

// Presetting toggles the buttons and never emits: the method is written only
// when the user clicks.
void tst_dialogs::settingsGameMethod()
{
    QFETCH(int, start);
    QFETCH(int, method);
    QFETCH(bool, weiterChecked);

    einstellungen dialog;
    auto *weiter = dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_weiter"));
    auto *time = dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_time"));
    QSignalSpy method1(&dialog, &einstellungen::gameMethod_1);
    QSignalSpy method2(&dialog, &einstellungen::gameMethod_2);
    QSignalSpy both(&dialog, &einstellungen::gameMethod);

    dialog.setGameMethod(start);
    QCOMPARE(weiter->isChecked(), start == 1);
    dialog.setGameMethod(method);

    QCOMPARE(weiter->isChecked(), weiterChecked);
    QCOMPARE(time->isChecked(), !weiterChecked);
    QCOMPARE(method1.count() + method2.count() + both.count(), 0);
}

void tst_dialogs::settingsMetaObjectOrder()
{
    const QMetaObject &meta = einstellungen::staticMetaObject;
    const struct {
        const char *signature;
        QMetaMethod::MethodType type;
    } expected[] = {
        {"fontSizeChanged(int)", QMetaMethod::Signal},
        {"gameMethod(int,int)", QMetaMethod::Signal},
        {"gameMethod_1()", QMetaMethod::Signal},
        {"gameMethod_2()", QMetaMethod::Signal},
        {"timeDelayChanged(int)", QMetaMethod::Signal},
        {"showPreferences()", QMetaMethod::Slot},
        {"setFontSize(int)", QMetaMethod::Slot},
        {"setGameMethod(int)", QMetaMethod::Slot},
        {"setTimeDelay(int)", QMetaMethod::Slot},
    };

    QCOMPARE(meta.methodCount() - meta.methodOffset(), int(std::size(expected)));
    for (int i = 0; i < int(std::size(expected)); ++i) {
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        QCOMPARE(method.methodSignature(), QByteArray(expected[i].signature));
        QCOMPARE(method.methodType(), expected[i].type);
        QCOMPARE(method.access(), QMetaMethod::Public);
    }
    const QMetaMethod both = meta.method(meta.indexOfSignal("gameMethod(int,int)"));
    QCOMPARE(both.parameterNames(), (QList<QByteArray>{"method", "intervall"}));
}

void tst_dialogs::aboutSizeAndTabs()
{
    aboutWindow dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pondrel - Skarvel"));
    auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Über"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Lizenz"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(540, 423));
    QCOMPARE(tabs->currentIndex(), 0);
    // "Ok" keeps its own width at the right edge below the tabs.
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_OK"));
    QCOMPARE(ok->geometry().right(), tabs->geometry().right());
    QCOMPARE(ok->width(), qMax(100, ok->sizeHint().width()));

    dialog.resize(900, 900);
    QTRY_COMPARE(dialog.size(), QSize(540, 480));
}

void tst_dialogs::aboutTexts()
{
    aboutWindow dialog;
    auto *about = dialog.findChild<QLabel *>(QStringLiteral("textEdit_ueber"));
    auto *licence = dialog.findChild<QLabel *>(QStringLiteral("textEdit_Lizenz"));

    QCOMPARE(about->text(), readTextDocument(QStringLiteral(":/data/ueber.html"))
             + QStringLiteral("<SPAN style=\"color : #000058; font-size : 15px;\">Version 1.0.3</SPAN><br>"));
    QVERIFY(about->openExternalLinks());

    QVERIFY(!licence->text().isEmpty());
    QCOMPARE(licence->text(), readTextDocument(QStringLiteral(":/data/lizenz.html")));
    QVERIFY(!licence->openExternalLinks());
    QVERIFY(licence->wordWrap());
    QVERIFY(dialog.findChild<QScrollArea *>(QStringLiteral("scrollArea_Lizenz"))->isAncestorOf(licence));
}

void tst_dialogs::documentLinesJoin_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("expected");

    QTest::newRow("two-lines") << QByteArray("a\nb\n") << "ab";
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << "ab";
    QTest::newRow("leading-blank") << QByteArray("<p>Text\n und mehr</p>\n") << "<p>Text und mehr</p>";
    QTest::newRow("utf-8") << QByteArray("\xc3\x9c" "ber\nGr\xc3\xbc\xc3\x9f" "e\n") << QStringLiteral("ÜberGrüße");
    QTest::newRow("missing") << QByteArray() << "";
}

void tst_dialogs::documentLinesJoin()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("document.html"));
    if (!content.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), qint64(content.size()));
    }

    QCOMPARE(readTextDocument(path), expected);
}

void tst_dialogs::anleitungButtonStrip()
{
    AnleitungsDialog dialog;
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pointSize(), 12);
    dialog.setText(sentences(40));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *okBox = dialog.findChild<QWidget *>(QStringLiteral("okBox"));
    auto *button = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QTRY_COMPARE(button->width(), 100);
    QCOMPARE(okBox->height(), 55);
    const int narrowLabel = label->width();

    dialog.resize(1000, 500);

    QTRY_VERIFY(label->width() > narrowLabel + 300);
    QCOMPARE(button->width(), 100);
    QCOMPARE(okBox->height(), 55);
}

void tst_dialogs::anleitungScrolling_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scrollsVertically");

    QTest::newRow("short") << sentences(1) << false;
    // One line, so only word wrap keeps it inside the view.
    QTest::newRow("long") << sentences(60) << true;
}

void tst_dialogs::anleitungScrolling()
{
    QFETCH(QString, text);
    QFETCH(bool, scrollsVertically);

    AnleitungsDialog dialog;
    dialog.setText(text);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *scrollArea = dialog.findChild<QScrollArea *>(QStringLiteral("scrollArea"));

    if (scrollsVertically)
        QTRY_VERIFY(scrollArea->verticalScrollBar()->isVisible());
    QCOMPARE(scrollArea->verticalScrollBar()->isVisible(), scrollsVertically);
    QVERIFY(!scrollArea->horizontalScrollBar()->isVisible());
    QCOMPARE(scrollArea->horizontalScrollBar()->maximum(), 0);
}

void tst_dialogs::anleitungRetranslates()
{
    AnleitungsDialog dialog;
    auto *button = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    dialog.setWindowTitle(QStringLiteral("vorher"));
    button->setText(QStringLiteral("vorher"));

    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&dialog, &languageChange);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Anleitung"));
    QCOMPARE(button->text(), QStringLiteral("Ok"));
}

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
