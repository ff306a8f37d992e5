#include "records/trainingrecorder.h"

#include <climits>
#include <utility>

trainingRecorder::trainingRecorder(QObject *parent)
    : QObject(parent)
{
    clock.start();
}

void trainingRecorder::setPatient(recordStore *store, qint64 patientId)
{
    endTraining(QDateTime::currentDateTimeUtc());
    this->store = patientId ? store : nullptr;
    training.patientId = patientId;
    lastWriteFailed = false;
    restartClock();
}

const QString &trainingRecorder::group() const
{
    return training.group;
}

const QString &trainingRecorder::wordList() const
{
    return training.wordList;
}

void trainingRecorder::restartClock()
{
    if (item.firstChoice.isEmpty())
        clock.restart();
}

void trainingRecorder::setIdleLimit(qint64 milliseconds)
{
    idleLimit = milliseconds;
}

void trainingRecorder::itemShown(const QStringList &words, int, const QString &rightWord)
{
    item = answerRecord();
    item.shownWords = words;
    item.rightWord = rightWord;
    rightFound = false;
    clock.restart();
}

void trainingRecorder::answerJudged(const QString &word, bool right)
{
    input();
    if (item.firstChoice.isEmpty()) {
        item.at = lastInput;
        item.firstChoice = word;
        item.firstAttemptRight = right;
        item.responseMs = int(qMin<qint64>(clock.elapsed(), INT_MAX));
    }
    // Clicks after the right word are no attempts any more.
    if (!rightFound)
        ++item.attempts;
    rightFound = rightFound || right;
}

void trainingRecorder::itemCounted()
{
    input();
    // An item without words (a list that cannot give one) is no answer.
    if (!store || item.rightWord.isEmpty())
        return;
    if (item.firstChoice.isEmpty())
        item.at = lastInput;
    if (store->recordAnswer(training, item, lastInput)) {
        lastWriteFailed = false;
        emit answerRecorded();
    } else if (!std::exchange(lastWriteFailed, true)) {
        emit writeFailed(store->takeNotice());
    }
}

void trainingRecorder::itemReplaced()
{
    input();
}

void trainingRecorder::trainingChosen(int gameType, const QString &group, const QString &wordList)
{
    input();
    if (gameType == training.gameType && group == training.group && wordList == training.wordList)
        return;
    endTraining(lastInput);
    training.gameType = gameType;
    training.group = group;
    if (std::exchange(training.wordList, wordList) != wordList)
        emit wordListChanged();
}

void trainingRecorder::setPresentation(int presentation)
{
    input();
    // Words read and words heard are not one training: the Verlauf compares
    // them.
    if (presentation == training.presentation)
        return;
    endTraining(lastInput);
    training.presentation = presentation;
}

void trainingRecorder::closing()
{
    endTraining(QDateTime::currentDateTimeUtc());
}

void trainingRecorder::input()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Wall-clock time, not a monotonic clock: a pause while the computer
    // sleeps is a pause too.
    if (lastInput.isValid() && lastInput.msecsTo(now) > idleLimit)
        endTraining(lastInput);
    lastInput = now;
}

void trainingRecorder::endTraining(const QDateTime &ended)
{
    if (store && training.id) {
        const QDateTime end = lastInput.isValid() && lastInput.msecsTo(ended) > idleLimit ? lastInput : ended;
        if (!store->endTraining(training, end) && !std::exchange(lastWriteFailed, true))
            emit writeFailed(store->takeNotice());
    }
    training.id = 0;
    training.uid.clear(); // the next training is another one
}
