#ifndef PRIVATESPEECH_H
#define PRIVATESPEECH_H

#include "testsupport.h"

#include <csignal>

// A speech-dispatcher of our own: home, runtime and config directories in a
// temporary directory, the sound going to libao's null driver, so that
// nothing needs a sound card and nothing touches the user's own. The engine
// spawns the daemon on first use; it is ended with this object. The socket
// is named outright, as libspeechd takes the runtime directory from GLib,
// which reads it only once per process.
struct PrivateSpeech
{
    QTemporaryDir dir;

    explicit PrivateSpeech(const QByteArray &conf = "AudioOutputMethod \"libao\"\n")
    {
        QDir(dir.path()).mkpath("config/speech-dispatcher");
        QDir(dir.path()).mkpath("run/speech-dispatcher");
        QFile(dir.filePath("run")).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        writeFile(dir.filePath("config/speech-dispatcher/speechd.conf"), conf);
        writeFile(dir.filePath(".libao"), "default_driver=null\n");
        qputenv("HOME", QFile::encodeName(dir.path()));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.filePath("run")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + QFile::encodeName(dir.filePath("run/speech-dispatcher/speechd.sock")));
    }
    ~PrivateSpeech()
    {
        const QDir pids(dir.filePath("run/speech-dispatcher/pid"));
        for (const QString &name : pids.entryList(QDir::Files)) {
            QFile pidFile(pids.filePath(name));
            const int pid = pidFile.open(QFile::ReadOnly) ? pidFile.readAll().trimmed().toInt() : 0;
            if (pid > 0)
                ::kill(pid, SIGTERM);
        }
    }
    static bool installed() { return !QStandardPaths::findExecutable("speech-dispatcher").isEmpty(); }
};

#endif // PRIVATESPEECH_H
