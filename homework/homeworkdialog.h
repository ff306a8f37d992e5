#ifndef HOMEWORKDIALOG_H
#define HOMEWORKDIALOG_H

#include "homework/homeworkfile.h"
#include "ui_homeworkdialog.h"

#include <QDialog>

// "Hausaufgabe erstellen": the list, type and group, the settings the
// patient trains with at home, the goal and its period, whether the
// settings may be changed at home, and a name for the file if wanted.
class homeworkDialog : public QDialog
{
    Q_OBJECT

public:
    // homework: what the dialog starts from (homeworkFile::defaults);
    // ownList: the own list the practice trains with, empty for none.
    homeworkDialog(const QString &patient, const homeworkInfo &homework, const QString &ownList,
                   QWidget *parent = nullptr);

    // The homework as chosen; its list is taken when it is accepted.
    const homeworkInfo &homework() const;

    void accept() override;

private:
    void listChosen(int index);
    void fillGroups();

    Ui_HomeworkDialog ui;
    homeworkInfo m_homework;
};

#endif // HOMEWORKDIALOG_H
