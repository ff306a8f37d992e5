#ifndef SPEECHENGINE_H
#define SPEECHENGINE_H

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class QTextToSpeech;

// The platform's speech engine with its German voices, for wordSpeaker only.
// It may live on a thread of its own: every slot is meant to be called
// queued, and every answer comes back as a signal.
class speechEngine : public QObject
{
    Q_OBJECT

public:
    explicit speechEngine(QObject *parent = nullptr);
    ~speechEngine() override;

    // Whether Qt has an engine plugin at all; asks no engine.
    static bool installed();
    // The one-line reasons for a trainer that stays silent.
    static QString noEngineReason();
    static QString brokenEngineReason();
    static QString noGermanVoiceReason();

public slots:
    // Creates the engine, which may take seconds (speech-dispatcher is
    // spawned and lists every voice it has); started() or failed() follows.
    void start(const QString &voice, int rate);
    // An unknown name means the default German voice.
    void setVoice(const QString &name);
    void setRate(int rate); // -5 slow .. 5 fast
    // Cuts off what is being spoken.
    void say(const QString &text);
    void stop();
    // Silences and deletes the engine, then ends the thread it runs on.
    void finish();

signals:
    // voices: the German voice names, the default first.
    void started(const QStringList &voices, const QString &voice);
    void failed(const QString &reason);
    void voiceChanged(const QString &voice);
    void speakingChanged(bool speaking);

private:
    // Defined where Qt's speech classes are: a build without them has no voices.
    struct Voice;

    void collectGermanVoices();

    QTextToSpeech *m_engine = nullptr;
    QMap<QString, Voice> m_voices; // by the name the trainer shows
    QMap<QString, QString> m_engineNames; // the engine's name -> the one shown
    QStringList m_voiceOrder;
    QString m_voice;
    bool m_speaking = false;
};

#endif // SPEECHENGINE_H
