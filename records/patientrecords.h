#ifndef PATIENTRECORDS_H
#define PATIENTRECORDS_H

#include "records/recordstore.h"
#include "records/trainingrecorder.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;
class basePreferences;

// The capability "Patient": the menu, the chosen patient (keys "patient"
// and, for a patient with a second line, "patientNote"),
// the recorder that writes for it, the Verlauf and the practice of the words
// answered wrong. The file is opened only once a patient is chosen.
class patientRecords : public QObject
{
    Q_OBJECT

public:
    static const QString practiceGroup; // "Fehlerwörter"

    // window: the parent of the menu and of every dialog and message.
    patientRecords(basePreferences &prefs, QWidget *window,
                   const QString &fileName = recordStore::defaultFileName());

    QMenu *menu() const;
    trainingRecorder &recorder();
    recordStore &store();
    // The chosen patient as lists show it: the name, the second line in
    // brackets.
    const QString &patient() const;
    qint64 patientIdChosen() const; // 0: nobody

    // Chooses the command line's patient, else the stored one, once the
    // window has painted itself: the first picture never waits for the file.
    void startAfterPaint(const QString &commandLinePatient);
    void start(const QString &commandLinePatient);

public slots:
    void choosePatient();
    void showVerlauf();
    void setPracticeOffered(bool offered);
    // The file's patients changed behind the dialogs (brought in from the
    // practice server): the chosen one stays chosen by identity, with the
    // name as it is now, or nobody is once they are gone.
    void patientsChanged();

signals:
    void patientChanged(const QString &shownName); // empty: nobody
    // Someone else trains from now on (not a rename).
    void traineeChanged();
    void practiceGroupChanged(const QStringList &entries);
    // One quiet line for the window while answers wait for the file;
    // empty once all are written.
    void waitingLine(const QString &line);
    // A problem that does not stop the training (the daily copy failed).
    void problem(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString stored(const QString &key) const;
    void store(const patientRecord &patient);
    // byName: any one patient of that name, whatever the second line.
    bool select(const QString &name, const QString &note, bool byName);
    void setPatient(const patientRecord &patient);
    void offerPractice();
    void tell(const QString &message);
    void backUp();
    void closingWhileWaiting();

    basePreferences &prefs;
    QWidget *window;
    recordStore m_store;
    trainingRecorder m_recorder;
    QMenu *m_menu;
    QAction *verlaufAction;
    QAction *practiceAction;
    qint64 patientId = 0;
    QString chosenUid;
    QString m_patient;
    QString commandLinePatient;
    QDate backedUpOn;
};

#endif // PATIENTRECORDS_H
