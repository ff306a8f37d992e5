#include "words/serveraddress.h"

#include <QCoreApplication>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("serverAddress", text);
}

} // namespace

bool serverAddress::canEncrypt()
{
#ifdef SKARVEL_NO_SERVER_TLS
    return false;
#else
    return true;
#endif
}

QString serverAddress::check(const QString &url, bool encrypts)
{
    const QUrl u(url, QUrl::StrictMode);
    const QString path = u.path();
    const QUrlQuery query(u);
    if (!u.isValid() || (u.scheme() != QLatin1String("postgresql") && u.scheme() != QLatin1String("postgres")))
        return tr("„%1“ ist keine Adresse eines Praxisservers; sie lautet postgresql://BENUTZER@RECHNER:PORT/DATENBANK")
            .arg(url);
    if (u.host().isEmpty() || u.userName().isEmpty() || path.size() < 2 || path.indexOf(QLatin1Char('/'), 1) > 0)
        return tr("In „%1“ fehlt der Rechner, der Benutzer oder die Datenbank; die Adresse lautet "
                  "postgresql://BENUTZER@RECHNER:PORT/DATENBANK").arg(url);
    for (const auto &item : query.queryItems()) {
        if (item.first != QLatin1String("sslmode") && item.first != QLatin1String("sslrootcert"))
            return tr("„%1“ in „%2“ ist unbekannt; möglich sind sslmode und sslrootcert").arg(item.first, url);
    }
    const QStringList modes = {QStringLiteral("disable"), QStringLiteral("allow"), QStringLiteral("prefer"),
                               QStringLiteral("require"), QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    if (query.hasQueryItem(QStringLiteral("sslmode")) && !modes.contains(query.queryItemValue(QStringLiteral("sslmode"))))
        return tr("sslmode=%1 in „%2“ gibt es nicht; möglich sind %3")
            .arg(query.queryItemValue(QStringLiteral("sslmode")), url, modes.join(QStringLiteral(", ")));
    // A server that is to be proven or encrypted is refused by a build that
    // cannot encrypt, never reached in the clear.
    const QString mode = query.hasQueryItem(QStringLiteral("sslrootcert"))
        ? QStringLiteral("verify-full") : query.queryItemValue(QStringLiteral("sslmode"));
    if (!encrypts && (mode == QLatin1String("require") || mode == QLatin1String("verify-ca")
                      || mode == QLatin1String("verify-full")))
        return tr("„%1“ verlangt eine verschlüsselte Verbindung (sslmode=%2), doch diese Ausgabe von Skarvel kann "
                  "nicht verschlüsseln: ihre PostgreSQL-Bibliothek (libpq) ist ohne OpenSSL gebaut; unverschlüsselt "
                  "verbindet sie sich nur ohne CA-Datei und ohne sslmode=%2").arg(url, mode);
    return QString();
}

QString serverAddress::build(const QString &user, const QString &host, int port, const QString &database,
                             const QString &caFile)
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    if (!caFile.isEmpty()) {
        QUrlQuery query;
        // Encoded here, so that a file name with "&", "=" or "#" in it stays one value.
        query.addQueryItem(QStringLiteral("sslmode"), QStringLiteral("verify-full"));
        query.addQueryItem(QStringLiteral("sslrootcert"), QString::fromLatin1(QUrl::toPercentEncoding(caFile, "/")));
        url.setQuery(query);
    }
    return url.toString(QUrl::FullyEncoded);
}
