// A measurement list whose time and result values are read by SQLite for
// the rows a view shows. Strftime with 'localtime' is most of what a whole
// list costs, and a user looks at a screenful of it.
//
// The values stay SQLite's: the rows are read with the same expressions a
// whole-list statement uses, a block at a time by rowid. What must be known
// of every row is only what sizing a column needs: which text shapes the
// column has. That is worked out in SQL from the stored values, in classes
// whose members all read alike, without making the texts themselves.

#include "database/pomiarymodel.h"

#include "database/rowid.h"
#include "database/tdatabase.h"

#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVariant>

#include <algorithm>
#include <cstring>

// A time the list shows as one: a whole number of seconds from 1970 to the
// end of the year 9999.
#define ZYM_CZAS_KNOWN                                                                                          \
    "typeof(pomiar.pomiar_czas) IN ('integer', 'real') "                                                      \
    "AND pomiar.pomiar_czas = CAST(pomiar.pomiar_czas AS INTEGER) "                                          \
    "AND pomiar.pomiar_czas BETWEEN 0 AND 253402300799"

const char TPomiaryModel::kDataExpression[] =
    "CASE WHEN " ZYM_CZAS_KNOWN " THEN strftime('%Y-%m-%d %H:%M:%S', "
    "datetime(datetime(pomiar.pomiar_czas, 'unixepoch')),'localtime') END";

const char TPomiaryModel::kWynikExpression[] =
    "CASE WHEN pomiar.pomiar_status = -1 THEN 'Poza zakresem' "
    "WHEN typeof(pomiar.pomiar_rezystancja) NOT IN ('integer', 'real') THEN NULL "
    "WHEN pomiar.pomiar_rezystancja >= 1000 THEN '\xE2\x88\x9E' "
    "WHEN pomiar.pomiar_rezystancja >= 100 THEN round(pomiar.pomiar_rezystancja,0) "
    "WHEN pomiar.pomiar_rezystancja >= 10 THEN round(pomiar.pomiar_rezystancja,1) "
    "WHEN pomiar.pomiar_rezystancja >= 1 THEN round(pomiar.pomiar_rezystancja,2) "
    "ELSE pomiar.pomiar_rezystancja END";

namespace {

// Columns of the row statement past the four shown.
enum { ColumnRowid = 4, ColumnDataShape = 5, ColumnWynikShape = 6, ColumnWynik = 7 };

// Rows read together when a view asks for one: about two screenfuls.
constexpr int kBlock = 64;

// The time's shape class: NULL for no time (one text for all), -1 for a
// time at least two days inside the range, whose local time always has a
// four-digit year and so the one shape "0000-00-00 00:00:00"; the seconds
// themselves near the ends of the range, where the local time could leave
// it.
const char kDataShape[] =
    "CASE WHEN " ZYM_CZAS_KNOWN " THEN CASE WHEN pomiar.pomiar_czas BETWEEN 172800 AND 253402127999 THEN -1 "
    "ELSE CAST(pomiar.pomiar_czas AS INTEGER) END END";

#undef ZYM_CZAS_KNOWN

/// The result's shape class, from the WYNIK value `w`:
/// - a rounded value of 1 and more: 10 x its whole digits + its decimals,
///   which together are its text's shape;
/// - a value between -1 and 1 other than 0: 100 (1000 when negative) less
///   its decimal exponent. Such a value reads in engineering units with
///   four significant digits, whose shape depends on the decimal exponent
///   after rounding; within one exponent that takes at most two values,
///   the smaller at the smallest magnitude and the larger at the largest,
///   so those two rows carry every shape of the class;
/// - NULL for every other value (a text, NULL, an integer, a real of -1 and
///   less, 0): the value itself is its class.
QString WynikShape()
{
    return QStringLiteral("CASE WHEN typeof(w) <> 'real' THEN NULL "
                          "WHEN w >= 1 THEN 10 * (CASE WHEN w < 10 THEN 1 WHEN w < 100 THEN 2 WHEN w < 1000 THEN 3 "
                          "ELSE 4 END) + (CASE WHEN w = round(w, 0) THEN 0 WHEN w = round(w, 1) THEN 1 ELSE 2 END) "
                          "WHEN w > 0 AND w < 1 THEN 100 - CAST(substr(printf('%.15e', w), 19) AS INTEGER) "
                          "WHEN w < 0 AND w > -1 THEN 1000 - CAST(substr(printf('%.15e', -w), 19) AS INTEGER) END");
}

/// A key that tells values apart exactly as SQLite stores them: type and
/// value (a real by its bits, so 1.0000000000000002 is not 1).
QString ValueKey(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("N");
    switch (value.userType()) {
    case QMetaType::LongLong:
        return QStringLiteral("I") + QString::number(value.toLongLong());
    case QMetaType::Double: {
        const double d = value.toDouble();
        quint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return QStringLiteral("D") + QString::number(bits, 16);
    }
    default:
        return QStringLiteral("S") + value.toString();
    }
}

} // namespace

TPomiaryModel *TPomiaryModel::Read(const QSqlDatabase &db, qint64 objectId, const QVector<qint64> &rowids)
{
    // The rows as the whole-list statement selects and orders them; the
    // shown values come later.
    const QString statement =
        QStringLiteral("SELECT ID, DATA, WYNIK, KOMENTARZ, rid, ds, ") + WynikShape()
        + QStringLiteral(", w FROM (SELECT pomiar.pomiar_id AS ID, NULL AS DATA, NULL AS WYNIK, "
                         "pomiar.pomiar_komentarz AS KOMENTARZ, pomiar._rowid_ AS rid, ")
        + QLatin1String(kDataShape) + QStringLiteral(" AS ds, ") + QString::fromUtf8(kWynikExpression)
        + QStringLiteral(" AS w FROM pomiar WHERE pomiar.pomiar_obiekt_id =") + QString::number(objectId)
        + QStringLiteral(" AND pomiar._rowid_ IN (") + RowidList(rowids) + QStringLiteral(")) ORDER BY rid");
    QSqlQuery query(db);
    if (!query.prepare(statement))
        return nullptr;
    TPomiaryModel *model = new TPomiaryModel;
    if (!query.exec()) {
        // Locked by another program: an empty list that says so, as the
        // whole-list statement would give after waiting as long again.
        if (TDataBase::IsBusyError(query.lastError())) {
            model->setQuery(query);
            return model;
        }
        delete model;
        return nullptr;
    }
    model->setQuery(query);
    // Read to the end, so that no statement keeps the file locked.
    while (model->canFetchMore())
        model->fetchMore();
    model->pDriver = db.driver();
    if (model->lastError().isValid() || !model->Classify()) {
        delete model;
        return nullptr;
    }
    return model;
}

bool TPomiaryModel::Classify()
{
    const int rows = rowCount();
    rowid.resize(rows);
    fetched.fill(false, rows);
    dataValue.fill(QVariant(QVariant::String), rows);
    wynikValue.fill(QVariant(QVariant::String), rows);

    QHash<qint64, int> dataShapes;   // class (NULL as -2) -> a row of it
    QHash<int, int> wynikClasses;    // class below 100 -> a row of it
    QHash<QString, int> wynikValues; // value -> a row of it
    struct TRange
    {
        double least, most;
        int leastRow, mostRow;
    };
    QHash<int, TRange> exponents; // class of 100 and more -> rows of its smallest and largest magnitude
    for (int r = 0; r < rows; ++r) {
        const QVariant id = QSqlQueryModel::data(createIndex(r, ColumnRowid));
        // A column of its own called "_rowid_" hides the real rowid: such
        // ids need not tell rows apart.
        if (id.userType() != QMetaType::LongLong || (r > 0 && id.toLongLong() <= rowid.at(r - 1)))
            return false;
        rowid[r] = id.toLongLong();

        const QVariant ds = QSqlQueryModel::data(createIndex(r, ColumnDataShape));
        const qint64 dataKey = ds.isNull() ? -2 : ds.toLongLong();
        if (!dataShapes.contains(dataKey))
            dataShapes.insert(dataKey, r);

        const QVariant ws = QSqlQueryModel::data(createIndex(r, ColumnWynikShape));
        if (ws.isNull()) {
            const QString key = ValueKey(QSqlQueryModel::data(createIndex(r, ColumnWynik)));
            if (!wynikValues.contains(key))
                wynikValues.insert(key, r);
            continue;
        }
        const int shape = ws.toInt();
        if (shape < 100) {
            if (!wynikClasses.contains(shape))
                wynikClasses.insert(shape, r);
            continue;
        }
        const double magnitude = qAbs(QSqlQueryModel::data(createIndex(r, ColumnWynik)).toDouble());
        auto range = exponents.find(shape);
        if (range == exponents.end()) {
            exponents.insert(shape, TRange{magnitude, magnitude, r, r});
            continue;
        }
        if (magnitude < range->least) {
            range->least = magnitude;
            range->leastRow = r;
        }
        if (magnitude > range->most) {
            range->most = magnitude;
            range->mostRow = r;
        }
    }

    dataShapeRows = dataShapes.values().toVector();
    wynikShapeRows = wynikClasses.values().toVector() + wynikValues.values().toVector();
    for (const TRange &range : qAsConst(exponents)) {
        wynikShapeRows << range.leastRow;
        if (range.mostRow != range.leastRow)
            wynikShapeRows << range.mostRow;
    }
    std::sort(dataShapeRows.begin(), dataShapeRows.end());
    std::sort(wynikShapeRows.begin(), wynikShapeRows.end());
    return true;
}

int TPomiaryModel::columnCount(const QModelIndex &parent) const
{
    return qMin(int(ColumnRowid), QSqlQueryModel::columnCount(parent));
}

QVariant TPomiaryModel::data(const QModelIndex &item, int role) const
{
    const int c = item.column();
    if (!item.isValid() || item.model() != this || (c != 1 && c != 2)
        || (role != Qt::DisplayRole && role != Qt::EditRole) || item.row() >= fetched.size())
        return QSqlQueryModel::data(item, role);
    if (!fetched.at(item.row()))
        FetchAround(item.row());
    return c == 1 ? dataValue.at(item.row()) : wynikValue.at(item.row());
}

bool TPomiaryModel::ShapeRows(int column, QVector<int> *rows) const
{
    if (column != 1 && column != 2)
        return false;
    *rows = column == 1 ? dataShapeRows : wynikShapeRows;
    // One statement for all of them, not one block each.
    Fetch(*rows);
    return true;
}

void TPomiaryModel::FetchAround(int row) const
{
    QVector<int> rows;
    const int first = row - row % kBlock;
    for (int r = first; r < qMin(first + kBlock, fetched.size()); ++r) {
        if (!fetched.at(r))
            rows << r;
    }
    Fetch(rows);
}

void TPomiaryModel::Fetch(const QVector<int> &rows) const
{
    QVector<qint64> ids;
    QHash<qint64, int> rowOf;
    for (int r : rows) {
        if (!fetched.at(r)) {
            ids << rowid.at(r);
            rowOf.insert(rowid.at(r), r);
        }
    }
    // A database closed or replaced since the list was read has nothing
    // more to give; the rows not read yet show no time and no value.
    if (ids.isEmpty() || !pDriver || !pDriver->isOpen())
        return;
    QSqlQuery query(pDriver->createResult());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT pomiar._rowid_, ") + QString::fromUtf8(kDataExpression)
                    + QStringLiteral(", ") + QString::fromUtf8(kWynikExpression)
                    + QStringLiteral(" FROM pomiar WHERE pomiar._rowid_ IN (") + RowidList(ids)
                    + QStringLiteral(")")))
        return; // tried again when next asked (the meter may have held the file for a moment)
    while (query.next()) {
        const int r = rowOf.value(query.value(0).toLongLong(), -1);
        if (r < 0)
            continue;
        dataValue[r] = query.value(1);
        wynikValue[r] = query.value(2);
    }
    // A row deleted since the list was read is not found: it stays without
    // a time and a value.
    for (int r : rows)
        fetched[r] = true;
}
