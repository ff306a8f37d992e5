#include "dialogs/anleitungsdialog.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
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

QString paragraphs(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<p>Wählen Sie das richtig geschriebene Wort aus den drei "
                               "Wörtern aus und drücken Sie dann auf Weiter.</p>");
    return text;
}

} // namespace

class tst_anleitungsdialog : public QObject
{
    Q_OBJECT

private slots:
    void widgetTree_data();
    void widgetTree();
    void form();
    void labelFont();
    void setText_data();
    void setText();
    void scrolling_data();
    void scrolling();
    void wideningKeepsButtonStrip();
    void languageChangeRetranslates();
    void closing_data();
    void closing();

private:
    TemporaryConfig config;
};

void tst_anleitungsdialog::widgetTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("parent");

    QTest::newRow("scrollArea") << "scrollArea" << QByteArray("QScrollArea") << "AnleitungsDialog";
    QTest::newRow("label") << "label" << QByteArray("QLabel") << "scrollAreaWidgetContents";
    QTest::newRow("okBox") << "okBox" << QByteArray("QWidget") << "AnleitungsDialog";
    QTest::newRow("pushButton") << "pushButton" << QByteArray("QPushButton") << "okBox";
}

void tst_anleitungsdialog::widgetTree()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, parent);

    AnleitungsDialog dialog;
    auto *widget = dialog.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QByteArray(widget->metaObject()->className()), type);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
}

void tst_anleitungsdialog::form()
{
    AnleitungsDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("AnleitungsDialog"));
    QCOMPARE(QByteArray(dialog.metaObject()->className()), QByteArray("AnleitungsDialog"));
    QCOMPARE(dialog.metaObject()->methodCount(), dialog.metaObject()->methodOffset());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Anleitung"));
    QCOMPARE(dialog.size(), QSize(650, 500));
    QCOMPARE(dialog.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(dialog.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);

    auto *scrollArea = dialog.findChild<QScrollArea *>(QStringLiteral("scrollArea"));
    QCOMPARE(scrollArea->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(scrollArea->widgetResizable());
    QCOMPARE(scrollArea->widget()->objectName(), QStringLiteral("scrollAreaWidgetContents"));

    auto *okBox = dialog.findChild<QWidget *>(QStringLiteral("okBox"));
    QCOMPARE(okBox->minimumHeight(), 55);
    QCOMPARE(okBox->maximumHeight(), 55);

    auto *button = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QCOMPARE(button->text(), QStringLiteral("Ok"));
    QCOMPARE(button->minimumSize(), QSize(100, 30));
    QCOMPARE(button->maximumSize(), QSize(100, QWIDGETSIZE_MAX));
    QCOMPARE(button->font().pointSize(), 12);
}

void tst_anleitungsdialog::labelFont()
{
    AnleitungsDialog dialog;
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(label->wordWrap());
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pointSize(), 12);
    QCOMPARE(label->font().weight(), int(QFont::Normal));
    QVERIFY(!label->font().italic());
}

void tst_anleitungsdialog::setText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::TextFormat>("shownAs");

    QTest::newRow("plain") << QStringLiteral("Übung mit drei Wörtern") << Qt::PlainText;
    QTest::newRow("html") << QStringLiteral("<h3 align=\"center\"><b>Skarvel - Anleitung</b></h3>"
                                            "<h4>Hauptfenster</h4>Text<br>")
                          << Qt::RichText;
    QTest::newRow("empty") << QString() << Qt::PlainText;
}

void tst_anleitungsdialog::setText()
{
    QFETCH(QString, text);
    QFETCH(Qt::TextFormat, shownAs);

    AnleitungsDialog dialog;
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    QCOMPARE(label->text(), QStringLiteral("TextLabel"));

    dialog.setText(text);

    QCOMPARE(label->text(), text);
    QCOMPARE(label->textFormat(), Qt::AutoText);
    QCOMPARE(Qt::mightBeRichText(label->text()) ? Qt::RichText : Qt::PlainText, shownAs);
}

void tst_anleitungsdialog::scrolling_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scrollsVertically");
    QTest::addColumn<bool>("fitsWidth");

    QTest::newRow("short") << paragraphs(1) << false << true;
    QTest::newRow("long") << paragraphs(80) << true << true;
    QTest::newRow("one long line") << QString(paragraphs(30)).remove(QStringLiteral("<p>"))
                                                            .remove(QStringLiteral("</p>"))
                               << true << true;
    // A word wider than the view cannot wrap; it is cut off, still without a bar.
    QTest::newRow("unbreakable") << QString(400, QLatin1Char('W')) << false << false;
}

void tst_anleitungsdialog::scrolling()
{
    QFETCH(QString, text);
    QFETCH(bool, scrollsVertically);
    QFETCH(bool, fitsWidth);

    AnleitungsDialog dialog;
    dialog.setText(text);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *scrollArea = dialog.findChild<QScrollArea *>(QStringLiteral("scrollArea"));

    // Showing lays the dialog out, so a short text has no bar by now.
    if (scrollsVertically)
        QTRY_VERIFY(scrollArea->verticalScrollBar()->isVisible());
    QCOMPARE(scrollArea->verticalScrollBar()->isVisible(), scrollsVertically);
    QVERIFY(!scrollArea->horizontalScrollBar()->isVisible());
    QCOMPARE(scrollArea->horizontalScrollBar()->maximum() == 0, fitsWidth);
}

void tst_anleitungsdialog::wideningKeepsButtonStrip()
{
    AnleitungsDialog dialog;
    dialog.setText(paragraphs(20));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("label"));
    auto *okBox = dialog.findChild<QWidget *>(QStringLiteral("okBox"));
    auto *button = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QTRY_COMPARE(button->width(), 100);
    QCOMPARE(okBox->height(), 55);
    const int narrowLabel = label->width();
    const int narrowLabelHeight = label->height();

    dialog.resize(1000, 500);

    QTRY_VERIFY(label->width() > narrowLabel + 300);
    QVERIFY(label->height() < narrowLabelHeight);
    QCOMPARE(button->width(), 100);
    QCOMPARE(okBox->height(), 55);
}

void tst_anleitungsdialog::languageChangeRetranslates()
{
    AnleitungsDialog dialog;
    auto *button = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    dialog.setWindowTitle(QStringLiteral("vorher"));
    button->setText(QStringLiteral("vorher"));

    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&dialog, &languageChange);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Anleitung"));
    QCOMPARE(button->text(), QStringLiteral("Ok"));

    // Any other change event leaves the texts alone.
    dialog.setWindowTitle(QStringLiteral("vorher"));
    QEvent fontChange(QEvent::FontChange);
    QCoreApplication::sendEvent(&dialog, &fontChange);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("vorher"));
}

void tst_anleitungsdialog::closing_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("ok") << "ok";
    QTest::newRow("escape") << "escape";
    QTest::newRow("close") << "close";
}

void tst_anleitungsdialog::closing()
{
    QFETCH(QString, how);

    AnleitungsDialog dialog;
    dialog.setText(paragraphs(3));
    const int result = execAndThen(dialog, [how](QWidget *modal) {
        if (how == QLatin1String("ok"))
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("pushButton")),
                              Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(modal, Qt::Key_Escape);
        else
            modal->close();
    });

    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(tst_anleitungsdialog)
#include "tst_anleitungsdialog.moc"
