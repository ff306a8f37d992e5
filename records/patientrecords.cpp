#include "records/patientrecords.h"

#include "records/notice.h"
#include "records/patientdialog.h"
#include "records/recordsbackup.h"
#include "records/verlaufdialog.h"
#include "settings/basepreferences.h"

#include <QAction>
#include <QDate>
#include <QEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <algorithm>

const QString patientRecords::practiceGroup = QStringLiteral("Fehlerwörter");

namespace {

const QString patientKey = QStringLiteral("patient");
const QString noteKey = QStringLiteral("patientNote");

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
    // The words missed in another list would bring that list's words back.
    connect(&m_recorder, &trainingRecorder::wordListChanged, this, &patientRecords::offerPractice);
    // Not while "Fehlerwörter" is trained: a new list would start its cycle again.
    connect(&m_recorder, &trainingRecorder::answerRecorded, this, [this] {
        backUp();
        if (practiceAction->isChecked() && m_recorder.group() != practiceGroup)
            offerPractice();
    });
    connect(&m_recorder, &trainingRecorder::waitingChanged, this, [this](int answers) {
        emit waitingLine(answers ? tr("Die Aufzeichnungen sind gerade von einem anderen Programm belegt – "
                                      "%1 gespeichert, sobald sie frei sind.")
                                       .arg(answers == 1 ? tr("eine Antwort wird") : tr("%1 Antworten werden").arg(answers))
                                 : QString());
    });
    connect(&m_recorder, &trainingRecorder::closingWhileWaiting, this, &patientRecords::closingWhileWaiting);
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

qint64 patientRecords::patientIdChosen() const
{
    return patientId;
}

void patientRecords::startAfterPaint(const QString &commandLinePatient)
{
    if (commandLinePatient.isEmpty() && stored(patientKey).isEmpty())
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
    QString noteProblem;
    if (commandLinePatient.isEmpty()) {
        // A stored name that cannot be one acts as none and stays untouched.
        const QString name = recordStore::cleanName(stored(patientKey), &problem);
        const QString note = recordStore::cleanNote(stored(noteKey), &noteProblem);
        if (problem.isEmpty() && noteProblem.isEmpty())
            select(name, note, false);
        return;
    }
    const QString name = recordStore::cleanName(commandLinePatient, &problem);
    // Never the stored patient instead: the answers would go to someone else.
    if (!problem.isEmpty())
        return tell(tr("„%1“ (--patient) kann kein Patient sein: %2. Es wird nichts aufgezeichnet.")
                        .arg(commandLinePatient, problem));
    select(name, QString(), true);
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
    // The list or the log could not be read: said, not shown empty.
    const QString unread = m_store.takeNotice();
    if (!unread.isEmpty())
        tell(unread);
    connect(&dialog, &patientDialog::removed, this, [this](qint64 id) {
        if (id == patientId) {
            setPatient(patientRecord());
            store(patientRecord());
        }
        m_recorder.forget(id);
    });
    connect(&dialog, &patientDialog::renamed, this, [this](const patientRecord &patient) {
        if (patient.id == patientId) {
            setPatient(patient);
            store(patient);
        }
    });
    if (dialog.exec() == QDialog::Accepted && dialog.chosen().id != patientId) {
        setPatient(dialog.chosen());
        store(dialog.chosen());
    }
    m_recorder.restartClock();
}

void patientRecords::showVerlauf()
{
    if (!patientId)
        return;
    if (!m_recorder.retryWaiting()) {
        const int waiting = m_recorder.waitingWords().size();
        tell(tr("%1 noch darauf, gespeichert zu werden, und %2 im Verlauf, bis das andere Programm die "
                "Aufzeichnungen freigibt.")
                 .arg(waiting == 1 ? tr("Eine Antwort wartet") : tr("%1 Antworten warten").arg(waiting),
                      waiting == 1 ? tr("fehlt") : tr("fehlen")));
    }
    verlaufDialog dialog(m_store, patientId, m_patient, window);
    // Not an empty Verlauf in its place: the file was held or unreadable.
    const QString unread = m_store.takeNotice();
    if (!unread.isEmpty())
        tell(unread);
    else
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
    const int words = m_store.dueEntries(patientId, m_recorder.wordList(), QDate::currentDate()).size();
    showNotice(
        window, QMessageBox::Information, tr("Fehlerwörter üben"),
        words ? tr("Beim Trainingstyp „Falschwörter“ steht jetzt nach „Alle“ die Gruppe „%1“ zur Wahl: "
                   "%2, die %3 nicht im 1. Versuch richtig hatte und heute wiederholen sollte.")
                    .arg(practiceGroup, words == 1 ? tr("ein Wort") : tr("%1 Wörter").arg(words), m_patient)
              : tr("Für %1 ist heute kein Wort zur Wiederholung fällig. Sobald ein Wort bei „Falschwörter“ "
                   "falsch gewählt wird, steht es ab dem nächsten Tag in der Gruppe „%2“.")
                    .arg(m_patient, practiceGroup));
}

void patientRecords::patientsChanged()
{
    if (!patientId || !m_store.isOpen())
        return;
    // Not found by identity: the one of this id took the server's identity
    // of the same patient.
    const qint64 id = m_store.patientIdByUid(chosenUid);
    const QList<patientRecord> list = m_store.patients();
    const auto now = std::find_if(list.begin(), list.end(),
                                  [id, this](const patientRecord &p) { return p.id == (id ? id : patientId); });
    if (now == list.end()) {
        const QString gone = m_patient;
        setPatient(patientRecord());
        store(patientRecord());
        return tell(tr("„%1“ gibt es auf dem Praxisserver nicht mehr, oder Sie behandeln ihn nicht mehr. Für ihn wird "
                       "nichts mehr aufgezeichnet.").arg(gone));
    }
    if (now->id != patientId || now->shown() != m_patient) {
        setPatient(*now);
        store(*now);
    }
    chosenUid = m_store.patientUid(patientId);
}

QString patientRecords::stored(const QString &key) const
{
    const QVariant value = prefs.value(key);
    return value.userType() == qMetaTypeId<QString>() ? value.toString() : QString();
}

void patientRecords::store(const patientRecord &patient)
{
    if (stored(patientKey) != patient.name)
        prefs.setValue(patientKey, patient.name);
    // Only where it was ever needed: a first start writes nothing.
    if (stored(noteKey) != patient.note)
        prefs.setValue(noteKey, patient.note);
}

bool patientRecords::select(const QString &name, const QString &note, bool byName)
{
    const bool opened = m_store.open(true);
    const QString notice = m_store.takeNotice();
    if (!notice.isEmpty())
        tell(notice);
    if (!opened)
        return false;
    QList<patientRecord> found;
    for (const patientRecord &patient : m_store.patients()) {
        if (recordStore::matchKey(patient.name, byName ? QString() : patient.note) == recordStore::matchKey(name, note))
            found.append(patient);
    }
    if (found.size() > 1) {
        tell(tr("Es gibt mehrere Patienten mit dem Namen „%1“. Bitte im Menü „Patient“ den richtigen wählen; "
                "bis dahin wird nichts aufgezeichnet.").arg(name));
        return false;
    }
    // The name as the file spells it: "--patient müller" chooses "Müller".
    if (found.isEmpty()) {
        const qint64 id = m_store.addPatient(name, note);
        if (!id) {
            tell(m_store.takeNotice());
            return false;
        }
        found.append({id, name, note});
    }
    setPatient(found.first());
    store(found.first());
    return true;
}

void patientRecords::setPatient(const patientRecord &patient)
{
    const bool another = patient.id != patientId;
    if (another)
        m_recorder.setPatient(&m_store, patient.id);
    patientId = patient.id;
    chosenUid = patientId ? m_store.patientUid(patientId) : QString();
    if (another)
        emit traineeChanged();
    m_patient = patient.id ? patient.shown() : QString();
    verlaufAction->setEnabled(patientId);
    practiceAction->setEnabled(patientId);
    emit patientChanged(m_patient);
    offerPractice();
    if (patientId)
        backUp();
}

void patientRecords::offerPractice()
{
    emit practiceGroupChanged(practiceAction->isChecked() && patientId
                                  ? m_store.dueEntries(patientId, m_recorder.wordList(), QDate::currentDate())
                                  : QStringList());
}

void patientRecords::tell(const QString &message)
{
    showNotice(window, QMessageBox::Warning, tr("Patient"), message);
}

void patientRecords::backUp()
{
    const QDate today = QDate::currentDate();
    if (backedUpOn == today || !m_store.isOpen())
        return;
    backedUpOn = today;
    const QString problem = recordsBackup::make(m_store, today);
    if (!problem.isEmpty())
        emit this->problem(problem);
}

void patientRecords::closingWhileWaiting()
{
    for (;;) {
        QMessageBox box(QMessageBox::Warning, tr("Patient"),
                        tr("%1 noch nicht gespeichert: ein anderes Programm hält „%2“ fest, etwa ein zweites "
                           "Skarvel oder eine Datensicherung. Bitte das andere Programm schließen und dann "
                           "„Noch einmal versuchen“ wählen.")
                            .arg(m_recorder.waitingWords().size() == 1
                                     ? tr("Eine Antwort ist")
                                     : tr("%1 Antworten sind").arg(m_recorder.waitingWords().size()),
                                 m_store.fileName()),
                        QMessageBox::NoButton, window);
        box.setFont(window->font());
        QPushButton *retry = box.addButton(tr("Noch einmal versuchen"), QMessageBox::AcceptRole);
        box.addButton(tr("Ohne sie beenden"), QMessageBox::RejectRole);
        ignoreAnswerKeys(&box);
        box.exec();
        if (box.clickedButton() != retry)
            break;
        if (m_recorder.retryWaiting(m_recorder.closingWait()))
            return;
    }
    // Said as it is: they are not written later behind the therapist's back.
    const QStringList words = m_recorder.dropWaiting();
    tell(tr("Nicht gespeichert %1 zu diesen Wörtern: %2.")
             .arg(words.size() == 1 ? tr("wurde eine Antwort") : tr("wurden %1 Antworten").arg(words.size()),
                  words.join(QStringLiteral(", "))));
}
