#ifndef SPEECHSETTINGS_H
#define SPEECHSETTINGS_H

#include <QString>

class basePreferences;

// The settings of spoken words in the settings store: "speakWords" (true or
// false, absent = false), "speechVoice" (a voice's name, absent = the
// engine's default German voice) and "speechRate" (a whole number from -5
// to 5, absent = 0). A damaged value reads as the default and stays in the
// file until the user changes the setting.
class speechSettings
{
public:
    explicit speechSettings(basePreferences &prefs);

    bool speakWords() const;
    QString voice() const;
    int rate() const;

    void setSpeakWords(bool on);
    void setVoice(const QString &name);
    void setRate(int rate);

private:
    basePreferences &prefs;
};

#endif // SPEECHSETTINGS_H
