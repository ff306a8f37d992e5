#ifndef VERLAUFDIALOG_H
#define VERLAUFDIALOG_H

#include "records/verlaufreport.h"
#include "ui_verlaufdialog.h"

#include <QDialog>

class recordStore;

// The Verlauf of one patient: the trainings as a table, the percentage right
// at the first attempt as a chart over time and per presentation, the
// practice time per week beside it, the twenty words missed most; exported
// as CSV or PDF through a file dialog.
class verlaufDialog : public QDialog
{
    Q_OBJECT

public:
    // weeklyGoalMinutes: the practice asked for a week, drawn as a line
    // over the practice time; 0: none.
    verlaufDialog(recordStore &store, qint64 patientId, const QString &patient, QWidget *parent = nullptr,
                  int weeklyGoalMinutes = 0);

    const verlaufReport &report() const;
    // Writes the file whole or not at all; error says why not.
    bool exportCsv(const QString &fileName, QString *error) const;
    bool exportPdf(const QString &fileName, QString *error) const;

private slots:
    void chooseCsv();
    void choosePdf();

private:
    using Writer = bool (verlaufDialog::*)(const QString &, QString *) const;
    void exportAs(const QString &title, const QString &filter, const QString &suffix, Writer write);
    bool logExport(const QString &action, QString *error) const;

    Ui_VerlaufDialog ui;
    recordStore &store;
    qint64 patientId;
    QString patient;
    verlaufReport m_report;
};

#endif // VERLAUFDIALOG_H
