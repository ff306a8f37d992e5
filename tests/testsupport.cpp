#include "testsupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

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
    // QSettings hands a file's parsed contents, and its changes that could
    // not be written, on to the next QSettings of the same file within the
    // process. Written out now, a test's failed writes cannot leak into the
    // next test; the file goes in a moment anyway.
    QSettings(settingsFile(), QSettings::NativeFormat).sync();

    // The whole organisation directory goes, so that a first run also finds
    // no directory; tests may have left a plain file in its place.
    const QString organisationDir = QFileInfo(settingsFile()).path();
    if (QFileInfo(organisationDir).isDir())
        QDir(organisationDir).removeRecursively();
    else
        QFile::remove(organisationDir);
}

bool TemporaryConfig::writeSettingsFile(const QByteArray &contents) const
{
    if (!QDir().mkpath(QFileInfo(settingsFile()).path()))
        return false;
    QFile file(settingsFile());
    if (!file.open(QFile::WriteOnly | QFile::Truncate) || file.write(contents) != contents.size()
        || !file.flush())
        return false;
    // QSettings keeps parsed files cached per process and trusts size and
    // modification time (milliseconds) to tell whether a file changed. Two
    // contents of equal size written within one millisecond would be served
    // stale, so every file written here gets a modification time of its own,
    // far from any time QSettings itself could write.
    static qint64 sequence = 0;
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1000000000 + ++sequence, Qt::UTC);
    return file.setFileTime(stamp, QFileDevice::FileModificationTime);
}

QByteArray TemporaryConfig::settingsFileContents() const
{
    QFile file(settingsFile());
    if (!file.open(QFile::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString TemporaryConfig::storedValue(const QString &key) const
{
    const int slash = key.indexOf(QLatin1Char('/'));
    const QByteArray section = slash < 0 ? QByteArrayLiteral("General") : key.left(slash).toUtf8();
    const QByteArray name = key.mid(slash + 1).toUtf8();

    // Lines before the first section header belong to [General] as well.
    QByteArray current = QByteArrayLiteral("General");
    const QList<QByteArray> lines = settingsFileContents().split('\n');
    for (const QByteArray &rawLine : lines) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        const int equals = line.indexOf('=');
        if (current == section && equals >= 0 && line.left(equals).trimmed() == name)
            return QString::fromUtf8(line.mid(equals + 1).trimmed());
    }
    return QString();
}

namespace {

WarningCollector *activeCollector = nullptr;

} // namespace

WarningCollector::WarningCollector()
    : m_previous(qInstallMessageHandler(&WarningCollector::handler))
{
    activeCollector = this;
}

WarningCollector::~WarningCollector()
{
    activeCollector = nullptr;
    qInstallMessageHandler(m_previous);
}

QStringList WarningCollector::warnings() const
{
    return m_warnings;
}

void WarningCollector::handler(QtMsgType type, const QMessageLogContext &context,
                               const QString &text)
{
    if (activeCollector && type == QtWarningMsg)
        activeCollector->m_warnings.append(text);
    else if (activeCollector && activeCollector->m_previous)
        activeCollector->m_previous(type, context, text);
}

bool runsAsRoot()
{
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

ReadOnlyFile::ReadOnlyFile(const QString &path)
    : m_path(path)
{
    if (!runsAsRoot()) {
        m_oldPermissions = int(QFile::permissions(path));
        const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser
            | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        m_permissionsChanged = QFile::setPermissions(path, readOnly);
        return;
    }
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags |= FS_IMMUTABLE_FL;
        m_immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
#endif
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_permissionsChanged)
        QFile::setPermissions(m_path, QFileDevice::Permissions(m_oldPermissions));
#ifdef Q_OS_LINUX
    if (m_immutable) {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
#endif
}

bool ReadOnlyFile::isReadOnly() const
{
    if (!m_immutable && !m_permissionsChanged)
        return false;
    QFile file(m_path);
    return !file.open(QFile::ReadWrite);
}

int execAndThen(QDialog &dialog, const std::function<void(QWidget *)> &act)
{
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != &dialog) {
            dialog.done(-1);
            return;
        }
        act(modal);
    });
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-2); });
    return dialog.exec();
}

void chooseFromPopup(QComboBox *combo, int index)
{
    QVERIFY(combo && index >= 0 && index < combo->count());
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex modelIndex = view->model()->index(index, 0);
    view->scrollTo(modelIndex);
    const QRect rect = view->visualRect(modelIndex);
    QVERIFY(rect.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTRY_VERIFY(!view->isVisible());
    QCOMPARE(combo->currentIndex(), index);
}
