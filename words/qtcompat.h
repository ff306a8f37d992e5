#ifndef QTCOMPAT_H
#define QTCOMPAT_H

// Every difference between the Qt versions we build against lives here.
//
// The random numbers: the whole program draws from one sequence, seeded once
// by the word store; a test that seeds it again on the GUI thread fixes every
// later draw. On Qt 5 that sequence is qsrand()/qrand() itself, so a plain
// qsrand(seed) in a test has the same effect as QtCompat::seedRandom(seed).

#include <QTextStream>
#include <QtGlobal>

namespace QtCompat {

QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED

inline void seedRandom(uint seed)
{
    qsrand(seed);
}

// A value in 0 .. RAND_MAX, never negative.
inline int nextRandom()
{
    return qrand();
}

QT_WARNING_POP

inline void setUtf8(QTextStream &stream)
{
    stream.setCodec("UTF-8");
}

} // namespace QtCompat

#endif // QTCOMPAT_H
