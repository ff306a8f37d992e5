#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QString>
#include <QTemporaryDir>

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
    // Removes the settings file (and its lock file), so the next store
    // starts as on a first run.
    void reset();

private:
    QTemporaryDir m_dir;
};

#endif // TESTSUPPORT_H
