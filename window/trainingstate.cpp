#include "window/trainingstate.h"

#include "words/clock.h"

#include <utility>

trainingState::trainingState(const trainerClock &clock)
    : m_clock(clock)
    , shownAt(m_clock.elapsed())
{
}

void trainingState::show(const QStringList &words, int gameType, const QString &rightWord)
{
    m_words = words;
    m_gameType = gameType;
    m_rightWord = rightWord;
    shownAt = m_clock.elapsed();
    m_firstAttempt = true;
    // A replaced item takes its credit with it: a right answer counts only
    // together with its own item.
    creditPending = false;
}

bool trainingState::judge(const QString &word)
{
    // An item on show, even of an empty entry line, judges like any other.
    const bool right = !m_words.isEmpty() && word == m_rightWord;
    creditPending = creditPending || (right && m_firstAttempt);
    m_firstAttempt = false;
    return right;
}

void trainingState::count()
{
    m_rightWords += std::exchange(creditPending, false);
    ++m_doneWords;
}

void trainingState::restartCount()
{
    m_rightWords = 0;
    m_doneWords = 0;
}

bool trainingState::seen() const
{
    return m_clock.elapsed() - shownAt >= seenMs;
}

const QStringList &trainingState::words() const
{
    return m_words;
}

int trainingState::gameType() const
{
    return m_gameType;
}

const QString &trainingState::rightWord() const
{
    return m_rightWord;
}

bool trainingState::firstAttempt() const
{
    return m_firstAttempt;
}

int trainingState::rightWords() const
{
    return m_rightWords;
}

int trainingState::doneWords() const
{
    return m_doneWords;
}

QString trainingState::counts() const
{
    const int divisor = m_doneWords >= 1 ? m_doneWords : 1;
    const int percent = static_cast<int>(static_cast<double>(m_rightWords) / divisor * 100.0);
    return QStringLiteral("%1 von %2  (%3%)").arg(QString::number(m_rightWords), QString::number(m_doneWords),
                                                  QString::number(percent));
}

const trainerClock &trainingState::clock() const
{
    return m_clock;
}
