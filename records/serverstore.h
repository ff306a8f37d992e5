#ifndef SERVERSTORE_H
#define SERVERSTORE_H

#include "records/recordstore.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVector>

class QSqlError;
class QSqlQuery;

// A patient, training or answer as the server has it, for an outbox that
// brings them into its file.
struct serverPatient
{
    qint64 id = 0;
    QString uid;
    QString name;
    QString note;
};

struct serverTraining
{
    QString patientUid;
    trainingRecord training; // id: the server's
    QDateTime started;
    QDateTime ended;
    int answers = 0;
};

struct serverAnswer
{
    QString trainingUid;
    answerRecord answer;
};

// An answer with its training, as an outbox sends it.
struct answerToSend
{
    trainingRecord training; // patientId: the server's
    answerRecord answer;
};

// The practice's records on a PostgreSQL server: the tables of the records
// file, one login role per therapist, and row-level security in the server
// that lets a role see and change only the patients it treats, with their
// trainings and answers, whatever program it connects with. Every row has
// its uid, and writing one that is there already changes nothing, so an
// answer sent twice (a retry after a lost connection) is stored once.
class serverStore
{
public:
    serverStore();
    ~serverStore();

    static const int schemaVersion;
    static const QString groupRole; // every therapist's role is a member

    // A URL "postgresql://user@host:port/db", optionally with
    // "?sslmode=…&sslrootcert=FILE" (verify-full whenever a CA file is
    // given); empty password: libpq's PGPASSWORD or ~/.pgpass. An empty
    // database gets the schema, made by a role that is no therapist's.
    bool open(const QString &url, const QString &password);
    // What the practice's IT runs once, as the database's owner: the group
    // role, the schema, the grants.
    bool setUp(const QString &url, const QString &password);
    bool isOpen() const;
    void close();
    // Why the last call failed, in German, naming the server.
    QString lastError() const;
    // What is wrong with a URL; empty when it is one this store can open.
    static QString checkUrl(const QString &url);
    QString server() const; // "host:port/db", as messages name it

    QList<patientRecord> patients();
    qint64 patientId(const QString &name, const QString &note = QString()); // 0: none this role treats
    // uid: the identity the patient has elsewhere (an outbox's); a patient
    // of that uid there already is found, not added twice. 0 on failure.
    qint64 addPatient(const QString &name, const QString &note = QString(), const QString &uid = QString());
    bool renamePatient(qint64 id, const QString &name, const QString &note = QString());
    QPair<int, int> trainingAndAnswerCount(qint64 patientId);
    // Removes the patient with everything of them; only for those who treat
    // them. auditUid: the identity of the log's line, where a file made it.
    bool deletePatient(qint64 id, const QString &auditUid = QString());
    // The log of who took a patient's data out, brought it in or deleted
    // the patient (recordStore::exportedCsv, …), as far as this role treats them.
    bool logAccess(const QString &action, qint64 patientId);
    QList<auditRecord> accessLog();
    // A line of a file's log, once by its uid, for a patient this role treats.
    bool addAuditLine(const auditRecord &line);
    // "Behandelnde": the roles that treat the patient, and the practice's.
    QStringList treating(qint64 patientId);
    bool setTreating(qint64 patientId, const QStringList &roles);
    QStringList therapists();

    // As recordStore::recordAnswer; once the connection was lost it is made
    // again and the answer sent once more.
    bool recordAnswer(trainingRecord &training, const answerRecord &answer, const QDateTime &left);
    // Answers of one or more trainings in one commit, each training ended
    // at its last answer; the trainings' ids are set. All or nothing: one
    // the server refuses fails all, and recordAnswer() tells which.
    bool recordAnswers(QVector<answerToSend> &answers);
    bool endTraining(const trainingRecord &training, const QDateTime &ended);
    QList<trainingSummary> trainings(qint64 patientId);

    // The identities merging goes by, as recordStore has them.
    QString recordsUid();
    QString patientUid(qint64 patientId);
    qint64 patientIdByUid(const QString &uid); // 0: none this role treats
    qint64 trainingIdByUid(const QString &uid); // 0: none this role sees

    // Every patient and training this role treats, the answers of these
    // trainings; false, and nothing, when the server could not be read.
    bool readPatients(QList<serverPatient> &list);
    bool readTrainings(QList<serverTraining> &list);
    bool readAnswers(const QStringList &trainingUids, QList<serverAnswer> &list);
    // The log's lines of these patients, oldest first, and their Behandelnde.
    bool readAccessLog(QList<auditRecord> &list);
    bool readTreating(QHash<QString, QStringList> &byPatientUid);

    // Whether the connection still answers: a failure that leaves it
    // answering was the server's refusal, not a lost network.
    bool isReachable();

    // Moves a computer's records here once: the patients of a records file
    // (recordStore's), with their trainings, answers and homework goals,
    // each once by its identity. A patient here of the same uid, or of the
    // same name and second line, is the same patient. One transaction: on
    // failure nothing is added. The file is only read. Returns the number of
    // answers new here, -1 on failure (lastError()).
    int importFile(const QString &fileName);

private:
    bool connectServer(const QString &password);
    bool createSchema(int found);
    bool writeAnswer(trainingRecord &training, const answerRecord &answer, const QDateTime &left);
    bool writeAnswers(QVector<answerToSend> &answers);
    bool alive();
    bool importRows(QSqlDatabase &file, bool withAssignments, int *added);
    qint64 importPatient(QSqlQuery &out, const QSqlQuery &in);
    bool writeAuditLine(QSqlQuery &query, const QString &action, qint64 patientId, const QString &uid = QString());
    QVariant value(const QString &sql, const QVariant &bound);
    bool fail(const QString &what, const QString &reason);
    bool fail(const QString &what, const QSqlError &error);
    QString reason(const QSqlError &error) const;

    QUrl m_url;
    QString m_password;
    QString m_connection;
    QSqlDatabase m_db;
    QString m_error;
    bool m_opened = false; // open() succeeded: a lost connection may be made again
};

#endif // SERVERSTORE_H
