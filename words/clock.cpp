#include "words/clock.h"

#include <QElapsedTimer>

namespace {

class systemClock : public trainerClock
{
public:
    systemClock() { timer.start(); }
    qint64 elapsed() const override { return timer.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }

private:
    QElapsedTimer timer;
};

} // namespace

const trainerClock &trainerClock::system()
{
    static const systemClock clock;
    return clock;
}
