#ifndef TARCHIVE_H
#define TARCHIVE_H

#include "historia/historia.h"
#include "database/pomiarrow.h"
#include "measurement/tdatapomiar.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <functional>

QT_BEGIN_NAMESPACE
class QSqlQueryModel;
QT_END_NAMESPACE

// The reader's own archive: one SQLite file that keeps every measurement
// ever imported from a meter database, with its raw record compressed and
// checked, its meter, its object (one per name) and every version of its
// comment. Nothing here writes to a meter database or its data files.
//
// Each TArchive object has a connection of its own (never Qt's default
// connection, which is the meter's), so the window, an import running on
// another thread and a second program can have the same archive open at
// once: the file is in WAL mode, readers never wait for a writer, and a
// second writer waits up to kArchiveBusyMs and then fails with
// ArchiveBusy. Opening and browsing never wait for an import. A TArchive
// object is used only on the thread that opened it (an import on a worker
// thread opens a TArchive of its own there).

/// Result codes of the archive's operations: 0 success, 1 cancelled,
/// negative failures. The reason of a failure is in LastErrorText().
enum TArchiveResult {
    ArchiveOk = 0,            ///< done
    ArchiveCancelled = 1,     ///< the progress callback asked to stop; the archive is as it was before
    ArchiveOpenFailed = -1,   ///< the file could not be created or opened, or is no archive
    ArchiveTooNew = -2,       ///< made by a newer program; nothing was changed
    ArchiveNotOpen = -3,      ///< no archive is open
    ArchiveSqlFailed = -4,    ///< a statement failed (disk full, damaged file); nothing was changed
    ArchiveBusy = -5,         ///< another program kept the archive locked longer than kArchiveBusyMs
    ArchiveSourceFailed = -6, ///< the meter database (or folder) could not be read at all
    ArchiveNotFound = -7,     ///< no such measurement, or it has no raw record
    ArchiveDamaged = -8       ///< a raw record failed its check (hash or unpacking); it is not returned
};

/// How long a writer waits for another program's write to end, in ms.
constexpr int kArchiveBusyMs = 10000;

/// The archive's file beside the program: `<programFolder>/DATA/archiwum.db`.
QString DefaultArchivePath(const QString &programFolder);

/// Why an import passed over a row, a data file or a whole source.
enum TArchiveReason {
    ReasonDataFileMissing = 1,    ///< the row names no file, or no file of that name; row kept without record
    ReasonDataFileShort = 2,      ///< the data file holds fewer than 240080 bytes; row kept without record
    ReasonDataFileUnreadable = 3, ///< not a regular file (folder, pipe, device) or unreadable; row kept without record
    ReasonOutsideFolder = 4,      ///< the row names a file outside the database's folder; row kept without record
    ReasonUnreadableRow = 5,      ///< an id, time or number that is not one, or no object of that id; row refused
    ReasonConflict = 6,           ///< the archive holds the same record under a different row, or the row under another record (its file changed since); the archived one kept
    ReasonSourceUnreadable = 7    ///< the source is no meter database (no tables, views, damaged); nothing taken
};

/// The Polish reason text (translated, context QObject).
QString ArchiveReasonText(int reason);

/// One note of an import: a refusal or a conflict.
struct TArchiveImportNote
{
    QString qsSource;   // the meter database file, absolute
    QString qsPomiarId; // the row's pomiar_id as the source holds it (empty for a whole source)
    QString qsPlik;     // the row's data file name as the source holds it
    int iReason = 0;    // a TArchiveReason
    QString qsDetail;   // what exactly (the system's reason, the differing field), may be empty
    /// True when the row itself was archived (without its raw record).
    bool RowKept() const { return iReason >= ReasonDataFileMissing && iReason <= ReasonOutsideFolder; }
};

/// What an import did. For a folder, the counts of all its sources.
struct TArchiveImportSummary
{
    qint64 iImportId = 0; // the import log entry (0 when nothing was written: cancelled, failed)
    QStringList sources;  // meter database files read, absolute
    int iNew = 0;         // measurements added (with or without record), and records added to rows archived without one
    int iArchived = 0;    // measurements the archive already held
    int iConflicts = 0;   // same record under a different row (see the notes)
    int iRefused = 0;     // rows not archived at all, plus whole sources
    int iWithoutRecord = 0; // of iNew: rows archived without a raw record (their file is in the notes)
    QVector<TArchiveImportNote> notes;
};

/// One import of the import log.
struct TArchiveImportLogEntry
{
    qint64 iImportId = 0;
    qint64 iCzas = 0;     // when it ended, seconds since 1970 UTC
    QString qsSource;     // the database or folder given to the import
    int iNew = 0, iArchived = 0, iConflicts = 0, iRefused = 0, iWithoutRecord = 0;
};

/// One meter, as its ZYM table named it when a measurement was imported.
struct TArchiveMeter
{
    QString qsSerial;   // serial_zym ("" when the source had none)
    QString qsHw;       // hw
    QString qsSoftRpi;  // soft_rpi
    QString qsSystemRpi; // system_rpi
    QString qsFirmware; // firmware_cortex
};

/// What the archive knows about one measurement besides its row.
struct TArchivePomiarInfo
{
    qint64 iPomiarId = 0;      // the archive's id
    qint64 iMeterPomiarId = 0; // pomiar_id on the meter
    qint64 iObiektId = 0;      // the archive's object
    QString qsObiekt;          // its name
    TArchiveMeter meter;
    QString qsSource;          // the meter database it was first imported from
    qint64 iImportId = 0;      // the import that brought it
    bool bRecord = false;      // a raw record is archived
    QByteArray sha256;         // of the raw record (32 bytes), empty without record
};

/// One version of a measurement's comment.
struct TArchiveKomentarz
{
    qint64 iCzas = 0;   // when it was imported or saved, seconds since 1970 UTC
    QString qsTekst;    // the comment; a NULL comment on the meter reads as empty
    bool bFromMeter = false; // brought by an import (else saved in the archive)
};

/// One version of something a person wrote (a temperature, a limit, a
/// group's members, ...): kept for good, never changed. What it says is
/// in `qsWartosc` (JSON text, the kind's own layout); the newest entry of a
/// kind and subject is the one that holds.
struct TArchiveEntry
{
    QString qsUuid;       // unique in every archive and on every server
    QString qsRodzaj;     // the kind, e.g. "temperatura"
    QString qsPrzedmiot;  // the subject: PomiarSubject, ObiektSubject, GroupSubject
    QString qsWartosc;    // the value, JSON text
    QString qsAutor;      // who wrote it (the name from the settings)
    qint64 iCzasMs = 0;   // when, ms since 1970 UTC
};

/// One object of the archive.
struct TArchiveObiekt
{
    qint64 iObiektId = 0;
    QString qsNazwa;
};

/// One measurement with a value in the compact form read for the whole
/// archive at once (ReadPomiarySkrot).
struct TArchivePomiarSkrot
{
    qint64 id = 0;        // the archive's id
    qint64 iObiektId = 0; // its object
    qint64 czas = 0;      // seconds since 1970 UTC
    double R = 0;         // ohms
    int iMiernik = -1;    // index of its meter's serial
};

/// The newest measurement with a value of one object on one meter.
struct TArchiveOstatniTest
{
    qint64 iObiektId = 0;
    QString qsSerial;
    qint64 czas = 0; // seconds since 1970 UTC
};

/// The newest version of one subject's entry, without what only a
/// version's own history needs (its uuid and author).
struct TArchiveLatest
{
    QString qsPrzedmiot;
    QByteArray wartosc; // UTF-8, as a JSON parser takes it
    qint64 iCzasMs = 0;
};

/// One row of TArchive::ReadHistorie.
struct TArchiveHistoriaRow
{
    qint64 iObiektId = 0;
    THistoriaRow row;
    QString qsMiernik; // the meter's serial
    QString qsSubject; // the measurement's subject in entries (PomiarSubject)
};

/// What Check found.
struct TArchiveCheckResult
{
    QStringList integrity;  // PRAGMA integrity_check lines other than "ok"
    qint64 iRecords = 0;    // raw records checked
    QVector<qint64> damaged; // archive ids whose record failed its check
    bool Ok() const { return integrity.isEmpty() && damaged.isEmpty(); }
};

/// Progress of a long operation: `done` of `total` steps (measurements;
/// `total` is 0 while a folder's databases are still being read). Return
/// false to cancel. Called on the thread that runs the operation.
using TArchiveProgress = std::function<bool(qint64 done, qint64 total)>;

/// The reader's archive. See the notes at the top of this file.
class TArchive
{
public:
    /// The schema this program writes. An archive with a lower version is
    /// upgraded when opened; one with a higher version is refused.
    static constexpr int kSchemaVersion = 4;
    /// Columns of PomiaryModel: hidden archive id, the meter's three
    /// columns, and the meter's serial.
    enum PomiaryColumn { ColumnId = 0, ColumnData = 1, ColumnWynik = 2, ColumnKomentarz = 3, ColumnMiernik = 4 };

    TArchive();
    ~TArchive();
    TArchive(const TArchive &) = delete;
    TArchive &operator=(const TArchive &) = delete;

    // ---- the file
    /// Opens the archive at `path`, creating it (and its folder) when
    /// missing; one that cannot be written is opened read-only (IsReadOnly).
    /// An older archive is upgraded in one transaction; a newer one
    /// (ArchiveTooNew), a file that is no archive (ArchiveOpenFailed) or a
    /// locked one (ArchiveBusy) is left untouched and not opened. An archive
    /// open before is closed first.
    int Open(const QString &path);
    void Close();
    bool IsOpen() const;
    /// Whether the archive was opened for reading only, because the file or
    /// its folder cannot be written: browsing, history, export and the check
    /// work; every write fails with a reason that says so.
    bool IsReadOnly() const;
    /// The open archive's path (as given to Open), empty when none.
    QString Path() const;
    /// The reason of the last failure, for a message box.
    QString LastErrorText() const;
    /// The schema version stored in the open archive.
    int SchemaVersion();
    /// How long a write waits for another program's write to end, in ms
    /// (kArchiveBusyMs unless set); takes effect at once and for later opens.
    void SetBusyTimeoutMs(int ms);

    // ---- import
    /// Imports the meter database `dataBase` (its data files are looked up
    /// beside it) in one transaction. The source is opened read-only and
    /// never written. `*summary` (when given) says what happened, and is
    /// kept in the import log. ArchiveOk also when rows were refused;
    /// ArchiveSourceFailed when nothing could be read (also logged);
    /// ArchiveCancelled leaves the archive as it was, with no log entry.
    int ImportDatabase(const QString &dataBase, TArchiveImportSummary *summary = nullptr,
                       const TArchiveProgress &progress = TArchiveProgress());
    /// Imports every file named zym_5.db under `folder` (subfolders
    /// included, symbolic links not followed), each source on its own: a
    /// source that fails takes nothing and the others go in. The whole
    /// folder is one import of the log; cancelling leaves the archive as it
    /// was before the folder, sources done included.
    int ImportFolder(const QString &folder, TArchiveImportSummary *summary = nullptr,
                     const TArchiveProgress &progress = TArchiveProgress());
    /// Whether imports read their data files ahead on worker threads (the
    /// default) or all on the calling thread: a caller running thousands of
    /// imports of a few rows each (the fuzzing) spends more on starting the
    /// threads than they save. Applies to every archive object.
    static void SetReadAhead(bool on);
    /// The import log, newest first.
    QVector<TArchiveImportLogEntry> ImportLog();
    /// The notes of import `importId`, in the order they were made.
    QVector<TArchiveImportNote> ImportNotes(qint64 importId);

    // ---- browsing
    /// The objects, sorted by name; none, with the reason in `*errorText`
    /// (when given), when they cannot all be read.
    QVector<TArchiveObiekt> Obiekty(QString *errorText = nullptr);
    /// The object list as TDataBase::ObiektyModel gives the meter's: one
    /// column "OBIEKT", each row's id under TDataBase::kObiektIdRole;
    /// nullptr with the reason in `*errorText` when it cannot be read. The
    /// caller owns the model.
    QSqlQueryModel *ObiektyModel(QString *errorText = nullptr);
    /// The archive object named exactly `name`, or 0.
    qint64 ObjectId(const QString &name);
    /// The measurements of object `objectId` as TDataBase::PomiaryModel
    /// gives the meter's (hidden archive id, DATA, WYNIK, KOMENTARZ with
    /// the same texts; the comment is the newest version), plus MIERNIK,
    /// the meter's serial. Time order. The caller owns the model. When not
    /// every row could be read (a damaged archive), `*errorText` (when
    /// given) says so and the model holds the rows read; otherwise
    /// `*errorText` is emptied.
    QSqlQueryModel *PomiaryModel(qint64 objectId, QString *errorText = nullptr);
    /// The row of measurement `id` as the meter stored it, with the newest
    /// comment; `plik_dane` is the meter's file name. `*info` (when given)
    /// gets the rest. False when there is no such measurement (LastErrorText
    /// empty) or it cannot be read (LastErrorText says why).
    bool ReadRow(qint64 id, TPomiarRow *row, TArchivePomiarInfo *info = nullptr);
    /// The raw record of measurement `id`, checked against its SHA-256:
    /// ArchiveOk, ArchiveNotFound (no such measurement, or archived without
    /// record) or ArchiveDamaged. `*rec` changes only on ArchiveOk.
    int ReadRecord(qint64 id, TDataPomiar *rec);
    /// Every measurement of object `objectId` across all downloads and
    /// meters, sorted by time and then archive id. Each row's `id` is the
    /// archive's id (what ReadRow and ReadRecord take), `komentarz` the
    /// newest version; `*meters` (when given) gets the meter's serial per
    /// row. False with the reason when it cannot be read.
    bool ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QStringList *meters = nullptr,
                      QString *errorText = nullptr);
    /// The histories of many objects in one statement, each row as
    /// ReadHistoria gives it with its object, meter and subject in entries;
    /// by object id, then time, then archive id. False with the reason.
    bool ReadHistorie(const QVector<qint64> &objectIds, QVector<TArchiveHistoriaRow> *rows,
                      QString *errorText = nullptr);
    /// Number of measurements in the archive.
    qint64 PomiarCount();

    // ---- the whole archive at once (registers above the objects)
    /// Every measurement with a value (in range, a resistance between
    /// 1e-12 and 1000 ohms, a known time), in the order of their ids;
    /// `*meters` gets the meters' serials the rows' iMiernik index. False
    /// with the reason when it cannot be read.
    bool ReadPomiarySkrot(QVector<TArchivePomiarSkrot> *rows, QStringList *meters, QString *errorText = nullptr);
    /// For every object (and every meter of it, when `perMeter`), the time
    /// of its newest measurement with a value (as ReadPomiarySkrot counts
    /// one) and that measurement's meter. False with the reason.
    bool ReadOstatnieTesty(QVector<TArchiveOstatniTest> *tests, bool perMeter, QString *errorText = nullptr);
    /// The value of the newest entry of kind `rodzaj` about every
    /// measurement that has one, keyed by the archive's measurement id.
    QHash<qint64, QString> LatestPomiarValues(const QString &rodzaj);
    /// The newest entry of kind `rodzaj` about every subject (as
    /// LatestEntry picks it), sorted by subject, in one pass. False with
    /// the reason.
    bool ReadLatestValues(const QString &rodzaj, QVector<TArchiveLatest> *values, QString *errorText = nullptr);

    // ---- comments
    /// Every version of the comment of measurement `id`, oldest first.
    QVector<TArchiveKomentarz> Komentarze(qint64 id);
    /// Saves `text` as the newest version of the comment of measurement
    /// `id`, dated `czas` (seconds since 1970 UTC; -1: now). Nothing is
    /// added when it equals the newest version. ArchiveOk, ArchiveNotFound
    /// or a failure. A meter database is never written.
    int SaveKomentarz(qint64 id, const QString &text, qint64 czas = -1);

    // ---- versioned entries
    /// The subject of measurement `id` in entries: the same for the same
    /// measurement in every archive (its meter, id, time and resistance),
    /// empty when there is no such measurement.
    QString PomiarSubject(qint64 id);
    /// The subject of the object named `name` in entries.
    static QString ObiektSubject(const QString &name);
    /// The subject of a group of objects in entries; `uuid` names the group.
    static QString GroupSubject(const QString &uuid);
    /// The author AddEntry writes (the person's name from the settings).
    void SetAutor(const QString &autor);
    QString Autor() const;
    /// Adds a version of kind `rodzaj` about `przedmiot`, by Autor(), dated
    /// `czasMs` (ms since 1970 UTC; -1: now); `*entry` (when given) gets it
    /// with its new uuid. ArchiveOk or a failure.
    int AddEntry(const QString &rodzaj, const QString &przedmiot, const QString &wartosc,
                 TArchiveEntry *entry = nullptr, qint64 czasMs = -1);
    /// Stores `entry` as it is (uuid, author and time included), as a sync
    /// brings it (though one not yet sent to a server); an entry already
    /// held is left as it is. ArchiveOk or a failure.
    int PutEntry(const TArchiveEntry &entry);
    /// The newest entry of kind `rodzaj` about `przedmiot` (by time, then
    /// uuid, so that every archive picks the same); false when none.
    bool LatestEntry(const QString &rodzaj, const QString &przedmiot, TArchiveEntry *entry);
    /// Every entry of kind `rodzaj` about `przedmiot`, oldest first.
    QVector<TArchiveEntry> Entries(const QString &rodzaj, const QString &przedmiot);
    /// The newest entry of kind `rodzaj` about every subject that has one,
    /// keyed by subject (e.g. every group's members).
    QHash<QString, TArchiveEntry> LatestEntries(const QString &rodzaj);
    /// The newest entry of kind `rodzaj` about each of `przedmioty` that
    /// has one, keyed by subject: a few statements for any number of them.
    QHash<QString, TArchiveEntry> LatestEntries(const QString &rodzaj, const QStringList &przedmioty);
    /// The newest entry of kind `rodzaj` about each measurement of object
    /// `objectId` that has one, keyed by the archive's measurement id.
    QHash<qint64, TArchiveEntry> LatestPomiarEntries(const QString &rodzaj, qint64 objectId);

    // ---- team server (the sync's own calls: archive/archivesync.h)
    /// Measurements (or their records) and entries the team server does not
    /// hold yet, as far as this archive knows.
    qint64 UnsentCount();
    /// When a sync with any server last ended well, ms since 1970 UTC; 0: never.
    qint64 LastSyncMs();

    // ---- check
    /// Runs PRAGMA integrity_check and checks every raw record against its
    /// hash. ArchiveOk when it could run (see `result->Ok()`), ArchiveCancelled,
    /// or a failure.
    int Check(TArchiveCheckResult *result, const TArchiveProgress &progress = TArchiveProgress());

private:
    friend class TArchiveSync;
    struct TPrivate;
    TPrivate *d;
};

// ---- the raw record's packing, for the check and the tests
/// Packs a record: per-channel differences, zigzagged, bit-packed in
/// blocks of 32 rows. Every byte of the image comes back from UnpackRecord.
QByteArray PackRecord(const TDataPomiar *rec);
/// Unpacks PackRecord's bytes into `*rec`; false (and `*rec` unchanged)
/// when they are not a packed record.
bool UnpackRecord(const QByteArray &packed, TDataPomiar *rec);
/// The value of a "komentarz" entry: the comment's text as JSON.
QString KomentarzEntryValue(const QString &text);
/// The text of a "komentarz" entry's value; empty when it holds none.
QString KomentarzFromEntryValue(const QString &value);
/// SHA-256 of the 240080-byte image of `*rec`.
QByteArray RecordSha256(const TDataPomiar *rec);

#endif // TARCHIVE_H
