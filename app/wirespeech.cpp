#include "app/capabilities.h"
#include "dialogs/einstellungen.h"
#include "settings/preferences.h"
#include "speech/speechsettings.h"
#include "speech/wordspeaker.h"
#include "window/gamethreewords.h"

#include <QPointer>
#include <QTimer>
#include <QWindow>


namespace {

// "Falschwörter": the right word alone, since its misspellings sound the
// same and would give the answer away. "gruppenfremde Wörter": the three
// words in button order, a sentence's pause between them.
QString spokenItem(const trainingState &item)
{
    if (item.gameType() == 0)
        return item.rightWord();
    if (item.gameType() != 1)
        return QString();
    QStringList spoken = item.words();
    spoken.removeAll(QString());
    return spoken.isEmpty() ? QString() : spoken.join(QStringLiteral(". ")) + QLatin1Char('.');
}

// Starts the speaker once its native window is first exposed: after the
// map, which the start-up benchmark waits for, and after the first paint.
class exposeWatcher : public QObject
{
public:
    exposeWatcher(QWindow *window, wordSpeaker *speaker)
        : QObject(window), speaker(speaker)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            // Queued: the window paints in answer to this very event.
            if (speaker)
                QTimer::singleShot(0, speaker, &wordSpeaker::start);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<wordSpeaker> speaker;
};

void startWhenShown(gameThreeWords &window, wordSpeaker *speaker)
{
    // A zero timer runs once the event loop does, which main starts only
    // after showing the window; its native window exists from then on.
    QTimer::singleShot(0, speaker, [&window, speaker] {
        QWindow *native = window.windowHandle();
        if (native && !native->isExposed())
            new exposeWatcher(native, speaker);
        else
            speaker->start();
    });
}

wordSpeaker *speakerOf(gameThreeWords &window)
{
    return window.findChild<wordSpeaker *>(QString(), Qt::FindDirectChildrenOnly);
}

bool listens(preferences &prefs)
{
    return preferences::speaksRightWord(prefs.presentation());
}

// Where no open dialog says why the speaker is silent, the window does.
void tellInWindow(gameThreeWords &window, wordSpeaker *speaker)
{
    QObject::connect(speaker, &wordSpeaker::unavailable, &window, &gameThreeWords::tellOnce, Qt::UniqueConnection);
}

void sayIfAny(wordSpeaker *speaker, const QString &text)
{
    if (!text.isEmpty())
        speaker->say(text);
}

// Made the first time speech is on, at the start or from the settings
// dialog; until then nothing of speech exists. The engine is started by the
// caller, once the window shows.
wordSpeaker *createSpeaker(gameThreeWords &window, preferences &prefs)
{
    auto *speaker = new wordSpeaker(&window);
    const speechSettings settings(prefs);
    speaker->setVoice(settings.voice());
    speaker->setRate(settings.rate());

    // The item is read from the window at each event: its first one was
    // shown before anyone listened, and a type or patient change replaces it.
    const trainingState &item = window.training();

    // Read at each event, so that switching speech off in the dialog
    // silences the trainer at once.
    auto on = [&prefs] { return speechSettings(prefs).speakWords(); };
    // "Hören": the right word alone, whatever "Wörter vorlesen" says; the
    // patient hears it and finds it among the written ones.
    auto listening = [&prefs] { return listens(prefs); };
    auto itemText = [&item, on, listening] {
        return listening() ? item.rightWord() : on() ? spokenItem(item) : QString();
    };

    QObject::connect(speaker, &wordSpeaker::ready, speaker, [&window, speaker, &item, on, listening, itemText] {
        window.setRepeatOffered(on() || listening());
        if (item.firstAttempt())
            sayIfAny(speaker, itemText());
    });
    QObject::connect(speaker, &wordSpeaker::unavailable, speaker, [](const QString &reason) {
        qWarning("Wörter vorlesen: %s", qUtf8Printable(reason));
    });

    QObject::connect(&window, &gameThreeWords::itemShown, speaker, [speaker, itemText] {
        sayIfAny(speaker, itemText());
    });
    QObject::connect(&window, &gameThreeWords::answerJudged, speaker, [speaker, on](const QString &, bool right) {
        if (on())
            speaker->say(right ? QStringLiteral("Richtig") : QStringLiteral("Falsch"));
    });
    QObject::connect(&window, &gameThreeWords::repeatRequested, speaker, [speaker, itemText] {
        sayIfAny(speaker, itemText());
    });
    QObject::connect(&window, &gameThreeWords::wordLingered, speaker, [speaker, &item, on](const QString &word) {
        if (on() && item.gameType() == 1)
            sayIfAny(speaker, word);
    });
    // A new item (itemShown follows) or the end of the window: what is
    // still being said belongs to what is gone.
    QObject::connect(&window, &gameThreeWords::itemReplaced, speaker, &wordSpeaker::stop);
    QObject::connect(&window, &gameThreeWords::itemCounted, speaker, &wordSpeaker::stop);
    QObject::connect(&window, &gameThreeWords::closing, speaker, &wordSpeaker::stop);
    return speaker;
}

// The group "Vorlesen" as far as the speaker has come.
void showSpeaker(einstellungen *dialog, wordSpeaker *speaker)
{
    const wordSpeaker::Status status = speaker ? speaker->status() : wordSpeaker::Idle;
    if (status == wordSpeaker::Ready) {
        dialog->setSpeechVoices(speaker->voices(), speaker->voice());
        dialog->setSpeechNote(QString());
    } else if (status == wordSpeaker::Unavailable) {
        dialog->setSpeechNote(speaker->reason(), false);
    } else if (status == wordSpeaker::Starting) {
        dialog->setSpeechNote(einstellungen::tr("Die Sprachausgabe startet …"));
    } else if (!wordSpeaker::missingEngine().isEmpty()) {
        dialog->setSpeechNote(wordSpeaker::missingEngine(), false);
    }
}

void followSpeaker(einstellungen *dialog, wordSpeaker *speaker)
{
    showSpeaker(dialog, speaker);
    if (!speaker)
        return;
    QObject::connect(speaker, &wordSpeaker::ready, dialog, [dialog, speaker] { showSpeaker(dialog, speaker); });
    QObject::connect(speaker, &wordSpeaker::unavailable, dialog, [dialog, speaker] { showSpeaker(dialog, speaker); });
}

void fillSettingsDialog(gameThreeWords &window, preferences &prefs, einstellungen *dialog)
{
    // Preset before connecting, so that opening the dialog writes nothing:
    // a damaged value stays in the file until the user changes it.
    const speechSettings settings(prefs);
    dialog->setSpeakWords(settings.speakWords());
    dialog->setSpeechRate(settings.rate());
    followSpeaker(dialog, speakerOf(window));

    QObject::connect(dialog, &einstellungen::speakWordsChanged, dialog, [&window, &prefs, dialog](bool on) {
        speechSettings(prefs).setSpeakWords(on);
        wordSpeaker *speaker = speakerOf(window);
        if (on && !speaker) {
            speaker = createSpeaker(window, prefs);
            speaker->start();
            followSpeaker(dialog, speaker);
        }
        if (!speaker)
            return;
        if (!on && !listens(prefs))
            speaker->stop();
        window.setRepeatOffered((on || listens(prefs)) && speaker->status() == wordSpeaker::Ready);
    });
    QObject::connect(dialog, &einstellungen::speechVoiceChanged, dialog, [&window, &prefs](const QString &name) {
        speechSettings(prefs).setVoice(name);
        if (wordSpeaker *speaker = speakerOf(window))
            speaker->setVoice(name);
    });
    QObject::connect(dialog, &einstellungen::speechRateChanged, dialog, [&window, &prefs](int rate) {
        speechSettings(prefs).setRate(rate);
        if (wordSpeaker *speaker = speakerOf(window))
            speaker->setRate(rate);
    });
    QObject::connect(dialog, &einstellungen::speechProbeRequested, dialog, [&window] {
        if (wordSpeaker *speaker = speakerOf(window))
            speaker->say(einstellungen::tr("Welches Wort ist richtig?"));
    });
}

} // namespace

void wireSpeech(gameThreeWords &window, preferences &prefs)
{
    if (speechSettings(prefs).speakWords() || listens(prefs)) {
        // Switched on in an earlier run.
        wordSpeaker *speaker = createSpeaker(window, prefs);
        tellInWindow(window, speaker);
        startWhenShown(window, speaker);
    }
    QObject::connect(&window, &gameThreeWords::settingsOpened, &window,
                     [&window, &prefs](einstellungen *dialog) { fillSettingsDialog(window, prefs, dialog); });
    // "Hören" chosen in the dialog: the speaker comes up if it is not there
    // yet; where it cannot, the window says why at once, and the items go
    // on as written words only.
    QObject::connect(&prefs, &preferences::presentationChanged, &window, [&window, &prefs] {
        wordSpeaker *speaker = speakerOf(window);
        if (!listens(prefs)) {
            if (speaker && !speechSettings(prefs).speakWords()) {
                speaker->stop();
                window.setRepeatOffered(false);
            }
            return;
        }
        if (!speaker) {
            speaker = createSpeaker(window, prefs);
            tellInWindow(window, speaker);
            return speaker->start();
        }
        if (speaker->status() == wordSpeaker::Unavailable)
            return window.tellOnce(speaker->reason());
        tellInWindow(window, speaker);
        window.setRepeatOffered(speaker->status() == wordSpeaker::Ready);
    });
}
