#include "words/userfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <unistd.h>
#endif

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("userFile", text);
}

// Only where the system has file modes. On Windows a user's profile is the
// user's alone already, and all Qt could set there is the read-only flag.
#ifdef Q_OS_WIN
const bool hasFileModes = false;
#else
const bool hasFileModes = true;
#endif

QFileDevice::Permissions privateMode(bool folder)
{
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | (folder ? QFileDevice::ExeOwner : QFileDevice::Permissions());
}

// QSaveFile syncs before it renames but does not look at the result, and a
// network or quota file system may refuse the data only then. Qt gives no
// descriptor on Windows; there its own flush before the rename has to do.
bool syncToDisk(QFileDevice &file)
{
#ifdef Q_OS_WIN
    Q_UNUSED(file)
    return true;
#else
    return ::fsync(file.handle()) == 0 || errno == EINVAL;
#endif
}

// Said after the fact, so the system's own words (English here) stay out.
QString writeFault(const QFileInfo &info)
{
    const QStorageInfo storage(info.absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < 64 * 1024)
        return tr("Auf dem Datenträger ist kein Platz mehr.");
    return tr("Beim Schreiben ist ein Fehler aufgetreten.");
}

QString openFault(const QFileInfo &info)
{
    const QFileInfo folder(info.absolutePath());
    const QString folderName = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (!folder.isDir())
        return tr("Den Ordner „%1“ gibt es nicht.").arg(folderName);
    if (info.isDir())
        return tr("Unter diesem Namen steht ein Ordner.");
    if (info.exists() && !info.isWritable())
        return tr("Die Datei ist schreibgeschützt.");
    if (!folder.isWritable())
        return tr("In den Ordner „%1“ darf nicht geschrieben werden.").arg(folderName);
    return writeFault(info);
}

} // namespace

QString userFile::write(const QString &path, const QByteArray &bytes, Access access)
{
    return write(path, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); }, access);
}

QString userFile::write(const QString &path, const std::function<bool(QIODevice &)> &fill, Access access)
{
    const QFileInfo info(path);
    const bool existed = info.isFile();
    QString fault;
    {
        // Left without commit(), the file removes its temporary copy and
        // the old file stays.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            fault = openFault(info);
        else if (access == Private && hasFileModes && !file.setPermissions(privateMode(false)))
            fault = tr("Die Datei lässt sich nicht für andere unlesbar machen.");
        // QSaveFile renames even when the last, buffered write failed in
        // commit(): the old file would be replaced by an empty one.
        else if (!fill(file) || !file.flush() || !syncToDisk(file) || !file.commit())
            fault = writeFault(info);
    }
    if (fault.isEmpty())
        return fault;
    return tr("„%1“ wurde nicht gespeichert. %2 %3")
        .arg(QDir::toNativeSeparators(info.absoluteFilePath()), fault,
             existed ? tr("Die Datei ist unverändert.") : tr("Es wurde keine Datei angelegt."));
}

bool userFile::makePrivate(const QString &path)
{
    const QFileInfo info(path);
    if (!hasFileModes)
        return info.exists();
    return QFile::setPermissions(path, privateMode(info.isDir()));
}

bool userFile::createPrivate(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFile(path).open(QIODevice::WriteOnly))
        return false;
    return makePrivate(path);
}

bool userFile::makePrivateFolder(const QString &path)
{
    QStringList missing;
    for (QString dir = QFileInfo(path).absoluteFilePath(); !QFileInfo::exists(dir); dir = QFileInfo(dir).path())
        missing.append(dir);
    if (!QDir().mkpath(path))
        return false;
    makePrivate(path);
    for (const QString &dir : qAsConst(missing))
        makePrivate(dir);
    return true;
}
