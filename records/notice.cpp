#include "records/notice.h"

#include <QWidget>

void showNotice(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setFont(parent->font());
    box.exec();
}
