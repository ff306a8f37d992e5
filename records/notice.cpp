#include "records/notice.h"

#include <QPushButton>
#include <QWidget>

void showNotice(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setFont(parent->font());
    // It comes up while the patient answers: Return, Enter and the answer
    // keys must not close it unread. Without a default button they do
    // nothing here; the mouse, Space on the button or Escape close it.
    auto *ok = qobject_cast<QPushButton *>(box.button(QMessageBox::Ok));
    ok->setAutoDefault(false);
    ok->setDefault(false);
    box.exec();
}
