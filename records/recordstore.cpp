#include "records/recordstore.h"
#include "records/reviewschedule.h"
#include "words/userfile.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVector>

#include <QUuid>

#include <algorithm>
#include <utility>
#include <vector>

const int recordStore::schemaVersion = 7;
const int recordStore::shortLockWait = 50;
const QString recordStore::exportedCsv = QStringLiteral("export-csv");
const QString recordStore::exportedPdf = QStringLiteral("export-pdf");
const QString recordStore::exportedHomework = QStringLiteral("export-homework");
const QString recordStore::imported = QStringLiteral("import");
const QString recordStore::deleted = QStringLiteral("delete");
const int recordStore::nameLength = 80;
const int recordStore::noteLength = 60;

namespace {

// "SKRV" in the file header: tells our file from any other SQLite file.
const qint64 applicationId = 0x534B5256;

// Entry v takes a file from version v to v + 1; a new file runs them all.
// Times are ISO 8601 in UTC; shown_words are the words in button order,
// joined by ";" like the lines of a word list.
const std::vector<std::vector<const char *>> migrations = {
    {
        "CREATE TABLE patients ("
        " id INTEGER PRIMARY KEY,"
        " name TEXT NOT NULL UNIQUE,"
        " created TEXT NOT NULL)",
        "CREATE TABLE trainings ("
        " id INTEGER PRIMARY KEY,"
        " patient_id INTEGER NOT NULL REFERENCES patients(id) ON DELETE CASCADE,"
        " started TEXT NOT NULL,"
        " ended TEXT,"
        " game_type INTEGER NOT NULL,"
        " word_group TEXT NOT NULL,"
        " word_list TEXT NOT NULL)",
        "CREATE INDEX trainings_by_patient ON trainings (patient_id, started)",
        "CREATE TABLE answers ("
        " id INTEGER PRIMARY KEY,"
        " training_id INTEGER NOT NULL REFERENCES trainings(id) ON DELETE CASCADE,"
        " at TEXT NOT NULL,"
        " right_word TEXT NOT NULL,"
        " shown_words TEXT NOT NULL,"
        " first_choice TEXT,"
        " first_attempt_right INTEGER NOT NULL,"
        " attempts INTEGER NOT NULL,"
        " response_ms INTEGER)",
        // Covers what the Verlauf reads of every answer.
        "CREATE INDEX answers_by_training ON answers (training_id, first_attempt_right, response_ms)",
    },
    // The second line, and names unique but for case in the file itself:
    // the table is built anew without the old case-sensitive UNIQUE, which
    // would forbid two patients of one name. migrateStep() fills match_key
    // and makes its index.
    {
        "CREATE TABLE patients_v2 ("
        " id INTEGER PRIMARY KEY,"
        " name TEXT NOT NULL,"
        " note TEXT NOT NULL DEFAULT '',"
        " match_key TEXT NOT NULL,"
        " created TEXT NOT NULL)",
        "INSERT INTO patients_v2 (id, name, match_key, created) SELECT id, name, '', created FROM patients",
        "DROP TABLE patients",
        "ALTER TABLE patients_v2 RENAME TO patients",
    },
    // How the items were offered. Every training before it was written
    // words only; NOT NULL with a default fills the old rows without
    // rewriting the table.
    {
        "ALTER TABLE trainings ADD COLUMN presentation INTEGER NOT NULL DEFAULT 0",
    },
    // Identities that stay with a row wherever it is copied (a homework file
    // and its return, another computer's records), so that merging adds each
    // answer once; the records' own identity tells a file from another
    // practice's; at_home marks the trainings done at home.
    {
        "ALTER TABLE patients ADD COLUMN uid TEXT",
        "ALTER TABLE trainings ADD COLUMN uid TEXT",
        "ALTER TABLE trainings ADD COLUMN at_home INTEGER NOT NULL DEFAULT 0",
        "ALTER TABLE answers ADD COLUMN uid TEXT",
        "UPDATE patients SET uid = lower(hex(randomblob(16)))",
        "UPDATE trainings SET uid = lower(hex(randomblob(16)))",
        "UPDATE answers SET uid = lower(hex(randomblob(16)))",
        "CREATE UNIQUE INDEX patients_by_uid ON patients (uid)",
        "CREATE UNIQUE INDEX trainings_by_uid ON trainings (uid)",
        "CREATE UNIQUE INDEX answers_by_uid ON answers (uid)",
        "CREATE TABLE store_info (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
        "INSERT INTO store_info (key, value) VALUES ('records_uid', lower(hex(randomblob(16))))",
    },
    // The homework given to a patient: its goal and period stay in the
    // practice's records, so that the Verlauf can measure the returned
    // trainings against it. starts and ends are dates (YYYY-MM-DD).
    {
        "CREATE TABLE assignments ("
        " id INTEGER PRIMARY KEY,"
        " uid TEXT NOT NULL UNIQUE,"
        " patient_id INTEGER NOT NULL REFERENCES patients(id) ON DELETE CASCADE,"
        " created TEXT NOT NULL,"
        " minutes_per_day INTEGER NOT NULL,"
        " days_per_week INTEGER NOT NULL,"
        " starts TEXT NOT NULL,"
        " ends TEXT NOT NULL)",
        "CREATE INDEX assignments_by_patient ON assignments (patient_id, starts)",
    },
    // Who took a patient's data out, brought it in or deleted the patient,
    // and when. By the patient's identity, without a reference: the line of
    // a deletion outlives the patient, their name must not.
    {
        "CREATE TABLE audit ("
        " id INTEGER PRIMARY KEY,"
        " at TEXT NOT NULL,"
        " user_name TEXT NOT NULL,"
        " action TEXT NOT NULL,"
        " patient_uid TEXT NOT NULL)",
    },
    // An identity for each line of the log, as the answers have one, so that
    // a line sent to the practice server twice is stored there once.
    {
        "ALTER TABLE audit ADD COLUMN uid TEXT",
        "UPDATE audit SET uid = lower(hex(randomblob(16)))",
        "CREATE UNIQUE INDEX audit_by_uid ON audit (uid)",
    },
};

// 32 lower-case hex digits, as the migration writes them.
QString newUid()
{
    return QUuid::createUuid().toString(QUuid::Id128);
}

QString tr(const char *text)
{
    return QCoreApplication::translate("recordStore", text);
}

// Who is logged in: Unix names it USER (LOGNAME where a login shell did not
// run), Windows USERNAME.
QString systemUserName()
{
    for (const char *variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("?");
}

QString isoTime(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODate);
}

// The patient's identity is taken from their row: none, no line.
bool writeAuditLine(QSqlQuery &query, const QString &action, qint64 patientId)
{
    query.prepare(QStringLiteral("INSERT INTO audit (at, user_name, action, patient_uid, uid)"
                                 " SELECT ?, ?, ?, uid, ? FROM patients WHERE id = ?"));
    for (const QVariant &value : {QVariant(isoTime(QDateTime::currentDateTimeUtc())), QVariant(systemUserName()),
                                  QVariant(action), QVariant(newUid()), QVariant(patientId)})
        query.addBindValue(value);
    return query.exec();
}

QDateTime fromIsoTime(const QVariant &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

// SQLite's primary result codes.
enum : int {
    sqlitePerm = 3, sqliteBusy = 5, sqliteLocked = 6, sqliteNoMem = 7, sqliteReadOnly = 8, sqliteIoErr = 10,
    sqliteCorrupt = 11, sqliteFull = 13, sqliteCantOpen = 14, sqliteConstraint = 19, sqliteAuth = 23,
    sqliteNotADb = 26,
};

int primaryCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

// A damaged file and one that is no database. A locked or unreadable file
// is neither and must never be moved.
bool isDamage(const QSqlError &error)
{
    const int code = primaryCode(error);
    return code == sqliteCorrupt || code == sqliteNotADb;
}

// Marks that turn the order of what follows around: a name holding them can
// show as another patient's name.
bool isDirectionMark(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F
        || u == 0x061C;
}

// subject: "Der Name", "Die zweite Zeile".
QString cleanText(const QString &text, int length, const QString &subject, QString *problem)
{
    const QString clean = text.simplified();
    problem->clear();
    if (clean.size() > length)
        *problem = tr("%1 ist länger als %2 Zeichen").arg(subject, QString::number(length));
    else if (std::any_of(clean.begin(), clean.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        *problem = tr("%1 enthält ein Steuerzeichen").arg(subject);
    else if (std::any_of(clean.begin(), clean.end(), isDirectionMark))
        *problem = tr("%1 enthält ein unsichtbares Zeichen, das die Schreibrichtung umkehrt").arg(subject);
    return clean;
}

} // namespace

QString patientRecord::shown() const
{
    return note.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, note);
}

recordStore::recordStore(const QString &fileName)
    : m_fileName(fileName)
    , m_connection(QStringLiteral("records-%1").arg(quintptr(this)))
{
}

recordStore::~recordStore()
{
    disconnectFile();
}

QString recordStore::defaultFileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/skarvel.sqlite");
}

bool recordStore::open(bool create)
{
    if (isOpen())
        return true;
    const QFileInfo info(m_fileName);
    if (!info.exists() && !create)
        return false;
    // Health data: the folder and every file SQLite makes in it for the
    // user alone, whatever the umask.
    if (!userFile::makePrivateFolder(info.absolutePath()))
        return fail(tr("Der Ordner „%1“ für die Aufzeichnungen kann nicht angelegt werden").arg(info.absolutePath()),
                    tr("keine Berechtigung oder kein Platz auf dem Datenträger"));

    Check check = connectFile();
    if (check == Check::NotOurs) {
        disconnectFile();
        check = moveAside() ? connectFile() : Check::Unusable;
    }
    if (check != Check::Usable || !migrate()) {
        disconnectFile();
        return false;
    }
    setLockWait(shortLockWait);
    return true;
}

bool recordStore::isOpen() const
{
    return m_db.isOpen();
}

const QString &recordStore::fileName() const
{
    return m_fileName;
}

QString recordStore::takeNotice()
{
    return std::exchange(m_notice, QString());
}

recordStore::Check recordStore::connectFile()
{
    // SQLite gives its -wal and -shm the mode of the database file, so the
    // file is made before SQLite opens it; those of an older Skarvel follow.
    // A file of someone else's keeps its mode and is still recorded in.
    userFile::createPrivate(m_fileName);
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(m_fileName + suffix))
            userFile::makePrivate(m_fileName + suffix);
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_fileName);
    // A second Skarvel writing at the same moment is waited for, briefly,
    // and not taken for damage; a file held for longer is said to be held.
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(shortLockWait));
    if (!m_db.open()) {
        fail(tr("Die Aufzeichnungen in „%1“ können nicht geöffnet werden").arg(m_fileName), m_db.lastError());
        return Check::Unusable;
    }

    // The first statement reads the header, so a file that is no database
    // fails here; quick_check reads every page once.
    QSqlQuery query(m_db);
    QVariantList header;
    for (const char *pragma : {"PRAGMA application_id", "PRAGMA user_version",
                               "SELECT count(*) FROM sqlite_master", "PRAGMA quick_check"}) {
        if (!query.exec(QLatin1String(pragma)) || !query.next()) {
            if (isDamage(query.lastError()))
                return Check::NotOurs;
            fail(tr("Die Aufzeichnungen in „%1“ können nicht geöffnet werden").arg(m_fileName), query.lastError());
            return Check::Unusable;
        }
        header.append(query.value(0));
    }
    const qint64 id = header.at(0).toLongLong();
    const int version = header.at(1).toInt();
    const bool empty = header.at(2).toInt() == 0 && version == 0 && (id == 0 || id == applicationId);
    if (header.at(3).toString() != QLatin1String("ok") || (!empty && (id != applicationId || version < 1)))
        return Check::NotOurs;
    if (version > schemaVersion) {
        m_notice = tr("„%1“ stammt von einer neueren Version von Skarvel. Die Datei bleibt, wie sie ist; "
                      "bis Skarvel aktualisiert ist, wird nichts aufgezeichnet.").arg(m_fileName);
        return Check::Unusable;
    }

    // WAL: a commit is one append to the log, and readers never block the
    // writer. Where the file system cannot share memory the mode stays as
    // it is, which is just as safe, only slower. NORMAL: a committed answer
    // survives the program killed or crashed at once; only a power cut can
    // take what the system had not yet written, never the file's order. A
    // sync for every answer would cost milliseconds on the window's thread;
    // the end of every training syncs instead (endTraining()).
    for (const char *pragma : {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL",
                               "PRAGMA foreign_keys = ON"}) {
        if (!query.exec(QLatin1String(pragma))) {
            fail(tr("In „%1“ kann nichts aufgezeichnet werden").arg(m_fileName), query.lastError());
            return Check::Unusable;
        }
    }
    return Check::Usable;
}

bool recordStore::keepInOneFile()
{
    QSqlQuery query(m_db);
    for (const char *pragma : {"PRAGMA journal_mode = DELETE", "PRAGMA synchronous = FULL"}) {
        if (!isOpen() || !query.exec(QLatin1String(pragma)))
            return fail(tr("In „%1“ kann nichts aufgezeichnet werden").arg(m_fileName), query.lastError());
    }
    return true;
}

void recordStore::disconnectFile()
{
    if (!m_db.isValid())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

bool recordStore::moveAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = m_fileName + QStringLiteral(".damaged-") + stamp;
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_fileName, target))
        return fail(tr("„%1“ ist beschädigt oder gehört nicht zu Skarvel und kann nicht beiseitegelegt werden")
                        .arg(m_fileName),
                    tr("keine Berechtigung"));
    // The journals belong to the damaged file: left in place, SQLite would
    // apply them to the new one.
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-journal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(m_fileName + suffix) && !QFile::rename(m_fileName + suffix, target + suffix)
            && !QFile::remove(m_fileName + suffix))
            return fail(tr("„%1“ kann nicht beiseitegelegt werden").arg(m_fileName + suffix), tr("keine Berechtigung"));
    }
    m_notice = tr("Die Aufzeichnungen in „%1“ waren beschädigt oder stammen nicht von Skarvel. "
                  "Die Datei wurde unverändert als „%2“ beiseitegelegt; die Aufzeichnungen "
                  "beginnen in einer neuen Datei.").arg(m_fileName, target);
    return true;
}

bool recordStore::migrate()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return fail(tr("Die Aufzeichnungen in „%1“ können nicht geöffnet werden").arg(m_fileName), query.lastError());
    if (query.value(0).toInt() == schemaVersion)
        return true;
    // Once per version: a second Skarvel migrating the same file at this
    // moment is waited for.
    setLockWait(5000);

    // Rebuilding a table drops the old one, which with foreign keys on would
    // delete every training of every patient. The switch is ignored inside
    // a transaction, so it comes first; the check before the commit proves
    // that nothing was lost its patient.
    query.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    // IMMEDIATE: a second Skarvel opening the same old file waits here and
    // then finds it migrated, instead of migrating it once more.
    bool ok = query.exec(QStringLiteral("BEGIN IMMEDIATE")) && query.exec(QStringLiteral("PRAGMA user_version"))
        && query.next();
    const int version = ok ? query.value(0).toInt() : schemaVersion;
    query.finish();
    for (int step = version; ok && step < schemaVersion; ++step)
        ok = migrateStep(step);
    ok = ok && query.exec(QStringLiteral("PRAGMA foreign_key_check")) && !query.next();
    ok = ok && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(qMax(version, schemaVersion)))
        && query.exec(QStringLiteral("PRAGMA application_id = %1").arg(applicationId));
    QSqlError error = query.lastError();
    query.finish();
    if (ok && !query.exec(QStringLiteral("COMMIT"))) {
        error = query.lastError();
        ok = false;
    }
    if (!ok)
        query.exec(QStringLiteral("ROLLBACK"));
    query.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    if (ok)
        return true;
    if (!error.isValid())
        return fail(tr("Die Aufzeichnungen in „%1“ passen nicht zueinander und können nicht umgestellt werden")
                        .arg(m_fileName),
                    QString());
    return fail(tr("Die Aufzeichnungen in „%1“ können nicht für diese Version von Skarvel umgestellt werden")
                    .arg(m_fileName),
                error);
}

bool recordStore::migrateStep(int version)
{
    QSqlQuery query(m_db);
    for (const char *statement : migrations.at(size_t(version))) {
        if (!query.exec(QLatin1String(statement)))
            return false;
    }
    if (version != 1)
        return true;

    // Two patients whose names differ only in case could be made by two
    // Skarvels at once. They stay as they are, told apart by the day they
    // were made, which the therapist can change in "Umbenennen…".
    QSqlQuery update(m_db);
    update.prepare(QStringLiteral("UPDATE patients SET note = coalesce(?, ''), match_key = ? WHERE id = ?"));
    QSet<QString> keys;
    if (!query.exec(QStringLiteral("SELECT id, name, created FROM patients ORDER BY id")))
        return false;
    while (query.next()) {
        const QString name = query.value(1).toString();
        QString note;
        for (int n = 1; keys.contains(matchKey(name, note)); ++n) {
            note = tr("angelegt am %1").arg(fromIsoTime(query.value(2)).toLocalTime().toString(
                QStringLiteral("dd.MM.yyyy HH:mm")));
            if (n > 1)
                note += QStringLiteral(" (%1)").arg(n);
        }
        keys.insert(matchKey(name, note));
        update.addBindValue(note);
        update.addBindValue(matchKey(name, note));
        update.addBindValue(query.value(0));
        if (!update.exec())
            return false;
    }
    return query.exec(QStringLiteral("CREATE UNIQUE INDEX patients_by_key ON patients (match_key)"));
}

bool recordStore::fail(const QString &what, const QString &reason)
{
    m_locked = false;
    m_notice = reason.isEmpty() ? what + QLatin1Char('.') : what + QStringLiteral(": ") + reason + QLatin1Char('.');
    return false;
}

bool recordStore::fail(const QString &what, const QSqlError &error)
{
    // The driver's English is for whoever reads standard error; it never
    // holds a name or a word, only SQLite's description of the fault.
    qWarning("Skarvel: records: SQLite %s: %s", qPrintable(error.nativeErrorCode()),
             qPrintable(error.databaseText()));
    fail(what, reason(error));
    m_locked = primaryCode(error) == sqliteBusy || primaryCode(error) == sqliteLocked;
    return false;
}

QString recordStore::reason(const QSqlError &error) const
{
    const QFileInfo folder(QFileInfo(m_fileName).absolutePath());
    const QString readOnlyFolder =
        tr("der Ordner „%1“ ist schreibgeschützt; Skarvel braucht dort Schreibrecht").arg(folder.filePath());
    switch (primaryCode(error)) {
    case sqliteReadOnly:
        return folder.isWritable() ? tr("die Datei ist schreibgeschützt") : readOnlyFolder;
    case sqliteFull:
        return tr("der Datenträger ist voll");
    case sqliteBusy:
    case sqliteLocked:
        return tr("ein anderes Programm hält die Datei gerade fest; später noch einmal versuchen");
    case sqliteCorrupt:
    case sqliteNotADb:
        return tr("die Datei ist beschädigt");
    case sqlitePerm:
    case sqliteAuth:
        return tr("keine Berechtigung");
    case sqliteNoMem:
        return tr("der Arbeitsspeicher reicht nicht");
    case sqliteCantOpen:
    case sqliteIoErr:
        // Both also mean a journal that cannot be made beside the file.
        if (!folder.exists())
            return tr("den Ordner „%1“ gibt es nicht").arg(folder.filePath());
        if (!folder.isWritable())
            return readOnlyFolder;
        if (QFileInfo::exists(m_fileName) && !QFileInfo(m_fileName).isReadable())
            return tr("keine Berechtigung, die Datei zu lesen");
        return primaryCode(error) == sqliteIoErr ? tr("der Datenträger meldet einen Lese- oder Schreibfehler")
                                                 : tr("die Datei lässt sich nicht öffnen");
    case sqliteConstraint:
        return tr("die Angaben widersprechen den schon gespeicherten");
    default:
        return tr("unerwarteter Fehler der Datenbank (Code %1)").arg(error.nativeErrorCode());
    }
}

QString recordStore::cleanName(const QString &name, QString *problem)
{
    const QString clean = cleanText(name, nameLength, tr("Der Name"), problem);
    if (clean.isEmpty())
        *problem = tr("Der Name ist leer");
    return clean;
}

QString recordStore::cleanNote(const QString &note, QString *problem)
{
    return cleanText(note, noteLength, tr("Der Zusatz"), problem);
}

QString recordStore::matchKey(const QString &name, const QString &note)
{
    // Full Unicode case folding, so that "ÄRGER" and "ärger" are one; SQLite
    // alone would fold ASCII only.
    return (name + QLatin1Char('\n') + note).normalized(QString::NormalizationForm_C).toCaseFolded();
}

QList<patientRecord> recordStore::patients()
{
    QList<patientRecord> list;
    QSqlQuery query(m_db);
    if (!isOpen())
        return list;
    if (!query.exec(QStringLiteral("SELECT id, name, note FROM patients"))) {
        fail(tr("Die Patienten können nicht aus „%1“ gelesen werden").arg(m_fileName), query.lastError());
        return list;
    }
    while (query.next())
        list.append({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString()});
    recordStore::sortPatients(list);
    return list;
}

void recordStore::sortPatients(QList<patientRecord> &list)
{
    QCollator collator{QLocale(QLocale::German)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(list.begin(), list.end(), [&collator](const patientRecord &a, const patientRecord &b) {
        const int order = collator.compare(a.name, b.name);
        return order ? order < 0 : collator.compare(a.note, b.note) < 0;
    });
}

qint64 recordStore::patientId(const QString &name, const QString &note)
{
    if (!isOpen())
        return 0;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT id FROM patients WHERE match_key = ?"));
    query.addBindValue(matchKey(name, note));
    return query.exec() && query.next() ? query.value(0).toLongLong() : 0;
}

qint64 recordStore::addPatient(const QString &name, const QString &note, const QString &uid)
{
    QString problem;
    QString noteProblem;
    const QString clean = cleanName(name, &problem);
    const QString cleanedNote = cleanNote(note, &noteProblem);
    if (problem.isEmpty())
        problem = noteProblem;
    if (problem.isEmpty() && !isOpen())
        problem = tr("„%1“ ist nicht geöffnet").arg(m_fileName);
    else if (problem.isEmpty() && patientId(clean, cleanedNote))
        problem = tr("Es gibt schon einen Patienten „%1“").arg(patientRecord{0, clean, cleanedNote}.shown());
    if (!problem.isEmpty()) {
        fail(problem, QString());
        return 0;
    }
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO patients (name, note, match_key, created, uid)"
                                 " VALUES (?, coalesce(?, ''), ?, ?, ?)"));
    for (const QString &value : {clean, cleanedNote, matchKey(clean, cleanedNote), isoTime(QDateTime::currentDateTimeUtc()),
                                 uid.isEmpty() ? newUid() : uid})
        query.addBindValue(value);
    if (!query.exec()) {
        fail(tr("„%1“ kann nicht angelegt werden").arg(clean), query.lastError());
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

bool recordStore::renamePatient(qint64 id, const QString &name, const QString &note)
{
    QString problem;
    QString noteProblem;
    const QString clean = cleanName(name, &problem);
    const QString cleanedNote = cleanNote(note, &noteProblem);
    if (!problem.isEmpty() || !noteProblem.isEmpty())
        return fail(problem.isEmpty() ? noteProblem : problem, QString());
    const qint64 other = patientId(clean, cleanedNote);
    if (other && other != id)
        return fail(tr("Es gibt schon einen Patienten „%1“").arg(patientRecord{0, clean, cleanedNote}.shown()),
                    QString());
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE patients SET name = ?, note = coalesce(?, ''), match_key = ? WHERE id = ?"));
    for (const QVariant &value : {QVariant(clean), QVariant(cleanedNote), QVariant(matchKey(clean, cleanedNote)), QVariant(id)})
        query.addBindValue(value);
    if (!query.exec())
        return fail(tr("„%1“ kann nicht umbenannt werden").arg(clean), query.lastError());
    return true;
}

bool recordStore::deletePatient(qint64 id)
{
    QSqlQuery query(m_db);
    bool ok = m_db.transaction();
    // In the same commit: no deletion goes unrecorded, and none is recorded
    // that did not happen.
    ok = ok && writeAuditLine(query, deleted, id);
    for (const char *statement : {"DELETE FROM answers WHERE training_id IN (SELECT id FROM trainings WHERE patient_id = ?)",
                                  "DELETE FROM trainings WHERE patient_id = ?",
                                  "DELETE FROM patients WHERE id = ?"}) {
        ok = ok && query.prepare(QLatin1String(statement));
        query.addBindValue(id);
        ok = ok && query.exec();
    }
    if (!ok || !m_db.commit()) {
        const QSqlError error = query.lastError().isValid() ? query.lastError() : m_db.lastError();
        m_db.rollback();
        return fail(tr("Der Patient kann nicht gelöscht werden"), error);
    }
    // The freed pages would still hold the names and answers, the log a copy
    // of them: rebuild the file, then empty the log.
    if (!query.exec(QStringLiteral("VACUUM")) || !query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")))
        return fail(tr("Der Patient ist gelöscht, aber „%1“ konnte nicht verdichtet werden; Reste seiner "
                       "Aufzeichnungen können noch in der Datei stehen").arg(m_fileName),
                    query.lastError());
    return true;
}

QPair<int, int> recordStore::trainingAndAnswerCount(qint64 patientId)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT count(DISTINCT t.id), count(a.id) FROM trainings t"
                                 " JOIN answers a ON a.training_id = t.id WHERE t.patient_id = ?"));
    query.addBindValue(patientId);
    if (!query.exec() || !query.next())
        return {0, 0};
    return {query.value(0).toInt(), query.value(1).toInt()};
}

bool recordStore::recordAnswer(trainingRecord &training, const answerRecord &answer, const QDateTime &left)
{
    const bool begins = training.id == 0;
    QSqlQuery query(m_db);
    bool ok = m_db.transaction();
    if (ok && begins) {
        if (training.uid.isEmpty())
            training.uid = newUid();
        query.prepare(QStringLiteral("INSERT INTO trainings (patient_id, started, game_type, word_group, word_list,"
                                     " presentation, uid, at_home) VALUES (?, ?, ?, coalesce(?, ''), coalesce(?, ''), ?, ?, ?)"));
        // Qt 5 binds a null string as NULL, Qt 6 as text: coalesce() makes
        // both write the same.
        for (const QVariant &value : {QVariant(training.patientId), QVariant(isoTime(answer.at)),
                                      QVariant(training.gameType), QVariant(training.group), QVariant(training.wordList),
                                      QVariant(training.presentation), QVariant(training.uid), QVariant(int(training.atHome))})
            query.addBindValue(value);
        ok = query.exec();
        training.id = query.lastInsertId().toLongLong();
    }
    if (ok) {
        // No choice: NULL.
        query.prepare(QStringLiteral("INSERT INTO answers (training_id, at, right_word, shown_words, first_choice,"
                                     " first_attempt_right, attempts, response_ms, uid)"
                                     " VALUES (?, ?, ?, ?, NULLIF(?, ''), ?, ?, NULLIF(?, -1), ?)"));
        for (const QVariant &value : {QVariant(training.id), QVariant(isoTime(answer.at)), QVariant(answer.rightWord),
                                      QVariant(answer.shownWords.join(QLatin1Char(';'))), QVariant(answer.firstChoice),
                                      QVariant(int(answer.firstAttemptRight)), QVariant(answer.attempts),
                                      QVariant(answer.responseMs), QVariant(answer.uid.isEmpty() ? newUid() : answer.uid)})
            query.addBindValue(value);
        ok = query.exec();
    }
    if (ok) {
        // Kept up to date, so that a training cut off by a crash still ends.
        query.prepare(QStringLiteral("UPDATE trainings SET ended = ? WHERE id = ?"));
        query.addBindValue(isoTime(left));
        query.addBindValue(training.id);
        ok = query.exec();
    }
    if (ok && m_db.commit())
        return true;
    const QSqlError error = query.lastError().isValid() ? query.lastError() : m_db.lastError();
    m_db.rollback();
    if (begins)
        training.id = 0;
    return fail(tr("Die Antwort zu „%1“ konnte nicht in „%2“ gespeichert werden").arg(answer.rightWord, m_fileName),
                error);
}

bool recordStore::endTraining(const trainingRecord &training, const QDateTime &ended)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE trainings SET ended = ? WHERE id = ?"));
    query.addBindValue(isoTime(ended));
    query.addBindValue(training.id);
    if (!query.exec())
        return fail(tr("Das Ende des Trainings konnte nicht in „%1“ gespeichert werden").arg(m_fileName),
                    query.lastError());
    // Syncs the log and copies it into the file: a finished training is
    // safe from a power cut too. Busy readers only make it copy less.
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    return true;
}

QList<trainingSummary> recordStore::trainings(qint64 patientId)
{
    QList<trainingSummary> list;
    if (!isOpen())
        return list;
    // The trainings first, their answers' numbers after them, in one read
    // transaction: a second Skarvel writing meanwhile can neither add answers
    // to a training not yet listed nor credit them to another. Reading the
    // answers apart, as bare numbers from their index, spares a Verlauf of
    // 100,000 answers the trainings' words on every one of its rows.
    const bool snapshot = m_db.transaction();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, started, ended, game_type, word_group, word_list, presentation, at_home"
                                 " FROM trainings WHERE patient_id = ? ORDER BY started, id"));
    query.addBindValue(patientId);
    QSqlQuery answers(m_db);
    answers.setForwardOnly(true);
    answers.prepare(QStringLiteral("SELECT a.training_id, a.first_attempt_right, a.response_ms FROM answers a"
                                   " JOIN trainings t ON t.id = a.training_id WHERE t.patient_id = ?"));
    answers.addBindValue(patientId);
    QHash<qint64, int> index;
    bool ok = query.exec();
    while (ok && query.next()) {
        index.insert(query.value(0).toLongLong(), list.size());
        list.append({fromIsoTime(query.value(1)), fromIsoTime(query.value(2)), query.value(3).toInt(),
                     query.value(4).toString(), query.value(5).toString(), 0, 0, -1, query.value(6).toInt(),
                     query.value(7).toBool()});
    }
    QVector<QVector<int>> times(list.size());
    ok = ok && answers.exec();
    while (ok && answers.next()) {
        const int i = index.value(answers.value(0).toLongLong(), -1);
        if (i < 0)
            continue;
        ++list[i].items;
        list[i].firstRight += answers.value(1).toInt();
        if (!answers.isNull(2))
            times[i].append(answers.value(2).toInt());
    }
    if (!ok)
        fail(tr("Der Verlauf kann nicht aus „%1“ gelesen werden").arg(m_fileName),
             query.lastError().isValid() ? query.lastError() : answers.lastError());
    query.finish();
    answers.finish();
    if (snapshot)
        m_db.commit();
    if (!ok)
        return {};
    for (int i = 0; i < list.size(); ++i) {
        QVector<int> &t = times[i];
        if (t.isEmpty())
            continue;
        const auto middle = t.begin() + t.size() / 2;
        std::nth_element(t.begin(), middle, t.end());
        // An even count has two middles: the lower one is the largest of
        // the lower half.
        list[i].medianMs = t.size() % 2 ? *middle : (*middle + *std::max_element(t.begin(), middle) + 1) / 2;
    }
    return list;
}

QList<QPair<QString, int>> recordStore::mostMissed(qint64 patientId, int count)
{
    QList<QPair<QString, int>> list;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT a.right_word, count(*) AS n FROM answers a"
                                 " JOIN trainings t ON t.id = a.training_id"
                                 " WHERE t.patient_id = ? AND a.first_attempt_right = 0 AND a.first_choice IS NOT NULL"
                                 " GROUP BY a.right_word ORDER BY n DESC, a.right_word LIMIT ?"));
    query.addBindValue(patientId);
    query.addBindValue(count);
    if (query.exec()) {
        while (query.next())
            list.append({query.value(0).toString(), query.value(1).toInt()});
    }
    return list;
}

QStringList recordStore::missedEntries(qint64 patientId, const QString &wordList, int lastTrainings)
{
    QStringList entries;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT right_word, shown_words FROM answers WHERE training_id IN"
                                 " (SELECT id FROM trainings WHERE patient_id = ? AND game_type = 0"
                                 "  AND word_list = coalesce(?, '') ORDER BY started DESC, id DESC LIMIT ?)"
                                 " AND first_attempt_right = 0 AND first_choice IS NOT NULL ORDER BY id DESC"));
    query.addBindValue(patientId);
    query.addBindValue(wordList);
    query.addBindValue(lastTrainings);
    if (!query.exec())
        return entries;
    QSet<QString> seen;
    while (query.next()) {
        const QString right = query.value(0).toString();
        QStringList words = query.value(1).toString().split(QLatin1Char(';'));
        // The entry line again: the right word first, then the two
        // misspellings in the order they were shown.
        if (words.size() != 3 || !words.removeOne(right) || seen.contains(right))
            continue;
        seen.insert(right);
        entries.append(right + QLatin1Char(';') + words.join(QLatin1Char(';')));
    }
    return entries;
}

QString recordStore::recordsUid()
{
    QSqlQuery query(m_db);
    if (!isOpen() || !query.exec(QStringLiteral("SELECT value FROM store_info WHERE key = 'records_uid'"))
        || !query.next())
        return QString();
    return query.value(0).toString();
}

QString recordStore::patientUid(qint64 patientId)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT uid FROM patients WHERE id = ?"));
    query.addBindValue(patientId);
    if (!isOpen() || !query.exec() || !query.next())
        return QString();
    return query.value(0).toString();
}

qint64 recordStore::patientIdByUid(const QString &uid)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT id FROM patients WHERE uid = ?"));
    query.addBindValue(uid);
    if (!isOpen() || !query.exec() || !query.next())
        return 0;
    return query.value(0).toLongLong();
}

bool recordStore::addAssignment(assignmentRecord &assignment)
{
    if (assignment.uid.isEmpty())
        assignment.uid = newUid();
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO assignments (uid, patient_id, created, minutes_per_day, days_per_week,"
                                 " starts, ends) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant &value : {QVariant(assignment.uid), QVariant(assignment.patientId),
                                  QVariant(isoTime(assignment.created)), QVariant(assignment.minutesPerDay),
                                  QVariant(assignment.daysPerWeek), QVariant(assignment.starts.toString(Qt::ISODate)),
                                  QVariant(assignment.ends.toString(Qt::ISODate))})
        query.addBindValue(value);
    if (!isOpen() || !query.exec())
        return fail(tr("Die Hausaufgabe konnte nicht in „%1“ gespeichert werden").arg(m_fileName), query.lastError());
    assignment.id = query.lastInsertId().toLongLong();
    return true;
}

QList<assignmentRecord> recordStore::assignments(qint64 patientId)
{
    QList<assignmentRecord> list;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, uid, created, minutes_per_day, days_per_week, starts, ends"
                                 " FROM assignments WHERE patient_id = ? ORDER BY starts, id"));
    query.addBindValue(patientId);
    if (!isOpen() || !query.exec())
        return list;
    while (query.next())
        list.append({query.value(0).toLongLong(), query.value(1).toString(), patientId, fromIsoTime(query.value(2)),
                     query.value(3).toInt(), query.value(4).toInt(),
                     QDate::fromString(query.value(5).toString(), Qt::ISODate),
                     QDate::fromString(query.value(6).toString(), Qt::ISODate)});
    return list;
}

QStringList recordStore::dueEntries(qint64 patientId, const QString &wordList, const QDate &today)
{
    QStringList entries;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    // Only words ever missed can be due; an item left without a choice is
    // no attempt.
    query.prepare(QStringLiteral("SELECT a.right_word, a.shown_words, a.first_attempt_right, a.at FROM answers a"
                                 " JOIN trainings t ON t.id = a.training_id"
                                 " WHERE t.patient_id = ? AND t.game_type = 0 AND t.word_list = coalesce(?, '')"
                                 " AND a.first_choice IS NOT NULL AND a.right_word IN"
                                 " (SELECT b.right_word FROM answers b JOIN trainings u ON u.id = b.training_id"
                                 "  WHERE u.patient_id = ? AND u.game_type = 0 AND u.word_list = coalesce(?, '')"
                                 "  AND b.first_attempt_right = 0 AND b.first_choice IS NOT NULL)"
                                 " ORDER BY a.at, a.id"));
    for (int i = 0; i < 2; ++i) {
        query.addBindValue(patientId);
        query.addBindValue(wordList);
    }
    if (!isOpen() || !query.exec())
        return entries;
    QMap<QString, QVector<reviewSchedule::firstAttempt>> attempts;
    QMap<QString, QString> shown; // the words of the last miss
    QStringList order;            // the word missed last first, as before
    while (query.next()) {
        const QString right = query.value(0).toString();
        const bool firstRight = query.value(2).toBool();
        attempts[right].append({fromIsoTime(query.value(3)).toLocalTime().date(), firstRight});
        if (!firstRight) {
            shown[right] = query.value(1).toString();
            order.removeOne(right);
            order.prepend(right);
        }
    }
    for (const QString &right : std::as_const(order)) {
        QStringList words = shown.value(right).split(QLatin1Char(';'));
        if (!reviewSchedule::isDue(reviewSchedule::of(attempts.value(right)), today) || words.size() != 3
            || !words.removeOne(right))
            continue;
        entries.append(right + QLatin1Char(';') + words.join(QLatin1Char(';')));
    }
    return entries;
}

QList<practiceTime::practiceSum> recordStore::practiceDays(qint64 patientId)
{
    if (!isOpen())
        return {};
    struct training
    {
        QDate day;
        bool atHome = false;
        QVector<QPair<qint64, practiceTime::answerTime>> answers; // by the answer's id
    };
    QHash<qint64, training> trainings;
    // As the trainings' list above: one state of the file, and the answers
    // as bare numbers. SQLite reads their times (whole seconds in UTC) far
    // faster than a QDateTime per answer would.
    const bool snapshot = m_db.transaction();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, started, at_home FROM trainings WHERE patient_id = ?"));
    query.addBindValue(patientId);
    QSqlQuery answers(m_db);
    answers.setForwardOnly(true);
    answers.prepare(QStringLiteral("SELECT a.training_id, a.id, CAST(round((julianday(a.at) - 2440587.5) * 86400)"
                                   " AS INTEGER), a.response_ms FROM answers a"
                                   " JOIN trainings t ON t.id = a.training_id WHERE t.patient_id = ?"));
    answers.addBindValue(patientId);
    bool ok = query.exec();
    while (ok && query.next())
        trainings.insert(query.value(0).toLongLong(),
                         {fromIsoTime(query.value(1)).toLocalTime().date(), query.value(2).toBool(), {}});
    ok = ok && answers.exec();
    while (ok && answers.next()) {
        const auto t = trainings.find(answers.value(0).toLongLong());
        // A time SQLite cannot read counts as no pause at all.
        if (t != trainings.end() && !answers.isNull(2))
            t->answers.append({answers.value(1).toLongLong(),
                               {answers.value(2).toLongLong() * 1000,
                                answers.isNull(3) ? -1 : answers.value(3).toInt()}});
    }
    query.finish();
    answers.finish();
    if (snapshot)
        m_db.commit();
    if (!ok)
        return {};
    QMap<QDate, practiceTime::practiceSum> days;
    QVector<practiceTime::answerTime> times;
    for (training &t : trainings) {
        if (t.answers.isEmpty())
            continue;
        std::sort(t.answers.begin(), t.answers.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
        times.clear();
        for (const auto &answer : std::as_const(t.answers))
            times.append(answer.second);
        practiceTime::practiceSum &sum = days[t.day];
        sum.day = t.day;
        (t.atHome ? sum.homeMs : sum.roomMs) += practiceTime::ofTraining(times);
    }
    return days.values();
}

bool recordStore::logAccess(const QString &action, qint64 patientId)
{
    QSqlQuery query(m_db);
    if (!isOpen() || !writeAuditLine(query, action, patientId) || query.numRowsAffected() != 1)
        return fail(tr("Der Zugriff kann nicht im Protokoll in „%1“ vermerkt werden").arg(m_fileName),
                    query.lastError());
    return true;
}

QList<auditRecord> recordStore::accessLog()
{
    QList<auditRecord> list;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!isOpen())
        return list;
    if (!query.exec(QStringLiteral("SELECT l.at, l.user_name, l.action, l.patient_uid, p.name, p.note FROM audit l"
                                   " LEFT JOIN patients p ON p.uid = l.patient_uid ORDER BY l.id DESC"))) {
        fail(tr("Das Protokoll kann nicht aus „%1“ gelesen werden").arg(m_fileName), query.lastError());
        return list;
    }
    while (query.next())
        list.append({fromIsoTime(query.value(0)), query.value(1).toString(), query.value(2).toString(),
                     query.value(3).toString(),
                     query.isNull(4) ? QString() : patientRecord{0, query.value(4).toString(), query.value(5).toString()}.shown()});
    return list;
}

QStringList recordStore::therapists(QString *own)
{
    QStringList roles;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    // The worker of the outbox makes the table; an ordinary file has none.
    if (!isOpen() || !query.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'outbox_therapists'"))
        || !query.next())
        return roles;
    query.finish();
    if (!query.exec(QStringLiteral("SELECT role, own FROM outbox_therapists ORDER BY role"))) {
        fail(tr("Die Behandelnden können nicht aus „%1“ gelesen werden").arg(m_fileName), query.lastError());
        return roles;
    }
    while (query.next()) {
        roles.append(query.value(0).toString());
        if (own && query.value(1).toBool())
            *own = roles.last();
    }
    return roles;
}

QStringList recordStore::treating(qint64 patientId)
{
    QString own;
    if (therapists(&own).isEmpty())
        return {};
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT roles FROM outbox_treating WHERE patient_id = ?"));
    query.addBindValue(patientId);
    if (!query.exec()) {
        fail(tr("Die Behandelnden können nicht aus „%1“ gelesen werden").arg(m_fileName), query.lastError());
        return {};
    }
    // Made here and not yet on the server: its maker treats them.
    return query.next() ? query.value(0).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList(own);
}

bool recordStore::setTreating(qint64 patientId, QStringList roles)
{
    roles.removeDuplicates();
    roles.sort();
    QSqlQuery query(m_db);
    // sent stays as it was: the outbox sends what differs from it.
    query.prepare(QStringLiteral("INSERT INTO outbox_treating (patient_id, roles) VALUES (?, ?)"
                                 " ON CONFLICT (patient_id) DO UPDATE SET roles = excluded.roles"));
    query.addBindValue(patientId);
    query.addBindValue(roles.join(QLatin1Char('\n')));
    const QString cannot = tr("Die Behandelnden können nicht in „%1“ gespeichert werden").arg(m_fileName);
    if (roles.isEmpty())
        return fail(cannot, tr("jeder Patient braucht mindestens eine Behandelnde oder einen Behandelnden"));
    if (!isOpen() || !query.exec())
        return fail(cannot, query.lastError());
    return true;
}

bool recordStore::copyTo(const QString &fileName)
{
    QFile::remove(fileName);
    if (!userFile::createPrivate(fileName))
        return fail(tr("„%1“ kann nicht angelegt werden").arg(fileName), tr("keine Berechtigung oder kein Platz"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("VACUUM INTO ?"));
    query.addBindValue(fileName);
    if (!isOpen() || !query.exec()) {
        QFile::remove(fileName);
        return fail(tr("Die Aufzeichnungen können nicht nach „%1“ gesichert werden").arg(fileName), query.lastError());
    }
    return true;
}

void recordStore::setLockWait(int milliseconds)
{
    QSqlQuery(m_db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds));
}

bool recordStore::wasLocked() const
{
    return m_locked;
}

int recordStore::mergeFrom(const QString &otherFile, const QString &patientUid, qint64 patientId)
{
    return merge(otherFile, patientUid, patientId, nullptr);
}

int recordStore::copyReviewHistory(const QString &otherFile, const QString &patientUid, qint64 patientId,
                                   const QString &wordList)
{
    return merge(otherFile, patientUid, patientId, &wordList);
}

int recordStore::merge(const QString &otherFile, const QString &patientUid, qint64 patientId, const QString *reviewList)
{
    if (!isOpen()) {
        fail(tr("„%1“ ist nicht geöffnet").arg(m_fileName), QString());
        return -1;
    }
    QSqlQuery query(m_db);
    // ATTACH is refused inside a transaction, so it comes first; the
    // answers are copied by SQLite itself, without a row passing through here.
    query.prepare(QStringLiteral("ATTACH DATABASE ? AS other"));
    query.addBindValue(otherFile);
    if (!query.exec()) {
        fail(tr("„%1“ kann nicht gelesen werden").arg(otherFile), query.lastError());
        return -1;
    }
    // What the review schedule of one list reads: the "Falschwörter"
    // answers of the words ever missed there, and their trainings.
    const QString reviewed = QStringLiteral(
        " AND t.game_type = 0 AND t.word_list = coalesce(:list, '') AND a.first_choice IS NOT NULL AND a.right_word IN"
        " (SELECT b.right_word FROM other.answers b JOIN other.trainings u ON u.id = b.training_id"
        "  WHERE u.patient_id = t.patient_id AND u.game_type = 0 AND u.word_list = coalesce(:list, '')"
        "  AND b.first_attempt_right = 0 AND b.first_choice IS NOT NULL)");
    const QString trainingsOnly = reviewList ? QStringLiteral(" AND EXISTS (SELECT 1 FROM other.answers a WHERE"
                                                              " a.training_id = t.id%1)").arg(reviewed)
                                             : QString();
    const QString answersOnly = reviewList ? reviewed : QString();
    const QString statements[] = {
        QStringLiteral("INSERT INTO main.trainings (patient_id, started, ended, game_type, word_group, word_list,"
        " presentation, uid, at_home) SELECT :patient, t.started, t.ended, t.game_type, t.word_group, t.word_list,"
        " t.presentation, t.uid, t.at_home FROM other.trainings t JOIN other.patients p ON p.id = t.patient_id"
        " WHERE p.uid = :uid AND t.uid IS NOT NULL%1"
        " AND NOT EXISTS (SELECT 1 FROM main.trainings m WHERE m.uid = t.uid) ORDER BY t.started, t.id").arg(trainingsOnly),
        // A file returned again holds the same training with more answers.
        QStringLiteral("UPDATE main.trainings SET ended = (SELECT t.ended FROM other.trainings t"
        " WHERE t.uid = main.trainings.uid) WHERE patient_id = :patient AND uid IN (SELECT t.uid FROM other.trainings t"
        " JOIN other.patients p ON p.id = t.patient_id WHERE p.uid = :uid AND t.ended > main.trainings.ended)"),
        QStringLiteral("INSERT INTO main.answers (training_id, at, right_word, shown_words, first_choice,"
        " first_attempt_right, attempts, response_ms, uid) SELECT m.id, a.at, a.right_word, a.shown_words,"
        " a.first_choice, a.first_attempt_right, a.attempts, a.response_ms, a.uid FROM other.answers a"
        " JOIN other.trainings t ON t.id = a.training_id JOIN other.patients p ON p.id = t.patient_id"
        " JOIN main.trainings m ON m.uid = t.uid AND m.patient_id = :patient"
        " WHERE p.uid = :uid AND a.uid IS NOT NULL%1"
        " AND NOT EXISTS (SELECT 1 FROM main.answers b WHERE b.uid = a.uid) ORDER BY a.id").arg(answersOnly),
    };
    bool ok = m_db.transaction();
    int added = 0;
    for (const QString &statement : statements) {
        ok = ok && query.prepare(statement);
        query.bindValue(QStringLiteral(":patient"), patientId);
        query.bindValue(QStringLiteral(":uid"), patientUid);
        if (reviewList && statement.contains(QLatin1String(":list")))
            query.bindValue(QStringLiteral(":list"), *reviewList);
        ok = ok && query.exec();
        if (ok)
            added = query.numRowsAffected();
    }
    QSqlError error = query.lastError().isValid() ? query.lastError() : m_db.lastError();
    if (ok && !m_db.commit()) {
        error = m_db.lastError();
        ok = false;
    }
    if (!ok)
        m_db.rollback();
    query.finish();
    query.exec(QStringLiteral("DETACH DATABASE other"));
    if (!ok) {
        fail(tr("Die Antworten aus „%1“ konnten nicht in „%2“ übernommen werden").arg(otherFile, m_fileName), error);
        return -1;
    }
    return added;
}
