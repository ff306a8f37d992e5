#include "speech/speechengine.h"

#include <QCollator>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTextToSpeech>
#include <QVoice>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

// Qt's speech plugins report a missing daemon or voice on their own, in
// English and more than once; the trainer says it once, in the one line of
// wireSpeech. Their messages while the engine starts are dropped, on the
// starting thread only.
thread_local bool pluginMuted = false;
std::atomic<QtMessageHandler> unmutedHandler{nullptr};

void muteablePrint(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (pluginMuted && type != QtFatalMsg)
        return;
    // Another thread may log between our handler's installation and the
    // moment we learn the one it replaced.
    if (const QtMessageHandler handler = unmutedHandler.load())
        handler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

struct MutedPlugin
{
    MutedPlugin()
    {
        static std::once_flag installed;
        std::call_once(installed, [] { unmutedHandler = qInstallMessageHandler(muteablePrint); });
        pluginMuted = true;
    }
    ~MutedPlugin() { pluginMuted = false; }
};

// Where the build knows which Debian package brings what is missing, the
// reason says so; elsewhere it stands alone.
QString withPackage(const QString &reason, const char *package)
{
    return package[0] ? reason + QStringLiteral(" (Paket %1).").arg(QLatin1String(package))
                      : reason + QLatin1Char('.');
}

// espeak-ng offers every voice in some seventy variants ("German+Demonic",
// "German+whisper", robots): only the plain ones a patient can understand,
// named so that a therapist can tell them apart. Other engines' voices keep
// their own names.
QString plainVoiceName(const QString &name, const QSet<QString> &bases)
{
    if (!name.contains(QLatin1Char('+')))
        return bases.contains(name) ? speechEngine::tr("Standard") : name;
    static const QRegularExpression variant(QStringLiteral("^[mf]([1-4])$"));
    const QRegularExpressionMatch match = variant.match(name.section(QLatin1Char('+'), 1));
    if (!match.hasMatch())
        return QString();
    return name.section(QLatin1Char('+'), 1).startsWith(QLatin1Char('f'))
               ? speechEngine::tr("Weiblich %1").arg(match.captured(1))
               : speechEngine::tr("Männlich %1").arg(match.captured(1));
}

#ifndef SKARVEL_SPEECH_PLUGIN_PACKAGE
#define SKARVEL_SPEECH_PLUGIN_PACKAGE ""
#define SKARVEL_SPEECH_VOICE_PACKAGE ""
#endif

} // namespace

struct speechEngine::Voice
{
    QLocale locale;
    QVoice voice;
};

speechEngine::speechEngine(QObject *parent)
    : QObject(parent)
{
}

speechEngine::~speechEngine()
{
    delete m_engine;
}

bool speechEngine::installed()
{
    return !QTextToSpeech::availableEngines().isEmpty();
}

QString speechEngine::noEngineReason()
{
    return withPackage(tr("Keine Sprachausgabe gefunden"), SKARVEL_SPEECH_PLUGIN_PACKAGE);
}

QString speechEngine::brokenEngineReason()
{
    return withPackage(tr("Die Sprachausgabe startet nicht"), SKARVEL_SPEECH_VOICE_PACKAGE);
}

QString speechEngine::noGermanVoiceReason()
{
    return withPackage(tr("Keine deutsche Stimme gefunden"), SKARVEL_SPEECH_VOICE_PACKAGE);
}

void speechEngine::start(const QString &voice, int rate)
{
    if (m_engine)
        return;
    if (!installed()) {
        emit failed(noEngineReason());
        return;
    }
    const MutedPlugin muted;
    const auto fail = [this](const QString &reason) {
        delete m_engine;
        m_engine = nullptr;
        emit failed(reason);
    };
    m_engine = new QTextToSpeech(this);
    // Anything but ready (Qt 5's BackendError, Qt 6's Error) means the
    // engine could not be reached or has nothing to speak with.
    if (m_engine->state() != QTextToSpeech::Ready)
        return fail(brokenEngineReason());
    collectGermanVoices();
    if (m_voices.isEmpty())
        return fail(noGermanVoiceReason());
    connect(m_engine, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
        const bool speaking = state == QTextToSpeech::Speaking;
        if (speaking != m_speaking) {
            m_speaking = speaking;
            emit speakingChanged(speaking);
        }
    });
    setVoice(voice);
    setRate(rate);
    emit started(m_voiceOrder, m_voice);
}

void speechEngine::collectGermanVoices()
{
    // Germany's German first: its default voice becomes the trainer's.
    QList<QLocale> locales;
    for (const QLocale &locale : m_engine->availableLocales()) {
        if (locale.language() == QLocale::German)
            locales.insert(locale.name() == QLatin1String("de_DE") ? 0 : locales.size(), locale);
    }
    QString preferred;
    QList<QPair<QLocale, QVoice>> found;
    QSet<QString> bases;
    for (const QLocale &locale : locales) {
        m_engine->setLocale(locale);
        if (preferred.isEmpty())
            preferred = m_engine->voice().name();
        for (const QVoice &voice : m_engine->availableVoices()) {
            found.append({locale, voice});
            if (voice.name().contains(QLatin1Char('+')))
                bases.insert(voice.name().section(QLatin1Char('+'), 0, 0));
        }
    }
    for (const auto &[locale, voice] : qAsConst(found)) {
        const QString name = voice.name().isEmpty() ? QString() : plainVoiceName(voice.name(), bases);
        if (!name.isEmpty() && !m_voices.contains(name)) {
            m_voices.insert(name, Voice{locale, voice});
            m_engineNames.insert(voice.name(), name);
        }
    }
    if (m_voices.isEmpty())
        return;

    // The engine's own choice, except that Qt 5 takes the first voice of the
    // list, which with espeak-ng is a variant ("German+grandma") of the plain
    // voice ("German") that the engine itself would speak with.
    const QString base = preferred.section(QLatin1Char('+'), 0, 0);
    preferred = m_engineNames.value(bases.contains(base) ? base : preferred);
    if (!m_voices.contains(preferred))
        preferred = m_voices.firstKey();

    m_voiceOrder = m_voices.keys();
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(m_voiceOrder.begin(), m_voiceOrder.end(), collator);
    m_voiceOrder.removeOne(preferred);
    m_voiceOrder.prepend(preferred);
}

void speechEngine::setVoice(const QString &name)
{
    if (!m_engine)
        return;
    // A name stored before the voices were named plainly still chooses its voice.
    const QString plain = m_engineNames.value(name, name);
    const QString chosen = m_voices.contains(plain) ? plain : m_voiceOrder.value(0);
    const Voice &voice = m_voices[chosen];
    // Changing the locale makes Qt choose a voice of its own, and may reset
    // the rate: both are set again after it.
    const double rate = m_engine->rate();
    m_engine->setLocale(voice.locale);
    m_engine->setVoice(voice.voice);
    m_engine->setRate(rate);
    if (chosen != m_voice) {
        m_voice = chosen;
        emit voiceChanged(chosen);
    }
}

void speechEngine::setRate(int rate)
{
    if (m_engine)
        m_engine->setRate(qBound(-5, rate, 5) / 10.0);
}

void speechEngine::say(const QString &text)
{
    if (!m_engine)
        return;
    // Explicitly, not left to say(): Qt 5 only cancels when it has already
    // heard that the engine speaks, which it learns late, and then queues.
    m_engine->stop();
    m_engine->say(text);
}

void speechEngine::stop()
{
    if (m_engine)
        m_engine->stop();
}

void speechEngine::finish()
{
    stop();
    delete m_engine;
    m_engine = nullptr;
}
