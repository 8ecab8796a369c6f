#ifndef KEYSTORE_H
#define KEYSTORE_H

#include <QString>

struct TServerSettings;

// The team server's password in the system's key store (the Secret Service
// on Linux, the Credential Manager on Windows) through QtKeychain, so that
// ZYMReader.ini holds none and a copied settings file lets nobody in. Each
// call waits for the store (it may ask the user to unlock it).
namespace keystore {

/// The entry's name: user@host:port/database.
QString Key(const TServerSettings &server);
/// The stored password: true with it (empty when none is stored), false
/// with the reason when the store cannot be used.
bool Read(const QString &key, QString *password, QString *error);
bool Write(const QString &key, const QString &password, QString *error);
bool Remove(const QString &key, QString *error);

} // namespace keystore

#endif // KEYSTORE_H
