#ifndef PASSWORDKEEPER_H
#define PASSWORDKEEPER_H

#include <QMap>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The practice server's password, never in the settings file: kept in the
// system's keychain (service "Skarvel", the key naming user@host:port/db) and,
// once known, in memory for the rest of the run. The keychain answers later,
// so reading and writing report by signal; the window never waits for it.
//
// Built without the keychain (SKARVEL_KEYCHAIN off, as a Windows build whose
// toolchain has no QtKeychain is) the password lives in memory only and is
// asked once per run.
class passwordKeeper : public QObject
{
    Q_OBJECT

public:
    // Where passwords are kept beyond the run; the system's keychain, or in
    // tests one without a desktop. Each call answers through done, once,
    // with an empty problem on success (a password not there reads empty).
    class vault
    {
    public:
        virtual ~vault();
        virtual void read(const QString &key, std::function<void(const QString &password, const QString &problem)> done) = 0;
        virtual void write(const QString &key, const QString &password, std::function<void(const QString &problem)> done) = 0;
    };

    explicit passwordKeeper(QObject *parent = nullptr); // the system's keychain, where built with it
    passwordKeeper(std::unique_ptr<vault> kept, QObject *parent = nullptr);
    ~passwordKeeper() override;

    // false: passwords hold for this run only.
    bool keepsAcrossRuns() const;
    // The password as far as this run knows it, without asking the keychain.
    QString known(const QString &key) const;

    void read(const QString &key);  // answers with passwordRead
    void write(const QString &key, const QString &password); // answers with passwordWritten
    // The same, answered once to done, and not at all once context is gone.
    void read(const QString &key, QObject *context,
              std::function<void(const QString &password, const QString &problem)> done);
    void write(const QString &key, const QString &password, QObject *context,
               std::function<void(const QString &problem)> done);

signals:
    // An empty password with an empty problem: none kept for this key.
    void passwordRead(const QString &key, const QString &password, const QString &problem);
    // The problem names what failed; the password then holds for this run.
    void passwordWritten(const QString &key, const QString &problem);

private:
    std::unique_ptr<vault> m_vault;
    QMap<QString, QString> m_known;
};

#endif // PASSWORDKEEPER_H
