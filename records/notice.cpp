#include "records/notice.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

namespace {

// The box's button box makes its button the default when it shows, so
// Return would close it: the keys are taken before the button sees them.
class answerKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || (key >= Qt::Key_0 && key <= Qt::Key_9);
    }
};

} // namespace

void showNotice(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setFont(parent->font());
    answerKeyFilter filter;
    box.installEventFilter(&filter);
    box.button(QMessageBox::Ok)->installEventFilter(&filter);
    box.exec();
}

void ignoreAnswerKeys(QWidget *dialog)
{
    auto *filter = new answerKeyFilter(dialog);
    dialog->installEventFilter(filter);
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        button->installEventFilter(filter);
}
