#ifndef EINSTELLUNGEN_H
#define EINSTELLUNGEN_H

#include "ui_einstellungen.h"

#include <QDialog>

// The settings dialog knows nothing of the settings store: it only relays
// every change of its controls at once, and the window presets it through the
// slots. There is no cancel, because every change has already been passed on
// by the time the dialog closes.
class einstellungen : public QDialog
{
    Q_OBJECT

public:
    explicit einstellungen(QWidget *parent = nullptr);
    ~einstellungen() override;

    // A capability's own page, after the training's. With the training's
    // alone the dialog shows no tabs, as it always did.
    void addPage(QWidget *page, const QString &title);

signals:
    void fontSizeChanged(int);
    // Kept for connections by signature; nothing emits it.
    void gameMethod(int method, int intervall);
    void gameMethod_1();
    void gameMethod_2();
    void timeDelayChanged(int);
    // The group "Vorlesen".
    void speakWordsChanged(bool on);
    void speechVoiceChanged(const QString &name);
    void speechRateChanged(int rate);
    void speechProbeRequested();
    // The user chose how an item is offered: 0 "Nur Schrift" .. 3.
    void presentationChanged(int presentation);

public slots:
    void showPreferences();
    void setFontSize(int size);
    void setGameMethod(int method);
    // time in milliseconds; the dialog edits whole seconds.
    void setTimeDelay(int time);
    void setPresentation(int presentation);
    void setSpeakWords(bool on);
    void setSpeechRate(int rate); // -5 .. 5
    // The voice list and the choice can be used once there are voices.
    void setSpeechVoices(const QStringList &names, const QString &current);
    // One line under the group: what speech is doing, or, when it cannot be
    // used, why (every control of the group is then disabled). Empty: none.
    void setSpeechNote(const QString &note, bool usable = true);

private:
    void fitContents();
    void showPage(int current);

    Ui_Einstellungen ui;
};

#endif // EINSTELLUNGEN_H
