#include "window/gamethreewords.h"

#include "window/layoutfit.h"
#include "dialogs/aboutwindow.h"
#include "dialogs/anleitungsdialog.h"
#include "dialogs/einstellungen.h"
#include "settings/preferences.h"
#include "words/qtcompat.h"
#include "words/textdocument.h"

#include <QAccessible>
#include <QAction>
#include <QAbstractItemView>
#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QFont>
#include <QMenu>
#include <QStatusBar>
#include <QMessageBox>
#include <QPixmap>
#include <QStringList>
#include <QStyle>
#include <QToolButton>
#include <QtGlobal>

namespace {

// -1 or 1 for an arrow key, 0 for any other.
int arrowStep(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Up ? -1 : key == Qt::Key_Right || key == Qt::Key_Down ? 1 : 0;
}

QString itemPart(const QString &item, int part)
{
    // An item from a damaged word list may have fewer than three parts; the
    // missing ones show as empty buttons rather than reading past the list.
    return item.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive).value(part);
}

} // namespace

gameThreeWords::gameThreeWords(preferences *prefs, const QString &documentPath, const trainerClock &clock)
    : QMainWindow(nullptr)
    , threeWords(documentPath)
    , prefs(prefs)
    , m_training(clock)
{
    ui.setupUi(this);

    placeWords();
    ui.judgeLabel->setText(QString());
    ui.judgeLabel->setTextFormat(Qt::RichText);

    if (prefs->gameMethod() == 2)
        ui.moreButton->hide();
    else
        showMoreButton();

    setFontSizeAll(prefs->fontSize());

    connect(ui.leftButton, &QPushButton::clicked, this, &gameThreeWords::leftButtonClicked);
    connect(ui.middleButton, &QPushButton::clicked, this, &gameThreeWords::middleButtonClicked);
    connect(ui.rightButton, &QPushButton::clicked, this, &gameThreeWords::rightButtonClicked);
    connect(ui.moreButton, &QPushButton::clicked, this, &gameThreeWords::moreButtonClicked);
    connect(&delayTimer, &QTimer::timeout, this, qOverload<>(&gameThreeWords::defineButtons));
    connect(ui.menuEinstellungen, &QAction::triggered, this, &gameThreeWords::preferencesUi);

    aboutAction = new QAction(tr("Über"), this);
    anleitungAction = new QAction(tr("Anleitung"), this);
    ui.menuHilfe->addAction(aboutAction);
    ui.menuHilfe->addAction(anleitungAction);
    connect(aboutAction, &QAction::triggered, this, &gameThreeWords::showAbout);
    connect(anleitungAction, &QAction::triggered, this, &gameThreeWords::showAnleitung);

    selectStoredGroup();
    setGameListComboBox(prefs->gameType());

    // activated, not currentIndexChanged: only the user's own choice of a
    // group may select it, never the window refilling the list.
    connect(ui.comboBox_wordGroup, &QComboBox::textActivated, this, &gameThreeWords::setActualGroup);

    nextItem(prefs->gameType());
    placeWords();

    // Filled and preset before the connections below, so that the start
    // neither stores the type again nor draws a second item.
    ui.comboBox_typ->addItem(tr("Falschwörter"));
    ui.comboBox_typ->addItem(tr("gruppenfremde Wörter"));
    ui.comboBox_typ->setCurrentIndex(prefs->gameType());

    // One signal, three receivers, in this order: store the type, refill the
    // group list for it, then draw an item of the new type.
    connect(ui.comboBox_typ, qOverload<int>(&QComboBox::currentIndexChanged),
            prefs, &preferences::setGameType);
    connect(ui.comboBox_typ, qOverload<int>(&QComboBox::currentIndexChanged),
            this, &gameThreeWords::setGameListComboBox);
    connect(ui.comboBox_typ, qOverload<int>(&QComboBox::currentIndexChanged),
            this, &gameThreeWords::slotNewWordList);

    updateStatistics();

    wrongPixmap = new QPixmap(50, 50);
    rightPixmap = new QPixmap(50, 50);
    wrongPixmap->load(QStringLiteral(":/data/kreuz.png"));
    rightPixmap->load(QStringLiteral(":/data/haken.png"));

    ui.label_haken->hide();

    // Where an entry has no picture the room stays empty, so that the words
    // stand in the same place for every item; without "Bild" there is none.
    ui.pictureView->setVisible(preferences::showsPicture(prefs->presentation()));
    connect(prefs, &preferences::presentationChanged, this, &gameThreeWords::followPresentation);

    setUpCapabilityHooks();
    setUpInput();
    fitLayout();
    ui.leftButton->setFocus();
}

// The repeat and the notice are offered to capabilities: until one asks for
// them they stay out of the way.
void gameThreeWords::setUpCapabilityHooks()
{
    speakerButton = new QToolButton(ui.outerBox);
    speakerButton->setToolTip(tr("Nochmal hören (Taste 0)"));
    speakerButton->setAccessibleName(tr("Nochmal hören"));
    speakerButton->hide();
    ui.verticalLayout_2->insertWidget(0, speakerButton, 0, Qt::AlignRight);
    repeatAction = new QAction(this);
    repeatAction->setShortcuts({QKeySequence(Qt::Key_0), QKeySequence(Qt::KeypadModifier | Qt::Key_0)});
    repeatAction->setEnabled(false);
    addAction(repeatAction);
    connect(speakerButton, &QToolButton::clicked, this, &gameThreeWords::repeatRequested);
    connect(repeatAction, &QAction::triggered, this, &gameThreeWords::repeatRequested);

    // Said in place of the words where the list cannot give an item.
    noticeLabel = new QLabel(ui.outerBox);
    noticeLabel->setWordWrap(true);
    noticeLabel->setAlignment(Qt::AlignCenter);
    ui.verticalLayout_2->insertWidget(ui.verticalLayout_2->indexOf(ui.innerBox) + 1, noticeLabel);
    showNotice(!canDraw(prefs->gameType()));

    lingerTimer.setSingleShot(true);
    lingerTimer.setInterval(600);
    lingerTimer.setObjectName(QStringLiteral("lingerTimer"));
    lingerTimer.setParent(this);
    connect(&lingerTimer, &QTimer::timeout, this, &gameThreeWords::lingered);
}

void gameThreeWords::lingered()
{
    // The mouse first: the focus goes back to the left word after every
    // item, so it is on a word the patient may not be looking at.
    for (QPushButton *button : {ui.leftButton, ui.middleButton, ui.rightButton}) {
        if (button->underMouse())
            return emit wordLingered(button->text());
    }
    if (focusedByPatient && focusedByPatient->hasFocus())
        emit wordLingered(focusedByPatient->text());
}

// Keys for hands that cannot aim a mouse, and guards for hands that tremble.
void gameThreeWords::setUpInput()
{
    const QPushButton *const words[] = {ui.leftButton, ui.middleButton, ui.rightButton};
    const Qt::Key keys[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3};
    for (int k = 0; k < 3; ++k) {
        auto *answer = new QAction(this);
        answer->setShortcuts({QKeySequence(keys[k]), QKeySequence(Qt::KeypadModifier | keys[k])});
        answer->setAutoRepeat(false);
        addAction(answer);
        QPushButton *button = const_cast<QPushButton *>(words[k]);
        connect(answer, &QAction::triggered, button, [button] { button->animateClick(); });
        button->setToolTip(tr("Taste %1").arg(k + 1));
        button->installEventFilter(this);
    }
    auto *next = new QAction(this);
    next->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter),
                        QKeySequence(Qt::KeypadModifier | Qt::Key_Enter)});
    // A held key repeats; a patient holding it down must not skip items unseen.
    next->setAutoRepeat(false);
    addAction(next);
    connect(next, &QAction::triggered, this, [this] {
        // In a list, Return confirms the choice made there, and the keys
        // belong to the words again: the next arrow must not change the list
        // under the patient's hands.
        if (listHasKeyboard())
            ui.leftButton->setFocus();
        else if (ui.moreButton->isVisible())
            ui.moreButton->animateClick();
    });
    ui.moreButton->installEventFilter(this);
    // A line shown or hidden in the status bar changes what a short screen
    // leaves the training (fitTrainingLayout).
    statusBar()->installEventFilter(this);

    // A brushed wheel must not change the list under the patient's hand.
    for (QComboBox *combo : {ui.comboBox_wordGroup, ui.comboBox_typ}) {
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(this);
        // However the open list closes, by a choice or without one.
        combo->view()->window()->installEventFilter(this);
    }

    // The verdict appears beside the tick without moving anything.
    QSizePolicy tick = ui.label_haken->sizePolicy();
    tick.setRetainSizeWhenHidden(true);
    ui.label_haken->setSizePolicy(tick);
    // The word buttons share the width equally whatever words they carry.
    for (QPushButton *button : {ui.leftButton, ui.middleButton, ui.rightButton})
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    // The delay shortened for a test run: found by name.
    delayTimer.setObjectName(QStringLiteral("delayTimer"));
    delayTimer.setParent(this);
}

QStringList gameThreeWords::shownWords() const
{
    return {ui.leftButton->text(), ui.middleButton->text(), ui.rightButton->text()};
}

QString gameThreeWords::shownRightWord() const
{
    return m_training.rightWord();
}

const trainingState &gameThreeWords::training() const
{
    return m_training;
}

void gameThreeWords::startNewCount()
{
    // Their first attempts are not the new patient's.
    if (!m_training.firstAttempt())
        defineButtons(false);
    m_training.restartCount();
    updateStatistics();
}

bool gameThreeWords::listHasKeyboard()
{
    const QWidget *focus = QApplication::focusWidget();
    for (QComboBox *combo : {ui.comboBox_wordGroup, ui.comboBox_typ}) {
        if (focus == combo || combo->view()->isVisible() || (focus && combo->view()->window()->isAncestorOf(focus)))
            return true;
    }
    return false;
}

void gameThreeWords::addCapabilityMenu(QMenu *menu)
{
    // The bar runs right to left: "Hilfe" is its first action and stands at
    // the right edge, so a menu inserted after it stands left of it.
    menu->setLayoutDirection(Qt::LeftToRight);
    menu->setFont(ui.menuHilfe->font());
    const QList<QAction *> actions = ui.menubar->actions();
    ui.menubar->insertMenu(actions.value(1), menu);
}

void gameThreeWords::setRepeatOffered(bool offered)
{
    repeatAction->setEnabled(offered);
    if (speakerButton->isHidden() != offered)
        return;
    // Looked up in the icon theme only when wanted: the search through its
    // folders costs a start without speech a tenth of its time.
    if (offered && speakerButton->icon().isNull())
        speakerButton->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    // The engine is often ready only after the window shows: the button's
    // row then has to be found room for, or "Weiter" falls off a small screen.
    speakerButton->setVisible(offered);
    if (layoutFitted)
        fitLayout();
}

void gameThreeWords::setWordGroups(const QStringList &names, const QList<QStringList> &entries,
                                   const QString &source)
{
    m_wordListSource = source;
    // Its folder may have changed with the list.
    m_pictures.reset();
    m_picturesLookedAt.clear();
    threeWords::setWordGroups(names, entries);
    selectStoredGroup();
    setGameListComboBox(prefs->gameType());
    fitLayout();
    emit trainingChosen(prefs->gameType(), actualGroup());
    defineButtons(false);
}

const QString &gameThreeWords::wordListSource() const
{
    return m_wordListSource;
}

void gameThreeWords::setPracticeGroup(const QString &name, const QStringList &entries)
{
    const QString group = actualGroup();
    threeWords::setPracticeGroup(name, entries);
    fillGroupList(prefs->gameType());
    fitLayout();
    if (actualGroup() != group) {
        emit trainingChosen(prefs->gameType(), actualGroup());
        defineButtons(false);
    }
}

void gameThreeWords::closeEvent(QCloseEvent *event)
{
    emit closing();
    QMainWindow::closeEvent(event);
}

bool gameThreeWords::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == statusBar()) {
        if (event->type() == QEvent::ChildAdded)
            static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched->parent() == statusBar()) {
        // Queued: the line's own show is not done yet.
        if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) && layoutFitted)
            QTimer::singleShot(0, this, [this] {
                if (statusBarSpeaks(this) != statusSpoke)
                    fitLayout();
            });
        return QMainWindow::eventFilter(watched, event);
    }
    // The second click of a double click would skip the next item unseen.
    if (watched == ui.moreButton)
        return event->type() == QEvent::MouseButtonDblClick || QMainWindow::eventFilter(watched, event);
    if (watched == ui.comboBox_wordGroup || watched == ui.comboBox_typ) {
        return (event->type() == QEvent::Wheel && !static_cast<QWidget *>(watched)->hasFocus())
            || QMainWindow::eventFilter(watched, event);
    }
    if (watched == ui.comboBox_wordGroup->view()->window() || watched == ui.comboBox_typ->view()->window()) {
        // Queued: the closing list hands the focus back to itself afterwards.
        if (event->type() == QEvent::Hide)
            QTimer::singleShot(0, ui.leftButton, [this] { ui.leftButton->setFocus(); });
        return QMainWindow::eventFilter(watched, event);
    }
    auto *button = static_cast<QPushButton *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        // Arrows move among the three words only, never into a list, where
        // the next arrow would change the training.
        if (const int step = arrowStep(static_cast<QKeyEvent *>(event)->key())) {
            QPushButton *const words[] = {ui.leftButton, ui.middleButton, ui.rightButton};
            const int k = button == ui.leftButton ? 0 : button == ui.middleButton ? 1 : 2;
            words[(k + step + 3) % 3]->setFocus(Qt::TabFocusReason);
            return true;
        }
        break;
    case QEvent::Enter:
        lingerTimer.start();
        break;
    case QEvent::FocusIn: {
        // The program's own focus on the left word after a new item is no
        // lingering: only a focus the patient moved counts.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        focusedByPatient = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                                   || reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason
                               ? button
                               : nullptr;
        if (focusedByPatient && !ui.leftButton->underMouse() && !ui.middleButton->underMouse()
            && !ui.rightButton->underMouse())
            lingerTimer.start();
        break;
    }
    case QEvent::Leave:
        lingerTimer.stop();
        break;
    case QEvent::FocusOut:
        focusedByPatient = nullptr;
        lingerTimer.stop();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

gameThreeWords::~gameThreeWords()
{
    delete aboutAction;
    delete rightPixmap;
    delete wrongPixmap;
}

void gameThreeWords::setGameListComboBox(int gameType)
{
    fillGroupList(gameType);
    m_training.restartCount();
    updateStatistics();
}

void gameThreeWords::fillGroupList(int gameType)
{
    ui.comboBox_wordGroup->clear();
    ui.comboBox_wordGroup->addItems(groupNames());
    if (gameType != 1)
        ui.comboBox_wordGroup->addItem(allGroups);
    if (gameType != 1 && !practiceGroup().isEmpty())
        ui.comboBox_wordGroup->addItem(practiceGroup());

    int current = ui.comboBox_wordGroup->findText(actualGroup(), Qt::MatchExactly);
    if (current < 0 && gameType == 1 && !groupNames().isEmpty()) {
        // "Alle" is no group for "gruppenfremde Wörter": without a group of
        // its own the exercise would have no defensible answer. Fall back to
        // the first group, which the item drawn next comes from.
        selectGroup(groupNames().first());
        current = 0;
    }
    ui.comboBox_wordGroup->setCurrentIndex(current);
}

void gameThreeWords::slotNewWordList(int gameType)
{
    emit trainingChosen(gameType, actualGroup());
    emit itemReplaced();
    // A fresh item, its verdict and attempts cleared: a wrong answer before
    // the change must not cost the first answer after it.
    showItem(gameType);
}

void gameThreeWords::leftButtonClicked()
{
    judge(ui.leftButton->text());
}

void gameThreeWords::middleButtonClicked()
{
    judge(ui.middleButton->text());
}

void gameThreeWords::rightButtonClicked()
{
    judge(ui.rightButton->text());
}

void gameThreeWords::moreButtonClicked()
{
    // A second press of a slow double press (150 to 400 ms after the first)
    // would skip the next item unseen and count it.
    if (m_training.seen())
        defineButtons();
}

void gameThreeWords::defineButtons()
{
    defineButtons(true);
}

void gameThreeWords::defineButtons(bool update)
{
    if (update) {
        emit itemCounted();
        m_training.count();
    } else {
        emit itemReplaced();
    }
    showItem(prefs->gameType());
    if (update) {
        updateStatistics();
        ui.leftButton->setFocus();
    }
}

void gameThreeWords::showItem(int gameType)
{
    // Stopped whatever the game method: a delay started for the item before
    // must not take this one away, nor keep changing the items after a
    // switch to "Weiter-Taste".
    delayTimer.stop();
    ui.judgeLabel->setText(QString());
    ui.judgeLabel->setAccessibleName(QString());
    ui.label_haken->hide();
    nextItem(gameType);
    placeWords();
}

void gameThreeWords::preferencesUi()
{
    einstellungen dialog(this);

    connect(&dialog, &einstellungen::gameMethod_1, prefs, &preferences::setGameMethod_1);
    connect(&dialog, &einstellungen::gameMethod_1, this, &gameThreeWords::showMoreButton);
    connect(&dialog, &einstellungen::gameMethod_2, prefs, &preferences::setGameMethod_2);
    connect(&dialog, &einstellungen::gameMethod_2, this, &gameThreeWords::hideMoreButton);
    connect(&dialog, &einstellungen::timeDelayChanged, prefs, &preferences::setTimeDelay);
    connect(&dialog, &einstellungen::fontSizeChanged, prefs, &preferences::setFontSize);
    connect(&dialog, &einstellungen::fontSizeChanged, this, &gameThreeWords::setFontSizeAll);

    // Presetting after connecting is deliberate: a stored value that the
    // dialog cannot show (a font size above 32, a delay in part seconds) is
    // relayed back at once, so store, window and dialog agree.
    dialog.setFontSize(prefs->fontSize());
    dialog.setGameMethod(prefs->gameMethod());
    dialog.setTimeDelay(prefs->timeDelay());
    // The store writes it only when it changes.
    dialog.setPresentation(prefs->presentation());
    connect(&dialog, &einstellungen::presentationChanged, prefs, &preferences::setPresentation);
    emit settingsOpened(&dialog);

    dialog.exec();
    defineButtons(false);
}

void gameThreeWords::showMoreButton()
{
    ui.moreButton->setText(tr("Weiter"));
    ui.moreButton->show();
}

void gameThreeWords::hideMoreButton()
{
    ui.moreButton->hide();
}

void gameThreeWords::setFontSizeAll(int storedSize)
{
    // A size the settings dialog cannot offer is used as the nearest one it
    // can; the stored value stays until the user changes it.
    const int size = qBound(9, storedSize, 32);
    m_fontSize = size;
    // The window itself stays at 12 points (type list, statistics, menus);
    // only the training controls follow the chosen size.
    QFont font;
    font.setPointSize(12);
    setFont(font);

    font.setPointSize(size);
    ui.moreButton->setFont(font);
    ui.outerBox->setFont(font);
    ui.comboBox_wordGroup->setFont(font);
    ui.label_wordGroup->setFont(font);

    QFont wordFont;
    wordFont.setPointSize(size + 3);
    ui.leftButton->setFont(wordFont);
    ui.middleButton->setFont(wordFont);
    ui.rightButton->setFont(wordFont);

    wordFont.setWeight(QFont::Bold);
    ui.judgeLabel->setFont(wordFont);
    ui.judgeLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // The constructor fits once the lists are filled; from then on every
    // new size is fitted at once.
    if (layoutFitted)
        fitLayout();
}

void gameThreeWords::fitLayout()
{
    QStringList words;
    for (const QStringList &entries : entryLists()) {
        for (const QString &entry : entries)
            words += entry.split(QLatin1Char(';'));
    }
    const QStringList groups = groupNames() + QStringList{allGroups, practiceGroup()};
    fitTrainingLayout(this, ui, m_fontSize, words, groups);
    statusSpoke = statusBarSpeaks(this);
    layoutFitted = true;
}

void gameThreeWords::selectStoredGroup()
{
    // The group chosen last time, where the list for the type offers it.
    const QString stored = prefs->value(QStringLiteral("wordGroup")).toString();
    if (groupNames().contains(stored) || (stored == allGroups && prefs->gameType() != 1))
        selectGroup(stored);
}

void gameThreeWords::showAboutQt()
{
    QMessageBox::aboutQt(this);
}

void gameThreeWords::showAbout()
{
    aboutWindow dialog(this);
    dialog.exec();
}

void gameThreeWords::showAnleitung()
{
    const QString text = readTextDocument(QStringLiteral(":/data/anleitung.html"));
    AnleitungsDialog dialog(nullptr);
    dialog.setText(text);
    dialog.exec();
}

void gameThreeWords::setActualGroup(const QString &word)
{
    selectGroup(word);
    prefs->setValue(QStringLiteral("wordGroup"), word);
    emit trainingChosen(prefs->gameType(), word);
    defineButtons(false);
}

void gameThreeWords::placeWords()
{
    // Only three of the six arrangements occur, but each puts the right word
    // (part 0) on every button with the same chance.
    static const int arrangements[3][3] = {
        {0, 1, 2},
        {1, 0, 2},
        {1, 2, 0},
    };
    const int r = QtCompat::nextRandom() % 3;
    // An item of another kind or list must not stay on show where the list
    // has nothing to draw, and three empty buttons must not judge.
    const bool noItem = !canDraw(prefs->gameType());
    const QString item = noItem ? QString() : actualItem();
    ui.leftButton->setText(itemPart(item, arrangements[r][0]));
    ui.middleButton->setText(itemPart(item, arrangements[r][1]));
    ui.rightButton->setText(itemPart(item, arrangements[r][2]));
    for (QPushButton *button : {ui.leftButton, ui.middleButton, ui.rightButton}) {
        button->setEnabled(!noItem);
        button->setAccessibleName(button->text());
    }
    if (noticeLabel)
        showNotice(noItem);
    m_training.show(noItem ? QStringList() : shownWords(), prefs->gameType(),
                    noItem ? QString() : itemPart(item, 0));
    showPicture();
    emit itemShown(shownWords(), prefs->gameType(), shownRightWord());
}

void gameThreeWords::showPicture()
{
    const QString &word = m_training.rightWord();
    if (!preferences::showsPicture(prefs->presentation()) || word.isEmpty())
        return ui.pictureView->clear();
    ui.pictureView->setPicture(pictures().find(word), word);
    const QString lookedAt = m_wordListSource + QLatin1Char('\n') + actualGroup();
    if (lookedAt != m_picturesLookedAt) {
        m_picturesLookedAt = lookedAt;
        // Once the window shows and the group is settled.
        QTimer::singleShot(0, this, &gameThreeWords::tellIfGroupHasNoPictures);
    }
}

const wordPictures &gameThreeWords::pictures()
{
    if (!m_pictures)
        m_pictures.emplace(m_wordListSource);
    return *m_pictures;
}

void gameThreeWords::tellIfGroupHasNoPictures()
{
    if (!preferences::showsPicture(prefs->presentation()) || selectedEntries().isEmpty())
        return;
    for (const QString &entry : selectedEntries()) {
        if (!pictures().find(itemPart(entry, 0)).isNull())
            return;
    }
    tellOnce(tr("In der Gruppe „%1“ hat kein Wort ein Bild.").arg(actualGroup()));
}

void gameThreeWords::followPresentation()
{
    const bool picture = preferences::showsPicture(prefs->presentation());
    if (ui.pictureView->isHidden() == picture) {
        ui.pictureView->setVisible(picture);
        fitLayout();
    }
    m_picturesLookedAt.clear();
    showPicture();
}

void gameThreeWords::showNotice(bool shown)
{
    noticeLabel->setText(prefs->gameType() == 1
                             ? tr("Für „gruppenfremde Wörter“ braucht die Wortliste mindestens zwei "
                                  "Gruppen mit Wörtern.")
                             : tr("In dieser Gruppe stehen keine Wörter."));
    noticeLabel->setVisible(shown);
}

void gameThreeWords::updateStatistics()
{
    ui.label_rightWordsData->setText(m_training.counts());
}

void gameThreeWords::judge(const QString &word)
{
    const bool right = m_training.judge(word);
    ui.judgeLabel->setText(right ? tr("<font color=\"green\">Richtig!</font>")
                                 : tr("<font color=\"red\">Falsch!</font>"));
    ui.label_haken->setPixmap(right ? *rightPixmap : *wrongPixmap);
    ui.label_haken->show();
    // A screen reader says the verdict each time, also the same one again.
    ui.judgeLabel->setAccessibleName(right ? tr("Richtig!") : tr("Falsch!"));
    QAccessibleEvent verdict(ui.judgeLabel, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&verdict);
    if (right && prefs->gameMethod() == 2) {
        // A delay the settings dialog cannot offer is used as the nearest one
        // it can: none at all would move on before the verdict is seen.
        delayTimer.start(qBound(1000, prefs->timeDelay(), 30000));
    }
    emit answerJudged(word, right);
}

void gameThreeWords::setSettingsLocked(bool locked)
{
    for (QWidget *chooser : {static_cast<QWidget *>(ui.comboBox_typ), static_cast<QWidget *>(ui.comboBox_wordGroup)})
        chooser->setEnabled(!locked);
    ui.menuEinstellungen->setEnabled(!locked);
}

void gameThreeWords::setWordListShown(const QString &name)
{
    auto *label = ui.groupBox_statistics->findChild<QLabel *>(QStringLiteral("label_wordList"));
    if (!label && name.isEmpty())
        return;
    if (!label) {
        label = new QLabel(ui.groupBox_statistics);
        label->setObjectName(QStringLiteral("label_wordList"));
        // Whatever room the counts leave, never more: a long file name must
        // not widen the window.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setWordWrap(true);
        // The spacer's width would be taken from the label.
        ui.horizontalSpacer_6->changeSize(0, 0, QSizePolicy::Ignored);
        ui.horizontalLayout_4->addWidget(label, 1);
    }
    const int shortened = 40;
    label->setText(name.isEmpty() ? QString()
                                  : tr("Wortliste: %1")
                                        .arg(name.size() > shortened ? name.left(shortened - 1) + QChar(0x2026) : name));
    label->setToolTip(name);
}

void gameThreeWords::tellOnce(const QString &text)
{
    if (m_told.contains(text))
        return;
    m_told.append(text);
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Skarvel"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setFont(font());
    box->open();
}
