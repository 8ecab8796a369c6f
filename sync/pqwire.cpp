// COPY in binary format and binary answers through libpq, on the connection
// Qt's PostgreSQL driver holds.

#include "sync/pqwire.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QtEndian>

#include <cstring>
#include <memory>
#include <vector>

#ifdef ZYM_HAVE_LIBPQ
#include <libpq-fe.h>
#endif

namespace {

// pg_type numbers of the element types and of their arrays.
constexpr quint32 kElementType[] = {20, 23, 701, 25, 17};
constexpr quint32 kArrayType[] = {1016, 1007, 1022, 1009, 1001};

void PutBig32(QByteArray *to, quint32 v)
{
    char be[4];
    qToBigEndian<quint32>(v, be);
    to->append(be, 4);
}

void PutBig64(QByteArray *to, quint64 v)
{
    char be[8];
    qToBigEndian<quint64>(v, be);
    to->append(be, 8);
}

} // namespace

TPqArray::TPqArray(TType type) : eType(type) {}

void TPqArray::Add(const QVariant &v)
{
    ++iSize;
    if (v.isNull()) {
        bNulls = true;
        PutBig32(&elements, 0xffffffffu);
        return;
    }
    bool ok = true;
    switch (eType) {
    case Int8:
        PutBig32(&elements, 8);
        PutBig64(&elements, quint64(v.toLongLong(&ok)));
        break;
    case Int4:
        PutBig32(&elements, 4);
        PutBig32(&elements, quint32(v.toInt(&ok)));
        break;
    case Float8: {
        const double d = v.toDouble(&ok);
        quint64 bits;
        std::memcpy(&bits, &d, 8);
        PutBig32(&elements, 8);
        PutBig64(&elements, bits);
        break;
    }
    case Text: {
        const QByteArray utf8 = v.toString().toUtf8();
        PutBig32(&elements, quint32(utf8.size()));
        elements.append(utf8);
        break;
    }
    case Bytea: {
        const QByteArray bytes = v.toByteArray();
        PutBig32(&elements, quint32(bytes.size()));
        elements.append(bytes);
        break;
    }
    }
    bFits = bFits && ok;
}

QByteArray TPqArray::Encoded() const
{
    // One dimension, whether it holds NULLs, the element type, its length
    // and lower bound, then each element as its length and bytes.
    QByteArray out;
    out.reserve(20 + elements.size());
    PutBig32(&out, 1);
    PutBig32(&out, bNulls ? 1 : 0);
    PutBig32(&out, kElementType[eType]);
    PutBig32(&out, quint32(iSize));
    PutBig32(&out, 1);
    return out + elements;
}

#ifdef ZYM_HAVE_LIBPQ

namespace {

PGconn *ConnOf(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// A failed step as Qt's driver tells one: the server's text, its SQLSTATE
// as the native code; no code when the connection itself is gone.
QSqlError ErrorOf(PGconn *conn, const PGresult *result, const QString &what)
{
    QString text = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(conn)).trimmed();
    if (text.isEmpty())
        text = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    QString code = state ? QString::fromLatin1(state) : QString();
    if (PQstatus(conn) == CONNECTION_BAD)
        code.clear();
    return QSqlError(what, text, QSqlError::StatementError, code);
}

struct TResultFree
{
    void operator()(PGresult *r) const { PQclear(r); }
};
using TResult = std::unique_ptr<PGresult, TResultFree>;

// What a statement's values may take to go with it in one message: about
// what one network packet carries.
constexpr qint64 kOneTripBytes = 1200;

// Type numbers of the built-in types read here (pg_type.oid).
enum : Oid {
    kBool = 16, kBytea = 17, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26, kJson = 114,
    kFloat4 = 700, kFloat8 = 701, kUnknown = 705, kBpchar = 1042, kVarchar = 1043,
};

bool KnownType(Oid type)
{
    switch (type) {
    case kBool: case kBytea: case kName: case kInt8: case kInt2: case kInt4: case kText: case kOid: case kJson:
    case kFloat4: case kFloat8: case kUnknown: case kBpchar: case kVarchar:
        return true;
    default:
        return false;
    }
}

QVariant::Type QtType(Oid type)
{
    switch (type) {
    case kBool: return QVariant::Bool;
    case kBytea: return QVariant::ByteArray;
    case kInt8: return QVariant::LongLong;
    case kInt2: case kInt4: return QVariant::Int;
    case kOid: return QVariant::UInt;
    case kFloat4: case kFloat8: return QVariant::Double;
    default: return QVariant::String;
    }
}

QVariant Decode(Oid type, const char *p, int size)
{
    switch (type) {
    case kBool: return size == 1 ? QVariant(*p != 0) : QVariant();
    case kBytea: return QByteArray(p, size);
    case kInt8: return size == 8 ? QVariant(qlonglong(qFromBigEndian<qint64>(p))) : QVariant();
    case kInt4: return size == 4 ? QVariant(int(qFromBigEndian<qint32>(p))) : QVariant();
    case kInt2: return size == 2 ? QVariant(int(qFromBigEndian<qint16>(p))) : QVariant();
    case kOid: return size == 4 ? QVariant(uint(qFromBigEndian<quint32>(p))) : QVariant();
    case kFloat4: {
        if (size != 4)
            return QVariant();
        const quint32 bits = qFromBigEndian<quint32>(p);
        float f;
        std::memcpy(&f, &bits, 4);
        return double(f);
    }
    case kFloat8: {
        if (size != 8)
            return QVariant();
        const quint64 bits = qFromBigEndian<quint64>(p);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    default: return QString::fromUtf8(p, size);
    }
}

// Qt's "?" placeholders as PostgreSQL's $n, outside quoted texts and names.
QByteArray Numbered(const QString &sql, int *count)
{
    QString out;
    out.reserve(sql.size() + 8);
    QChar quote;
    *count = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++*count);
            continue;
        }
        out += c;
    }
    return out.toUtf8();
}

} // namespace

bool PqWire::Usable(const QSqlDatabase &db)
{
    PGconn *conn = ConnOf(db);
    return conn && PQstatus(conn) == CONNECTION_OK && PQtransactionStatus(conn) != PQTRANS_ACTIVE
        && PQtransactionStatus(conn) != PQTRANS_UNKNOWN;
}

struct TPqQuery::TPrivate
{
    PGconn *conn = nullptr;
    std::unique_ptr<QSqlQuery> qt; // where libpq is not the road
    QByteArray sql;
    int iParams = 0;
    // Bound values as they go: numbers and texts as text (the server types
    // them by their place), bytes and arrays binary.
    struct TParam
    {
        QByteArray data;
        bool bNull = false;
        int iFormat = 0;
        Oid type = 0;
    };
    QVector<TParam> binds;
    TResult result;
    int iRow = -1;
    QVector<Oid> types;
    QSqlError error;

    void Bind(const QVariant &v)
    {
        TParam p;
        p.bNull = v.isNull();
        switch (v.userType()) {
        case QMetaType::QByteArray:
            p.data = v.toByteArray();
            p.iFormat = 1;
            p.type = kBytea;
            break;
        case QMetaType::Double:
            p.data = QByteArray::number(v.toDouble(), 'g', 17);
            break;
        case QMetaType::Bool:
            p.data = v.toBool() ? "true" : "false";
            break;
        default:
            p.data = v.toString().toUtf8();
        }
        binds.append(p);
    }
    void Bind(const TPqArray &array)
    {
        TParam p;
        p.data = array.Encoded();
        p.iFormat = 1;
        p.type = kArrayType[array.Type()];
        binds.append(p);
    }

    bool Run(const QByteArray &text, int params)
    {
        result.reset();
        iRow = -1;
        types.clear();
        error = QSqlError();
        if (binds.size() != params) {
            error = QSqlError(QStringLiteral("exec"),
                              QStringLiteral("%1 values bound for %2 places").arg(binds.size()).arg(params),
                              QSqlError::StatementError, QStringLiteral("07001"));
            binds.clear();
            return false;
        }
        std::vector<const char *> pointers(params, nullptr);
        std::vector<int> lengths(params, 0), formats(params, 0);
        std::vector<Oid> paramTypes(params, 0);
        for (int i = 0; i < params; ++i) {
            const TParam &p = binds.at(i);
            pointers[i] = p.bNull ? nullptr : p.data.constData();
            lengths[i] = p.data.size();
            formats[i] = p.iFormat;
            paramTypes[i] = p.type;
        }
        // A batch's statement is parsed in a step of its own: its values
        // then come in the server's next message, which it reads under the
        // idle time-out, so that a writer gone silent while sending them
        // loses the writers' turn as it would between statements. A small
        // one goes in one round trip.
        qint64 bytes = 0;
        for (const TParam &p : qAsConst(binds))
            bytes += p.data.size();
        if (bytes > kOneTripBytes) {
            result.reset(PQprepare(conn, "", text.constData(), params, paramTypes.data()));
            if (result && PQresultStatus(result.get()) == PGRES_COMMAND_OK)
                result.reset(PQexecPrepared(conn, "", params, pointers.data(), lengths.data(), formats.data(), 1));
        } else {
            result.reset(PQexecParams(conn, text.constData(), params, paramTypes.data(), pointers.data(), lengths.data(),
                                      formats.data(), 1));
        }
        binds.clear();
        const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            error = ErrorOf(conn, result.get(), QStringLiteral("Unable to execute statement"));
            result.reset();
            return false;
        }
        for (int c = 0; c < PQnfields(result.get()); ++c) {
            types.append(PQftype(result.get(), c));
            if (!KnownType(types.last())) {
                error = QSqlError(QStringLiteral("exec"),
                                  QStringLiteral("column %1 has a type not read in binary (%2)").arg(c).arg(types.last()),
                                  QSqlError::StatementError, QStringLiteral("0A000"));
                result.reset();
                return false;
            }
        }
        return true;
    }

    void Attach(const QSqlDatabase &db) { conn = ConnOf(db); }
    bool Prepare(const QString &text)
    {
        sql = Numbered(text, &iParams);
        binds.clear();
        return true;
    }
    bool Exec() { return Run(sql, iParams); }
    bool Exec(const QString &text)
    {
        binds.clear();
        return Run(text.toUtf8(), 0);
    }
    bool Next()
    {
        if (!result || iRow + 1 >= PQntuples(result.get()))
            return false;
        ++iRow;
        return true;
    }
    QVariant Value(int column) const
    {
        if (!result || iRow < 0 || column < 0 || column >= types.size())
            return QVariant();
        const Oid type = types.at(column);
        if (PQgetisnull(result.get(), iRow, column))
            return QVariant(QtType(type));
        return Decode(type, PQgetvalue(result.get(), iRow, column), PQgetlength(result.get(), iRow, column));
    }
    void Finish()
    {
        result.reset();
        iRow = -1;
    }
    QSqlError Error() const { return error; }
};

#else // no libpq: Qt's statements only

bool PqWire::Usable(const QSqlDatabase &)
{
    return false;
}

struct TPqQuery::TPrivate
{
    std::unique_ptr<QSqlQuery> qt;
    void Attach(const QSqlDatabase &) {}
    bool Prepare(const QString &) { return false; }
    void Bind(const QVariant &) {}
    void Bind(const TPqArray &) {}
    bool Exec() { return false; }
    bool Exec(const QString &) { return false; }
    bool Next() { return false; }
    QVariant Value(int) const { return QVariant(); }
    void Finish() {}
    QSqlError Error() const { return QSqlError(); }
};

#endif

TPqQuery::TPqQuery(const QSqlDatabase &db) : d(new TPrivate)
{
    if (PqWire::Usable(db))
        d->Attach(db);
    else
        d->qt.reset(new QSqlQuery(db));
}

TPqQuery::~TPqQuery()
{
    delete d;
}

void TPqQuery::setForwardOnly(bool forward)
{
    if (d->qt)
        d->qt->setForwardOnly(forward);
}

bool TPqQuery::prepare(const QString &sql)
{
    return d->qt ? d->qt->prepare(sql) : d->Prepare(sql);
}

void TPqQuery::addBindValue(const QVariant &v)
{
    if (d->qt)
        d->qt->addBindValue(v);
    else
        d->Bind(v);
}

void TPqQuery::addBindValue(const TPqArray &array)
{
    if (!d->qt)
        d->Bind(array);
}

bool TPqQuery::exec()
{
    return d->qt ? d->qt->exec() : d->Exec();
}

bool TPqQuery::exec(const QString &sql)
{
    return d->qt ? d->qt->exec(sql) : d->Exec(sql);
}

bool TPqQuery::next()
{
    return d->qt ? d->qt->next() : d->Next();
}

QVariant TPqQuery::value(int column) const
{
    return d->qt ? d->qt->value(column) : d->Value(column);
}

void TPqQuery::finish()
{
    if (d->qt)
        d->qt->finish();
    else
        d->Finish();
}

QSqlError TPqQuery::lastError() const
{
    return d->qt ? d->qt->lastError() : d->Error();
}
