#ifndef CLOCK_H
#define CLOCK_H

#include <QDateTime>
#include <QtGlobal>

// Where the trainer learns the time: how long something has been on screen
// (a steady count that never goes back, whatever the wall clock does) and
// when something happened (the wall clock, in UTC). Tests hand in a clock
// they move by hand, so that nothing they check waits in real time.
class trainerClock
{
public:
    virtual ~trainerClock() = default;

    // Milliseconds since some fixed moment; differences are what count.
    virtual qint64 elapsed() const = 0;
    virtual QDateTime now() const = 0;

    // The computer's own clock.
    static const trainerClock &system();
};

#endif // CLOCK_H
