#include "settings/basepreferences.h"
#include "words/qtcompat.h"

#include <QFile>
#include <QSettings>

#include <limits>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const int defaultFontSize = 14;

// Strict UTF-8 (RFC 3629) of characters up to U+FFFF: no overlong forms, no
// surrogates, no sequence cut off at the end. Four-byte sequences are refused
// although they are UTF-8: Qt 5 reads them but drops them when it writes the
// file; Qt 6 would keep them, but a file should fare the same under both.
// Written out rather than asked of a Qt codec, because the codec classes
// differ between Qt 5 and Qt 6, and so does their verdict on a sequence cut
// off at the end.
bool survivesRewrite(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *const end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        int following;
        // The range of the first continuation byte shuts out the overlong
        // forms and the surrogates.
        unsigned char low = 0x80, high = 0xbf;
        if (lead >= 0xc2 && lead <= 0xdf) {
            following = 1;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            following = 2;
            if (lead == 0xe0)
                low = 0xa0;
            else if (lead == 0xed)
                high = 0x9f;
        } else {
            return false;
        }
        if (end - p < following || p[0] < low || p[0] > high)
            return false;
        for (int i = 1; i < following; ++i) {
            if (p[i] < 0x80 || p[i] > 0xbf)
                return false;
        }
        p += following;
    }
    return true;
}

// Bytes that are no UTF-8 would be read as replacement characters and so be
// replaced in the file by the next write. A file that cannot be opened has
// nothing to lose here.
bool fileSurvivesRewrite(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QFile::ReadOnly))
        return true;
    return survivesRewrite(file.readAll());
}

// Whether there are settings to read. On Windows QSettings creates its
// registry key when it first reads, so asking it would leave an empty key
// behind after a first start; elsewhere the file is only made by a write.
bool storeExists(const QString &organisation, const QString &application)
{
#ifdef Q_OS_WIN
    const QString key = QStringLiteral("Software\\%1\\%2").arg(organisation, application);
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t *>(key.utf16()), 0, KEY_READ, &handle)
        != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
#else
    Q_UNUSED(organisation)
    Q_UNUSED(application)
#endif
    return true;
}

} // namespace

basePreferences::basePreferences(QString organisation, QString application)
    : settings(nullptr), m_organisation(std::move(organisation)), m_application(std::move(application))
{
    m_readCompletely = true;
    if (storeExists(m_organisation, m_application))
        openStore();
    readFontSize();
}

basePreferences::basePreferences(QString organisation, QString application, const QVariantMap &forThisRun)
    : settings(nullptr), m_organisation(std::move(organisation)), m_application(std::move(application))
    , m_readCompletely(true), m_forThisRun(true), m_unstored(forThisRun)
{
    readFontSize();
}

void basePreferences::readFontSize()
{
    // Read wider than int: QVariant would cut 99999999999 down to a
    // positive int and report success.
    bool ok = false;
    const qlonglong size = value(QStringLiteral("fontSize"), defaultFontSize).toLongLong(&ok);
    m_fontSize = ok && size > 0 && size <= std::numeric_limits<int>::max() ? int(size) : defaultFontSize;
}

void basePreferences::openStore()
{
    settings = new QSettings(QSettings::NativeFormat, QSettings::UserScope, m_organisation, m_application);
    QtCompat::setUtf8(*settings);

    // QSettings parses the sections of a file lazily, and only the parse
    // reports a damaged line. Parsing everything now is the one chance to
    // learn that the file holds more than QSettings would write back.
    settings->allKeys();
    m_readCompletely = settings->status() == QSettings::NoError
        && fileSurvivesRewrite(settings->fileName());
}

basePreferences::~basePreferences()
{
    delete settings;
}

int basePreferences::fontSize()
{
    return m_fontSize;
}

void basePreferences::setFontSize(int size)
{
    m_fontSize = size;
    writeValue(QStringLiteral("fontSize"), size);
}

QVariant basePreferences::value(const QString &key, const QVariant &fallback) const
{
    if (m_unstored.contains(key))
        return m_unstored.value(key);
    return settings ? settings->value(key, fallback) : fallback;
}

void basePreferences::setValue(const QString &key, const QVariant &value)
{
    writeValue(key, value);
}

void basePreferences::writeValue(const QString &key, const QVariant &value)
{
    if (m_forThisRun)
        return void(m_unstored.insert(key, value));
    if (!settings)
        openStore();
    if (!m_readCompletely) {
        m_unstored.insert(key, value);
        // Not even setValue: QSettings would write it out at the latest on
        // destruction, over the file that is to be left alone.
        qWarning("Setting \"%s\" not stored: %s could not be read completely and is "
                 "left as it is; the new value holds for this run only",
                 qUtf8Printable(key), qUtf8Printable(settings->fileName()));
        emit notStored(tr("Die Einstellungsdatei „%1“ ist nicht vollständig lesbar und bleibt unverändert. "
                          "Änderungen gelten nur, bis Skarvel beendet wird.")
                           .arg(settings->fileName()));
        return;
    }

    settings->setValue(key, value);
    settings->sync();
    // QSettings keeps the first error it met for the rest of its life, so
    // after one failed write every later change is reported as well.
    m_unstored.remove(key);
    if (settings->status() != QSettings::NoError) {
        qWarning("Setting \"%s\" not stored: %s cannot be written; the new value "
                 "holds for this run only",
                 qUtf8Printable(key), qUtf8Printable(settings->fileName()));
        emit notStored(tr("Die Einstellungen können nicht in „%1“ gespeichert werden. "
                          "Änderungen gelten nur, bis Skarvel beendet wird.")
                           .arg(settings->fileName()));
    }
}
