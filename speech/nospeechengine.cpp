#include "speech/speechengine.h"

// The engine of a build without Qt's TextToSpeech: the Windows build, since
// Qt 5 brings no Windows voice engine for MinGW. Every start fails with the
// reason, which the group "Vorlesen" shows in place of the voices.

struct speechEngine::Voice
{
};

speechEngine::speechEngine(QObject *parent)
    : QObject(parent)
{
}

speechEngine::~speechEngine() = default;

bool speechEngine::installed()
{
    return false;
}

QString speechEngine::noEngineReason()
{
    return tr("Die Windows-Ausgabe von Skarvel kann noch nicht vorlesen: ihr fehlt die Anbindung an "
              "die Stimmen von Windows.");
}

QString speechEngine::brokenEngineReason()
{
    return noEngineReason();
}

QString speechEngine::noGermanVoiceReason()
{
    return noEngineReason();
}

void speechEngine::start(const QString &, int)
{
    emit failed(noEngineReason());
}

void speechEngine::setVoice(const QString &)
{
}

void speechEngine::setRate(int)
{
}

void speechEngine::say(const QString &)
{
}

void speechEngine::stop()
{
}

void speechEngine::finish()
{
}
