#include "archive/recordsha.h"

#include <QCryptographicHash>

QByteArray Sha256(const char *data, int size)
{
    return QCryptographicHash::hash(QByteArray::fromRawData(data, size), QCryptographicHash::Sha256);
}
