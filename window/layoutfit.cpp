#include <QCoreApplication>
#include "window/layoutfit.h"

#include "ui_mainwindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMainWindow>
#include <QHash>
#include <QLabel>
#include <QMultiMap>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// The smallest size the settings offer. The list checker's limit on a
// word's length keeps every word at least this large on a screen of 640 px.
const int minimumWordSize = 9;

QSize widestText(const QFont &font, const QStringList &texts)
{
    const QFontMetrics metrics(font);
    QSize widest(0, metrics.height());
    for (const QString &text : texts)
        widest = widest.expandedTo(metrics.size(Qt::TextShowMnemonic, text));
    return widest;
}

// The words that may be the widest at any size: the few widest at one size,
// ranked by the sum of their letters' advances, which is quick for long lists
// and close enough to rank them. Only these are then measured whole.
QStringList widestCandidates(const QFont &font, const QStringList &words)
{
    const QFontMetrics metrics(font);
    QHash<QChar, int> advances;
    QMultiMap<int, QString> byWidth;
    for (const QString &word : words) {
        int width = 0;
        for (const QChar letter : word) {
            auto advance = advances.constFind(letter);
            if (advance == advances.constEnd())
                advance = advances.insert(letter, metrics.horizontalAdvance(letter));
            width += *advance;
        }
        byWidth.insert(-width, word);
        if (byWidth.size() > 8)
            byWidth.erase(std::prev(byWidth.end()));
    }
    return byWidth.values();
}

// What a push button needs for the widest of these texts, as it measures
// itself: its own size hint with that text on it.
QSize buttonSize(QPushButton *button, const QStringList &texts)
{
    const QString shown = button->text();
    QSize size(0, 0);
    for (const QString &text : texts) {
        button->setText(text);
        size = size.expandedTo(button->sizeHint());
    }
    button->setText(shown);
    return size;
}

// The minimum the window's layouts ask for now: the layouts keep what their
// items asked for before until each item has been told that it changed.
QSize minimumNow(QWidget *top)
{
    for (QWidget *widget : top->findChildren<QWidget *>())
        widget->updateGeometry();
    // A font changed in the settings dialog leaves layout requests posted;
    // until they are handled, a box measures with its old arrangement.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return top->minimumSizeHint();
}

QSize comboSize(QComboBox *combo, const QFont &font, const QStringList &texts)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.fontMetrics = QFontMetrics(font);
    const QSize text = widestText(font, texts) + QSize(4, 0);
    return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, combo);
}

} // namespace

void fitTrainingLayout(QMainWindow *window, Ui_mainWindow &ui, int size, const QStringList &words,
                       const QStringList &groups)
{
    // Polished as on showing: some styles change sizes then.
    for (QWidget *widget : window->findChildren<QWidget *>())
        widget->ensurePolished();
    const QRect screen = window->screen()->availableGeometry();
    // The frame is known once the window is shown; a few pixels before.
    const QSize frame = window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(16, 40);
    const QSize room = screen.size() - frame;

    // The tick keeps its room while hidden; fixed, so that neither the
    // placeholder text nor the picture changes it.
    ui.label_haken->setFixedSize(55, 55);
    QSize verdict;
    int moreHeight = 0;
    int wordHeight = 0;
    // The question, "Weiter", the verdict and the group's label at the
    // chosen size, which only a screen too small for anything else takes
    // down; a fit before may have left them smaller.
    const auto useRestSize = [&](int points) {
        QFont font = ui.moreButton->font();
        font.setPointSize(points);
        for (QWidget *each : {static_cast<QWidget *>(ui.moreButton), static_cast<QWidget *>(ui.outerBox),
                              static_cast<QWidget *>(ui.label_wordGroup)})
            each->setFont(font);
        font = ui.judgeLabel->font();
        font.setPointSize(points + 3);
        ui.judgeLabel->setFont(font);
        verdict = widestText(font, {QStringLiteral("Richtig!"), QStringLiteral("Falsch!")});
        moreHeight = ui.moreButton->sizeHint().height();
    };
    useRestSize(size);

    // A minimum set on a widget replaces what its contents ask for, so the
    // form's own minimums are grown to that, bottom up, before every
    // measurement: one grown by an earlier fit at another size or for
    // another list would hide what the contents need now. Where the height
    // is short, they give way, and so do the empty status bar and the margins.
    bool compact = false;
    const std::pair<QWidget *, QSize> formMinimums[] = {
        {ui.widget, {0, 70}}, {ui.widget_2, {370, 140}}, {ui.textButtonBox, {0, 85}},
        {ui.outerBox, {0, 280}}, {ui.groupBox_statistics, {0, 50}}};
    const auto measured = [&] {
        const int least = compact ? 0 : 50;
        ui.judgeLabel->setFixedSize(qMax(160, verdict.width() + 8), qMax(least, verdict.height() + 4));
        ui.moreButton->setMinimumHeight(qMax(least, moreHeight));
        for (QPushButton *each : {ui.leftButton, ui.middleButton, ui.rightButton})
            each->setFixedHeight(qMax(least, wordHeight));
        ui.groupBox_wordGroup->setFixedHeight(qMax(compact ? 0 : 60, minimumNow(ui.groupBox_wordGroup).height()));
        for (const auto &[widget, form] : formMinimums)
            widget->setMinimumSize(QSize(form.width(), compact ? 0 : form.height()).expandedTo(minimumNow(widget)));
        return minimumNow(window);
    };
    // The picture takes at least a third of the window: half of what the
    // rest needs, and at least a third of the usual 530 pixels. Where the
    // screen is too short for that even with the margins given way, it
    // takes what is left, down to a size still recognisable; only then do
    // the words become smaller.
    const bool picture = !ui.pictureView->isHidden();
    const int smallestPicture = 64;
    const auto needed = [&] {
        if (!picture)
            return measured();
        ui.pictureView->setFixedHeight(0);
        const int rest = measured().height();
        const int third = qMax((rest + 1) / 2, (530 + 2) / 3);
        ui.pictureView->setFixedHeight(compact ? qMax(smallestPicture, qMin(third, room.height() - rest)) : third);
        return measured();
    };
    const auto setCompact = [&](bool on) {
        compact = on;
        const bool hide = on && !statusBarSpeaks(window);
        if (window->statusBar()->isHidden() != hide)
            window->statusBar()->setVisible(!hide);
        for (QLayout *layout : window->centralWidget()->findChildren<QLayout *>()) {
            // Not the lists' popups: they are windows of their own, whose
            // layouts have no margins, and a margin there cuts their entries.
            if (layout->parentWidget()->window() != window)
                continue;
            layout->setContentsMargins(on ? 3 : -1, on ? 3 : -1, on ? 3 : -1, on ? 3 : -1);
            layout->setSpacing(on ? 3 : -1);
        }
    };
    const auto fits = [&] {
        setCompact(false);
        if (needed().height() > room.height())
            setCompact(true);
        const QSize need = needed();
        return need.width() <= room.width() && need.height() <= room.height();
    };

    QPushButton *const buttons[] = {ui.leftButton, ui.middleButton, ui.rightButton};
    QFont wordFont;
    wordFont.setPointSize(size + 3);
    const QStringList candidates = widestCandidates(wordFont, words);
    const auto useWords = [&](QBoxLayout::Direction direction, int points) {
        ui.horizontalLayout->setDirection(direction);
        wordFont.setPointSize(points);
        for (QPushButton *each : buttons)
            each->setFont(wordFont);
        const QSize button = buttonSize(ui.leftButton, candidates);
        for (QPushButton *each : buttons)
            each->setMinimumWidth(button.width());
        wordHeight = button.height();
    };
    // The lists are arranged on their own first, with the words as small as
    // they can be, so that what the words need decides nothing about them.
    useWords(QBoxLayout::TopToBottom, minimumWordSize);
    // With the margins a fit before may have left small: measured with them,
    // the lists would keep a row that no longer fits once fits() gives the
    // margins back.
    setCompact(false);

    // The row of both lists as it is while it fits; else its halves one
    // above the other, and where even a half is too wide, each label above
    // its list; where a group's name is still too wide, the group list takes
    // the largest smaller size that fits.
    QFont groupFont = ui.comboBox_wordGroup->font();
    const auto useGroupSize = [&](int points) {
        groupFont.setPointSize(points);
        ui.comboBox_wordGroup->setFont(groupFont);
        const QSize groupList = comboSize(ui.comboBox_wordGroup, groupFont, groups);
        ui.comboBox_wordGroup->setFixedWidth(qMax(230, groupList.width()));
        ui.comboBox_wordGroup->setMinimumHeight(qMax(40, groupList.height()));
    };
    useGroupSize(size);
    const QSize typeList = comboSize(ui.comboBox_typ, ui.comboBox_typ->font(),
                                     {ui.comboBox_typ->itemText(0), ui.comboBox_typ->itemText(1)});
    ui.comboBox_typ->setFixedWidth(qMax(230, typeList.width()));
    ui.horizontalLayout_3->setDirection(QBoxLayout::LeftToRight);
    ui.horizontalLayout_6->setDirection(QBoxLayout::LeftToRight);
    ui.horizontalLayout_7->setDirection(QBoxLayout::LeftToRight);
    ui.horizontalSpacer->changeSize(200, 16, QSizePolicy::Expanding, QSizePolicy::Minimum);
    if (needed().width() > room.width()) {
        ui.horizontalLayout_3->setDirection(QBoxLayout::TopToBottom);
        ui.horizontalSpacer->changeSize(0, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    for (QBoxLayout *half : {ui.horizontalLayout_6, ui.horizontalLayout_7}) {
        if (needed().width() > room.width())
            half->setDirection(QBoxLayout::TopToBottom);
    }
    for (int points = size; needed().width() > room.width() && points > minimumWordSize;)
        useGroupSize(--points);

    // The words in a row while they keep at least the size chosen for the
    // rest; else the largest size at which they fit one above the other or,
    // where the height is too short for that, in a row. A word is never
    // wrapped: a patient would read its two lines as two words, and the
    // break as a misspelling.
    const auto placed = [&](QBoxLayout::Direction direction, int points) {
        useWords(direction, points);
        return fits();
    };
    bool done = false;
    for (int points = size + 3; !done && points >= size; --points)
        done = placed(QBoxLayout::LeftToRight, points);
    for (int points = size + 3; !done && points >= minimumWordSize; --points)
        done = placed(QBoxLayout::TopToBottom, points) || (points < size && placed(QBoxLayout::LeftToRight, points));
    // Where even the smallest words leave no room (a large size on a short
    // screen with tall fonts), the rest becomes smaller with them, the words
    // never smaller than the question, so that "Weiter" and the count stay
    // on the screen.
    for (int rest = size - 1; !done && rest >= minimumWordSize; --rest) {
        useRestSize(rest);
        if (groupFont.pointSize() > rest)
            useGroupSize(rest);
        for (int points = rest + 3; !done && points >= rest; --points)
            done = placed(QBoxLayout::LeftToRight, points) || placed(QBoxLayout::TopToBottom, points);
    }
    // Only a document that never passed the list checker (a tool's, a
    // damaged bundle) can hold a word too long even for this: the word is
    // cut on its button rather than the window pushed off the screen, where
    // the patient could reach neither the other words nor "Weiter".
    if (!done) {
        placed(QBoxLayout::TopToBottom, minimumWordSize);
        const int over = needed().width() - room.width();
        if (over > 0) {
            for (QPushButton *each : buttons)
                each->setMinimumWidth(qMax(1, each->minimumWidth() - over)); // 0 would ask the text
            const int groupOver = needed().width() - room.width();
            if (groupOver > 0)
                ui.comboBox_wordGroup->setFixedWidth(qMax(1, ui.comboBox_wordGroup->minimumWidth() - groupOver));
            fits();
        }
    }

    // Showing the status bar again lays the window out at once and leaves it
    // the minimum of that moment, which would hold the window at a size
    // tried on the way.
    window->layout()->activate();
    if (!(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        window->resize(QSize(800, 530).expandedTo(minimumNow(window)).boundedTo(room));
}

bool statusBarSpeaks(const QMainWindow *window)
{
    const QList<QLabel *> lines = window->statusBar()->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    return std::any_of(lines.cbegin(), lines.cend(),
                       [](const QLabel *line) { return !line->isHidden() && !line->text().isEmpty(); });
}
