#ifndef PATIENTDIALOG_H
#define PATIENTDIALOG_H

#include "records/recordstore.h"
#include "ui_patientdialog.h"

#include <QDialog>
#include <QList>

// The list of patients, with "Neu", "Umbenennen" and "Löschen". Changes are
// made in the store at once and announced, so that a patient deleted here
// is not recorded for a moment longer; the choice counts only on "Wählen"
// or "Ohne Patient". With the practice server, the Behandelnde of the
// selected patient too, as the outbox's file keeps them.
class patientDialog : public QDialog
{
    Q_OBJECT

public:
    patientDialog(recordStore &store, qint64 current, QWidget *parent = nullptr);

    const patientRecord &chosen() const; // id 0: "Ohne Patient"

signals:
    void renamed(const patientRecord &patient);
    void removed(qint64 id);

private slots:
    void addPatient();
    void renamePatient();
    void removePatient();
    void choose();
    void updateButtons();
    void changeTreating(QListWidgetItem *item);

private:
    void fill(qint64 select);
    void fillLog();
    void fillTreating();
    patientRecord current() const;
    void complain(const QString &message);

    Ui_PatientDialog ui;
    recordStore &store;
    QList<patientRecord> m_patients;
    patientRecord m_chosen;
    QStringList therapists; // none: an ordinary records file, no Behandelnde
    QString ownRole;
};

#endif // PATIENTDIALOG_H
