#ifndef PRIVATEPOSTGRES_H
#define PRIVATEPOSTGRES_H

#include "testsupport.h"

#include <QTcpServer>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

// A PostgreSQL 15 server of our own in a temporary directory: its socket
// there too, a free loopback port, trust for the superuser "admin" alone and
// passwords for every other role. PostgreSQL refuses to run as root, so under
// root the directory is given to "nobody" and the server runs as that user
// through runuser; the tests themselves stay root.
struct PrivatePostgres
{
    static QString bin(const QString &program) { return "/usr/lib/postgresql/15/bin/" + program; }
    static bool installed() { return QFileInfo::exists(bin("initdb")); }

    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    int port = 0;
    QString failure; // what went wrong starting it

    PrivatePostgres()
    {
        QTcpServer probe; // the system's choice of a free port
        port = probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
        probe.close();
        const passwd *nobody = ::getpwnam("nobody");
        if (::geteuid() == 0 && (!nobody || ::chown(qPrintable(dir.path()), nobody->pw_uid, nobody->pw_gid) != 0))
            failure = "cannot give the directory to nobody";
        else if (run("initdb", {"-D", data, "-U", "admin", "-E", "UTF8", "--locale=C", "--no-sync", "--auth=trust"})) {
            writeFile(data + "/pg_hba.conf", "local all admin trust\nhost all admin 127.0.0.1/32 trust\n"
                                             "local all all scram-sha-256\nhost all all 127.0.0.1/32 scram-sha-256\n");
            start();
        }
    }
    ~PrivatePostgres() { run("pg_ctl", {"-D", data, "-m", "immediate", "-w", "stop"}); }

    QString url(const QString &role, const QString &database) const
    {
        return QString("postgresql://%1@127.0.0.1:%2/%3").arg(role, QString::number(port), database);
    }
    // fsync off: a killed server loses nothing the system had been given;
    // only a power cut would need the syncs.
    bool start()
    {
        const QString options = QString("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(port).arg(dir.path());
        return run("pg_ctl", {"-D", data, "-l", dir.filePath("log"), "-o", options, "-w", "-t", "60", "start"});
    }
    // The postmaster and every server process at once: pg_ctl makes the
    // postmaster the leader of their process group.
    bool kill()
    {
        QFile pidFile(data + "/postmaster.pid");
        const pid_t group = pidFile.open(QFile::ReadOnly) ? pid_t(pidFile.readLine().trimmed().toInt()) : 0;
        QDeadlineTimer deadline(30000);
        for (::kill(-group, SIGKILL); group > 0 && ::kill(-group, 0) == 0 && !deadline.hasExpired();)
            QThread::msleep(20);
        return group > 0 && !deadline.hasExpired();
    }
    // psql as this role: the rows, fields joined by "|".
    QStringList psql(const QString &role, const QString &password, const QString &database, const QString &sql) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", password);
        process.setProcessEnvironment(env);
        process.start(bin("psql"), {"-X", "-q", "-A", "-t", "-F", "|", "-v", "ON_ERROR_STOP=1", "-h", dir.path(),
                                    "-p", QString::number(port), "-U", role, "-d", database, "-c", sql});
        process.waitForFinished(60000);
        const QString out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        return out.isEmpty() ? QStringList() : out.split('\n');
    }
    QStringList admin(const QString &sql, const QString &database = "postgres") const
    {
        return psql("admin", QString(), database, sql);
    }

private:
    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(dir.path());
        if (::geteuid() == 0)
            process.start("runuser", QStringList{"-u", "nobody", "--", bin(program)} + arguments);
        else
            process.start(bin(program), arguments);
        const bool ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
        if (!ok)
            failure = program + ": " + QString::fromLocal8Bit(process.readAll()).trimmed();
        return ok;
    }
};

#endif // PRIVATEPOSTGRES_H
