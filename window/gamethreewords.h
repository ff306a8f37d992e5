#ifndef GAMETHREEWORDS_H
#define GAMETHREEWORDS_H

// The training window. It is at the same time the word store (threeWords is
// its second base): the window asks itself for the next item and judges the
// clicked button's text against it. It never keeps a copy of the item, of
// which button carries the right word, or of any setting: the settings are
// read from the store each time they are needed, so a change made in the
// settings dialog counts from the next click on.
//
// Flow of one item: placeWords() labels the buttons in one of three
// arrangements -> a click is judged ("Richtig!"/"Falsch!", tick or cross) ->
// defineButtons() brings the next item, either from "Weiter" (game method 1)
// or from delayTimer, which a right click starts in game method 2.
//
// The statistics count items left through defineButtons() (doneWords) and
// items answered right at the first click (rightWords); rightWords <= doneWords
// holds after every update.

#include "ui_mainwindow.h"
#include "words/threewords.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

class QAction;
class QPixmap;
class preferences;

class gameThreeWords : public QMainWindow, public threeWords
{
    Q_OBJECT

public:
    // documentPath: the word list to train on; tools that try the window on
    // other documents hand in their own.
    explicit gameThreeWords(preferences *prefs,
                            const QString &documentPath = threeWords::bundledDocument);
    ~gameThreeWords() override;

public slots:
    void setGameListComboBox(int gameType);
    void slotNewWordList(int gameType);

private slots:
    void leftButtonClicked();
    void middleButtonClicked();
    void rightButtonClicked();
    void defineButtons();
    void defineButtons(bool update);
    void preferencesUi();
    void showMoreButton();
    void hideMoreButton();
    void setFontSizeAll(int size);
    void showAboutQt();
    void showAbout();
    void showAnleitung();
    void setActualGroup(const QString &word);

private:
    void placeWords();
    void updateStatistics();
    void judge(const QString &word);

    preferences *prefs;
    Ui_mainWindow ui;
    QTimer delayTimer;
    QAction *aboutAction = nullptr;
    QAction *anleitungAction = nullptr;
    int rightWords = 0;
    bool firstAttempt = true;
    int doneWords = 0;
    QPixmap *rightPixmap = nullptr;
    QPixmap *wrongPixmap = nullptr;
};

#endif // GAMETHREEWORDS_H
