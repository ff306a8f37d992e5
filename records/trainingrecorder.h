#ifndef TRAININGRECORDER_H
#define TRAININGRECORDER_H

#include "records/recordstore.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTimer>
#include <QString>
#include <QStringList>

// Turns what the training window announces into rows: one answer for every
// item left by "Weiter" or the delay, committed at once. A training begins
// with the first answer after the start, a change of patient, type, group,
// list or presentation, or a pause of more than 30 minutes without input; it
// ends with the window, with such a change, or at its last input before such
// a pause.
// Without a patient nothing is recorded.
//
// Another program holding the file (a second Skarvel, a backup tool) never
// freezes the window: what cannot be written at once waits here, in order,
// and is tried again every retry interval until it is written, each answer
// once and still one commit each. Closing tries once more, waiting longer.
// What waits is in memory only: a program killed meanwhile loses it, as it
// lost the answer to the held file before.
class trainingRecorder : public QObject
{
    Q_OBJECT

public:
    explicit trainingRecorder(QObject *parent = nullptr);

    // Records for this patient from now on; no store or id 0: for nobody.
    void setPatient(recordStore *store, qint64 patientId);
    const QString &group() const;
    const QString &wordList() const; // empty: the bundled list
    // An item still unanswered starts its clock again (after a dialog).
    void restartClock();
    void setIdleLimit(qint64 milliseconds);
    void setRetryInterval(int milliseconds);
    void setClosingWait(int milliseconds);
    int closingWait() const;
    // The right words of the answers waiting for the file, oldest first.
    QStringList waitingWords() const;
    // A deleted patient's answers are not written after all.
    void forget(qint64 patientId);
    // Gives up on every answer that waits: their right words.
    QStringList dropWaiting();
    // The trainings to come are done at home, from a homework file.
    void setAtHome(bool atHome);

public slots:
    void itemShown(const QStringList &words, int gameType, const QString &rightWord);
    void answerJudged(const QString &word, bool right);
    void itemCounted();
    void itemReplaced();
    void trainingChosen(int gameType, const QString &group, const QString &wordList);
    void setPresentation(int presentation);
    void closing();
    // Writes what waits; true when nothing waits any more.
    bool retryWaiting(int lockWait = recordStore::shortLockWait);

signals:
    void answerRecorded();
    void wordListChanged(); // the list of the trainings to come, see wordList()
    // Said once, and again only after a write has succeeded in between.
    void writeFailed(const QString &message);
    // How many answers wait for the file; 0 once all are written.
    void waitingChanged(int answers);
    // The window closes while answers still wait, after one more try.
    void closingWhileWaiting();

private:
    // An answer, or the end of a training (no right word), to be written.
    struct pending
    {
        trainingRecord training;
        answerRecord answer;
        QDateTime left;
    };

    void input();
    void endTraining(const QDateTime &ended);
    void enqueue(const pending &w);
    void announce();

    recordStore *store = nullptr;
    recordStore *file = nullptr; // where the waiting ones go
    QList<pending> waiting;
    QPair<QString, qint64> written; // the uid and id of the last training written to
    QTimer retryTimer;
    int m_closingWait = 3000;
    int announced = 0;
    trainingRecord training;
    answerRecord item;
    bool rightFound = false;
    QElapsedTimer clock;
    QDateTime lastInput;
    qint64 idleLimit = 30 * 60 * 1000;
    bool lastWriteFailed = false;
};

#endif // TRAININGRECORDER_H
