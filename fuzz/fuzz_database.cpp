// fuzz_database: any bytes as the meter's database, read the way the reader
// browses one: the object list, each object's measurements, every listed
// measurement's row and data file, and the meter's ZYM table; then imported
// into an archive, twice. Nothing may crash, hang or write: the file must
// hold the same bytes afterwards and no file may appear beside it. The
// archive must pass its check, hold only records of files inside the
// folder, and the second import must add nothing.
//
// Built three times (ZYM_FUZZ_ROADS): fuzz_database takes both roads with
// every check, for the short runs of the tests; fuzz_meterdb only browses,
// and fuzz_import only imports, once, into an archive in memory, with the
// lighter checks that let a long run try many more inputs a second.
//
// The database's folder holds a small fixed set of data files under the
// names the simulated meter and the tests give them, and one file just
// outside the folder that no row may ever reach.

#include "fuzz/fuzzsupport.h"

#include "archive/tarchive.h"
#include "database/safepath.h"
#include "database/tdatabase.h"
#include "measurement/datafile.h"
#include "measurement/tdatapomiar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStringList>

#include <cstdint>
#include <cstring>
#include <memory>

#ifndef ZYM_FUZZ_ROADS
#define ZYM_FUZZ_ROADS 3
#endif

namespace {

constexpr bool kMeterRoad = (ZYM_FUZZ_ROADS & 1) != 0;
constexpr bool kImportRoad = (ZYM_FUZZ_ROADS & 2) != 0;
constexpr bool kEveryCheck = kMeterRoad && kImportRoad;

// Bounds on what one input may make the harness walk through; a database
// can list any number of rows, and the checks must stay quick.
constexpr int kMaxObjects = 32;
constexpr int kMaxMeasurements = 64; // over all objects of one input

const char *const kZymColumns[] = {"serial_zym", "hw", "soft_rpi", "system_rpi", "firmware_cortex",
                                   "info", "u1_offset", "u2_offset", "i_offset"};

QString gFolder;   // the database's folder, with a trailing "/"
QString gArchive; // the archive the input is imported into, outside the folder
QString gDataBase; // gFolder + "zym_5.db"
QStringList gListing; // what the folder holds before every input
std::unique_ptr<TDataPomiar> gOutside; // the record outside the folder
std::unique_ptr<TDataPomiar> gBefore;  // the record loaded before LoadPomiar

// A recognisable measurement: a pulse whose height and the fill of every
// other field depend on `tag`.
void MakeRecord(int tag, TDataPomiar *rec)
{
    std::memset(rec, 0, sizeof(TDataPomiar));
    rec->metoda = tag % 2 ? 0x80 : 0;
    rec->kanalI = 2;
    rec->kanalU = 1;
    for (int c = 0; c < kPomiarChannels; ++c)
        rec->skala[c] = 0.001 * (c + 1);
    rec->rezystancja = 0.01 * tag;
    rec->czas = 1600000000 + tag;
    for (int r = 0; r < kPomiarRows; ++r) {
        const int i = r >= 1050 && r < 1900 ? 100 * tag : 0;
        rec->dane[r][0] = kOffset03 + i / 10;
        rec->dane[r][1] = kOffset14 + i / 4;
        rec->dane[r][2] = i;
        rec->dane[r][3] = kOffset03;
        rec->dane[r][4] = kOffset14;
        rec->dane[r][5] = i / 10;
    }
}

void WriteRecord(const QString &path, int tag, qint64 bytes = kPomiarFileSize, const QByteArray &tail = QByteArray())
{
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    MakeRecord(tag, rec.get());
    QByteArray image(reinterpret_cast<const char *>(rec.get()), int(bytes));
    image += tail;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !fuzzsupport::WriteBytes(path, image.constData(), image.size())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

QStringList Listing()
{
    QStringList names;
    QDir dir(gFolder);
    for (const QFileInfo &info : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                   QDir::Name))
        names << info.fileName() + QLatin1Char(':') + QString::number(info.isDir() ? 0 : info.size());
    return names;
}

// Fetches what a view would show of `model`, up to `limit` rows.
int FetchRows(QSqlQueryModel *model, int limit)
{
    while (model->rowCount() < limit && model->canFetchMore())
        model->fetchMore();
    return qMin(model->rowCount(), limit);
}

void CheckLoadPomiar(TDataBase &baza, int id)
{
    std::memcpy(gBefore.get(), &baza.Pomiar, sizeof(TDataPomiar));
    const int result = baza.LoadPomiar(id);
    if (id < 0) {
        FUZZ_CHECK(result == id);
        FUZZ_CHECK(std::memcmp(&baza.Pomiar, gBefore.get(), sizeof(TDataPomiar)) == 0);
        return;
    }
    FUZZ_CHECK(result == TDataBase::LoadPomiarOk || result == TDataBase::LoadPomiarMissing
               || result == TDataBase::LoadPomiarAmbiguous);
    if (result != TDataBase::LoadPomiarOk) {
        FUZZ_CHECK(std::memcmp(&baza.Pomiar, gBefore.get(), sizeof(TDataPomiar)) == 0);
        return;
    }
    // What was loaded is the first record of a file inside the folder, the
    // one the row names.
    FUZZ_CHECK(IsSafeRelativeName(baza.Row.plik_dane));
    // The folder's files never change (every input checks its listing):
    // each name is resolved and its file read once for the run, not once
    // for every row that names it.
    static const QString folder = QFileInfo(gFolder).canonicalFilePath() + QLatin1Char('/');
    static QHash<QString, QByteArray> files;
    auto known = files.find(baza.Row.plik_dane);
    if (known == files.end()) {
        const QString path = QFileInfo(gFolder + baza.Row.plik_dane).canonicalFilePath();
        FUZZ_CHECK(path.startsWith(folder));
        known = files.insert(baza.Row.plik_dane, fuzzsupport::ReadBytes(path));
    }
    const QByteArray &file = known.value();
    FUZZ_CHECK(file.size() >= kPomiarFileSize);
    FUZZ_CHECK(std::memcmp(&baza.Pomiar, file.constData(), sizeof(TDataPomiar)) == 0);
    FUZZ_CHECK(std::memcmp(&baza.Pomiar, gOutside.get(), sizeof(TDataPomiar)) != 0);

    // The result texts of the row, as the display shows them.
    for (int definition : {WynikR, WynikCzas, WynikMetoda, WynikKomentarz})
        baza.WynikFromBase(definition);
}

void Browse(TDataBase &baza)
{
    QString error;
    std::unique_ptr<QSqlQueryModel> objects(baza.ObiektyModel(&error));
    if (!objects)
        return;
    const int objectRows = FetchRows(objects.get(), kMaxObjects);
    int measurements = 0;
    for (int o = 0; o < objectRows && measurements < kMaxMeasurements; ++o) {
        const QString name = objects->data(objects->index(o, 0)).toString();
        const int objectId = baza.ObjectId(name);
        std::unique_ptr<QSqlQueryModel> pomiary(baza.PomiaryModel(objectId));
        FUZZ_CHECK(pomiary != nullptr);
        const int rows = FetchRows(pomiary.get(), kMaxMeasurements - measurements);
        for (int r = 0; r < rows; ++r, ++measurements) {
            for (int c = 1; c < pomiary->columnCount(); ++c)
                pomiary->data(pomiary->index(r, c)); // DATA, WYNIK, KOMENTARZ as the table shows them
            CheckLoadPomiar(baza, pomiary->data(pomiary->index(r, 0)).toInt());
        }
    }
}

// The checks every import gets: its answer, its counts against what the
// archive holds, and no record from outside the folder.
void CheckImport(TArchive *archive, int result, const TArchiveImportSummary &summary)
{
    FUZZ_CHECK(result == ArchiveOk || result == ArchiveSourceFailed);
    FUZZ_CHECK(summary.iWithoutRecord <= summary.iNew);
    FUZZ_CHECK(archive->PomiarCount() == summary.iNew);
}

// Both roads: a fresh archive file for each input, its full check, every
// record read back, and a second import that must add nothing.
void ImportChecked()
{
    static TArchive *archive = new TArchive;
    archive->Close();
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(gArchive + QLatin1String(suffix));
    FUZZ_CHECK(archive->Open(gArchive) == ArchiveOk);
    TArchiveImportSummary first, second;
    const int result = archive->ImportDatabase(gDataBase, &first);
    CheckImport(archive, result, first);
    TArchiveCheckResult check;
    FUZZ_CHECK(archive->Check(&check) == ArchiveOk && check.Ok());
    FUZZ_CHECK(check.iRecords == first.iNew - first.iWithoutRecord);
    for (const TArchiveObiekt &obiekt : archive->Obiekty()) {
        QVector<THistoriaRow> rows;
        FUZZ_CHECK(archive->ReadHistoria(obiekt.iObiektId, &rows));
        for (const THistoriaRow &row : rows) {
            const int read = archive->ReadRecord(row.id, gBefore.get());
            FUZZ_CHECK(read == ArchiveOk || read == ArchiveNotFound);
            if (read == ArchiveOk)
                FUZZ_CHECK(std::memcmp(gBefore.get(), gOutside.get(), sizeof(TDataPomiar)) != 0);
        }
    }
    FUZZ_CHECK(archive->ImportDatabase(gDataBase, &second) == result);
    FUZZ_CHECK(second.iNew == 0);
    FUZZ_CHECK(archive->PomiarCount() == first.iNew);
}

// The import road alone, many inputs a second: one archive in memory for
// the run, opened once (its schema made once) and emptied before every
// input through a second connection to the same memory, which also looks at
// what the import wrote: as many records as the counts say, none of them
// the one outside the folder (by its SHA-256, the archive's own key).
void ImportQuick()
{
    static TArchive *archive = nullptr;
    static QSqlDatabase view;
    static QStringList tables;
    static QByteArray outsideSha;
    if (!archive) {
        // Two threads started for every import would cost more than the import.
        TArchive::SetReadAhead(false);
        archive = new TArchive;
        FUZZ_CHECK(archive->Open(gArchive) == ArchiveOk);
        view = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz-archive-view"));
        view.setDatabaseName(gArchive);
        view.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        FUZZ_CHECK(view.open());
        QSqlQuery names(view);
        FUZZ_CHECK(names.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")));
        while (names.next())
            tables << names.value(0).toString();
        FUZZ_CHECK(tables.contains(QStringLiteral("pomiar")) && tables.contains(QStringLiteral("rekord")));
        outsideSha = RecordSha256(gOutside.get());
    }
    QSqlQuery query(view);
    FUZZ_CHECK(query.exec(QStringLiteral("BEGIN")));
    for (const QString &table : tables)
        FUZZ_CHECK(query.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table)));
    FUZZ_CHECK(query.exec(QStringLiteral("COMMIT")));

    TArchiveImportSummary summary;
    const int result = archive->ImportDatabase(gDataBase, &summary);
    CheckImport(archive, result, summary);
    FUZZ_CHECK(query.exec(QStringLiteral("SELECT count(*) FROM rekord")) && query.next());
    FUZZ_CHECK(query.value(0).toLongLong() == summary.iNew - summary.iWithoutRecord);
    query.prepare(QStringLiteral("SELECT count(*) FROM pomiar WHERE sha256 = ?"));
    query.addBindValue(outsideSha);
    FUZZ_CHECK(query.exec() && query.next() && query.value(0).toLongLong() == 0);
    query.finish();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The SQL driver is a plugin: it needs an application object.
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(fuzzsupport::DropMessages);

    const QString top = fuzzsupport::ScratchFolder("database");
    gFolder = top + QStringLiteral("baza/");
    gDataBase = gFolder + QStringLiteral("zym_5.db");
    gArchive = top + QStringLiteral("archiwum.db");
    // A database in memory that both of the import road's connections
    // share by its name.
    if (!kEveryCheck)
        gArchive = QStringLiteral("file:zym-fuzz-archive?mode=memory&cache=shared");
    // The names the simulated meter and the tests' databases give their files.
    WriteRecord(gFolder + QStringLiteral("pomiar_000001.zym5"), 1);
    WriteRecord(gFolder + QStringLiteral("pomiar_000002.zym5"), 2);
    WriteRecord(gFolder + QStringLiteral("pomiar_1.zym5"), 3);
    WriteRecord(gFolder + QStringLiteral("p1.zym5"), 4);
    WriteRecord(gFolder + QStringLiteral("2023/p1.zym5"), 5);
    WriteRecord(gFolder + QStringLiteral("sub/p7.zym5"), 6, kPomiarFileSize, QByteArray(100, 'x'));
    WriteRecord(gFolder + QStringLiteral("short.zym5"), 7, kPomiarFileSize - 1);
    WriteRecord(top + QStringLiteral("outside.zym5"), 8);
    gOutside.reset(new TDataPomiar);
    MakeRecord(8, gOutside.get());
    gBefore.reset(new TDataPomiar);
    fuzzsupport::WriteBytes(gDataBase, "", 0);
    gListing = Listing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    FUZZ_CHECK(fuzzsupport::WriteBytes(gDataBase, input.constData(), input.size()));
    QStringList listing = gListing;
    listing.replaceInStrings(QStringLiteral("zym_5.db:0"), QStringLiteral("zym_5.db:") + QString::number(size));

    // One object for the run, as the program has one (a new one would clear
    // a 240 kB record every time); the row starts afresh for every input.
    static TDataBase *baza = new TDataBase;
    baza->Row = TPomiarRow();
    if (kMeterRoad && baza->Open(gDataBase) == TDataBase::OpenOk) {
        Browse(*baza);
        for (const char *column : kZymColumns)
            baza->ZymValue(QLatin1String(column));
        QStringList names;
        TDataBase::DataFileNames(baza->db, &names);
        baza->Close();
    }
    if (kEveryCheck)
        ImportChecked();
    else if (kImportRoad)
        ImportQuick();

    // Reading is all the browsing does: the file is as it came, and nothing
    // (no journal left behind, no new file) appeared beside it.
    FUZZ_CHECK(fuzzsupport::ReadBytes(gDataBase) == input);
    FUZZ_CHECK(Listing() == listing);
    return 0;
}
