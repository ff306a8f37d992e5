#ifndef PATIENTNAMEDIALOG_H
#define PATIENTNAMEDIALOG_H

#include "ui_patientnamedialog.h"

#include <QDialog>

#include <functional>

// Name and second line of a new or renamed patient. A name cannot grow past
// its limit while it is typed; whatever else is wrong with it is said in the
// dialog, which stays open with the text as typed.
class patientNameDialog : public QDialog
{
    Q_OBJECT

public:
    // apply: makes the change; returns what stands in its way, empty when
    // it is made.
    using Apply = std::function<QString(const QString &name, const QString &note)>;

    patientNameDialog(const QString &title, const QString &name, const QString &note, Apply apply,
                      QWidget *parent = nullptr);

public slots:
    void accept() override;

private slots:
    void showLimit();

private:
    Ui_PatientNameDialog ui;
    Apply apply;
};

#endif // PATIENTNAMEDIALOG_H
