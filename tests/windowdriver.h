#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include "records/patientrecords.h"
#include "settings/preferences.h"
#include "tests/testsupport.h"
#include "window/gamethreewords.h"
#include "words/qtcompat.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

// Drives the real training window as a patient and a therapist do, and checks
// after every action what the patient sees against a model of its own. The
// model knows the list from its file and the rules of the training; it tells
// the right word from the words on the buttons and never asks the window.
class WindowDriver
{
public:
    struct Group
    {
        QString name;
        QList<QStringList> entries;
    };
    // The list as the file has it: a group per "#" line, an entry's fields
    // split at ";", lines before the first group in the first.
    static QList<Group> readList(const QString &path)
    {
        QFile file(path);
        QString text = file.open(QFile::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
        text.chop(text.endsWith('\n')); // the last line's end, not a line
        QList<Group> groups;
        QList<QStringList> early;
        for (QString line : text.split('\n')) {
            line.chop(line.endsWith('\r'));
            if (line.startsWith('#'))
                groups += Group{line.mid(1), {}};
            else
                (groups.isEmpty() ? early : groups.last().entries) += line.split(';');
        }
        if (!groups.isEmpty())
            groups.first().entries = early + groups.first().entries;
        return groups;
    }

    WindowDriver(gameThreeWords *window, preferences &prefs, const QString &list, MovedClock &clock)
        : w(window), clock(clock), groups(readList(list))
    {
        method = prefs.gameMethod() == 2 ? 2 : 1;
        type = qBound(0, prefs.value("gameType", 1).toInt(), 1);
        // As the window starts: the first group, one draw "gruppenfremd" out
        // of sight, the group stored last time, then the first item on show.
        select(groups.isEmpty() ? QString() : groups.first().name);
        draws = canDraw(1);
        const QString stored = prefs.value("wordGroup").toString();
        if (names().contains(stored) || (stored == "Alle" && type != 1))
            select(stored);
        fillList();
        fresh();
        broken = observe();
        // What the records hand the window, the model hears as well.
        if (auto *records = w->findChild<patientRecords *>())
            QObject::connect(records, &patientRecords::practiceGroupChanged, &context,
                             [this](const QStringList &entries) { offerPractice(entries); });
    }

    // A list handed over as its menu does: a new cycle, its first item on show.
    void listHandedOver() { draws = canDraw(type); }

    // The right word of the item on show, as the model reads the buttons;
    // null where the words leave it open.
    const QString &rightWord() const { return rightKnown; }

    template<typename T>
    T *child(const char *name) const { return w->findChild<T *>(QLatin1String(name)); }
    QPushButton *button(int k) const { return child<QPushButton>(k ? k == 1 ? "middleButton" : "rightButton" : "leftButton"); }

    // Opens a dialog by its action, lets `inside` work on it, and closes it.
    void dialog(QAction *action, const std::function<void(QWidget *)> &inside = {})
    {
        // Also whatever message the dialog itself may open.
        QTimer closer;
        bool worked = false;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                if (inside && !std::exchange(worked, true))
                    inside(dialog);
                dialog->close();
            }
        });
        closer.start(0);
        action->trigger();
    }
    // "Einstellungen"; closing it brings a new item, not counted.
    void settings(const std::function<void(QWidget *)> &inside)
    {
        dialog(child<QAction>("menuEinstellungen"), inside);
        fresh();
        // Read at once: the next action needs to know the new item's words.
        if (const QString seen = observe(); broken.isEmpty())
            broken = seen;
    }

    QString step(unsigned choice)
    {
        // The patient's actions often, the therapist's now and then.
        const char action = "rrrrrrrrrrwwwwwwnnnnnnnnnnddqqgGtToOspPD"[choice % 40];
        history = (history + action).right(20);
        const QString broken = act(action);
        return broken.isEmpty() ? broken : QString("%1 (after %2)").arg(broken, history);
    }

    // r, w: the right or a wrong word; n: "Weiter" once the item is seen, by
    // mouse or key; d: a slow double press of it; q: a press too early;
    // g, G: the next or the last group, arrows and Return in the closed list;
    // o, O: a group or a type chosen in the open list, by key or mouse; t, T: the next or the
    // previous type; s: a font size in the settings dialog; p: another
    // patient; P: the patient dialog, D: another dialog, opened and closed.
    // Returns what broke, if anything.
    QString act(char action)
    {
        if (!broken.isEmpty())
            return "at the start: " + std::exchange(broken, QString());
        ++steps;
        activate();
        switch (action) {
        case '1': case '2': case '3': case 'r': case 'w':
            if (!(action > '3' ? click(action == 'r') : click(button(action - '1')->text() == rightKnown, action - '1'))
                || method == 1)
                return observe();
            // Game method 2: the next item comes by itself after the delay,
            // here at once, and clears the verdict.
            w->findChild<QTimer *>("delayTimer")->start(0);
            waitFor([this] { return child<QLabel>("judgeLabel")->text().isEmpty(); });
            counted();
            return observe();
        case 'n': case 'd': case 'q':
            if (method == 2)
                return observe();
            clock.advance(action == 'q' ? 0 : seen);
            pressWeiter(steps % 32 == 0);
            if (action == 'd') {
                clock.advance(150 + steps % 251);
                pressWeiter(steps % 32 == 1);
            }
            return observe();
        case 'g': case 'G': case 't': case 'T':
            return chooseInList(QChar(action).toLower() == 't', action == 'G' ? Qt::Key_End : action == 'T' ? Qt::Key_Up : Qt::Key_Down, false);
        case 'o': case 'O':
            return chooseInList(action == 'O', steps % 2 ? Qt::Key_Down : Qt::Key_Up, true);
        case 's':
            if (method == 2) // under the delay the dialog would change the item
                return observe();
            settings([this](QWidget *dialog) { dialog->findChild<QSpinBox *>("spinBox_fontSize")->setValue(9 + steps % 24); });
            return std::exchange(broken, QString());
        case 'p':
            if (auto *records = w->findChild<patientRecords *>()) {
                const QString name = steps % 2 ? "Frau Ahrens" : "Herr Brandt";
                records->start(name);
                // Their own count; an item the one before answered goes with them.
                if (name != patient) {
                    patient = name;
                    right = done = 0;
                    if (!first)
                        fresh();
                }
            }
            return observe();
        case 'P':
            if (w->findChild<patientRecords *>())
                dialog(child<QAction>("actionPatientWaehlen"));
            return observe();
        case 'D': {
            QList<QAction *> actions = child<QMenu>("menuHilfe")->actions();
            if (auto *verlauf = child<QAction>("actionVerlauf"); verlauf && verlauf->isEnabled())
                actions += verlauf;
            dialog(actions.at(steps % actions.size()));
            return observe();
        }
        }
        return "no action " + QString(QChar(action));
    }

    // Clicks a button with the right or a wrong word, where the words on the
    // buttons tell which is which; whether it was the right one. By key 1 to
    // 3 (on the main row or the keypad) on every third step, or for only that
    // button.
    bool click(bool rightWord, int only = -1)
    {
        for (int k = 0; k < 3; ++k) {
            const QString word = button(k)->text();
            if (!button(k)->isEnabled() || (only >= 0 && k != only)
                || (rightWord ? rightKnown.isNull() || word != rightKnown : !surelyWrong(word)))
                continue;
            if (steps % 64 == 0 || only >= 0) {
                QTest::keyClick(focused(), Qt::Key(Qt::Key_1 + k), steps % 2 ? Qt::KeypadModifier : Qt::NoModifier);
                waitFor([&] { return !button(k)->isDown(); });
            } else {
                QTest::mouseClick(button(k), Qt::LeftButton);
            }
            credit = credit || (rightWord && first);
            first = false;
            verdict = rightWord ? "<font color=\"green\">Richtig!</font>" : "<font color=\"red\">Falsch!</font>";
            picture = QPixmap(rightWord ? ":/data/haken.png" : ":/data/kreuz.png").toImage();
            return rightWord;
        }
        return false;
    }

    int rightOn[3] = {0, 0, 0}; // items with the right word on each button

private:
    static constexpr qint64 seen = 700; // "Weiter" waits that long after a new item

    QStringList names() const
    {
        QStringList list;
        for (const Group &group : groups)
            list += group.name;
        return list;
    }
    const Group *groupNamed(const QString &name) const
    {
        const auto named = std::find_if(groups.begin(), groups.end(), [&](const Group &group) { return group.name == name; });
        return named == groups.end() ? nullptr : &*named;
    }
    void select(const QString &name)
    {
        group = name;
        selection.clear();
        if (!practice.isEmpty() && name == patientRecords::practiceGroup) {
            selection = practice;
        } else if (name == "Alle") {
            for (const Group &group : groups)
                selection += group.entries;
        } else if (const Group *chosen = groupNamed(name)) {
            selection = chosen->entries;
        }
        drawn.clear();
        draws = 0;
        // The words the other groups give "gruppenfremde Wörter".
        foreign.clear();
        for (const Group &other : groups) {
            if (other.name != group)
                for (const QStringList &entry : groupNamed(other.name)->entries)
                    foreign += entry.first();
        }
    }
    bool canDraw(int gameType) const
    {
        return !selection.isEmpty() && (gameType == 0 || !foreign.isEmpty());
    }
    // The group list as the type offers it, and the group shown in it.
    void fillList()
    {
        list = names();
        if (type == 0)
            list += "Alle";
        if (type == 0 && !practice.isEmpty())
            list += patientRecords::practiceGroup;
        if (type == 1 && !list.contains(group) && !list.isEmpty())
            select(list.first());
        index = list.indexOf(group);
    }
    void offerPractice(const QStringList &entries)
    {
        const QString before = group;
        practice.clear();
        for (const QString &entry : entries)
            practice += entry.split(';');
        if (group == patientRecords::practiceGroup)
            select(practice.isEmpty() ? names().value(0) : group);
        fillList();
        if (group != before)
            fresh();
    }
    // A new item: drawn where the list gives one; nothing of the one before stays.
    void fresh()
    {
        expectNew = canDraw(type);
        if (expectNew && draws >= selection.size()) { // the cycle is complete
            drawn.clear();
            draws = 0;
        }
        draws += expectNew;
        first = true;
        credit = false;
        verdict.clear();
        shownAt = clock.ms;
    }
    void counted()
    {
        right += std::exchange(credit, false);
        ++done;
        fresh();
    }
    // Without a window manager the window gets the keys back from a closed
    // dialog or list only when told, and late.
    void activate(bool late = false)
    {
        if (late)
            QCoreApplication::processEvents();
        for (QDeadlineTimer deadline(5000); w->isVisible() && QApplication::activeWindow() != w && !deadline.hasExpired(); QTest::qWait(1))
            w->activateWindow();
    }
    // Up to five seconds; what did not come shows in what is observed next.
    static void waitFor(const std::function<bool()> &done) { static_cast<void>(QTest::qWaitFor(done)); }
    QWidget *focused() const { return QApplication::focusWidget() ? QApplication::focusWidget() : w; }
    bool surelyWrong(const QString &word) const { return !rightCandidates.contains(word); }

    // "Weiter" by mouse or by Return; it acts only on an item seen long enough.
    void pressWeiter(bool byKey)
    {
        auto *more = child<QPushButton>("moreButton");
        // Where the list gives no item, the focus stays in the list the
        // therapist chose in, and Return there confirms that choice only.
        const bool inList = byKey && qobject_cast<QComboBox *>(focused());
        if (byKey) {
            const Qt::Key key = steps % 3 ? Qt::Key_Return : Qt::Key_Enter;
            QTest::keyClick(focused(), key, steps % 4 ? Qt::NoModifier : Qt::KeypadModifier);
            waitFor([more] { return !more->isDown(); });
        } else {
            QTest::mouseClick(more, Qt::LeftButton);
        }
        if (clock.ms - shownAt >= seen && !inList)
            counted();
    }

    // A list chosen by keyboard: arrows and Return in the closed list, or
    // opened, an arrow and Return in it. Return never acts as "Weiter", and
    // the keys belong to the words again.
    QString chooseInList(bool types, Qt::Key key, bool open)
    {
        auto *combo = child<QComboBox>(types ? "comboBox_typ" : "comboBox_wordGroup");
        const QStringList &entries = types ? QStringList{"Falschwörter", "gruppenfremde Wörter"} : list;
        const int from = types ? type : index;
        int to = key == Qt::Key_End ? entries.size() - 1 : qBound(0, from + (key == Qt::Key_Up ? -1 : 1), entries.size() - 1);
        if (from < 0) // the closed list without a current entry moves to its first
            to = key == Qt::Key_Up ? -1 : key == Qt::Key_End ? entries.size() - 1 : 0;
        combo->setFocus(Qt::TabFocusReason);
        if (entries.isEmpty()) {
            return observe();
        } else if (open) {
            QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
            waitFor([combo] { return combo->view()->isVisible(); });
            clock.advance(seen);
            const QModelIndex row = to >= 0 ? combo->view()->model()->index(to, 0) : QModelIndex();
            combo->view()->scrollTo(row);
            const QRect place = combo->view()->visualRect(row);
            // By mouse where the open list shows the entry whole.
            if (steps % 2 && row.isValid() && combo->view()->viewport()->rect().contains(place)) {
                QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {}, place.center());
            } else {
                QTest::keyClick(combo->view(), key);
                QTest::keyClick(combo->view(), Qt::Key_Return);
            }
            activate(true); // the open list took the keys
            if (to >= 0) // with Return, also the one already current
                choose(types, to);
        } else {
            QTest::keyClick(combo, key);
            if (to != from && to >= 0)
                choose(types, to);
            // A look at the list before Return: the item it brought counts as seen.
            clock.advance(seen);
            QTest::keyClick(combo, Qt::Key_Return);
        }
        if (!QTest::qWaitFor([this] { return w->focusWidget() == button(0) || !canDraw(type); }))
            return "the focus stays in the list";
        return observe();
    }
    void choose(bool types, int to)
    {
        if (types && to != type) { // a new type: its own count, a fresh item
            type = to;
            fillList();
            right = done = 0;
            fresh();
        } else if (!types) {
            select(list.at(to));
            index = to;
            fresh();
        }
    }

    // What the patient sees against the model.
    QString observe()
    {
        const QStringList shown{button(0)->text(), button(1)->text(), button(2)->text()};
        if (steps % 16 == 0 && w->isVisible() && !w->screen()->availableGeometry().contains(w->frameGeometry()))
            return QString("the window lies outside the screen: %1,%2 %3x%4").arg(w->frameGeometry().x()).arg(w->frameGeometry().y()).arg(w->frameGeometry().width()).arg(w->frameGeometry().height());
        if (child<QComboBox>("comboBox_typ")->currentIndex() != type)
            return "the type list does not show type " + QString::number(type);
        if (child<QComboBox>("comboBox_wordGroup")->currentText() != list.value(index))
            return "the group list does not show " + list.value(index);
        if (button(0)->isEnabled() != canDraw(type) || button(1)->isEnabled() != canDraw(type) || button(2)->isEnabled() != canDraw(type))
            return canDraw(type) ? "a word cannot be pressed" : "a button without a word can be pressed";
        if (!canDraw(type) && shown != QStringList{"", "", ""})
            return "the buttons show " + shown.join(' ') + " where the group gives no item";
        const QString counts = QString("%1 von %2  (%3%)").arg(QString::number(right), QString::number(done),
                                                                QString::number(done ? int(double(right) / done * 100.0) : 0));
        if (child<QLabel>("label_rightWordsData")->text() != counts)
            return "the counts are not " + counts + " but " + child<QLabel>("label_rightWordsData")->text();
        if (child<QLabel>("judgeLabel")->text() != verdict)
            return "the verdict is not " + verdict;
        if (!verdict.isEmpty() && QtCompat::labelPixmap(*child<QLabel>("label_haken")).toImage() != picture)
            return "the verdict's picture is not " + verdict;
        if (!std::exchange(expectNew, false))
            return canDraw(type) && shown != words ? "the words changed to " + shown.join(' ') : QString();
        words = shown;
        return readItem();
    }

    // Which of the words shown can be the right one, by the rules of the type:
    // an entry in one of the three arrangements, or a word of the group with
    // two words of other groups.
    QString readItem()
    {
        static const int arrangements[3][3] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}};
        rightCandidates.clear();
        QSet<int> entries;
        for (int e = 0; e < selection.size(); ++e) {
            const QStringList &entry = selection.at(e);
            for (const auto &order : arrangements) {
                if (type == 0 && QStringList{entry.value(order[0]), entry.value(order[1]), entry.value(order[2])} == words) {
                    rightCandidates += entry.first();
                    entries += e;
                } else if (type == 1 && words.at(order[0] ? order[1] ? 2 : 1 : 0) == entry.first()
                           && foreignPair(words.at(order[0] == 1 ? 0 : order[1] == 1 ? 1 : 2),
                                          words.at(order[0] == 2 ? 0 : order[1] == 2 ? 1 : 2))) {
                    rightCandidates += entry.first();
                    entries += e;
                }
            }
        }
        if (rightCandidates.isEmpty())
            return "the buttons show " + words.join(' ') + ", no item of " + group;
        rightKnown = rightCandidates.size() == 1 ? *rightCandidates.begin() : QString();
        for (int k = 0; k < 3 && !rightKnown.isNull(); ++k)
            rightOn[k] += words.at(k) == rightKnown;
        if (entries.size() == 1 && drawn.contains(*entries.begin()))
            return "an entry drawn twice in a cycle: " + words.join(' ');
        if (entries.size() == 1)
            drawn += *entries.begin();
        return QString();
    }
    bool foreignPair(const QString &a, const QString &b) const
    {
        return foreign.contains(a) && foreign.contains(b) && (a != b || foreign.size() == 1);
    }

    gameThreeWords *w;
    MovedClock &clock;
    QList<Group> groups;
    QList<QStringList> practice; // "Fehlerwörter", where offered
    QObject context;
    int method = 1;
    int type = 1;
    QString group;
    QList<QStringList> selection;
    QStringList list; // the group list's entries
    int index = -1;
    QSet<QString> foreign;
    QSet<int> drawn; // entries known to be drawn in this cycle
    int draws = 0;
    qint64 shownAt = 0;
    bool expectNew = false;
    QStringList words;
    QSet<QString> rightCandidates;
    QString rightKnown; // null where the words leave it open
    QString patient;
    unsigned steps = 0;
    QString broken;
    QString history;
    int right = 0;
    int done = 0;
    bool credit = false;
    bool first = true;
    QString verdict;
    QImage picture;
};

// A trainer started as main starts it: its settings, the window on a list and
// a clock the test moves, a capability's wiring, shown; and a driver for it.
struct TrainerFixture
{
    MovedClock clock;
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
        window.reset(new gameThreeWords(prefs.get(), list, clock));
        if (wire)
            wire(*window, *prefs);
        window->show();
        window->activateWindow(); // no window manager gives it the focus in Xvfb
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        driver.reset(new WindowDriver(window.get(), *prefs, list, clock));
    }
    void stopTrainer()
    {
        driver.reset();
        window.reset();
        prefs.reset();
    }
    // Actions as WindowDriver::act takes them, each checked.
    void act(const QString &actions)
    {
        for (QChar action : actions)
            QCOMPARE(driver->act(action.toLatin1()), QString());
    }
    QString counts() const { return driver->child<QLabel>("label_rightWordsData")->text(); }
    // The messages on show in the window that say this.
    int told(const QString &text) const
    {
        const auto boxes = window->findChildren<QMessageBox *>();
        return int(std::count_if(boxes.begin(), boxes.end(), [&](QMessageBox *box) { return box->isVisible() && box->text() == text; }));
    }
};

#endif // WINDOWDRIVER_H
