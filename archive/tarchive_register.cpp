// Reading the whole archive at once for registers above the objects (the
// asset register's due and watch lists): compact rows and aggregates, so
// that ten thousand objects cost a few statements instead of one per object.

#include "archive/tarchive.h"
#include "archive/tarchive_p.h"

#include <QSqlError>
#include <QVariant>

namespace {

// What a measurement needs to count as a test: in range, a resistance below
// the open circuit and above the denormals of a damaged row, a known time.
// (Times are whole 32-bit seconds in the archive: every row has one.)
const char kValidWhere[] = "p.status <> -1 AND p.rezystancja > 1e-12 AND p.rezystancja < 1000";

} // namespace

bool TArchive::ReadPomiarySkrot(QVector<TArchivePomiarSkrot> *rows, QStringList *meters, QString *errorText)
{
    rows->clear();
    meters->clear();
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return false;
    }
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    bool ok = query.exec(QStringLiteral("SELECT miernik_id, serial FROM miernik ORDER BY miernik_id"));
    QHash<qint64, int> meterIndex;
    while (ok && query.next()) {
        meterIndex.insert(query.value(0).toLongLong(), meters->size());
        meters->append(query.value(1).toString());
    }
    ok = ok && !query.lastError().isValid();
    // Room for every row at once; counting them would walk a whole index.
    if (ok && query.exec(QStringLiteral("SELECT max(pomiar_id) - min(pomiar_id) + 1 FROM pomiar")) && query.next())
        rows->reserve(int(qBound<qint64>(0, query.value(0).toLongLong(), 1 << 26)));
    if (ok) {
        query.setForwardOnly(true);
        // In the table's own order: walking the object index would look
        // every row up on its own page.
        ok = query.exec(QStringLiteral("SELECT p.pomiar_id, p.obiekt_id, p.miernik_id, p.czas, p.rezystancja FROM pomiar p "
                                       "WHERE %1")
                            .arg(QLatin1String(kValidWhere)));
    }
    while (ok && query.next()) {
        TArchivePomiarSkrot row;
        row.id = query.value(0).toLongLong();
        row.iObiektId = query.value(1).toLongLong();
        row.iMiernik = meterIndex.value(query.value(2).toLongLong(), -1);
        row.czas = query.value(3).toLongLong();
        row.R = query.value(4).toDouble();
        rows->append(row);
    }
    if (!ok || query.lastError().isValid()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        rows->clear();
        meters->clear();
        return false;
    }
    return true;
}

bool TArchive::ReadOstatnieTesty(QVector<TArchiveOstatniTest> *tests, bool perMeter, QString *errorText)
{
    tests->clear();
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return false;
    }
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    // Per object: one step back along its time index from the newest row
    // (rarely more, past rows without a value), instead of a pass over every
    // measurement. Per meter: one pass, grouped.
    const QString sql = perMeter
        ? QStringLiteral("SELECT p.obiekt_id, m.serial, p.czas FROM "
                         "(SELECT p.obiekt_id, p.miernik_id, MAX(p.czas) AS czas FROM pomiar p WHERE %1 "
                         "GROUP BY p.obiekt_id, p.miernik_id) p "
                         "JOIN miernik m ON m.miernik_id = p.miernik_id")
        : QStringLiteral("SELECT o.obiekt_id, m.serial, p.czas FROM obiekt o "
                         "JOIN pomiar p ON p.pomiar_id = (SELECT p.pomiar_id FROM pomiar p WHERE p.obiekt_id = o.obiekt_id "
                         "AND %1 ORDER BY p.czas DESC LIMIT 1) "
                         "JOIN miernik m ON m.miernik_id = p.miernik_id");
    bool ok = query.exec(sql.arg(QLatin1String(kValidWhere)));
    while (ok && query.next()) {
        TArchiveOstatniTest test;
        test.iObiektId = query.value(0).toLongLong();
        test.qsSerial = query.value(1).toString();
        test.czas = query.value(2).toLongLong();
        tests->append(test);
    }
    if (!ok || query.lastError().isValid()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        tests->clear();
        return false;
    }
    return true;
}

QHash<qint64, QString> TArchive::LatestPomiarValues(const QString &rodzaj)
{
    QHash<qint64, QString> values;
    if (!IsOpen())
        return values;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    // Oldest first, so that the newest version of each is the one left.
    query.prepare(QStringLiteral("SELECT p.pomiar_id, w.wartosc FROM wpis w "
                                 "JOIN pomiar p ON p.klucz = substr(w.przedmiot, 3) "
                                 "WHERE w.rodzaj = ? AND w.przedmiot LIKE 'p:%' ORDER BY w.czas, w.wpis_uuid"));
    query.addBindValue(rodzaj);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return values;
    }
    while (query.next())
        values.insert(query.value(0).toLongLong(), query.value(1).toString());
    return values;
}

bool TArchive::ReadLatestValues(const QString &rodzaj, QVector<TArchiveLatest> *values, QString *errorText)
{
    values->clear();
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return false;
    }
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    // Along the subject index, each subject's versions oldest first: the
    // last of each run is the newest, without a hash of every version.
    // The value as its bytes: no round trip through UTF-16 on its way to a parser.
    query.prepare(QStringLiteral("SELECT przedmiot, CAST(wartosc AS BLOB), czas FROM wpis WHERE rodzaj = ? "
                                 "ORDER BY przedmiot, czas, wpis_uuid"));
    query.addBindValue(rodzaj);
    bool ok = query.exec();
    while (ok && query.next()) {
        const QString przedmiot = query.value(0).toString();
        if (values->isEmpty() || values->last().qsPrzedmiot != przedmiot)
            values->append({przedmiot, QByteArray(), 0});
        TArchiveLatest &latest = values->last();
        latest.wartosc = query.value(1).toByteArray();
        latest.iCzasMs = query.value(2).toLongLong();
    }
    if (!ok || query.lastError().isValid()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        values->clear();
        return false;
    }
    return true;
}
