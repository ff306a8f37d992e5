#ifndef OUTBOXWORKER_H
#define OUTBOXWORKER_H

#include <QHash>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QTimer>
#include <QVector>

#include <memory>

class serverStore;
struct answerToSend;
struct serverAnswer;
struct serverPatient;
struct serverTraining;

// The half of serverOutbox that lives on its own thread: it alone talks to
// the server, through its own serverStore, and reads and marks the outbox
// file through its own connection. What it has sent is marked in the file's
// table outbox_sent by uid (patients with their name's key, trainings with
// the end sent), after the server's commit: a crash in between sends again,
// and the server, which keeps every uid once, stores it once.
class outboxWorker : public QObject
{
    Q_OBJECT

public:
    outboxWorker(const QString &url, const QString &password, const QString &fileName);
    ~outboxWorker() override;

    // Milliseconds; set before start().
    int retryInterval = 5000; // the server unreachable
    int pollInterval = 1000;  // looking for what the window wrote
    int pullInterval = 30000; // bringing in what other computers sent

public slots:
    void start();
    void stop();
    void sendNow();
    void pullNow();

signals:
    void reachabilityChanged(bool reached);
    // A round ended with everything sent that the server takes.
    void synced();
    void patientsChanged();
    void problem(const QString &message);

private:
    struct answerRow;

    void round();
    void poll();
    bool openFile();
    bool connectServer();
    void unreachable();
    bool lost();
    bool sendPatients();
    bool sendTreating();
    bool sendAudit();
    bool sendDeletions();
    bool sendAnswers();
    bool marked(const QVector<answerToSend> &sent);
    bool sendEnds();
    bool pull();
    bool pullPatients(const QList<serverPatient> &patients, bool *changed);
    bool dropPatient(qint64 id, bool *changed);
    bool pullTrainings(const QList<serverTraining> &trainings);
    bool pullAnswers(const QList<serverAnswer> &answers);
    bool pullTreating();
    bool pullAudit();
    qint64 serverPatientId(const QString &uid);
    bool mark(const QString &uid, const char *kind, const QString &state = QString());
    void refused(const QString &uid, const QString &message);
    void say(const QString &message); // once
    qint64 dataVersion();
    void setReached(bool reached);

    const QString m_url;
    const QString m_password;
    const QString m_fileName;
    const QString m_connection;
    QSqlDatabase m_db;
    std::unique_ptr<serverStore> m_server;
    // Children, so that they move to the worker's thread with it.
    QTimer retryTimer{this};
    QTimer pollTimer{this};
    QTimer pullTimer{this};
    QHash<QString, qint64> patientIds;  // uid: the server's id
    QHash<QString, qint64> trainingIds; // uid: the server's id
    QSet<QString> refusedUids;          // this round's; said once each
    QSet<QString> told;
    qint64 m_dataVersion = -1;
    bool m_reached = true;
    bool pullDue = true;
    bool inRound = false;
};

#endif // OUTBOXWORKER_H
