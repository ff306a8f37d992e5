#ifndef TRAININGRECORDER_H
#define TRAININGRECORDER_H

#include "records/recordstore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

// Turns what the training window announces into rows: one answer for every
// item left by "Weiter" or the delay, committed at once. A training begins
// with the first answer after the start, a change of patient, type, group,
// list or presentation, or a pause of more than 30 minutes without input; it
// ends with the window, with such a change, or at its last input before such
// a pause.
// Without a patient nothing is recorded.
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

public slots:
    void itemShown(const QStringList &words, int gameType, const QString &rightWord);
    void answerJudged(const QString &word, bool right);
    void itemCounted();
    void itemReplaced();
    void trainingChosen(int gameType, const QString &group, const QString &wordList);
    void setPresentation(int presentation);
    void closing();

signals:
    void answerRecorded();
    void wordListChanged(); // the list of the trainings to come, see wordList()
    // Said once, and again only after a write has succeeded in between.
    void writeFailed(const QString &message);

private:
    void input();
    void endTraining(const QDateTime &ended);

    recordStore *store = nullptr;
    trainingRecord training;
    answerRecord item;
    bool rightFound = false;
    QElapsedTimer clock;
    QDateTime lastInput;
    qint64 idleLimit = 30 * 60 * 1000;
    bool lastWriteFailed = false;
};

#endif // TRAININGRECORDER_H
