#ifndef METERLAYOUT_H
#define METERLAYOUT_H

#include <QHash>
#include <QSet>
#include <QString>

QT_BEGIN_NAMESPACE
class QSqlDatabase;
class QSqlError;
QT_END_NAMESPACE

/// The meter's database as the reader knows it: its tables, the columns it
/// reads from them, the statements that name them, and whether a file holds
/// them as plain tables. Every reader of a meter's file (the window, the
/// download, the archive's import, the command line) takes them from here;
/// the archive's own tables of the same names are not these. No widgets.
namespace meterlayout {

// The tables. The meter writes `Obiekt_nazwa` with a capital O; SQLite
// matches table and column names in any case.
constexpr char kObiekt[] = "obiekt";
constexpr char kPomiar[] = "pomiar";
constexpr char kZym[] = "ZYM";

constexpr char kObiektId[] = "obiekt_id";
constexpr char kObiektNazwa[] = "Obiekt_nazwa";
constexpr char kPomiarId[] = "pomiar_id";
constexpr char kPomiarObiektId[] = "pomiar_obiekt_id";

/// The columns of one `pomiar` row as a row read fills `TPomiarRow`, in
/// this order: czas, plik_dane, rezystancja, metoda, komentarz, status,
/// vref, temp_core.
enum RowColumn { RowCzas, RowPlikDane, RowRezystancja, RowMetoda, RowKomentarz, RowStatus, RowVref, RowTempCore,
                 RowColumnCount };
extern const char *const kRowColumns[RowColumnCount];

/// The columns of the meter's `ZYM` table; the first five name the meter
/// (serial, hardware, rpi software and system, cortex firmware), the rest
/// are its information text and calibration offsets.
enum ZymColumn { ZymSerial, ZymHw, ZymSoftRpi, ZymSystemRpi, ZymFirmware, ZymIdentityCount, ZymColumnCount = 9 };
extern const char *const kZymColumns[ZymColumnCount];

// ---- statements on the meter's tables (their bytes are what the trace and
// the meter's share have always seen)

/// The object list: name, then id.
QString ObiektyStatement();
/// An object's id by its name (bound).
QString ObiektIdStatement();
/// The object ids of one name (bound), in id order.
QString ObiektIdsStatement();
/// One row whole, the columns of kRowColumns, the id bound.
QString RowStatement();
/// One column of kRowColumns alone, followed by the id in decimal.
QString RowColumnStatement(int column);
/// `column` of the `ZYM` table.
QString ZymStatement(const QString &column);
/// Every row's id and data file name.
QString DataFilesStatement();
/// Every row's id and comment.
QString KomentarzeStatement();
/// The comment update (comment and id bound), and the same statement as
/// the trace shows it, with the comment's quotes doubled.
QString KomentarzUpdateStatement();
QString KomentarzUpdateTrace(QString komentarz, qint64 id);
/// Every row of an object (bound), the history's columns: id, czas,
/// rezystancja, status, metoda, komentarz, plik_dane, in time and id
/// order; `narrower` (empty, or a condition that starts with AND and ends
/// in a blank) comes before the order.
QString HistoriaStatement(const QString &narrower);
/// Every row with its object's name: id, name, czas, in time order; only
/// those of an object name (bound first) and of an id (bound next) when
/// asked.
QString RowsWithObiektStatement(bool byObiekt, bool byId);
/// Each row's rowid and object id.
QString RowObiektStatement();
/// Every object's id and name.
QString ObiektyByIdStatement();
/// Every row whole for the import: pomiar_id, the kRowColumns,
/// pomiar_obiekt_id; a column not in `present` (lower case) reads NULL.
QString PomiarRowsStatement(const QSet<QString> &present);
/// `column` of the first row of `ZYM`.
QString ZymFirstRowStatement(const char *column);

// ---- is it a meter's database

/// True when `table` is a view in `db`. The meter keeps its data in plain
/// tables, and a view under one of their names can make a plain SELECT run
/// for ever (a recursive view of a few kilobytes lists rows without end).
/// A file that is no database has none.
bool IsView(const QSqlDatabase &db, const char *table);

/// The window's reason to refuse a file: `obiekt` or `pomiar` is a view.
/// Empty when neither is.
QString ViewProblem(const QSqlDatabase &db);

/// What the file holds under the meter's names, read at once from its
/// schema, for a reader that wants every reason named (the import).
class TMeterTables
{
public:
    /// Reads the schema of `db`; false with the error in `*error` when it
    /// cannot be read (locked, not a database).
    bool Read(const QSqlDatabase &db, QSqlError *error);
    /// Whether `table` (any case) is a plain table.
    bool IsTable(const char *table) const;
    /// Why the file is no meter's database ("brak tabeli obiekt",
    /// "pomiar nie jest tabelą"), or empty when both tables are plain.
    QString Problem() const;
    /// The columns of `table` in lower case; none when it cannot be read.
    static QSet<QString> Columns(const QSqlDatabase &db, const char *table);
    /// Why `obiekt` or `pomiar` cannot be read by row (an id column
    /// missing), from their Columns(); empty when they can.
    static QString ObiektColumnsProblem(const QSet<QString> &columns);
    static QString PomiarColumnsProblem(const QSet<QString> &columns);

private:
    QHash<QString, QString> kinds; // lower-case name -> "table", "view", ...
};

} // namespace meterlayout

#endif // METERLAYOUT_H
