#include "settings/passwordkeeper.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#ifdef SKARVEL_KEYCHAIN
#include <keychain.h>
#endif

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("passwordKeeper", text);
}

#ifdef SKARVEL_KEYCHAIN
// QtKeychain: the Secret Service (GNOME's keyring, KWallet) on Linux, the
// credential store on Windows. Its fallback to a plain-text file stays off:
// without a keychain the password is not kept at all.
class systemKeychain : public passwordKeeper::vault
{
public:
    void read(const QString &key, std::function<void(const QString &, const QString &)> done) override
    {
        auto *job = new QKeychain::ReadPasswordJob(QStringLiteral("Skarvel"));
        job->setInsecureFallback(false);
        job->setKey(key);
        QObject::connect(job, &QKeychain::Job::finished, job, [job, done](QKeychain::Job *) {
            if (job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound)
                done(job->error() == QKeychain::NoError ? job->textData() : QString(), QString());
            else
                done(QString(), tr("Der Schlüsselbund des Systems gibt das Passwort nicht heraus (%1)")
                                    .arg(job->errorString()));
        });
        job->start();
    }
    void write(const QString &key, const QString &password, std::function<void(const QString &)> done) override
    {
        auto *job = new QKeychain::WritePasswordJob(QStringLiteral("Skarvel"));
        job->setInsecureFallback(false);
        job->setKey(key);
        job->setTextData(password);
        QObject::connect(job, &QKeychain::Job::finished, job, [job, done](QKeychain::Job *) {
            done(job->error() == QKeychain::NoError
                     ? QString()
                     : tr("Der Schlüsselbund des Systems nimmt das Passwort nicht an (%1)").arg(job->errorString()));
        });
        job->start();
    }
};
#endif

std::unique_ptr<passwordKeeper::vault> systemVault()
{
#ifdef SKARVEL_KEYCHAIN
    return std::make_unique<systemKeychain>();
#else
    return nullptr;
#endif
}

} // namespace

passwordKeeper::vault::~vault() = default;

passwordKeeper::passwordKeeper(QObject *parent)
    : passwordKeeper(systemVault(), parent)
{
}

passwordKeeper::passwordKeeper(std::unique_ptr<vault> kept, QObject *parent)
    : QObject(parent), m_vault(std::move(kept))
{
}

passwordKeeper::~passwordKeeper() = default;

bool passwordKeeper::keepsAcrossRuns() const
{
    return m_vault != nullptr;
}

QString passwordKeeper::known(const QString &key) const
{
    return m_known.value(key);
}

void passwordKeeper::read(const QString &key)
{
    QPointer<passwordKeeper> self(this);
    if (m_known.contains(key) || !m_vault) {
        // Answered from the event loop, as the keychain would: a caller
        // connects after asking.
        const QString password = m_known.value(key);
        return void(QTimer::singleShot(0, this, [this, key, password] { emit passwordRead(key, password, QString()); }));
    }
    m_vault->read(key, [self, key](const QString &password, const QString &problem) {
        if (!self)
            return;
        if (problem.isEmpty() && !password.isEmpty())
            self->m_known.insert(key, password);
        emit self->passwordRead(key, password, problem);
    });
}

void passwordKeeper::write(const QString &key, const QString &password)
{
    m_known.insert(key, password);
    if (!m_vault) {
        const QString problem = tr("Das Passwort gilt nur, bis Skarvel beendet wird: in dieser Ausgabe gibt es keinen "
                                   "Schlüsselbund, in dem es bleiben könnte");
        return void(QTimer::singleShot(0, this, [this, key, problem] { emit passwordWritten(key, problem); }));
    }
    QPointer<passwordKeeper> self(this);
    m_vault->write(key, password, [self, key](const QString &problem) {
        if (self)
            emit self->passwordWritten(key, problem);
    });
}

void passwordKeeper::read(const QString &key, QObject *context,
                          std::function<void(const QString &password, const QString &problem)> done)
{
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(this, &passwordKeeper::passwordRead, context,
                    [key, once, done](const QString &read, const QString &password, const QString &problem) {
        if (read != key)
            return;
        QObject::disconnect(*once);
        done(password, problem);
    });
    read(key);
}

void passwordKeeper::write(const QString &key, const QString &password, QObject *context,
                           std::function<void(const QString &problem)> done)
{
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(this, &passwordKeeper::passwordWritten, context,
                    [key, once, done](const QString &written, const QString &problem) {
        if (written != key)
            return;
        QObject::disconnect(*once);
        done(problem);
    });
    write(key, password);
}
