#ifndef TDATABASE_H
#define TDATABASE_H

#include "database/objectrows.h"
#include "database/pomiarrow.h"
#include "database/pomiarsource.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "measurement/tdatapomiar.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>

struct THistoriaRow;

QT_BEGIN_NAMESPACE
class QSqlError;
class QSqlQueryModel;
QT_END_NAMESPACE

/// Selectors of TDataBase::WynikFromFile and TDataBase::WynikFromBase.
enum TWynik {
    WynikR = 0,        ///< resistance ("R=0.115Ω", or "Poza zakresem" for a row out of range)
    WynikCzas = 1,     ///< "Zapisany: " and the local time
    WynikMetoda = 2,   ///< the method text
    WynikKomentarz = 4 ///< the row's comment (rows only)
};

/// Result text `definition` (a TWynik) of the row `row`, as
/// TDataBase::WynikFromBase gives it for the row last read.
QString RowWynikText(const TPomiarRow &row, int definition);

/// The program's one database-access object (the main window's `Baza`):
/// the SQLite connection, the data folder of the open database, the record
/// last read from a data file and the database row last read. As a
/// TPomiarSource it is the meter's side of the windows.
class TDataBase : public TPomiarSource
{
public:
    TDataBase();

    // ---- data files
    /// Reads the data file `fileName` into `Pomiar`. 0 on success; a
    /// DataFileResult (negative) otherwise, with `Pomiar` as ReadDataFile
    /// leaves it: as it was, or emptied when the file failed part-way.
    DataFileResult LoadFile(QString fileName);
    /// Copies `Pomiar` whole into `*dst`; returns 0.
    int CopyPomiar(TDataPomiar *dst);
    /// Replaces `fileName` with the image of `*rec` (ReplaceDataFile):
    /// ExportOk, or a failure with the reason in `*errorText` (when given).
    ExportResult SaveDataFile(const TDataPomiar *rec, QString fileName, QString *errorText = nullptr);

    // ---- result texts
    /// Local date and time of `czas` (seconds since 1970 UTC), "yyyy-MM-dd        hh:mm:ss".
    QString FormatCzas(uint czas);
    /// Sets qsWynikR, qsWynikCzas and qsWynikMetoda from `Pomiar`.
    void UpdateWynikTexts();
    /// Result text of the record read from a file: a TWynik other than
    /// WynikKomentarz (0 resistance, 1 time, 2 method).
    QString WynikFromFile(int definition);
    /// Result text of the database row: a TWynik (0 resistance, 1 time,
    /// 2 method, 4 comment).
    QString WynikFromBase(int definition);

    // ---- database connection
    /// Result codes of Open.
    enum OpenResult {
        OpenOk = 0,           ///< the connection is open
        OpenDriverFailed = -1, ///< the driver could not open the file; no database is open now
        OpenNoFile = -2       ///< no such file; the connection that was open stays open
    };
    /// Opens the SQLite file `path` as the default connection, kept in `db`;
    /// every statement of this class runs on `db`.
    OpenResult Open(QString path);
    void Close();
    bool IsOpen() override;
    QString LastErrorText();
    /// Fills `Row` from the `pomiar` row of `id`: the whole row in one
    /// statement, or one column at a time when a column is missing. False
    /// when no statement found a row (then `Row` is unchanged).
    /// `*ambiguous` (when given) tells whether several rows have that id.
    bool ReadRow(qint64 id, bool *ambiguous = nullptr);
    // LoadPomiar's result codes are TPomiarSource::LoadPomiarResult: ok; no
    // such row, or its data file missing, short, unreadable or named
    // outside the database's folder (`Pomiar` unchanged, emptied when the
    // file failed part-way through its read); several rows of the id;
    // locked by another program (nothing read).
    /// Reads the row of `id` and its data file into `Pomiar`. Returns a
    /// negative `id` unchanged without reading anything; otherwise a
    /// LoadPomiarResult. `*rowRead` (when given) tells whether the row
    /// itself was read, which `Row` then holds even if its data file is
    /// unusable.
    int LoadPomiar(qint64 id, bool *rowRead = nullptr);
    /// How long a statement waits for a lock another program holds (the
    /// meter while it writes) before it gives up as busy.
    static constexpr int kBusyTimeoutMs = 2000;
    /// True when `error` says the database was locked by another connection.
    static bool IsBusyError(const QSqlError &error);
    /// True when another program holds the open database locked, so that
    /// nothing can be read now; waits at most kBusyTimeoutMs.
    bool Busy() override;
    /// What the user is told when the database is busy.
    static QString BusyText();
    /// First column of the first row of `statement` as text, or "NULL".
    QString FirstValueText(QString statement);
    /// The meter's `column` of its `ZYM` table ("SELECT column FROM ZYM"),
    /// or "NULL" when the table, the column or its row is missing, or when
    /// `ZYM` is a view.
    QString ZymValue(const QString &column);

    // ---- lists
    /// A model of the object list, one column "OBIEKT" (header translated)
    /// whose rows give their `obiekt_id` under the role kObiektIdRole;
    /// nullptr when it cannot be read (or `obiekt` or `pomiar` is a view
    /// rather than a table), with the reason in `*errorText` (when given).
    /// The whole list is read at once, so no statement stays open on the
    /// database. The caller owns the model.
    QSqlQueryModel *ObiektyModel(QString *errorText = nullptr) override;
    /// The id of the object named `name`; with several of that name the
    /// last one, with none 0 (rows whose id is not a whole number are passed over).
    qint64 ObjectId(QString name);
    /// A model of the measurements of object `objectId`: hidden id, DATA,
    /// WYNIK, KOMENTARZ (headers translated). Its rows are read at once,
    /// like the object list; DATA and WYNIK of a row (a TPomiaryModel) are
    /// read when asked for, unless the object's rows cannot be looked up
    /// by rowid or bFormatWholeList is set. A statement that fails (no
    /// pomiar table) gives an empty model. The caller owns the model.
    QSqlQueryModel *PomiaryModel(qint64 objectId);
    /// The history of object `objectId` as ReadHistoria (historia.h) reads
    /// it from `db`, with the object's rows looked up by rowid through
    /// ObjectRows when they are known there: as quick in a large table as
    /// in a small one.
    bool ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QString *errorText = nullptr);
    /// The data file names of every measurement of the database open on
    /// `db`, in table order, into `*names`; false when the list cannot be
    /// read or `pomiar` is a view.
    static bool DataFileNames(const QSqlDatabase &db, QStringList *names);
    /// Prepares the comment update of measurement `id`: qsSqlKomentarz gets
    /// (and the trace shows) the statement as text; ExecPending binds the
    /// comment itself, so it is stored exactly, NUL characters included.
    void PrepareKomentarz(QString komentarz, qint64 id);
    /// Runs the prepared update in a transaction that is committed only
    /// when it changed exactly one row. True then; otherwise false, nothing
    /// changed, with the reason (if there is one to give) available through
    /// LastErrorText(): the driver's, or that several rows share the id.
    bool ExecPending();

    // ---- the meter's side of the windows (TPomiarSource)
    QSqlQueryModel *PomiaryList(qint64 objectId, TSourceWarning *warning) override;
    /// LoadPomiar into `*row` and `*rec`; a data file that is there but
    /// cannot be read is told from a missing one.
    int ReadPomiar(qint64 id, TPomiarRow *row, TDataPomiar *rec, TPomiarRead *read) override;
    QString KomentarzQuestion() const override;
    /// PrepareKomentarz and ExecPending.
    bool SaveKomentarz(qint64 id, const QString &komentarz, QString *errorText) override;
    /// ReadHistoria, with the meter of the `ZYM` table for every row.
    bool ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, THistoriaMeters *meters,
                      QString *errorText) override;
    /// ZymValue: the database has one meter, whatever is shown.
    QString MeterValue(qint64 pomiarId, const QString &column) override;
    void ReportMeter(qint64 pomiarId, QString *serial, QString *hw, QString *firmware) override;

    QSqlDatabase db;
    QString qsDataFolder;   // folder of the last database given to Open, with a trailing "/"
    QString qsSqlKomentarz; // last prepared comment update, as text for the trace
    QString qsPendingKomentarz; // the comment and the row ExecPending writes
    qint64 iPendingKomentarzId = -1;
    TDataPomiar Pomiar;     // record last read from a data file
    QString qsWynikR;       // resistance text of Pomiar: 3 decimals and "Ω"
    QString qsWynikCzas;    // time text of Pomiar
    QString qsWynikMetoda;  // "Metod: ...3P" or "Metod: ..2P"
    TPomiarRow Row;         // the pomiar row last read by id
    DataFileResult DataFile = DataFileOk; // what LoadPomiar found of Row's data file (a name outside the folder: missing)
    TObjectRows ObjectRows; // which pomiar rows each object has, read when its list is first shown
    QString qsLastError;    // reason of the last failed open or comment update
    bool bBusy = false;     // the last ReadRow gave up on a lock held by another program
    // Every list reads all its rows' DATA and WYNIK at once, as lists did
    // before they were read for the rows shown (the benchmark's comparison).
    static inline bool bFormatWholeList = false;

private:
    int LoadPomiarInto(qint64 id, bool *rowRead, TDataPomiar *rec);
    bool ReadRowByColumn(qint64 id, bool *ambiguous);
    // ReadRow's statement, prepared once per connection: every click on a
    // measurement runs it.
    std::unique_ptr<QSqlQuery> pRowQuery;
};

#endif // TDATABASE_H
