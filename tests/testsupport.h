#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <functional>

class QDialog;
class QWidget;

// A private per-user config directory for one test executable, so that no
// test ever reads or writes the developer's own settings. Create it before
// the first QSettings is made (initTestCase); it is removed with the object.
class TemporaryConfig
{
public:
    TemporaryConfig();

    bool isValid() const;
    QString path() const;
    // The file that basePreferences("Pondrel", "Skarvel") reads and writes.
    QString settingsFile() const;
    // Removes the settings file with its directory (and anything else put
    // there, even a plain file in the directory's place), so the next store
    // starts as on a first run.
    void reset();

    // Replaces the settings file with exactly these bytes, creating the
    // organisation directory as needed.
    bool writeSettingsFile(const QByteArray &contents) const;
    // The bytes of the settings file as they are on disk; empty if absent.
    QByteArray settingsFileContents() const;
    // A value as the file text holds it, read without QSettings (which
    // shares parsed files within a process and would show changes not yet
    // written); "Section/key" for a key under [Section], a plain key for the
    // top level. A null string when the key is not in the file. Escapes are
    // not resolved: meant for the plain keys and values of our own files.
    QString storedValue(const QString &key) const;

private:
    QTemporaryDir m_dir;
};

// Collects the warnings issued while it lives instead of printing them, so a
// test can count them exactly. QTest::ignoreMessage does not see messages
// caught here.
class WarningCollector
{
public:
    WarningCollector();
    ~WarningCollector();
    WarningCollector(const WarningCollector &) = delete;
    WarningCollector &operator=(const WarningCollector &) = delete;

    QStringList warnings() const;

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler m_previous;
    QStringList m_warnings;
};

// Root ignores permission bits, so unreadable or unwritable files have to be
// simulated differently for root.
bool runsAsRoot();

// Makes a file impossible to open for writing while it lives, also for root,
// who ignores permission bits: as root the file gets the immutable attribute
// (Linux, where the file system supports it), otherwise its write bits go.
// isReadOnly() says whether it worked; the file is restored on destruction.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isReadOnly() const;

private:
    QString m_path;
    bool m_immutable = false;
    bool m_permissionsChanged = false;
    int m_oldPermissions = 0;
};

// Runs the dialog's exec() and, as soon as that has made it the active modal
// widget, `act` on it from a single-shot timer. Returns exec()'s result: -1
// when the dialog never became modal and -2 when `act` did not end it, so a
// broken close fails the test instead of hanging it.
int execAndThen(QDialog &dialog, const std::function<void(QWidget *)> &act);

class QComboBox;

// Chooses entry `index` of a combo box as the user does: opens the popup and
// clicks the entry, which emits activated even for the current entry. Fails
// the running test when the popup does not behave.
void chooseFromPopup(QComboBox *combo, int index);

#endif // TESTSUPPORT_H
