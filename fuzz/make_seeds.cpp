// zym-fuzz-seeds OUTDIR: writes the starting corpora of the fuzz targets,
// OUTDIR/datafile/ and OUTDIR/database/, the same bytes on every run.
//
// The seeds are what the simulated meter writes plus the damaged cases the
// tests build: files cut short or run long, channels that name nothing,
// scales that are not numbers, rows that name files outside the folder,
// databases without a table, with untyped columns, views, WAL mode.

#include "simulator/zymsim.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include "fuzz/datafileinput.h"
#include "measurement/tdatapomiar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <set>
#include <utility>

using namespace testsupport;

namespace {

QTextStream err(stderr);
bool gOk = true;

void Fail(const QString &what)
{
    err << "zym-fuzz-seeds: " << what << '\n';
    gOk = false;
}

// ---------------------------------------------------------------- data files

// The seed of fuzz_datafile for `rec` as a file of `bytes` bytes, in the
// target's compact form.
void SaveRecord(const QString &dir, const QString &name, const TDataPomiar &rec, qint64 bytes = kPomiarFileSize)
{
    const QString path = dir + name;
    const QByteArray input = datafileinput::Compact(rec, bytes);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(input) != input.size())
        Fail(QStringLiteral("cannot write ") + path);
}

void DataFileSeeds(const QString &dir)
{
    // The simulated meter: one measurement of each kind of range it chooses.
    TSimOptions options;
    options.iObiekty = 6;
    options.iPomiary = 60;
    std::set<std::pair<int, int>> kinds;
    std::unique_ptr<TDataPomiar> rec = ZeroRecord();
    for (const TSimPomiar &p : SimPlan(options)) {
        if (!kinds.insert({p.kanalI * 10 + p.kanalU, p.status}).second)
            continue;
        SimMakeRecord(p, options.seed, rec.get());
        SaveRecord(dir, QStringLiteral("sim_%1.zym5").arg(p.pomiar_id), *rec);
    }

    std::unique_ptr<TDataPomiar> pulse = PulseRecord(7.5, 0.25);
    SaveRecord(dir, QStringLiteral("pulse.zym5"), *pulse);
    // Cut short by a pulled card, or running past the record.
    SaveRecord(dir, QStringLiteral("empty.zym5"), *pulse, 0);
    SaveRecord(dir, QStringLiteral("header_only.zym5"), *pulse, 12);
    SaveRecord(dir, QStringLiteral("one_byte_short.zym5"), *pulse, kPomiarFileSize - 1);
    SaveRecord(dir, QStringLiteral("longer.zym5"), *pulse, kPomiarFileSize + 100);
    SaveRecord(dir, QStringLiteral("zero.zym5"), *ZeroRecord());

    // The method bit in the lowest byte only; a time beyond 32 bits.
    rec = PulseRecord(3.0, 0.01);
    rec->metoda = 0x180;
    rec->czas = (qint64(1) << 32) + 1;
    rec->rezerwa = (2999 << 16) | 1000; // rows the evaluation is asked about
    SaveRecord(dir, QStringLiteral("method_3p.zym5"), *rec);

    // Both ranges overdriven: the detection keeps channels that name nothing.
    rec = PulseRecord(5.0, 0.2);
    rec->dane[1500][2] = 100000;
    rec->dane[1500][5] = 5000;
    rec->dane[1500][0] = 4095;
    rec->dane[1500][1] = 4095;
    rec->kanalI = 9;
    rec->kanalU = 1 << 30;
    SaveRecord(dir, QStringLiteral("channels_out.zym5"), *rec);
    rec->kanalI = -1;
    rec->kanalU = 6;
    SaveRecord(dir, QStringLiteral("channels_negative.zym5"), *rec);

    // Scales that are not numbers, and counts far beyond 12 bits.
    rec = PulseRecord(5.0, 0.2);
    rec->skala[2] = std::numeric_limits<double>::quiet_NaN();
    rec->skala[1] = std::numeric_limits<double>::infinity();
    SaveRecord(dir, QStringLiteral("scale_nan.zym5"), *rec);
    rec = PulseRecord(5.0, 0.2);
    for (int r = 0; r < kPomiarRows; r += 7) {
        rec->dane[r][1] = std::numeric_limits<qint32>::min();
        rec->dane[r][2] = std::numeric_limits<qint32>::max();
    }
    rec->skala[1] = 1e300;
    rec->skala[2] = 1.0 / 128; // halfway values in the export
    SaveRecord(dir, QStringLiteral("counts_extreme.zym5"), *rec);

    // A flat top and a maximum that recurs after a dip (the calculator's search).
    rec = PulseRecord(5.0, 0.2);
    rec->dane[1500][2] = 900;
    rec->dane[1800][2] = 900;
    rec->dane[1600][2] = 100;
    SaveRecord(dir, QStringLiteral("maximum_recurs.zym5"), *rec);
}

// ---------------------------------------------------------------- databases

// Runs `statements` on the database file `path` in one connection.
void Exec(const QString &path, const QStringList &statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("seeds_%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            Fail(db.lastError().text());
        } else {
            QSqlQuery q(db);
            for (const QString &sql : statements)
                if (!q.exec(sql))
                    Fail(path + QStringLiteral(": ") + q.lastError().text() + QStringLiteral(": ") + sql);
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

QVector<TTestPomiar> BrowseRows()
{
    QVector<TTestPomiar> rows;
    auto add = [&rows](int id, int obiekt, double r, const QString &plik) -> TTestPomiar & {
        rows.append(TTestPomiar(id, obiekt, r));
        rows.last().plik_dane = plik;
        return rows.last();
    };
    add(1, 1, 0.115, QStringLiteral("pomiar_000001.zym5"));
    add(2, 1, 1500.0, QStringLiteral("pomiar_000002.zym5")).status = -1;
    add(3, 2, 12.5, QStringLiteral("p1.zym5")).komentarz = QStringLiteral("Zacisk 'L1'");
    add(4, 2, 0.0123, QStringLiteral("2023/p1.zym5")).metoda = 0x180;
    add(5, 3, 0.5, QStringLiteral("sub/p7.zym5")).komentarz = QVariant();
    add(6, 3, 0.5, QStringLiteral("short.zym5"));
    add(7, 4, 0.5, QStringLiteral("../outside.zym5"));
    add(8, 4, 0.5, QStringLiteral("/outside.zym5"));
    add(9, 1, 0.5, QStringLiteral("missing.zym5")).czas = -1;
    add(10, 2, 0.5, QStringLiteral("pomiar_1.zym5"));
    return rows;
}

void DataBaseSeeds(const QString &dir)
{
    // The simulated meter's database (its data files are not needed: the
    // fuzz target brings its own under the same names).
    QTemporaryDir meter;
    TSimOptions options;
    options.iObiekty = 4;
    options.iPomiary = 10;
    options.iDataFiles = 0;
    TSimMeter written;
    QString error;
    if (!meter.isValid() || SimWriteMeter(meter.path(), options, &written, &error) != SimOk)
        Fail(QStringLiteral("simulator: ") + error);
    else if (!QFile::copy(written.qsDataBase, dir + QStringLiteral("simulator.db")))
        Fail(QStringLiteral("cannot copy the simulator's database"));

    const QStringList obiekty = {QStringLiteral("Transformator T1"), QStringLiteral("Kabel 'A'"),
                                 QStringLiteral("Transformator T1"), QString()};
    const QVector<TTestPomiar> rows = BrowseRows();
    auto make = [&](const QString &name, bool withZym) {
        const QString path = dir + name;
        const QString problem = MakeDataBase(path, obiekty, rows, withZym);
        if (!problem.isEmpty())
            Fail(path + QStringLiteral(": ") + problem);
        return path;
    };
    make(QStringLiteral("browse.db"), true);
    make(QStringLiteral("no_zym.db"), false);
    Exec(make(QStringLiteral("no_pomiar.db"), true), {QStringLiteral("DROP TABLE pomiar")});
    Exec(make(QStringLiteral("no_obiekt.db"), true), {QStringLiteral("DROP TABLE obiekt")});
    Exec(make(QStringLiteral("zym_empty.db"), true), {QStringLiteral("DELETE FROM ZYM")});
    Exec(make(QStringLiteral("ids_odd.db"), true),
         {QStringLiteral("UPDATE pomiar SET pomiar_id = -5 WHERE pomiar_id = 1"),
          QStringLiteral("UPDATE pomiar SET pomiar_obiekt_id = NULL WHERE pomiar_id = 2"),
          QStringLiteral("UPDATE obiekt SET obiekt_id = 0 WHERE obiekt_id = 4"),
          QStringLiteral("UPDATE pomiar SET pomiar_obiekt_id = 0 WHERE pomiar_id = 3"),
          QStringLiteral("UPDATE pomiar SET pomiar_czas = 9223372036854775807 WHERE pomiar_id = 4")});
    // Another firmware: columns without types, values of any kind.
    Exec(dir + QStringLiteral("untyped.db"),
         {QStringLiteral("CREATE TABLE obiekt (obiekt_id, Obiekt_nazwa)"),
          QStringLiteral("CREATE TABLE pomiar (pomiar_id, pomiar_czas, pomiar_plik_dane, pomiar_rezystancja, "
                         "pomiar_metoda, pomiar_komentarz, pomiar_status, pomiar_vref, pomiar_temp_core, "
                         "pomiar_obiekt_id)"),
          QStringLiteral("CREATE TABLE ZYM (serial_zym, hw)"),
          QStringLiteral("INSERT INTO obiekt VALUES (1, 5), ('x', X'00FF'), (2.5, 'a''b'), (NULL, NULL)"),
          QStringLiteral("INSERT INTO pomiar VALUES (1, 'abc', 1, 'R', 1e400, X'41', -1, NULL, 'x', 1), "
                         "(2.7, -1e30, X'706f6d6961725f3030303030312e7a796d35', -0.0, 128, 5, 'x', 1, 1, 5), "
                         "(3, 1600000000, 'p1.zym5', 1e308, -2147483649, 'k', 2147483648, 0, 0, 'x')"),
          QStringLiteral("INSERT INTO ZYM VALUES (X'00', NULL)")});
    // Tables that are views, as a newer meter might keep them.
    Exec(dir + QStringLiteral("views.db"),
         {QStringLiteral("CREATE TABLE o (id INTEGER PRIMARY KEY, n TEXT)"),
          QStringLiteral("CREATE TABLE p (id INTEGER PRIMARY KEY, czas INTEGER, plik TEXT, r REAL, o INTEGER)"),
          QStringLiteral("CREATE VIEW obiekt AS SELECT id AS obiekt_id, n AS Obiekt_nazwa FROM o"),
          QStringLiteral("CREATE VIEW pomiar AS SELECT id AS pomiar_id, czas AS pomiar_czas, plik AS pomiar_plik_dane, "
                         "r AS pomiar_rezystancja, 0 AS pomiar_metoda, '' AS pomiar_komentarz, 0 AS pomiar_status, "
                         "0 AS pomiar_vref, 0 AS pomiar_temp_core, o AS pomiar_obiekt_id FROM p"),
          QStringLiteral("INSERT INTO o VALUES (1, 'V')"),
          QStringLiteral("INSERT INTO p VALUES (1, 1600000000, 'pomiar_000001.zym5', 0.1, 1), "
                         "(2, 1600000001, 'p1.zym5', 0.2, 1)")});
    // A journal in WAL mode: reading must not leave its files behind.
    Exec(make(QStringLiteral("wal.db"), true), {QStringLiteral("PRAGMA journal_mode=WAL")});
    // The smallest pages: the same content in far fewer bytes to mutate.
    Exec(make(QStringLiteral("small_pages.db"), true), {QStringLiteral("PRAGMA page_size=512"), QStringLiteral("VACUUM")});

    // Not a database at all.
    QFile empty(dir + QStringLiteral("empty.db"));
    if (!empty.open(QIODevice::WriteOnly))
        Fail(QStringLiteral("cannot write empty.db"));
    QFile text(dir + QStringLiteral("text.db"));
    if (!text.open(QIODevice::WriteOnly) || text.write("SQLite format 2\n") < 0)
        Fail(QStringLiteral("cannot write text.db"));
}

bool FreshFolder(const QString &path)
{
    QDir dir(path);
    return (!dir.exists() || dir.removeRecursively()) && QDir().mkpath(path);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv); // the SQL driver is a plugin
    if (argc != 2) {
        err << "usage: zym-fuzz-seeds OUTDIR\n";
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QLatin1Char('/');
    const QString datafile = out + QStringLiteral("datafile/");
    const QString database = out + QStringLiteral("database/");
    if (!FreshFolder(datafile) || !FreshFolder(database)) {
        err << "zym-fuzz-seeds: cannot make the folders in " << out << '\n';
        return 1;
    }
    DataFileSeeds(datafile);
    DataBaseSeeds(database);
    return gOk ? 0 : 1;
}
