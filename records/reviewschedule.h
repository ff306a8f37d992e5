#ifndef REVIEWSCHEDULE_H
#define REVIEWSCHEDULE_H

#include <QDate>
#include <QVector>

// When a word missed at the first attempt comes back. A wrong first attempt
// makes it due the next day. A right one on a day it is due counts, and the
// next is due twice as many days later as the last: one, two, four days.
// Right at the first attempt on three such days, it is learnt and comes back
// only when it is missed again. A right answer before it is due, or a second
// on one day, moves nothing; a wrong one starts over.
namespace reviewSchedule {

const int rightDaysToLearn = 3;

struct firstAttempt
{
    QDate day;
    bool right = false;
};

struct state
{
    bool inReview = false; // missed, and not learnt since
    QDate due;             // valid while in review
    int rightDays = 0;     // counted since the last miss
};

// The first attempts at one word, oldest first.
state of(const QVector<firstAttempt> &attempts);
bool isDue(const state &word, const QDate &today);

} // namespace reviewSchedule

#endif // REVIEWSCHEDULE_H
