#ifndef NOTICE_H
#define NOTICE_H

#include <QMessageBox>

class QString;
class QWidget;

// A message in the font of the window or dialog it belongs to: dialogs do
// not take their parent's font, and the system's small one is hard to read
// beside the trainer's 12 points. It may come up while the patient answers,
// so neither Return nor Enter nor a digit closes it: the mouse, Space or
// Escape do.
void showNotice(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);
// The same guard for a dialog of its own: Return, Enter and the digits reach
// neither the dialog nor its buttons, for as long as the dialog lives.
void ignoreAnswerKeys(QWidget *dialog);

#endif // NOTICE_H
