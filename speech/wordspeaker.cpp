#include "speech/wordspeaker.h"

#include "speech/speechengine.h"

#include <QThread>

wordSpeaker::wordSpeaker(QObject *parent)
    : QObject(parent)
{
}

wordSpeaker::~wordSpeaker()
{
    if (!m_engine)
        return;
    if (m_thread) {
        // Blocking: a start still under way finishes first (the engine has
        // to be deleted on its own thread, and the thread must not be
        // destroyed while it runs). The window is already gone by now.
        QMetaObject::invokeMethod(m_engine, &speechEngine::finish, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
    } else {
        m_engine->finish();
    }
    delete m_engine;
}

wordSpeaker::Status wordSpeaker::status() const
{
    return m_status;
}

QString wordSpeaker::reason() const
{
    return m_reason;
}

QStringList wordSpeaker::voices() const
{
    return m_voices;
}

QString wordSpeaker::voice() const
{
    return m_voice;
}

bool wordSpeaker::isSpeaking() const
{
    return m_speaking;
}

QString wordSpeaker::text() const
{
    return m_text;
}

QString wordSpeaker::missingEngine()
{
    return speechEngine::installed() ? QString() : speechEngine::noEngineReason();
}

void wordSpeaker::start()
{
    if (m_status != Idle)
        return;
    m_status = Starting;
    m_engine = new speechEngine;
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
    // Windows' and macOS' engines live in the process and tell their progress
    // through the GUI thread's message loop; they start quickly and stay
    // there. Elsewhere the engine is speech-dispatcher, reached through a
    // library that blocks.
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("speech"));
    m_engine->moveToThread(m_thread);
    m_thread->start();
#endif
    connect(m_engine, &speechEngine::started, this, [this](const QStringList &voices, const QString &voice) {
        m_status = Ready;
        m_voices = voices;
        m_voice = voice;
        emit ready();
    });
    connect(m_engine, &speechEngine::failed, this, [this](const QString &reason) {
        m_status = Unavailable;
        m_reason = reason;
        emit unavailable(reason);
    });
    connect(m_engine, &speechEngine::voiceChanged, this, [this](const QString &voice) { m_voice = voice; });
    connect(m_engine, &speechEngine::speakingChanged, this, [this](bool speaking) {
        m_speaking = speaking;
        emit speakingChanged(speaking);
    });
    const QString voice = m_voice;
    const int rate = m_rate;
    toEngine([voice, rate](speechEngine *engine) { engine->start(voice, rate); });
}

void wordSpeaker::setVoice(const QString &name)
{
    if (!m_engine)
        m_voice = name;
    else
        toEngine([name](speechEngine *engine) { engine->setVoice(name); });
}

void wordSpeaker::setRate(int rate)
{
    m_rate = rate;
    if (m_engine)
        toEngine([rate](speechEngine *engine) { engine->setRate(rate); });
}

void wordSpeaker::say(const QString &text)
{
    if (m_status != Ready)
        return;
    m_text = text;
    toEngine([text](speechEngine *engine) { engine->say(text); });
}

void wordSpeaker::stop()
{
    if (m_status == Ready)
        toEngine([](speechEngine *engine) { engine->stop(); });
}

template<typename Call>
void wordSpeaker::toEngine(Call call)
{
    speechEngine *engine = m_engine;
    QMetaObject::invokeMethod(engine, [engine, call] { call(engine); }, Qt::QueuedConnection);
}
