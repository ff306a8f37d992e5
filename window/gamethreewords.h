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
// The item, its attempts and the counts live in one trainingState: every new
// item, counted or not, goes through showItem(), so that nothing of the item
// before (verdict, attempts, credit, delay) stays behind.
//
// Keys 1, 2 and 3 answer like a click on the left, middle and right word,
// Return and Enter like "Weiter" (in a list they confirm the choice there).
// "Weiter" waits until a new item has been seen. The window knows none of the capabilities
// beside the training (speech, records, own lists): it announces what
// happens by its signals and offers a few hooks, and app/ wires them.

#include "ui_mainwindow.h"
#include "window/trainingstate.h"
#include "words/clock.h"
#include "words/threewords.h"
#include "words/wordpictures.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPixmap;
class QToolButton;
class einstellungen;
class preferences;

class gameThreeWords : public QMainWindow, public threeWords
{
    Q_OBJECT

public:
    // documentPath: the word list to train on; tools that try the window on
    // other documents hand in their own, and tests a clock they move.
    explicit gameThreeWords(preferences *prefs,
                            const QString &documentPath = threeWords::bundledDocument,
                            const trainerClock &clock = trainerClock::system());
    ~gameThreeWords() override;

    // The words on the buttons, left to right, and the right one of them
    // (empty while the buttons show none), as itemShown() announced them.
    QStringList shownWords() const;
    QString shownRightWord() const;
    // The item on show, its attempts and the counts, for those who listen.
    const trainingState &training() const;
    // Someone else trains from now on: a new count, and an item the one
    // before has answered goes with them.
    void startNewCount();
    // Puts a capability's menu into the menu bar, between "Einstellungen"
    // and "Hilfe"; a later menu stands right of an earlier one.
    void addCapabilityMenu(QMenu *menu);
    // Shows the small speaker button beside the question and lets key 0
    // repeat; both only announce repeatRequested().
    void setRepeatOffered(bool offered);
    // Trains on these word groups from now on; source names where they come
    // from (an own list's path, empty for the bundled list).
    void setWordGroups(const QStringList &names, const QList<QStringList> &entries, const QString &source);
    const QString &wordListSource() const;
    // Offers a group of the patient's own after "Alle" under "Falschwörter";
    // no entries, no group.
    void setPracticeGroup(const QString &name, const QStringList &entries);
    // Settings fixed by someone else (a homework): "Einstellungen", the
    // type and the group cannot be changed.
    void setSettingsLocked(bool locked);

signals:
    // What happened, for the capabilities that listen (speech, records).
    void itemShown(const QStringList &words, int gameType, const QString &rightWord);
    void answerJudged(const QString &word, bool right);
    void itemCounted();  // left by "Weiter" or the delay, and counted
    void itemReplaced(); // replaced without counting
    void trainingChosen(int gameType, const QString &group);
    void repeatRequested();
    // The mouse, or else the focus the patient moved there, stayed on a word
    // button for 600 ms.
    void wordLingered(const QString &word);
    // The settings dialog is open; capabilities may add to it.
    void settingsOpened(einstellungen *dialog);
    void closing();

public slots:
    void setGameListComboBox(int gameType);
    void slotNewWordList(int gameType);

private slots:
    void leftButtonClicked();
    void middleButtonClicked();
    void rightButtonClicked();
    void moreButtonClicked();
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
    void followPresentation();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showItem(int gameType);
    void placeWords();
    void showNotice(bool shown);
    void updateStatistics();
    void judge(const QString &word);
    void fillGroupList(int gameType);
    void selectStoredGroup();
    void setUpInput();
    void setUpCapabilityHooks();
    void fitLayout();
    bool listHasKeyboard();
    void lingered();
    // "Bild": the right word's picture above the words, where it has one.
    void showPicture();
    const wordPictures &pictures();
    void tellIfGroupHasNoPictures();

    preferences *prefs;
    Ui_mainWindow ui;
    QTimer delayTimer;
    QAction *aboutAction = nullptr;
    QAction *anleitungAction = nullptr;
    trainingState m_training;
    QPixmap *rightPixmap = nullptr;
    QPixmap *wrongPixmap = nullptr;
    QToolButton *speakerButton = nullptr;
    QLabel *noticeLabel = nullptr;
    QAction *repeatAction = nullptr;
    QTimer lingerTimer;
    // The word button the patient moved the focus to, if it still has it.
    QPushButton *focusedByPatient = nullptr;
    QString m_wordListSource;
    // Looked up on the first picture shown, not at start.
    std::optional<wordPictures> m_pictures;
    QString m_picturesLookedAt; // the list and group last searched for pictures
    bool layoutFitted = false;
    bool statusSpoke = false; // statusBarSpeaks() at the last fit
    int m_fontSize = 14; // the size chosen, as the window uses it; a fit may show less

public:
    // Names the own word list in use at the right of the statistics bar;
    // empty: the bundled list, and the bar stays as it is.
    void setWordListShown(const QString &name);
    // Tells the user of a problem that does not stop the training (a setting
    // not stored, no speech) in a message over the window, once per text and
    // run; it does not wait for the answer.
    void tellOnce(const QString &text);

private:
    QStringList m_told;
};

#endif // GAMETHREEWORDS_H
