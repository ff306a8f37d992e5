#ifndef SERVERADDRESS_H
#define SERVERADDRESS_H

#include <QString>

// The address of the practice's PostgreSQL server, as the command line
// takes it and the settings build it:
//   postgresql://USER@HOST:PORT/DATABASE[?sslmode=verify-full&sslrootcert=FILE]
// Kept here, below both, so that the settings can check what they build
// against the very rules the records' server connection opens it by.
namespace serverAddress {

// Whether this build's PostgreSQL client library can encrypt: the Windows
// build's libpq has no OpenSSL (SKARVEL_SERVER_TLS in CMakeLists.txt).
bool canEncrypt();

// What is wrong with the address, in German, naming it; empty when it is one
// the records can open. A build that cannot encrypt refuses an address that
// asks for encryption.
QString check(const QString &url, bool encrypts = canEncrypt());

// The address of these parts; a CA file given asks for the server's
// certificate and name to be proven (verify-full). Unchecked: see check().
QString build(const QString &user, const QString &host, int port, const QString &database,
              const QString &caFile = QString());

} // namespace serverAddress

#endif // SERVERADDRESS_H
