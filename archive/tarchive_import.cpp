// The import: a meter database (or every one under a folder) read
// read-only, each row checked on its own, its data file read and hashed,
// and the whole lot written to the archive in one transaction. A row or a
// file that is not sound is passed over with its reason; nothing of the
// source is ever written.

#include "archive/tarchive.h"
#include "archive/tarchive_notes.h"
#include "archive/recordsha.h"
#include "archive/tarchive_p.h"

#include "database/meterlayout.h"
#include "database/rowid.h"
#include "database/tdatabase.h"
#include "database/safepath.h"
#include "measurement/datafile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <QThreadPool>
#include <QUrl>
#include <QVariant>
#include <QWaitCondition>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const char kMeterDataBaseName[] = "zym_5.db";
// How far the reading and hashing of data files runs ahead of the writing:
// enough to keep every core busy, little enough to hold (a packed record is
// about 22 kB).
constexpr int kRowsAhead = 16;
std::atomic<bool> gReadAhead{true}; // TArchive::SetReadAhead

// One `pomiar` row as the source holds it, checked.
struct TSourceRow
{
    QString qsId;      // pomiar_id as text, for the notes
    bool bSound = false;
    QString qsProblem; // why not, when not
    qint64 iId = 0;
    qint64 iCzas = 0;
    double R = 0;
    qint32 iMetoda = 0;
    qint32 iStatus = 0;
    QVariant vref, tempCore; // a number or NULL
    QString qsPlik;
    QString qsKomentarz;
    QString qsObiekt;
};

struct TSource
{
    QString qsPath;   // absolute
    QString qsFolder; // FolderOf(qsPath)
    QString qsCanonicalFolder; // the same with links resolved, and a trailing "/"
    bool bReadable = false;
    QString qsProblem;
    TArchiveMeter meter;
    QVector<TSourceRow> rows;
    qint64 iNewest = std::numeric_limits<qint64>::min(); // the time of its newest sound row
};

// SQLite binds a null QString as NULL; the archive's text columns hold ''
// for what the meter left empty or NULL.
QString Text(const QVariant &v)
{
    const QString text = v.toString();
    return text.isNull() ? QStringLiteral("") : text;
}

bool IsNumber(const QVariant &v)
{
    switch (int(v.type())) {
    case QVariant::Int:
    case QVariant::UInt:
    case QVariant::LongLong:
    case QVariant::ULongLong:
    case QVariant::Double:
        return true;
    default:
        return false;
    }
}

// A whole number that fits 32 bits; NULL is `nullValue` when that is allowed.
bool Whole32(const QVariant &v, qint32 *out, bool nullAllowed)
{
    if (v.isNull()) {
        *out = 0;
        return nullAllowed;
    }
    qint64 whole;
    if (!IsNumber(v) || !WholeId(v, &whole) || whole < std::numeric_limits<qint32>::min()
        || whole > std::numeric_limits<qint32>::max())
        return false;
    *out = qint32(whole);
    return true;
}

QString ProblemText(const QString &column, const QVariant &v)
{
    return QStringLiteral("%1 = %2").arg(column, v.isNull() ? QStringLiteral("NULL") : v.toString().left(64));
}

#ifdef Q_OS_LINUX
// Who holds a lock on the file at `path`, as /proc/locks tells it: the
// program's name and its process id; empty when it does not say.
QString LockHolder(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QByteArray inode = ':' + QByteArray::number(quint64(st.st_ino));
    const qint64 self = QCoreApplication::applicationPid();
    // "1: POSIX  ADVISORY  WRITE 4242 08:01:1311 1073741824 1073741825"
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields.at(1) == "->" || !fields.at(5).endsWith(inode))
            continue;
        bool ok = false;
        const qint64 pid = fields.at(4).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == self)
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        const QString name = comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed())
                                                             : QString();
        return name.isEmpty() ? QStringLiteral("pid %1").arg(pid) : QStringLiteral("%1, pid %2").arg(name).arg(pid);
    }
    return QString();
}
#else
QString LockHolder(const QString &) { return QString(); }
#endif

// What is said when another program's write keeps the source locked.
QString LockedText(const QString &path)
{
    const QString holder = LockHolder(path);
    return holder.isEmpty() ? QObject::tr("baza danych jest zablokowana przez inny program")
                            : QObject::tr("baza danych jest zablokowana przez inny program (%1)").arg(holder);
}

QString ProblemOf(const QSqlError &error, const QString &path)
{
    return TDataBase::IsBusyError(error) ? LockedText(path) : error.text();
}

void ReadSourceRows(QSqlDatabase db, TSource *src)
{
    using namespace meterlayout;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // Only plain tables: a view under a meter table's name can make a
    // SELECT run for ever.
    TMeterTables tables;
    QSqlError schemaError;
    if (!tables.Read(db, &schemaError)) {
        src->qsProblem = ProblemOf(schemaError, src->qsPath);
        return;
    }
    src->qsProblem = tables.Problem();
    if (!src->qsProblem.isEmpty())
        return;

    // The meter: every column on its own, so that a missing one is only empty.
    if (tables.IsTable(kZym)) {
        const QSet<QString> columns = TMeterTables::Columns(db, kZym);
        QString *fields[ZymIdentityCount] = {&src->meter.qsSerial, &src->meter.qsHw, &src->meter.qsSoftRpi,
                                             &src->meter.qsSystemRpi, &src->meter.qsFirmware};
        for (int i = 0; i < ZymIdentityCount; ++i) {
            if (columns.contains(QLatin1String(kZymColumns[i])) && query.exec(ZymFirstRowStatement(kZymColumns[i]))
                && query.next())
                *fields[i] = Text(query.value(0));
        }
    }

    src->qsProblem = TMeterTables::ObiektColumnsProblem(TMeterTables::Columns(db, kObiekt));
    if (!src->qsProblem.isEmpty())
        return;
    // Objects by id; an id given twice to different names names neither.
    QHash<qint64, QString> obiekty;
    QSet<qint64> ambiguous;
    if (!query.exec(ObiektyByIdStatement())) {
        src->qsProblem = ProblemOf(query.lastError(), src->qsPath);
        return;
    }
    while (query.next()) {
        qint64 id;
        if (!WholeId(query.value(0), &id) || query.value(1).isNull())
            continue;
        const QString name = query.value(1).toString();
        const auto found = obiekty.constFind(id);
        if (found != obiekty.constEnd() && *found != name)
            ambiguous.insert(id);
        obiekty.insert(id, name);
    }

    const QSet<QString> columns = TMeterTables::Columns(db, kPomiar);
    src->qsProblem = TMeterTables::PomiarColumnsProblem(columns);
    if (!src->qsProblem.isEmpty())
        return;
    if (!query.exec(PomiarRowsStatement(columns))) {
        src->qsProblem = ProblemOf(query.lastError(), src->qsPath);
        return;
    }
    src->bReadable = true;
    while (query.next()) {
        TSourceRow row;
        const QVariant id = query.value(0);
        row.qsId = id.isNull() ? QStringLiteral("NULL") : id.toString().left(64);
        row.qsPlik = Text(query.value(2));
        row.qsKomentarz = Text(query.value(5));
        const QVariant czas = query.value(1), r = query.value(3), obiekt = query.value(9);
        qint32 czas32 = 0;
        qint64 obiektId = 0;
        if (!WholeId(id, &row.iId))
            row.qsProblem = ProblemText(QLatin1String(kPomiarId), id);
        else if (!Whole32(czas, &czas32, false))
            row.qsProblem = ProblemText(QLatin1String(kRowColumns[RowCzas]), czas);
        else if (r.isNull() || !IsNumber(r))
            row.qsProblem = ProblemText(QLatin1String(kRowColumns[RowRezystancja]), r);
        else if (!Whole32(query.value(4), &row.iMetoda, true))
            row.qsProblem = ProblemText(QLatin1String(kRowColumns[RowMetoda]), query.value(4));
        else if (!Whole32(query.value(6), &row.iStatus, true))
            row.qsProblem = ProblemText(QLatin1String(kRowColumns[RowStatus]), query.value(6));
        else if (!WholeId(obiekt, &obiektId) || !obiekty.contains(obiektId))
            row.qsProblem = QObject::tr("brak obiektu %1").arg(obiekt.toString().left(64));
        else if (ambiguous.contains(obiektId))
            row.qsProblem = QObject::tr("obiekt %1 występuje pod różnymi nazwami").arg(obiektId);
        else {
            row.bSound = true;
            row.iCzas = czas32;
            src->iNewest = qMax(src->iNewest, row.iCzas);
            row.R = r.toDouble();
            row.qsObiekt = obiekty.value(obiektId);
            // Kept, not shown: a number or nothing.
            row.vref = IsNumber(query.value(7)) ? QVariant(query.value(7).toDouble()) : QVariant(QVariant::Double);
            row.tempCore = IsNumber(query.value(8)) ? QVariant(query.value(8).toDouble()) : QVariant(QVariant::Double);
        }
        src->rows.append(row);
    }
    if (query.lastError().isValid()) {
        // A file damaged half-way: what was read before stays.
        src->qsProblem = ProblemOf(query.lastError(), src->qsPath);
    }
}

// Reads the whole source before the archive is locked: the meter's share
// may be slow, and a source that cannot be read takes nothing.
TSource ReadSource(const QString &path)
{
    TSource src;
    for (QString *field : {&src.meter.qsSerial, &src.meter.qsHw, &src.meter.qsSoftRpi, &src.meter.qsSystemRpi,
                           &src.meter.qsFirmware})
        *field = QStringLiteral("");
    const QFileInfo info(path);
    src.qsPath = info.absoluteFilePath();
    src.qsFolder = FolderOf(src.qsPath);
    src.qsCanonicalFolder = info.canonicalPath() + QLatin1Char('/');
    // SQLite would wait for ever for the writer of a pipe.
    if (!info.isFile()) {
        src.qsProblem = info.exists() ? QObject::tr("to nie jest zwykły plik") : QObject::tr("brak pliku");
        return src;
    }
    const QString name = UniqueConnectionName("zym-archive-source-");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        // Read-only: the source is the meter's, and an import must never
        // change it, not even by rolling back a journal left behind. A file
        // in WAL mode (bytes 18 and 19 of its header) would get its -wal
        // and -shm files created beside it even so: such a file is read as
        // it lies, without them.
        QFile header(src.qsPath);
        const QByteArray head = header.open(QIODevice::ReadOnly) ? header.read(20) : QByteArray();
        header.close();
        const bool wal = head.size() == 20 && (head.at(18) == 2 || head.at(19) == 2);
        if (wal) {
            db.setDatabaseName(QUrl::fromLocalFile(src.qsPath).toString(QUrl::FullyEncoded)
                               + QStringLiteral("?mode=ro&immutable=1"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        } else {
            db.setDatabaseName(src.qsPath);
            // As patient as the meter's database when it is opened: another
            // program's write makes the import answer as soon, not later.
            db.setConnectOptions(
                QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(TDataBase::kBusyTimeoutMs));
        }
        if (db.open())
            ReadSourceRows(db, &src);
        else
            src.qsProblem = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return src;
}

// The first 8 bytes of the SHA-256 of what names a measurement without a
// record: the meter's serial, its id, the time and the stored resistance.
qint64 RowKey(const QString &serial, const TSourceRow &row)
{
    quint64 bits;
    std::memcpy(&bits, &row.R, sizeof bits);
    const QByteArray text = (serial + QLatin1Char('\x1f') + QString::number(row.iId) + QLatin1Char('\x1f')
                             + QString::number(row.iCzas) + QLatin1Char('\x1f') + QString::number(bits, 16))
                                .toUtf8();
    const QByteArray sha = Sha256(text.constData(), text.size());
    qint64 key;
    std::memcpy(&key, sha.constData(), sizeof key);
    return key;
}


// What can be learnt about a row's data file without the archive: whether
// its name stays inside the folder, whether it is a whole file, and (unless
// the archive is known to hold its record already) its bytes read, hashed
// and packed. Pure file work, so it runs on worker threads while the
// writing goes on.
struct TRowFile
{
    int iReason = 0;    // ReasonOutsideFolder or ReasonDataFileMissing from the name alone
    bool bWhole = false; // a regular file of at least kPomiarFileSize bytes
    bool bRead = false;
    int iRead = DataFileOk; // ReadDataFile's answer, when read
    qint64 size = -1, timeMs = -1; // the file's size (bytes) and time (ms since 1970), -1 unknown
    QByteArray sha, packed;
};

// True when `name` (no folder part) is a regular file, not a link, in the
// database's folder: then it is inside the folder without resolving every
// part of its path, one call instead of a dozen, which is most of what a
// repeated import costs. `out` gets whether it is long enough, its size and time.
bool PlainFileHere(const QString &name, const QString &path, TRowFile *out)
{
#ifdef Q_OS_UNIX
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return false;
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out->bWhole = st.st_size >= kPomiarFileSize;
    out->size = qint64(st.st_size);
    out->timeMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return true;
#else
    Q_UNUSED(name);
    Q_UNUSED(path);
    Q_UNUSED(out);
    return false;
#endif
}

void InspectFile(const TSource &src, const TSourceRow &row, bool read, TRowFile *out)
{
    *out = TRowFile();
    // Only inside the database's folder (a link out of it counts as outside too).
    const QString path = src.qsFolder + row.qsPlik;
    if (row.qsPlik.isEmpty()) {
        out->iReason = ReasonDataFileMissing;
    } else if (!IsSafeRelativeName(row.qsPlik)) {
        out->iReason = ReasonOutsideFolder;
    } else if (PlainFileHere(row.qsPlik, path, out)) {
        // a plain file right in the folder: inside it, size known
    } else {
        const QFileInfo info(path);
        if (info.exists() && !info.canonicalFilePath().startsWith(src.qsCanonicalFolder))
            out->iReason = ReasonOutsideFolder;
        else if ((out->bWhole = info.isFile() && info.size() >= kPomiarFileSize)) {
            out->size = info.size();
            out->timeMs = info.lastModified().toMSecsSinceEpoch();
        }
    }
    if (out->iReason != 0 || !read)
        return;
    // One record per thread for all the files it reads: a fresh 240 kB
    // for every file is as many fresh pages for the system to hand out.
    thread_local std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    out->iRead = ReadDataFile(path, rec.get());
    out->bRead = true;
    if (out->iRead == DataFileOk) {
        out->sha = RecordSha256(rec.get());
        out->packed = PackRecord(rec.get());
    }
}

// Reads, hashes and packs the data files of one source a little ahead of
// the writing, on the other cores: the hash and the packing take most of an
// import, and the writing waits for the disk. A row's work is claimed by
// whoever gets to it first, so the writer never waits for a row that no
// worker has started yet; it does that one itself.
class TFilesAhead
{
public:
    explicit TFilesAhead(const TSource &src)
        : src(src), files(size_t(src.rows.size())), state(size_t(src.rows.size())), read_(size_t(src.rows.size()), 1)
    {
        pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    }
    ~TFilesAhead()
    {
        // Rows not yet started are not wanted any more (a cancel, a failure).
        pool.clear();
        pool.waitForDone();
    }
    // Starts the work on row `i`; `read` false when only the name and size are needed.
    void Start(int i, bool read)
    {
        read_[size_t(i)] = read;
        // A look at the name and size alone is done here: handing it to a
        // worker would cost more than it.
        if (!read) {
            if (Claim(i))
                Work(i);
            return;
        }
        // Without read-ahead Take does the work on the calling thread.
        if (gReadAhead)
            pool.start(new TJob(this, i));
    }
    // Row `i`'s file, done by a worker or here.
    TRowFile &Take(int i)
    {
        if (Claim(i))
            Work(i);
        QMutexLocker lock(&mutex);
        while (state[size_t(i)] != kDone)
            done.wait(&mutex);
        return files[size_t(i)];
    }

private:
    enum { kWaiting = 0, kClaimed = 1, kDone = 2 };
    class TJob : public QRunnable
    {
    public:
        TJob(TFilesAhead *owner, int i) : owner(owner), i(i) {}
        void run() override
        {
            if (owner->Claim(i))
                owner->Work(i);
        }

    private:
        TFilesAhead *owner;
        int i;
    };
    bool Claim(int i)
    {
        int expected = kWaiting;
        return state[size_t(i)].compare_exchange_strong(expected, kClaimed);
    }
    void Work(int i)
    {
        InspectFile(src, src.rows[i], read_[size_t(i)], &files[size_t(i)]);
        QMutexLocker lock(&mutex);
        state[size_t(i)] = kDone;
        done.wakeAll();
    }

    const TSource &src;
    std::vector<TRowFile> files;
    std::vector<std::atomic<int>> state;
    std::vector<char> read_;
    QMutex mutex;
    QWaitCondition done;
    QThreadPool pool; // last: its threads stop before the rest goes
};

} // namespace

// ---- the import proper

namespace {

class TImporter
{
public:
    TImporter(QSqlDatabase db, TArchiveImportSummary *summary) : db(db), s(summary) {}

    QSqlError error;  // the first failing statement
    QString qsLabel;  // what the log names

    bool Begin();
    bool Source(const TSource &src, const TArchiveProgress &progress, qint64 *done, qint64 total, bool *cancelled);
    bool Finish();
    void Rollback() { QSqlQuery(db).exec(QStringLiteral("ROLLBACK")); }

private:
    bool Exec(QSqlQuery &q)
    {
        if (q.exec())
            return true;
        error = q.lastError();
        return false;
    }
    QSqlQuery Prepared(const char *sql)
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QLatin1String(sql));
        return q;
    }
    bool Id(const char *select, const char *insert, const QVariantList &values, qint64 *id);
    bool Row(const TSource &src, qint64 miernikId, qint64 zrodloId, const TSourceRow &row, qint64 key,
             TRowFile *file);
    bool HasRecord(qint64 key, bool *has);
    // The statements run for every row, prepared once an import.
    enum {
        kHasRecord,
        kSameRow,
        kSameSha,
        kInsertPomiar,
        kInsertRekord,
        kInsertKomentarz,
        kMeterSaid,
        kFileSeen,
        kStatements
    };
    QSqlQuery &Cached(int which, const char *sql)
    {
        if (!cached[which]) {
            cached[which].reset(new QSqlQuery(db));
            cached[which]->setForwardOnly(true);
            cached[which]->prepare(QLatin1String(sql));
        }
        return *cached[which];
    }
    std::unique_ptr<QSqlQuery> cached[kStatements];
    bool Insert(qint64 miernikId, qint64 zrodloId, qint64 obiektId, qint64 key, const TSourceRow &row,
                const QByteArray &sha, const QByteArray &packed, const TRowFile *file, qint64 *pomiarId);
    bool AttachRecord(qint64 pomiarId, const QByteArray &sha, const QByteArray &packed);
    // Keeps the size and time of the file a record was taken from.
    bool FileSeen(qint64 pomiarId, const TRowFile &file);
    bool MeterComment(qint64 pomiarId, const QString &komentarz, const QString &lastFromMeter);
    void Note(const TSource &src, const TSourceRow *row, int reason, const QString &detail);

    QSqlDatabase db;
    TArchiveImportSummary *s;
    qint64 iImportId = 0;
    qint64 iNow = 0;
    QHash<QString, qint64> obiekty; // archive ids by name, as looked up
    // What the archive holds under a record's SHA-256, as looked up.
    struct TShaMatch
    {
        qint64 iPomiarId = 0, iObiektId = 0, iMeterPomiarId = 0, iCzas = 0;
        QString qsSerial, qsObiekt;
        double R = 0;
        int iMetoda = 0, iStatus = 0;
    };
    QHash<QByteArray, TShaMatch> shaMatches;
};

bool TImporter::Begin()
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = q.lastError();
        return false;
    }
    iNow = NowSeconds();
    q.prepare(QStringLiteral("INSERT INTO import (czas, zrodlo, nowe, archiwalne, konflikty, odrzucone, bez_rekordu) "
                             "VALUES (?, ?, 0, 0, 0, 0, 0)"));
    q.addBindValue(iNow);
    q.addBindValue(qsLabel);
    if (!Exec(q))
        return false;
    iImportId = q.lastInsertId().toLongLong();
    return true;
}

bool TImporter::Finish()
{
    QSqlQuery q = Prepared("UPDATE import SET nowe = ?, archiwalne = ?, konflikty = ?, odrzucone = ?, bez_rekordu = ? "
                           "WHERE import_id = ?");
    for (int v : {s->iNew, s->iArchived, s->iConflicts, s->iRefused, s->iWithoutRecord})
        q.addBindValue(v);
    q.addBindValue(iImportId);
    if (!Exec(q))
        return false;
    q = Prepared("INSERT INTO import_uwaga (import_id, zrodlo, pomiar, plik, powod, szczegoly) VALUES (?, ?, ?, ?, ?, ?)");
    for (const TArchiveImportNote &n : s->notes) {
        q.addBindValue(iImportId);
        q.addBindValue(Text(n.qsSource));
        q.addBindValue(Text(n.qsPomiarId));
        q.addBindValue(Text(n.qsPlik));
        q.addBindValue(n.iReason);
        q.addBindValue(Text(n.qsDetail));
        if (!Exec(q))
            return false;
    }
    QSqlQuery commit(db);
    if (!commit.exec(QStringLiteral("COMMIT"))) {
        error = commit.lastError();
        return false;
    }
    s->iImportId = iImportId;
    return true;
}

void TImporter::Note(const TSource &src, const TSourceRow *row, int reason, const QString &detail)
{
    TArchiveImportNote n;
    n.qsSource = src.qsPath;
    if (row) {
        n.qsPomiarId = row->qsId;
        n.qsPlik = row->qsPlik;
    }
    n.iReason = reason;
    n.qsDetail = detail;
    s->notes.append(n);
}

bool TImporter::Id(const char *select, const char *insert, const QVariantList &values, qint64 *id)
{
    QSqlQuery q = Prepared(select);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!Exec(q))
        return false;
    if (q.next()) {
        *id = q.value(0).toLongLong();
        return true;
    }
    q = Prepared(insert);
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!Exec(q))
        return false;
    *id = q.lastInsertId().toLongLong();
    return true;
}

bool TImporter::Source(const TSource &src, const TArchiveProgress &progress, qint64 *done, qint64 total,
                       bool *cancelled)
{
    s->sources.append(src.qsPath);
    if (!src.bReadable) {
        Note(src, nullptr, ReasonSourceUnreadable, src.qsProblem);
        ++s->iRefused;
        return true;
    }
    if (!src.qsProblem.isEmpty())
        Note(src, nullptr, ReasonSourceUnreadable, src.qsProblem); // read in part
    const TArchiveMeter &m = src.meter;
    qint64 miernikId = 0, zrodloId = 0;
    if (!Id("SELECT miernik_id FROM miernik WHERE serial = ? AND hw = ? AND soft_rpi = ? AND system_rpi = ? "
            "AND firmware = ?",
            "INSERT INTO miernik (serial, hw, soft_rpi, system_rpi, firmware) VALUES (?, ?, ?, ?, ?)",
            {m.qsSerial, m.qsHw, m.qsSoftRpi, m.qsSystemRpi, m.qsFirmware}, &miernikId)
        || !Id("SELECT zrodlo_id FROM zrodlo WHERE sciezka = ?", "INSERT INTO zrodlo (sciezka) VALUES (?)",
               {src.qsPath}, &zrodloId))
        return false;
    // A file that several rows name is read once, by the first of them: a
    // source whose every row names one file must not cost a reading each.
    const int rows = src.rows.size();
    std::vector<qint64> keys(size_t(rows), 0);
    std::vector<int> sameFileAs(size_t(rows), -1);
    std::vector<char> shared(size_t(rows), 0);
    {
        QHash<QString, int> firstNaming;
        for (int i = 0; i < rows; ++i) {
            const TSourceRow &row = src.rows[i];
            if (!row.bSound)
                continue;
            keys[size_t(i)] = RowKey(src.meter.qsSerial, row);
            if (row.qsPlik.isEmpty())
                continue;
            const auto first = firstNaming.constFind(QDir::cleanPath(row.qsPlik));
            if (first == firstNaming.constEnd()) {
                firstNaming.insert(QDir::cleanPath(row.qsPlik), i);
            } else {
                sameFileAs[size_t(i)] = *first;
                shared[size_t(*first)] = 1;
            }
        }
    }
    // Rows the archive holds with their record already need only their
    // file's name and size; the others are read ahead.
    TFilesAhead ahead(src);
    int started = 0;
    for (int i = 0; i < rows; ++i) {
        if (progress && !progress(*done, total)) {
            *cancelled = true;
            return false;
        }
        for (; started < rows && started <= i + kRowsAhead; ++started) {
            const TSourceRow &next = src.rows[started];
            if (!next.bSound || sameFileAs[size_t(started)] >= 0)
                continue;
            bool archived = false;
            if (!shared[size_t(started)] && !HasRecord(keys[size_t(started)], &archived))
                return false;
            ahead.Start(started, !archived);
        }
        ++*done;
        const TSourceRow &row = src.rows[i];
        TRowFile copy;
        TRowFile *file = nullptr;
        if (sameFileAs[size_t(i)] >= 0) {
            // What the first row found, without the packed bytes: that
            // record is in the archive by now.
            const TRowFile &first = ahead.Take(sameFileAs[size_t(i)]);
            copy.iReason = first.iReason;
            copy.bWhole = first.bWhole;
            copy.bRead = first.bRead;
            copy.iRead = first.iRead;
            copy.size = first.size;
            copy.timeMs = first.timeMs;
            copy.sha = first.sha;
            file = &copy;
        } else if (row.bSound) {
            file = &ahead.Take(i);
        }
        if (!Row(src, miernikId, zrodloId, row, keys[size_t(i)], file))
            return false;
    }
    return true;
}

bool TImporter::HasRecord(qint64 key, bool *has)
{
    QSqlQuery &q = Cached(kHasRecord, "SELECT 1 FROM pomiar WHERE klucz = ? AND sha256 IS NOT NULL LIMIT 1");
    q.bindValue(0, key);
    if (!Exec(q))
        return false;
    *has = q.next();
    q.finish();
    return true;
}

bool TImporter::Row(const TSource &src, qint64 miernikId, qint64 zrodloId, const TSourceRow &row, qint64 key,
                    TRowFile *file)
{
    if (!row.bSound) {
        Note(src, &row, ReasonUnreadableRow, row.qsProblem);
        ++s->iRefused;
        return true;
    }
    // The same meter, id, time and resistance already archived.
    qint64 sameRow = 0;
    bool sameRowHasRecord = false;
    bool sameRowThisImport = false;
    QString sameRowMeterComment;
    qint64 sameRowSize = -1, sameRowTimeMs = -1;
    {
        QSqlQuery &q = Cached(kSameRow, "SELECT p.pomiar_id, p.sha256 IS NOT NULL, p.import_id, p.komentarz_miernika, "
                                        "ifnull(p.plik_rozmiar, -1), ifnull(p.plik_czas_ms, -1) FROM pomiar p "
                                        "JOIN miernik m ON m.miernik_id = p.miernik_id WHERE p.klucz = ? AND m.serial = ? "
                                        "AND p.miernik_pomiar_id = ? AND p.czas = ? AND p.rezystancja = ? "
                                        "ORDER BY p.sha256 IS NULL LIMIT 1");
        q.bindValue(0, key);
        q.bindValue(1, src.meter.qsSerial);
        q.bindValue(2, row.iId);
        q.bindValue(3, row.iCzas);
        q.bindValue(4, row.R);
        if (!Exec(q))
            return false;
        if (q.next()) {
            sameRow = q.value(0).toLongLong();
            sameRowHasRecord = q.value(1).toBool();
            sameRowThisImport = q.value(2).toLongLong() == iImportId;
            sameRowMeterComment = q.value(3).toString();
            sameRowSize = q.value(4).toLongLong();
            sameRowTimeMs = q.value(5).toLongLong();
        }
        q.finish();
    }

    int reason = file->iReason;
    QString detail;
    // Imported again: the archive holds this row with its record already,
    // and the file is as it was then (size and time); its hash need not be
    // taken again. A file touched since is read, and its hash decides.
    if (reason == 0 && sameRow && sameRowHasRecord && file->bWhole && file->size >= 0
        && file->size == sameRowSize && file->timeMs == sameRowTimeMs) {
        ++s->iArchived;
        return MeterComment(sameRow, row.qsKomentarz, sameRowMeterComment);
    }
    if (reason == 0 && !file->bRead) {
        // Passed over ahead as archived, yet it is not (or no longer whole).
        InspectFile(src, row, true, file);
        reason = file->iReason;
    }
    if (reason == 0) {
        switch (file->iRead) {
        case DataFileOk:
            break;
        case DataFileMissing:
            reason = ReasonDataFileMissing;
            break;
        case DataFileShort:
            reason = ReasonDataFileShort;
            break;
        default:
            reason = ReasonDataFileUnreadable;
            break;
        }
    }

    if (reason != 0) {
        if (sameRow) {
            // Archived before, yet what this source holds of it is lacking
            // or damaged: said every time, so that a damaged copy is never
            // taken for a sound one.
            Note(src, &row, reason, QObject::tr("pomiar jest już w archiwum (pomiar %1)").arg(sameRow));
            ++s->iArchived;
            return MeterComment(sameRow, row.qsKomentarz, sameRowMeterComment);
        }
        qint64 obiektId = 0, pomiarId = 0;
        if (!Id("SELECT obiekt_id FROM obiekt WHERE nazwa = ?", "INSERT INTO obiekt (nazwa) VALUES (?)",
                {row.qsObiekt}, &obiektId)
            || !Insert(miernikId, zrodloId, obiektId, key, row, QByteArray(), QByteArray(), nullptr, &pomiarId))
            return false;
        Note(src, &row, reason, detail);
        ++s->iNew;
        ++s->iWithoutRecord;
        return true;
    }

    const QByteArray sha = file->sha;
    qint64 obiektId = obiekty.value(row.qsObiekt);
    if (!obiektId) {
        if (!Id("SELECT obiekt_id FROM obiekt WHERE nazwa = ?", "INSERT INTO obiekt (nazwa) VALUES (?)",
                {row.qsObiekt}, &obiektId))
            return false;
        obiekty.insert(row.qsObiekt, obiektId);
    }
    // The same record archived already: the same measurement, or a conflict.
    auto match = shaMatches.constFind(sha);
    if (match == shaMatches.constEnd()) {
        QSqlQuery &q = Cached(kSameSha, "SELECT p.pomiar_id, p.obiekt_id, m.serial, p.miernik_pomiar_id, p.czas, "
                                        "p.rezystancja, p.metoda, p.status, o.nazwa FROM pomiar p "
                                        "JOIN miernik m ON m.miernik_id = p.miernik_id "
                                        "JOIN obiekt o ON o.obiekt_id = p.obiekt_id WHERE p.sha256 = ?");
        q.bindValue(0, sha);
        if (!Exec(q))
            return false;
        if (q.next()) {
            TShaMatch m;
            m.iPomiarId = q.value(0).toLongLong();
            m.iObiektId = q.value(1).toLongLong();
            m.qsSerial = q.value(2).toString();
            m.iMeterPomiarId = q.value(3).toLongLong();
            m.iCzas = q.value(4).toLongLong();
            m.R = q.value(5).toDouble();
            m.iMetoda = q.value(6).toInt();
            m.iStatus = q.value(7).toInt();
            m.qsObiekt = q.value(8).toString();
            // What an archived row says never changes during an import; a
            // file many rows name is looked up once.
            match = shaMatches.insert(sha, m);
        }
        q.finish();
    }
    if (match != shaMatches.constEnd()) {
        const TShaMatch &m = *match;
        QStringList differ;
        if (m.iObiektId != obiektId)
            differ << QStringLiteral("obiekt: %1 / %2").arg(m.qsObiekt, row.qsObiekt);
        if (m.qsSerial != src.meter.qsSerial)
            differ << QStringLiteral("serial_zym: %1 / %2").arg(m.qsSerial, src.meter.qsSerial);
        if (m.iMeterPomiarId != row.iId)
            differ << QStringLiteral("pomiar_id: %1 / %2").arg(m.iMeterPomiarId).arg(row.iId);
        if (m.iCzas != row.iCzas)
            differ << QStringLiteral("pomiar_czas: %1 / %2").arg(m.iCzas).arg(row.iCzas);
        if (m.R != row.R)
            differ << QStringLiteral("pomiar_rezystancja: %1 / %2").arg(m.R, 0, 'g', 17).arg(row.R, 0, 'g', 17);
        if (m.iMetoda != row.iMetoda)
            differ << QStringLiteral("pomiar_metoda: %1 / %2").arg(m.iMetoda).arg(row.iMetoda);
        if (m.iStatus != row.iStatus)
            differ << QStringLiteral("pomiar_status: %1 / %2").arg(m.iStatus).arg(row.iStatus);
        if (differ.isEmpty()) {
            QSqlQuery q = Prepared("SELECT komentarz_miernika FROM pomiar WHERE pomiar_id = ?");
            q.addBindValue(m.iPomiarId);
            if (!Exec(q))
                return false;
            const QString meterComment = q.next() ? q.value(0).toString() : QString();
            q.finish();
            // The same content under a new time: the next import of it
            // need not read it again.
            if (m.iPomiarId == sameRow && !FileSeen(sameRow, *file))
                return false;
            ++s->iArchived;
            return MeterComment(m.iPomiarId, row.qsKomentarz, meterComment);
        }
        Note(src, &row, ReasonConflict,
             QObject::tr("archiwum (pomiar %1) / źródło: ").arg(m.iPomiarId) + differ.join(QStringLiteral("; ")));
        ++s->iConflicts;
        return true;
    }
    if (file->packed.isEmpty()) {
        // A row that shares its file with an earlier one whose record did
        // not stay (not expected; read rather than lose it).
        InspectFile(src, row, true, file);
        return Row(src, miernikId, zrodloId, row, key, file);
    }
    const QByteArray packed = file->packed;
    file->packed = QByteArray(); // written once, not kept for the rest of the import
    if (sameRow && sameRowHasRecord) {
        // The file changed since its record was archived: the archived
        // record stays, the difference is told.
        Note(src, &row, ReasonConflict,
             QObject::tr("archiwum (pomiar %1) / źródło: ").arg(sameRow) + QObject::tr("plik danych zmieniony od jego archiwizacji"));
        ++s->iConflicts;
        return true;
    }
    if (sameRow) {
        // Archived before without its file; now the file has come along.
        if (!AttachRecord(sameRow, sha, packed) || !FileSeen(sameRow, *file))
            return false;
        // Counted already when this import archived the row (a damaged
        // source can list one row twice, once without its file).
        if (sameRowThisImport)
            --s->iWithoutRecord;
        else
            ++s->iNew;
        return MeterComment(sameRow, row.qsKomentarz, sameRowMeterComment);
    }
    qint64 pomiarId = 0;
    if (!Insert(miernikId, zrodloId, obiektId, key, row, sha, packed, file, &pomiarId))
        return false;
    ++s->iNew;
    return true;
}

bool TImporter::FileSeen(qint64 pomiarId, const TRowFile &file)
{
    if (file.size < 0)
        return true;
    QSqlQuery &q = Cached(kFileSeen, "UPDATE pomiar SET plik_rozmiar = ?, plik_czas_ms = ? WHERE pomiar_id = ?");
    q.bindValue(0, file.size);
    q.bindValue(1, file.timeMs);
    q.bindValue(2, pomiarId);
    return Exec(q);
}

bool TImporter::Insert(qint64 miernikId, qint64 zrodloId, qint64 obiektId, qint64 key, const TSourceRow &row,
                       const QByteArray &sha, const QByteArray &packed, const TRowFile *file, qint64 *pomiarId)
{
    // The file's size and time only beside its record: they say when the
    // record need not be read again.
    const bool seen = file && !packed.isEmpty() && file->size >= 0;
    QSqlQuery &q = Cached(kInsertPomiar,
                          "INSERT INTO pomiar (obiekt_id, miernik_id, import_id, zrodlo_id, miernik_pomiar_id, czas, "
                          "plik, rezystancja, metoda, status, vref, temp_core, komentarz, komentarz_miernika, sha256, "
                          "klucz, plik_rozmiar, plik_czas_ms) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QVariant values[] = {obiektId,       miernikId,     iImportId,     zrodloId,        row.iId, row.iCzas,
                               row.qsPlik,     row.R,         row.iMetoda,   row.iStatus,     row.vref, row.tempCore,
                               row.qsKomentarz, row.qsKomentarz,
                               sha.isEmpty() ? QVariant(QVariant::ByteArray) : QVariant(sha), key,
                               seen ? QVariant(file->size) : QVariant(QVariant::LongLong),
                               seen ? QVariant(file->timeMs) : QVariant(QVariant::LongLong)};
    for (int i = 0; i < int(sizeof values / sizeof values[0]); ++i)
        q.bindValue(i, values[i]);
    if (!Exec(q))
        return false;
    *pomiarId = q.lastInsertId().toLongLong();
    if (!packed.isEmpty()) {
        QSqlQuery &r = Cached(kInsertRekord, "INSERT INTO rekord (pomiar_id, dane) VALUES (?, ?)");
        r.bindValue(0, *pomiarId);
        r.bindValue(1, packed);
        if (!Exec(r))
            return false;
    }
    if (!row.qsKomentarz.isEmpty()) {
        QSqlQuery &c = Cached(kInsertKomentarz,
                              "INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika) VALUES (?, ?, ?, 1)");
        c.bindValue(0, *pomiarId);
        c.bindValue(1, iNow);
        c.bindValue(2, row.qsKomentarz);
        if (!Exec(c))
            return false;
    }
    return true;
}

bool TImporter::AttachRecord(qint64 pomiarId, const QByteArray &sha, const QByteArray &packed)
{
    QSqlQuery q = Prepared("UPDATE pomiar SET sha256 = ? WHERE pomiar_id = ?");
    q.addBindValue(sha);
    q.addBindValue(pomiarId);
    if (!Exec(q))
        return false;
    QSqlQuery r = Prepared("INSERT OR REPLACE INTO rekord (pomiar_id, dane) VALUES (?, ?)");
    r.addBindValue(pomiarId);
    r.addBindValue(packed);
    return Exec(r);
}

// A comment the meter brings again changes nothing, and neither does one
// it said before: an older download imported after a newer one must not
// make the meter's outdated comment current again. Only a text the meter
// never gave this measurement becomes a new version, unless it is already
// the newest (typed the same in the archive). A version edited in the
// archive is never overwritten.
bool TImporter::MeterComment(qint64 pomiarId, const QString &komentarz, const QString &lastFromMeter)
{
    if (komentarz == lastFromMeter)
        return true;
    QSqlQuery &said = Cached(kMeterSaid, "SELECT EXISTS (SELECT 1 FROM komentarz WHERE pomiar_id = ? AND z_miernika = 1 "
                                         "AND tekst = ?), EXISTS (SELECT 1 FROM komentarz WHERE pomiar_id = ? "
                                         "AND z_miernika = 1), komentarz FROM pomiar WHERE pomiar_id = ?");
    said.bindValue(0, pomiarId);
    said.bindValue(1, komentarz);
    said.bindValue(2, pomiarId);
    said.bindValue(3, pomiarId);
    if (!Exec(said) || !said.next())
        return !error.isValid();
    const bool saidBefore = said.value(0).toBool();
    const bool anyFromMeter = said.value(1).toBool();
    const QString newest = said.value(2).toString();
    said.finish();
    if (saidBefore || (komentarz.isEmpty() && !anyFromMeter))
        return true;
    QSqlQuery q = Prepared("UPDATE pomiar SET komentarz_miernika = ? WHERE pomiar_id = ?");
    q.addBindValue(komentarz);
    q.addBindValue(pomiarId);
    if (!Exec(q))
        return false;
    if (komentarz == newest)
        return true;
    if (!anyFromMeter && lastFromMeter.isEmpty()) {
        // The meter had left this measurement without a comment when it was
        // archived, which no version records; kept now, dated when it was
        // archived, so that the empty comment of that download is known too.
        q = Prepared("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika) SELECT p.pomiar_id, "
                     "coalesce(i.czas, ?), '', 1 FROM pomiar p LEFT JOIN import i ON i.import_id = p.import_id "
                     "WHERE p.pomiar_id = ?");
        q.addBindValue(iNow);
        q.addBindValue(pomiarId);
        if (!Exec(q))
            return false;
    }
    q = Prepared("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika) VALUES (?, ?, ?, 1)");
    q.addBindValue(pomiarId);
    q.addBindValue(iNow);
    q.addBindValue(komentarz);
    if (!Exec(q))
        return false;
    q = Prepared("UPDATE pomiar SET komentarz = ? WHERE pomiar_id = ?");
    q.addBindValue(komentarz);
    q.addBindValue(pomiarId);
    return Exec(q);
}

// Every zym_5.db under `folder`, in a fixed order; links are not followed,
// so a link back up cannot make the walk endless.
QStringList MeterDataBasesUnder(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().compare(QLatin1String(kMeterDataBaseName), Qt::CaseInsensitive) == 0)
            found.append(it.fileInfo().absoluteFilePath());
    }
    found.sort();
    return found;
}

} // namespace

namespace {

// ArchiveOk, ArchiveCancelled, or ArchiveSqlFailed with the statement's error in `*error`.
int RunImport(QSqlDatabase db, QSqlError *error, const QString &label, const QVector<TSource> &sources,
              TArchiveImportSummary *summary, const TArchiveProgress &progress)
{
    TArchiveImportSummary local;
    TArchiveImportSummary *s = summary ? summary : &local;
    *s = TArchiveImportSummary();
    qint64 total = 0;
    for (const TSource &src : sources)
        total += src.rows.size();

    TImporter importer(db, s);
    importer.qsLabel = label;
    if (!importer.Begin()) {
        importer.Rollback();
        *s = TArchiveImportSummary();
        *error = importer.error;
        return ArchiveSqlFailed;
    }
    qint64 done = 0;
    bool cancelled = false;
    for (const TSource &src : sources) {
        if (!importer.Source(src, progress, &done, total, &cancelled)) {
            importer.Rollback();
            *s = TArchiveImportSummary();
            if (cancelled)
                return ArchiveCancelled;
            *error = importer.error;
            return ArchiveSqlFailed;
        }
    }
    if (progress)
        progress(done, total);
    if (!importer.Finish()) {
        importer.Rollback();
        *s = TArchiveImportSummary();
        *error = importer.error;
        return ArchiveSqlFailed;
    }
    return ArchiveOk;
}

} // namespace

QString ArchiveNoteCounts(const QVector<TArchiveImportNote> &notes)
{
    QMap<int, int> byReason;
    for (const TArchiveImportNote &note : notes)
        ++byReason[note.iReason];
    QStringList counts;
    for (auto it = byReason.constBegin(); it != byReason.constEnd(); ++it)
        counts << QStringLiteral("%1: %2").arg(ArchiveReasonText(it.key())).arg(it.value());
    return counts.join(QStringLiteral("; "));
}

void TArchive::SetReadAhead(bool on)
{
    gReadAhead = on;
}

int TArchive::ImportDatabase(const QString &dataBase, TArchiveImportSummary *summary, const TArchiveProgress &progress)
{
    if (summary)
        *summary = TArchiveImportSummary();
    if (!IsOpen())
        return ArchiveNotOpen;
    d->qsError.clear();
    const TSource src = ReadSource(dataBase);
    QSqlError error;
    int result = RunImport(d->db, &error, src.qsPath, {src}, summary, progress);
    if (result == ArchiveSqlFailed)
        return d->Fail(error);
    if (result == ArchiveOk && !src.bReadable) {
        d->qsError = QObject::tr("Nie można odczytać bazy danych %1: %2")
                         .arg(QDir::toNativeSeparators(src.qsPath), src.qsProblem);
        return ArchiveSourceFailed;
    }
    return result;
}

int TArchive::ImportFolder(const QString &folder, TArchiveImportSummary *summary, const TArchiveProgress &progress)
{
    if (summary)
        *summary = TArchiveImportSummary();
    if (!IsOpen())
        return ArchiveNotOpen;
    d->qsError.clear();
    const QFileInfo info(folder);
    if (!info.isDir()) {
        d->qsError = QObject::tr("Folder %1 nie istnieje.").arg(QDir::toNativeSeparators(folder));
        return ArchiveSourceFailed;
    }
    const QStringList found = MeterDataBasesUnder(info.absoluteFilePath());
    if (found.isEmpty()) {
        // Nothing to import is no import: said, and not logged.
        d->qsError = QObject::tr("W folderze %1 nie ma bazy danych miernika (%2).")
                         .arg(QDir::toNativeSeparators(info.absoluteFilePath()), QLatin1String(kMeterDataBaseName));
        return ArchiveSourceFailed;
    }
    QVector<TSource> sources;
    for (const QString &path : found) {
        if (progress && !progress(0, 0))
            return ArchiveCancelled;
        sources.append(ReadSource(path));
    }
    // Older downloads first, whatever their folders are called: what the
    // newest download of a meter says of a measurement is said last.
    std::stable_sort(sources.begin(), sources.end(),
                     [](const TSource &a, const TSource &b) { return a.iNewest < b.iNewest; });
    QSqlError error;
    const int result = RunImport(d->db, &error, info.absoluteFilePath(), sources, summary, progress);
    return result == ArchiveSqlFailed ? d->Fail(error) : result;
}
