#include "records/patientrecords.h"

#include "records/notice.h"
#include "records/patientdialog.h"
#include "records/verlaufdialog.h"
#include "settings/basepreferences.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

const QString patientRecords::practiceGroup = QStringLiteral("Fehlerwörter");

namespace {

const QString patientKey = QStringLiteral("patient");
// The answers of the last trainings make the practice group: recent enough
// to be today's difficulties, enough of them to be more than one hour's luck.
const int practiceTrainings = 5;

} // namespace

patientRecords::patientRecords(basePreferences &prefs, QWidget *window, const QString &fileName)
    : QObject(window)
    , prefs(prefs)
    , window(window)
    , m_store(fileName)
    , m_menu(new QMenu(tr("Patient"), window))
{
    m_menu->setObjectName(QStringLiteral("menuPatient"));
    QAction *chooseAction = m_menu->addAction(tr("Patient wählen…"), this, &patientRecords::choosePatient);
    verlaufAction = m_menu->addAction(tr("Verlauf…"), this, &patientRecords::showVerlauf);
    practiceAction = m_menu->addAction(tr("Fehlerwörter üben"));
    practiceAction->setCheckable(true);
    chooseAction->setObjectName(QStringLiteral("actionPatientWaehlen"));
    verlaufAction->setObjectName(QStringLiteral("actionVerlauf"));
    practiceAction->setObjectName(QStringLiteral("actionFehlerwoerter"));
    verlaufAction->setEnabled(false);
    practiceAction->setEnabled(false);
    connect(practiceAction, &QAction::toggled, this, &patientRecords::setPracticeOffered);

    connect(&m_recorder, &trainingRecorder::writeFailed, this, &patientRecords::tell);
    // Not while "Fehlerwörter" is trained: a new list would start its cycle again.
    connect(&m_recorder, &trainingRecorder::answerRecorded, this, [this] {
        if (practiceAction->isChecked() && m_recorder.group() != practiceGroup)
            offerPractice();
    });
}

QMenu *patientRecords::menu() const
{
    return m_menu;
}

trainingRecorder &patientRecords::recorder()
{
    return m_recorder;
}

recordStore &patientRecords::store()
{
    return m_store;
}

const QString &patientRecords::patient() const
{
    return m_patient;
}

void patientRecords::startAfterPaint(const QString &commandLinePatient)
{
    if (commandLinePatient.isEmpty() && storedPatient().isEmpty())
        return;
    this->commandLinePatient = commandLinePatient;
    window->installEventFilter(this);
}

bool patientRecords::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Paint) {
        window->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { start(commandLinePatient); });
    }
    return QObject::eventFilter(watched, event);
}

void patientRecords::start(const QString &commandLinePatient)
{
    QString problem;
    if (commandLinePatient.isEmpty()) {
        // A stored name that cannot be one acts as none and stays untouched.
        const QString name = recordStore::cleanName(storedPatient(), &problem);
        if (problem.isEmpty())
            select(name);
        return;
    }
    const QString name = recordStore::cleanName(commandLinePatient, &problem);
    // Never the stored patient instead: the answers would go to someone else.
    if (!problem.isEmpty())
        return tell(tr("„%1“ (--patient) kann kein Patient sein: %2. Es wird nichts aufgezeichnet.")
                        .arg(commandLinePatient, problem));
    select(name);
}

void patientRecords::choosePatient()
{
    // Listing the patients of an existing file writes nothing; the file is
    // made with the first patient.
    m_store.open(false);
    const QString notice = m_store.takeNotice();
    if (!notice.isEmpty())
        tell(notice);

    patientDialog dialog(m_store, patientId, window);
    connect(&dialog, &patientDialog::removed, this, [this](qint64 id) {
        if (id == patientId) {
            setPatient(0, QString());
            prefs.setValue(patientKey, QString());
        }
    });
    connect(&dialog, &patientDialog::renamed, this, [this](qint64 id, const QString &name) {
        if (id == patientId) {
            setPatient(id, name);
            prefs.setValue(patientKey, name);
        }
    });
    if (dialog.exec() == QDialog::Accepted && dialog.chosenId() != patientId) {
        setPatient(dialog.chosenId(), dialog.chosenName());
        prefs.setValue(patientKey, dialog.chosenName());
    }
    m_recorder.restartClock();
}

void patientRecords::showVerlauf()
{
    if (!patientId)
        return;
    verlaufDialog dialog(m_store, patientId, m_patient, window);
    dialog.exec();
    m_recorder.restartClock();
}

void patientRecords::setPracticeOffered(bool offered)
{
    if (practiceAction->isChecked() != offered)
        return practiceAction->setChecked(offered);
    offerPractice();
    if (!offered || !patientId)
        return;
    const int words = m_store.missedEntries(patientId, practiceTrainings).size();
    showNotice(
        window, QMessageBox::Information, tr("Fehlerwörter üben"),
        words ? tr("Beim Trainingstyp „Falschwörter“ steht jetzt nach „Alle“ die Gruppe „%1“ zur Wahl: "
                   "%2, die %3 in den letzten fünf Trainings nicht im 1. Versuch richtig hatte.")
                    .arg(practiceGroup, words == 1 ? tr("ein Wort") : tr("%1 Wörter").arg(words), m_patient)
              : tr("%1 hat in den letzten fünf Trainings mit „Falschwörter“ alles im 1. Versuch richtig "
                   "beantwortet. Sobald ein Wort falsch gewählt wird, steht die Gruppe „%2“ zur Wahl.")
                    .arg(m_patient, practiceGroup));
}

QString patientRecords::storedPatient() const
{
    const QVariant value = prefs.value(patientKey);
    return value.userType() == qMetaTypeId<QString>() ? value.toString() : QString();
}

bool patientRecords::select(const QString &name)
{
    const bool opened = m_store.open(true);
    const QString notice = m_store.takeNotice();
    if (!notice.isEmpty())
        tell(notice);
    if (!opened)
        return false;
    qint64 id = m_store.patientId(name);
    if (!id)
        id = m_store.addPatient(name);
    if (!id) {
        tell(m_store.takeNotice());
        return false;
    }
    // The name as the file spells it: "--patient müller" chooses "Müller".
    for (const patientRecord &patient : m_store.patients()) {
        if (patient.id == id)
            setPatient(id, patient.name);
    }
    if (storedPatient() != m_patient)
        prefs.setValue(patientKey, m_patient);
    return true;
}

void patientRecords::setPatient(qint64 id, const QString &name)
{
    if (id != patientId)
        m_recorder.setPatient(&m_store, id);
    patientId = id;
    m_patient = name;
    verlaufAction->setEnabled(id);
    practiceAction->setEnabled(id);
    emit patientChanged(name);
    offerPractice();
}

void patientRecords::offerPractice()
{
    emit practiceGroupChanged(practiceAction->isChecked() && patientId
                                  ? m_store.missedEntries(patientId, practiceTrainings)
                                  : QStringList());
}

void patientRecords::tell(const QString &message)
{
    showNotice(window, QMessageBox::Warning, tr("Patient"), message);
}
