#ifndef POMIARSOURCE_H
#define POMIARSOURCE_H

#include "database/pomiarrow.h"
#include "measurement/datafile.h"
#include "measurement/tdatapomiar.h"

#include <QString>
#include <QStringList>
#include <QVector>

QT_BEGIN_NAMESPACE
class QSqlQueryModel;
QT_END_NAMESPACE

struct THistoriaRow;

/// What a source has to tell the user beside its answer (a lock, a damaged
/// archive): a warning box's title and text, empty when there is nothing.
struct TSourceWarning
{
    QString title;
    QString text;
    bool IsEmpty() const { return text.isEmpty(); }
};

/// How reading one measurement went, beside its result code.
struct TPomiarRead
{
    bool rowRead = false; ///< the row was read (and is in the row given), whatever became of its record
    /// Why the record is not shown when the row was read: DataFileShort,
    /// DataFileUnreadable (it is there but cannot be read) or DataFileMissing.
    DataFileResult dataFile = DataFileOk;
    TSourceWarning warning;
};

/// The meters of an object's history: the meter database has one for all
/// its rows, the archive keeps each measurement's own.
struct THistoriaMeters
{
    bool perRow = false;
    QStringList rows; // with perRow: each row's meter, in the rows' order
    QString serial;   // without perRow: the one meter
    QString hw;
    QString firmware;
};

/// Where the windows' measurements come from: the meter's database or the
/// reader's archive. The tables, the measurement shown, its comment, the
/// histories and the report ask this, never which of the two it is.
class TPomiarSource
{
public:
    /// Result codes of ReadPomiar (besides a negative id passed through).
    enum LoadPomiarResult {
        LoadPomiarOk = 0,         ///< row and record read
        LoadPomiarMissing = -1,   ///< no such row, or its record cannot be shown (see TPomiarRead)
        LoadPomiarAmbiguous = -2, ///< more than one row carries the id: none of them is shown
        LoadPomiarBusy = -3       ///< another program holds the database locked; nothing read
    };
    /// Item data role under which the object list gives each row's `obiekt_id`.
    static constexpr int kObiektIdRole = Qt::UserRole + 1;

    virtual ~TPomiarSource() = default;

    virtual bool IsOpen() = 0;
    /// True when another program holds the source locked, so that nothing can be read now.
    virtual bool Busy() = 0;
    /// The object list (one column, ids under kObiektIdRole); nullptr with
    /// the reason when it cannot be read. The caller owns the model.
    virtual QSqlQueryModel *ObiektyModel(QString *errorText = nullptr) = 0;
    /// The measurements of object `objectId` (hidden id, DATA, WYNIK,
    /// KOMENTARZ); what the user should know of it in `*warning`. The
    /// caller owns the model.
    virtual QSqlQueryModel *PomiaryList(qint64 objectId, TSourceWarning *warning) = 0;
    /// Reads measurement `id`: its row into `*row`, its record into `*rec`.
    /// A negative `id` comes back unchanged with nothing read; otherwise a
    /// LoadPomiarResult, with the details in `*read`. `*rec` is left as it
    /// was, or emptied when the record failed part-way.
    virtual int ReadPomiar(qint64 id, TPomiarRow *row, TDataPomiar *rec, TPomiarRead *read) = 0;
    /// The question asked before an edited comment is saved here.
    virtual QString KomentarzQuestion() const = 0;
    /// Saves `komentarz` as the comment of measurement `id`; false with the reason.
    virtual bool SaveKomentarz(qint64 id, const QString &komentarz, QString *errorText) = 0;
    virtual bool ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, THistoriaMeters *meters,
                              QString *errorText) = 0;
    /// The meter's `column` ("serial_zym", "hw", "firmware_cortex", ...) for
    /// measurement `pomiarId` shown (-1: none), "NULL" when not known.
    virtual QString MeterValue(qint64 pomiarId, const QString &column) = 0;
    /// The meter as the report of measurement `pomiarId` (-1: one opened
    /// from a file) names it; the fields stay as they are when none is known.
    virtual void ReportMeter(qint64 pomiarId, QString *serial, QString *hw, QString *firmware) = 0;
};

#endif // POMIARSOURCE_H
