// The archive file: opening, creating and upgrading it, browsing, comment
// versions, the import log and the check. The import itself is in
// tarchive_import.cpp.

#include "archive/tarchive.h"
#include "archive/tarchive_p.h"
#include "database/tdatabase.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QUrl>
#include <QUuid>
#include <QVariant>

#include <cstring>
#include <memory>

namespace {

// The columns of a history row, the meter's serial last (HistoriaRowFrom).
const char kHistoriaColumns[] = "p.pomiar_id, p.czas, p.rezystancja, p.status, p.metoda, p.komentarz, p.plik, m.serial";

THistoriaRow HistoriaRowFrom(const QSqlQuery &query)
{
    THistoriaRow row;
    row.id = query.value(0).toLongLong();
    row.czas = query.value(1).toLongLong();
    row.R = query.value(2).toDouble();
    row.status = query.value(3).toInt();
    row.metoda = query.value(4).toInt();
    row.komentarz = query.value(5).toString();
    row.plik = query.value(6).toString();
    return row;
}

// "ZYMA" in the file header: tells the archive from a meter database or any
// other SQLite file, which Open must never turn into an archive.
constexpr qint32 kApplicationId = 0x5A594D41;

// Each step brings the schema from version i to i + 1; all steps needed run
// in one transaction, so an archive is never left half-upgraded.
const char *const kSchemaSteps[] = {
    // 0 -> 1
    "CREATE TABLE miernik (miernik_id INTEGER PRIMARY KEY, serial TEXT NOT NULL, hw TEXT NOT NULL, "
    "soft_rpi TEXT NOT NULL, system_rpi TEXT NOT NULL, firmware TEXT NOT NULL, "
    "UNIQUE (serial, hw, soft_rpi, system_rpi, firmware));"
    "CREATE TABLE obiekt (obiekt_id INTEGER PRIMARY KEY, nazwa TEXT NOT NULL UNIQUE);"
    "CREATE TABLE zrodlo (zrodlo_id INTEGER PRIMARY KEY, sciezka TEXT NOT NULL UNIQUE);"
    "CREATE TABLE import (import_id INTEGER PRIMARY KEY, czas INTEGER NOT NULL, zrodlo TEXT NOT NULL, "
    "nowe INTEGER NOT NULL, archiwalne INTEGER NOT NULL, konflikty INTEGER NOT NULL, "
    "odrzucone INTEGER NOT NULL, bez_rekordu INTEGER NOT NULL);"
    "CREATE TABLE import_uwaga (import_id INTEGER NOT NULL, zrodlo TEXT NOT NULL, pomiar TEXT NOT NULL, "
    "plik TEXT NOT NULL, powod INTEGER NOT NULL, szczegoly TEXT NOT NULL);"
    "CREATE INDEX import_uwaga_import ON import_uwaga (import_id);"
    // klucz: the first 8 bytes of the SHA-256 of the meter's serial, id,
    // time and resistance, for a measurement archived without its record
    // and for the quick look-up when a download is imported again.
    "CREATE TABLE pomiar (pomiar_id INTEGER PRIMARY KEY, obiekt_id INTEGER NOT NULL, "
    "miernik_id INTEGER NOT NULL, import_id INTEGER NOT NULL, zrodlo_id INTEGER NOT NULL, "
    "miernik_pomiar_id INTEGER NOT NULL, czas INTEGER NOT NULL, plik TEXT NOT NULL, "
    "rezystancja REAL NOT NULL, metoda INTEGER NOT NULL, status INTEGER NOT NULL, vref REAL, temp_core REAL, "
    "komentarz TEXT NOT NULL, komentarz_miernika TEXT NOT NULL, sha256 BLOB, klucz INTEGER NOT NULL);"
    "CREATE UNIQUE INDEX pomiar_sha256 ON pomiar (sha256) WHERE sha256 IS NOT NULL;"
    "CREATE INDEX pomiar_klucz ON pomiar (klucz);"
    "CREATE INDEX pomiar_obiekt ON pomiar (obiekt_id, czas);"
    "CREATE TABLE rekord (pomiar_id INTEGER PRIMARY KEY, dane BLOB NOT NULL);"
    "CREATE TABLE komentarz (pomiar_id INTEGER NOT NULL, czas INTEGER NOT NULL, tekst TEXT NOT NULL, "
    "z_miernika INTEGER NOT NULL);"
    "CREATE INDEX komentarz_pomiar ON komentarz (pomiar_id);",
    // 1 -> 2: what people write about measurements, objects and groups,
    // every version kept. An entry is never changed or deleted, so two
    // archives that exchange entries agree on the newest one whatever the
    // order of the exchange.
    "CREATE TABLE wpis (wpis_uuid TEXT PRIMARY KEY, rodzaj TEXT NOT NULL, przedmiot TEXT NOT NULL, "
    "wartosc TEXT NOT NULL, autor TEXT NOT NULL, czas BIGINT NOT NULL);"
    "CREATE INDEX wpis_przedmiot ON wpis (rodzaj, przedmiot, czas);",
    // 2 -> 3: a team server. Comment versions saved here become entries (with
    // their time in ms, no author known), so that they travel with the rest;
    // wyslany says what the server already holds (measurements: 1 the row, 2
    // the row and its record), and serwer where each server's pull left off.
    "ALTER TABLE komentarz ADD COLUMN czas_ms INTEGER;"
    "ALTER TABLE komentarz ADD COLUMN wpis_uuid TEXT;"
    "ALTER TABLE pomiar ADD COLUMN wyslany INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE wpis ADD COLUMN wyslany INTEGER NOT NULL DEFAULT 0;"
    "CREATE TABLE serwer (adres TEXT PRIMARY KEY, pomiar_nr INTEGER NOT NULL, rekord_nr INTEGER NOT NULL, "
    "wpis_nr INTEGER NOT NULL, czas_ms INTEGER NOT NULL);"
    "UPDATE komentarz SET czas_ms = czas * 1000, wpis_uuid = lower(hex(randomblob(4))) || '-' || "
    "lower(hex(randomblob(2))) || '-4' || substr(lower(hex(randomblob(2))), 2) || '-' || "
    "substr('89ab', 1 + abs(random() % 4), 1) || substr(lower(hex(randomblob(2))), 2) || '-' || "
    "lower(hex(randomblob(6))) WHERE z_miernika = 0;"
    "INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) SELECT k.wpis_uuid, 'komentarz', "
    "'p:' || p.klucz, json_object('tekst', k.tekst), '', k.czas_ms FROM komentarz k "
    "JOIN pomiar p ON p.pomiar_id = k.pomiar_id WHERE k.wpis_uuid IS NOT NULL;"
    "CREATE INDEX komentarz_wpis ON komentarz (wpis_uuid);",
    // 3 -> 4: the data file's size (bytes) and time (ms since 1970) when its
    // record was taken, so that importing the same download again reads no
    // file that has not changed since. Unknown (NULL) until then.
    "ALTER TABLE pomiar ADD COLUMN plik_rozmiar INTEGER;"
    "ALTER TABLE pomiar ADD COLUMN plik_czas_ms INTEGER;",
};
static_assert(sizeof(kSchemaSteps) / sizeof(kSchemaSteps[0]) == TArchive::kSchemaVersion,
              "one schema step per version");

// The measurement list with the meter's texts (time in local time, the
// resistance rounded as the meter's list rounds it), then the meter.
const char kPomiaryStatement[] =
    "SELECT p.pomiar_id AS ID, strftime('%Y-%m-%d %H:%M:%S', "
    "datetime(datetime(p.czas, 'unixepoch')),'localtime') AS DATA , "
    "CASE WHEN p.status = -1 THEN 'Poza zakresem' "
    "WHEN typeof(p.rezystancja) NOT IN ('integer', 'real') THEN NULL "
    "WHEN p.rezystancja >= 1000 THEN '\xE2\x88\x9E' "
    "WHEN p.rezystancja >= 100 THEN round(p.rezystancja,0) "
    "WHEN p.rezystancja >= 10 THEN round(p.rezystancja,1) "
    "WHEN p.rezystancja >= 1 THEN round(p.rezystancja,2) "
    "ELSE p.rezystancja END AS WYNIK, "
    "p.komentarz AS KOMENTARZ, m.serial AS MIERNIK FROM pomiar p JOIN miernik m ON m.miernik_id = p.miernik_id "
    "WHERE p.obiekt_id = ? ORDER BY p.czas, p.pomiar_id";

class TObiektyModel : public QSqlQueryModel
{
public:
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return qMin(1, QSqlQueryModel::columnCount(parent));
    }
    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override
    {
        if (role != TDataBase::kObiektIdRole)
            return QSqlQueryModel::data(item, role);
        if (!item.isValid() || item.model() != this)
            return QVariant();
        return QSqlQueryModel::data(createIndex(item.row(), 1), Qt::DisplayRole);
    }
};

// A statement left unfinished keeps a read snapshot open, which would keep
// the WAL file from being checkpointed while the list is shown.
void FetchAll(QSqlQueryModel *model)
{
    while (model->canFetchMore())
        model->fetchMore();
}

bool IsBusy(const QSqlError &error)
{
    // SQLITE_BUSY and SQLITE_LOCKED, as the driver passes them on.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6")
        || error.databaseText().contains(QLatin1String("locked"));
}

} // namespace

QString UniqueConnectionName(const char *prefix)
{
    static QAtomicInt counter;
    return QLatin1String(prefix) + QString::number(counter.fetchAndAddRelaxed(1) + 1);
}

qint64 NowSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

QString ReadOnlyText(const QString &path)
{
    return QObject::tr("Archiwum %1 jest tylko do odczytu; nic nie zostało w nim zapisane.")
        .arg(QDir::toNativeSeparators(path));
}

int TArchive::TPrivate::Fail(const QSqlError &error, int otherwise)
{
    if (IsBusy(error)) {
        qsError = QObject::tr("Archiwum jest zajęte przez inny program (%1). Spróbuj ponownie później.")
                      .arg(error.text());
        return ArchiveBusy;
    }
    const QString code = error.nativeErrorCode();
    // SQLITE_READONLY
    if (code == QLatin1String("8") || (bReadOnly && error.databaseText().contains(QLatin1String("readonly")))) {
        qsError = ReadOnlyText(qsPath);
        return otherwise;
    }
    // SQLITE_CORRUPT, SQLITE_NOTADB: a damaged page. What a read left out
    // must never pass for all there is, so the archive's own check says
    // what else is damaged.
    if (code == QLatin1String("11") || code == QLatin1String("26")) {
        QStringList found;
        QSqlQuery check(db);
        if (check.exec(QStringLiteral("PRAGMA quick_check(5)"))) {
            while (check.next()) {
                const QString line = check.value(0).toString();
                if (line != QLatin1String("ok"))
                    found.append(line);
            }
        }
        qsError = QObject::tr("Archiwum jest uszkodzone: %1").arg(error.text());
        if (!found.isEmpty())
            qsError += QLatin1Char('\n') + QObject::tr("Sprawdzenie archiwum znalazło: %1").arg(found.join(QStringLiteral("; ")));
        return otherwise;
    }
    qsError = error.text();
    return otherwise;
}

bool TArchive::TPrivate::Exec(const QString &sql)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    Fail(query.lastError());
    return false;
}

QString DefaultArchivePath(const QString &programFolder)
{
    QString folder = programFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("DATA/archiwum.db");
}

QString ArchiveReasonText(int reason)
{
    switch (reason) {
    case ReasonDataFileMissing:
        return QObject::tr("brak pliku danych");
    case ReasonDataFileShort:
        return QObject::tr("plik danych jest za krótki");
    case ReasonDataFileUnreadable:
        return QObject::tr("pliku danych nie można odczytać");
    case ReasonOutsideFolder:
        return QObject::tr("plik danych leży poza folderem bazy");
    case ReasonUnreadableRow:
        return QObject::tr("nieczytelny wiersz");
    case ReasonConflict:
        return QObject::tr("konflikt z pomiarem w archiwum");
    case ReasonSourceUnreadable:
        return QObject::tr("nieczytelna baza danych");
    default:
        return QString();
    }
}

TArchive::TArchive() : d(new TPrivate)
{
    d->qsConnection = UniqueConnectionName("zym-archive-");
}

TArchive::~TArchive()
{
    Close();
    delete d;
}

int TArchive::Open(const QString &path)
{
    Close();
    d->qsError.clear();
    const QFileInfo info(path);
    if (!info.exists() && !QDir().mkpath(info.absolutePath())) {
        d->qsError = QObject::tr("Nie można utworzyć folderu %1.").arg(QDir::toNativeSeparators(info.absolutePath()));
        return ArchiveOpenFailed;
    }
    if (info.exists() && !info.isFile()) {
        d->qsError = QObject::tr("%1 nie jest plikiem archiwum.").arg(QDir::toNativeSeparators(path));
        return ArchiveOpenFailed;
    }

    // An archive on a read-only medium, in a folder without write access or
    // itself read-only is still read: browsed, checked, exported from.
    d->bReadOnly = info.isFile() && (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable());
    auto connect = [&](bool immutable) {
        d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->qsConnection);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(d->iBusyMs);
        if (d->bReadOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        if (immutable) {
            options += QStringLiteral(";QSQLITE_OPEN_URI");
            d->db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)
                                  + QStringLiteral("?immutable=1"));
        } else {
            d->db.setDatabaseName(path);
        }
        d->db.setConnectOptions(options);
        return d->db.open();
    };
    if (!connect(false)) {
        const int result = d->Fail(d->db.lastError(), ArchiveOpenFailed);
        Close();
        return result;
    }
    // A WAL archive closed cleanly has no -wal and -shm files, and a
    // folder that cannot be written cannot get them: read the file as it
    // is, which is all of it then.
    if (d->bReadOnly && !QFileInfo::exists(path + QStringLiteral("-wal"))
        && !QSqlQuery(d->db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        Close();
        if (!connect(true)) {
            const int result = d->Fail(d->db.lastError(), ArchiveOpenFailed);
            Close();
            return result;
        }
    }

    // Look before writing anything: switching to WAL or creating a table
    // would change a newer archive or somebody else's database. The look is
    // a read, which an import running in another program does not hold up;
    // only an archive to be created or upgraded takes the write lock, and
    // looks again under it.
    auto refuse = [&](int result) {
        Close();
        return result;
    };
    auto rollback = [&](int result) {
        QSqlQuery(d->db).exec(QStringLiteral("ROLLBACK"));
        return refuse(result);
    };
    QSqlQuery query(d->db);
    for (const bool writing : {false, true}) {
        if (writing && d->bReadOnly) {
            d->qsError = QObject::tr("Archiwum %1 jest tylko do odczytu, a zapisała je starsza wersja programu, "
                                     "więc nie można go uaktualnić.")
                             .arg(QDir::toNativeSeparators(path));
            return refuse(ArchiveOpenFailed);
        }
        if (!query.exec(writing ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")))
            return refuse(d->Fail(query.lastError(), ArchiveOpenFailed));
        qint64 applicationId = -1, version = -1, objects = -1;
        if (query.exec(QStringLiteral("PRAGMA application_id")) && query.next())
            applicationId = query.value(0).toLongLong();
        if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next())
            version = query.value(0).toLongLong();
        if (query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && query.next())
            objects = query.value(0).toLongLong();
        query.finish();
        if (applicationId < 0 || version < 0 || objects < 0
            || (applicationId != kApplicationId && !(applicationId == 0 && objects == 0))) {
            d->qsError = QObject::tr("%1 nie jest plikiem archiwum.").arg(QDir::toNativeSeparators(path));
            return rollback(ArchiveOpenFailed);
        }
        if (applicationId == 0)
            version = 0;
        if (version > kSchemaVersion) {
            d->qsError = QObject::tr("Archiwum %1 zostało zapisane przez nowszą wersję programu (wersja archiwum %2, "
                                     "ten program zna wersję %3). Archiwum nie zostało zmienione.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(version)
                             .arg(kSchemaVersion);
            return rollback(ArchiveTooNew);
        }
        // A read-only archive of the version before is read as it is: the
        // step since adds only what an import keeps to skip unchanged files,
        // and nothing is imported into a read-only archive.
        if (!writing && d->bReadOnly && version == kSchemaVersion - 1) {
            if (!d->Exec(QStringLiteral("COMMIT")))
                return rollback(ArchiveOpenFailed);
            break;
        }
        if (version < kSchemaVersion && writing) {
            for (qint64 step = version; step < kSchemaVersion; ++step) {
                for (const QString &sql :
                     QString::fromLatin1(kSchemaSteps[step]).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                    if (!d->Exec(sql))
                        return rollback(ArchiveOpenFailed);
                }
            }
            if (!d->Exec(QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId))
                || !d->Exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)))
                return rollback(ArchiveOpenFailed);
        }
        if (!d->Exec(QStringLiteral("COMMIT")))
            return rollback(ArchiveOpenFailed);
        if (version == kSchemaVersion)
            break;
    }
    // WAL lets the window read while an import writes; NORMAL syncing
    // still keeps every committed import through a crash of the program.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode")) || !query.next())
        return refuse(d->Fail(query.lastError(), ArchiveOpenFailed));
    const bool wal = query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    query.finish();
    if (!wal && !d->bReadOnly && !query.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        return refuse(d->Fail(query.lastError(), ArchiveOpenFailed));
    query.finish();
    if (!d->bReadOnly)
        d->Exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // An object's history, its sisters' and their entries read the same
    // pages again and again: kept in memory, not copied from the kernel
    // each time. The due list walks the whole object index, some 16 MB at a
    // million measurements, so the cache holds twice that.
    d->Exec(QStringLiteral("PRAGMA cache_size=-32768"));
    d->qsPath = path;
    return ArchiveOk;
}

void TArchive::Close()
{
    if (d->db.isValid()) {
        d->db.close();
        d->db = QSqlDatabase();
        QSqlDatabase::removeDatabase(d->qsConnection);
    }
    d->qsPath.clear();
}

bool TArchive::IsReadOnly() const
{
    return IsOpen() && d->bReadOnly;
}

bool TArchive::IsOpen() const
{
    return d->db.isValid() && d->db.isOpen() && !d->qsPath.isEmpty();
}

QString TArchive::Path() const
{
    return d->qsPath;
}

QString TArchive::LastErrorText() const
{
    return d->qsError;
}

int TArchive::SchemaVersion()
{
    if (!IsOpen())
        return 0;
    QSqlQuery query = d->Query();
    return query.exec(QStringLiteral("PRAGMA user_version")) && query.next() ? query.value(0).toInt() : 0;
}

void TArchive::SetBusyTimeoutMs(int ms)
{
    d->iBusyMs = qMax(0, ms);
    if (IsOpen())
        d->Exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(d->iBusyMs));
}

QVector<TArchiveImportLogEntry> TArchive::ImportLog()
{
    QVector<TArchiveImportLogEntry> log;
    if (!IsOpen())
        return log;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT import_id, czas, zrodlo, nowe, archiwalne, konflikty, odrzucone, "
                                   "bez_rekordu FROM import ORDER BY import_id DESC"))) {
        d->Fail(query.lastError());
        return log;
    }
    while (query.next()) {
        TArchiveImportLogEntry e;
        e.iImportId = query.value(0).toLongLong();
        e.iCzas = query.value(1).toLongLong();
        e.qsSource = query.value(2).toString();
        e.iNew = query.value(3).toInt();
        e.iArchived = query.value(4).toInt();
        e.iConflicts = query.value(5).toInt();
        e.iRefused = query.value(6).toInt();
        e.iWithoutRecord = query.value(7).toInt();
        log.append(e);
    }
    return log;
}

QVector<TArchiveImportNote> TArchive::ImportNotes(qint64 importId)
{
    QVector<TArchiveImportNote> notes;
    if (!IsOpen())
        return notes;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT zrodlo, pomiar, plik, powod, szczegoly FROM import_uwaga "
                                 "WHERE import_id = ? ORDER BY rowid"));
    query.addBindValue(importId);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return notes;
    }
    while (query.next()) {
        TArchiveImportNote n;
        n.qsSource = query.value(0).toString();
        n.qsPomiarId = query.value(1).toString();
        n.qsPlik = query.value(2).toString();
        n.iReason = query.value(3).toInt();
        n.qsDetail = query.value(4).toString();
        notes.append(n);
    }
    return notes;
}

QVector<TArchiveObiekt> TArchive::Obiekty(QString *errorText)
{
    QVector<TArchiveObiekt> obiekty;
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return obiekty;
    }
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT obiekt_id, nazwa FROM obiekt ORDER BY nazwa"))) {
        while (query.next())
            obiekty.append(TArchiveObiekt{query.value(0).toLongLong(), query.value(1).toString()});
    }
    // A read that stopped on a damaged page gives no list at all: part of
    // one would pass for the whole archive.
    if (query.lastError().isValid()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        obiekty.clear();
    }
    return obiekty;
}

QSqlQueryModel *TArchive::ObiektyModel(QString *errorText)
{
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return nullptr;
    }
    QSqlQuery query = d->Query();
    if (!query.exec(QStringLiteral("SELECT nazwa AS OBIEKT, obiekt_id FROM obiekt ORDER BY nazwa"))) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        return nullptr;
    }
    auto model = std::make_unique<TObiektyModel>();
    model->setQuery(query);
    FetchAll(model.get());
    if (model->lastError().isValid()) {
        d->Fail(model->lastError());
        if (errorText)
            *errorText = d->qsError;
        return nullptr;
    }
    model->setHeaderData(0, Qt::Horizontal, QObject::tr("OBIEKT"));
    return model.release();
}

qint64 TArchive::ObjectId(const QString &name)
{
    if (!IsOpen())
        return 0;
    QSqlQuery query = d->Query();
    query.prepare(QStringLiteral("SELECT obiekt_id FROM obiekt WHERE nazwa = ?"));
    query.addBindValue(name);
    return query.exec() && query.next() ? query.value(0).toLongLong() : 0;
}

QSqlQueryModel *TArchive::PomiaryModel(qint64 objectId, QString *errorText)
{
    auto *model = new QSqlQueryModel;
    if (errorText)
        errorText->clear();
    if (IsOpen()) {
        QSqlQuery query = d->Query();
        query.prepare(QString::fromUtf8(kPomiaryStatement));
        query.addBindValue(objectId);
        if (!query.exec()) {
            d->Fail(query.lastError());
            if (errorText)
                *errorText = d->qsError;
        }
        model->setQuery(query);
        FetchAll(model);
        if (model->lastError().isValid()) {
            d->Fail(model->lastError());
            if (errorText)
                *errorText = d->qsError;
        }
    }
    model->setHeaderData(ColumnId, Qt::Horizontal, QObject::tr("ID"));
    model->setHeaderData(ColumnData, Qt::Horizontal, QObject::tr("DATA"));
    model->setHeaderData(ColumnWynik, Qt::Horizontal, QObject::tr("WYNIK"));
    model->setHeaderData(ColumnKomentarz, Qt::Horizontal, QObject::tr("KOMENTARZ"));
    model->setHeaderData(ColumnMiernik, Qt::Horizontal, QObject::tr("MIERNIK"));
    return model;
}

bool TArchive::ReadRow(qint64 id, TPomiarRow *row, TArchivePomiarInfo *info)
{
    d->qsError.clear();
    if (!IsOpen())
        return false;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT p.czas, p.plik, p.rezystancja, p.metoda, p.komentarz, p.status, p.vref, p.temp_core, "
        "p.miernik_pomiar_id, p.obiekt_id, o.nazwa, m.serial, m.hw, m.soft_rpi, m.system_rpi, m.firmware, "
        "z.sciezka, p.import_id, p.sha256 FROM pomiar p JOIN obiekt o ON o.obiekt_id = p.obiekt_id "
        "JOIN miernik m ON m.miernik_id = p.miernik_id JOIN zrodlo z ON z.zrodlo_id = p.zrodlo_id "
        "WHERE p.pomiar_id = ?"));
    query.addBindValue(id);
    if (!query.exec() || !query.next()) {
        if (query.lastError().isValid())
            d->Fail(query.lastError());
        return false;
    }
    row->czas = query.value(0).toInt();
    row->plik_dane = query.value(1).toString();
    row->rezystancja = query.value(2).toDouble();
    row->metoda = query.value(3).toInt();
    row->komentarz = query.value(4).toString();
    row->status = query.value(5).toInt();
    row->vref = query.value(6).toDouble();
    row->temp_core = query.value(7).toDouble();
    if (info) {
        info->iPomiarId = id;
        info->iMeterPomiarId = query.value(8).toLongLong();
        info->iObiektId = query.value(9).toLongLong();
        info->qsObiekt = query.value(10).toString();
        info->meter.qsSerial = query.value(11).toString();
        info->meter.qsHw = query.value(12).toString();
        info->meter.qsSoftRpi = query.value(13).toString();
        info->meter.qsSystemRpi = query.value(14).toString();
        info->meter.qsFirmware = query.value(15).toString();
        info->qsSource = query.value(16).toString();
        info->iImportId = query.value(17).toLongLong();
        info->sha256 = query.value(18).toByteArray();
        info->bRecord = !info->sha256.isEmpty();
    }
    return true;
}

int TArchive::ReadRecord(qint64 id, TDataPomiar *rec)
{
    if (!IsOpen())
        return ArchiveNotOpen;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT p.sha256, r.dane FROM pomiar p JOIN rekord r ON r.pomiar_id = p.pomiar_id "
                                 "WHERE p.pomiar_id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return d->Fail(query.lastError());
    if (!query.next()) {
        if (query.lastError().isValid())
            return d->Fail(query.lastError());
        d->qsError = QObject::tr("Pomiar %1 nie ma w archiwum zapisu z pliku danych.").arg(id);
        return ArchiveNotFound;
    }
    const QByteArray sha = query.value(0).toByteArray();
    std::unique_ptr<TDataPomiar> unpacked(new TDataPomiar);
    if (!UnpackRecord(query.value(1).toByteArray(), unpacked.get()) || RecordSha256(unpacked.get()) != sha) {
        d->qsError = QObject::tr("Zapis pomiaru %1 w archiwum jest uszkodzony (nie zgadza się jego suma SHA-256).")
                         .arg(id);
        return ArchiveDamaged;
    }
    std::memcpy(static_cast<void *>(rec), unpacked.get(), sizeof(TDataPomiar));
    return ArchiveOk;
}

bool TArchive::ReadHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QStringList *meters, QString *errorText)
{
    rows->clear();
    if (meters)
        meters->clear();
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return false;
    }
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM pomiar p JOIN miernik m ON m.miernik_id = p.miernik_id "
                                 "WHERE p.obiekt_id = ? ORDER BY p.czas, p.pomiar_id")
                      .arg(QLatin1String(kHistoriaColumns)));
    query.addBindValue(objectId);
    if (!query.exec()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        return false;
    }
    while (query.next()) {
        rows->append(HistoriaRowFrom(query));
        if (meters)
            meters->append(query.value(7).toString());
    }
    if (query.lastError().isValid()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        rows->clear();
        if (meters)
            meters->clear();
        return false;
    }
    return true;
}

bool TArchive::ReadHistorie(const QVector<qint64> &objectIds, QVector<TArchiveHistoriaRow> *rows, QString *errorText)
{
    rows->clear();
    if (!IsOpen()) {
        if (errorText)
            *errorText = QObject::tr("Archiwum nie jest otwarte.");
        return false;
    }
    if (objectIds.isEmpty())
        return true;
    // The ids are numbers: written into the statement, however many there are.
    QStringList ids;
    for (qint64 id : objectIds)
        ids << QString::number(id);
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1, p.obiekt_id, 'p:' || p.klucz FROM pomiar p JOIN miernik m "
                                   "ON m.miernik_id = p.miernik_id WHERE p.obiekt_id IN (%2) "
                                   "ORDER BY p.obiekt_id, p.czas, p.pomiar_id")
                        .arg(QLatin1String(kHistoriaColumns), ids.join(QLatin1Char(','))))) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        return false;
    }
    while (query.next()) {
        TArchiveHistoriaRow r;
        r.row = HistoriaRowFrom(query);
        r.qsMiernik = query.value(7).toString();
        r.iObiektId = query.value(8).toLongLong();
        r.qsSubject = query.value(9).toString();
        rows->append(r);
    }
    if (query.lastError().isValid()) {
        d->Fail(query.lastError());
        if (errorText)
            *errorText = d->qsError;
        rows->clear();
        return false;
    }
    return true;
}

qint64 TArchive::PomiarCount()
{
    if (!IsOpen())
        return 0;
    QSqlQuery query = d->Query();
    return query.exec(QStringLiteral("SELECT count(*) FROM pomiar")) && query.next() ? query.value(0).toLongLong() : 0;
}

QVector<TArchiveKomentarz> TArchive::Komentarze(qint64 id)
{
    QVector<TArchiveKomentarz> versions;
    if (!IsOpen())
        return versions;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT czas, tekst, z_miernika FROM komentarz WHERE pomiar_id = ? ORDER BY rowid"));
    query.addBindValue(id);
    if (!query.exec()) {
        d->Fail(query.lastError());
        return versions;
    }
    while (query.next())
        versions.append(TArchiveKomentarz{query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toBool()});
    return versions;
}

int TArchive::SaveKomentarz(qint64 id, const QString &text, qint64 czas)
{
    if (!IsOpen())
        return ArchiveNotOpen;
    const qint64 czasMs = czas < 0 ? QDateTime::currentMSecsSinceEpoch() : czas * 1000;
    czas = czasMs / 1000;
    QSqlQuery query = d->Query();
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return d->Fail(query.lastError());
    auto fail = [&](const QSqlError &error) {
        const int result = d->Fail(error);
        QSqlQuery(d->db).exec(QStringLiteral("ROLLBACK"));
        return result;
    };
    query.prepare(QStringLiteral("SELECT komentarz FROM pomiar WHERE pomiar_id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return fail(query.lastError());
    if (!query.next()) {
        query.finish();
        QSqlQuery(d->db).exec(QStringLiteral("ROLLBACK"));
        d->qsError = QObject::tr("Pomiaru %1 nie ma w archiwum.").arg(id);
        return ArchiveNotFound;
    }
    const bool same = query.value(0).toString() == text;
    query.finish();
    if (!same) {
        // The version is also an entry, which a sync takes to the server.
        TArchiveEntry entry;
        entry.qsUuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        entry.qsRodzaj = QStringLiteral("komentarz");
        entry.qsPrzedmiot = PomiarSubject(id);
        entry.qsWartosc = KomentarzEntryValue(text);
        entry.qsAutor = d->qsAutor;
        entry.iCzasMs = czasMs;
        if (PutEntry(entry) != ArchiveOk) {
            QSqlQuery(d->db).exec(QStringLiteral("ROLLBACK"));
            return ArchiveSqlFailed;
        }
        query.prepare(QStringLiteral("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika, czas_ms, wpis_uuid) "
                                     "VALUES (?, ?, ?, 0, ?, ?)"));
        query.addBindValue(id);
        query.addBindValue(czas);
        query.addBindValue(text);
        query.addBindValue(czasMs);
        query.addBindValue(entry.qsUuid);
        if (!query.exec())
            return fail(query.lastError());
        query.prepare(QStringLiteral("UPDATE pomiar SET komentarz = ? WHERE pomiar_id = ?"));
        query.addBindValue(text);
        query.addBindValue(id);
        if (!query.exec())
            return fail(query.lastError());
    }
    if (!query.exec(QStringLiteral("COMMIT")))
        return fail(query.lastError());
    return ArchiveOk;
}

int TArchive::Check(TArchiveCheckResult *result, const TArchiveProgress &progress)
{
    *result = TArchiveCheckResult();
    if (!IsOpen())
        return ArchiveNotOpen;
    QSqlQuery query = d->Query();
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
        return d->Fail(query.lastError());
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok"))
            result->integrity.append(line);
    }
    qint64 total = 0;
    if (query.exec(QStringLiteral("SELECT count(*) FROM rekord")) && query.next())
        total = query.value(0).toLongLong();
    // The hash and the packed record of every measurement, in one read
    // snapshot: an import committed meanwhile is checked next time.
    // A page the integrity check found damaged may stop this read: that is
    // one more finding, not a check that could not run.
    auto finding = [&](const QSqlError &error) {
        if (IsBusy(error) || result->integrity.isEmpty())
            return d->Fail(error);
        result->integrity.append(error.text());
        return int(ArchiveOk);
    };
    if (!query.exec(QStringLiteral("SELECT p.pomiar_id, p.sha256, r.dane FROM pomiar p "
                                   "LEFT JOIN rekord r ON r.pomiar_id = p.pomiar_id "
                                   "WHERE p.sha256 IS NOT NULL OR r.pomiar_id IS NOT NULL")))
        return finding(query.lastError());
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    while (query.next()) {
        if (progress && !progress(result->iRecords, total))
            return ArchiveCancelled;
        ++result->iRecords;
        const QByteArray sha = query.value(1).toByteArray();
        if (sha.isEmpty() || !UnpackRecord(query.value(2).toByteArray(), rec.get()) || RecordSha256(rec.get()) != sha)
            result->damaged.append(query.value(0).toLongLong());
    }
    if (query.lastError().isValid())
        return finding(query.lastError());
    if (progress)
        progress(result->iRecords, total);
    return ArchiveOk;
}
