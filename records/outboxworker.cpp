#include "records/outboxworker.h"

#include "records/recordstore.h"
#include "records/serverstore.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVector>

namespace {

// kind: p a patient (state: their name's key, hashed, as last in step with
// the server), t a training (state: the end the server has), a an answer.
const char *const sentTable = "CREATE TABLE IF NOT EXISTS outbox_sent ("
                              " uid TEXT PRIMARY KEY, kind TEXT NOT NULL, state TEXT NOT NULL DEFAULT '')"
                              " WITHOUT ROWID";

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
        ok = connectServer() && sendPatients() && sendAnswers() && sendEnds() && (!pullDue || pull());
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
    QSqlQuery query(m_db);
    // secure_delete: a patient deleted elsewhere leaves no readable trace.
    if (m_db.open() && query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        && query.exec(QStringLiteral("PRAGMA secure_delete = ON")) && query.exec(QLatin1String(sentTable)))
        return true;
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

qint64 outboxWorker::serverPatient(const QString &uid)
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
        for (answerRow &r : rows) {
            after = r.id;
            if (interrupted())
                return true;
            if (refusedUids.contains(r.patientUid) || refusedUids.contains(r.training.uid))
                continue;
            r.training.patientId = serverPatient(r.patientUid);
            if (!r.training.patientId) {
                if (lost())
                    return false;
                refused(r.patientUid, tr("Für einen Patienten warten Antworten auf diesem Computer, den es auf dem "
                                         "Praxisserver nicht gibt oder den Sie dort nicht behandeln; sie bleiben hier"));
                continue;
            }
            r.training.id = trainingIds.value(r.training.uid);
            // The end follows once the training's answers are all there (sendEnds()).
            if (!m_server->recordAnswer(r.training, r.answer, r.answer.at)) {
                if (lost())
                    return false;
                trainingIds.remove(r.training.uid);
                refused(r.training.uid, m_server->lastError());
                continue;
            }
            trainingIds.insert(r.training.uid, r.training.id);
            if (!mark(r.answer.uid, "a"))
                return false;
        }
    }
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

bool outboxWorker::pull()
{
    pullDue = false;
    return true;
}
