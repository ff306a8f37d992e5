#ifndef USERFILE_H
#define USERFILE_H

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Every file of the user's that Skarvel writes (own word lists, the exports
// of the Verlauf) is written here: whole or not at all. The file that was
// there stays as it was until the new one is complete on disk; a full disk,
// a read-only folder or anything else that fails leaves it untouched and
// gives a message naming the file.
//
// Private files hold patients' data: readable by their user alone, whatever
// the umask. The file modes are the one part that differs between systems.
class userFile
{
public:
    enum Access { Shared, Private };

    // Empty when written, else why not (German, naming the file).
    static QString write(const QString &path, const QByteArray &bytes, Access access = Shared);
    // fill writes the contents and returns false when a write of its own
    // failed; one it cannot see (a writer that ignores errors) is caught too.
    static QString write(const QString &path, const std::function<bool(QIODevice &)> &fill,
                         Access access = Shared);

    // A file or folder that exists, readable (and, for a folder, enterable)
    // by its user alone; false where that cannot be done.
    static bool makePrivate(const QString &path);
    // An empty file for the user alone where there is none: a database
    // SQLite then makes in it, and its journals, take that mode, which
    // SQLite itself would take from the umask.
    static bool createPrivate(const QString &path);
    // Makes the folder and any missing above it, and makes them private as
    // far as they are the user's; false when the folder is not there.
    static bool makePrivateFolder(const QString &path);
};

#endif // USERFILE_H
