// The reader's archive on the data side, with meter folders written by the
// simulator and real SQLite files: packing of the raw record, opening and
// version rules, importing (twice, overlapping downloads, a meter whose ids
// restart, damaged sources), comment versions, cancel, two importers, the
// check, and an importer killed at several points.

#include "archive/recordsha.h"
#include "archive/tarchive.h"
#include "database/tdatabase.h"
#include "measurement/datafile.h"
#include "simulator/zymsim.h"
#include "support/dbsupport.h"
#include "support/metersupport.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstring>
#include <limits>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

using namespace testsupport;

namespace {

// Every file under `folder` with the SHA-256 of its bytes: what an import
// must leave exactly as it was.
QStringList FolderHashes(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QByteArray hash = "unreadable";
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        lines << QDir(folder).relativeFilePath(path) + QLatin1Char(' ') + QString::fromLatin1(hash);
    }
    lines.sort();
    return lines;
}

// Every row of every table of the archive at `path`, as text: "the archive
// as it was" compared whole.
QStringList ArchiveDump(const QString &path)
{
    QStringList lines;
    const QString name = QStringLiteral("test-dump");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery tables(db);
            tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
            QStringList names;
            while (tables.next())
                names << tables.value(0).toString();
            for (const QString &table : names) {
                QSqlQuery q(db);
                q.exec(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY rowid"));
                while (q.next()) {
                    QStringList fields;
                    for (int i = 0; i < q.record().count(); ++i) {
                        const QVariant v = q.value(i);
                        fields << (v.type() == QVariant::ByteArray
                                       ? QString::fromLatin1(QCryptographicHash::hash(v.toByteArray(), QCryptographicHash::Sha256).toHex())
                                       : v.toString());
                    }
                    lines << table + QLatin1Char('|') + fields.join(QLatin1Char('|'));
                }
            }
            db.close();
        } else {
            lines << QStringLiteral("cannot open: ") + db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return lines;
}

QString IntegrityOf(const QString &path)
{
    return ReadValue(path, QStringLiteral("PRAGMA integrity_check")).toString();
}

// A simulated meter's folder; fails the test when it cannot be written.
TSimMeter WriteMeter(const QString &folder, quint64 seed, int pomiary, int obiekty = 4)
{
    TSimOptions options;
    options.seed = seed;
    options.iPomiary = pomiary;
    options.iObiekty = obiekty;
    TSimMeter meter;
    QString error;
    if (SimWriteMeter(folder, options, &meter, &error) != SimOk)
        qFatal("simulator: %s", qPrintable(error));
    QFile::remove(meter.qsTruth);
    return meter;
}

bool CopyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (!QFile::copy(it.filePath(), to + QLatin1Char('/') + it.fileName()))
            return false;
    }
    return true;
}

// The archive id of the measurement the meter numbered `meterId` (the
// first archived under it), 0 when none.
qint64 ArchiveIdOf(TArchive &archive, qint64 meterId)
{
    for (const TArchiveObiekt &o : archive.Obiekty()) {
        QVector<THistoriaRow> rows;
        archive.ReadHistoria(o.iObiektId, &rows);
        for (const THistoriaRow &row : rows) {
            TPomiarRow r;
            TArchivePomiarInfo info;
            if (archive.ReadRow(row.id, &r, &info) && info.iMeterPomiarId == meterId)
                return row.id;
        }
    }
    return 0;
}

QStringList Texts(const QVector<TArchiveKomentarz> &versions)
{
    QStringList texts;
    for (const TArchiveKomentarz &v : versions)
        texts << v.qsTekst;
    return texts;
}

// The archive's rows without its import log, which every import adds to.
QStringList DumpWithoutLog(const QString &path)
{
    QStringList lines = ArchiveDump(path);
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString &l) { return l.startsWith(QLatin1String("import|")); }),
                lines.end());
    return lines;
}

int CountOf(const QVector<TArchiveImportNote> &notes, int reason)
{
    int n = 0;
    for (const TArchiveImportNote &note : notes)
        n += note.iReason == reason;
    return n;
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void sha256_data();
    void sha256();
    void packRoundTrip_data();
    void packRoundTrip();
    void unpackRefusesDamage_data();
    void unpackRefusesDamage();

    void createsAndReopens();
    void refusesWhatIsNoArchive_data();
    void refusesWhatIsNoArchive();
    void upgradesOlderInOneStep();

    void importTwiceAddsNothing();
    void reimportFollowsFileChanges();
    void importWithoutReadAhead();
    void overlappingDownloads();
    void restartedIdsKeptApart();
    void folderImport();
    void browsingGivesTheMetersTexts();
    void hostileSources_data();
    void hostileSources();
    void commentVersions();
    void oldDownloadsKeepTheMetersNewestComment();
    void damageSaidWhenArchived();
    void lockedSourceAnsweredSoon();
    void folderWithoutMeterDataBase();
    void entriesAgreeAcrossArchives();
    void cancelLeavesArchiveAsBefore_data();
    void cancelLeavesArchiveAsBefore();
    void twoImportersAtOnce();
    void checkFindsDamage();
    void killedImport_data();
    void killedImport();

private:
    QTemporaryDir tmp;
    TSimMeter meterA; // 40 measurements of seed 11 in tmp/a
};

void TestArchive::initTestCase()
{
    QVERIFY(tmp.isValid());
    meterA = WriteMeter(tmp.filePath(QStringLiteral("a")), 11, 40);
}

// ---------------------------------------------------------------- packing

void TestArchive::sha256_data()
{
    // Lengths around the block and padding boundaries, and a record's.
    QTest::addColumn<int>("size");
    for (int size : {0, 1, 55, 56, 63, 64, 65, 119, 120, 128, 1000, int(kPomiarFileSize)})
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void TestArchive::sha256()
{
    QFETCH(int, size);
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 131 + (i >> 8));
    QCOMPARE(Sha256(data.constData(), size).toHex(),
             QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

void TestArchive::packRoundTrip_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("small"); // packs to a quarter of the image or less
    QTest::newRow("simulated") << 0 << true;
    QTest::newRow("simulated, heavy noise and thermal drift") << 1 << true;
    QTest::newRow("all zero") << 2 << true;
    QTest::newRow("random bytes everywhere, reserved word included") << 3 << false;
    QTest::newRow("extremes alternating") << 4 << false;
}

void TestArchive::packRoundTrip()
{
    QFETCH(int, kind);
    QFETCH(bool, small);
    std::unique_ptr<TDataPomiar> rec = ZeroRecord();
    if (kind <= 1) {
        TSimOptions options;
        options.bHeavyNoise = kind == 1;
        options.bThermal = kind == 1;
        const QVector<TSimPomiar> plan = SimPlan(options);
        SimMakeRecord(plan.at(7), options.seed, rec.get());
    } else if (kind == 3) {
        auto *bytes = reinterpret_cast<unsigned char *>(rec.get());
        quint32 x = 12345;
        for (qint64 i = 0; i < kPomiarFileSize; ++i) {
            x = x * 1103515245u + 12345u;
            bytes[i] = quint8(x >> 23);
        }
    } else if (kind == 4) {
        for (int r = 0; r < kPomiarRows; ++r)
            for (int c = 0; c < kPomiarChannels; ++c)
                rec->dane[r][c] = (r + c) % 2 ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint32>::max();
        rec->rezerwa = -1;
    }
    const QByteArray packed = PackRecord(rec.get());
    if (small)
        QVERIFY2(packed.size() <= kPomiarFileSize / 4, qPrintable(QString::number(packed.size())));
    std::unique_ptr<TDataPomiar> back = ZeroRecord();
    std::memset(static_cast<void *>(back.get()), 0xA5, sizeof(TDataPomiar));
    QVERIFY(UnpackRecord(packed, back.get()));
    QVERIFY(std::memcmp(rec.get(), back.get(), sizeof(TDataPomiar)) == 0);
    QCOMPARE(RecordSha256(back.get()), RecordSha256(rec.get()));
    QCOMPARE(RecordSha256(rec.get()),
             QCryptographicHash::hash(QByteArray(reinterpret_cast<const char *>(rec.get()), int(kPomiarFileSize)),
                                      QCryptographicHash::Sha256));
}

void TestArchive::unpackRefusesDamage_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("empty") << 0;
    QTest::newRow("cut short") << 1;
    QTest::newRow("unknown format") << 2;
    QTest::newRow("block wider than 32 bits") << 3;
    QTest::newRow("a byte flipped") << 4;
    QTest::newRow("a byte too many") << 5;
}

void TestArchive::unpackRefusesDamage()
{
    QFETCH(int, damage);
    std::unique_ptr<TDataPomiar> rec = PulseRecord();
    QByteArray packed = PackRecord(rec.get());
    switch (damage) {
    case 0: packed.clear(); break;
    case 1: packed.chop(packed.size() / 2); break;
    case 2: packed[0] = 7; break;
    case 3: packed[1 + 12 + 68] = char(40); break;
    case 4: packed[packed.size() / 2] = char(packed.at(packed.size() / 2) ^ 0x5a); break;
    case 5: packed.append('\0'); break;
    }
    std::unique_ptr<TDataPomiar> back = ZeroRecord();
    back->rezystancja = 42;
    const bool unpacked = UnpackRecord(packed, back.get());
    // A flipped sample byte still unpacks: the hash then tells.
    if (unpacked)
        QVERIFY(damage == 4 && RecordSha256(back.get()) != RecordSha256(rec.get()));
    else
        QCOMPARE(back->rezystancja, 42.0);
}

// ---------------------------------------------------------------- the file

void TestArchive::createsAndReopens()
{
    const QString path = tmp.filePath(QStringLiteral("new/sub/archiwum.db"));
    {
        TArchive archive;
        QCOMPARE(archive.Open(path), int(ArchiveOk));
        QCOMPARE(archive.SchemaVersion(), TArchive::kSchemaVersion);
        QCOMPARE(archive.Path(), path);
    }
    QCOMPARE(ReadValue(path, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    QCOMPARE(archive.PomiarCount(), qint64(0));
    // The archive never takes the meter's connection.
    QVERIFY(!QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection)));
    QCOMPARE(DefaultArchivePath(QStringLiteral("/opt/zym")), QStringLiteral("/opt/zym/DATA/archiwum.db"));
}

void TestArchive::refusesWhatIsNoArchive_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("result");
    QTest::newRow("newer archive") << 0 << int(ArchiveTooNew);
    QTest::newRow("meter database") << 1 << int(ArchiveOpenFailed);
    QTest::newRow("text file") << 2 << int(ArchiveOpenFailed);
    QTest::newRow("folder") << 3 << int(ArchiveOpenFailed);
}

void TestArchive::refusesWhatIsNoArchive()
{
    QFETCH(int, kind);
    QFETCH(int, result);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("archiwum.db"));
    switch (kind) {
    case 0: {
        TArchive archive;
        QCOMPARE(archive.Open(path), int(ArchiveOk));
        archive.Close();
        QCOMPARE(ExecSql(path, QStringLiteral("PRAGMA user_version=%1").arg(TArchive::kSchemaVersion + 1)), QString());
        break;
    }
    case 1:
        QVERIFY(QFile::copy(meterA.qsDataBase, path));
        break;
    case 2:
        QVERIFY(metersupport::WriteFile(path, "not a database at all, just words\n"));
        break;
    case 3:
        QVERIFY(QDir().mkpath(path));
        break;
    }
    const QStringList before = FolderHashes(dir.path());
    TArchive archive;
    QCOMPARE(archive.Open(path), result);
    QVERIFY(!archive.IsOpen());
    QVERIFY(!archive.LastErrorText().isEmpty());
    if (kind == 0)
        QVERIFY2(archive.LastErrorText().contains(QString::number(TArchive::kSchemaVersion + 1)),
                 qPrintable(archive.LastErrorText()));
    archive.Close();
    QCOMPARE(FolderHashes(dir.path()), before);
}

void TestArchive::upgradesOlderInOneStep()
{
    // An archive stamped by the program but at version 0 (no tables yet):
    // every step up to the current version runs.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    QCOMPARE(ExecSql(path, QStringLiteral("PRAGMA application_id=%1").arg(0x5A594D41)), QString());
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    QCOMPARE(archive.SchemaVersion(), TArchive::kSchemaVersion);
    TArchiveImportSummary summary;
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase, &summary), int(ArchiveOk));
    QCOMPARE(summary.iNew, meterA.pomiary.size());
}

// ---------------------------------------------------------------- import

void TestArchive::importTwiceAddsNothing()
{
    QTemporaryDir dir;
    const QStringList before = FolderHashes(meterA.qsFolder);
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    TArchiveImportSummary first, second;
    qint64 lastDone = -1, lastTotal = -1;
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase, &first,
                                    [&](qint64 done, qint64 total) {
                                        lastDone = done;
                                        lastTotal = total;
                                        return true;
                                    }),
             int(ArchiveOk));
    QCOMPARE(lastDone, qint64(meterA.pomiary.size()));
    QCOMPARE(lastTotal, qint64(meterA.pomiary.size()));
    QCOMPARE(first.iNew, meterA.pomiary.size());
    QCOMPARE(first.iArchived + first.iConflicts + first.iRefused + first.iWithoutRecord, 0);
    const QStringList archived = ArchiveDump(archive.Path());

    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase, &second), int(ArchiveOk));
    QCOMPARE(second.iNew, 0);
    QCOMPARE(second.iArchived, meterA.pomiary.size());
    QCOMPARE(archive.PomiarCount(), qint64(meterA.pomiary.size()));
    // Only the log grew.
    QStringList now = ArchiveDump(archive.Path());
    now.erase(std::remove_if(now.begin(), now.end(), [](const QString &l) { return l.startsWith(QLatin1String("import|")); }), now.end());
    QStringList then = archived;
    then.erase(std::remove_if(then.begin(), then.end(), [](const QString &l) { return l.startsWith(QLatin1String("import|")); }), then.end());
    QCOMPARE(now, then);
    QCOMPARE(archive.ImportLog().size(), 2);
    QCOMPARE(archive.ImportLog().first().iArchived, meterA.pomiary.size());

    // The source is as it was, and nothing appeared beside it.
    QCOMPARE(FolderHashes(meterA.qsFolder), before);

    // Every record comes back byte for byte, every row as the meter stored it.
    std::unique_ptr<TDataPomiar> fromFile = ZeroRecord(), fromArchive = ZeroRecord();
    QSqlQueryModel *objects = archive.ObiektyModel();
    QVERIFY(objects);
    int seen = 0;
    for (int o = 0; o < objects->rowCount(); ++o) {
        const qint64 objectId = objects->index(o, 0).data(TDataBase::kObiektIdRole).toLongLong();
        QVector<THistoriaRow> rows;
        QStringList meters;
        QVERIFY(archive.ReadHistoria(objectId, &rows, &meters));
        for (int i = 0; i < rows.size(); ++i) {
            TPomiarRow row;
            TArchivePomiarInfo info;
            QVERIFY(archive.ReadRow(rows[i].id, &row, &info));
            const TSimPomiar &truth = meterA.pomiary.at(int(info.iMeterPomiarId) - 1);
            QCOMPARE(info.qsObiekt, objects->index(o, 0).data().toString());
            QCOMPARE(info.qsObiekt, meterA.obiekty.at(truth.obiekt_id - 1));
            QCOMPARE(info.meter.qsSerial, meters[i]);
            QCOMPARE(info.meter.qsFirmware, QStringLiteral("2.07"));
            QCOMPARE(row.czas, truth.czas);
            QCOMPARE(row.rezystancja, truth.rezystancja);
            QCOMPARE(row.plik_dane, truth.plik_dane);
            QCOMPARE(row.komentarz, truth.komentarz);
            QCOMPARE(archive.ReadRecord(rows[i].id, fromArchive.get()), int(ArchiveOk));
            QCOMPARE(ReadDataFile(meterA.qsFolder + truth.plik_dane, fromFile.get()), DataFileOk);
            QVERIFY(std::memcmp(fromFile.get(), fromArchive.get(), sizeof(TDataPomiar)) == 0);
            ++seen;
        }
    }
    delete objects;
    QCOMPARE(seen, meterA.pomiary.size());
}

// The same archive from an import that reads every file on its own thread
// (what the fuzzing runs) as from one that reads ahead on the others.
// Imported again, a data file is read only when its size or time changed
// since: one merely touched keeps its record (the hash decides), one whose
// samples changed is told as a conflict every time while its archived
// record stays, and one changed behind an unchanged time is not read.
void TestArchive::reimportFollowsFileChanges()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("meter"));
    QVERIFY(CopyFolder(meterA.qsFolder, folder));
    const QString db = folder + QLatin1Char('/') + QFileInfo(meterA.qsDataBase).fileName();
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    auto records = [&path]() {
        QStringList lines = ArchiveDump(path);
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const QString &l) { return !l.startsWith(QLatin1String("rekord|")); }),
                    lines.end());
        return lines;
    };
    const QStringList archived = records();
    const int n = meterA.pomiary.size();

    const QString touched = folder + QLatin1Char('/') + meterA.pomiary.at(0).plik_dane;
    const QString changed = folder + QLatin1Char('/') + meterA.pomiary.at(1).plik_dane;
    QVERIFY(touched != changed);
    const QDateTime later = QFileInfo(touched).lastModified().addSecs(3600);
    auto flipMiddleByte = [](const QString &name) {
        QFile f(name);
        if (!f.open(QIODevice::ReadWrite))
            return false;
        QByteArray bytes = f.readAll();
        bytes[bytes.size() / 2] = char(bytes.at(bytes.size() / 2) ^ 0x5a);
        return f.seek(0) && f.write(bytes) == bytes.size();
    };
    auto setTime = [](const QString &name, const QDateTime &time) {
        QFile f(name);
        return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
    };
    QVERIFY(setTime(touched, later));
    QVERIFY(flipMiddleByte(changed));
    QVERIFY(setTime(changed, later));
    std::unique_ptr<TDataPomiar> rec = ZeroRecord();
    QCOMPARE(ReadDataFile(changed, rec.get()), DataFileOk);

    for (int round = 0; round < 2; ++round) {
        TArchiveImportSummary again;
        QCOMPARE(archive.ImportDatabase(db, &again), int(ArchiveOk));
        QCOMPARE(again.iNew, 0);
        QCOMPARE(again.iArchived, n - 1);
        QCOMPARE(again.iConflicts, 1);
        QCOMPARE(again.notes.size(), 1);
        QCOMPARE(again.notes.first().iReason, int(ReasonConflict));
        QCOMPARE(again.notes.first().qsPlik, meterA.pomiary.at(1).plik_dane);
        QCOMPARE(records(), archived);
    }

    // The touched file's new time is known now: changed behind that time,
    // it is not read again.
    QVERIFY(flipMiddleByte(touched));
    QVERIFY(setTime(touched, later));
    TArchiveImportSummary third;
    QCOMPARE(archive.ImportDatabase(db, &third), int(ArchiveOk));
    QCOMPARE(third.iArchived, n - 1);
    QCOMPARE(third.iConflicts, 1);
}

void TestArchive::importWithoutReadAhead()
{
    QTemporaryDir dir;
    auto import = [&](const QString &name, bool readAhead) {
        TArchive::SetReadAhead(readAhead);
        TArchive archive;
        TArchiveImportSummary summary;
        const qint64 from = QDateTime::currentSecsSinceEpoch();
        const bool ok = archive.Open(dir.filePath(name)) == ArchiveOk
            && archive.ImportDatabase(meterA.qsDataBase, &summary) == ArchiveOk && summary.iNew == meterA.pomiary.size();
        const qint64 to = QDateTime::currentSecsSinceEpoch();
        TArchive::SetReadAhead(true);
        QStringList dump = ok ? ArchiveDump(archive.Path()) : QStringList();
        // The times the import wrote are its own.
        for (QString &line : dump) {
            QStringList fields = line.split(QLatin1Char('|'));
            for (QString &field : fields) {
                bool number = false;
                const qint64 value = field.toLongLong(&number);
                if (number && value >= from && value <= to)
                    field = QStringLiteral("now");
            }
            line = fields.join(QLatin1Char('|'));
        }
        return dump;
    };
    const QStringList ahead = import(QStringLiteral("ahead.db"), true);
    QVERIFY(!ahead.isEmpty());
    QCOMPARE(import(QStringLiteral("alone.db"), false), ahead);
}

void TestArchive::overlappingDownloads()
{
    // The same meter downloaded twice: first with 25 measurements, later
    // with 40 (the first 25 among them).
    QTemporaryDir dir;
    const QString early = dir.filePath(QStringLiteral("2023-01"));
    QVERIFY(CopyFolder(meterA.qsFolder, early));
    QCOMPARE(ExecSql(early + QStringLiteral("/zym_5.db"), QStringLiteral("DELETE FROM pomiar WHERE pomiar_id > 25")),
             QString());
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    TArchiveImportSummary s;
    QCOMPARE(archive.ImportDatabase(early + QStringLiteral("/zym_5.db"), &s), int(ArchiveOk));
    QCOMPARE(s.iNew, 25);
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase, &s), int(ArchiveOk));
    QCOMPARE(s.iNew, 15);
    QCOMPARE(s.iArchived, 25);
    QCOMPARE(archive.PomiarCount(), qint64(40));
}

void TestArchive::restartedIdsKeptApart()
{
    // The meter's memory cleared: a later download of the same meter (same
    // serial) whose ids start again at 1 with other measurements.
    QTemporaryDir dir;
    const TSimMeter later = WriteMeter(dir.filePath(QStringLiteral("later")), 12, 30);
    QCOMPARE(ExecSql(later.qsDataBase, QStringLiteral("UPDATE ZYM SET serial_zym = 'ZYM5-00011'")), QString());
    // The objects of seed 12 under seed 11's names, so that histories mix.
    for (int i = 0; i < later.obiekty.size() && i < meterA.obiekty.size(); ++i) {
        QCOMPARE(ExecSql(later.qsDataBase, QStringLiteral("UPDATE obiekt SET Obiekt_nazwa = '%1' WHERE obiekt_id = %2")
                                               .arg(QString(meterA.obiekty[i]).replace(QLatin1Char('\''), QLatin1String("''")))
                                               .arg(i + 1)),
                 QString());
    }
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    TArchiveImportSummary s;
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase, &s), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(later.qsDataBase, &s), int(ArchiveOk));
    QCOMPARE(s.iNew, 30);
    QCOMPARE(s.iConflicts, 0);
    QCOMPARE(archive.PomiarCount(), qint64(70));
    // One archive object per name, holding both lives of id 1.
    const qint64 objectId = archive.ObjectId(meterA.obiekty.at(meterA.pomiary.at(0).obiekt_id - 1));
    QVERIFY(objectId > 0);
    QVector<THistoriaRow> rows;
    QVERIFY(archive.ReadHistoria(objectId, &rows));
    QSet<QString> files;
    int ones = 0;
    for (const THistoriaRow &row : rows) {
        TPomiarRow r;
        TArchivePomiarInfo info;
        QVERIFY(archive.ReadRow(row.id, &r, &info));
        ones += info.iMeterPomiarId == 1;
        QCOMPARE(info.meter.qsSerial, QStringLiteral("ZYM5-00011"));
    }
    QCOMPARE(ones, 2);
    QCOMPARE(archive.Obiekty().size(), QSet<QString>(meterA.obiekty.begin(), meterA.obiekty.end()).size());
}

void TestArchive::folderImport()
{
    // A shelf of downloads: two meters, one of them twice, and a file that
    // only carries the name.
    QTemporaryDir dir;
    const QString shelf = dir.filePath(QStringLiteral("shelf"));
    QVERIFY(CopyFolder(meterA.qsFolder, shelf + QStringLiteral("/a1")));
    QVERIFY(CopyFolder(meterA.qsFolder, shelf + QStringLiteral("/2024/a2")));
    WriteMeter(shelf + QStringLiteral("/b"), 13, 10);
    QVERIFY(metersupport::WriteFile(shelf + QStringLiteral("/junk/zym_5.db"), "junk"));
    const QStringList before = FolderHashes(shelf);
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    TArchiveImportSummary s;
    QCOMPARE(archive.ImportFolder(shelf, &s), int(ArchiveOk));
    QCOMPARE(s.sources.size(), 4);
    QCOMPARE(s.iNew, 50);
    QCOMPARE(s.iArchived, 40);
    QCOMPARE(s.iRefused, 1);
    QCOMPARE(CountOf(s.notes, ReasonSourceUnreadable), 1);
    QCOMPARE(archive.ImportLog().size(), 1);
    QCOMPARE(archive.ImportNotes(s.iImportId).size(), s.notes.size());
    QCOMPARE(FolderHashes(shelf), before);
}

void TestArchive::browsingGivesTheMetersTexts()
{
    QTemporaryDir dir;
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase), int(ArchiveOk));
    TDataBase meter;
    QCOMPARE(meter.Open(meterA.qsDataBase), TDataBase::OpenOk);
    const QString name = meterA.obiekty.at(meterA.pomiary.at(0).obiekt_id - 1);
    std::unique_ptr<QSqlQueryModel> mine(archive.PomiaryModel(archive.ObjectId(name)));
    std::unique_ptr<QSqlQueryModel> theirs(meter.PomiaryModel(meter.ObjectId(name)));
    QCOMPARE(mine->columnCount(), 5);
    QCOMPARE(mine->rowCount(), theirs->rowCount());
    QVERIFY(mine->rowCount() > 0);
    // Row by row in the meter's order (time order there as here).
    QMap<qint64, int> byMeterId;
    for (int r = 0; r < theirs->rowCount(); ++r)
        byMeterId.insert(theirs->index(r, 0).data().toLongLong(), r);
    for (int r = 0; r < mine->rowCount(); ++r) {
        TPomiarRow row;
        TArchivePomiarInfo info;
        QVERIFY(archive.ReadRow(mine->index(r, 0).data().toLongLong(), &row, &info));
        const int t = byMeterId.value(info.iMeterPomiarId, -1);
        QVERIFY(t >= 0);
        for (int c = 1; c <= 3; ++c)
            QCOMPARE(mine->index(r, c).data().toString(), theirs->index(t, c).data().toString());
        QCOMPARE(mine->index(r, TArchive::ColumnMiernik).data().toString(), QStringLiteral("ZYM5-00011"));
    }
    meter.Close();
}

void TestArchive::hostileSources_data()
{
    QTest::addColumn<QString>("sql");       // run on a copy of meter A's database
    QTest::addColumn<int>("fileDamage");    // 0 none, 1 measurement 3's file gone, 2 short, 3 a pipe,
                                            // 4 a link out of the folder
    QTest::addColumn<int>("newRows");
    QTest::addColumn<int>("withoutRecord");
    QTest::addColumn<int>("refused");
    QTest::addColumn<int>("reason");        // of the one note expected, 0 none
    QTest::addColumn<int>("result");

    QTest::newRow("no pomiar table") << "DROP TABLE pomiar" << 0 << 0 << 0 << 1 << int(ReasonSourceUnreadable)
                                     << int(ArchiveSourceFailed);
    QTest::newRow("pomiar is a view") << "ALTER TABLE pomiar RENAME TO p2; CREATE VIEW pomiar AS "
                                         "WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM r) "
                                         "SELECT x AS pomiar_id, x AS pomiar_obiekt_id FROM r"
                                      << 0 << 0 << 0 << 1 << int(ReasonSourceUnreadable) << int(ArchiveSourceFailed);
    QTest::newRow("no obiekt table") << "DROP TABLE obiekt" << 0 << 0 << 0 << 1 << int(ReasonSourceUnreadable)
                                     << int(ArchiveSourceFailed);
    QTest::newRow("database in WAL mode") << "PRAGMA journal_mode=WAL" << 0 << 40 << 0 << 0 << 0 << int(ArchiveOk);
    QTest::newRow("no ZYM table") << "DROP TABLE ZYM" << 0 << 40 << 0 << 0 << 0 << int(ArchiveOk);
    QTest::newRow("ZYM is a view") << "DROP TABLE ZYM; CREATE VIEW ZYM AS WITH RECURSIVE r(x) AS "
                                      "(SELECT 1 UNION ALL SELECT x+1 FROM r) SELECT x AS serial_zym FROM r"
                                   << 0 << 40 << 0 << 0 << 0 << int(ArchiveOk);
    QTest::newRow("text in pomiar_czas") << "UPDATE pomiar SET pomiar_czas = 'wczoraj' WHERE pomiar_id = 3" << 0 << 39
                                         << 0 << 1 << int(ReasonUnreadableRow) << int(ArchiveOk);
    QTest::newRow("text in pomiar_rezystancja") << "UPDATE pomiar SET pomiar_rezystancja = 'x' WHERE pomiar_id = 3"
                                                << 0 << 39 << 0 << 1 << int(ReasonUnreadableRow) << int(ArchiveOk);
    QTest::newRow("NULL resistance") << "UPDATE pomiar SET pomiar_rezystancja = NULL WHERE pomiar_id = 3" << 0 << 39
                                     << 0 << 1 << int(ReasonUnreadableRow) << int(ArchiveOk);
    QTest::newRow("huge id") << "DROP TABLE pomiar; CREATE TABLE pomiar AS SELECT * FROM p0; UPDATE pomiar SET pomiar_id = 1e30 WHERE pomiar_id = 3" << 0 << 39 << 0 << 1
                             << int(ReasonUnreadableRow) << int(ArchiveOk);
    QTest::newRow("largest id") << "UPDATE pomiar SET pomiar_id = 9223372036854775807 WHERE pomiar_id = 3" << 0
                                << 40 << 0 << 0 << 0 << int(ArchiveOk);
    QTest::newRow("object that is not there") << "UPDATE pomiar SET pomiar_obiekt_id = 999 WHERE pomiar_id = 3" << 0
                                              << 39 << 0 << 1 << int(ReasonUnreadableRow) << int(ArchiveOk);
    // -1: the rows of object 1, which the source gives two names.
    QTest::newRow("object id given twice") << "CREATE TABLE o2 AS SELECT * FROM obiekt; DROP TABLE obiekt; "
                                              "CREATE TABLE obiekt AS SELECT * FROM o2; "
                                              "INSERT INTO obiekt VALUES (1, 'inny')"
                                           << 0 << -1 << 0 << -1 << int(ReasonUnreadableRow) << int(ArchiveOk);
    QTest::newRow("duplicate id, same row") << "DROP TABLE pomiar; CREATE TABLE pomiar AS SELECT * FROM p0; "
                                               "INSERT INTO pomiar SELECT * FROM p0 WHERE pomiar_id = 3"
                                            << 0 << 40 << 0 << 0 << 0 << int(ArchiveOk);
    QTest::newRow("data file missing") << "" << 1 << 40 << 1 << 0 << int(ReasonDataFileMissing) << int(ArchiveOk);
    QTest::newRow("data file short") << "" << 2 << 40 << 1 << 0 << int(ReasonDataFileShort) << int(ArchiveOk);
    QTest::newRow("data file is a pipe") << "" << 3 << 40 << 1 << 0 << int(ReasonDataFileUnreadable)
                                         << int(ArchiveOk);
    QTest::newRow("data file links out of the folder") << "" << 4 << 40 << 1 << 0 << int(ReasonOutsideFolder)
                                                       << int(ArchiveOk);
    QTest::newRow("traversing name") << "UPDATE pomiar SET pomiar_plik_dane = '../outside.zym5' WHERE pomiar_id = 3"
                                     << 0 << 40 << 1 << 0 << int(ReasonOutsideFolder) << int(ArchiveOk);
    QTest::newRow("absolute name") << "UPDATE pomiar SET pomiar_plik_dane = '/etc/passwd' WHERE pomiar_id = 3" << 0
                                   << 40 << 1 << 0 << int(ReasonOutsideFolder) << int(ArchiveOk);
    QTest::newRow("no file name") << "UPDATE pomiar SET pomiar_plik_dane = NULL WHERE pomiar_id = 3" << 0 << 40 << 1
                                  << 0 << int(ReasonDataFileMissing) << int(ArchiveOk);
}

void TestArchive::hostileSources()
{
    QFETCH(QString, sql);
    QFETCH(int, fileDamage);
    QFETCH(int, newRows);
    QFETCH(int, withoutRecord);
    QFETCH(int, refused);
    QFETCH(int, reason);
    QFETCH(int, result);
    if (refused < 0) {
        refused = 0;
        for (const TSimPomiar &p : meterA.pomiary)
            refused += p.obiekt_id == 1;
        QVERIFY(refused > 0);
        newRows = meterA.pomiary.size() - refused;
    }
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("meter"));
    QVERIFY(CopyFolder(meterA.qsFolder, folder));
    const QString db = folder + QStringLiteral("/zym_5.db");
    QVERIFY(metersupport::WriteFile(dir.filePath(QStringLiteral("outside.zym5")),
                                    metersupport::ReadFile(meterA.qsFolder + meterA.pomiary.at(0).plik_dane)));
    QCOMPARE(ExecSql(db, QStringLiteral("CREATE TABLE p0 AS SELECT * FROM pomiar")), QString());
    for (const QString &statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        QCOMPARE(ExecSql(db, statement), QString());
    const QString file3 = folder + QLatin1Char('/') + meterA.pomiary.at(2).plik_dane;
    switch (fileDamage) {
    case 1: QVERIFY(QFile::remove(file3)); break;
    case 2: QVERIFY(metersupport::WriteFile(file3, metersupport::ReadFile(file3).left(1000))); break;
#ifdef Q_OS_UNIX
    case 3:
        QVERIFY(QFile::remove(file3));
        QCOMPARE(mkfifo(QFile::encodeName(file3).constData(), 0600), 0);
        break;
    case 4:
        QVERIFY(QFile::remove(file3));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside.zym5")), file3));
        break;
#else
    case 3:
    case 4:
        QSKIP("pipes and links are tried on Unix");
#endif
    }
    const QStringList before = FolderHashes(dir.path());
    QTemporaryDir archiveDir;
    TArchive archive;
    QCOMPARE(archive.Open(archiveDir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    TArchiveImportSummary s;
    QCOMPARE(archive.ImportDatabase(db, &s), result);
    QCOMPARE(s.iNew, newRows);
    QCOMPARE(s.iWithoutRecord, withoutRecord);
    QCOMPARE(s.iRefused, refused);
    QCOMPARE(s.notes.size(), reason ? qMax(1, refused) : 0);
    if (reason) {
        QCOMPARE(s.notes.at(0).iReason, reason);
        QVERIFY(!ArchiveReasonText(reason).isEmpty());
        QCOMPARE(archive.ImportNotes(s.iImportId).size(), s.notes.size());
    }
    QCOMPARE(archive.PomiarCount(), qint64(newRows));
    QCOMPARE(FolderHashes(dir.path()), before);
    // A row kept without its record shows, its record does not.
    if (withoutRecord) {
        TArchiveCheckResult check;
        QCOMPARE(archive.Check(&check), int(ArchiveOk));
        QVERIFY(check.Ok());
        QCOMPARE(check.iRecords, qint64(newRows - withoutRecord));
    }
}

void TestArchive::commentVersions()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("meter"));
    QVERIFY(CopyFolder(meterA.qsFolder, folder));
    const QString db = folder + QStringLiteral("/zym_5.db");
    QCOMPARE(ExecSql(db, QStringLiteral("UPDATE pomiar SET pomiar_komentarz = 'z miernika' WHERE pomiar_id = 5")),
             QString());
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    qint64 id = 0;
    {
        QVector<THistoriaRow> rows;
        QVERIFY(archive.ReadHistoria(archive.ObjectId(meterA.obiekty.at(meterA.pomiary.at(4).obiekt_id - 1)), &rows));
        for (const THistoriaRow &row : rows)
            if (row.komentarz == QLatin1String("z miernika"))
                id = row.id;
    }
    QVERIFY(id > 0);
    const QByteArray meterBytes = metersupport::ReadFile(db);

    QCOMPARE(archive.SaveKomentarz(id, QStringLiteral("poprawiony w archiwum"), 1700000000), int(ArchiveOk));
    QCOMPARE(archive.SaveKomentarz(id, QStringLiteral("poprawiony w archiwum"), 1700000001), int(ArchiveOk));
    QCOMPARE(archive.SaveKomentarz(999999, QStringLiteral("x")), int(ArchiveNotFound));
    // Importing the same download again does not undo the edit.
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    // A later download with another comment from the meter adds a version.
    QCOMPARE(ExecSql(db, QStringLiteral("UPDATE pomiar SET pomiar_komentarz = 'nowy z miernika' WHERE pomiar_id = 5")),
             QString());
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));

    const QVector<TArchiveKomentarz> versions = archive.Komentarze(id);
    QCOMPARE(versions.size(), 3);
    QCOMPARE(versions[0].qsTekst, QStringLiteral("z miernika"));
    QVERIFY(versions[0].bFromMeter);
    QCOMPARE(versions[1].qsTekst, QStringLiteral("poprawiony w archiwum"));
    QCOMPARE(versions[1].iCzas, qint64(1700000000));
    QVERIFY(!versions[1].bFromMeter);
    QCOMPARE(versions[2].qsTekst, QStringLiteral("nowy z miernika"));
    TPomiarRow row;
    QVERIFY(archive.ReadRow(id, &row));
    QCOMPARE(row.komentarz, QStringLiteral("nowy z miernika"));
    // The archive wrote nothing into the meter's database.
    QCOMPARE(KomentarzOf(db, 5), QStringLiteral("nowy z miernika"));
    Q_UNUSED(meterBytes);
}

void TestArchive::oldDownloadsKeepTheMetersNewestComment()
{
    // Two downloads of one meter: by the later one the meter had made ten
    // more measurements, changed its comment of measurement 5 and given
    // measurement 6 its first.
    QTemporaryDir dir;
    const QString early = dir.filePath(QStringLiteral("shelf/b-2023")), late = dir.filePath(QStringLiteral("shelf/a-2024"));
    QVERIFY(CopyFolder(meterA.qsFolder, early));
    QVERIFY(CopyFolder(meterA.qsFolder, late));
    const QString a1 = early + QStringLiteral("/zym_5.db"), a2 = late + QStringLiteral("/zym_5.db");
    for (const QString &sql : {QStringLiteral("UPDATE pomiar SET pomiar_komentarz = 'pierwszy' WHERE pomiar_id = 5"),
                               QStringLiteral("UPDATE pomiar SET pomiar_komentarz = NULL WHERE pomiar_id = 6"),
                               QStringLiteral("DELETE FROM pomiar WHERE pomiar_id > 30")})
        QCOMPARE(ExecSql(a1, sql), QString());
    for (const QString &sql : {QStringLiteral("UPDATE pomiar SET pomiar_komentarz = 'drugi' WHERE pomiar_id = 5"),
                               QStringLiteral("UPDATE pomiar SET pomiar_komentarz = 'nowy' WHERE pomiar_id = 6")})
        QCOMPARE(ExecSql(a2, sql), QString());

    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    for (const QString &db : {a1, a2, a1})
        QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    const qint64 five = ArchiveIdOf(archive, 5), six = ArchiveIdOf(archive, 6);
    QVERIFY(five > 0 && six > 0);
    TPomiarRow row;
    QVERIFY(archive.ReadRow(five, &row));
    QCOMPARE(row.komentarz, QStringLiteral("drugi"));
    QVERIFY(archive.ReadRow(six, &row));
    QCOMPARE(row.komentarz, QStringLiteral("nowy"));
    QCOMPARE(Texts(archive.Komentarze(five)), QStringList({QStringLiteral("pierwszy"), QStringLiteral("drugi")}));
    // The meter's empty comment of the first download is a version of its own.
    QCOMPARE(Texts(archive.Komentarze(six)), QStringList({QString(), QStringLiteral("nowy")}));

    // Every later round of the same downloads adds nothing.
    const QStringList settled = DumpWithoutLog(archive.Path());
    for (const QString &db : {a2, a1, a2, a1})
        QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    QCOMPARE(DumpWithoutLog(archive.Path()), settled);

    // A shelf of old downloads ends at the meter's newest comment, whichever sorts last.
    TArchive fromShelf;
    QCOMPARE(fromShelf.Open(dir.filePath(QStringLiteral("shelf.db"))), int(ArchiveOk));
    QCOMPARE(fromShelf.ImportFolder(dir.filePath(QStringLiteral("shelf"))), int(ArchiveOk));
    QCOMPARE(fromShelf.ImportFolder(dir.filePath(QStringLiteral("shelf"))), int(ArchiveOk));
    QVERIFY(fromShelf.ReadRow(ArchiveIdOf(fromShelf, 5), &row));
    QCOMPARE(row.komentarz, QStringLiteral("drugi"));
    QCOMPARE(fromShelf.Komentarze(ArchiveIdOf(fromShelf, 5)).size(), 2);
    QVERIFY(fromShelf.ReadRow(ArchiveIdOf(fromShelf, 6), &row));
    QCOMPARE(row.komentarz, QStringLiteral("nowy"));
}

void TestArchive::damageSaidWhenArchived()
{
    // A sound download archived, then a copy of it that lost one data file,
    // holds another cut short and names a third outside its folder.
    QTemporaryDir dir;
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase), int(ArchiveOk));
    const QString folder = dir.filePath(QStringLiteral("copy"));
    QVERIFY(CopyFolder(meterA.qsFolder, folder));
    const QString db = folder + QStringLiteral("/zym_5.db");
    QVERIFY(QFile::remove(folder + QLatin1Char('/') + meterA.pomiary.at(2).plik_dane));
    const QString short4 = folder + QLatin1Char('/') + meterA.pomiary.at(3).plik_dane;
    QVERIFY(metersupport::WriteFile(short4, metersupport::ReadFile(short4).left(1000)));
    QVERIFY(metersupport::WriteFile(dir.filePath(QStringLiteral("outside.zym5")),
                                    metersupport::ReadFile(meterA.qsFolder + meterA.pomiary.at(4).plik_dane)));
    QCOMPARE(ExecSql(db, QStringLiteral("UPDATE pomiar SET pomiar_plik_dane = '../outside.zym5' WHERE pomiar_id = 5")),
             QString());
    for (int round = 0; round < 2; ++round) {
        TArchiveImportSummary s;
        QCOMPARE(archive.ImportDatabase(db, &s), int(ArchiveOk));
        QCOMPARE(s.iArchived, meterA.pomiary.size());
        QCOMPARE(s.iNew + s.iWithoutRecord + s.iRefused + s.iConflicts, 0);
        QCOMPARE(s.notes.size(), 3);
        QCOMPARE(CountOf(s.notes, ReasonDataFileMissing), 1);
        QCOMPARE(CountOf(s.notes, ReasonDataFileShort), 1);
        QCOMPARE(CountOf(s.notes, ReasonOutsideFolder), 1);
        QCOMPARE(archive.ImportNotes(s.iImportId).size(), 3);
    }
    // What the archive holds stays whole.
    TArchiveCheckResult check;
    QCOMPARE(archive.Check(&check), int(ArchiveOk));
    QVERIFY(check.Ok());
    QCOMPARE(check.iRecords, qint64(meterA.pomiary.size()));
}

void TestArchive::lockedSourceAnsweredSoon()
{
#ifndef Q_OS_LINUX
    QSKIP("the holder of a lock is looked up on Linux");
#else
    // Another program in the middle of a write to the meter's database.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("meter"));
    QVERIFY(CopyFolder(meterA.qsFolder, folder));
    const QString db = folder + QStringLiteral("/zym_5.db");
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), db});
    QVERIFY(holder.waitForReadyRead(20000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    QElapsedTimer clock;
    clock.start();
    TArchiveImportSummary s;
    QCOMPARE(archive.ImportDatabase(db, &s), int(ArchiveSourceFailed));
    // As patient as the meter's database is (2 s), not five times that.
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    const QString said = archive.LastErrorText();
    QVERIFY2(said.contains(QStringLiteral("zablokowana przez inny program (test_archive, pid %1)").arg(holder.processId())),
             qPrintable(said));
    QCOMPARE(CountOf(s.notes, ReasonSourceUnreadable), 1);
    holder.kill();
    holder.waitForFinished();
    QCOMPARE(archive.ImportDatabase(db, &s), int(ArchiveOk));
    QCOMPARE(s.iNew, meterA.pomiary.size());
#endif
}

void TestArchive::folderWithoutMeterDataBase()
{
    QTemporaryDir dir;
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    const QString empty = dir.filePath(QStringLiteral("pusty")), other = dir.filePath(QStringLiteral("inne"));
    QVERIFY(QDir().mkpath(empty));
    QVERIFY(metersupport::WriteFile(other + QStringLiteral("/zym_5.db.bak"), "x"));
    QVERIFY(metersupport::WriteFile(other + QStringLiteral("/pomiar_1.zym5"), "x"));
    for (const QString &folder : {empty, other}) {
        TArchiveImportSummary s;
        QCOMPARE(archive.ImportFolder(folder, &s), int(ArchiveSourceFailed));
        QVERIFY2(archive.LastErrorText().contains(QStringLiteral("nie ma bazy danych miernika (zym_5.db)")),
                 qPrintable(archive.LastErrorText()));
        QVERIFY(s.sources.isEmpty());
    }
    QVERIFY(archive.ImportLog().isEmpty());
}

void TestArchive::entriesAgreeAcrossArchives()
{
    // Two laptops import the same download and exchange what their users
    // wrote in opposite orders: both name the measurement alike, keep every
    // version once, and show the same newest one, also after reopening.
    QTemporaryDir dir;
    TArchive first, second;
    QCOMPARE(first.Open(dir.filePath(QStringLiteral("a.db"))), int(ArchiveOk));
    QCOMPARE(second.Open(dir.filePath(QStringLiteral("b.db"))), int(ArchiveOk));
    QCOMPARE(first.ImportDatabase(meterA.qsDataBase), int(ArchiveOk));
    QCOMPARE(second.ImportDatabase(meterA.qsDataBase), int(ArchiveOk));
    const qint64 objectId = first.ObjectId(meterA.obiekty.at(0));
    QVector<THistoriaRow> rows;
    QVERIFY(first.ReadHistoria(objectId, &rows));
    QVERIFY(rows.size() >= 2);
    const QString subject = first.PomiarSubject(rows.at(1).id);
    QVERIFY(subject.startsWith(QLatin1String("p:")));
    QVERIFY(first.PomiarSubject(rows.at(0).id) != subject);
    QCOMPARE(first.PomiarSubject(999999), QString());

    first.SetAutor(QStringLiteral("Anna"));
    second.SetAutor(QStringLiteral("Piotr"));
    TArchiveEntry older, newer, tie;
    QCOMPARE(first.AddEntry(QStringLiteral("temperatura"), subject, QStringLiteral("{\"t\":20}"), &older, 1000), int(ArchiveOk));
    QCOMPARE(second.AddEntry(QStringLiteral("temperatura"), subject, QStringLiteral("{\"t\":21}"), &newer, 2000), int(ArchiveOk));
    QCOMPARE(second.AddEntry(QStringLiteral("temperatura"), subject, QStringLiteral("{\"t\":22}"), &tie, 2000), int(ArchiveOk));
    QCOMPARE(newer.qsAutor, QStringLiteral("Piotr"));
    const TArchiveEntry expected = tie.qsUuid > newer.qsUuid ? tie : newer;
    for (TArchive *archive : {&first, &second})
        for (const TArchiveEntry &entry : {older, newer, tie, older})
            QCOMPARE(archive->PutEntry(entry), int(ArchiveOk));

    const QString firstPath = first.Path();
    first.Close();
    QCOMPARE(first.Open(firstPath), int(ArchiveOk));
    for (TArchive *archive : {&first, &second}) {
        const QVector<TArchiveEntry> versions = archive->Entries(QStringLiteral("temperatura"), subject);
        QCOMPARE(versions.size(), 3);
        QCOMPARE(versions.first().qsAutor, QStringLiteral("Anna"));
        TArchiveEntry latest;
        QVERIFY(archive->LatestEntry(QStringLiteral("temperatura"), subject, &latest));
        QCOMPARE(latest.qsUuid, expected.qsUuid);
        QCOMPARE(archive->LatestEntries(QStringLiteral("temperatura")).value(subject).qsUuid, expected.qsUuid);
        QVERIFY(!archive->LatestEntry(QStringLiteral("limity"), subject, &latest));
    }
    const QHash<qint64, TArchiveEntry> perPomiar = first.LatestPomiarEntries(QStringLiteral("temperatura"), objectId);
    QCOMPARE(perPomiar.size(), 1);
    QCOMPARE(perPomiar.value(rows.at(1).id).qsWartosc, expected.qsWartosc);
}

void TestArchive::cancelLeavesArchiveAsBefore_data()
{
    QTest::addColumn<int>("stopAt");
    QTest::addColumn<bool>("folder");
    QTest::newRow("before the first row") << 0 << false;
    QTest::newRow("half-way") << 20 << false;
    QTest::newRow("at the last row") << 39 << false;
    QTest::newRow("folder, in the second source") << 50 << true;
}

void TestArchive::cancelLeavesArchiveAsBefore()
{
    QFETCH(int, stopAt);
    QFETCH(bool, folder);
    QTemporaryDir dir;
    const QString shelf = dir.filePath(QStringLiteral("shelf"));
    QVERIFY(CopyFolder(meterA.qsFolder, shelf + QStringLiteral("/a")));
    WriteMeter(shelf + QStringLiteral("/b"), 14, 30);
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    // Something there before, with an edited comment.
    QCOMPARE(archive.ImportDatabase(shelf + QStringLiteral("/b/zym_5.db")), int(ArchiveOk));
    QCOMPARE(archive.SaveKomentarz(1, QStringLiteral("edytowany")), int(ArchiveOk));
    const QStringList before = ArchiveDump(path);
    TArchiveImportSummary s;
    const auto stop = [&](qint64 done, qint64) { return done < stopAt; };
    const int result = folder ? archive.ImportFolder(shelf, &s, stop)
                              : archive.ImportDatabase(shelf + QStringLiteral("/a/zym_5.db"), &s, stop);
    QCOMPARE(result, int(ArchiveCancelled));
    QCOMPARE(s.iImportId, qint64(0));
    QCOMPARE(ArchiveDump(path), before);
    // And the archive still takes the import afterwards.
    QCOMPARE(archive.ImportDatabase(shelf + QStringLiteral("/a/zym_5.db"), &s), int(ArchiveOk));
    QCOMPARE(s.iNew, 40);
}

void TestArchive::twoImportersAtOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    const TSimMeter other = WriteMeter(dir.filePath(QStringLiteral("b")), 15, 10);
    TArchive first, second, reader;
    QCOMPARE(first.Open(path), int(ArchiveOk));
    QCOMPARE(second.Open(path), int(ArchiveOk));
    QCOMPARE(reader.Open(path), int(ArchiveOk));
    QCOMPARE(reader.ImportDatabase(other.qsDataBase), int(ArchiveOk));
    second.SetBusyTimeoutMs(200);

    int secondResult = 99;
    QString secondError;
    int listed = -1;
    int lateOpen = 99;
    TArchiveImportSummary s;
    QCOMPARE(first.ImportDatabase(meterA.qsDataBase, &s,
                                  [&](qint64 done, qint64) {
                                      if (done == 10) {
                                          // The other writer waits, then says why it gave up ...
                                          secondResult = second.ImportDatabase(other.qsDataBase);
                                          secondError = second.LastErrorText();
                                          // ... while browsing goes on.
                                          std::unique_ptr<QSqlQueryModel> model(reader.PomiaryModel(1));
                                          listed = model->rowCount();
                                          TArchive late;
                                          late.SetBusyTimeoutMs(0);
                                          lateOpen = late.Open(path);
                                      }
                                      return true;
                                  }),
             int(ArchiveOk));
    QCOMPARE(secondResult, int(ArchiveBusy));
    QVERIFY(!secondError.isEmpty());
    QVERIFY(listed > 0);
    QCOMPARE(lateOpen, int(ArchiveOk));
    TArchiveImportSummary again;
    QCOMPARE(second.ImportDatabase(other.qsDataBase, &again), int(ArchiveOk));
    QCOMPARE(again.iArchived, 10);
    QCOMPARE(reader.PomiarCount(), qint64(50));
}

void TestArchive::checkFindsDamage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(meterA.qsDataBase), int(ArchiveOk));
    TArchiveCheckResult check;
    QCOMPARE(archive.Check(&check), int(ArchiveOk));
    QVERIFY(check.Ok());
    QCOMPARE(check.iRecords, qint64(40));
    // One record swapped for another's, one hash changed.
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE rekord SET dane = (SELECT dane FROM rekord WHERE pomiar_id = 2) "
                                          "WHERE pomiar_id = 7")),
             QString());
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET sha256 = zeroblob(32) WHERE pomiar_id = 9")), QString());
    QCOMPARE(archive.Check(&check), int(ArchiveOk));
    QCOMPARE(check.damaged, (QVector<qint64>{7, 9}));
    std::unique_ptr<TDataPomiar> rec = PulseRecord();
    const QByteArray was = RecordSha256(rec.get());
    QCOMPARE(archive.ReadRecord(7, rec.get()), int(ArchiveDamaged));
    QVERIFY(!archive.LastErrorText().isEmpty());
    QCOMPARE(RecordSha256(rec.get()), was);
    QCOMPARE(archive.ReadRecord(2, rec.get()), int(ArchiveOk));
    QCOMPARE(archive.ReadRecord(123456, rec.get()), int(ArchiveNotFound));
}

// ---------------------------------------------------------------- kill -9

void TestArchive::killedImport_data()
{
    QTest::addColumn<int>("pauseAt"); // the importer stops at this row and is killed; -1: killed after a delay
    QTest::addColumn<int>("delayMs");
    QTest::newRow("before the first row") << 0 << 0;
    QTest::newRow("half-way") << 20 << 0;
    QTest::newRow("at the last row") << 39 << 0;
    QTest::newRow("while writing, 30 ms") << -1 << 30;
    QTest::newRow("while writing, 80 ms") << -1 << 80;
    QTest::newRow("while writing, 150 ms") << -1 << 150;
    QTest::newRow("while writing, 300 ms") << -1 << 300;
}

void TestArchive::killedImport()
{
#ifndef Q_OS_UNIX
    QSKIP("kill -9 is tried on Unix");
#else
    QFETCH(int, pauseAt);
    QFETCH(int, delayMs);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    const TSimMeter other = WriteMeter(dir.filePath(QStringLiteral("b")), 16, 10);
    {
        TArchive archive;
        QCOMPARE(archive.Open(path), int(ArchiveOk));
        QCOMPARE(archive.ImportDatabase(other.qsDataBase), int(ArchiveOk));
    }
    const QStringList before = ArchiveDump(path);

    QProcess importer;
    importer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    importer.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--import"), path, meterA.qsDataBase, QString::number(pauseAt)});
    QVERIFY(importer.waitForStarted());
    if (pauseAt >= 0) {
        QByteArray out;
        while (!out.contains("paused") && importer.waitForReadyRead(10000))
            out += importer.readAllStandardOutput();
        QVERIFY2(out.contains("paused"), out.constData());
    } else {
        QThread::msleep(ulong(delayMs));
    }
    importer.kill(); // SIGKILL: no chance to clean up
    importer.waitForFinished();

    QCOMPARE(IntegrityOf(path), QStringLiteral("ok"));
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    const qint64 count = archive.PomiarCount();
    if (pauseAt >= 0 || count == 10)
        QCOMPARE(ArchiveDump(path), before);
    else
        QCOMPARE(count, qint64(50));
    TArchiveCheckResult check;
    QCOMPARE(archive.Check(&check), int(ArchiveOk));
    QVERIFY(check.Ok());
#endif
}

// The importer the kill test runs: `--import archive source pauseAt`.
static int RunImporter(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    TArchive archive;
    if (args.size() < 5 || archive.Open(args[2]) != ArchiveOk)
        return 2;
    const int pauseAt = args[4].toInt();
    const int result = archive.ImportDatabase(args[3], nullptr, [&](qint64 done, qint64) {
        if (done == pauseAt) {
            std::fputs("paused\n", stdout);
            std::fflush(stdout);
            for (;;)
                QThread::sleep(1);
        }
        return true;
    });
    return result == ArchiveOk ? 0 : 1;
}

// Another program writing to a meter database: `--hold database` keeps a
// write transaction open until killed.
static int RunHolder(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db.setDatabaseName(app.arguments().at(2));
        QSqlQuery q(db);
        if (!db.open() || !q.exec(QStringLiteral("BEGIN EXCLUSIVE"))
            || !q.exec(QStringLiteral("UPDATE pomiar SET pomiar_komentarz = 'w trakcie' WHERE pomiar_id = 1")))
            return 1;
        std::fputs("held\n", stdout);
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
}

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--import") == 0)
        return RunImporter(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--hold") == 0)
        return RunHolder(argc, argv);
    QCoreApplication app(argc, argv);
    TestArchive test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_archive.moc"
