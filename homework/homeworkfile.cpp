#include "homework/homeworkfile.h"

#include "records/recordstore.h"
#include "settings/basepreferences.h"
#include "words/picturefolder.h"
#include "words/wordlist.h"
#include "words/userfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUuid>

const int homeworkFile::formatVersion = 1;
const QStringList homeworkFile::settingKeys = {
    QStringLiteral("gameMethod"), QStringLiteral("timeDelay"),  QStringLiteral("fontSize"),
    QStringLiteral("speakWords"), QStringLiteral("speechVoice"), QStringLiteral("speechRate"),
    QStringLiteral("presentation"), QStringLiteral("gameType"), QStringLiteral("wordGroup"),
};
const QString homeworkFile::placeholderName = QStringLiteral("Hausaufgabe");

namespace {

const char settingPrefix[] = "setting.";

QString tr(const char *text)
{
    return QCoreApplication::translate("homeworkFile", text);
}

// A connection of its own for as long as it is in scope.
class fileConnection
{
public:
    explicit fileConnection(const QString &path)
        : name(QStringLiteral("homework-%1").arg(quintptr(this)))
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
    }
    ~fileConnection()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    QString name;
    QSqlDatabase db;
};

void removeWithJournals(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

bool writeHeader(QSqlDatabase &db, const homeworkInfo &info)
{
    QMap<QString, QString> values{
        {QStringLiteral("format_version"), QString::number(homeworkFile::formatVersion)},
        {QStringLiteral("assignment_uid"), info.assignmentUid},
        {QStringLiteral("records_uid"), info.recordsUid},
        {QStringLiteral("patient_uid"), info.patientUid},
        {QStringLiteral("display_name"), info.displayName},
        {QStringLiteral("created"), info.created.toUTC().toString(Qt::ISODate)},
        {QStringLiteral("minutes_per_day"), QString::number(info.minutesPerDay)},
        {QStringLiteral("days_per_week"), QString::number(info.daysPerWeek)},
        {QStringLiteral("starts"), info.starts.toString(Qt::ISODate)},
        {QStringLiteral("ends"), info.ends.toString(Qt::ISODate)},
        {QStringLiteral("settings_free"), info.settingsFree ? QStringLiteral("1") : QStringLiteral("0")},
        {QStringLiteral("list_name"), info.listName},
        {QStringLiteral("list_text"), QString::fromUtf8(info.listText)},
    };
    for (auto it = info.settings.begin(); it != info.settings.end(); ++it)
        values.insert(QLatin1String(settingPrefix) + it.key(), it.value().toString());

    QSqlQuery query(db);
    bool ok = db.transaction()
        && query.exec(QStringLiteral("CREATE TABLE homework_info (key TEXT PRIMARY KEY, value TEXT NOT NULL)"))
        && query.exec(QStringLiteral("CREATE TABLE homework_pictures (name TEXT PRIMARY KEY, data BLOB NOT NULL)"));
    for (auto it = values.begin(); ok && it != values.end(); ++it) {
        ok = query.prepare(QStringLiteral("INSERT INTO homework_info (key, value) VALUES (?, coalesce(?, ''))"));
        query.addBindValue(it.key());
        query.addBindValue(it.value());
        ok = ok && query.exec();
    }
    for (auto it = info.pictures.begin(); ok && it != info.pictures.end(); ++it) {
        ok = query.prepare(QStringLiteral("INSERT INTO homework_pictures (name, data) VALUES (?, ?)"));
        query.addBindValue(it.key());
        query.addBindValue(it.value());
        ok = ok && query.exec();
    }
    ok = ok && db.commit();
    query.finish();
    // One file to carry home, whatever journal the records use.
    return ok && query.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
}

} // namespace

homeworkInfo homeworkFile::defaults(const basePreferences &prefs, const QDate &today)
{
    homeworkInfo info;
    info.starts = today;
    info.ends = today.addDays(27);
    for (const QString &key : settingKeys) {
        const QVariant value = prefs.value(key);
        if (value.isValid())
            info.settings.insert(key, value);
    }
    return info;
}

QString homeworkFile::takeList(const QString &path, homeworkInfo *info)
{
    info->listName.clear();
    info->listText.clear();
    info->pictures.clear();
    if (path.isEmpty())
        return QString();
    const wordList list = wordList::read(path);
    if (!list.refusal().isEmpty())
        return list.refusal();
    if (!list.problems().isEmpty())
        return tr("Die Wortliste „%1“ hat Fehler (%2). Bitte erst im Menü „Wortliste“ berichtigen.")
            .arg(QFileInfo(path).fileName(), list.problems().first().message());
    info->listName = QFileInfo(path).absoluteFilePath();
    info->listText = list.toBytes();
    const QDir folder(pictureFolder(path).path());
    for (const QFileInfo &picture : folder.entryInfoList(QDir::Files)) {
        QFile file(picture.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return tr("Das Bild „%1“ kann nicht gelesen werden.").arg(picture.filePath());
        info->pictures.insert(picture.fileName(), file.readAll());
    }
    return QString();
}

QString homeworkFile::write(const QString &path, recordStore &practice, qint64 patientId, homeworkInfo &info)
{
    const QString cannot = tr("Die Hausaufgabe kann nicht als „%1“ gespeichert werden: %2.");
    info.recordsUid = practice.recordsUid();
    info.patientUid = practice.patientUid(patientId);
    if (info.recordsUid.isEmpty() || info.patientUid.isEmpty())
        return cannot.arg(path, tr("den Patienten gibt es in den Aufzeichnungen nicht"));
    if (info.assignmentUid.isEmpty())
        info.assignmentUid = QUuid::createUuid().toString(QUuid::Id128);
    if (!info.created.isValid())
        info.created = QDateTime::currentDateTimeUtc();

    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        return cannot.arg(path, tr("den Ordner „%1“ gibt es nicht").arg(QFileInfo(path).absolutePath()));
    QString partName;
    {
        // QTemporaryFile makes its file for its user alone. Its close()
        // keeps the file open, which on Windows would bar SQLite and the
        // rename below: only its end lets go of it.
        QTemporaryFile part(QFileInfo(path).absolutePath() + QStringLiteral("/.skarvel-XXXXXX.part"));
        part.setAutoRemove(false);
        if (!part.open())
            return cannot.arg(path, tr("der Ordner ist schreibgeschützt oder der Datenträger voll"));
        partName = part.fileName();
    }

    QString problem;
    {
        recordStore file(partName);
        qint64 id = 0;
        // The missed words go along with their schedule: at home they come
        // back on the days they would in the practice.
        if (!file.open(true)
            || !(id = file.addPatient(info.displayName.isEmpty() ? placeholderName : info.displayName, QString(),
                                      info.patientUid))
            || file.copyReviewHistory(practice.fileName(), info.patientUid, id, info.listName) < 0) {
            const QString notice = file.takeNotice();
            removeWithJournals(partName);
            return notice;
        }
    }
    {
        fileConnection file(partName);
        if (!file.db.isOpen() || !writeHeader(file.db, info))
            problem = tr("der Datenträger ist voll oder meldet einen Schreibfehler");
    }
    // A file of that name was asked to be replaced; the new one is complete.
    if (problem.isEmpty() && QFileInfo::exists(path) && !QFile::remove(path))
        problem = tr("die Datei, die es dort schon gibt, lässt sich nicht ersetzen");
    if (problem.isEmpty() && !QFile::rename(partName, path))
        problem = tr("die Datei lässt sich dort nicht anlegen");
    if (!problem.isEmpty()) {
        removeWithJournals(partName);
        return cannot.arg(path, problem);
    }
    userFile::makePrivate(path);

    assignmentRecord assignment{0, info.assignmentUid, patientId, info.created, info.minutesPerDay, info.daysPerWeek,
                                info.starts, info.ends};
    // Logged with the assignment: a homework that cannot be logged is not handed out.
    if (!practice.addAssignment(assignment) || !practice.logAccess(recordStore::exportedHomework, patientId)) {
        QFile::remove(path);
        return practice.takeNotice();
    }
    return QString();
}

QString homeworkFile::read(const QString &path, homeworkInfo *info)
{
    const QString refused = tr("„%1“ kann nicht geöffnet werden: %2.");
    if (!QFileInfo(path).isFile())
        return refused.arg(path, tr("die Datei gibt es nicht"));
    const QString damaged = refused.arg(path, tr("die Datei ist beschädigt oder keine Hausaufgabe von Skarvel"));
    const QString newer = refused.arg(
        path, tr("die Hausaufgabe stammt von einer neueren Version von Skarvel; bitte Skarvel aktualisieren"));

    fileConnection file(path);
    QSqlQuery query(file.db);
    QVariantList header;
    for (const char *pragma : {"PRAGMA application_id", "PRAGMA user_version", "PRAGMA quick_check"}) {
        if (!file.db.isOpen() || !query.exec(QLatin1String(pragma)) || !query.next())
            return damaged;
        header.append(query.value(0));
    }
    if (header.at(0).toLongLong() != 0x534B5256 || header.at(2).toString() != QLatin1String("ok"))
        return damaged;
    if (header.at(1).toInt() > recordStore::schemaVersion)
        return newer;
    QMap<QString, QString> values;
    if (!query.exec(QStringLiteral("SELECT key, value FROM homework_info")))
        return damaged;
    while (query.next())
        values.insert(query.value(0).toString(), query.value(1).toString());
    bool ok = false;
    const int version = values.value(QStringLiteral("format_version")).toInt(&ok);
    if (!ok || version < 1 || values.value(QStringLiteral("patient_uid")).isEmpty())
        return damaged;
    if (version > formatVersion)
        return newer;

    info->assignmentUid = values.value(QStringLiteral("assignment_uid"));
    info->recordsUid = values.value(QStringLiteral("records_uid"));
    info->patientUid = values.value(QStringLiteral("patient_uid"));
    info->displayName = values.value(QStringLiteral("display_name"));
    info->created = QDateTime::fromString(values.value(QStringLiteral("created")), Qt::ISODate);
    info->minutesPerDay = values.value(QStringLiteral("minutes_per_day")).toInt();
    info->daysPerWeek = values.value(QStringLiteral("days_per_week")).toInt();
    info->starts = QDate::fromString(values.value(QStringLiteral("starts")), Qt::ISODate);
    info->ends = QDate::fromString(values.value(QStringLiteral("ends")), Qt::ISODate);
    info->settingsFree = values.value(QStringLiteral("settings_free")) == QLatin1String("1");
    info->listName = values.value(QStringLiteral("list_name"));
    info->listText = values.value(QStringLiteral("list_text")).toUtf8();
    info->settings.clear();
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it.key().startsWith(QLatin1String(settingPrefix)))
            info->settings.insert(it.key().mid(int(sizeof settingPrefix) - 1), it.value());
    }
    info->pictures.clear();
    if (!query.exec(QStringLiteral("SELECT name, data FROM homework_pictures")))
        return damaged;
    while (query.next())
        info->pictures.insert(query.value(0).toString(), query.value(1).toByteArray());
    return QString();
}

bool homeworkFile::madeFrom(const homeworkInfo &info, const QString &recordsFile)
{
    // SQLite would make a file that is not there.
    if (!QFileInfo(recordsFile).isFile())
        return false;
    fileConnection file(recordsFile);
    QSqlQuery query(file.db);
    query.prepare(QStringLiteral("SELECT count(*) FROM store_info s, patients p"
                                 " WHERE s.key = 'records_uid' AND s.value = ? AND p.uid = ?"));
    query.addBindValue(info.recordsUid);
    query.addBindValue(info.patientUid);
    return query.exec() && query.next() && query.value(0).toInt() > 0;
}

int homeworkFile::import(const QString &path, recordStore &practice, QString *message, qint64 *patientId)
{
    homeworkInfo info;
    *message = read(path, &info);
    if (!message->isEmpty())
        return -1;
    const QString refused = tr("Aus „%1“ wird nichts übernommen: %2.");
    if (!practice.open(false) || info.recordsUid != practice.recordsUid()) {
        const QString notice = practice.takeNotice();
        *message = notice.isEmpty() ? refused.arg(path, tr("die Hausaufgabe wurde mit den Aufzeichnungen einer "
                                                          "anderen Praxis erstellt"))
                                    : notice;
        return -1;
    }
    const qint64 id = practice.patientIdByUid(info.patientUid);
    if (!id) {
        *message = refused.arg(path, tr("die Hausaufgabe wurde für einen Patienten erstellt, den es in diesen "
                                        "Aufzeichnungen nicht gibt"));
        return -1;
    }
    const int added = practice.mergeFrom(path, info.patientUid, id);
    if (added < 0 || !practice.logAccess(recordStore::imported, id))
        *message = practice.takeNotice();
    if (patientId)
        *patientId = id;
    return added;
}

QString homeworkFile::newAnswers(int count)
{
    return count == 1 ? tr("1 neue Antwort") : tr("%1 neue Antworten").arg(count);
}
