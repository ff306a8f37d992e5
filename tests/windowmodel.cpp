#include "windowmodel.h"

#include "settings/preferences.h"
#include "window/gamethreewords.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

const QString rightText = QStringLiteral("<font color=\"green\">Richtig!</font>");
const QString wrongText = QStringLiteral("<font color=\"red\">Falsch!</font>");

QStringList fields(const QString &text)
{
    return text.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

qint64 pictureKey(const QLabel *label)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return label->pixmap().cacheKey();
#else
    return label->pixmap(Qt::ReturnByValue).cacheKey();
#endif
}

template<typename T>
T *find(gameThreeWords *window, const char *name, QString &missing)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget && missing.isEmpty())
        missing = QStringLiteral("the window has no %1").arg(QLatin1String(name));
    return widget;
}

} // namespace

WindowModel::WindowModel(gameThreeWords *window, preferences *prefs)
    : m_window(window)
    , m_prefs(prefs)
{
    QString missing;
    m_buttons[0] = find<QPushButton>(window, "leftButton", missing);
    m_buttons[1] = find<QPushButton>(window, "middleButton", missing);
    m_buttons[2] = find<QPushButton>(window, "rightButton", missing);
    m_more = find<QPushButton>(window, "moreButton", missing);
    m_judge = find<QLabel>(window, "judgeLabel", missing);
    m_picture = find<QLabel>(window, "label_haken", missing);
    m_statistics = find<QLabel>(window, "label_rightWordsData", missing);
    m_types = find<QComboBox>(window, "comboBox_typ", missing);
    m_groups = find<QComboBox>(window, "comboBox_wordGroup", missing);
    if (!missing.isEmpty()) {
        fail(missing);
        return;
    }

    const QStringList &names = window->groupNames();
    const QList<QStringList> &lists = window->entryLists();
    if (names.size() != lists.size()) {
        fail(QStringLiteral("%1 group names but %2 entry lists").arg(names.size()).arg(lists.size()));
        return;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (m_firstGroupOfName.contains(names.at(i)))
            continue;
        m_firstGroupOfName.insert(names.at(i), i);
        QSet<QString> words;
        for (const QString &entry : lists.at(i))
            words.insert(fields(entry).first());
        m_wordsOfName.insert(names.at(i), words);
    }

    m_type = prefs->gameType();
    m_method = prefs->gameMethod();
    m_fontSize = prefs->fontSize();
    m_group = names.value(0);
    m_selection = expectedSelection();
    m_groupIndex = expectedGroupList().indexOf(m_group);
    updateStatistics();

    // The store drew once as for "gruppenfremde Wörter" and the window once
    // more for the stored type; both draws stay in the cycle.
    m_cycle = window->drawnIndices();
    m_item = window->actualItem();
    if (m_cycle.size() > 2)
        fail(QStringLiteral("%1 entries drawn at start").arg(m_cycle.size()));
    for (int i = 0; i < m_cycle.size(); ++i) {
        if (m_cycle.at(i) < 0 || m_cycle.at(i) >= m_selection.size())
            fail(QStringLiteral("drawn index %1 at start is outside the selection").arg(m_cycle.at(i)));
        else if (m_cycle.indexOf(m_cycle.at(i)) != i)
            fail(QStringLiteral("entry %1 drawn twice at start").arg(m_cycle.at(i)));
    }
    if (m_cycle.isEmpty()) {
        if (!m_item.isEmpty())
            fail(QStringLiteral("an item without any draw at start"));
    } else if (m_error.isEmpty()) {
        const bool ownType = (m_type == 0 || m_type == 1) && drawPossible();
        checkDrawnItem(m_cycle.last(), ownType ? m_type : 1);
    }
}

QString WindowModel::rightWord() const
{
    return fields(m_item).first();
}

void WindowModel::clicked(const QString &text)
{
    const bool right = text == rightWord();
    m_verdict = right ? Verdict::Right : Verdict::Wrong;
    if (right) {
        if (m_method == 2)
            m_delayPending = true;
        if (m_firstAttempt)
            ++m_right;
    }
    m_firstAttempt = false;
}

void WindowModel::nextItemCounted()
{
    m_delayPending = false;
    m_verdict = Verdict::None;
    m_firstAttempt = true;
    ++m_done;
    updateStatistics();
    drew(false);
}

void WindowModel::itemReplaced()
{
    m_delayPending = false;
    m_verdict = Verdict::None;
    m_firstAttempt = true;
    drew(false);
}

void WindowModel::groupActivated(int index)
{
    // A group may bear the name of another entry ("Alle", a name used twice):
    // the list stays on the entry chosen, the store selects by name.
    m_groupIndex = index;
    m_group = expectedGroupList().value(index);
    m_selection = expectedSelection();
    m_delayPending = false;
    m_verdict = Verdict::None;
    m_firstAttempt = true;
    drew(true);
}

void WindowModel::typeChanged(int type)
{
    m_type = type;
    bool newCycle = false;
    const QStringList &names = m_window->groupNames();
    if (type == 1 && !names.isEmpty() && !names.contains(m_group)) {
        m_group = names.first();
        m_selection = expectedSelection();
        newCycle = true;
    }
    m_groupIndex = expectedGroupList().indexOf(m_group);
    m_right = 0;
    m_done = 0;
    updateStatistics();
    drew(newCycle);
}

void WindowModel::methodChanged(int method)
{
    m_method = method;
}

void WindowModel::fontChanged(int size)
{
    m_fontSize = size;
}

void WindowModel::updateStatistics()
{
    // Items replaced without counting can leave more right answers than
    // done items; the window lowers its count, and so does the model.
    if (m_right > m_done)
        m_right = m_done;
    const int divisor = m_done >= 1 ? m_done : 1;
    const int percent = int(double(m_right) / divisor * 100.0);
    m_statisticsText = QStringLiteral("%1 von %2  (%3%)").arg(m_right).arg(m_done).arg(percent);
}

QStringList WindowModel::expectedSelection() const
{
    const QList<QStringList> &lists = m_window->entryLists();
    if (m_group == QLatin1String("Alle")) {
        QStringList all;
        for (const QStringList &list : lists)
            all += list;
        return all;
    }
    const int group = m_window->groupNames().indexOf(m_group);
    return group >= 0 ? lists.at(group) : QStringList();
}

QStringList WindowModel::expectedGroupList() const
{
    QStringList entries = m_window->groupNames();
    if (m_type != 1)
        entries.append(QStringLiteral("Alle"));
    return entries;
}

bool WindowModel::drawPossible() const
{
    if ((m_type != 0 && m_type != 1) || m_selection.isEmpty())
        return false;
    if (m_type == 0)
        return true;
    for (auto it = m_firstGroupOfName.cbegin(); it != m_firstGroupOfName.cend(); ++it) {
        if (it.key() != m_group && !m_window->entryLists().at(it.value()).isEmpty())
            return true;
    }
    return false;
}

bool WindowModel::isForeignWord(const QString &word) const
{
    for (auto it = m_wordsOfName.cbegin(); it != m_wordsOfName.cend(); ++it) {
        if (it.key() != m_group && it.value().contains(word))
            return true;
    }
    return false;
}

QString WindowModel::checkDrawnItem(int index, int drawnAs)
{
    const QString item = m_window->actualItem();
    const QString entry = m_selection.at(index);
    if (drawnAs == 0) {
        if (item != entry)
            fail(QStringLiteral("\"Falschwörter\" item \"%1\" is not entry %2 (\"%3\") of the selection")
                     .arg(item).arg(index).arg(entry));
        return m_error;
    }
    const QStringList parts = fields(item);
    if (parts.size() != 3) {
        fail(QStringLiteral("\"gruppenfremde Wörter\" item \"%1\" has %2 words").arg(item).arg(parts.size()));
    } else if (parts.first() != fields(entry).first()) {
        fail(QStringLiteral("right word \"%1\" is not the first field of entry %2 (\"%3\")")
                 .arg(parts.first()).arg(index).arg(entry));
    } else {
        for (int k = 1; k < 3; ++k) {
            if (!isForeignWord(parts.at(k)))
                fail(QStringLiteral("\"%1\" in \"%2\" is no right word of a group other than \"%3\"")
                         .arg(parts.at(k), item, m_group));
        }
    }
    return m_error;
}

void WindowModel::drew(bool newCycle)
{
    ++m_items;
    if (newCycle)
        m_cycle.clear();
    const QList<int> now = m_window->drawnIndices();
    const QString item = m_window->actualItem();

    if (!drawPossible()) {
        if (now != m_cycle)
            fail(QStringLiteral("an entry was drawn where none could be"));
        else if (item != m_item)
            fail(QStringLiteral("the item changed to \"%1\" without a draw").arg(item));
        return;
    }

    // A full cycle starts afresh before the draw.
    const int n = m_selection.size();
    const QList<int> before = m_cycle.size() >= n ? QList<int>() : m_cycle;
    if (now.size() != before.size() + 1 || now.mid(0, before.size()) != before) {
        fail(QStringLiteral("drawn entries of the cycle are %1 entries long, expected %2 plus one")
                 .arg(now.size()).arg(before.size()));
        return;
    }
    const int index = now.last();
    if (index < 0 || index >= n) {
        fail(QStringLiteral("drawn index %1 outside a selection of %2").arg(index).arg(n));
        return;
    }
    if (before.contains(index)) {
        fail(QStringLiteral("entry %1 (\"%2\") repeated within one cycle of \"%3\" after %4 of %5 entries")
                 .arg(index).arg(m_selection.at(index), m_group).arg(before.size()).arg(n));
        return;
    }
    m_cycle = now;
    if (checkDrawnItem(index, m_type).isEmpty())
        m_item = item;
}

void WindowModel::fail(const QString &what)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 (after %2 items, item \"%3\")").arg(what).arg(m_items).arg(m_item);
}

QString WindowModel::check()
{
    if (!m_error.isEmpty())
        return m_error;

    if (m_window->actualItem() != m_item) {
        fail(QStringLiteral("the item changed to \"%1\" without a draw").arg(m_window->actualItem()));
        return m_error;
    }

    // The buttons show the item's first three words, right word included, in
    // one of the three arrangements; missing words show as empty buttons.
    const QStringList parts = fields(m_item);
    const QString words[3] = {parts.value(0), parts.value(1), parts.value(2)};
    const QString shown[3] = {m_buttons[0]->text(), m_buttons[1]->text(), m_buttons[2]->text()};
    static const int arrangements[3][3] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}};
    bool placed = false;
    for (const auto &arrangement : arrangements) {
        placed = placed
            || (shown[0] == words[arrangement[0]] && shown[1] == words[arrangement[1]]
                && shown[2] == words[arrangement[2]]);
    }
    if (!placed)
        fail(QStringLiteral("buttons show \"%1\", \"%2\", \"%3\"").arg(shown[0], shown[1], shown[2]));
    if (shown[0] != words[0] && shown[1] != words[0] && shown[2] != words[0])
        fail(QStringLiteral("no button carries the right word \"%1\"").arg(words[0]));

    const QString judged = m_judge->text();
    const bool pictureShown = !m_picture->isHidden();
    switch (m_verdict) {
    case Verdict::None:
        if (!judged.isEmpty() || pictureShown)
            fail(QStringLiteral("a fresh item shows the verdict \"%1\"").arg(judged));
        break;
    case Verdict::Right:
        if (judged != rightText || !pictureShown)
            fail(QStringLiteral("a right click shows \"%1\"").arg(judged));
        if (!m_rightPicture)
            m_rightPicture = pictureKey(m_picture);
        if (pictureKey(m_picture) != m_rightPicture || m_rightPicture == m_wrongPicture)
            fail(QStringLiteral("a right click does not show the tick"));
        break;
    case Verdict::Wrong:
        if (judged != wrongText || !pictureShown)
            fail(QStringLiteral("a wrong click shows \"%1\"").arg(judged));
        if (!m_wrongPicture)
            m_wrongPicture = pictureKey(m_picture);
        if (pictureKey(m_picture) != m_wrongPicture || m_rightPicture == m_wrongPicture)
            fail(QStringLiteral("a wrong click does not show the cross"));
        break;
    }

    if (m_statistics->text() != m_statisticsText)
        fail(QStringLiteral("statistics show \"%1\", expected \"%2\"")
                 .arg(m_statistics->text(), m_statisticsText));

    const int typeIndex = m_type == 0 || m_type == 1 ? m_type : -1;
    if (m_types->count() != 2 || m_types->currentIndex() != typeIndex)
        fail(QStringLiteral("type list at %1 of %2 entries, expected %3 of 2")
                 .arg(m_types->currentIndex()).arg(m_types->count()).arg(typeIndex));

    const QStringList groupEntries = expectedGroupList();
    bool sameGroups = m_groups->count() == groupEntries.size();
    for (int i = 0; sameGroups && i < groupEntries.size(); ++i)
        sameGroups = m_groups->itemText(i) == groupEntries.at(i);
    if (!sameGroups)
        fail(QStringLiteral("group list of %1 entries does not match the %2 expected")
                 .arg(m_groups->count()).arg(groupEntries.size()));
    if (m_groups->currentIndex() != m_groupIndex)
        fail(QStringLiteral("group list at \"%1\", expected \"%2\"").arg(m_groups->currentText(), m_group));

    if (m_window->actualGroup() != m_group)
        fail(QStringLiteral("group is \"%1\", expected \"%2\"").arg(m_window->actualGroup(), m_group));
    if (m_window->selectedEntries() != m_selection)
        fail(QStringLiteral("selection of %1 entries does not match the %2 of \"%3\"")
                 .arg(m_window->selectedEntries().size()).arg(m_selection.size()).arg(m_group));
    if (m_window->drawnIndices() != m_cycle)
        fail(QStringLiteral("drawn entries of the cycle changed without a draw"));

    if (m_more->isHidden() != (m_method == 2))
        fail(QStringLiteral("\"Weiter\" %1 in game method %2")
                 .arg(m_more->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown")).arg(m_method));
    else if (!m_more->isHidden() && m_more->text() != QStringLiteral("Weiter"))
        fail(QStringLiteral("the next-item button reads \"%1\"").arg(m_more->text()));

    if (m_fontSize > 0) {
        for (const QPushButton *button : m_buttons) {
            if (button->font().pointSize() != m_fontSize + 3)
                fail(QStringLiteral("word button at %1 pt for font size %2")
                         .arg(button->font().pointSize()).arg(m_fontSize));
        }
        if (m_judge->font().pointSize() != m_fontSize + 3 || !m_judge->font().bold())
            fail(QStringLiteral("verdict at %1 pt for font size %2").arg(m_judge->font().pointSize()).arg(m_fontSize));
        if (m_more->font().pointSize() != m_fontSize || m_groups->font().pointSize() != m_fontSize)
            fail(QStringLiteral("\"Weiter\" or group list not at font size %1").arg(m_fontSize));
    }

    if (m_prefs->gameType() != m_type || m_prefs->gameMethod() != m_method || m_prefs->fontSize() != m_fontSize)
        fail(QStringLiteral("settings store holds type %1, method %2, font size %3")
                 .arg(m_prefs->gameType()).arg(m_prefs->gameMethod()).arg(m_prefs->fontSize()));
    return m_error;
}
