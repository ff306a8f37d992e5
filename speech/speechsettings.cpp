#include "speech/speechsettings.h"

#include "settings/basepreferences.h"

#include <QVariant>

namespace {

const QString speakWordsKey = QStringLiteral("speakWords");
const QString voiceKey = QStringLiteral("speechVoice");
const QString rateKey = QStringLiteral("speechRate");

} // namespace

speechSettings::speechSettings(basePreferences &prefs)
    : prefs(prefs)
{
}

bool speechSettings::speakWords() const
{
    // Only the two words QSettings writes: "1", "yes" or "wahr" are no
    // choice the trainer ever stored.
    return prefs.value(speakWordsKey).toString() == QLatin1String("true");
}

QString speechSettings::voice() const
{
    const QVariant value = prefs.value(voiceKey);
    return value.canConvert<QString>() ? value.toString() : QString();
}

int speechSettings::rate() const
{
    bool ok = false;
    const int rate = prefs.value(rateKey).toString().toInt(&ok);
    return ok && rate >= -5 && rate <= 5 ? rate : 0;
}

void speechSettings::setSpeakWords(bool on)
{
    prefs.setValue(speakWordsKey, on);
}

void speechSettings::setVoice(const QString &name)
{
    prefs.setValue(voiceKey, name);
}

void speechSettings::setRate(int rate)
{
    prefs.setValue(rateKey, rate);
}
