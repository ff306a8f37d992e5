#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "settings/preferences.h"
#include "tests/testsupport.h"
#include "window/gamethreewords.h"
#include "words/qtcompat.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

// Drives the real training window as a patient and a therapist do, and checks
// after every action what the patient sees against a small model of its own:
// the counts, the verdict, the words on the buttons, no entry twice in a cycle.
class WindowDriver
{
public:
    explicit WindowDriver(gameThreeWords *window) : w(window) {}

    template<typename T>
    T *child(const char *name) const { return w->findChild<T *>(QLatin1String(name)); }
    QPushButton *button(int k) const { return child<QPushButton>(k ? k == 1 ? "middleButton" : "rightButton" : "leftButton"); }

    // Opens "Einstellungen", lets `inside` work on the dialog, and closes it.
    void settings(const std::function<void(QWidget *)> &inside)
    {
        QTimer::singleShot(0, w, [inside] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                inside(dialog);
                dialog->close();
            }
        });
        child<QAction>("menuEinstellungen")->trigger();
    }

    QString step(unsigned choice) { return act("rrrwwnnnngGtTs"[choice % 14]); }

    // r, w: the right or a wrong word; n: "Weiter"; g, G: the next or the last
    // group; t, T: the next or the previous training type; s: a font size in
    // the settings dialog. Returns what broke, if anything.
    QString act(char action)
    {
        auto *more = child<QPushButton>("moreButton");
        auto *combo = child<QComboBox>(QChar(action).toLower() == 'g' ? "comboBox_wordGroup" : "comboBox_typ");
        const int index = combo->currentIndex();
        if (action == 'r' || action == 'w') {
            if (!click(action == 'r') || !more->isHidden())
                return observe(false, false);
            // Game method 2: the next item comes by itself after the delay,
            // here at once, and clears the verdict.
            w->findChild<QTimer *>("delayTimer")->start(0);
            for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && !child<QLabel>("judgeLabel")->text().isEmpty();)
                QTest::qWait(1);
            return observe(true, true);
        }
        if ((action == 'n' || action == 's') && more->isHidden()) // under the delay the dialog would change it
            return observe(false, false);
        if (action == 'n' || action == 's') {
            if (action == 'n')
                QTest::mouseClick(more, Qt::LeftButton);
            else
                settings([this](QWidget *dialog) { dialog->findChild<QSpinBox *>("spinBox_fontSize")->setValue(9 + done % 24); });
            return observe(action == 'n', true);
        }
        QTest::keyClick(combo, action == 'G' ? Qt::Key_End : action == 'T' ? Qt::Key_Up : Qt::Key_Down);
        const bool moved = combo->currentIndex() != index;
        if (moved && QChar(action).toLower() == 't') { // the verdict stays, the counts start again
            right = done = 0;
            credit = false;
            counts = "0 von 0  (0%)";
        }
        return observe(false, moved && QChar(action).toLower() == 'g');
    }

    // Clicks a button with the right or a wrong word; whether its word was right.
    bool click(bool rightWord)
    {
        for (int k = 0; k < 3; ++k) {
            if (!button(k)->isEnabled() || w->isRightWord(button(k)->text()) != rightWord)
                continue;
            const bool isRight = button(k)->text() == w->actualItem().section(';', 0, 0);
            QTest::mouseClick(button(k), Qt::LeftButton);
            credit = credit || (isRight && first);
            first = false;
            verdict = isRight ? "<font color=\"green\">Richtig!</font>" : "<font color=\"red\">Falsch!</font>";
            picture = QPixmap(isRight ? ":/data/haken.png" : ":/data/kreuz.png").toImage();
            return isRight;
        }
        return false;
    }

    int rightOn[3] = {0, 0, 0}; // items with the right word on each button

private:
    QString observe(bool counted, bool fresh)
    {
        if (counted) { // a right first answer counts with its own item only
            right += std::exchange(credit, false);
            ++done;
            counts = QString("%1 von %2  (%3%)").arg(right).arg(done).arg(int(double(right) / done * 100.0));
        }
        credit = credit && !fresh;
        first = first || fresh;
        verdict = fresh ? QString() : verdict;
        const QList<int> drawn = w->drawnIndices();
        QStringList shown{button(0)->text(), button(1)->text(), button(2)->text()};
        // Where the group gives no item, the buttons stay empty and do nothing.
        const bool none = !w->canDraw(child<QComboBox>("comboBox_typ")->currentIndex());
        QStringList words = (none ? ";;" : w->actualItem() + ";;").split(';').mid(0, 3);
        if (button(0)->isEnabled() == none || button(1)->isEnabled() == none || button(2)->isEnabled() == none)
            return none ? "a button without a word can be pressed" : "a word cannot be pressed";
        const QString previous = std::exchange(item, w->actualItem());
        for (int k = 0; k < 3 && previous != item; ++k)
            rightOn[k] += shown.at(k) == words.first();
        shown.sort();
        words.sort();
        if (QSet<int>(drawn.begin(), drawn.end()).size() != drawn.size())
            return "an entry drawn twice in a cycle";
        if (child<QLabel>("label_rightWordsData")->text() != counts)
            return "the counts are not " + counts + " but " + child<QLabel>("label_rightWordsData")->text();
        if (child<QLabel>("judgeLabel")->text() != verdict)
            return "the verdict is not " + verdict;
        if (!verdict.isEmpty() && QtCompat::labelPixmap(*child<QLabel>("label_haken")).toImage() != picture)
            return "the verdict's picture is not " + verdict;
        return shown == words ? QString() : "the buttons show " + shown.join(' ');
    }

    gameThreeWords *w;
    QString item;
    int right = 0;
    int done = 0;
    bool credit = false;
    QString counts = "0 von 0  (0%)";
    bool first = true;
    QString verdict;
    QImage picture;
};

// A trainer started as main starts it: its settings, the window on a list, a
// capability's wiring, shown; and a driver for it.
struct TrainerFixture
{
    std::unique_ptr<preferences> prefs;
    std::unique_ptr<gameThreeWords> window;
    std::unique_ptr<WindowDriver> driver;

    using Wiring = std::function<void(gameThreeWords &, preferences &)>;
    // The trainer before ends first, so that nothing of it reaches the new settings.
    void startTrainer(const TemporaryConfig &config, const QByteArray &settings, const Wiring &wire = {},
                      const QString &list = threeWords::bundledDocument)
    {
        stopTrainer();
        config.write(settings);
        prefs.reset(new preferences("Pondrel", "Skarvel"));
        window.reset(new gameThreeWords(prefs.get(), list));
        if (wire)
            wire(*window, *prefs);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        driver.reset(new WindowDriver(window.get()));
    }
    void stopTrainer()
    {
        driver.reset();
        window.reset();
        prefs.reset();
    }
};

#endif // WINDOWDRIVER_H
