// The training window end to end: real widgets found by their object names,
// clicked with QTest, settings in a temporary config directory, the real
// word list from the resource bundle.

#include "settings/preferences.h"
#include "testsupport.h"
#include "window/gamethreewords.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QVariantMap>
#include <QElapsedTimer>
#include <QtTest>

#include <memory>

namespace {

const QString rightText = QStringLiteral("<font color=\"green\">Richtig!</font>");
const QString wrongText = QStringLiteral("<font color=\"red\">Falsch!</font>");

QStringList parts(const QString &item)
{
    return item.split(QLatin1Char(';'), Qt::KeepEmptyParts);
}

} // namespace

class TestGameThreeWords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form_data();
    void form();
    void fixedSizesWhenResized();
    void formTextsAndMenus();

    void firstStart();
    void arrangements();
    void judging_data();
    void judging();
    void statistics_data();
    void statistics();
    void statisticsPercentages_data();
    void statisticsPercentages();
    void clampAfterUncountedItem();

    void delayMethod();
    void delayRestartsOnSecondRightClick();
    void delayTimerStopsAfterSwitchToWeiter();

    void typeChange();
    void typeChangeDoesNotActivateGroup();
    void alleThenGruppenfremd();
    void groupChoice();

    void fontSizes();
    void damagedSettings_data();
    void damagedSettings();

private:
    void writeSettings(const QVariantMap &values);
    gameThreeWords *makeWindow();

    template<typename T>
    T *child(const char *name)
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }

    QPushButton *buttonWith(bool right);
    QString rightWord() const { return parts(m_window->actualItem()).value(0); }
    QString statisticsText() { return child<QLabel>("label_rightWordsData")->text(); }
    void clickRight() { QTest::mouseClick(buttonWith(true), Qt::LeftButton); }
    void clickWrong() { QTest::mouseClick(buttonWith(false), Qt::LeftButton); }
    void clickNext() { QTest::mouseClick(child<QPushButton>("moreButton"), Qt::LeftButton); }
    void activateGroup(const QString &name);

    std::unique_ptr<TemporaryConfig> m_config;
    std::unique_ptr<preferences> m_prefs;
    std::unique_ptr<gameThreeWords> m_window;
};

void TestGameThreeWords::initTestCase()
{
    m_config.reset(new TemporaryConfig);
    QVERIFY(m_config->isValid());
}

void TestGameThreeWords::init()
{
    m_config->reset();
}

void TestGameThreeWords::cleanup()
{
    m_window.reset();
    m_prefs.reset();
}

void TestGameThreeWords::writeSettings(const QVariantMap &values)
{
    QSettings settings(m_config->settingsFile(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

gameThreeWords *TestGameThreeWords::makeWindow()
{
    m_window.reset();
    m_prefs.reset(new preferences(QStringLiteral("Pondrel"), QStringLiteral("Skarvel")));
    m_window.reset(new gameThreeWords(m_prefs.get()));
    return m_window.get();
}

QPushButton *TestGameThreeWords::buttonWith(bool right)
{
    const QString word = rightWord();
    for (const char *name : {"leftButton", "middleButton", "rightButton"}) {
        QPushButton *button = child<QPushButton>(name);
        if ((button->text() == word) == right)
            return button;
    }
    qFatal("no %s button for item %s", right ? "right" : "wrong", qPrintable(m_window->actualItem()));
    return nullptr;
}

// Chooses an entry of the word-group list as the user does: opens the popup
// and clicks the entry, which emits activated even for the current entry.
void TestGameThreeWords::activateGroup(const QString &name)
{
    QComboBox *combo = child<QComboBox>("comboBox_wordGroup");
    const int index = combo->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    chooseFromPopup(combo, index);
}

// --- form ----------------------------------------------------------------

void TestGameThreeWords::form_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");

    // Sizes a user would notice: fixed ones, and the minimum ones that keep
    // the training area readable.
    const int U = QWIDGETSIZE_MAX;
    QTest::newRow("groupBox_wordGroup") << "groupBox_wordGroup" << QSize(0, 60) << QSize(U, 60);
    QTest::newRow("outerBox") << "outerBox" << QSize(0, 280) << QSize(U, U);
    QTest::newRow("textButtonBox") << "textButtonBox" << QSize(0, 85) << QSize(U, U);
    QTest::newRow("widget_2") << "widget_2" << QSize(370, 140) << QSize(U, U);
    QTest::newRow("moreButton") << "moreButton" << QSize(415, 50) << QSize(415, U);
}

void TestGameThreeWords::form()
{
    QFETCH(QString, name);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);

    makeWindow();
    QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->minimumSize(), minimum);
    QCOMPARE(widget->maximumSize(), maximum);
}

void TestGameThreeWords::fixedSizesWhenResized()
{
    makeWindow();
    QCOMPARE(m_window->objectName(), QStringLiteral("mainWindow"));
    QCOMPARE(m_window->size(), QSize(800, 530));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    m_window->resize(1400, 1000);
    QTRY_COMPARE(m_window->size(), QSize(1400, 1000));
    QTRY_COMPARE(child<QPushButton>("moreButton")->width(), 415);
    QTRY_COMPARE(child<QGroupBox>("groupBox_wordGroup")->height(), 60);
    QVERIFY(child<QGroupBox>("outerBox")->height() >= 280);
    QVERIFY(child<QGroupBox>("textButtonBox")->height() >= 85);
    QVERIFY(child<QWidget>("widget_2")->width() >= 370);
    QVERIFY(child<QWidget>("widget_2")->height() >= 140);
}

void TestGameThreeWords::formTextsAndMenus()
{
    makeWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Pondrel - Skarvel"));
    QCOMPARE(child<QLabel>("label_wordGroup")->text(), QStringLiteral("Wortgruppe:"));
    QCOMPARE(child<QLabel>("label_typ")->text(), QStringLiteral("Trainingstyp:"));
    QCOMPARE(child<QGroupBox>("outerBox")->title(), QStringLiteral("Welches Wort ist richtig?"));
    QCOMPARE(child<QGroupBox>("outerBox")->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(child<QLabel>("label_rightWordsText")->text(), QStringLiteral("Richtig im 1. Versuch: "));
    for (const char *box : {"groupBox_wordGroup", "innerBox", "textButtonBox", "groupBox_statistics"})
        QVERIFY2(child<QGroupBox>(box)->title().isEmpty(), box);
    QCOMPARE(child<QLabel>("judgeLabel")->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    QCOMPARE(child<QLabel>("judgeLabel")->textFormat(), Qt::RichText);

    QMenuBar *bar = m_window->menuBar();
    QCOMPARE(bar->layoutDirection(), Qt::RightToLeft);
    QMenu *hilfe = child<QMenu>("menuHilfe");
    QCOMPARE(hilfe->title(), QStringLiteral("Hilfe"));
    QCOMPARE(hilfe->layoutDirection(), Qt::LeftToRight);
    QCOMPARE(hilfe->font().pointSize(), 12);

    QAction *einstellungen = child<QAction>("menuEinstellungen");
    QCOMPARE(bar->actions(), (QList<QAction *>{hilfe->menuAction(), einstellungen}));
    QCOMPARE(einstellungen->text(), QStringLiteral("Einstellungen"));
    QVERIFY(!einstellungen->menu());

    QStringList entries;
    for (QAction *action : hilfe->actions())
        entries << action->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("Über"), QStringLiteral("Anleitung")}));

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Right to left: "Hilfe" at the right edge, "Einstellungen" left of it.
    QTRY_VERIFY(bar->actionGeometry(hilfe->menuAction()).left()
                > bar->actionGeometry(einstellungen).left());
    QVERIFY(bar->actionGeometry(hilfe->menuAction()).right() >= bar->width() - 20);

    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());
}

// --- training --------------------------------------------------------------

void TestGameThreeWords::firstStart()
{
    makeWindow();
    QComboBox *types = child<QComboBox>("comboBox_typ");
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QStringLiteral("Falschwörter"));
    QCOMPARE(types->itemText(1), QStringLiteral("gruppenfremde Wörter"));
    QCOMPARE(types->currentIndex(), 1);

    QComboBox *groups = child<QComboBox>("comboBox_wordGroup");
    QStringList shown;
    for (int i = 0; i < groups->count(); ++i)
        shown << groups->itemText(i);
    QCOMPARE(shown, m_window->groupNames());
    QCOMPARE(shown.size(), 12);
    QVERIFY(!shown.contains(QStringLiteral("Alle")));
    QCOMPARE(groups->currentText(), QStringLiteral("Baumarten"));

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QPushButton *more = child<QPushButton>("moreButton");
    QVERIFY(more->isVisible());
    QCOMPARE(more->text(), QStringLiteral("Weiter"));
    QVERIFY(child<QLabel>("judgeLabel")->text().isEmpty());
    QVERIFY(!child<QLabel>("label_haken")->isVisible());
    QCOMPARE(statisticsText(), QStringLiteral("0 von 0  (0%)"));

    // The right word on show belongs to the first group; the buttons carry
    // exactly the three words of the item.
    const QStringList item = parts(m_window->actualItem());
    QCOMPARE(item.size(), 3);
    QStringList onButtons{child<QPushButton>("leftButton")->text(), child<QPushButton>("middleButton")->text(),
                          child<QPushButton>("rightButton")->text()};
    QStringList sortedItem = item;
    sortedItem.sort();
    onButtons.sort();
    QCOMPARE(onButtons, sortedItem);

    // Starting writes nothing.
    m_window.reset();
    m_prefs.reset();
    QSettings reader(m_config->settingsFile(), QSettings::IniFormat);
    for (const char *key : {"gameMethod", "gameType", "timeDelay"})
        QVERIFY2(!reader.contains(QLatin1String(key)), key);
}

void TestGameThreeWords::arrangements()
{
    writeSettings({{QStringLiteral("gameType"), 0}});
    makeWindow();
    QCOMPARE(child<QComboBox>("comboBox_typ")->currentIndex(), 0);

    int rightOn[3] = {0, 0, 0};
    const int items = 3000;
    for (int n = 0; n < items; ++n) {
        const QStringList p = parts(m_window->actualItem());
        const QStringList shown{child<QPushButton>("leftButton")->text(), child<QPushButton>("middleButton")->text(),
                                child<QPushButton>("rightButton")->text()};
        // Misspellings differ from the right word, so the arrangement is
        // unambiguous; only three of the six orders may occur.
        if (shown == QStringList{p[0], p[1], p[2]})
            ++rightOn[0];
        else if (shown == QStringList{p[1], p[0], p[2]})
            ++rightOn[1];
        else if (shown == QStringList{p[1], p[2], p[0]})
            ++rightOn[2];
        else
            QFAIL(qPrintable(QStringLiteral("unexpected order %1 for %2").arg(shown.join(QLatin1Char(' ')), p.join(QLatin1Char(';')))));
        clickNext();
    }
    for (int button = 0; button < 3; ++button) {
        // A third each; 3000 draws keep a fair share within these bounds
        // with overwhelming probability.
        QVERIFY2(rightOn[button] > items * 0.28 && rightOn[button] < items * 0.39,
                 qPrintable(QStringLiteral("button %1: %2 of %3").arg(button).arg(rightOn[button]).arg(items)));
    }
}

void TestGameThreeWords::judging_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("left") << "leftButton";
    QTest::newRow("middle") << "middleButton";
    QTest::newRow("right") << "rightButton";
}

void TestGameThreeWords::judging()
{
    QFETCH(QString, button);
    writeSettings({{QStringLiteral("gameType"), 0}});
    makeWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QPushButton *target = m_window->findChild<QPushButton *>(button);
    QVERIFY(target);
    QLabel *judge = child<QLabel>("judgeLabel");
    QLabel *picture = child<QLabel>("label_haken");
    const QImage tick = QImage(QStringLiteral(":/data/haken.png")).convertToFormat(QImage::Format_ARGB32);
    const QImage cross = QImage(QStringLiteral(":/data/kreuz.png")).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(tick != cross);

    // Find an item in which this button carries the right word, and one in
    // which it does not; judge both, in both orders.
    bool sawRight = false;
    bool sawWrong = false;
    for (int n = 0; n < 200 && !(sawRight && sawWrong); ++n) {
        const bool isRight = target->text() == rightWord();
        QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(judge->text(), isRight ? rightText : wrongText);
        QVERIFY(picture->isVisible());
        QCOMPARE(picture->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_ARGB32), isRight ? tick : cross);
        (isRight ? sawRight : sawWrong) = true;

        // The verdict always follows the latest click on the same item.
        QPushButton *other = buttonWith(!isRight);
        QTest::mouseClick(other, Qt::LeftButton);
        QCOMPARE(judge->text(), isRight ? wrongText : rightText);

        clickNext();
        QVERIFY(judge->text().isEmpty());
        QVERIFY(!picture->isVisible());
    }
    QVERIFY(sawRight);
    QVERIFY(sawWrong);
}

void TestGameThreeWords::statistics_data()
{
    // r = a right click, w = a wrong click, n = "Weiter".
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QString>("expected");
    QTest::newRow("right") << "r" << "0 von 0  (0%)";
    QTest::newRow("right-next") << "rn" << "1 von 1  (100%)";
    QTest::newRow("next-only") << "n" << "0 von 1  (0%)";
    QTest::newRow("wrong-right-next") << "wrn" << "0 von 1  (0%)";
    QTest::newRow("double-right") << "rrn" << "1 von 1  (100%)";
    QTest::newRow("right-wrong") << "rwn" << "1 von 1  (100%)";
    QTest::newRow("two-of-three") << "rnrnn" << "2 von 3  (66%)";
    QTest::newRow("one-of-three") << "nrnwn" << "1 von 3  (33%)";
}

void TestGameThreeWords::statistics()
{
    QFETCH(QString, actions);
    QFETCH(QString, expected);
    makeWindow();
    for (QChar action : actions) {
        if (action == QLatin1Char('r'))
            clickRight();
        else if (action == QLatin1Char('w'))
            clickWrong();
        else
            clickNext();
    }
    QCOMPARE(statisticsText(), expected);
}

void TestGameThreeWords::statisticsPercentages_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("done");
    QTest::addColumn<QString>("expected");
    QTest::newRow("29-of-50") << 29 << 50 << "29 von 50  (57%)";
    QTest::newRow("29-of-100") << 29 << 100 << "29 von 100  (28%)";
}

void TestGameThreeWords::statisticsPercentages()
{
    QFETCH(int, right);
    QFETCH(int, done);
    QFETCH(QString, expected);
    makeWindow();
    for (int n = 0; n < done; ++n) {
        if (n < right)
            clickRight();
        else
            clickWrong();
        clickNext();
    }
    QCOMPARE(statisticsText(), expected);
}

void TestGameThreeWords::clampAfterUncountedItem()
{
    makeWindow();
    clickRight();
    activateGroup(QStringLiteral("Obst"));
    QCOMPARE(statisticsText(), QStringLiteral("0 von 0  (0%)"));
    clickRight();
    clickNext();
    // Two right first attempts, one done item: shown (and kept) as 1 of 1.
    QCOMPARE(statisticsText(), QStringLiteral("1 von 1  (100%)"));
    clickWrong();
    clickNext();
    QCOMPARE(statisticsText(), QStringLiteral("1 von 2  (50%)"));
}

// --- game method 2 -----------------------------------------------------------

void TestGameThreeWords::delayMethod()
{
    const int delay = 50;
    writeSettings({{QStringLiteral("gameMethod"), 2}, {QStringLiteral("timeDelay"), delay}});
    makeWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(!child<QPushButton>("moreButton")->isVisible());

    // A wrong click starts nothing: the item stays however long one waits.
    const QString item = m_window->actualItem();
    clickWrong();
    QTest::qWait(delay * 6);
    QCOMPARE(m_window->actualItem(), item);
    QCOMPARE(statisticsText(), QStringLiteral("0 von 0  (0%)"));

    // A right click brings the next, counted item after the delay, once.
    clickRight();
    QTRY_COMPARE(statisticsText(), QStringLiteral("0 von 1  (0%)"));
    QVERIFY(child<QLabel>("judgeLabel")->text().isEmpty());
    clickRight();
    QTRY_COMPARE(statisticsText(), QStringLiteral("1 von 2  (50%)"));
    QTest::qWait(delay * 6);
    QCOMPARE(statisticsText(), QStringLiteral("1 von 2  (50%)"));
}

void TestGameThreeWords::delayRestartsOnSecondRightClick()
{
    const int delay = 1000;
    writeSettings({{QStringLiteral("gameMethod"), 2}, {QStringLiteral("timeDelay"), delay}});
    makeWindow();

    QElapsedTimer clock;
    clickRight();
    clock.start();
    QTest::qWait(delay * 6 / 10);
    clickRight();
    const qint64 restartedAt = clock.elapsed();
    // Look past the end of the first delay but before the restarted one ends.
    QTest::qWait(int(qMax<qint64>(0, delay * 12 / 10 - clock.elapsed())));
    const QString between = statisticsText();
    if (clock.elapsed() >= restartedAt + delay)
        QSKIP("the machine was too slow to look between the two delays");
    QCOMPARE(between, QStringLiteral("0 von 0  (0%)"));
    QTRY_COMPARE_WITH_TIMEOUT(statisticsText(), QStringLiteral("1 von 1  (100%)"), delay * 5);
}

void TestGameThreeWords::delayTimerStopsAfterSwitchToWeiter()
{
    const int delay = 40;
    writeSettings({{QStringLiteral("gameMethod"), 2}, {QStringLiteral("timeDelay"), delay}});
    makeWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    clickRight();
    // Switch to "Weiter-Taste" in the settings dialog before the delay runs
    // out; the pending change may still bring its one item behind the dialog.
    bool clicked = false;
    QTimer::singleShot(0, this, [&clicked] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        auto *weiter = dialog->findChild<QAbstractButton *>(QStringLiteral("radioButton_weiter"));
        if (weiter) {
            QTest::mouseClick(weiter, Qt::LeftButton, Qt::NoModifier, QPoint(5, weiter->height() / 2));
            clicked = true;
        }
        dialog->close();
    });
    child<QAction>("menuEinstellungen")->trigger();
    QVERIFY(clicked);
    QCOMPARE(m_prefs->gameMethod(), 1);
    QVERIFY(child<QPushButton>("moreButton")->isVisible());

    const QString afterDialog = statisticsText();
    QVERIFY(afterDialog == QStringLiteral("0 von 0  (0%)") || afterDialog == QStringLiteral("1 von 1  (100%)"));
    const QString item = m_window->actualItem();
    QTest::qWait(delay * 10);
    QCOMPARE(statisticsText(), afterDialog);
    QCOMPARE(m_window->actualItem(), item);

    // Now it is "Weiter" alone that moves on.
    clickRight();
    QTest::qWait(delay * 5);
    QCOMPARE(m_window->actualItem(), item);
    clickNext();
    QVERIFY(statisticsText() != afterDialog);
}

// --- training type and group ---------------------------------------------------

void TestGameThreeWords::typeChange()
{
    makeWindow();
    QComboBox *types = child<QComboBox>("comboBox_typ");
    QComboBox *groups = child<QComboBox>("comboBox_wordGroup");

    clickRight();
    clickNext();
    clickRight();
    QCOMPARE(statisticsText(), QStringLiteral("1 von 1  (100%)"));

    QTest::keyClick(types, Qt::Key_Up); // the user picks "Falschwörter"
    QCOMPARE(types->currentIndex(), 0);
    QCOMPARE(m_prefs->gameType(), 0);
    QCOMPARE(QSettings(m_config->settingsFile(), QSettings::IniFormat).value(QStringLiteral("gameType")).toInt(), 0);
    QCOMPARE(statisticsText(), QStringLiteral("0 von 0  (0%)"));
    QCOMPARE(groups->count(), 13);
    QCOMPARE(groups->itemText(12), QStringLiteral("Alle"));
    QCOMPARE(groups->currentText(), QStringLiteral("Baumarten"));
    // The verdict stays on show; the item is now one of misspellings.
    QCOMPARE(child<QLabel>("judgeLabel")->text(), rightText);
    QVERIFY(m_window->selectedEntries().contains(m_window->actualItem()));

    // The item on show before the change still counts nothing now.
    clickNext();
    QCOMPARE(statisticsText(), QStringLiteral("0 von 1  (0%)"));

    QTest::keyClick(types, Qt::Key_Down); // back to "gruppenfremde Wörter"
    QCOMPARE(m_prefs->gameType(), 1);
    QCOMPARE(groups->count(), 12);
    QCOMPARE(statisticsText(), QStringLiteral("0 von 0  (0%)"));
}

void TestGameThreeWords::typeChangeDoesNotActivateGroup()
{
    makeWindow();
    activateGroup(QStringLiteral("Tiere"));
    QSignalSpy activated(child<QComboBox>("comboBox_wordGroup"), &QComboBox::textActivated);
    QTest::keyClick(child<QComboBox>("comboBox_typ"), Qt::Key_Up);
    QTest::keyClick(child<QComboBox>("comboBox_typ"), Qt::Key_Down);
    QCOMPARE(activated.count(), 0);
    QCOMPARE(m_window->actualGroup(), QStringLiteral("Tiere"));
    QCOMPARE(child<QComboBox>("comboBox_wordGroup")->currentText(), QStringLiteral("Tiere"));
}

void TestGameThreeWords::alleThenGruppenfremd()
{
    writeSettings({{QStringLiteral("gameType"), 0}});
    makeWindow();
    QComboBox *types = child<QComboBox>("comboBox_typ");
    QComboBox *groups = child<QComboBox>("comboBox_wordGroup");

    activateGroup(QStringLiteral("Alle"));
    QCOMPARE(m_window->actualGroup(), QStringLiteral("Alle"));
    QCOMPARE(m_window->selectedEntries().size(), 372);

    QTest::keyClick(types, Qt::Key_Down); // "gruppenfremde Wörter"
    QCOMPARE(types->currentIndex(), 1);
    // Not left on "Alle": the first group becomes the group of the exercise,
    // and the item on show is drawn from it.
    QCOMPARE(m_window->actualGroup(), QStringLiteral("Baumarten"));
    QCOMPARE(groups->currentText(), QStringLiteral("Baumarten"));
    QStringList baumarten;
    for (const QString &entry : m_window->entryLists().first())
        baumarten << parts(entry).first();
    QVERIFY(baumarten.contains(rightWord()));

    QTest::keyClick(types, Qt::Key_Up); // back to "Falschwörter"
    QCOMPARE(groups->currentText(), QStringLiteral("Baumarten"));
    QCOMPARE(groups->count(), 13);
}

void TestGameThreeWords::groupChoice()
{
    makeWindow();
    clickRight();
    clickNext();
    QCOMPARE(statisticsText(), QStringLiteral("1 von 1  (100%)"));
    clickWrong();

    activateGroup(QStringLiteral("Farben"));
    QCOMPARE(m_window->actualGroup(), QStringLiteral("Farben"));
    // A fresh item, not counted; the judge display is cleared.
    QCOMPARE(statisticsText(), QStringLiteral("1 von 1  (100%)"));
    QVERIFY(child<QLabel>("judgeLabel")->text().isEmpty());
    QStringList farben;
    const int index = m_window->groupNames().indexOf(QStringLiteral("Farben"));
    for (const QString &entry : m_window->entryLists().at(index))
        farben << parts(entry).first();
    QVERIFY(farben.contains(rightWord()));

    // Choosing the entry already current replaces the item as well.
    clickWrong();
    activateGroup(QStringLiteral("Farben"));
    QVERIFY(child<QLabel>("judgeLabel")->text().isEmpty());
    clickRight();
    clickNext();
    QCOMPARE(statisticsText(), QStringLiteral("2 von 2  (100%)"));
}

// --- fonts and damaged settings ----------------------------------------------------

void TestGameThreeWords::fontSizes()
{
    writeSettings({{QStringLiteral("fontSize"), 20}});
    makeWindow();
    QCOMPARE(m_prefs->fontSize(), 20);
    for (const char *name : {"leftButton", "middleButton", "rightButton"})
        QCOMPARE(child<QWidget>(name)->font().pointSize(), 23);
    QCOMPARE(child<QLabel>("judgeLabel")->font().pointSize(), 23);
    QVERIFY(child<QLabel>("judgeLabel")->font().bold());
    for (const char *name : {"comboBox_wordGroup", "label_wordGroup", "moreButton", "outerBox"})
        QCOMPARE(child<QWidget>(name)->font().pointSize(), 20);
    QCOMPARE(child<QComboBox>("comboBox_typ")->font().pointSize(), 12);
    QCOMPARE(child<QLabel>("label_rightWordsData")->font().pointSize(), 12);
    QCOMPARE(m_window->font().pointSize(), 12);
}

void TestGameThreeWords::damagedSettings_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<int>("typeIndex");
    QTest::addColumn<bool>("weiterVisible");

    QTest::newRow("type-text") << QVariantMap{{QStringLiteral("gameType"), QStringLiteral("Falschwörter")}} << 0 << true;
    QTest::newRow("type-7") << QVariantMap{{QStringLiteral("gameType"), 7}} << -1 << true;
    QTest::newRow("method-99") << QVariantMap{{QStringLiteral("gameMethod"), 99}} << 1 << true;
    QTest::newRow("method-2-negative-delay")
        << QVariantMap{{QStringLiteral("gameMethod"), 2}, {QStringLiteral("timeDelay"), -5}} << 1 << false;
}

void TestGameThreeWords::damagedSettings()
{
    QFETCH(QVariantMap, stored);
    QFETCH(int, typeIndex);
    QFETCH(bool, weiterVisible);
    writeSettings(stored);
    makeWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(child<QComboBox>("comboBox_typ")->currentIndex(), typeIndex);
    QCOMPARE(child<QPushButton>("moreButton")->isVisible(), weiterVisible);

    // Whatever was stored, the patient can train: a right click is judged
    // right, and the next item comes.
    const QString item = m_window->actualItem();
    QVERIFY(!item.isEmpty());
    clickRight();
    QCOMPARE(child<QLabel>("judgeLabel")->text(), rightText);
    if (weiterVisible)
        clickNext();
    QTRY_VERIFY(statisticsText().startsWith(QStringLiteral("1 von 1")));
}

QTEST_MAIN(TestGameThreeWords)
#include "tst_gamethreewords.moc"
