#ifndef WINDOWMODEL_H
#define WINDOWMODEL_H

// An outside model of the training window for long or random runs (the soak
// test and the window fuzz target): the driver tells it what it just did to
// the window, and check() compares everything a patient could see with what
// the model expects. It keeps its own counts, its own record of the entries
// drawn in the current cycle and its own copy of the item on show, so a
// window that miscounts, repeats an entry within a cycle or judges a word
// against anything but the item on show is caught at the step that did it.
//
// It needs no QtTest, so that the fuzz target can use it as well; a broken
// invariant is reported as text.
//
// Two choices of the window are part of the model: any next item stops the
// delay timer (whatever the game method), and choosing "gruppenfremde
// Wörter" while "Alle" is the group falls back to the first group.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;
class gameThreeWords;
class preferences;

class WindowModel
{
public:
    // Takes the window as its constructor left it.
    WindowModel(gameThreeWords *window, preferences *prefs);

    // A word button was clicked; text is the word it showed.
    void clicked(const QString &text);
    // "Weiter" or the delay timer: the next item, counted.
    void nextItemCounted();
    // The settings dialog closed: the next item, not counted.
    void itemReplaced();
    // The user chose the entry at this position of the group list: a new
    // cycle and the next item, not counted.
    void groupActivated(int index);
    // The training type list moved to another entry.
    void typeChanged(int type);
    void methodChanged(int method);
    void fontChanged(int size);

    // A right click in game method 2 started the delay and no item has
    // replaced the one on show since.
    bool delayPending() const { return m_delayPending; }
    // Number of items the window was asked to show (draws requested).
    int items() const { return m_items; }
    int method() const { return m_method; }
    int type() const { return m_type; }
    QString rightWord() const;

    // The first broken invariant since construction, or an empty string.
    QString check();

private:
    enum class Verdict { None, Right, Wrong };

    void drew(bool newCycle);
    void fail(const QString &what);
    void updateStatistics();
    QStringList expectedSelection() const;
    QStringList expectedGroupList() const;
    bool drawPossible() const;
    bool isForeignWord(const QString &word) const;
    QString checkDrawnItem(int index, int drawnAs);

    gameThreeWords *m_window;
    preferences *m_prefs;
    QPushButton *m_buttons[3];
    QPushButton *m_more;
    QLabel *m_judge;
    QLabel *m_picture;
    QLabel *m_statistics;
    QComboBox *m_types;
    QComboBox *m_groups;

    // The document as loaded: for each name, the entry list that a foreign
    // word under that name comes from, as a set of first fields.
    QHash<QString, QSet<QString>> m_wordsOfName;
    QHash<QString, int> m_firstGroupOfName;

    int m_right = 0;
    int m_done = 0;
    bool m_firstAttempt = true;
    Verdict m_verdict = Verdict::None;
    QString m_statisticsText;
    int m_type = 0;
    int m_method = 1;
    int m_fontSize = 0;
    bool m_delayPending = false;

    QString m_group;
    int m_groupIndex = -1;
    QStringList m_selection;
    QList<int> m_cycle;
    QString m_item;
    int m_items = 0;

    qint64 m_rightPicture = 0;
    qint64 m_wrongPicture = 0;

    QString m_error;
};

#endif // WINDOWMODEL_H
