#include "records/recordsbackup.h"

#include "records/recordstore.h"
#include "words/userfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

const int recordsBackup::kept = 7;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("recordsBackup", text);
}

// The dates in the names sort as the days do.
QStringList copies(const QDir &folder)
{
    return folder.entryList({QStringLiteral("skarvel-\?\?\?\?-\?\?-\?\?.sqlite")}, QDir::Files, QDir::Name);
}

} // namespace

QString recordsBackup::folder(const QString &recordsFile)
{
    return QFileInfo(recordsFile).absolutePath() + QStringLiteral("/Sicherungen");
}

QString recordsBackup::make(recordStore &store, const QDate &today)
{
    const QDir dir(folder(store.fileName()));
    const QString name = dir.filePath(QStringLiteral("skarvel-%1.sqlite").arg(today.toString(Qt::ISODate)));
    if (!store.isOpen() || QFileInfo::exists(name))
        return QString();
    if (!userFile::makePrivateFolder(dir.path()))
        return tr("Der Ordner „%1“ für die Sicherungen kann nicht angelegt werden.").arg(QDir::toNativeSeparators(dir.path()));
    // Under its own name until complete: a copy cut off by a crash is
    // never taken for one.
    const QString part = name + QStringLiteral(".part");
    if (!store.copyTo(part))
        return store.takeNotice();
    if (!QFile::rename(part, name)) {
        QFile::remove(part);
        return tr("Die Sicherung „%1“ kann nicht angelegt werden.").arg(QDir::toNativeSeparators(name));
    }
    for (const QString &left : dir.entryList({QStringLiteral("*.part")}, QDir::Files))
        QFile::remove(dir.filePath(left));
    QStringList all = copies(dir);
    while (all.size() > kept)
        QFile::remove(dir.filePath(all.takeFirst()));
    return QString();
}

void recordsBackup::forget(const QString &recordsFile, const QString &patientUid)
{
    const QDir dir(folder(recordsFile));
    const QString connection = QStringLiteral("records-backup-%1").arg(quintptr(&dir));
    for (const QString &name : copies(dir)) {
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(dir.filePath(name));
            QSqlQuery query(db);
            // The trainings, answers and homework follow the patient.
            ok = db.open() && query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
                && query.prepare(QStringLiteral("DELETE FROM patients WHERE uid = ?"));
            query.addBindValue(patientUid);
            ok = ok && query.exec() && query.exec(QStringLiteral("VACUUM"));
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        if (!ok)
            QFile::remove(dir.filePath(name));
    }
}
