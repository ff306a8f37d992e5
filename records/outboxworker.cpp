#include "records/outboxworker.h"

#include "records/recordstore.h"
#include "records/serverstore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QVector>

namespace {

// kind: p a patient (state: their name's key, hashed, as last in step with
// the server), t a training (state: the end the server has), a an answer,
// l a line of the log.
const char *const sentTable = "CREATE TABLE IF NOT EXISTS outbox_sent ("
                              " uid TEXT PRIMARY KEY, kind TEXT NOT NULL, state TEXT NOT NULL DEFAULT '')"
                              " WITHOUT ROWID";

// "Behandelnde" in the file, so that the patient dialog reads and changes
// them without the network: the practice's therapists, as last brought in,
// and each patient's, roles one a line. roles is what the file wants, sent
// what the server had when last in step: where they differ, the change
// waits. With the patient, their row goes.
const char *const therapistsTable = "CREATE TABLE IF NOT EXISTS outbox_therapists ("
                                    " role TEXT PRIMARY KEY, own INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID";
const char *const treatingTable = "CREATE TABLE IF NOT EXISTS outbox_treating ("
                                  " patient_id INTEGER PRIMARY KEY REFERENCES patients(id) ON DELETE CASCADE,"
                                  " roles TEXT NOT NULL, sent TEXT)";

// Sent in batches, so that no query holds the file while the network is slow.
const int batch = 100;

QDateTime fromIso(const QVariant &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

// A name in the file's own table of marks would outlive the patient's
// deletion; its hash tells a rename just as well.
QString keyHash(const QString &name, const QString &note)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(recordStore::matchKey(name, note).toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString orphansLine()
{
    return QCoreApplication::translate("serverOutbox",
                                       "Auf diesem Computer warten Antworten für einen Patienten, den es auf dem "
                                       "Praxisserver nicht mehr gibt oder den Sie dort nicht mehr behandeln. Sie "
                                       "bleiben hier und im Verlauf erhalten.");
}

bool interrupted()
{
    return QThread::currentThread()->isInterruptionRequested();
}

} // namespace

struct outboxWorker::answerRow
{
    qint64 id;
    QString patientUid;
    trainingRecord training;
    answerRecord answer;
};

outboxWorker::outboxWorker(const QString &url, const QString &password, const QString &fileName)
    : m_url(url)
    , m_password(password)
    , m_fileName(fileName)
    , m_connection(QStringLiteral("outbox-%1").arg(quintptr(this)))
{
}

outboxWorker::~outboxWorker() = default;

void outboxWorker::start()
{
    m_server = std::make_unique<serverStore>();
    retryTimer.setSingleShot(true);
    connect(&retryTimer, &QTimer::timeout, this, &outboxWorker::round);
    connect(&pollTimer, &QTimer::timeout, this, &outboxWorker::poll);
    connect(&pullTimer, &QTimer::timeout, this, &outboxWorker::pullNow);
    pollTimer.start(pollInterval);
    pullTimer.start(pullInterval);
    round();
}

void outboxWorker::stop()
{
    retryTimer.stop();
    pollTimer.stop();
    pullTimer.stop();
    m_server.reset();
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

void outboxWorker::sendNow()
{
    // Unreachable, the retry timer decides: a window that records quickly
    // must not make the worker knock on the server at every answer.
    if (m_reached && m_server)
        round();
}

void outboxWorker::pullNow()
{
    pullDue = true;
    sendNow();
}

void outboxWorker::poll()
{
    if (!m_db.isOpen() || dataVersion() != m_dataVersion)
        sendNow();
}

void outboxWorker::round()
{
    if (inRound || !m_server)
        return;
    inRound = true;
    retryTimer.stop();
    refusedUids.clear();
    bool ok = openFile();
    if (ok) {
        // Read first: whatever the window writes during the round brings
        // another one.
        m_dataVersion = dataVersion();
        // The log's lines before the deletions: a patient deleted here keeps
        // on the server what was done with them before.
        ok = connectServer() && sendPatients() && sendTreating() && sendAudit() && sendDeletions() && sendAnswers()
            && sendEnds() && (!pullDue || pull());
        if (!ok && lost())
            unreachable();
        else if (ok)
            setReached(true);
    }
    if (!ok && !retryTimer.isActive())
        retryTimer.start(retryInterval);
    inRound = false;
    if (ok)
        emit synced();
}

bool outboxWorker::openFile()
{
    if (m_db.isOpen())
        return true;
    {
        // Made as the records file is, for the user alone, with its tables.
        recordStore file(m_fileName);
        if (!file.open(true)) {
            say(file.takeNotice());
            return false;
        }
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_fileName);
    // The window's writes are short; this thread may wait for them.
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    const bool opened = m_db.open();
    QSqlQuery query(m_db);
    // secure_delete: a patient deleted elsewhere leaves no readable trace.
    if (opened && query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        && query.exec(QStringLiteral("PRAGMA secure_delete = ON")) && query.exec(QLatin1String(sentTable))
        && query.exec(QLatin1String(therapistsTable)) && query.exec(QLatin1String(treatingTable))
        && query.prepare(QStringLiteral("INSERT OR IGNORE INTO outbox_therapists (role, own) VALUES (?, 1)"))) {
        // This login's role treats whom it makes, before the server was ever reached.
        query.addBindValue(QUrl(m_url).userName());
        if (query.exec())
            return true;
    }
    qWarning("Skarvel: outbox: SQLite %s: %s", qPrintable(query.lastError().nativeErrorCode()),
             qPrintable(query.lastError().databaseText()));
    m_db.close();
    return false;
}

bool outboxWorker::connectServer()
{
    if (m_server->isReachable())
        return true;
    if (m_server->open(m_url, m_password))
        return true;
    // A server that answers but refuses (a wrong password, no tables) is
    // said once; one that does not answer is the quiet line.
    const QString error = m_server->lastError();
    if (!error.contains(QLatin1String("nicht erreichbar")) && !error.contains(QLatin1String("startet gerade neu")))
        say(error);
    return false;
}

void outboxWorker::unreachable()
{
    m_server->close();
    // The server's ids stay; what was sent before the loss is found again by uid.
    setReached(false);
}

bool outboxWorker::lost()
{
    return !m_server->isReachable();
}

void outboxWorker::setReached(bool reached)
{
    if (std::exchange(m_reached, reached) != reached)
        emit reachabilityChanged(reached);
}

qint64 outboxWorker::dataVersion()
{
    QSqlQuery query(m_db);
    return query.exec(QStringLiteral("PRAGMA data_version")) && query.next() ? query.value(0).toLongLong() : -1;
}

bool outboxWorker::mark(const QString &uid, const char *kind, const QString &state)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO outbox_sent (uid, kind, state) VALUES (?, ?, ?)"));
    query.addBindValue(uid);
    query.addBindValue(QLatin1String(kind));
    query.addBindValue(state);
    return query.exec();
}

void outboxWorker::refused(const QString &uid, const QString &message)
{
    refusedUids.insert(uid);
    say(message);
}

void outboxWorker::say(const QString &message)
{
    if (message.isEmpty() || told.contains(message))
        return;
    told.insert(message);
    emit problem(message);
}

qint64 outboxWorker::serverPatientId(const QString &uid)
{
    if (!patientIds.contains(uid)) {
        const qint64 id = m_server->patientIdByUid(uid);
        if (!id)
            return 0;
        patientIds.insert(uid, id);
    }
    return patientIds.value(uid);
}

bool outboxWorker::sendPatients()
{
    struct row { qint64 id; QString uid, name, note; };
    QVector<row> rows;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT id, uid, name, note FROM patients p WHERE uid IS NOT NULL"
                                   " AND NOT EXISTS (SELECT 1 FROM outbox_sent s WHERE s.uid = p.uid) ORDER BY id")))
        return false;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
                     query.value(3).toString()});
    query.finish();
    for (const row &p : rows) {
        qint64 id = m_server->addPatient(p.name, p.note, p.uid);
        const QString error = m_server->lastError();
        if (!id && lost())
            return false;
        QString uid = p.uid;
        // Made here and on another computer of this role while apart: one
        // patient of one name, as the server has it; the server's uid wins
        // and this file's answers follow it.
        const qint64 there = id ? 0 : m_server->patientId(p.name, p.note);
        if (there) {
            uid = m_server->patientUid(there);
            QSqlQuery adopt(m_db);
            adopt.prepare(QStringLiteral("UPDATE patients SET uid = ? WHERE id = ?"));
            adopt.addBindValue(uid);
            adopt.addBindValue(p.id);
            if (uid.isEmpty() || !adopt.exec())
                return false;
            id = there;
            emit patientsChanged();
        }
        if (!id) {
            refused(p.uid, error);
            continue;
        }
        patientIds.insert(uid, id);
        if (!mark(uid, "p", keyHash(p.name, p.note)))
            return false;
    }
    return true;
}

// A patient deleted here whom the server had: deleted there too, which the
// server allows to those who treat them. The mark is the tombstone.
bool outboxWorker::sendDeletions()
{
    QStringList uids;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT uid FROM outbox_sent WHERE kind = 'p'"
                                   " AND uid NOT IN (SELECT uid FROM patients WHERE uid IS NOT NULL)")))
        return false;
    while (query.next())
        uids.append(query.value(0).toString());
    query.finish();
    for (const QString &uid : std::as_const(uids)) {
        const qint64 id = serverPatientId(uid);
        if (!id && lost())
            return false;
        // The file's line of the deletion is the server's, by its uid.
        query.prepare(QStringLiteral("SELECT uid FROM audit l WHERE patient_uid = ? AND action = ? AND uid IS NOT NULL"
                                     " AND NOT EXISTS (SELECT 1 FROM outbox_sent s WHERE s.uid = l.uid)"
                                     " ORDER BY id DESC LIMIT 1"));
        query.addBindValue(uid);
        query.addBindValue(recordStore::deleted);
        if (!query.exec())
            return false;
        const QString line = query.next() ? query.value(0).toString() : QString();
        query.finish();
        if (id && !m_server->deletePatient(id, line)) {
            if (lost())
                return false;
            refused(uid, m_server->lastError());
            continue;
        }
        if (id && !line.isEmpty() && !mark(line, "l"))
            return false;
        patientIds.remove(uid);
        query.prepare(QStringLiteral("DELETE FROM outbox_sent WHERE uid = ?"));
        query.addBindValue(uid);
        if (!query.exec())
            return false;
    }
    // The marks of their trainings and answers went nowhere with them.
    return uids.isEmpty()
        || query.exec(QStringLiteral("DELETE FROM outbox_sent WHERE (kind = 't' AND uid NOT IN (SELECT uid FROM trainings"
                                     " WHERE uid IS NOT NULL)) OR (kind = 'a' AND uid NOT IN (SELECT uid FROM answers"
                                     " WHERE uid IS NOT NULL))"));
}

// Changed in the patient dialog: the server follows, or, where it
// refuses, the file takes the server's again.
bool outboxWorker::sendTreating()
{
    struct row { qint64 id; QString uid, roles; };
    QVector<row> rows;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT t.patient_id, p.uid, t.roles FROM outbox_treating t"
                                   " JOIN patients p ON p.id = t.patient_id WHERE t.sent IS NOT t.roles AND p.uid IS NOT NULL")))
        return false;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString()});
    query.finish();
    const QString own = QUrl(m_url).userName();
    for (const row &r : rows) {
        const qint64 id = serverPatientId(r.uid);
        if (!id) {
            if (lost())
                return false;
            continue; // not on the server yet, or no longer this role's
        }
        const QStringList roles = r.roles.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const bool sent = m_server->setTreating(id, roles);
        if (!sent && lost())
            return false;
        if (!sent)
            refused(r.uid, m_server->lastError());
        const QString now = sent ? r.roles : m_server->treating(id).join(QLatin1Char('\n'));
        // Changed again meanwhile: that change waits for the next round.
        query.prepare(QStringLiteral("UPDATE outbox_treating SET roles = ?, sent = ? WHERE patient_id = ? AND roles = ?"));
        for (const QVariant &value : {QVariant(now), QVariant(now), QVariant(r.id), QVariant(r.roles)})
            query.addBindValue(value);
        if (!query.exec())
            return false;
        // No longer this role's: the pull takes them off this computer.
        if (sent && !roles.contains(own))
            pullDue = true;
    }
    return true;
}

// The log's lines of patients the server has (or had, their deletion on
// its way), each once by its uid. A deletion's own line goes with it.
bool outboxWorker::sendAudit()
{
    QList<auditRecord> lines;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT l.at, l.action, l.patient_uid, l.uid FROM audit l"
                                 " JOIN outbox_sent p ON p.uid = l.patient_uid AND p.kind = 'p'"
                                 " WHERE l.uid IS NOT NULL AND l.action <> ?"
                                 " AND NOT EXISTS (SELECT 1 FROM outbox_sent s WHERE s.uid = l.uid) ORDER BY l.id"));
    query.addBindValue(recordStore::deleted);
    if (!query.exec())
        return false;
    while (query.next())
        lines.append({fromIso(query.value(0)), QString(), query.value(1).toString(), query.value(2).toString(),
                      QString(), query.value(3).toString()});
    query.finish();
    for (const auditRecord &line : std::as_const(lines)) {
        if (interrupted())
            return true;
        if (refusedUids.contains(line.patientUid))
            continue;
        if (!m_server->addAuditLine(line)) {
            if (lost())
                return false;
            refused(line.patientUid, m_server->lastError());
            continue;
        }
        if (!mark(line.uid, "l"))
            return false;
    }
    return true;
}

bool outboxWorker::sendAnswers()
{
    qint64 after = 0;
    for (;;) {
        QVector<answerRow> rows;
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral(
            "SELECT a.id, p.uid, t.uid, t.game_type, t.word_group, t.word_list, t.presentation, t.at_home,"
            " a.uid, a.at, a.right_word, a.shown_words, a.first_choice, a.first_attempt_right, a.attempts,"
            " a.response_ms FROM answers a JOIN trainings t ON t.id = a.training_id JOIN patients p ON p.id = t.patient_id"
            " WHERE a.id > ? AND a.uid IS NOT NULL AND t.uid IS NOT NULL"
            " AND NOT EXISTS (SELECT 1 FROM outbox_sent s WHERE s.uid = a.uid) ORDER BY a.id LIMIT ?"));
        query.addBindValue(after);
        query.addBindValue(batch);
        if (!query.exec())
            return false;
        while (query.next()) {
            answerRow r{query.value(0).toLongLong(), query.value(1).toString(), {}, {}};
            r.training = {0, 0, query.value(3).toInt(), query.value(4).toString(), query.value(5).toString(),
                          query.value(6).toInt(), query.value(2).toString(), query.value(7).toBool()};
            r.answer = {fromIso(query.value(9)), query.value(10).toString(),
                        query.value(11).toString().split(QLatin1Char(';')), query.value(12).toString(),
                        query.value(13).toBool(), query.value(14).toInt(),
                        query.isNull(15) ? -1 : query.value(15).toInt(), query.value(8).toString()};
            rows.append(r);
        }
        query.finish();
        if (rows.isEmpty())
            return true;
        after = rows.last().id;
        QVector<answerToSend> sending;
        for (answerRow &r : rows) {
            if (refusedUids.contains(r.patientUid) || refusedUids.contains(r.training.uid))
                continue;
            r.training.patientId = serverPatientId(r.patientUid);
            if (!r.training.patientId) {
                if (lost())
                    return false;
                refused(r.patientUid, orphansLine());
                continue;
            }
            r.training.id = trainingIds.value(r.training.uid);
            sending.append({r.training, r.answer});
        }
        if (interrupted())
            return true;
        // The batch in one commit: over a slow link each statement costs
        // round trips, and one answer at a time would take seconds each.
        if (m_server->recordAnswers(sending)) {
            if (!marked(sending))
                return false;
            continue;
        }
        if (lost())
            return false;
        // Refused: one at a time, to find the one.
        // The end follows once the training's answers are all there (sendEnds()).
        for (answerToSend &a : sending) {
            if (interrupted())
                return true;
            if (refusedUids.contains(a.training.uid))
                continue;
            a.training.id = trainingIds.value(a.training.uid);
            if (!m_server->recordAnswer(a.training, a.answer, a.answer.at)) {
                if (lost())
                    return false;
                trainingIds.remove(a.training.uid);
                refused(a.training.uid, m_server->lastError());
                continue;
            }
            trainingIds.insert(a.training.uid, a.training.id);
            if (!mark(a.answer.uid, "a"))
                return false;
        }
    }
}

// One commit for the batch's marks, not a sync for each.
bool outboxWorker::marked(const QVector<answerToSend> &sent)
{
    bool ok = m_db.transaction();
    for (const answerToSend &a : sent) {
        trainingIds.insert(a.training.uid, a.training.id);
        ok = ok && mark(a.answer.uid, "a");
    }
    if (ok && m_db.commit())
        return true;
    m_db.rollback();
    return false;
}

bool outboxWorker::sendEnds()
{
    struct row { QString uid, patientUid, ended; };
    QVector<row> rows;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral(
            "SELECT t.uid, p.uid, t.ended FROM trainings t JOIN patients p ON p.id = t.patient_id"
            " LEFT JOIN outbox_sent s ON s.uid = t.uid"
            " WHERE t.uid IS NOT NULL AND t.ended IS NOT NULL AND t.ended > coalesce(s.state, '')"
            " AND EXISTS (SELECT 1 FROM answers a WHERE a.training_id = t.id)"
            " AND NOT EXISTS (SELECT 1 FROM answers a WHERE a.training_id = t.id"
            "  AND NOT EXISTS (SELECT 1 FROM outbox_sent u WHERE u.uid = a.uid))")))
        return false;
    while (query.next())
        rows.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toString()});
    query.finish();
    for (const row &t : rows) {
        if (interrupted())
            return true;
        trainingRecord training;
        training.uid = t.uid;
        training.id = trainingIds.value(t.uid);
        if (!training.id)
            training.id = m_server->trainingIdByUid(t.uid);
        if (!training.id) {
            if (lost())
                return false;
            continue; // its patient is gone from the server, or no longer this role's
        }
        trainingIds.insert(t.uid, training.id);
        if (!m_server->endTraining(training, fromIso(t.ended))) {
            if (lost())
                return false;
            refused(t.uid, m_server->lastError());
            continue;
        }
        if (!mark(t.uid, "t", t.ended))
            return false;
    }
    return true;
}

// What the server has and the file not: other computers' patients,
// trainings and answers of this role, each marked as the server's. The
// file's own unsent rows are never touched.
bool outboxWorker::pull()
{
    QList<serverPatient> patients;
    QList<serverTraining> trainings;
    if (!m_server->readPatients(patients) || !m_server->readTrainings(trainings))
        return false;
    bool changed = false;
    if (!pullPatients(patients, &changed) || !pullTrainings(trainings) || !pullTreating() || !pullAudit())
        return false;
    pullDue = false;
    if (changed)
        emit patientsChanged();
    return true;
}

bool outboxWorker::pullPatients(const QList<serverPatient> &patients, bool *changed)
{
    QHash<QString, serverPatient> there;
    for (const serverPatient &p : patients) {
        there.insert(p.uid, p);
        patientIds.insert(p.uid, p.id);
    }
    struct row { qint64 id; QString uid, name, note, state; bool marked; };
    QVector<row> rows;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT p.id, p.uid, p.name, p.note, s.state, s.uid IS NOT NULL FROM patients p"
                                   " LEFT JOIN outbox_sent s ON s.uid = p.uid")))
        return false;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
                     query.value(3).toString(), query.value(4).toString(), query.value(5).toBool()});
    query.finish();
    for (const row &local : rows) {
        const serverPatient p = there.take(local.uid);
        if (!p.id) {
            // Deleted elsewhere, or no longer this role's: gone here too,
            // unless answers of theirs wait to be sent.
            if (local.marked && !dropPatient(local.id, changed))
                return false;
            continue;
        }
        // Renamed here: the server follows; renamed there, and not here
        // since: the file follows.
        const QString key = keyHash(p.name, p.note);
        const QString localKey = keyHash(local.name, local.note);
        if (local.state != localKey && key != localKey) {
            if (!m_server->renamePatient(p.id, local.name, local.note)) {
                if (lost())
                    return false;
                refused(local.uid, m_server->lastError());
            } else if (!mark(p.uid, "p", localKey)) {
                return false;
            }
        } else if (local.state != localKey) {
            if (!mark(p.uid, "p", localKey))
                return false;
        } else if (key != local.state) {
            query.prepare(QStringLiteral("UPDATE patients SET name = ?, note = ?, match_key = ? WHERE id = ?"));
            for (const QVariant &value : {QVariant(p.name), QVariant(p.note),
                                          QVariant(recordStore::matchKey(p.name, p.note)), QVariant(local.id)})
                query.addBindValue(value);
            if (!query.exec() || !mark(p.uid, "p", key))
                return false;
            *changed = true;
        }
    }
    for (const serverPatient &p : std::as_const(there)) {
        // Sent once and gone from the file: deleted here, and the deletion
        // not yet sent (the window deleted them while this round ran). Not
        // brought back; the next round deletes them there.
        query.prepare(QStringLiteral("SELECT 1 FROM outbox_sent WHERE uid = ? AND kind = 'p'"));
        query.addBindValue(p.uid);
        if (!query.exec())
            return false;
        const bool deletedHere = query.next();
        query.finish();
        if (deletedHere)
            continue;
        // One of this name made here and not yet sent is the same patient.
        query.prepare(QStringLiteral("UPDATE patients SET uid = ? WHERE match_key = ?"
                                     " AND NOT EXISTS (SELECT 1 FROM outbox_sent s WHERE s.uid = patients.uid)"));
        query.addBindValue(p.uid);
        query.addBindValue(recordStore::matchKey(p.name, p.note));
        if (!query.exec())
            return false;
        if (query.numRowsAffected() == 0) {
            // Ignored: the name is still another's here, until a rename
            // of theirs comes in.
            query.prepare(QStringLiteral("INSERT OR IGNORE INTO patients (name, note, match_key, created, uid)"
                                         " VALUES (?, ?, ?, ?, ?)"));
            for (const QVariant &value : {QVariant(p.name), QVariant(p.note), QVariant(recordStore::matchKey(p.name, p.note)),
                                          QVariant(QDateTime::currentDateTimeUtc().toString(Qt::ISODate)), QVariant(p.uid)})
                query.addBindValue(value);
            if (!query.exec())
                return false;
            if (query.numRowsAffected() == 0)
                continue;
        }
        if (!mark(p.uid, "p", keyHash(p.name, p.note)))
            return false;
        *changed = true;
    }
    return true;
}

bool outboxWorker::dropPatient(qint64 id, bool *changed)
{
    QSqlQuery query(m_db);
    // In one commit with the check: an answer the window writes meanwhile
    // keeps the patient.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    query.prepare(QStringLiteral("SELECT count(*) FROM answers a JOIN trainings t ON t.id = a.training_id"
                                 " WHERE t.patient_id = ? AND NOT EXISTS (SELECT 1 FROM outbox_sent s WHERE s.uid = a.uid)"));
    query.addBindValue(id);
    bool ok = query.exec() && query.next();
    const bool waiting = ok && query.value(0).toInt() > 0;
    query.finish();
    for (const char *statement :
         {"DELETE FROM outbox_sent WHERE uid IN (SELECT a.uid FROM answers a JOIN trainings t ON t.id = a.training_id"
          " WHERE t.patient_id = :id UNION ALL SELECT uid FROM trainings WHERE patient_id = :id"
          " UNION ALL SELECT uid FROM patients WHERE id = :id)",
          "DELETE FROM answers WHERE training_id IN (SELECT id FROM trainings WHERE patient_id = :id)",
          "DELETE FROM trainings WHERE patient_id = :id", "DELETE FROM assignments WHERE patient_id = :id",
          "DELETE FROM patients WHERE id = :id"}) {
        if (!ok || waiting)
            break;
        query.prepare(QLatin1String(statement));
        query.bindValue(QStringLiteral(":id"), id);
        ok = query.exec();
    }
    if (!ok || waiting || !query.exec(QStringLiteral("COMMIT"))) {
        query.exec(QStringLiteral("ROLLBACK"));
        if (waiting)
            say(orphansLine());
        return ok;
    }
    *changed = true;
    // The log beside the file held their rows too.
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}

bool outboxWorker::pullTrainings(const QList<serverTraining> &trainings)
{
    struct row { qint64 id; QString ended; int marked; };
    QHash<QString, row> here;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT t.uid, t.id, t.ended, (SELECT count(*) FROM answers a JOIN outbox_sent s"
                                   " ON s.uid = a.uid WHERE a.training_id = t.id) FROM trainings t")))
        return false;
    while (query.next())
        here.insert(query.value(0).toString(),
                    {query.value(1).toLongLong(), query.value(2).toString(), query.value(3).toInt()});
    query.finish();
    QStringList wanted;
    for (const serverTraining &t : trainings) {
        const QString ended = t.ended.toUTC().toString(Qt::ISODate);
        const auto local = here.constFind(t.training.uid);
        if (local == here.constEnd()) {
            query.prepare(QStringLiteral(
                "INSERT INTO trainings (patient_id, started, ended, game_type, word_group, word_list, presentation,"
                " uid, at_home) SELECT id, ?, nullif(?, ''), ?, ?, ?, ?, ?, ? FROM patients WHERE uid = ?"));
            for (const QVariant &value :
                 {QVariant(t.started.toUTC().toString(Qt::ISODate)), QVariant(ended), QVariant(t.training.gameType),
                  QVariant(t.training.group), QVariant(t.training.wordList), QVariant(t.training.presentation),
                  QVariant(t.training.uid), QVariant(int(t.training.atHome)), QVariant(t.patientUid)})
                query.addBindValue(value);
            if (!query.exec())
                return false;
            if (query.numRowsAffected() == 0)
                continue; // a patient the file could not take
        } else if (ended > local->ended) {
            query.prepare(QStringLiteral("UPDATE trainings SET ended = ? WHERE id = ?"));
            query.addBindValue(ended);
            query.addBindValue(local->id);
            if (!query.exec())
                return false;
        }
        if ((local == here.constEnd() || ended > local->ended) && !mark(t.training.uid, "t", ended))
            return false;
        trainingIds.insert(t.training.uid, t.training.id);
        if (local == here.constEnd() ? t.answers > 0 : t.answers != local->marked)
            wanted.append(t.training.uid);
    }
    // In pieces: each its own commit, the window's answers in between.
    for (int from = 0; from < wanted.size(); from += batch) {
        if (interrupted())
            return true;
        QList<serverAnswer> answers;
        if (!m_server->readAnswers(wanted.mid(from, batch), answers) || !pullAnswers(answers))
            return false;
    }
    return true;
}

bool outboxWorker::pullAnswers(const QList<serverAnswer> &answers)
{
    // Prepared once for the thousands of a first pull.
    QSqlQuery query(m_db), marking(m_db);
    bool ok = m_db.transaction()
        && query.prepare(QStringLiteral(
            "INSERT OR IGNORE INTO answers (training_id, at, right_word, shown_words, first_choice,"
            " first_attempt_right, attempts, response_ms, uid) SELECT id, ?, ?, ?, nullif(?, ''), ?, ?,"
            " nullif(?, -1), ? FROM trainings WHERE uid = ?"))
        && marking.prepare(QStringLiteral("INSERT OR REPLACE INTO outbox_sent (uid, kind, state) VALUES (?, 'a', '')"));
    for (const serverAnswer &a : answers) {
        if (!ok)
            break;
        const answerRecord &r = a.answer;
        for (const QVariant &value :
             {QVariant(r.at.toUTC().toString(Qt::ISODate)), QVariant(r.rightWord),
              QVariant(r.shownWords.join(QLatin1Char(';'))), QVariant(r.firstChoice), QVariant(int(r.firstAttemptRight)),
              QVariant(r.attempts), QVariant(r.responseMs), QVariant(r.uid), QVariant(a.trainingUid)})
            query.addBindValue(value);
        marking.addBindValue(r.uid);
        ok = query.exec() && marking.exec();
    }
    if (ok && m_db.commit())
        return true;
    m_db.rollback();
    return false;
}

bool outboxWorker::pullTreating()
{
    QHash<QString, QStringList> treating;
    // The own role is always one: none at all is a list not read.
    const QStringList therapists = m_server->therapists();
    if (therapists.isEmpty() || !m_server->readTreating(treating))
        return false;
    const QString own = QUrl(m_url).userName();
    QSqlQuery query(m_db);
    bool ok = m_db.transaction() && query.exec(QStringLiteral("DELETE FROM outbox_therapists"));
    for (const QString &role : therapists) {
        ok = ok && query.prepare(QStringLiteral("INSERT INTO outbox_therapists (role, own) VALUES (?, ?)"));
        query.addBindValue(role);
        query.addBindValue(int(role == own));
        ok = ok && query.exec();
    }
    // A change made here and not yet sent stays as it is.
    for (auto i = treating.constBegin(); ok && i != treating.constEnd(); ++i) {
        ok = query.prepare(QStringLiteral("INSERT INTO outbox_treating (patient_id, roles, sent)"
                                          " SELECT id, :roles, :roles FROM patients WHERE uid = :uid"
                                          " ON CONFLICT (patient_id) DO UPDATE SET roles = excluded.roles,"
                                          " sent = excluded.sent WHERE outbox_treating.roles IS outbox_treating.sent"));
        query.bindValue(QStringLiteral(":roles"), i.value().join(QLatin1Char('\n')));
        query.bindValue(QStringLiteral(":uid"), i.key());
        ok = ok && query.exec();
    }
    if (ok && m_db.commit())
        return true;
    m_db.rollback();
    return false;
}

// The server's lines of the log, as the patient dialog shows them beside
// those still waiting here.
bool outboxWorker::pullAudit()
{
    QList<auditRecord> lines;
    if (!m_server->readAccessLog(lines))
        return false;
    QSqlQuery query(m_db);
    bool ok = m_db.transaction();
    for (const auditRecord &line : std::as_const(lines)) {
        ok = query.prepare(QStringLiteral("INSERT OR IGNORE INTO audit (at, user_name, action, patient_uid, uid)"
                                          " VALUES (?, ?, ?, ?, ?)"));
        for (const QVariant &value : {QVariant(line.at.toUTC().toString(Qt::ISODate)), QVariant(line.user),
                                      QVariant(line.action), QVariant(line.patientUid), QVariant(line.uid)})
            query.addBindValue(value);
        ok = ok && query.exec() && (query.numRowsAffected() == 0 || mark(line.uid, "l"));
        if (!ok)
            break;
    }
    if (ok && m_db.commit())
        return true;
    m_db.rollback();
    return false;
}
