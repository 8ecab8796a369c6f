#ifndef ARCHIVESYNC_H
#define ARCHIVESYNC_H

#include "archive/tarchive.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>

// The archive's side of a team sync: what waits to be sent and its marks,
// and what a pull brings, taken batch by batch. The server's side (the
// connection, its statements, the turns of its writers) is the sync's own;
// every statement on the archive's tables is here.

/// The content hash of a measurement as the team server holds it: its
/// sixteen exchanged fields in order (klucz, obiekt, serial, hw, soft_rpi,
/// system_rpi, firmware, miernik_pomiar_id, czas, plik, rezystancja,
/// metoda, status, vref, temp_core, komentarz_miernika). Each field goes in
/// as its length and bytes (a NULL as a mark of its own), doubles with every
/// digit, so that no two contents hash alike and every program agrees.
QByteArray PomiarHash(const QVariantList &fields);
/// The content hash of an entry: all but its author, which the server sets.
QByteArray WpisHash(const QVariant &uuid, const QVariant &rodzaj, const QVariant &przedmiot, const QVariant &wartosc,
                    const QVariant &czas);
/// The text of a "komentarz" entry's value; false with the reason when it
/// has none (not JSON, no "tekst", or one that is not a string). An empty
/// text is a text: the comment was cleared.
bool KomentarzEntryText(const QString &value, QString *text, QString *why);

/// A measurement the server may not hold yet.
struct TArchiveUnsentPomiar
{
    qint64 id = 0;       // the archive's id
    QVariantList values; // the sixteen exchanged fields (see PomiarHash)
    bool bOnServer = false; // the row is there, only its record is not
    QByteArray sha, dane;   // the record's SHA-256 and packed bytes (empty: none)
};

/// An entry the server does not hold yet.
struct TArchiveUnsentEntry
{
    qint64 rowid = 0;
    QVariantList values; // uuid, rodzaj, przedmiot, wartosc, autor (texts), czas (ms)
};

/// Where a pull from one server has got to: the last number taken of each
/// of its tables.
struct TArchivePullPlace
{
    qint64 iPomiarNr = 0, iRekordNr = 0, iWpisNr = 0;
};

/// The server's tables a pull takes, in the order it takes them.
enum TArchivePullTable { PullPomiary = 0, PullRekordy = 1, PullWpisy = 2 };

/// What became of one pulled row.
enum TArchivePullOutcome {
    PullTaken = 0,   ///< added to the archive
    PullHeld = 1,    ///< the archive holds it already (now marked as on the server)
    PullRefused = 2, ///< not taken, reason in qsWhy; fetched again by its number next time
    PullLater = 3    ///< a record whose bytes were not fetched and that the archive lacks; fetched again next time
};

/// One row a pull fetched from the server.
struct TArchivePulled
{
    qint64 iNr = 0;       // the server's number
    bool bAgain = false;  // refused before and fetched again by its number
    /// Measurements: the sixteen fields; entries: uuid, rodzaj, przedmiot,
    /// wartosc, autor, czas; records: unused.
    QVariantList values;
    QByteArray hash;      // measurements and entries: their content hash, computed from values
    qint64 klucz = 0;     // records: the measurement's key
    QByteArray sha;       // records: the SHA-256 the server holds
    QByteArray dane;      // records: the packed bytes
    bool bDaneFetched = false; // records: false when the bytes were left out of the fetch
    int iSound = 0;       // records: 1 the bytes were checked against sha, -1 they failed, 0 not checked yet
    int iOutcome = PullTaken; // set by Apply
    /// Set before Apply: refused by the sync's own checks (a broken hash,
    /// a comment without a text); set by Apply for what the archive refuses.
    QString qsWhy;
};

/// Checks a pulled record's bytes against its SHA-256 and sets iSound.
/// Touches nothing but `*row`, so a pull runs it on worker threads.
void CheckPulledRecord(TArchivePulled *row);

/// The sync's access to one open archive. Used on the thread that opened
/// the archive, and only while it stays open.
class TArchiveSync
{
public:
    explicit TArchiveSync(TArchive *archive);
    ~TArchiveSync();
    TArchiveSync(const TArchiveSync &) = delete;
    TArchiveSync &operator=(const TArchiveSync &) = delete;

    /// Why the last call failed (the archive's own wording).
    QString LastErrorText() const;
    /// Whether a sync may write to the archive: false, with the reason, for
    /// one opened read-only, so that nothing is sent before that is known.
    bool CanWrite();

    // ---- push
    /// Up to `maxRows` measurements after archive id `after` whose row or
    /// record the server lacks, in id order, stopping once their records
    /// reach `maxBytes`. False with the reason.
    bool UnsentPomiary(qint64 after, int maxRows, qint64 maxBytes, QVector<TArchiveUnsentPomiar> *rows);
    /// Marks, in one transaction, what the server now holds of each
    /// measurement: 1 its row, 2 also its record. False with the reason.
    bool MarkPomiarySent(const QVector<QPair<qint64, int>> &held);
    /// Up to `maxRows` unsent entries after `after` (rowid), in order.
    bool UnsentEntries(qint64 after, int maxRows, QVector<TArchiveUnsentEntry> *entries);
    /// Marks entries sent, in one transaction; a non-empty author (as the
    /// server wrote it) replaces the archive's.
    bool MarkEntriesSent(const QVector<QPair<qint64, QString>> &sent);

    // ---- pull
    /// Where the last pull from server `serverId` ended. False with the reason.
    bool PullPlace(const QString &serverId, TArchivePullPlace *place);
    /// The numbers of `table`'s rows refused by an earlier pull from
    /// `serverId`, in order: a pull fetches them again before the new ones.
    bool PullRefusedBefore(const QString &serverId, int table, QVector<qint64> *numbers);
    /// Of the measurement keys `klucze`, those whose record the archive
    /// holds already (their bytes need not be fetched nor checked).
    bool RecordsHeld(const QVector<qint64> &klucze, QSet<qint64> *held);
    /// Takes one batch of `table`'s rows in one transaction together with
    /// `place`: each row's outcome (and the reason of a refusal) is set;
    /// refused rows are kept to be fetched again, rows fetched again and
    /// taken are forgotten, comments follow the entries taken, and the
    /// import log names `source` (once per TArchiveSync). `syncedMs` > 0
    /// records a pull that went through (empty `rows` then allowed). False
    /// with the reason, nothing of the batch kept.
    bool ApplyPulled(const QString &serverId, const QString &source, int table, QVector<TArchivePulled> *rows,
                     const TArchivePullPlace &place, qint64 syncedMs = 0);
private:
    struct TPrivate;
    TPrivate *d;
};

#endif // ARCHIVESYNC_H
