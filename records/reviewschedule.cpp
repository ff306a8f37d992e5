#include "records/reviewschedule.h"

namespace reviewSchedule {

state of(const QVector<firstAttempt> &attempts)
{
    state word;
    for (const firstAttempt &attempt : attempts) {
        if (!attempt.right) {
            word = {true, attempt.day.addDays(1), 0};
        } else if (word.inReview && attempt.day >= word.due) {
            ++word.rightDays;
            word.due = attempt.day.addDays(qint64(1) << word.rightDays);
            if (word.rightDays >= rightDaysToLearn)
                word = state();
        }
    }
    return word;
}

bool isDue(const state &word, const QDate &today)
{
    return word.inReview && today >= word.due;
}

} // namespace reviewSchedule
