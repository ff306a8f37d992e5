#include "records/recordstore.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

const int recordStore::schemaVersion = 1;

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
};

QString tr(const char *text)
{
    return QCoreApplication::translate("recordStore", text);
}

QString isoTime(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODate);
}

QDateTime fromIsoTime(const QVariant &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

// SQLite's primary result codes for a damaged file and for one that is no
// database. A locked or unreadable file is neither and must never be moved.
bool isDamage(const QSqlError &error)
{
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 11 || code == 26;
}

} // namespace

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
    if (!info.exists() && !QDir().mkpath(info.absolutePath()))
        return fail(tr("Der Ordner „%1“ kann nicht angelegt werden").arg(info.absolutePath()),
                    tr("keine Berechtigung oder kein Platz"));

    Check check = connectFile();
    if (check == Check::NotOurs) {
        disconnectFile();
        check = moveAside() ? connectFile() : Check::Unusable;
    }
    if (check != Check::Usable || !migrate()) {
        disconnectFile();
        return false;
    }
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
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_fileName);
    // A second Skarvel writing at the same moment is waited for, not taken
    // for damage.
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        fail(tr("„%1“ kann nicht geöffnet werden").arg(m_fileName), m_db.lastError().text());
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
            fail(tr("„%1“ kann nicht gelesen werden").arg(m_fileName), query.lastError().text());
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
            fail(tr("„%1“ kann nicht beschrieben werden").arg(m_fileName), query.lastError().text());
            return Check::Unusable;
        }
    }
    return Check::Usable;
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
        return fail(tr("„%1“ kann nicht gelesen werden").arg(m_fileName), query.lastError().text());
    const int version = query.value(0).toInt();
    if (version == schemaVersion)
        return true;

    bool ok = m_db.transaction();
    for (int step = version; ok && step < schemaVersion; ++step) {
        for (const char *statement : migrations.at(size_t(step)))
            ok = ok && query.exec(QLatin1String(statement));
    }
    ok = ok && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(schemaVersion))
        && query.exec(QStringLiteral("PRAGMA application_id = %1").arg(applicationId));
    if (ok && m_db.commit())
        return true;
    const QString error = query.lastError().isValid() ? query.lastError().text() : m_db.lastError().text();
    m_db.rollback();
    return fail(tr("„%1“ kann nicht eingerichtet werden").arg(m_fileName), error);
}

bool recordStore::fail(const QString &what, const QString &error)
{
    m_notice = error.isEmpty() ? what + QLatin1Char('.') : what + QStringLiteral(": ") + error + QLatin1Char('.');
    return false;
}

QString recordStore::cleanName(const QString &name, QString *problem)
{
    const QString clean = name.simplified();
    problem->clear();
    if (clean.isEmpty())
        *problem = tr("Der Name ist leer");
    else if (clean.size() > 80)
        *problem = tr("Der Name ist länger als 80 Zeichen");
    else if (std::any_of(clean.begin(), clean.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        *problem = tr("Der Name enthält ein Steuerzeichen");
    return clean;
}

QList<patientRecord> recordStore::patients()
{
    QList<patientRecord> list;
    QSqlQuery query(m_db);
    if (!isOpen() || !query.exec(QStringLiteral("SELECT id, name FROM patients")))
        return list;
    while (query.next())
        list.append({query.value(0).toLongLong(), query.value(1).toString()});
    QCollator collator{QLocale(QLocale::German)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(list.begin(), list.end(), [&collator](const patientRecord &a, const patientRecord &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return list;
}

qint64 recordStore::patientId(const QString &name)
{
    for (const patientRecord &patient : patients()) {
        if (patient.name.compare(name, Qt::CaseInsensitive) == 0)
            return patient.id;
    }
    return 0;
}

qint64 recordStore::addPatient(const QString &name)
{
    QString problem;
    const QString clean = cleanName(name, &problem);
    if (problem.isEmpty() && !isOpen())
        problem = tr("„%1“ ist nicht geöffnet").arg(m_fileName);
    else if (problem.isEmpty() && patientId(clean))
        problem = tr("Es gibt schon einen Patienten „%1“").arg(clean);
    if (!problem.isEmpty()) {
        fail(problem, QString());
        return 0;
    }
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO patients (name, created) VALUES (?, ?)"));
    query.addBindValue(clean);
    query.addBindValue(isoTime(QDateTime::currentDateTimeUtc()));
    if (!query.exec()) {
        fail(tr("„%1“ kann nicht angelegt werden").arg(clean), query.lastError().text());
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

bool recordStore::renamePatient(qint64 id, const QString &name)
{
    QString problem;
    const QString clean = cleanName(name, &problem);
    if (!problem.isEmpty())
        return fail(problem, QString());
    const qint64 other = patientId(clean);
    if (other && other != id)
        return fail(tr("Es gibt schon einen Patienten „%1“").arg(clean), QString());
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE patients SET name = ? WHERE id = ?"));
    query.addBindValue(clean);
    query.addBindValue(id);
    if (!query.exec())
        return fail(tr("„%1“ kann nicht umbenannt werden").arg(clean), query.lastError().text());
    return true;
}

bool recordStore::deletePatient(qint64 id)
{
    QSqlQuery query(m_db);
    bool ok = m_db.transaction();
    for (const char *statement : {"DELETE FROM answers WHERE training_id IN (SELECT id FROM trainings WHERE patient_id = ?)",
                                  "DELETE FROM trainings WHERE patient_id = ?",
                                  "DELETE FROM patients WHERE id = ?"}) {
        ok = ok && query.prepare(QLatin1String(statement));
        query.addBindValue(id);
        ok = ok && query.exec();
    }
    if (!ok || !m_db.commit()) {
        const QString error = query.lastError().isValid() ? query.lastError().text() : m_db.lastError().text();
        m_db.rollback();
        return fail(tr("Der Patient kann nicht gelöscht werden"), error);
    }
    // The freed pages would still hold the names and answers, the log a copy
    // of them: rebuild the file, then empty the log.
    if (!query.exec(QStringLiteral("VACUUM")) || !query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")))
        return fail(tr("Der Patient ist gelöscht, aber „%1“ konnte nicht verdichtet werden; Reste seiner "
                       "Aufzeichnungen können noch in der Datei stehen").arg(m_fileName),
                    query.lastError().text());
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
        query.prepare(QStringLiteral("INSERT INTO trainings (patient_id, started, game_type, word_group, word_list)"
                                     " VALUES (?, ?, ?, coalesce(?, ''), coalesce(?, ''))"));
        // Qt 5 binds a null string as NULL, Qt 6 as text: coalesce() makes
        // both write the same.
        for (const QVariant &value : {QVariant(training.patientId), QVariant(isoTime(answer.at)),
                                      QVariant(training.gameType), QVariant(training.group), QVariant(training.wordList)})
            query.addBindValue(value);
        ok = query.exec();
        training.id = query.lastInsertId().toLongLong();
    }
    if (ok) {
        // No choice: NULL.
        query.prepare(QStringLiteral("INSERT INTO answers (training_id, at, right_word, shown_words, first_choice,"
                                     " first_attempt_right, attempts, response_ms)"
                                     " VALUES (?, ?, ?, ?, NULLIF(?, ''), ?, ?, NULLIF(?, -1))"));
        for (const QVariant &value : {QVariant(training.id), QVariant(isoTime(answer.at)), QVariant(answer.rightWord),
                                      QVariant(answer.shownWords.join(QLatin1Char(';'))), QVariant(answer.firstChoice),
                                      QVariant(int(answer.firstAttemptRight)), QVariant(answer.attempts),
                                      QVariant(answer.responseMs)})
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
    const QString error = query.lastError().isValid() ? query.lastError().text() : m_db.lastError().text();
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
                    query.lastError().text());
    // Syncs the log and copies it into the file: a finished training is
    // safe from a power cut too. Busy readers only make it copy less.
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    return true;
}

QList<trainingSummary> recordStore::trainings(qint64 patientId)
{
    QList<trainingSummary> list;
    QHash<qint64, int> index;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, started, ended, game_type, word_group, word_list FROM trainings"
                                 " WHERE patient_id = ? ORDER BY started, id"));
    query.addBindValue(patientId);
    if (!query.exec())
        return list;
    while (query.next()) {
        index.insert(query.value(0).toLongLong(), list.size());
        list.append({fromIsoTime(query.value(1)), fromIsoTime(query.value(2)), query.value(3).toInt(),
                     query.value(4).toString(), query.value(5).toString(), 0, 0, -1});
    }

    // One pass over the answers, all of it read from the index.
    query.prepare(QStringLiteral("SELECT a.training_id, a.first_attempt_right, a.response_ms FROM answers a"
                                 " JOIN trainings t ON t.id = a.training_id WHERE t.patient_id = ?"));
    query.addBindValue(patientId);
    if (!query.exec())
        return list;
    QVector<QVector<int>> times(list.size());
    while (query.next()) {
        const int i = index.value(query.value(0).toLongLong());
        ++list[i].items;
        list[i].firstRight += query.value(1).toInt();
        if (!query.isNull(2))
            times[i].append(query.value(2).toInt());
    }
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

QStringList recordStore::missedEntries(qint64 patientId, int lastTrainings)
{
    QStringList entries;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT right_word, shown_words FROM answers WHERE training_id IN"
                                 " (SELECT id FROM trainings WHERE patient_id = ? AND game_type = 0"
                                 "  ORDER BY started DESC, id DESC LIMIT ?)"
                                 " AND first_attempt_right = 0 AND first_choice IS NOT NULL ORDER BY id DESC"));
    query.addBindValue(patientId);
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
