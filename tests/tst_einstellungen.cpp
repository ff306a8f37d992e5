#include "dialogs/einstellungen.h"
#include "testsupport.h"

#include <QApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpacerItem>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <iterator>

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

QList<int> intArguments(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values << arguments.at(0).toInt();
    return values;
}

} // namespace

class tst_einstellungen : public QObject
{
    Q_OBJECT

private slots:
    void widgetTree_data();
    void widgetTree();
    void spacers_data();
    void spacers();
    void fixedSize();
    void okButton();
    void spinBoxes_data();
    void spinBoxes();
    void setTimeDelay_data();
    void setTimeDelay();
    void setFontSize_data();
    void setFontSize();
    void setGameMethod_data();
    void setGameMethod();
    void clickingRadioButton_data();
    void clickingRadioButton();
    void steppingRelaysEveryValue_data();
    void steppingRelaysEveryValue();
    void metaObjectOrder();
    void closingKeepsChanges_data();
    void closingKeepsChanges();

private:
    TemporaryConfig config;
};

void tst_einstellungen::widgetTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("text");

    QTest::newRow("widget") << "widget" << QByteArray("QWidget") << "Einstellungen" << QString();
    QTest::newRow("label_fontsize") << "label_fontsize" << QByteArray("QLabel") << "widget"
                                    << QStringLiteral("Schriftgröße:");
    QTest::newRow("spinBox_fontSize") << "spinBox_fontSize" << QByteArray("QSpinBox") << "widget"
                                      << QString();
    QTest::newRow("widget_2") << "widget_2" << QByteArray("QWidget") << "Einstellungen" << QString();
    QTest::newRow("label_gameMethod") << "label_gameMethod" << QByteArray("QLabel") << "widget_2"
                                      << QStringLiteral("Steuerung:");
    QTest::newRow("radioButton_weiter") << "radioButton_weiter" << QByteArray("QRadioButton")
                                        << "widget_2" << QStringLiteral("Weiter-Taste");
    QTest::newRow("radioButton_time") << "radioButton_time" << QByteArray("QRadioButton")
                                      << "widget_2" << QStringLiteral("Zeitverzögerung");
    QTest::newRow("spinBox_time") << "spinBox_time" << QByteArray("QSpinBox") << "widget_2"
                                  << QString();
    QTest::newRow("widget_20") << "widget_20" << QByteArray("QWidget") << "Einstellungen"
                               << QString();
    QTest::newRow("pushButton_OK") << "pushButton_OK" << QByteArray("QPushButton") << "widget_20"
                                   << QStringLiteral("Ok");
}

void tst_einstellungen::widgetTree()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, parent);
    QFETCH(QString, text);

    einstellungen dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("Einstellungen"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));

    auto *widget = dialog.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QByteArray(widget->metaObject()->className()), type);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    if (!text.isNull())
        QCOMPARE(widget->property("text").toString(), text);
}

void tst_einstellungen::spacers_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("hint");

    QTest::newRow("font row") << "horizontalLayout" << 2 << QSize(203, 20);
    QTest::newRow("method row") << "horizontalLayout_2" << 4 << QSize(60, 20);
    QTest::newRow("button row") << "horizontalLayout_3" << 0 << QSize(350, 20);
}

void tst_einstellungen::spacers()
{
    QFETCH(QString, layout);
    QFETCH(int, index);
    QFETCH(QSize, hint);

    einstellungen dialog;
    auto *box = dialog.findChild<QHBoxLayout *>(layout);
    QVERIFY(box);
    QSpacerItem *spacer = box->itemAt(index)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer->sizeHint(), hint);
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
}

void tst_einstellungen::fixedSize()
{
    einstellungen dialog;
    // 474 x 220, or just as much more as the platform's font needs so that
    // no text is cut off.
    const QSize fixed = QSize(474, 220).expandedTo(dialog.minimumSizeHint());
    QCOMPARE(dialog.size(), fixed);
    QCOMPARE(dialog.minimumSize(), fixed);
    QCOMPARE(dialog.maximumSize(), fixed);
    QCOMPARE(dialog.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(dialog.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(dialog.font().pointSize(), 12);
    QVERIFY(!dialog.isSizeGripEnabled());
    QVERIFY(!dialog.isModal());

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(700, 400);
    QCOMPARE(dialog.size(), fixed);
    dialog.resize(100, 50);
    QCOMPARE(dialog.size(), fixed);

    // Every text is shown whole.
    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget))
            QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(widget->objectName()));
    }
}

void tst_einstellungen::okButton()
{
    einstellungen dialog;
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_OK"));
    QVERIFY(ok);
    QCOMPARE(ok->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(ok->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    QCOMPARE(ok->sizePolicy().horizontalStretch(), 100);
    QCOMPARE(ok->sizePolicy().verticalStretch(), 35);
    QCOMPARE(ok->minimumSize(), QSize(100, 35));
    QCOMPARE(ok->maximumSize(), QSize(QWIDGETSIZE_MAX, 35));
    QCOMPARE(ok->font().pointSize(), 12);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(ok->height(), 35);
    QVERIFY(ok->width() >= 100);
}

void tst_einstellungen::spinBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");

    QTest::newRow("font size") << "spinBox_fontSize" << 9 << 32 << 12;
    QTest::newRow("delay") << "spinBox_time" << 1 << 30 << 3;
}

void tst_einstellungen::spinBoxes()
{
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);

    einstellungen dialog;
    auto *box = dialog.findChild<QSpinBox *>(name);
    QVERIFY(box);
    QCOMPARE(box->minimum(), minimum);
    QCOMPARE(box->maximum(), maximum);
    QCOMPARE(box->value(), value);
    QVERIFY(box->suffix().isEmpty());
    QVERIFY(box->prefix().isEmpty());
}

void tst_einstellungen::setTimeDelay_data()
{
    QTest::addColumn<int>("milliseconds");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QList<int>>("emitted");

    QTest::newRow("default") << 2000 << 2 << QList<int>{2};
    QTest::newRow("half second") << 500 << 1 << QList<int>{1};
    QTest::newRow("truncates") << 2999 << 2 << QList<int>{2};
    QTest::newRow("same second") << 3500 << 3 << QList<int>{};
    QTest::newRow("maximum") << 30000 << 30 << QList<int>{30};
    QTest::newRow("above maximum") << 45000 << 30 << QList<int>{30};
    QTest::newRow("zero") << 0 << 1 << QList<int>{1};
    QTest::newRow("negative") << -4500 << 1 << QList<int>{1};
}

void tst_einstellungen::setTimeDelay()
{
    QFETCH(int, milliseconds);
    QFETCH(int, shown);
    QFETCH(QList<int>, emitted);

    einstellungen dialog;
    QSignalSpy spy(&dialog, &einstellungen::timeDelayChanged);
    QSignalSpy fontSpy(&dialog, &einstellungen::fontSizeChanged);

    dialog.setTimeDelay(milliseconds);

    QCOMPARE(dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_time"))->value(), shown);
    QCOMPARE(intArguments(spy), emitted);
    QCOMPARE(fontSpy.count(), 0);
}

void tst_einstellungen::setFontSize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QList<int>>("emitted");

    QTest::newRow("unchanged") << 12 << 12 << QList<int>{};
    QTest::newRow("larger") << 20 << 20 << QList<int>{20};
    QTest::newRow("maximum") << 32 << 32 << QList<int>{32};
    QTest::newRow("above maximum") << 40 << 32 << QList<int>{32};
    QTest::newRow("below minimum") << 8 << 9 << QList<int>{9};
}

void tst_einstellungen::setFontSize()
{
    QFETCH(int, size);
    QFETCH(int, shown);
    QFETCH(QList<int>, emitted);

    einstellungen dialog;
    QSignalSpy spy(&dialog, &einstellungen::fontSizeChanged);
    QSignalSpy delaySpy(&dialog, &einstellungen::timeDelayChanged);

    dialog.setFontSize(size);

    QCOMPARE(dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_fontSize"))->value(), shown);
    QCOMPARE(intArguments(spy), emitted);
    QCOMPARE(delaySpy.count(), 0);
}

void tst_einstellungen::setGameMethod_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("weiterChecked");

    QTest::newRow("1 from weiter") << 1 << 1 << true;
    QTest::newRow("2 from weiter") << 1 << 2 << false;
    QTest::newRow("1 from time") << 2 << 1 << true;
    QTest::newRow("2 from time") << 2 << 2 << false;
    QTest::newRow("0 keeps weiter") << 1 << 0 << true;
    QTest::newRow("3 keeps time") << 2 << 3 << false;
    QTest::newRow("-1 keeps time") << 2 << -1 << false;
}

void tst_einstellungen::setGameMethod()
{
    QFETCH(int, start);
    QFETCH(int, method);
    QFETCH(bool, weiterChecked);

    einstellungen dialog;
    auto *weiter = dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_weiter"));
    auto *time = dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_time"));
    QVERIFY(weiter && time);
    QSignalSpy spy1(&dialog, &einstellungen::gameMethod_1);
    QSignalSpy spy2(&dialog, &einstellungen::gameMethod_2);
    QSignalSpy spyBoth(&dialog, &einstellungen::gameMethod);

    dialog.setGameMethod(start);
    QCOMPARE(weiter->isChecked(), start == 1);
    dialog.setGameMethod(method);

    QCOMPARE(weiter->isChecked(), weiterChecked);
    QCOMPARE(time->isChecked(), !weiterChecked);
    QCOMPARE(spy1.count(), 0);
    QCOMPARE(spy2.count(), 0);
    QCOMPARE(spyBoth.count(), 0);
}

void tst_einstellungen::clickingRadioButton_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("count1");
    QTest::addColumn<int>("count2");

    QTest::newRow("weiter again") << 1 << "radioButton_weiter" << 2 << 0;
    QTest::newRow("time again") << 2 << "radioButton_time" << 0 << 2;
    QTest::newRow("weiter to time") << 1 << "radioButton_time" << 0 << 2;
    QTest::newRow("time to weiter") << 2 << "radioButton_weiter" << 2 << 0;
}

void tst_einstellungen::clickingRadioButton()
{
    QFETCH(int, start);
    QFETCH(QString, button);
    QFETCH(int, count1);
    QFETCH(int, count2);

    einstellungen dialog;
    dialog.setGameMethod(start);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *radio = dialog.findChild<QRadioButton *>(button);
    QVERIFY(radio);
    QSignalSpy spy1(&dialog, &einstellungen::gameMethod_1);
    QSignalSpy spy2(&dialog, &einstellungen::gameMethod_2);

    QTest::mouseClick(radio, Qt::LeftButton);
    QTest::mouseClick(radio, Qt::LeftButton);

    QVERIFY(radio->isChecked());
    QCOMPARE(spy1.count(), count1);
    QCOMPARE(spy2.count(), count2);
}

void tst_einstellungen::steppingRelaysEveryValue_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QList<int>>("delays");
    QTest::addColumn<QList<int>>("fontSizes");

    QTest::newRow("delay up") << "spinBox_time" << Qt::Key_Up << QList<int>{4, 5}
                              << QList<int>{};
    QTest::newRow("delay down") << "spinBox_time" << Qt::Key_Down << QList<int>{2, 1}
                                << QList<int>{};
    QTest::newRow("font up") << "spinBox_fontSize" << Qt::Key_Up << QList<int>{}
                             << QList<int>{13, 14};
    QTest::newRow("font down") << "spinBox_fontSize" << Qt::Key_Down << QList<int>{}
                               << QList<int>{11, 10};
}

void tst_einstellungen::steppingRelaysEveryValue()
{
    QFETCH(QString, box);
    QFETCH(Qt::Key, key);
    QFETCH(QList<int>, delays);
    QFETCH(QList<int>, fontSizes);

    einstellungen dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *spinBox = dialog.findChild<QSpinBox *>(box);
    QVERIFY(spinBox);
    QSignalSpy delaySpy(&dialog, &einstellungen::timeDelayChanged);
    QSignalSpy fontSpy(&dialog, &einstellungen::fontSizeChanged);

    QTest::keyClick(spinBox, key);
    QTest::keyClick(spinBox, key);

    QCOMPARE(intArguments(delaySpy), delays);
    QCOMPARE(intArguments(fontSpy), fontSizes);
}

void tst_einstellungen::metaObjectOrder()
{
    const QMetaObject &meta = einstellungen::staticMetaObject;
    QCOMPARE(QByteArray(meta.className()), QByteArray("einstellungen"));

    struct Expected {
        const char *signature;
        QMetaMethod::MethodType type;
    };
    const Expected expected[] = {
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
        const int index = expected[i].type == QMetaMethod::Signal
                ? meta.indexOfSignal(expected[i].signature)
                : meta.indexOfSlot(expected[i].signature);
        QVERIFY2(index == meta.methodOffset() + i, expected[i].signature);
        QCOMPARE(meta.method(index).access(), QMetaMethod::Public);
    }

    const QMetaMethod both = meta.method(meta.indexOfSignal("gameMethod(int,int)"));
    QCOMPARE(both.parameterNames(), (QList<QByteArray>{"method", "intervall"}));
}

void tst_einstellungen::closingKeepsChanges_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("ok") << "ok";
    QTest::newRow("escape") << "escape";
    QTest::newRow("close") << "close";
}

void tst_einstellungen::closingKeepsChanges()
{
    QFETCH(QString, how);

    einstellungen dialog;
    QSignalSpy delaySpy(&dialog, &einstellungen::timeDelayChanged);
    QSignalSpy methodSpy(&dialog, &einstellungen::gameMethod_2);

    const int result = execAndThen(dialog, [how](QWidget *modal) {
        auto *time = modal->findChild<QSpinBox *>(QStringLiteral("spinBox_time"));
        QTest::keyClick(time, Qt::Key_Up);
        QTest::mouseClick(modal->findChild<QRadioButton *>(QStringLiteral("radioButton_time")),
                          Qt::LeftButton);
        if (how == QLatin1String("ok"))
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("pushButton_OK")),
                              Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(modal, Qt::Key_Escape);
        else
            modal->close();
    });

    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(intArguments(delaySpy), QList<int>{4});
    QCOMPARE(methodSpy.count(), 1);
    QCOMPARE(dialog.findChild<QSpinBox *>(QStringLiteral("spinBox_time"))->value(), 4);
    QVERIFY(dialog.findChild<QRadioButton *>(QStringLiteral("radioButton_time"))->isChecked());
}

QTEST_MAIN(tst_einstellungen)
#include "tst_einstellungen.moc"
