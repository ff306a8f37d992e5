#ifndef TRAININGSTATE_H
#define TRAININGSTATE_H

#include <QString>
#include <QStringList>

class trainerClock;

// One training as the patient meets it: the item on the buttons, whether the
// next choice is the first on it, a right first answer waiting for its item
// to be counted, and the counts. The window holds the one instance and
// announces from it; whoever needs to know reads it here instead of keeping
// a copy that a type or patient change could leave behind.
class trainingState
{
public:
    // How long a new item stays on screen before "Weiter" takes it away:
    // longer than the slowest double press seen from patients (400 ms
    // between the presses), and about the time needed to take in three words
    // at a glance. A patient who has read them and decided to skip needs
    // longer anyway, so a meant press is not lost.
    static constexpr qint64 seenMs = 700;

    explicit trainingState(const trainerClock &clock);

    // A new item: words in button order (none where the list gives none).
    // Whatever belonged to the item before goes with it.
    void show(const QStringList &words, int gameType, const QString &rightWord);
    // Whether the word is the right one; a right first answer is credited
    // when its own item is counted.
    bool judge(const QString &word);
    // The item left by "Weiter" or the delay.
    void count();
    // Someone starts over: another type, another patient.
    void restartCount();

    bool seen() const;
    // The clock the window counts with, for listeners that count time too.
    const trainerClock &clock() const;
    const QStringList &words() const;
    int gameType() const;
    const QString &rightWord() const;
    bool firstAttempt() const;
    int rightWords() const;
    int doneWords() const;
    // "2 von 3  (66%)": the percentage cut, not rounded.
    QString counts() const;

private:
    const trainerClock &m_clock;
    QStringList m_words;
    int m_gameType = -1;
    QString m_rightWord;
    qint64 shownAt = 0;
    bool m_firstAttempt = true;
    bool creditPending = false;
    int m_rightWords = 0;
    int m_doneWords = 0;
};

#endif // TRAININGSTATE_H
