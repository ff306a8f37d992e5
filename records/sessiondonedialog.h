#ifndef SESSIONDONEDIALOG_H
#define SESSIONDONEDIALOG_H

#include "ui_sessiondonedialog.h"

#include <QDialog>

// The session goal reached: what was done, and the choice to go on (also
// Escape) or to stop. It comes up between two items, so none of the
// patient's answer keys closes it.
class sessionDoneDialog : public QDialog
{
    Q_OBJECT

public:
    explicit sessionDoneDialog(const QString &summary, QWidget *parent = nullptr);

private:
    Ui_SessionDoneDialog ui;
};

#endif // SESSIONDONEDIALOG_H
