// The meter's tables and the statements on them, written once. The
// statements keep the spacing they have always had (two blanks after
// WHERE in a row read): the trace shows them, and people compare traces.

#include "database/meterlayout.h"

#include <QObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace meterlayout {

const char *const kRowColumns[RowColumnCount] = {"pomiar_czas",    "pomiar_plik_dane", "pomiar_rezystancja",
                                                 "pomiar_metoda",  "pomiar_komentarz", "pomiar_status",
                                                 "pomiar_vref",    "pomiar_temp_core"};

const char *const kZymColumns[ZymColumnCount] = {"serial_zym", "hw",        "soft_rpi",  "system_rpi", "firmware_cortex",
                                                 "info",       "u1_offset", "u2_offset", "i_offset"};

namespace {

QString L(const char *name) { return QLatin1String(name); }

QString Column(int column) { return L(kRowColumns[column]); }

} // namespace

QString ObiektyStatement()
{
    return QStringLiteral("SELECT %1 AS OBIEKT, %2 FROM %3").arg(L(kObiektNazwa), L(kObiektId), L(kObiekt));
}

QString ObiektIdStatement()
{
    return QStringLiteral("SELECT %1  FROM %2 WHERE  %3=?").arg(L(kObiektId), L(kObiekt), L(kObiektNazwa));
}

QString ObiektIdsStatement()
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %1").arg(L(kObiektId), L(kObiekt), L(kObiektNazwa));
}

QString ObiektyByIdStatement()
{
    return QStringLiteral("SELECT %1, %2 FROM %3").arg(L(kObiektId), L(kObiektNazwa), L(kObiekt));
}

QString RowStatement()
{
    QStringList columns;
    for (const char *column : kRowColumns)
        columns << L(column);
    return QStringLiteral("SELECT %1 FROM %2 WHERE  %3=?").arg(columns.join(QStringLiteral(", ")), L(kPomiar), L(kPomiarId));
}

QString RowColumnStatement(int column)
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE  %3=").arg(Column(column), L(kPomiar), L(kPomiarId));
}

QString ZymStatement(const QString &column)
{
    return QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + L(kZym);
}

QString ZymFirstRowStatement(const char *column)
{
    return QStringLiteral("SELECT %1 FROM %2 LIMIT 1").arg(L(column), L(kZym));
}

QString DataFilesStatement()
{
    return QStringLiteral("SELECT %1,%2 FROM %3").arg(L(kPomiarId), Column(RowPlikDane), L(kPomiar));
}

QString KomentarzeStatement()
{
    return QStringLiteral("SELECT %1, %2 FROM %3").arg(L(kPomiarId), Column(RowKomentarz), L(kPomiar));
}

QString KomentarzUpdateStatement()
{
    return QStringLiteral("UPDATE %1 SET %2=? WHERE %1.%3=?").arg(L(kPomiar), Column(RowKomentarz), L(kPomiarId));
}

QString KomentarzUpdateTrace(QString komentarz, qint64 id)
{
    komentarz.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("UPDATE %1 SET %2='").arg(L(kPomiar), Column(RowKomentarz)) + komentarz
        + QStringLiteral("' WHERE %1.%2=").arg(L(kPomiar), L(kPomiarId)) + QString::number(id);
}

QString HistoriaStatement(const QString &narrower)
{
    return QStringLiteral("SELECT %1, %2, %3, %4, %5, %6, %7 FROM %8 WHERE %9 = ? ")
               .arg(L(kPomiarId), Column(RowCzas), Column(RowRezystancja), Column(RowStatus), Column(RowMetoda),
                    Column(RowKomentarz), Column(RowPlikDane), L(kPomiar), L(kPomiarObiektId))
        + narrower + QStringLiteral("ORDER BY %1, %2").arg(Column(RowCzas), L(kPomiarId));
}

QString RowsWithObiektStatement(bool byObiekt, bool byId)
{
    QString statement = QStringLiteral("SELECT p.%1, o.%2, p.%3 FROM %4 p LEFT JOIN %5 o ON o.%6 = p.%7 WHERE 1")
                            .arg(L(kPomiarId), L(kObiektNazwa), Column(RowCzas), L(kPomiar), L(kObiekt), L(kObiektId),
                                 L(kPomiarObiektId));
    if (byObiekt)
        statement += QStringLiteral(" AND o.%1 = ?").arg(L(kObiektNazwa));
    if (byId)
        statement += QStringLiteral(" AND p.%1 = ?").arg(L(kPomiarId));
    return statement + QStringLiteral(" ORDER BY p.%1, p.%2").arg(Column(RowCzas), L(kPomiarId));
}

QString RowObiektStatement()
{
    return QStringLiteral("SELECT _rowid_, %1 FROM %2").arg(L(kPomiarObiektId), L(kPomiar));
}

QString PomiarRowsStatement(const QSet<QString> &present)
{
    QStringList wanted{L(kPomiarId)};
    for (const char *column : kRowColumns)
        wanted << L(column);
    wanted << L(kPomiarObiektId);
    QStringList select;
    for (const QString &column : wanted)
        select << (present.contains(column) ? column : QStringLiteral("NULL"));
    return QStringLiteral("SELECT ") + select.join(QLatin1Char(',')) + QStringLiteral(" FROM ") + L(kPomiar);
}

bool IsView(const QSqlDatabase &db, const char *table)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='view' AND lower(name)='")
                      + L(table).toLower() + QStringLiteral("'"))
        && query.next();
}

QString ViewProblem(const QSqlDatabase &db)
{
    for (const char *table : {kObiekt, kPomiar}) {
        if (IsView(db, table))
            return QObject::tr("Tabela %1 jest w tym pliku widokiem, a nie tabelą pomiarów.").arg(L(table));
    }
    return QString();
}

bool TMeterTables::Read(const QSqlDatabase &db, QSqlError *error)
{
    kinds.clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT lower(name), type FROM sqlite_master"))) {
        *error = query.lastError();
        return false;
    }
    while (query.next())
        kinds.insert(query.value(0).toString(), query.value(1).toString());
    return true;
}

bool TMeterTables::IsTable(const char *table) const
{
    return kinds.value(L(table).toLower()) == QLatin1String("table");
}

QString TMeterTables::Problem() const
{
    for (const char *table : {kObiekt, kPomiar}) {
        const QString kind = kinds.value(L(table));
        if (kind != QLatin1String("table"))
            return kind.isEmpty() ? QObject::tr("brak tabeli %1").arg(L(table))
                                  : QObject::tr("%1 nie jest tabelą").arg(L(table));
    }
    return QString();
}

QSet<QString> TMeterTables::Columns(const QSqlDatabase &db, const char *table)
{
    QSet<QString> names;
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(L(table)))) {
        while (query.next())
            names.insert(query.value(1).toString().toLower());
    }
    return names;
}

QString TMeterTables::ObiektColumnsProblem(const QSet<QString> &columns)
{
    if (!columns.contains(L(kObiektId)) || !columns.contains(L(kObiektNazwa).toLower()))
        return QObject::tr("tabela obiekt bez kolumny obiekt_id lub Obiekt_nazwa");
    return QString();
}

QString TMeterTables::PomiarColumnsProblem(const QSet<QString> &columns)
{
    if (!columns.contains(L(kPomiarId)) || !columns.contains(L(kPomiarObiektId)))
        return QObject::tr("tabela pomiar bez kolumny pomiar_id lub pomiar_obiekt_id");
    return QString();
}

} // namespace meterlayout
