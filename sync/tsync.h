#ifndef TSYNC_H
#define TSYNC_H

#include "archive/tarchive.h"
#include "historia/historia.h"

#include <QString>
#include <QStringList>
#include <QVector>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

// The team server: the same archive on PostgreSQL (or, for a shared folder
// and the tests, on an SQLite file), which every local archive exchanges
// its measurements and entries with. A sync is a union: measurements are
// immutable and keyed by their identity (the archive's klucz), raw records
// by that key and their SHA-256, entries by their uuid; nothing on either
// side is ever updated or deleted by a sync, so running it twice changes
// nothing and the order in which laptops sync does not matter.

/// How to reach the server: ZYMReader.ini [Serwer].
struct TServerSettings
{
    QString qsDriver = QStringLiteral("QPSQL"); // QPSQL, or QSQLITE with qsDatabase a file
    QString qsHost;       // empty: no server set up
    int iPort = 5432;
    QString qsDatabase;
    QString qsUser;
    QString qsPassword;   // empty: libpq looks in the user's .pgpass
    /// Passed to libpq as it is (disable, prefer, require, verify-full, ...).
    /// Empty: verify-full for a server elsewhere, prefer on this computer
    /// (see EffectiveSslMode); PGSSLMODE, when set, is left to libpq.
    QString qsSslMode;
    /// This computer as the server records it beside each row it sends
    /// (default: its host name).
    QString qsLaptop;
    int iConnectTimeoutS = 5;
    /// A server that sends nothing for this long while an answer is due is
    /// taken for gone: the sync stops and says so.
    int iSilentS = 10;
    /// Whether enough is set to try a connection.
    bool IsSet() const;
    /// host:port/database (or the file), for messages and the import log.
    QString Address() const;
};

/// The sslmode a connection to `host` uses when the settings name none:
/// verify-full (encrypted, the server's certificate checked against the
/// name) for any host that is not this computer, prefer on loopback; empty
/// when `configured` names one or PGSSLMODE is set (libpq takes those).
QString EffectiveSslMode(const QString &host, const QString &configured);

/// Whether libpq finds a password for `server` by itself: PGPASSWORD, or a
/// matching line of the password file (PGPASSFILE, else ~/.pgpass, or
/// %APPDATA%\postgresql\pgpass.conf on Windows).
bool PasswordFileHas(const TServerSettings &server);

/// Reads [Serwer] host, port, database, user, password, sslmode (and
/// driver, for an SQLite file). The password is taken whole, as written
/// after `password=`: commas, semicolons and quotes are part of it.
TServerSettings ReadServerSettings(QSettings &settings);

/// Result codes of a sync: 0 success, 1 cancelled, negative failures; the
/// reason of a failure is in TSync::LastErrorText().
enum TSyncResult {
    SyncOk = 0,
    SyncCancelled = 1,        ///< stopped by the progress callback; what was committed stays, nothing is half-done
    SyncPartly = 2,           ///< done, but some rows were refused (TSyncSummary::refused); each is tried again next time
    SyncNotConfigured = -1,   ///< no server in the settings
    SyncConnectFailed = -2,   ///< no connection (not there, wrong password, refused)
    SyncServerTooNew = -3,    ///< the server's schema is newer than this program; nothing was changed
    SyncConnectionLost = -4,  ///< the connection broke (or the server fell silent) during the sync; the next sync starts again
    SyncServerFailed = -5,    ///< the server refused a statement (no right to it, a time-out, a limit); named in the text
    SyncArchiveFailed = -6    ///< the local archive could not be opened or written
};

/// What a sync did.
struct TSyncSummary
{
    // What the other side took: a row it already held is not counted.
    qint64 iPushedPomiary = 0, iPushedRekordy = 0, iPushedWpisy = 0;
    qint64 iPulledPomiary = 0, iPulledRekordy = 0, iPulledWpisy = 0;
    qint64 iSkipped = 0; // server rows the local archive refused (conflicting, damaged, malformed)
    /// One line per row refused on either side, with the reason; such a row
    /// is sent or fetched again by the next sync.
    QStringList refused;
};

/// Who wrote to the server from where: one person's login role on one
/// laptop (both empty for rows written before the server kept them).
struct TSyncWriter
{
    QString qsRola, qsLaptop;
    qint64 iPomiary = 0, iRekordy = 0, iWpisy = 0;
    qint64 iOstatniMs = 0; ///< the server's time of the last row, ms since the epoch (0: not known)
};

/// Steps of a sync, for the progress text.
enum TSyncPhase { SyncConnecting = 0, SyncPushing = 1, SyncPulling = 2 };

/// Progress: `done` of `total` in `phase`; return false to cancel.
using TSyncProgress = std::function<bool(int phase, qint64 done, qint64 total)>;

class TSync
{
public:
    /// The server schema this program writes and reads.
    static constexpr int kServerSchemaVersion = 2;

    TSync();
    ~TSync();
    TSync(const TSync &) = delete;
    TSync &operator=(const TSync &) = delete;

    /// Connects (a few seconds at most), sets the session to UTC, and creates
    /// or upgrades the server's schema; a newer one is refused.
    int Connect(const TServerSettings &server);
    void Disconnect();
    bool IsConnected() const;
    /// The server's schema version (after Connect).
    int ServerSchemaVersion();

    /// Pushes what the server lacks, then pulls what the archive at
    /// `archivePath` lacks. An archive that cannot be written is refused
    /// before anything is sent. Connects first when not connected, and
    /// always ends disconnected after a lost connection.
    int Run(const TServerSettings &server, const QString &archivePath, TSyncSummary *summary = nullptr,
            const TSyncProgress &progress = TSyncProgress());

    /// An object's history as the server holds it, across every laptop:
    /// time order; each row's id is the server's number. False with the
    /// reason when it cannot be read.
    bool ReadHistoria(const QString &obiekt, QVector<THistoriaRow> *rows, QStringList *meters = nullptr);

    /// What each person sent from each laptop and when last, by login
    /// role, then laptop (after Connect). False with the reason.
    bool ReadWriters(QVector<TSyncWriter> *writers);

    QString LastErrorText() const;

    /// The server's tables, for `driver` (QPSQL or QSQLITE): one text for
    /// both, with the few types that differ filled in.
    static QStringList ServerSchema(const QString &driver);

private:
    struct TPrivate;
    TPrivate *d;
};

#endif // TSYNC_H
