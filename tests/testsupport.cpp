#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>

TemporaryConfig::TemporaryConfig()
{
    if (!m_dir.isValid())
        return;
    // QSettings takes the user scope path from XDG_CONFIG_HOME only the first
    // time it needs it; setPath overrides it for this process in any case.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

bool TemporaryConfig::isValid() const
{
    return m_dir.isValid();
}

QString TemporaryConfig::path() const
{
    return m_dir.path();
}

QString TemporaryConfig::settingsFile() const
{
    return m_dir.filePath(QStringLiteral("Pondrel/Skarvel.conf"));
}

void TemporaryConfig::reset()
{
    QFile::remove(settingsFile());
    QFile::remove(settingsFile() + QStringLiteral(".lock"));
}
