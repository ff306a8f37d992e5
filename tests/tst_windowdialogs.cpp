// The dialogs as the user reaches them: through the training window's own
// menu entries, closed again from inside their modal event loop.

#include "settings/preferences.h"
#include "testsupport.h"
#include "window/gamethreewords.h"
#include "words/textdocument.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

class TestWindowDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void presets_data();
    void presets();
    void presetFontSize_data();
    void presetFontSize();
    void closingKeepsChanges_data();
    void closingKeepsChanges();
    void checkedRadioButtonAgain();
    void fontChangeAppliesAtOnce();
    void closingReplacesItemUncounted();
    void timerFiresBehindDialog();
    void aboutFromMenu();
    void anleitungFromMenu();

private:
    void writeSettings(const QVariantMap &values);
    void makeWindow();
    // Triggers the menu entry and runs `act` on the dialog once it is modal.
    // Returns false when no modal dialog came up.
    bool openAndThen(QAction *entry, const std::function<void(QWidget *)> &act);
    QAction *menuEntry(const QString &text);
    QVariant stored(const char *key) const;
    QString statisticsText();

    std::unique_ptr<TemporaryConfig> m_config;
    std::unique_ptr<preferences> m_prefs;
    std::unique_ptr<gameThreeWords> m_window;
};

void TestWindowDialogs::initTestCase()
{
    m_config.reset(new TemporaryConfig);
    QVERIFY(m_config->isValid());
}

void TestWindowDialogs::init()
{
    m_config->reset();
}

void TestWindowDialogs::cleanup()
{
    m_window.reset();
    m_prefs.reset();
}

void TestWindowDialogs::writeSettings(const QVariantMap &values)
{
    QSettings settings(m_config->settingsFile(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
}

void TestWindowDialogs::makeWindow()
{
    m_window.reset();
    m_prefs.reset(new preferences(QStringLiteral("Pondrel"), QStringLiteral("Skarvel")));
    m_window.reset(new gameThreeWords(m_prefs.get()));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

bool TestWindowDialogs::openAndThen(QAction *entry, const std::function<void(QWidget *)> &act)
{
    bool reached = false;
    QTimer::singleShot(0, this, [&reached, act] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        reached = true;
        act(dialog);
        if (dialog->isVisible())
            dialog->close();
    });
    entry->trigger();
    return reached;
}

QAction *TestWindowDialogs::menuEntry(const QString &text)
{
    if (text == QLatin1String("Einstellungen"))
        return m_window->findChild<QAction *>(QStringLiteral("menuEinstellungen"));
    for (QAction *action : m_window->findChild<QMenu *>(QStringLiteral("menuHilfe"))->actions()) {
        if (action->text() == text)
            return action;
    }
    qFatal("no menu entry %s", qPrintable(text));
    return nullptr;
}

QVariant TestWindowDialogs::stored(const char *key) const
{
    return QSettings(m_config->settingsFile(), QSettings::IniFormat).value(QLatin1String(key));
}

QString TestWindowDialogs::statisticsText()
{
    return m_window->findChild<QLabel *>(QStringLiteral("label_rightWordsData"))->text();
}

void TestWindowDialogs::presets_data()
{
    QTest::addColumn<QVariant>("delay");        // stored before the start, invalid = none
    QTest::addColumn<int>("shownSeconds");
    QTest::addColumn<QVariant>("storedAfter");  // "timeDelay" once the dialog has opened

    QTest::newRow("default") << QVariant() << 2 << QVariant(2000);
    QTest::newRow("500-ms") << QVariant(500) << 1 << QVariant(1000);
    QTest::newRow("45-s") << QVariant(45000) << 30 << QVariant(30000);
    QTest::newRow("3.5-s") << QVariant(3500) << 3 << QVariant(3500);
}

void TestWindowDialogs::presets()
{
    QFETCH(QVariant, delay);
    QFETCH(int, shownSeconds);
    QFETCH(QVariant, storedAfter);
    if (delay.isValid())
        writeSettings({{QStringLiteral("timeDelay"), delay}});
    makeWindow();

    int seconds = -1;
    bool weiterChecked = false;
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Einstellungen")), [&](QWidget *dialog) {
        seconds = dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_time"))->value();
        weiterChecked = dialog->findChild<QRadioButton *>(QStringLiteral("radioButton_weiter"))->isChecked();
    }));
    QCOMPARE(seconds, shownSeconds);
    QVERIFY(weiterChecked);
    QCOMPARE(stored("timeDelay").toInt(), storedAfter.toInt());
    QCOMPARE(m_prefs->timeDelay(), storedAfter.toInt());
    // Presetting never writes the game method.
    QVERIFY(!stored("gameMethod").isValid());
}

void TestWindowDialogs::presetFontSize_data()
{
    QTest::addColumn<int>("font");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("relayed");
    QTest::newRow("40") << 40 << 32 << true;
    QTest::newRow("12") << 12 << 12 << false;
    QTest::newRow("5") << 5 << 9 << true;
}

void TestWindowDialogs::presetFontSize()
{
    QFETCH(int, font);
    QFETCH(int, shown);
    QFETCH(bool, relayed);
    writeSettings({{QStringLiteral("fontSize"), font}});
    makeWindow();
    QPushButton *left = m_window->findChild<QPushButton *>(QStringLiteral("leftButton"));
    QCOMPARE(left->font().pointSize(), font + 3);

    int inBox = -1;
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Einstellungen")), [&](QWidget *dialog) {
        inBox = dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_fontSize"))->value();
    }));
    QCOMPARE(inBox, shown);
    // Relayed sizes reach store and window at once; an unchanged box relays
    // nothing, so nothing is written.
    QCOMPARE(stored("fontSize").toInt(), relayed ? shown : font);
    QCOMPARE(m_prefs->fontSize(), shown);
    QCOMPARE(left->font().pointSize(), shown + 3);
}

void TestWindowDialogs::closingKeepsChanges_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("ok") << "ok";
    QTest::newRow("escape") << "escape";
    QTest::newRow("close") << "close";
}

void TestWindowDialogs::closingKeepsChanges()
{
    QFETCH(QString, how);
    writeSettings({{QStringLiteral("timeDelay"), 3000}});
    makeWindow();

    QVERIFY(openAndThen(menuEntry(QStringLiteral("Einstellungen")), [how](QWidget *dialog) {
        auto *time = dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_time"));
        QCOMPARE(time->value(), 3);
        QTest::keyClick(time, Qt::Key_Up);
        QTest::keyClick(time, Qt::Key_Up);
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("radioButton_time")), Qt::LeftButton);
        if (how == QLatin1String("ok"))
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
    }));
    QCOMPARE(stored("timeDelay").toInt(), 5000);
    QCOMPARE(stored("gameMethod").toInt(), 2);
    QCOMPARE(m_prefs->timeDelay(), 5000);
    QCOMPARE(m_prefs->gameMethod(), 2);
    QVERIFY(!m_window->findChild<QPushButton *>(QStringLiteral("moreButton"))->isVisible());
}

void TestWindowDialogs::checkedRadioButtonAgain()
{
    makeWindow();
    QPushButton *more = m_window->findChild<QPushButton *>(QStringLiteral("moreButton"));
    bool hiddenBetween = false;
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Einstellungen")), [&](QWidget *dialog) {
        auto *weiter = dialog->findChild<QRadioButton *>(QStringLiteral("radioButton_weiter"));
        QVERIFY(weiter->isChecked());
        // Hide the button behind the dialog's back: clicking the checked
        // "Weiter-Taste" must write the method and show it again.
        more->hide();
        hiddenBetween = !more->isVisible();
        QTest::mouseClick(weiter, Qt::LeftButton);
    }));
    QVERIFY(hiddenBetween);
    QCOMPARE(stored("gameMethod").toInt(), 1);
    QVERIFY(more->isVisible());
    QCOMPARE(more->text(), QStringLiteral("Weiter"));
}

void TestWindowDialogs::fontChangeAppliesAtOnce()
{
    makeWindow();
    int duringDialog = -1;
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Einstellungen")), [&](QWidget *dialog) {
        auto *size = dialog->findChild<QSpinBox *>(QStringLiteral("spinBox_fontSize"));
        size->selectAll();
        QTest::keyClicks(size, QStringLiteral("20"));
        duringDialog = m_window->findChild<QPushButton *>(QStringLiteral("middleButton"))->font().pointSize();
    }));
    QCOMPARE(duringDialog, 23);
    QCOMPARE(m_window->findChild<QPushButton *>(QStringLiteral("moreButton"))->font().pointSize(), 20);
    QCOMPARE(stored("fontSize").toInt(), 20);
}

void TestWindowDialogs::closingReplacesItemUncounted()
{
    makeWindow();
    QLabel *judge = m_window->findChild<QLabel *>(QStringLiteral("judgeLabel"));
    const QString right = m_window->actualItem().section(QLatin1Char(';'), 0, 0);
    for (QPushButton *button : m_window->findChildren<QPushButton *>()) {
        if (button->text() == right) {
            QTest::mouseClick(button, Qt::LeftButton);
            break;
        }
    }
    QVERIFY(!judge->text().isEmpty());
    const int drawn = m_window->drawnIndices().size();

    // Nothing changed in the dialog, and still the item is replaced.
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Einstellungen")), [](QWidget *) {}));
    QVERIFY(judge->text().isEmpty());
    QVERIFY(!m_window->findChild<QLabel *>(QStringLiteral("label_haken"))->isVisible());
    QCOMPARE(statisticsText(), QStringLiteral("0 von 0  (0%)"));
    QCOMPARE(m_window->drawnIndices().size(), drawn + 1);
}

void TestWindowDialogs::timerFiresBehindDialog()
{
    writeSettings({{QStringLiteral("gameMethod"), 2}, {QStringLiteral("timeDelay"), 200}});
    makeWindow();
    const QString right = m_window->actualItem().section(QLatin1Char(';'), 0, 0);
    for (QPushButton *button : m_window->findChildren<QPushButton *>()) {
        if (button->text() == right) {
            QTest::mouseClick(button, Qt::LeftButton);
            break;
        }
    }
    bool changedBehind = false;
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Über")), [&](QWidget *) {
        changedBehind = QTest::qWaitFor([this] { return statisticsText() == QLatin1String("1 von 1  (100%)"); }, 5000);
    }));
    QVERIFY(changedBehind);
}

void TestWindowDialogs::aboutFromMenu()
{
    makeWindow();
    for (int opening = 0; opening < 2; ++opening) {
        QString name;
        QWidget *parent = nullptr;
        QVERIFY(openAndThen(menuEntry(QStringLiteral("Über")), [&](QWidget *dialog) {
            name = dialog->objectName();
            parent = dialog->parentWidget();
            QCOMPARE(dialog->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->currentIndex(), 0);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton_OK")), Qt::LeftButton);
        }));
        QCOMPARE(name, QStringLiteral("aboutDialog"));
        QCOMPARE(parent, m_window.get());
    }
}

void TestWindowDialogs::anleitungFromMenu()
{
    makeWindow();
    QString name;
    QString text;
    bool hasParent = true;
    QVERIFY(openAndThen(menuEntry(QStringLiteral("Anleitung")), [&](QWidget *dialog) {
        name = dialog->objectName();
        hasParent = dialog->parentWidget() != nullptr;
        text = dialog->findChild<QLabel *>(QStringLiteral("label"))->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    }));
    QCOMPARE(name, QStringLiteral("AnleitungsDialog"));
    QVERIFY(!hasParent);
    const QString document = readTextDocument(QStringLiteral(":/data/anleitung.html"));
    QVERIFY(document.contains(QStringLiteral("Skarvel - Anleitung")));
    QCOMPARE(text, document);
}

QTEST_MAIN(TestWindowDialogs)
#include "tst_windowdialogs.moc"
