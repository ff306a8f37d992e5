#include "records/serveroutbox.h"

#include "records/outboxworker.h"

#include <QCryptographicHash>
#include <QStandardPaths>
#include <QUrl>

QString serverOutbox::unreachableLine()
{
    return tr("Praxisserver nicht erreichbar – die Antworten werden auf diesem Computer gesichert");
}

serverOutbox::serverOutbox(const QString &url, const QString &password, const QString &fileName, QObject *parent)
    : QObject(parent)
    , m_fileName(fileName.isEmpty() ? fileNameFor(url) : fileName)
    , worker(new outboxWorker(url, password, m_fileName))
{
    thread.setObjectName(QStringLiteral("outbox"));
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &outboxWorker::reachabilityChanged, this, &serverOutbox::reachabilityChanged);
    connect(worker, &outboxWorker::synced, this, &serverOutbox::synced);
    connect(worker, &outboxWorker::patientsChanged, this, &serverOutbox::patientsChanged);
    connect(worker, &outboxWorker::problem, this, &serverOutbox::problem);
}

serverOutbox::~serverOutbox()
{
    thread.requestInterruption();
    if (thread.isRunning())
        QMetaObject::invokeMethod(worker, &outboxWorker::stop, Qt::BlockingQueuedConnection);
    else
        delete worker;
    thread.quit();
    thread.wait();
}

QString serverOutbox::fileNameFor(const QString &url)
{
    // One file per role and server: another therapist's login on this
    // computer never sees this one's outbox. The readable part is for the
    // practice's IT, the hash keeps any two addresses apart.
    const QUrl u(url);
    QString name = QStringLiteral("%1@%2-%3-%4").arg(u.userName(), u.host(), QString::number(u.port(5432)),
                                                     u.path().mid(1));
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('@') && c != QLatin1Char('-') && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    const QByteArray hash = QCryptographicHash::hash(u.adjusted(QUrl::RemovePassword | QUrl::RemoveQuery).toString().toUtf8(),
                                                     QCryptographicHash::Sha256).toHex().left(8);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/outbox/")
        + name + QLatin1Char('-') + QString::fromLatin1(hash) + QStringLiteral(".sqlite");
}

const QString &serverOutbox::fileName() const
{
    return m_fileName;
}

void serverOutbox::setRetryInterval(int milliseconds)
{
    worker->retryInterval = milliseconds;
}

void serverOutbox::setPollInterval(int milliseconds)
{
    worker->pollInterval = milliseconds;
}

void serverOutbox::setPullInterval(int milliseconds)
{
    worker->pullInterval = milliseconds;
}

void serverOutbox::start()
{
    if (thread.isRunning())
        return;
    thread.start();
    QMetaObject::invokeMethod(worker, &outboxWorker::start, Qt::QueuedConnection);
}

void serverOutbox::sendNow()
{
    QMetaObject::invokeMethod(worker, &outboxWorker::sendNow, Qt::QueuedConnection);
}

void serverOutbox::pullNow()
{
    QMetaObject::invokeMethod(worker, &outboxWorker::pullNow, Qt::QueuedConnection);
}
