#ifndef WORDSPEAKER_H
#define WORDSPEAKER_H

#include <QObject>
#include <QString>
#include <QStringList>

class QThread;
class speechEngine;

// Speaks German words through the platform's speech engine (Qt TextToSpeech).
//
// Creating the engine can take seconds: on Linux it spawns speech-dispatcher,
// which then lists every voice it has, and QTextToSpeech's constructor waits
// for all of it. So nothing starts with the object; start() brings the
// engine up on a thread of its own, and ready() or unavailable() tells how
// it went. Every call afterwards is handed to that thread, so no call here
// ever waits for the engine.
class wordSpeaker : public QObject
{
    Q_OBJECT

public:
    enum Status { Idle, Starting, Ready, Unavailable };

    explicit wordSpeaker(QObject *parent = nullptr);
    ~wordSpeaker() override;

    Status status() const;
    QString reason() const; // why it is Unavailable, in one line
    // The German voices, the default first; empty until Ready.
    QStringList voices() const;
    QString voice() const;
    bool isSpeaking() const;
    // What it was last asked to say.
    QString text() const;
    // Why no engine can start, found without starting one; empty when there
    // is one to try.
    static QString missingEngine();

public slots:
    void start();
    // Take effect at once, or with the start. An unknown voice means the
    // engine's default German voice.
    void setVoice(const QString &name);
    void setRate(int rate); // -5 slow .. 5 fast, 0 normal
    // Cuts off what is being spoken; nothing is said before Ready.
    void say(const QString &text);
    void stop();

signals:
    void ready();
    void unavailable(const QString &reason);
    void speakingChanged(bool speaking);

private:
    template<typename Call>
    void toEngine(Call call);

    speechEngine *m_engine = nullptr;
    QThread *m_thread = nullptr;
    Status m_status = Idle;
    QString m_reason;
    QStringList m_voices;
    QString m_voice;
    int m_rate = 0;
    bool m_speaking = false;
    QString m_text;
};

#endif // WORDSPEAKER_H
