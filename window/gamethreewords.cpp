#include "window/gamethreewords.h"

#include "dialogs/aboutwindow.h"
#include "dialogs/anleitungsdialog.h"
#include "dialogs/einstellungen.h"
#include "settings/preferences.h"
#include "words/qtcompat.h"
#include "words/textdocument.h"

#include <QAction>
#include <QCloseEvent>
#include <QFont>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QStringList>
#include <QStyle>
#include <QToolButton>
#include <QtGlobal>

namespace {

QString itemPart(const QString &item, int part)
{
    // An item from a damaged word list may have fewer than three parts; the
    // missing ones show as empty buttons rather than reading past the list.
    return item.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive).value(part);
}

} // namespace

gameThreeWords::gameThreeWords(preferences *prefs, const QString &documentPath)
    : QMainWindow(nullptr)
    , threeWords(documentPath)
    , prefs(prefs)
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
    connect(ui.moreButton, &QPushButton::clicked,
            this, qOverload<>(&gameThreeWords::defineButtons));
    connect(&delayTimer, &QTimer::timeout, this, qOverload<>(&gameThreeWords::defineButtons));
    connect(ui.menuEinstellungen, &QAction::triggered, this, &gameThreeWords::preferencesUi);

    aboutAction = new QAction(tr("Über"), this);
    anleitungAction = new QAction(tr("Anleitung"), this);
    ui.menuHilfe->addAction(aboutAction);
    ui.menuHilfe->addAction(anleitungAction);
    connect(aboutAction, &QAction::triggered, this, &gameThreeWords::showAbout);
    connect(anleitungAction, &QAction::triggered, this, &gameThreeWords::showAnleitung);

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

    rightWords = 0;
    firstAttempt = true;
    doneWords = 0;
    updateStatistics();

    wrongPixmap = new QPixmap(50, 50);
    rightPixmap = new QPixmap(50, 50);
    wrongPixmap->load(QStringLiteral(":/data/kreuz.png"));
    rightPixmap->load(QStringLiteral(":/data/haken.png"));

    ui.label_haken->hide();

    // Only capabilities that speak offer the repeat; until then both the
    // button and its key stay out of the way.
    speakerButton = new QToolButton(ui.outerBox);
    speakerButton->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
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
    noticeLabel = new QLabel(tr("Für „gruppenfremde Wörter“ braucht die Wortliste mindestens zwei "
                                "Gruppen mit Wörtern."), ui.outerBox);
    noticeLabel->setWordWrap(true);
    noticeLabel->setAlignment(Qt::AlignCenter);
    noticeLabel->hide();
    ui.verticalLayout_2->insertWidget(2, noticeLabel);
    noticeLabel->setVisible(prefs->gameType() == 1 && !canDraw(1));

    lingerTimer.setSingleShot(true);
    lingerTimer.setInterval(600);
    for (QPushButton *button : {ui.leftButton, ui.middleButton, ui.rightButton})
        button->installEventFilter(this);
    connect(&lingerTimer, &QTimer::timeout, this, [this] {
        for (QPushButton *button : {ui.leftButton, ui.middleButton, ui.rightButton}) {
            if (button->underMouse() || button->hasFocus()) {
                emit wordLingered(button->text());
                return;
            }
        }
    });
}

QStringList gameThreeWords::shownWords() const
{
    return {ui.leftButton->text(), ui.middleButton->text(), ui.rightButton->text()};
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
    speakerButton->setVisible(offered);
    repeatAction->setEnabled(offered);
}

void gameThreeWords::setWordGroups(const QStringList &names, const QList<QStringList> &entries,
                                   const QString &source)
{
    m_wordListSource = source;
    threeWords::setWordGroups(names, entries);
    setGameListComboBox(prefs->gameType());
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
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::FocusIn:
        lingerTimer.start();
        break;
    case QEvent::Leave:
    case QEvent::FocusOut:
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
    rightWords = 0;
    doneWords = 0;
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
    nextItem(gameType);
    placeWords();
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

void gameThreeWords::defineButtons()
{
    defineButtons(true);
}

void gameThreeWords::defineButtons(bool update)
{
    // Stopped whatever the game method: a delay started under "Zeitverzögerung"
    // must not keep changing the items after a switch to "Weiter-Taste".
    delayTimer.stop();
    if (update)
        emit itemCounted();
    else
        emit itemReplaced();
    nextItem(prefs->gameType());
    placeWords();
    ui.judgeLabel->setText(QString());
    ui.label_haken->hide();
    firstAttempt = true;
    if (update) {
        ++doneWords;
        updateStatistics();
    }
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

void gameThreeWords::setFontSizeAll(int size)
{
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
    // has nothing to draw for "gruppenfremde Wörter".
    const bool noItem = prefs->gameType() == 1 && !canDraw(1);
    const QString item = noItem ? QString() : actualItem();
    ui.leftButton->setText(itemPart(item, arrangements[r][0]));
    ui.middleButton->setText(itemPart(item, arrangements[r][1]));
    ui.rightButton->setText(itemPart(item, arrangements[r][2]));
    for (QPushButton *button : {ui.leftButton, ui.middleButton, ui.rightButton})
        button->setEnabled(!noItem);
    if (noticeLabel)
        noticeLabel->setVisible(noItem);
    emit itemShown(shownWords(), prefs->gameType(), itemPart(item, 0));
}

void gameThreeWords::updateStatistics()
{
    // An item replaced without counting (group choice, settings dialog) can
    // leave a right answer without its done item; the count never shows more
    // right than done.
    if (rightWords > doneWords)
        rightWords = doneWords;
    const int divisor = doneWords >= 1 ? doneWords : 1;
    const int percent = static_cast<int>(static_cast<double>(rightWords) / divisor * 100.0);
    ui.label_rightWordsData->setText(QString::number(rightWords) + QStringLiteral(" von ")
                                     + QString::number(doneWords) + QStringLiteral("  (")
                                     + QString::number(percent) + QStringLiteral("%)"));
}

void gameThreeWords::judge(const QString &word)
{
    if (isRightWord(word)) {
        ui.judgeLabel->setText(tr("<font color=\"green\">Richtig!</font>"));
        ui.label_haken->setPixmap(*rightPixmap);
        ui.label_haken->show();
        if (prefs->gameMethod() == 2) {
            // A damaged setting may hold a negative delay, which QTimer
            // refuses; the item would then never change in a method without
            // a "Weiter" button. Treat it as no delay.
            delayTimer.start(qMax(0, prefs->timeDelay()));
        }
        if (firstAttempt)
            ++rightWords;
        firstAttempt = false;
    } else {
        ui.judgeLabel->setText(tr("<font color=\"red\">Falsch!</font>"));
        ui.label_haken->setPixmap(*wrongPixmap);
        ui.label_haken->show();
        firstAttempt = false;
    }
    emit answerJudged(word, isRightWord(word));
}
