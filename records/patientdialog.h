#ifndef PATIENTDIALOG_H
#define PATIENTDIALOG_H

#include "ui_patientdialog.h"

#include <QDialog>

class recordStore;

// The list of patients, with "Neu", "Umbenennen" and "Löschen". Changes are
// made in the store at once and announced, so that a patient deleted here
// is not recorded for a moment longer; the choice counts only on "Wählen"
// or "Ohne Patient".
class patientDialog : public QDialog
{
    Q_OBJECT

public:
    patientDialog(recordStore &store, qint64 current, QWidget *parent = nullptr);

    qint64 chosenId() const; // 0: "Ohne Patient"
    QString chosenName() const;

signals:
    void renamed(qint64 id, const QString &name);
    void removed(qint64 id);

private slots:
    void addPatient();
    void renamePatient();
    void removePatient();
    void choose();
    void updateButtons();

private:
    void fill(qint64 select);
    QString askName(const QString &title, const QString &name);
    void complain(const QString &message);

    Ui_PatientDialog ui;
    recordStore &store;
    qint64 m_chosen = 0;
    QString m_chosenName;
};

#endif // PATIENTDIALOG_H
