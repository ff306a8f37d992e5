#include "dialogs/screenfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QScreen>

#include <algorithm>

namespace {

// Room for the title bar's icon and buttons beside the title.
const int titleBarButtons = 120;

// A row of buttons and spaces, and nothing else: it may stand as a column.
bool onlyButtons(QBoxLayout *row)
{
    bool any = false;
    for (int i = 0; i < row->count(); ++i) {
        QLayoutItem *item = row->itemAt(i);
        if (item->spacerItem())
            continue;
        if (!qobject_cast<QAbstractButton *>(item->widget()))
            return false;
        any = true;
    }
    return any;
}

void fit(QDialog *dialog)
{
    QWidget *parent = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    const QRect screen = (parent ? parent->screen() : dialog->screen())->availableGeometry();
    // The frame is not known before the dialog is shown for the first time;
    // the window it belongs to has one from the same window manager.
    const QWidget *framed = dialog->isVisible() || !parent ? dialog : parent;
    QSize frame = framed->frameGeometry().size() - framed->size();
    if (frame.isEmpty())
        frame = QSize(16, 40);
    const QSize room = screen.size() - frame;

    QList<QBoxLayout *> rows;
    for (QBoxLayout *row : dialog->findChildren<QBoxLayout *>()) {
        if (row->parentWidget() && row->parentWidget()->window() == dialog
            && (row->direction() == QBoxLayout::LeftToRight || row->direction() == QBoxLayout::RightToLeft)
            && onlyButtons(row))
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end(), [](QBoxLayout *a, QBoxLayout *b) {
        return a->minimumSize().width() > b->minimumSize().width();
    });
    const auto narrowest = [dialog] {
        dialog->layout()->activate();
        return dialog->minimumSizeHint().expandedTo(dialog->minimumSize()).width();
    };
    for (QBoxLayout *row : qAsConst(rows)) {
        if (!dialog->layout() || narrowest() <= room.width())
            break;
        row->setDirection(QBoxLayout::TopToBottom);
    }
    for (QDialogButtonBox *box : dialog->findChildren<QDialogButtonBox *>()) {
        if (!dialog->layout() || narrowest() <= room.width())
            break;
        box->setOrientation(Qt::Vertical);
    }

    QString title = dialog->windowTitle();
    title.remove(QStringLiteral("[*]"));
    const QFontMetrics titleFont(QApplication::font("QMdiSubWindowTitleBar"));
    const int titled = titleFont.horizontalAdvance(title) + titleBarButtons;
    dialog->resize(dialog->size().expandedTo(QSize(titled, 0)).boundedTo(room));
}

class screenFit : public QObject
{
public:
    explicit screenFit(QDialog *dialog) : QObject(dialog), dialog(dialog) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Before the dialog centres itself over its window, so that it is
        // centred at the size it shows with.
        if (watched == dialog && event->type() == QEvent::Show && !event->spontaneous())
            fit(dialog);
        return QObject::eventFilter(watched, event);
    }

private:
    QDialog *dialog;
};

} // namespace

void keepOnScreen(QDialog *dialog)
{
    dialog->installEventFilter(new screenFit(dialog));
}
