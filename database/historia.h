#ifndef HISTORIA_H
#define HISTORIA_H

#include "measurement/csvexport.h"
#include "measurement/tdatapomiar.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <limits>

// The history of one object: every measurement of it in time order, how
// each valid one compares with a reference and with the valid one before
// it, and the history as CSV text. Read-only: nothing here writes to the
// database.

/// One measurement of an object's history.
struct THistoriaRow
{
    qint64 id = 0;      // pomiar_id
    bool bIdExact = true; // the id names this row and no other: it may be opened and written
    qint64 czas = 0;    // pomiar_czas: seconds since 1970-01-01 00:00 UTC; kHistoriaCzasUnknown
                        // for NULL, a text or a time no calendar shows
    double R = 0;       // pomiar_rezystancja: ohms; NaN for NULL or a text
    int status = 0;     // pomiar_status: -1 out of range
    qint32 metoda = 0;  // pomiar_metoda: bit 0x80 set means 3P
    QString komentarz;  // pomiar_komentarz; NULL reads as empty
    QString plik;       // pomiar_plik_dane
};

/// Changes of one row in percent; NaN where the row takes part in none.
struct THistoriaZmiana
{
    double odniesienie; // against the reference
    double poprzedni;   // against the previous row with a value
};

/// Resistances at or above this many ohms are the meter's open circuit, shown as "∞".
constexpr double kHistoriaInfinity = kOpenCircuitOhms;
/// Resistances closer to zero than this are no measurement of this meter
/// (denormals of a damaged row): shown as zero, never a reference.
constexpr double kHistoriaTiny = 1e-12;
/// The time of a row whose pomiar_czas is NULL, a text, or beyond the year 9999.
constexpr qint64 kHistoriaCzasUnknown = std::numeric_limits<qint64>::min();

/// pomiar_czas as seconds since 1970 UTC: a whole number (an integer, or a
/// real without a fraction) up to the year 9999; kHistoriaCzasUnknown for
/// NULL, a text, a fraction, a negative or a larger number.
qint64 HistoriaCzas(const QVariant &value);

/// Reads the measurements of object `objectId` from the database open on
/// `db`, in one statement, sorted by time and then by id, rows of unknown
/// time last (by id). An id that is not a whole number or that two rows
/// share leaves bIdExact false. False when the statement fails, with the driver's reason in
/// `*errorText` (when given); `*rows` is replaced either way. `rowids`
/// (when given) are the rowids of `pomiar` that hold the object
/// (TObjectRows): only those rows are read instead of the whole table.
bool ReadHistoria(const QSqlDatabase &db, qint64 objectId, QVector<THistoriaRow> *rows, QString *errorText = nullptr,
                  const QVector<qint64> *rowids = nullptr);

/// Whether the row has a resistance to compare and a place in time: in
/// range, a number between kHistoriaTiny and the open-circuit limit (or
/// zero), and a known time.
bool HasValue(const THistoriaRow &row);

/// Index of the first row with a value, or -1.
int FirstValueIndex(const QVector<THistoriaRow> &rows);

/// The row with a value of measurement `id` taken at `czas`, or failing
/// that the first row with a value taken at `czas` (a copy of the history
/// whose ids differ); -1 when none.
int HistoriaRowOf(const QVector<THistoriaRow> &rows, qint64 id, qint64 czas);

/// The change of `value` against `reference` in percent, the sign telling
/// the direction; NaN when the reference is zero or either is not finite.
double PercentChange(double value, double reference);

/// The changes of every row against row `reference` (an index; one without
/// a value leaves every such change NaN) and against the closest earlier
/// row with a value. Rows without a value get NaN in both and are skipped
/// as a previous row.
QVector<THistoriaZmiana> HistoriaZmiany(const QVector<THistoriaRow> &rows, int reference);

/// "yyyy-MM-dd hh:mm:ss" of `czas` in the computer's local time;
/// "nieznany" (translated, context QObject) for kHistoriaCzasUnknown.
QString HistoriaCzasText(qint64 czas);

/// The first and last known time of `rows` (seconds); false when no row has one.
bool HistoriaCzasSpan(const QVector<THistoriaRow> &rows, qint64 *first, qint64 *last);

/// The resistance as the history shows it: "Poza zakresem" (translated,
/// context QObject) for a row out of range, "brak" (translated) without a
/// number, "∞" at or above 1000 Ω ("-∞" at or below -1000 Ω), otherwise
/// FormatEngineering (a denormal as zero).
QString HistoriaRText(const THistoriaRow &row);

/// "2P" or "3P".
QString HistoriaMetodaText(const THistoriaRow &row);

/// A change with one decimal and its sign, e.g. "+1.5%", "-0.3%", "0.0%";
/// from a million percent on three significant digits ("+1.23e+08%");
/// empty for NaN and infinities. `decimalComma` writes "+1,5" with no "%" (the CSV form).
QString PercentText(double percent, bool decimalComma = false);

/// The change of `row` against `reference` in ohms, in the unit and with
/// the decimals the reference's resistance is shown with, and its sign:
/// "+0.06 mΩ" against "10.00 mΩ", "-1.250 Ω" against "2.500 Ω"; "0.00 mΩ"
/// for no change. Empty unless both rows have a value.
QString HistoriaRoznicaText(const THistoriaRow &row, const THistoriaRow &reference);

/// Column headers of the history table and its CSV (translated, context
/// QObject): time, R, method, against the reference, against the previous,
/// comment. The CSV's R column carries its unit.
QStringList HistoriaHeaders(bool csv);

/// The history as CSV text: a header line, then one line per row: time,
/// R in ohms with every digit the double holds (or "Poza zakresem", or
/// nothing for a row without a number; an unknown time is empty too),
/// method, both changes, the comment. ";" separators, decimal commas,
/// "\n" line ends; a field holding ";", a quote or a line break is quoted.
/// `extraHeaders` and `extraCells` (one list per row) are columns after
/// the comment, as a verdict adds them.
QString HistoriaCsvText(const QVector<THistoriaRow> &rows, int reference, const QStringList &extraHeaders = {},
                        const QVector<QStringList> &extraCells = {});

/// Replaces `fileName` with HistoriaCsvText in the locale's encoding and
/// the platform's line ends, as the measurement CSV is written. The reason
/// of a failure goes to `*errorText`.
ExportResult SaveHistoriaCsv(const QString &fileName, const QVector<THistoriaRow> &rows, int reference,
                             QString *errorText = nullptr, const QStringList &extraHeaders = {},
                             const QVector<QStringList> &extraCells = {});

/// A history held for as long as a window shows it, in a third less memory
/// than its rows: a column per field instead of row records, every comment
/// in one text, no data-file names (the window shows none). Changes are
/// worked out when asked for.
class THistoriaRows
{
public:
    THistoriaRows() = default;
    explicit THistoriaRows(const QVector<THistoriaRow> &rows);

    int size() const { return czasy.size(); }
    bool isEmpty() const { return czasy.isEmpty(); }

    /// Row `i` as it was given, but with no data-file name; without
    /// `withKomentarz` its comment is left empty too.
    THistoriaRow Row(int i, bool withKomentarz = true) const;
    /// Every row, as Row() gives them.
    QVector<THistoriaRow> Rows() const;

    qint64 Id(int i) const { return ids.at(i); }
    bool IdExact(int i) const { return exact.at(i); }
    qint64 Czas(int i) const { return czasy.at(i); }
    double R(int i) const { return rs.at(i); }
    bool HasValue(int i) const;
    QString Komentarz(int i) const;
    void SetKomentarz(int i, const QString &komentarz);

    /// HistoriaZmiany(Rows(), reference)[row].
    THistoriaZmiana Zmiana(int reference, int row) const;

private:
    QVector<qint64> ids;
    QVector<qint64> czasy;
    QVector<double> rs;
    QVector<qint32> statusy;
    QVector<qint32> metody;
    QVector<bool> exact;
    QVector<int> poprzednie; // the closest earlier row with a value, or -1
    QString komentarze;     // every comment, one after another
    QVector<int> poczatki;  // where row i's comment starts in komentarze; one more at the end
};

#endif // HISTORIA_H
