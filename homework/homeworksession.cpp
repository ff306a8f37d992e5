#include "homework/homeworksession.h"

#include "records/practicetime.h"
#include "words/userfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

homeworkSession::homeworkSession(const QString &path, const homeworkInfo &info, QObject *parent)
    : QObject(parent)
    , m_info(info)
    , m_store(path)
{
}

QString homeworkSession::open()
{
    // A homework goes back on a stick or by e-mail, often without anything
    // beside it: no answer may wait in a log next to the file.
    if (!m_store.open(false) || !m_store.keepInOneFile())
        return m_store.takeNotice();
    patientId = m_store.patientIdByUid(m_info.patientUid);
    if (!patientId)
        return tr("„%1“ enthält keinen Patienten, für den geübt werden kann.").arg(m_store.fileName());
    m_recorder.setPatient(&m_store, patientId);
    m_recorder.setAtHome(true);
    return QString();
}

const homeworkInfo &homeworkSession::info() const
{
    return m_info;
}

trainingRecorder &homeworkSession::recorder()
{
    return m_recorder;
}

recordStore &homeworkSession::store()
{
    return m_store;
}

void homeworkSession::trainingChosen(int gameType, const QString &group)
{
    m_recorder.trainingChosen(gameType, group, m_info.listName);
}

QString homeworkSession::listPath()
{
    if (m_info.listText.isEmpty())
        return QString();
    if (!listFolder) {
        listFolder = std::make_unique<QTemporaryDir>();
        const QString folder = listFolder->filePath(QStringLiteral("Bilder"));
        // The words and pictures are the patient's homework: theirs alone.
        bool ok = listFolder->isValid() && userFile::makePrivate(listFolder->path())
            && userFile::write(listFolder->filePath(QStringLiteral("Hausaufgabe.txt")), m_info.listText,
                               userFile::Private).isEmpty()
            && (m_info.pictures.isEmpty() || QDir().mkdir(folder));
        for (auto it = m_info.pictures.begin(); ok && it != m_info.pictures.end(); ++it) {
            // A name from the file never leaves its folder.
            const QString name = QFileInfo(it.key()).fileName();
            ok = !name.isEmpty() && userFile::write(folder + QLatin1Char('/') + name, it.value(),
                                                    userFile::Private).isEmpty();
        }
        if (!ok)
            listFolder.reset();
    }
    return listFolder ? listFolder->filePath(QStringLiteral("Hausaufgabe.txt")) : QString();
}

QString homeworkSession::weekProgress(const QDate &today)
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    qint64 ms = 0;
    int days = 0;
    for (const practiceTime::practiceSum &day : m_store.practiceDays(patientId)) {
        if (day.day < monday || day.day > monday.addDays(6))
            continue;
        // The file carries the practice's trainings of missed words too;
        // the goal is for the practice at home.
        if (!day.homeMs)
            continue;
        ms += day.homeMs;
        ++days;
    }
    return tr("Diese Woche: %1 von %2 Minuten, %3 von %4 Tagen")
        .arg(QString::number(ms / 60000), QString::number(m_info.minutesPerDay * m_info.daysPerWeek),
             QString::number(days), QString::number(m_info.daysPerWeek));
}

homeworkSession::dayDone homeworkSession::done(const QDate &day)
{
    dayDone sum;
    for (const practiceTime::practiceSum &practised : m_store.practiceDays(patientId)) {
        if (practised.day == day)
            sum.ms = practised.homeMs;
    }
    for (const trainingSummary &training : m_store.trainings(patientId)) {
        if (training.atHome && training.started.toLocalTime().date() == day) {
            sum.words += training.items;
            sum.firstRight += training.firstRight;
        }
    }
    return sum;
}

QStringList homeworkSession::dueEntries(const QDate &today)
{
    return m_store.dueEntries(patientId, m_info.listName, today);
}

QString homeworkSession::periodLine(const QDate &today) const
{
    const QString format = QStringLiteral("d. MMMM yyyy");
    if (m_info.ends.isValid() && today > m_info.ends)
        return tr("Die Hausaufgabe lief bis zum %1. Bitte bringen Sie die Datei in die Praxis mit.")
            .arg(QLocale(QLocale::German).toString(m_info.ends, format));
    if (m_info.starts.isValid() && today < m_info.starts)
        return tr("Die Hausaufgabe beginnt am %1.").arg(QLocale(QLocale::German).toString(m_info.starts, format));
    return QString();
}
