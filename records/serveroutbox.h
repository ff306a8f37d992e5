#ifndef SERVEROUTBOX_H
#define SERVEROUTBOX_H

#include <QObject>
#include <QString>
#include <QThread>

class outboxWorker;

// The practice server's records without the window ever waiting for the
// network: the window records into an ordinary records file, the outbox (one
// per server and role, for the user alone), and a worker on its own thread
// sends what is new there to the server and brings in what the server has.
// A server that is not reached is tried again every retry interval; what
// waits stays in the file, across a crash or a restart, until it is sent.
class serverOutbox : public QObject
{
    Q_OBJECT

public:
    // The window's quiet line while the server is not reached.
    static QString unreachableLine();

    // fileName empty: fileNameFor(url).
    serverOutbox(const QString &url, const QString &password, const QString &fileName = QString(),
                 QObject *parent = nullptr);
    // Waits for the worker to finish what it sends at this moment.
    ~serverOutbox() override;

    // Under the application's data location, in the folder "outbox".
    static QString fileNameFor(const QString &url);
    const QString &fileName() const;

    // Milliseconds; before start().
    void setRetryInterval(int milliseconds);
    void setPollInterval(int milliseconds);
    void setPullInterval(int milliseconds);
    void start();

public slots:
    // Something was written: sent at once, not at the next look.
    void sendNow();
    void pullNow();

signals:
    // false: the server could not be reached; true: it is reached again and
    // what waited is sent.
    void reachabilityChanged(bool reached);
    void synced();
    // The outbox's patients changed (brought in, renamed, deleted elsewhere).
    void patientsChanged();
    // What the server refused, said once.
    void problem(const QString &message);

private:
    QString m_fileName;
    QThread thread;
    outboxWorker *worker;
};

#endif // SERVEROUTBOX_H
