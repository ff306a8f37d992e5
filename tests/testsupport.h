#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include "words/clock.h"

#include <QtCore>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

// A file of these bytes; its path.
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QFile::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

// A clock the test moves by hand.
struct MovedClock : trainerClock
{
    qint64 ms = 0;
    qint64 elapsed() const override { return ms; }
    QDateTime now() const override { return QDateTime(QDate(2026, 3, 5), QTime(9, 41), Qt::UTC).addMSecs(ms); }
    void advance(qint64 by) { ms += by; }
};

// A private config and data directory, so that no test reads or writes the
// user's own settings or records. Create it before the first QSettings.
struct TemporaryConfig
{
    QTemporaryDir dir;

    TemporaryConfig()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    }
    QString file() const { return dir.filePath("Pondrel/Skarvel.conf"); }

    // The settings file of these bytes: none for a null array, and for
    // "blocked" a plain file where its directory belongs. Each file gets a
    // time of its own, since QSettings tells files apart by size and time.
    void write(const QByteArray &bytes) const
    {
        static qint64 stamp = 1000000000;
        QFile::remove(dir.filePath("Pondrel"));
        // Changes a blocked file could not take wait in QSettings' cache for
        // the next reader of the file: out with them first.
        QSettings(file(), QSettings::NativeFormat).sync();
        QDir(dir.filePath("Pondrel")).removeRecursively();
        if (bytes == "blocked")
            return void(QFile(dir.filePath("Pondrel")).open(QFile::WriteOnly));
        QDir(dir.path()).mkdir("Pondrel");
        QFile file(this->file());
        if (!bytes.isNull() && file.open(QFile::WriteOnly) && file.write(bytes) >= 0)
            file.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime);
    }
    QByteArray contents() const
    {
        QFile file(this->file());
        return file.open(QFile::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// A tiny tmpfs in a temporary folder. Mounting takes root (here and in CI).
struct FullDisk
{
    QTemporaryDir dir;
    const QByteArray where = QFile::encodeName(dir.path());
#ifdef Q_OS_LINUX
    const bool mounted = ::mount("tmpfs", where.constData(), "tmpfs", 0, "size=256k") == 0;
    ~FullDisk() { if (mounted) ::umount(where.constData()); }
#else
    const bool mounted = false;
#endif
    // The file of these bytes (none for a null array), then the disk full.
    QString fill(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name)), filler(dir.filePath("filler"));
        if (!bytes.isNull() && file.open(QFile::WriteOnly))
            file.write(bytes), file.close();
        for (filler.open(QFile::WriteOnly); filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush();) {
        }
        return file.fileName();
    }
};

#endif // TESTSUPPORT_H
