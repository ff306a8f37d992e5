#ifndef HOMEWORKACTIONS_H
#define HOMEWORKACTIONS_H

#include <QObject>
#include <QString>

class QAction;
class QWidget;
class basePreferences;
class patientRecords;

// Homework in the practice, in the menu "Patient": "Hausaufgabe erstellen…"
// for the chosen patient, and "Ergebnisse übernehmen…" from a returned file
// into the patient it was made for.
class homeworkActions : public QObject
{
    Q_OBJECT

public:
    homeworkActions(patientRecords &records, basePreferences &prefs, QWidget *window);

public slots:
    void create();
    void importResults();
    // Merges the file and tells how many answers were new, or why nothing was.
    void importFile(const QString &path);

private:
    patientRecords &records;
    basePreferences &prefs;
    QWidget *window;
    QAction *createAction;
};

#endif // HOMEWORKACTIONS_H
