#ifndef RECORDSHA_H
#define RECORDSHA_H

#include <QByteArray>

/// SHA-256 of `size` bytes at `data` (32 bytes). The archive hashes every
/// record it imports and every record it shows, so the processor's own
/// SHA instructions are used where it has them.
QByteArray Sha256(const char *data, int size);

#endif // RECORDSHA_H
