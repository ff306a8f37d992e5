#include "records/trainingrecorder.h"

#include <QUuid>

#include <climits>
#include <utility>

trainingRecorder::trainingRecorder(QObject *parent)
    : QObject(parent)
{
    clock.start();
    retryTimer.setInterval(1000);
    connect(&retryTimer, &QTimer::timeout, this, [this] { retryWaiting(); });
}

void trainingRecorder::setPatient(recordStore *store, qint64 patientId)
{
    endTraining(QDateTime::currentDateTimeUtc());
    this->store = patientId ? store : nullptr;
    if (this->store)
        file = store;
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

void trainingRecorder::setRetryInterval(int milliseconds)
{
    retryTimer.setInterval(milliseconds);
}

void trainingRecorder::setClosingWait(int milliseconds)
{
    m_closingWait = milliseconds;
}

int trainingRecorder::closingWait() const
{
    return m_closingWait;
}

QStringList trainingRecorder::waitingWords() const
{
    QStringList words;
    for (const pending &w : waiting) {
        if (!w.answer.rightWord.isEmpty())
            words.append(w.answer.rightWord);
    }
    return words;
}

void trainingRecorder::forget(qint64 patientId)
{
    for (int i = waiting.size() - 1; i >= 0; --i) {
        if (waiting.at(i).training.patientId == patientId)
            waiting.removeAt(i);
    }
    retryWaiting();
}

QStringList trainingRecorder::dropWaiting()
{
    const QStringList words = waitingWords();
    waiting.clear();
    retryWaiting();
    return words;
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

void trainingRecorder::setAtHome(bool atHome)
{
    training.atHome = atHome;
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
    // Made here, not by the store: answers that wait for the file still
    // belong to one training.
    if (training.uid.isEmpty())
        training.uid = QUuid::createUuid().toString(QUuid::Id128);
    enqueue({training, item, lastInput});
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
    // The window is going: waiting a few seconds longer is better than
    // losing the answers.
    if (!waiting.isEmpty() && !retryWaiting(m_closingWait) && !waitingWords().isEmpty())
        emit closingWhileWaiting();
}

bool trainingRecorder::retryWaiting(int lockWait)
{
    if (!file)
        return waiting.isEmpty();
    if (lockWait != recordStore::shortLockWait)
        file->setLockWait(lockWait);
    while (!waiting.isEmpty()) {
        pending &w = waiting.first();
        // The training began with an answer that waited before this one.
        if (!w.training.id && w.training.uid == written.first)
            w.training.id = written.second;
        const bool answer = !w.answer.rightWord.isEmpty();
        const bool ok = answer ? file->recordAnswer(w.training, w.answer, w.left) : file->endTraining(w.training, w.left);
        if (!ok && file->wasLocked()) {
            file->takeNotice(); // said in the window's quiet line instead
            break;
        }
        if (ok)
            written = {w.training.uid, w.training.id};
        waiting.removeFirst();
        // Any other fault is said once, as before; that answer is lost.
        if (ok)
            lastWriteFailed = false;
        const QString notice = file->takeNotice();
        if (!ok && !std::exchange(lastWriteFailed, true))
            emit writeFailed(notice);
        if (ok && answer)
            emit answerRecorded();
    }
    if (lockWait != recordStore::shortLockWait)
        file->setLockWait(recordStore::shortLockWait);
    if (waiting.isEmpty())
        retryTimer.stop();
    else if (!retryTimer.isActive())
        retryTimer.start();
    announce();
    return waiting.isEmpty();
}

void trainingRecorder::announce()
{
    if (std::exchange(announced, int(waiting.size())) != waiting.size())
        emit waitingChanged(waiting.size());
}

void trainingRecorder::enqueue(const pending &w)
{
    waiting.append(w);
    // Behind others that wait, it waits too: the order stays.
    if (waiting.size() == 1)
        retryWaiting();
    else
        announce();
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
    // An answer counted, written or waiting, began the training.
    if (store && !training.uid.isEmpty()) {
        const QDateTime end = lastInput.isValid() && lastInput.msecsTo(ended) > idleLimit ? lastInput : ended;
        enqueue({training, answerRecord(), end});
    }
    training.id = 0;
    training.uid.clear(); // the next training is another one
}
