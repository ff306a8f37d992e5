#include "records/sessiongoal.h"

#include "records/sessiondonedialog.h"
#include "records/sessiongoaldialog.h"
#include "settings/basepreferences.h"
#include "words/clock.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

#include <climits>
#include <utility>

namespace {

const char *const minutesKey = "sessionGoalMinutes";
const char *const wordsKey = "sessionGoalWords";

} // namespace

sessionGoal::sessionGoal(basePreferences &prefs, const trainerClock &clock, QWidget *window)
    : QObject(window)
    , prefs(prefs)
    , clock(clock)
    , window(window)
    , m_action(new QAction(tr("Sitzungsziel…"), this))
{
    m_action->setObjectName(QStringLiteral("actionSitzungsziel"));
    connect(m_action, &QAction::triggered, this, &sessionGoal::choose);
}

QAction *sessionGoal::action() const
{
    return m_action;
}

int sessionGoal::stored(const char *key) const
{
    return qMax(0, prefs.value(QLatin1String(key), 0).toInt());
}

int sessionGoal::goalMinutes() const
{
    return stored(minutesKey);
}

int sessionGoal::goalWords() const
{
    return goalMinutes() ? 0 : stored(wordsKey);
}

void sessionGoal::setGoal(int minutes, int words)
{
    // Only what changed: no goal chosen twice writes nothing.
    if (stored(minutesKey) != minutes)
        prefs.setValue(QLatin1String(minutesKey), minutes);
    if (stored(wordsKey) != words)
        prefs.setValue(QLatin1String(wordsKey), words);
    restart();
}

void sessionGoal::setEarlier(qint64 ms, int words, int rightWords)
{
    earlierMs = ms;
    earlierWords = words;
    earlierRight = rightWords;
    // A goal reached in an earlier run that day was told then.
    told = reached();
}

void sessionGoal::choose()
{
    sessionGoalDialog dialog(goalMinutes(), goalWords(), window);
    if (dialog.exec() == QDialog::Accepted && (dialog.minutes() != goalMinutes() || dialog.words() != goalWords()))
        setGoal(dialog.minutes(), dialog.words());
    emit summaryClosed();
}

void sessionGoal::restart()
{
    trainings.clear();
    words = 0;
    rightWords = 0;
    told = false;
    // The item on show belongs to the new session.
    shownAt = clock.elapsed();
    chosen = false;
}

void sessionGoal::itemShown(const QStringList &shown, int, const QString &rightWord)
{
    hasItem = !shown.isEmpty() && !rightWord.isEmpty();
    chosen = false;
    shownAt = clock.elapsed();
}

void sessionGoal::answerJudged(const QString &, bool right)
{
    if (std::exchange(chosen, true))
        return;
    firstRight = right;
    chosenAt = clock.elapsed();
}

void sessionGoal::trainingChosen(int gameType, const QString &group)
{
    // A new training, as the records count it: its first answer counts
    // its response time, not the pause since the last of the one before.
    const QString now = QString::number(gameType) + QLatin1Char('\n') + group;
    if (std::exchange(training, now) != now && !trainings.isEmpty() && !trainings.last().isEmpty())
        trainings.append(QVector<practiceTime::answerTime>());
}

void sessionGoal::itemCounted()
{
    if (!hasItem)
        return;
    hasItem = false;
    if (trainings.isEmpty())
        trainings.append(QVector<practiceTime::answerTime>());
    const qint64 now = clock.elapsed();
    trainings.last().append(practiceTime::answerTime{chosen ? chosenAt : now, chosen ? int(qMin<qint64>(chosenAt - shownAt, INT_MAX)) : -1});
    ++words;
    rightWords += chosen && firstRight;
    if (!told && reached()) {
        told = true;
        // After the window has shown the next item: the dialog is not
        // opened in the middle of its work.
        QTimer::singleShot(0, this, &sessionGoal::showSummary);
    }
}

bool sessionGoal::reached() const
{
    if (goalWords())
        return earlierWords + words >= goalWords();
    return goalMinutes() && practisedMs() >= goalMinutes() * qint64(60000);
}

qint64 sessionGoal::practisedMs() const
{
    qint64 ms = earlierMs;
    for (const auto &answers : trainings)
        ms += practiceTime::ofTraining(answers);
    return ms;
}

QString sessionGoal::summary() const
{
    const int minutes = int(practisedMs() / 60000);
    const int words = earlierWords + this->words;
    return tr("Geschafft für heute: %1, %2, %3 davon im 1. Versuch richtig")
        .arg(minutes == 0 ? tr("weniger als eine Minute") : minutes == 1 ? tr("1 Minute") : tr("%1 Minuten").arg(minutes),
             words == 1 ? tr("1 Wort") : tr("%1 Wörter").arg(words), QString::number(earlierRight + rightWords));
}

void sessionGoal::showSummary()
{
    sessionDoneDialog dialog(summary(), window);
    const bool stop = dialog.exec() == QDialog::Accepted;
    emit summaryClosed();
    if (stop)
        emit stopRequested();
}
