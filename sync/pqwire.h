// The team server's bulk road: libpq itself, on the connection Qt's PostgreSQL
// driver opened (so TLS, the password's source and the session's settings are
// the ones that connection has). Qt's driver sends every bound value as text
// (a bytea as hex) and takes every answer as text; here a batch goes as
// binary arrays in one statement and answers come back binary.
// Built only where libpq is found (ZYM_HAVE_LIBPQ); elsewhere Usable() is
// false and the callers keep to Qt's statements.

#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariant>
#include <QVector>

// One column of a batch, sent as a binary array parameter (unnest() turns
// the columns back into rows on the server). Values are taken as the type
// says; one that is not of it (a text where a number belongs) makes the
// array not Fit().
class TPqArray
{
public:
    enum TType { Int8, Int4, Float8, Text, Bytea };
    explicit TPqArray(TType type);
    void Add(const QVariant &v);
    bool Fits() const { return bFits; }
    int Size() const { return iSize; }
    TType Type() const { return eType; }
    // The array in PostgreSQL's binary format.
    QByteArray Encoded() const;

private:
    TType eType;
    QByteArray elements;
    int iSize = 0;
    bool bNulls = false;
    bool bFits = true;
};

// A query on the server whose rows come back in binary format, read as
// QSqlQuery reads them (the same QVariant types for int2/4/8, float4/8,
// bool, text and bytea), so that code written against QSqlQuery reads it
// unchanged. Where libpq cannot be used (not built in, another driver) it
// is a QSqlQuery.
class TPqQuery
{
public:
    explicit TPqQuery(const QSqlDatabase &db);
    ~TPqQuery();
    TPqQuery(const TPqQuery &) = delete;
    TPqQuery &operator=(const TPqQuery &) = delete;

    void setForwardOnly(bool forward);
    bool prepare(const QString &sql);
    void addBindValue(const QVariant &v);
    // Only on libpq's road (PqWire::Usable).
    void addBindValue(const TPqArray &array);
    bool exec();
    bool exec(const QString &sql);
    bool next();
    QVariant value(int column) const;
    void finish();
    QSqlError lastError() const;

private:
    struct TPrivate;
    TPrivate *d;
};

namespace PqWire {

// Whether `db` is a PostgreSQL connection this program can reach through
// libpq itself, idle (no answer of Qt's still being read).
bool Usable(const QSqlDatabase &db);

} // namespace PqWire
