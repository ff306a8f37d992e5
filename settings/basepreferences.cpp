#include "settings/basepreferences.h"

#include <QFile>
#include <QSettings>
#include <QTextCodec>

#include <limits>

namespace {

const int defaultFontSize = 14;

// Bytes that are no UTF-8 would be read as replacement characters and so be
// replaced in the file by the next write. A file that cannot be opened has
// nothing to lose here.
bool isValidUtf8(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QFile::ReadOnly))
        return true;
    const QByteArray bytes = file.readAll();
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0;
}

} // namespace

basePreferences::basePreferences(QString organisation, QString application)
    : settings(new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                             organisation, application))
{
    // Sections are parsed only when first used, so the codec still applies.
    // Without it Qt 5 takes a hand-typed "ö" for two Latin-1 characters and
    // writes them back escaped, changing a value nobody touched.
    settings->setIniCodec("UTF-8");

    // QSettings parses the sections of a file lazily, and only the parse
    // reports a damaged line. Parsing everything now is the one chance to
    // learn that the file holds more than QSettings would write back.
    settings->allKeys();
    m_readCompletely = settings->status() == QSettings::NoError && isValidUtf8(settings->fileName());

    // Read wider than int: QVariant would cut 99999999999 down to a
    // positive int and report success.
    bool ok = false;
    const qlonglong size = settings->value(QStringLiteral("fontSize"), defaultFontSize).toLongLong(&ok);
    m_fontSize = ok && size > 0 && size <= std::numeric_limits<int>::max() ? int(size) : defaultFontSize;
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

void basePreferences::writeValue(const QString &key, int value)
{
    if (!m_readCompletely) {
        // Not even setValue: QSettings would write it out at the latest on
        // destruction, over the file that is to be left alone.
        qWarning("Setting \"%s\" not stored: %s could not be read completely and is "
                 "left as it is; the new value holds for this run only",
                 qUtf8Printable(key), qUtf8Printable(settings->fileName()));
        return;
    }

    settings->setValue(key, value);
    settings->sync();
    // QSettings keeps the first error it met for the rest of its life, so
    // after one failed write every later change is reported as well.
    if (settings->status() != QSettings::NoError)
        qWarning("Setting \"%s\" not stored: %s cannot be written; the new value "
                 "holds for this run only",
                 qUtf8Printable(key), qUtf8Printable(settings->fileName()));
}
