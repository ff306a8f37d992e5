#ifndef QTCOMPAT_H
#define QTCOMPAT_H

// Every difference between the Qt versions we build against lives here.
//
// The random numbers: the whole program draws from one sequence, seeded once
// by the word store; a test that seeds it again on the GUI thread fixes every
// later draw. On Qt 5 that sequence is qsrand()/qrand() itself; Qt 6 has
// neither, so it gets a generator of its own. The two yield different values
// for the same seed, so tests seed through seedRandom and never rely on the
// values themselves.

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPixmap>
#include <QSettings>
#include <QTextStream>
#include <QtGlobal>

#include <cstdlib>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QRandomGenerator>
#include <QStringConverter>
#include <QStringDecoder>
#else
#include <QTextCodec>
#endif

namespace QtCompat {

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)

namespace detail {
// Not QRandomGenerator::global(): that one cannot be seeded. One instance
// for the whole program, as qrand's was for the GUI thread.
inline QRandomGenerator &generator()
{
    static QRandomGenerator instance;
    return instance;
}
} // namespace detail

inline void seedRandom(uint seed)
{
    detail::generator().seed(seed);
}

// A value in 0 .. RAND_MAX, never negative.
inline int nextRandom()
{
    return int(detail::generator().bounded(quint32(RAND_MAX) + 1u));
}

inline void setUtf8(QTextStream &stream)
{
    stream.setEncoding(QStringConverter::Utf8);
}

// Qt 6 reads and writes INI files as UTF-8 and offers no other choice.
inline void setUtf8(QSettings &)
{
}

// One line of a document as UTF-8: false for bytes that are no UTF-8. A byte
// order mark is kept as a character; only the caller knows whether it opens
// the document.
inline bool decodeUtf8(const char *bytes, int size, QString &text)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    text = decoder.decode(QByteArrayView(bytes, size));
    return !decoder.hasError();
}

// Windows-1252, by its ICU name: Qt 6 has no codec of its own for it, and
// without ICU this is false. Its five undefined bytes come out as C1
// controls, as on Qt 5.
inline bool decodeWindows1252(const char *bytes, int size, QString &text)
{
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    text = decoder.decode(QByteArrayView(bytes, size));
    return !decoder.hasError();
}

#else

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

// Without it Qt 5 takes a hand-typed "ö" for two Latin-1 characters and
// writes them back escaped, changing a value nobody touched. Sections are
// parsed only when first used, so it still applies right after construction.
inline void setUtf8(QSettings &settings)
{
    settings.setIniCodec("UTF-8");
}

// One line of a document as UTF-8: false for bytes that are no UTF-8. A byte
// order mark is kept as a character; only the caller knows whether it opens
// the document.
inline bool decodeUtf8(const char *bytes, int size, QString &text)
{
    static QTextCodec *const codec = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    text = codec->toUnicode(bytes, size, &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// Windows-1252. Its five undefined bytes come out as C1 controls.
inline bool decodeWindows1252(const char *bytes, int size, QString &text)
{
    static QTextCodec *const codec = QTextCodec::codecForName("windows-1252");
    if (!codec)
        return false;
    QTextCodec::ConverterState state;
    text = codec->toUnicode(bytes, size, &state);
    return state.invalidChars == 0;
}

#endif

// Crisp on screens scaled by two: Qt 6 scales by itself, Qt 5 only when told
// before the application object exists (pictures then come in @2x as well).
inline void enableHighDpi()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
}

// Where Qt's own translations are installed.
inline QString translationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// A label's picture: a pointer on Qt 5, a value on Qt 6.
template<typename Label>
QPixmap labelPixmap(const Label &label)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return label.pixmap();
#else
    return label.pixmap(Qt::ReturnByValue);
#endif
}

// The chart classes: in a namespace of their own on Qt 5, in the global one
// on Qt 6. A file that draws charts says `using namespace QtCompat::Charts;`.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
} // namespace QtCompat
namespace QtCharts {
}
namespace QtCompat {
namespace Charts {
using namespace ::QtCharts;
}
#else
namespace Charts {
}
#endif

} // namespace QtCompat

#endif // QTCOMPAT_H
