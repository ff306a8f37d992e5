#include "homework/homeworkactions.h"

#include "homework/homeworkdialog.h"
#include "homework/homeworkfile.h"
#include "records/notice.h"
#include "records/patientrecords.h"
#include "settings/basepreferences.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QStandardPaths>

homeworkActions::homeworkActions(patientRecords &records, basePreferences &prefs, QWidget *window)
    : QObject(window)
    , records(records)
    , prefs(prefs)
    , window(window)
{
    QMenu *menu = records.menu();
    menu->addSeparator();
    createAction = menu->addAction(tr("Hausaufgabe erstellen…"), this, &homeworkActions::create);
    QAction *importAction = menu->addAction(tr("Ergebnisse übernehmen…"), this, &homeworkActions::importResults);
    createAction->setObjectName(QStringLiteral("actionHausaufgabe"));
    importAction->setObjectName(QStringLiteral("actionErgebnisse"));
    createAction->setEnabled(records.patientIdChosen());
    connect(&records, &patientRecords::patientChanged, createAction,
            [this](const QString &name) { createAction->setEnabled(!name.isEmpty()); });
}

void homeworkActions::create()
{
    const qint64 patientId = records.patientIdChosen();
    if (!patientId)
        return;
    homeworkDialog dialog(records.patient(), homeworkFile::defaults(prefs, QDate::currentDate()),
                          prefs.value(QStringLiteral("wordList")).toString(), window);
    if (dialog.exec() != QDialog::Accepted)
        return records.recorder().restartClock();
    homeworkInfo homework = dialog.homework();
    // Never the patient's name unless typed as the file's: a lost stick
    // should not tell whose homework it is.
    const QString name = homework.displayName.isEmpty() ? homeworkFile::placeholderName : homework.displayName;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = QFileDialog::getSaveFileName(window, tr("Hausaufgabe speichern"),
                                                QDir(folder).filePath(name + QStringLiteral(".skarvel")),
                                                tr("Hausaufgaben (*.skarvel)"));
    records.recorder().restartClock();
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".skarvel")))
        path += QStringLiteral(".skarvel");
    const QString problem = homeworkFile::write(path, records.store(), patientId, homework);
    if (!problem.isEmpty())
        return showNotice(window, QMessageBox::Warning, tr("Hausaufgabe"), problem);
    showNotice(window, QMessageBox::Information, tr("Hausaufgabe"),
               tr("Die Hausaufgabe für %1 ist als „%2“ gespeichert: %3 Minuten an %4 Tagen der Woche, "
                  "vom %5 bis zum %6.")
                   .arg(records.patient(), path, QString::number(homework.minutesPerDay),
                        QString::number(homework.daysPerWeek), homework.starts.toString(QStringLiteral("dd.MM.yyyy")),
                        homework.ends.toString(QStringLiteral("dd.MM.yyyy"))));
}

void homeworkActions::importResults()
{
    const QString path = QFileDialog::getOpenFileName(window, tr("Ergebnisse übernehmen"), QString(),
                                                      tr("Hausaufgaben (*.skarvel);;Alle Dateien (*)"));
    records.recorder().restartClock();
    if (!path.isEmpty())
        importFile(path);
}

void homeworkActions::importFile(const QString &path)
{
    QString message;
    qint64 patientId = 0;
    const int added = homeworkFile::import(path, records.store(), &message, &patientId);
    if (added < 0)
        return showNotice(window, QMessageBox::Warning, tr("Ergebnisse übernehmen"), message);
    QString patient;
    for (const patientRecord &record : records.store().patients()) {
        if (record.id == patientId)
            patient = record.shown();
    }
    showNotice(window, QMessageBox::Information, tr("Ergebnisse übernehmen"),
               added ? tr("Aus „%1“ sind %2 für %3 übernommen.").arg(path, homeworkFile::newAnswers(added), patient)
                     : tr("Aus „%1“ gibt es keine neuen Antworten für %2; alle waren schon übernommen.").arg(path, patient));
}
