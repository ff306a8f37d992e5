#ifndef RECORDSBACKUP_H
#define RECORDSBACKUP_H

#include <QDate>
#include <QString>

class recordStore;

// The daily copy of the records in the folder "Sicherungen" beside the
// file, skarvel-YYYY-MM-DD.sqlite, the newest seven kept, each for the user
// alone. SQLite's VACUUM INTO makes it: a consistent copy while this and any
// other Skarvel go on writing, and one without the free pages where deleted
// rows could still be read.
class recordsBackup
{
public:
    static const int kept;
    static QString folder(const QString &recordsFile);

    // Today's copy of the open records unless there is one, then the older
    // ones beyond the newest seven removed. Empty when done, else why not.
    static QString make(recordStore &store, const QDate &today);
    // A deleted patient is taken out of every copy too; a copy that cannot
    // be changed is removed rather than keep them.
    static void forget(const QString &recordsFile, const QString &patientUid);
};

#endif // RECORDSBACKUP_H
