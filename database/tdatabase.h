#ifndef TDATABASE_H
#define TDATABASE_H

#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "measurement/tdatapomiar.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QSqlQueryModel;
QT_END_NAMESPACE

/// The columns of one `pomiar` row as read by id. Each field keeps its
/// value until a later read returns a row for it.
struct TPomiarRow
{
    qint32 czas = 0;        // pomiar_czas: seconds since 1970-01-01 00:00 UTC
    QString plik_dane;      // pomiar_plik_dane: data file, relative to the database's folder
    double rezystancja = 0; // pomiar_rezystancja: ohms
    qint32 metoda = 0;      // pomiar_metoda: bit 0x80 of the lowest byte set means 3P
    QString komentarz;      // pomiar_komentarz
    qint32 status = 0;      // pomiar_status: -1 means out of range
    double vref = 0;        // pomiar_vref: kept, not shown
    double temp_core = 0;   // pomiar_temp_core: kept, not shown
};

/// Selectors of TDataBase::WynikFromFile and TDataBase::WynikFromBase.
enum TWynik {
    WynikR = 0,        ///< resistance ("R=0.115Ω", or "Poza zakresem" for a row out of range)
    WynikCzas = 1,     ///< "Zapisany: " and the local time
    WynikMetoda = 2,   ///< the method text
    WynikKomentarz = 4 ///< the row's comment (rows only)
};

/// The program's one database-access object (the main window's `Baza`):
/// the SQLite connection, the data folder of the open database, the record
/// last read from a data file and the database row last read.
class TDataBase
{
public:
    TDataBase();

    // ---- data files
    /// Reads the data file `fileName` into `Pomiar`. 0 on success; a
    /// DataFileResult (negative) otherwise, with `Pomiar` left as it was.
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
    /// Opens the SQLite file `path` as the default connection.
    OpenResult Open(QString path);
    void Close();
    bool IsOpen();
    QString LastErrorText();
    /// Fills `Row` from the `pomiar` row of `id`, one column at a time.
    /// False when no statement found a row (then `Row` is unchanged).
    bool ReadRow(int id);
    /// Result codes of LoadPomiar (besides a negative id passed through).
    enum LoadPomiarResult {
        LoadPomiarOk = 0,      ///< row and data file read; `Pomiar` holds the measurement
        LoadPomiarMissing = -1 ///< no such row, or its data file is missing, short, unreadable
                               ///< or named outside the database's folder; `Pomiar` unchanged
    };
    /// Reads the row of `id` and its data file into `Pomiar`. Returns a
    /// negative `id` unchanged without reading anything; otherwise a
    /// LoadPomiarResult.
    int LoadPomiar(int id);
    /// First column of the first row of `statement` as text, or "NULL".
    QString FirstValueText(QString statement);
    /// The meter's `column` of its `ZYM` table ("SELECT column FROM ZYM"),
    /// or "NULL" when the table, the column or its row is missing, or when
    /// `ZYM` is a view.
    QString ZymValue(const QString &column);

    // ---- lists
    /// A model of the object list, one column "OBIEKT" (header translated),
    /// or nullptr when it cannot be read (or `obiekt` or `pomiar` is a view
    /// rather than a table), with the reason in `*errorText` (when given).
    /// The caller owns the model.
    QSqlQueryModel *ObiektyModel(QString *errorText = nullptr);
    /// The id of the object named `name`; with several of that name the
    /// last one, with none 0.
    int ObjectId(QString name);
    /// A model of the measurements of object `objectId`: hidden id, DATA,
    /// WYNIK, KOMENTARZ (headers translated). A statement that fails (no
    /// pomiar table) gives an empty model. The caller owns the model.
    QSqlQueryModel *PomiaryModel(int objectId);
    /// The data file names of every measurement, in table order, into
    /// `*names`; false when the list cannot be read or `pomiar` is a view.
    static bool DataFileNames(QStringList *names);
    /// Builds the comment update for measurement `id` into qsSqlKomentarz.
    void PrepareKomentarz(QString komentarz, int id);
    /// Executes qsSqlKomentarz. True when the update went through and
    /// changed the row; otherwise false, with the driver's reason (if it
    /// gave one) available through LastErrorText().
    bool ExecPending();

    QSqlDatabase db;
    QString qsDataFolder;   // folder of the last database given to Open, with a trailing "/"
    QString qsSqlKomentarz; // last prepared comment update
    TDataPomiar Pomiar;     // record last read from a data file
    QString qsWynikR;       // resistance text of Pomiar: 3 decimals and "Ω"
    QString qsWynikCzas;    // time text of Pomiar
    QString qsWynikMetoda;  // "Metod: ...3P" or "Metod: ..2P"
    TPomiarRow Row;         // the pomiar row last read by id
    QString qsLastError;    // reason of the last failed open or comment update
};

#endif // TDATABASE_H
