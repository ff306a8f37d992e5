#ifndef SESSIONGOALDIALOG_H
#define SESSIONGOALDIALOG_H

#include "ui_sessiongoaldialog.h"

#include <QDialog>

// Chooses the session goal: none, minutes of practice, or words.
class sessionGoalDialog : public QDialog
{
    Q_OBJECT

public:
    sessionGoalDialog(int minutes, int words, QWidget *parent = nullptr);

    int minutes() const; // 0: no goal in minutes
    int words() const;

private:
    Ui_SessionGoalDialog ui;
};

#endif // SESSIONGOALDIALOG_H
