#include "records/practicetime.h"

#include <QMap>

#include <utility>

namespace practiceTime {

qint64 ofTraining(const QVector<answerTime> &answers)
{
    // A clock set back between two answers makes a negative gap: none.
    const auto capped = [](qint64 ms) { return qBound<qint64>(0, ms, longestPauseMs); };
    qint64 sum = 0;
    for (int i = 0; i < answers.size(); ++i)
        sum += capped(i ? answers.at(i).atMs - answers.at(i - 1).atMs : qMax(0, answers.at(i).responseMs));
    return sum;
}

QList<practiceSum> byWeek(const QList<practiceSum> &days)
{
    QMap<QDate, practiceSum> weeks;
    for (const practiceSum &day : days) {
        const QDate monday = day.day.addDays(1 - day.day.dayOfWeek());
        practiceSum &week = weeks[monday];
        week.day = monday;
        week.roomMs += day.roomMs;
        week.homeMs += day.homeMs;
    }
    QList<practiceSum> list;
    for (const practiceSum &week : std::as_const(weeks)) {
        while (!list.isEmpty() && list.last().day.addDays(7) < week.day)
            list.append({list.last().day.addDays(7), 0, 0});
        list.append(week);
    }
    return list;
}

} // namespace practiceTime
