#ifndef PRIVATEPOSTGRES_H
#define PRIVATEPOSTGRES_H

#include <QtCore>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

// A PostgreSQL 15 server of our own in a temporary directory: its socket
// there too, a free loopback port, trust for the superuser "admin" alone and
// passwords for every other role. PostgreSQL refuses to run as root, so under
// root the directory is given to "nobody" and the server programs run as
// that user through runuser; the tests themselves stay root.
struct PrivatePostgres
{
    static QString bin(const QString &program) { return "/usr/lib/postgresql/15/bin/" + program; }
    static bool installed() { return QFileInfo::exists(bin("initdb")) && QFileInfo::exists(bin("pg_ctl")); }

    QTemporaryDir dir;
    int port = 0;
    QString failure; // what went wrong starting it

    PrivatePostgres()
    {
        port = freePort();
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(QFile::encodeName(dir.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
            {
                failure = "cannot give the directory to nobody";
                return;
            }
        }
        if (!run(bin("initdb"), {"-D", data(), "-U", "admin", "-E", "UTF8", "--locale=C", "--no-sync",
                                 "--auth=trust"}))
            return;
        QFile hba(data() + "/pg_hba.conf");
        hba.open(QFile::WriteOnly | QFile::Truncate);
        hba.write("local all admin trust\nhost all admin 127.0.0.1/32 trust\n"
                  "local all all scram-sha-256\nhost all all 127.0.0.1/32 scram-sha-256\n");
        hba.close();
        start();
    }
    ~PrivatePostgres()
    {
        if (QFileInfo::exists(data() + "/postmaster.pid"))
            run(bin("pg_ctl"), {"-D", data(), "-m", "immediate", "-w", "stop"});
    }

    QString data() const { return dir.filePath("data"); }
    QString url(const QString &role, const QString &database) const
    {
        return QString("postgresql://%1@127.0.0.1:%2/%3").arg(role, QString::number(port), database);
    }

    bool start()
    {
        // fsync off: a killed server loses nothing the system had been
        // given, and only a power cut would need the syncs.
        const QString options =
            QString("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(port).arg(dir.path());
        return run(bin("pg_ctl"), {"-D", data(), "-l", dir.filePath("log"), "-o", options, "-w", "-t", "60", "start"});
    }

    // As a power cut would leave it, only without losing what the system had
    // written: the postmaster and every server process at once.
    bool kill()
    {
        QFile pidFile(data() + "/postmaster.pid");
        const qint64 postmaster = pidFile.open(QFile::ReadOnly) ? pidFile.readLine().trimmed().toLongLong() : 0;
        if (postmaster <= 0)
            return false;
        QList<qint64> pids{postmaster};
        for (const QString &entry : QDir("/proc").entryList(QDir::Dirs)) {
            QFile stat("/proc/" + entry + "/stat");
            // pid (comm) state ppid …; comm may hold spaces, so after the last ")".
            const QByteArray line = stat.open(QFile::ReadOnly) ? stat.readAll() : QByteArray();
            const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 1 && fields.at(1).toLongLong() == postmaster)
                pids.append(entry.toLongLong());
        }
        for (qint64 pid : pids)
            ::kill(pid_t(pid), SIGKILL);
        QDeadlineTimer deadline(30000);
        while (std::any_of(pids.begin(), pids.end(), [](qint64 pid) { return ::kill(pid_t(pid), 0) == 0; })
               && !deadline.hasExpired())
            QThread::msleep(20);
        return deadline.remainingTime() > 0;
    }

    // psql as this role: the rows, fields joined by "|"; the error on stderr
    // goes to *error.
    QStringList psql(const QString &role, const QString &password, const QString &database, const QString &sql,
                     QString *error = nullptr) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", password);
        process.setProcessEnvironment(env);
        process.start(bin("psql"), {"-X", "-q", "-A", "-t", "-F", "|", "-v", "ON_ERROR_STOP=1", "-h", dir.path(),
                                    "-p", QString::number(port), "-U", role, "-d", database, "-c", sql});
        process.waitForFinished(60000);
        if (error)
            *error = QString::fromUtf8(process.readAllStandardError()).trimmed();
        const QString out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        return out.isEmpty() ? QStringList() : out.split('\n');
    }
    // The superuser's psql; fails the test when the statement does.
    QStringList admin(const QString &sql, const QString &database = "postgres") const
    {
        QString error;
        const QStringList rows = psql("admin", QString(), database, sql, &error);
        if (!error.isEmpty())
            qWarning("psql: %s", qPrintable(error));
        return rows;
    }

private:
    // The kernel's choice of a free loopback port; free again once closed.
    static int freePort()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        ::bind(probe, reinterpret_cast<sockaddr *>(&address), size);
        ::getsockname(probe, reinterpret_cast<sockaddr *>(&address), &size);
        ::close(probe);
        return ntohs(address.sin_port);
    }
    bool run(const QString &program, QStringList arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(dir.path());
        if (::geteuid() == 0) {
            arguments.prepend(program);
            arguments = QStringList{"-u", "nobody", "--"} + arguments;
            process.start("runuser", arguments);
        } else {
            process.start(program, arguments);
        }
        // pg_ctl's server keeps no pipe of ours: its output goes to the log.
        const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
        if (!ok)
            failure = QFileInfo(program).fileName() + ": " + QString::fromLocal8Bit(process.readAll()).trimmed();
        return ok;
    }
};

#endif // PRIVATEPOSTGRES_H
