#ifndef RECORDSTORE_H
#define RECORDSTORE_H

#include "records/practicetime.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlError;

struct patientRecord
{
    qint64 id = 0;
    QString name;
    QString note; // the optional second line that tells two of one name apart

    // The name, and the second line in brackets: how lists, titles and
    // reports show the patient.
    QString shown() const;
};

// A training as the recorder keeps it. Its row is written with its first
// answer, so a training without answers never appears.
struct trainingRecord
{
    qint64 id = 0; // 0 until the first answer is written
    qint64 patientId = 0;
    int gameType = 0;
    QString group;
    QString wordList; // empty: the bundled list
    int presentation = 0; // preferences::Presentation: 0 words only
    QString uid{};        // made with the first answer where empty
    bool atHome = false;  // trained from a homework file
};

// One item, left by "Weiter" or the delay.
struct answerRecord
{
    QDateTime at; // the first choice, or leaving the item without one
    QString rightWord;
    QStringList shownWords; // in button order
    QString firstChoice;    // empty: left without a choice
    bool firstAttemptRight = false;
    int attempts = 0;    // choices up to and including the right one
    int responseMs = -1; // showing to first choice; -1: no choice
    QString uid{};       // made when it is written where empty
};

// Homework given to a patient, as the practice's records keep it: the goal
// and the period it holds for (both days included).
struct assignmentRecord
{
    qint64 id = 0;
    QString uid{}; // the homework file's own; made on adding where empty
    qint64 patientId = 0;
    QDateTime created;
    int minutesPerDay = 20;
    int daysPerWeek = 5;
    QDate starts;
    QDate ends;
};

// One line of the Verlauf.
struct trainingSummary
{
    QDateTime started;
    QDateTime ended;
    int gameType = 0;
    QString group;
    QString wordList;
    int items = 0;
    int firstRight = 0;
    int medianMs = -1; // -1: no item had a choice
    int presentation = 0;
    bool atHome = false;
};

// One line of the records' own log of who took a patient's data out, brought
// it in or deleted the patient. The patient is named by identity alone, so
// that a deleted patient's name does not outlive them here.
struct auditRecord
{
    QDateTime at;
    QString user;   // the system's user name
    QString action; // recordStore::exportedCsv, …
    QString patientUid;
    QString patient; // as lists show them; empty once deleted
    QString uid{};   // the line's own, so that the practice server keeps it once
};

// The patients and their answers in one SQLite file (the schema is in the
// README). Every answer is its own transaction, so a killed program loses at
// most the one being written. A file that is damaged or not ours is moved
// aside on opening and a new one started; one written by a newer Skarvel is
// left alone and nothing is recorded. Whatever had to be done or went wrong
// waits in takeNotice() for the one message that tells the user.
class recordStore
{
public:
    explicit recordStore(const QString &fileName = defaultFileName());
    ~recordStore();

    // skarvel.sqlite under the application's data location.
    static QString defaultFileName();
    static const int schemaVersion;

    // Without create, a missing file stays missing and open() fails quietly.
    bool open(bool create);
    // For a file that is carried to another computer: every commit goes
    // into the file itself and reaches the disk before the next answer, so
    // that the file alone, copied at any moment after a crash, holds every
    // answer committed. Slower than the log beside the file, which is why
    // the records on this computer keep it.
    bool keepInOneFile();
    bool isOpen() const;
    const QString &fileName() const;
    QString takeNotice();

    static const int nameLength; // characters
    static const int noteLength;
    // A name or second line as it is stored (trimmed, inner spaces single);
    // sets problem when it cannot be one.
    static QString cleanName(const QString &name, QString *problem);
    static QString cleanNote(const QString &note, QString *problem);
    // Two patients are one when name and second line are equal but for
    // case; the file's unique index holds this key, so both agree.
    static QString matchKey(const QString &name, const QString &note);

    QList<patientRecord> patients();
    // As every list shows them: by name, then second line, as German sorts them.
    static void sortPatients(QList<patientRecord> &list);
    qint64 patientId(const QString &name, const QString &note = QString()); // 0: none
    // uid: the patient's identity where it is another file's (a homework
    // file's one patient); empty: a new one. 0 on failure.
    qint64 addPatient(const QString &name, const QString &note = QString(), const QString &uid = QString());
    bool renamePatient(qint64 id, const QString &name, const QString &note = QString());
    // Removes the patient with every training and answer, then rebuilds the
    // file so that nothing of them stays readable in it.
    bool deletePatient(qint64 id);
    QPair<int, int> trainingAndAnswerCount(qint64 patientId);

    // Writes the answer and, for the first one, the training, in one commit.
    bool recordAnswer(trainingRecord &training, const answerRecord &answer, const QDateTime &left);
    bool endTraining(const trainingRecord &training, const QDateTime &ended);

    QList<trainingSummary> trainings(qint64 patientId);
    // The right words of the items most often answered wrong at the first
    // attempt, with their counts, most often first.
    QList<QPair<QString, int>> mostMissed(qint64 patientId, int count);
    // Entry lines ("right;wrong;wrong") of the "Falschwörter" items answered
    // wrong at the first attempt in the last trainings of that type with
    // this word list (empty: the bundled one).
    QStringList missedEntries(qint64 patientId, const QString &wordList, int lastTrainings);
    // Entry lines of the "Falschwörter" words with this list that the review
    // schedule (records/reviewschedule.h) brings back on that day, days
    // counted in local time.
    QStringList dueEntries(qint64 patientId, const QString &wordList, const QDate &today);
    // The patient's practice time (records/practicetime.h) per day, in the
    // practice and at home apart, oldest first; a training counts on the
    // day it began, in local time.
    QList<practiceTime::practiceSum> practiceDays(qint64 patientId);

    // The access log, newest first; false where the line could not be
    // written (the notice says why).
    static const QString exportedCsv, exportedPdf, exportedHomework, imported, deleted;
    bool logAccess(const QString &action, qint64 patientId);
    QList<auditRecord> accessLog();

    // "Behandelnde", as the outbox of the practice server keeps them in its
    // file: the practice's therapists' roles (own: the role this computer
    // logs in with) and those who treat a patient, the own role alone until
    // the server's are brought in. An ordinary records file has no
    // therapists. A change waits in the file until the outbox has sent it.
    QStringList therapists(QString *own = nullptr);
    QStringList treating(qint64 patientId);
    bool setTreating(qint64 patientId, QStringList roles);

    // A consistent copy of the records as they are, for the user alone.
    bool copyTo(const QString &fileName);
    // How long a statement waits for a lock that another program holds
    // (a second Skarvel, a backup tool). Opened, the store waits only
    // briefly: the window must not freeze; wasLocked() tells that the
    // last failure was such a lock, which goes away.
    static const int shortLockWait; // milliseconds
    void setLockWait(int milliseconds);
    bool wasLocked() const;

    // The identities a homework file carries: the records' own (empty when
    // not open) and a patient's (empty: none of that id).
    QString recordsUid();
    QString patientUid(qint64 patientId);
    qint64 patientIdByUid(const QString &uid); // 0: none
    bool addAssignment(assignmentRecord &assignment);
    // The patient's homework goals, the earliest start first.
    QList<assignmentRecord> assignments(qint64 patientId);
    // Adds the trainings and answers of the patient of that uid in another
    // records file to patientId here, each training and answer once by its
    // identity (trainings already here get the later end), all in one
    // commit. Returns the number of answers new here, -1 on failure.
    int mergeFrom(const QString &otherFile, const QString &patientUid, qint64 patientId);
    // As mergeFrom, but only what dueEntries() reads for that word list:
    // the "Falschwörter" answers of the words ever missed with it, so that a
    // homework file carries the review schedule and nothing else of before.
    int copyReviewHistory(const QString &otherFile, const QString &patientUid, qint64 patientId,
                          const QString &wordList);

private:
    enum class Check { Usable, Unusable, NotOurs };

    Check connectFile();
    void disconnectFile();
    bool moveAside();
    bool migrate();
    bool migrateStep(int version);
    int merge(const QString &otherFile, const QString &patientUid, qint64 patientId, const QString *reviewList);
    bool fail(const QString &what, const QString &reason);
    bool fail(const QString &what, const QSqlError &error);
    QString reason(const QSqlError &error) const;

    QString m_fileName;
    QString m_connection;
    QSqlDatabase m_db;
    QString m_notice;
    bool m_locked = false;
};

#endif // RECORDSTORE_H
