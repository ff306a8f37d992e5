#ifndef SESSIONGOAL_H
#define SESSIONGOAL_H

#include "records/practicetime.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QAction;
class QWidget;
class basePreferences;
class trainerClock;

// A goal for one session in the practice room, in minutes of practice
// (counted as everywhere, records/practicetime.h) or in words. When the
// session reaches it, a calm summary says so and offers to go on or to stop;
// it comes once per session. A session begins with the program, another
// patient or another goal. No goal (the default) changes nothing; the keys
// "sessionGoalMinutes" and "sessionGoalWords" are written only when the
// therapist changes them.
class sessionGoal : public QObject
{
    Q_OBJECT

public:
    // clock: the window's, so that a session counts what the window shows.
    sessionGoal(basePreferences &prefs, const trainerClock &clock, QWidget *window);

    QAction *action() const; // "Sitzungsziel…", for the menu "Patient"
    int goalMinutes() const;
    int goalWords() const;
    void setGoal(int minutes, int words); // at most one of them not 0
    // What was done earlier the same day, counted with the session (a
    // day's goal at home over several runs).
    void setEarlier(qint64 ms, int words, int rightWords);
    // "Geschafft für heute: 20 Minuten, 48 Wörter, 40 davon im 1. Versuch richtig"
    QString summary() const;

public slots:
    void choose();
    void restart();
    void itemShown(const QStringList &words, int gameType, const QString &rightWord);
    void answerJudged(const QString &word, bool right);
    void itemCounted();
    void trainingChosen(int gameType, const QString &group);

signals:
    void stopRequested();
    void summaryClosed();

private:
    int stored(const char *key) const;
    bool reached() const;
    qint64 practisedMs() const;
    void showSummary();

    basePreferences &prefs;
    const trainerClock &clock;
    QWidget *window;
    QAction *m_action;
    // The trainings of the session, each its answers.
    QVector<QVector<practiceTime::answerTime>> trainings;
    QString training; // type and group of the last one
    qint64 shownAt = 0;
    bool hasItem = false;
    bool chosen = false;
    bool firstRight = false;
    qint64 chosenAt = 0;
    int words = 0;
    int rightWords = 0;
    bool told = false;
    qint64 earlierMs = 0;
    int earlierWords = 0;
    int earlierRight = 0;
};

#endif // SESSIONGOAL_H
