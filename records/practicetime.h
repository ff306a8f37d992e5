#ifndef PRACTICETIME_H
#define PRACTICETIME_H

#include <QDate>
#include <QList>
#include <QVector>
#include <QtGlobal>

// How long the window was in use, counted from the answers alone, the same
// way wherever a practice time is shown: a training's first answer counts
// its response time, every further answer the time since the answer
// before. A pause longer than longestPauseMs counts as longestPauseMs: the
// patient had stopped, and the window standing open meanwhile is no
// practice.
namespace practiceTime {

const qint64 longestPauseMs = 2 * 60 * 1000;

struct answerTime
{
    qint64 atMs = 0;      // the moment of the answer, on any steady scale
    int responseMs = -1;  // showing to first choice; -1: left without one
};

// The answers of one training in the order they were given.
qint64 ofTraining(const QVector<answerTime> &answers);

// The practice of one day or one week (the week by its Monday), in the
// practice and at home.
struct practiceSum
{
    QDate day;
    qint64 roomMs = 0;
    qint64 homeMs = 0;
};

// Days summed into weeks, Monday to Sunday; weeks without practice between
// two with practice are there with none, so a gap shows.
QList<practiceSum> byWeek(const QList<practiceSum> &days);

} // namespace practiceTime

#endif // PRACTICETIME_H
