#include "settings/recordslocation.h"

#include "settings/basepreferences.h"
#include "words/serveraddress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString storeKey = QStringLiteral("records/store");
const QString hostKey = QStringLiteral("records/host");
const QString portKey = QStringLiteral("records/port");
const QString databaseKey = QStringLiteral("records/database");
const QString userKey = QStringLiteral("records/user");
const QString caFileKey = QStringLiteral("records/caFile");

QString tr(const char *text)
{
    return QCoreApplication::translate("recordsLocation", text);
}

// The characters that would end the part of the address they stand in.
bool breaksAddress(const QString &text, const QString &characters)
{
    for (QChar c : text) {
        if (characters.contains(c) || c.isSpace() || c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

recordsLocation::problem missing(recordsLocation::Field field, const char *text)
{
    return {field, tr(text)};
}

} // namespace

recordsLocation::recordsLocation(basePreferences &prefs)
    : m_prefs(prefs)
{
}

bool recordsLocation::onServer() const
{
    return m_prefs.value(storeKey).toString() == QLatin1String("server");
}

recordsLocation::server recordsLocation::stored() const
{
    server fields;
    fields.host = m_prefs.value(hostKey).toString();
    fields.port = m_prefs.value(portKey, fields.port).toString();
    fields.database = m_prefs.value(databaseKey).toString();
    fields.user = m_prefs.value(userKey).toString();
    fields.caFile = m_prefs.value(caFileKey).toString();
    return fields;
}

QString recordsLocation::url() const
{
    return onServer() ? url(stored()) : QString();
}

recordsLocation::problem recordsLocation::check(const server &fields)
{
    if (fields.host.trimmed().isEmpty())
        return missing(Host, "Bitte den Rechner des Praxisservers angeben.");
    QUrl host;
    host.setHost(fields.host.trimmed(), QUrl::StrictMode);
    if (breaksAddress(fields.host.trimmed(), QStringLiteral("@/?#")) || host.host().isEmpty())
        return {Host, tr("„%1“ ist kein Rechnername und keine IP-Adresse.").arg(fields.host)};
    bool isNumber = false;
    const int port = fields.port.trimmed().toInt(&isNumber);
    if (!isNumber || port < 1 || port > 65535)
        return {Port, tr("Der Port „%1“ ist keine Zahl von 1 bis 65535; üblich ist 5432.").arg(fields.port)};
    if (fields.database.trimmed().isEmpty())
        return missing(Database, "Bitte die Datenbank angeben.");
    if (breaksAddress(fields.database.trimmed(), QStringLiteral("/?#")))
        return {Database, tr("Der Name der Datenbank „%1“ darf weder Leerzeichen noch eines der Zeichen / ? # "
                             "enthalten.").arg(fields.database)};
    if (fields.user.trimmed().isEmpty())
        return missing(User, "Bitte den Benutzer angeben.");
    if (breaksAddress(fields.user.trimmed(), QStringLiteral("@/:?#")))
        return {User, tr("Der Benutzer „%1“ darf weder Leerzeichen noch eines der Zeichen @ / : ? # enthalten.")
                          .arg(fields.user)};
    const QFileInfo caFile(fields.caFile);
    if (!fields.caFile.isEmpty() && (!caFile.isFile() || !caFile.isReadable()))
        return {CaFile, tr("Die CA-Datei „%1“ gibt es nicht, oder sie ist nicht lesbar.").arg(fields.caFile)};
    const QString address = serverAddress::build(fields.user.trimmed(), fields.host.trimmed(), port,
                                                 fields.database.trimmed(), fields.caFile);
    const QString wrong = serverAddress::check(address);
    // Built from checked parts, the address with a CA file can fail only
    // where this build cannot encrypt: the CA file is the field to change.
    if (!wrong.isEmpty())
        return {fields.caFile.isEmpty() ? Host : CaFile, wrong + QLatin1Char('.')};
    return {};
}

QString recordsLocation::url(const server &fields)
{
    if (check(fields).field != None)
        return QString();
    return serverAddress::build(fields.user.trimmed(), fields.host.trimmed(), fields.port.trimmed().toInt(),
                                fields.database.trimmed(), fields.caFile);
}

QString recordsLocation::passwordKey(const server &fields)
{
    // The port as the address has it: "05432" is the same server.
    return QStringLiteral("%1@%2:%3/%4")
        .arg(fields.user.trimmed(), fields.host.trimmed(), QString::number(fields.port.trimmed().toInt()),
             fields.database.trimmed());
}

bool recordsLocation::store(bool onServer, const server &fields, problem *why)
{
    *why = onServer ? check(fields) : problem();
    if (why->field != None)
        return false;
    const auto write = [this](const QString &key, const QVariant &value, const QVariant &fallback) {
        // As text: Qt 6 no longer finds the stored "5432" equal to the number.
        if (m_prefs.value(key, fallback).toString() != value.toString())
            m_prefs.setValue(key, value);
    };
    if (onServer) {
        write(hostKey, fields.host.trimmed(), QString());
        write(portKey, fields.port.trimmed().toInt(), 5432);
        write(databaseKey, fields.database.trimmed(), QString());
        write(userKey, fields.user.trimmed(), QString());
        write(caFileKey, fields.caFile, QString());
    }
    write(storeKey, onServer ? QStringLiteral("server") : QStringLiteral("file"), QStringLiteral("file"));
    return true;
}
