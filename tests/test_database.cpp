// TDataBase against real SQLite files: opening, rows, data files behind
// rows, single values and the comment update; and the file-name check.

#include "database/historiaread.h"
#include "database/meterlayout.h"
#include "database/safepath.h"
#include "database/tdatabase.h"
#include "historia/historia.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>

using namespace testsupport;

class TestDataBase : public QObject
{
    Q_OBJECT

private slots:
    void safeRelativeName_data();
    void safeRelativeName();

    void openMissingKeepsOpenDatabase();
    void openPathWithPolishLetters();
    void openDriverFailure();

    void readRowFillsEveryColumn();
    void readRowWithoutAColumn();
    void objectList_data();
    void objectList();

    void loadPomiar_data();
    void loadPomiar();
    void loadPomiarNegativeIdReadsNothing();

    void firstValueText_data();
    void firstValueText();
    void viewsAreNotRead_data();
    void viewsAreNotRead();
    void twoDatabasesReadInTurn();
    void meterTablesReasons_data();
    void meterTablesReasons();
    void historiaByRowid();

    void komentarzRoundTrip_data();
    void komentarzRoundTrip();
    void komentarzStatementText();
    void komentarzUpdateFailures_data();
    void komentarzUpdateFailures();

private:
    static std::unique_ptr<TDataBase> NewBaza() { return std::unique_ptr<TDataBase>(new TDataBase); }
};

// ---------------------------------------------------------------- file names

void TestDataBase::safeRelativeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "pomiar_000001.zym5" << true;
    QTest::newRow("subfolder") << "2023/05/pomiar_1.zym5" << true;
    QTest::newRow("subfolder backslash") << "2023\\pomiar_1.zym5" << true;
    QTest::newRow("dot folder") << "./pomiar_1.zym5" << true;
    QTest::newRow("down and up, stays inside") << "a/../pomiar_1.zym5" << true;
    QTest::newRow("dots inside a name") << "pomiar..1.zym5" << true;
    QTest::newRow("polish letters") << "pomiar_łąka.zym5" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("climbs out") << "../pomiar_1.zym5" << false;
    QTest::newRow("climbs out later") << "a/../../pomiar_1.zym5" << false;
    QTest::newRow("climbs out backslash") << "..\\pomiar_1.zym5" << false;
    QTest::newRow("only climbs") << ".." << false;
    QTest::newRow("absolute unix") << "/etc/passwd" << false;
    QTest::newRow("absolute windows") << "C:/Windows/win.ini" << false;
    QTest::newRow("drive relative") << "C:win.ini" << false;
    QTest::newRow("root backslash") << "\\Windows\\win.ini" << false;
    QTest::newRow("unc share") << "//server/share/pomiar.zym5" << false;
    QTest::newRow("folder only") << "2023/" << false;
    QTest::newRow("dot only") << "." << false;
}

void TestDataBase::safeRelativeName()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(IsSafeRelativeName(name), safe);
}

// ---------------------------------------------------------------- opening

void TestDataBase::openMissingKeepsOpenDatabase()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.db"));
    QCOMPARE(MakeDataBase(a, {QStringLiteral("Obiekt A")}, {}, true), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(a), int(TDataBase::OpenOk));
    QVERIFY(baza->IsOpen());

    QDir(dir.path()).mkdir(QStringLiteral("inny"));
    const QString missing = dir.filePath(QStringLiteral("inny/brak.db"));
    QCOMPARE(baza->Open(missing), int(TDataBase::OpenNoFile));
    // The open database stays in use; only the data folder moved already.
    QVERIFY(baza->IsOpen());
    QCOMPARE(baza->FirstValueText(QStringLiteral("SELECT Obiekt_nazwa FROM obiekt")), QStringLiteral("Obiekt A"));
    QCOMPARE(baza->qsDataFolder, QDir(dir.path()).absolutePath() + QStringLiteral("/inny/"));
}

void TestDataBase::openPathWithPolishLetters()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("łąka")));
    const QString path = dir.filePath(QStringLiteral("łąka/pomiary ąę.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Żuraw")}, {}), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    QCOMPARE(baza->FirstValueText(QStringLiteral("SELECT Obiekt_nazwa FROM obiekt")), QStringLiteral("Żuraw"));
    QCOMPARE(baza->qsDataFolder, QDir(dir.path()).absolutePath() + QStringLiteral("/łąka/"));
    // No stray file was made under a mangled name.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("łąka"))).entryList(QDir::Files).size(), 1);
}

void TestDataBase::openDriverFailure()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.db"));
    QCOMPARE(MakeDataBase(a, {QStringLiteral("Obiekt A")}, {}), QString());
    auto baza = NewBaza();
    QCOMPARE(baza->Open(a), int(TDataBase::OpenOk));

    // A folder exists, but no driver can open it as a database file.
    const QString folder = dir.filePath(QStringLiteral("folder.db"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.db")));
    QCOMPARE(baza->Open(folder), int(TDataBase::OpenDriverFailed));
    QVERIFY(!baza->IsOpen());
    QVERIFY(!baza->LastErrorText().trimmed().isEmpty());
    QCOMPARE(baza->FirstValueText(QStringLiteral("SELECT Obiekt_nazwa FROM obiekt")), QStringLiteral("NULL"));
}

// ---------------------------------------------------------------- rows

void TestDataBase::readRowFillsEveryColumn()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    TTestPomiar p{7, 1, 0.0123};
    p.czas = 1688212800;
    p.plik_dane = QStringLiteral("sub/p7.zym5");
    p.komentarz = QStringLiteral("Zacisk 'L1'");
    p.metoda = 0x180;
    p.status = -1;
    TTestPomiar nullComment{8, 1, 1.5};
    nullComment.komentarz = QVariant();
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {p, nullComment}), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    QVERIFY(baza->ReadRow(7));
    QCOMPARE(baza->Row.czas, 1688212800);
    QCOMPARE(baza->Row.plik_dane, QStringLiteral("sub/p7.zym5"));
    QCOMPARE(baza->Row.rezystancja, 0.0123);
    QCOMPARE(baza->Row.metoda, 0x180);
    QCOMPARE(baza->Row.komentarz, QStringLiteral("Zacisk 'L1'"));
    QCOMPARE(baza->Row.status, -1);
    QCOMPARE(baza->Row.vref, 2.048);
    QCOMPARE(baza->Row.temp_core, 36.5);

    QVERIFY(baza->ReadRow(8));
    QCOMPARE(baza->Row.komentarz, QString());
    QCOMPARE(baza->Row.status, 0);

    // No such row: every field stays as it was.
    QVERIFY(!baza->ReadRow(99));
    QCOMPARE(baza->Row.rezystancja, 1.5);
    QCOMPARE(baza->Row.plik_dane, QStringLiteral("pomiar_8.zym5"));
}

void TestDataBase::readRowWithoutAColumn()
{
    // An older meter's table without pomiar_temp_core: the other columns still come.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {TTestPomiar{7, 1, 0.0123}}), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("ALTER TABLE pomiar DROP COLUMN pomiar_temp_core")), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    baza->Row.temp_core = -4;
    QVERIFY(baza->ReadRow(7));
    QCOMPARE(baza->Row.rezystancja, 0.0123);
    QCOMPARE(baza->Row.vref, 2.048);
    QCOMPARE(baza->Row.temp_core, -4.0);
}

// ---------------------------------------------------------------- object lists

void TestDataBase::objectList_data()
{
    QTest::addColumn<QString>("change"); // run by another connection after the first list ("" none)
    QTest::addColumn<int>("obiekt");
    QTest::addColumn<QList<int>>("ids"); // the list's ids, in order

    // Rows 1..6 belong to objects 1, 2, 1, 2, 1, 3.
    QTest::newRow("interleaved") << "" << 1 << QList<int>{1, 3, 5};
    QTest::newRow("other object") << "" << 2 << QList<int>{2, 4};
    QTest::newRow("no measurements") << "" << 9 << QList<int>{};
    QTest::newRow("row added meanwhile")
        << "INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_rezystancja, pomiar_obiekt_id) VALUES (7, 0, 1, 1)" << 1
        << QList<int>{1, 3, 5, 7};
    QTest::newRow("row inserted before the others")
        << "INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_rezystancja, pomiar_obiekt_id) VALUES (0, 0, 1, 1)" << 1
        << QList<int>{0, 1, 3, 5};
    QTest::newRow("row moved meanwhile") << "UPDATE pomiar SET pomiar_obiekt_id=1 WHERE pomiar_id=6" << 1
                                         << QList<int>{1, 3, 5, 6};
    QTest::newRow("row deleted meanwhile") << "DELETE FROM pomiar WHERE pomiar_id=3" << 1 << QList<int>{1, 5};
    QTest::newRow("object id not a whole number") << "UPDATE pomiar SET pomiar_obiekt_id=1.5 WHERE pomiar_id=6" << 1
                                                  << QList<int>{1, 3, 5};
    QTest::newRow("object id missing") << "UPDATE pomiar SET pomiar_obiekt_id=NULL WHERE pomiar_id=5" << 1
                                       << QList<int>{1, 3};
}

void TestDataBase::objectList()
{
    QFETCH(QString, change);
    QFETCH(int, obiekt);
    QFETCH(QList<int>, ids);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QVector<TTestPomiar> rows;
    const int objects[] = {1, 2, 1, 2, 1, 3};
    for (int i = 0; i < 6; ++i)
        rows << TTestPomiar{i + 1, objects[i], 0.1 * (i + 1)};
    QCOMPARE(MakeDataBase(path, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, rows), QString());
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    std::unique_ptr<QSqlQueryModel> objectsModel(baza->ObiektyModel());
    QVERIFY(objectsModel);
    auto listed = [&] {
        std::unique_ptr<QSqlQueryModel> model(baza->PomiaryModel(obiekt));
        QList<int> got;
        for (int r = 0; r < model->rowCount(); ++r)
            got << model->index(r, 0).data().toInt();
        return got;
    };
    QList<int> first = listed();
    if (!change.isEmpty()) {
        // Reading leaves the meter's file as it was.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();
        QCOMPARE(ExecSql(path, change), QString());
        first = listed();
    }
    QCOMPARE(first, ids);
}

// ---------------------------------------------------------------- data files behind rows

void TestDataBase::loadPomiar_data()
{
    QTest::addColumn<QString>("plikDane"); // pomiar_plik_dane of row 1
    QTest::addColumn<QString>("written");  // file written, relative to the database's folder ("" none)
    QTest::addColumn<qint64>("bytes");     // its size
    QTest::addColumn<int>("id");           // id asked for
    QTest::addColumn<int>("expected");

    const qint64 full = kPomiarFileSize;
    QTest::newRow("whole file") << "p1.zym5" << "p1.zym5" << full << 1 << 0;
    QTest::newRow("longer file") << "p1.zym5" << "p1.zym5" << full + 100 << 1 << 0;
    QTest::newRow("subfolder") << "2023/p1.zym5" << "2023/p1.zym5" << full << 1 << 0;
    QTest::newRow("missing") << "p1.zym5" << "" << full << 1 << -1;
    QTest::newRow("one byte short") << "p1.zym5" << "p1.zym5" << full - 1 << 1 << -1;
    QTest::newRow("empty file") << "p1.zym5" << "p1.zym5" << qint64(0) << 1 << -1;
    QTest::newRow("climbs out") << "../outside.zym5" << "../outside.zym5" << full << 1 << -1;
    QTest::newRow("absolute") << "@ABS@/outside.zym5" << "../outside.zym5" << full << 1 << -1;
    QTest::newRow("empty name") << "" << "" << full << 1 << -1;
    QTest::newRow("no such row") << "p1.zym5" << "p1.zym5" << full << 2 << -1;
}

void TestDataBase::loadPomiar()
{
    QFETCH(QString, plikDane);
    QFETCH(QString, written);
    QFETCH(qint64, bytes);
    QFETCH(int, id);
    QFETCH(int, expected);

    QTemporaryDir top;
    QVERIFY(QDir(top.path()).mkpath(QStringLiteral("baza/2023")));
    const QString folder = top.filePath(QStringLiteral("baza"));
    plikDane.replace(QStringLiteral("@ABS@"), QDir(top.path()).absolutePath());

    std::unique_ptr<TDataPomiar> file = PulseRecord(7.5, 0.25);
    file->czas = 1234567;
    if (!written.isEmpty()) {
        const QString target = folder + QLatin1Char('/') + written;
        QVERIFY(WriteRecordBytes(target, *file, qMin(bytes, kPomiarFileSize)));
        if (bytes > kPomiarFileSize) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::Append));
            f.write(QByteArray(int(bytes - kPomiarFileSize), 'x'));
        }
    }

    TTestPomiar row{1, 1, 0.25};
    row.plik_dane = plikDane.isEmpty() ? QStringLiteral("") : plikDane;
    const QString path = folder + QStringLiteral("/zym_5.db");
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {row}), QString());
    if (plikDane.isEmpty())
        QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_plik_dane=''")), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    // What was loaded before must survive any failure whole.
    std::unique_ptr<TDataPomiar> before = PulseRecord(1.0, 3.0);
    std::memcpy(&baza->Pomiar, before.get(), sizeof(TDataPomiar));

    QCOMPARE(baza->LoadPomiar(id), expected);
    const TDataPomiar &want = expected == 0 ? *file : *before;
    QVERIFY(std::memcmp(&baza->Pomiar, &want, sizeof(TDataPomiar)) == 0);
}

void TestDataBase::loadPomiarNegativeIdReadsNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {TTestPomiar{1, 1, 0.5}}), QString());
    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    baza->Row.plik_dane = QStringLiteral("marker");
    QCOMPARE(baza->LoadPomiar(-5), -5);
    QCOMPARE(baza->Row.plik_dane, QStringLiteral("marker"));
}

// ---------------------------------------------------------------- single values

void TestDataBase::firstValueText_data()
{
    QTest::addColumn<bool>("withZym");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text") << true << true << "SELECT serial_zym FROM ZYM" << "ZYM5-0042";
    QTest::newRow("integer as text") << true << true << "SELECT u2_offset FROM ZYM" << "1095";
    QTest::newRow("no ZYM table") << false << true << "SELECT serial_zym FROM ZYM" << "NULL";
    QTest::newRow("no row") << true << true << "SELECT obiekt_id FROM obiekt WHERE obiekt_id=99" << "NULL";
    QTest::newRow("closed") << true << false << "SELECT serial_zym FROM ZYM" << "NULL";
}

void TestDataBase::firstValueText()
{
    QFETCH(bool, withZym);
    QFETCH(bool, open);
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {}, withZym), QString());
    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    if (!open)
        baza->Close();
    QCOMPARE(baza->FirstValueText(statement), expected);
}

// A view under a table's name can keep a statement running without end on a
// file of a few kilobytes. The recursions below stop after a million rows,
// so that a reader that does read views fails here instead of hanging.
// Why a file is not a meter's database, as the import names it: one check
// of the schema, the reasons in the order a reader meets them.
void TestDataBase::meterTablesReasons_data()
{
    QTest::addColumn<QStringList>("damage"); // statements run on a sound database
    QTest::addColumn<QString>("reason");     // the first reason given, empty for none
    QTest::newRow("sound") << QStringList() << QString();
    QTest::newRow("no obiekt") << QStringList{"DROP TABLE obiekt"} << "brak tabeli obiekt";
    QTest::newRow("pomiar a view, any case")
        << QStringList{"DROP TABLE pomiar", "CREATE VIEW Pomiar AS SELECT 1 AS pomiar_id"} << "pomiar nie jest tabelą";
    QTest::newRow("obiekt without its name")
        << QStringList{"DROP TABLE obiekt", "CREATE TABLE obiekt (obiekt_id INTEGER, nazwa TEXT)"}
        << "tabela obiekt bez kolumny obiekt_id lub Obiekt_nazwa";
    QTest::newRow("name column in another case")
        << QStringList{"DROP TABLE obiekt", "CREATE TABLE obiekt (OBIEKT_ID INTEGER, obiekt_NAZWA TEXT)"} << QString();
    QTest::newRow("pomiar without its object")
        << QStringList{"DROP TABLE pomiar", "CREATE TABLE pomiar (pomiar_id INTEGER, pomiar_czas INTEGER)"}
        << "tabela pomiar bez kolumny pomiar_id lub pomiar_obiekt_id";
}

void TestDataBase::meterTablesReasons()
{
    QFETCH(QStringList, damage);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {TTestPomiar{1, 1, 0.5}}, true), QString());
    for (const QString &sql : damage)
        QCOMPARE(ExecSql(path, sql), QString());

    using meterlayout::TMeterTables;
    QString given;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("layout"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        TMeterTables tables;
        QSqlError error;
        QVERIFY(tables.Read(db, &error));
        given = tables.Problem();
        if (given.isEmpty())
            given = TMeterTables::ObiektColumnsProblem(TMeterTables::Columns(db, meterlayout::kObiekt));
        if (given.isEmpty())
            given = TMeterTables::PomiarColumnsProblem(TMeterTables::Columns(db, meterlayout::kPomiar));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("layout"));
    QCOMPARE(given, reason);
}

void TestDataBase::viewsAreNotRead_data()
{
    const QString endless =
        QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 1000000) ");
    QTest::addColumn<QString>("table");   // dropped and made a view
    QTest::addColumn<QString>("view");    // CREATE VIEW statement
    QTest::addColumn<bool>("listRead");   // ObiektyModel gives a list
    QTest::addColumn<bool>("namesRead");  // DataFileNames gives the names
    QTest::addColumn<QString>("serial");  // ZymValue("serial_zym")
    QTest::newRow("tables") << "" << "" << true << true << "ZYM5-0042";
    QTest::newRow("objects without end")
        << "obiekt" << "CREATE VIEW obiekt AS " + endless + "SELECT x AS obiekt_id, 'A' AS Obiekt_nazwa FROM n"
        << false << true << "ZYM5-0042";
    QTest::newRow("measurements never found")
        << "pomiar" << "CREATE VIEW POMIAR AS " + endless + "SELECT x AS pomiar_id, '' AS pomiar_plik_dane, "
                       "1 AS pomiar_obiekt_id FROM n WHERE x < 0"
        << false << false << "ZYM5-0042";
    QTest::newRow("meter table") << "ZYM" << "CREATE VIEW ZYM AS " + endless + "SELECT 'V' AS serial_zym FROM n WHERE x = 1000000"
                                 << true << true << "NULL";
}

void TestDataBase::viewsAreNotRead()
{
    QFETCH(QString, table);
    QFETCH(QString, view);
    QFETCH(bool, listRead);
    QFETCH(bool, namesRead);
    QFETCH(QString, serial);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {TTestPomiar{1, 1, 0.5}}, true), QString());
    if (!table.isEmpty()) {
        QCOMPARE(ExecSql(path, QStringLiteral("DROP TABLE ") + table), QString());
        QCOMPARE(ExecSql(path, view), QString());
    }

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    QString reason;
    std::unique_ptr<QSqlQueryModel> list(baza->ObiektyModel(&reason));
    QCOMPARE(list != nullptr, listRead);
    if (!listRead)
        QVERIFY2(reason.contains(table, Qt::CaseInsensitive), qPrintable(reason));
    QStringList names;
    QCOMPARE(TDataBase::DataFileNames(baza->db, &names), namesRead);
    QCOMPARE(baza->ZymValue(QStringLiteral("serial_zym")), serial);
}

// A second database stays open beside the meter's: every read and the
// comment save go to the database they name, in whichever order they come.
void TestDataBase::twoDatabasesReadInTurn()
{
    QTemporaryDir dir;
    const QString meterPath = dir.filePath(QStringLiteral("zym_5.db"));
    const QString otherPath = dir.filePath(QStringLiteral("drugi.db"));
    TTestPomiar meterRow(1, 1, 0.5);
    meterRow.plik_dane = QStringLiteral("a.zym5");
    meterRow.komentarz = QStringLiteral("licznik");
    QCOMPARE(MakeDataBase(meterPath, {QStringLiteral("Szyna A")}, {meterRow}), QString());
    TTestPomiar otherRow(1, 2, 2.5);
    otherRow.plik_dane = QStringLiteral("b.zym5");
    otherRow.komentarz = QStringLiteral("drugi");
    QCOMPARE(MakeDataBase(otherPath, {QStringLiteral("Kabel B"), QStringLiteral("Szyna A")},
                          {otherRow, TTestPomiar(8, 2, 3.5)}),
             QString());

    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("drugi"));
        other.setDatabaseName(otherPath);
        QVERIFY(other.open());
        auto baza = NewBaza();
        QCOMPARE(baza->Open(meterPath), int(TDataBase::OpenOk));

        QVector<THistoriaRow> rows;
        for (int round = 0; round < 2; ++round) {
            QVERIFY(ReadHistoria(other, 2, &rows));
            QCOMPARE(rows.size(), 2);
            QVERIFY(ReadHistoria(baza->db, 1, &rows));
            QCOMPARE(rows.size(), 1);
            QCOMPARE(rows[0].plik, QStringLiteral("a.zym5"));
            QStringList names;
            QVERIFY(TDataBase::DataFileNames(other, &names));
            QVERIFY(TDataBase::DataFileNames(baza->db, &names));
            QCOMPARE(names, QStringList({QStringLiteral("b.zym5"), QStringLiteral("pomiar_8.zym5"),
                                         QStringLiteral("a.zym5")}));
            QCOMPARE(baza->ObjectId(QStringLiteral("Szyna A")), qint64(1));
            std::unique_ptr<QSqlQueryModel> list(baza->ObiektyModel());
            QVERIFY(list);
            QCOMPARE(list->rowCount(), 1);
            QVERIFY(baza->ReadRow(1));
            QCOMPARE(baza->Row.plik_dane, QStringLiteral("a.zym5"));
            QVERIFY(!baza->ReadRow(8));
        }

        baza->PrepareKomentarz(QStringLiteral("nowy"), 1);
        QVERIFY(baza->ExecPending());
        // Opening the meter's database again replaces only its own connection.
        QCOMPARE(baza->Open(meterPath), int(TDataBase::OpenOk));
        QVERIFY(other.isOpen());
        QVERIFY(ReadHistoria(other, 2, &rows));
        QCOMPARE(rows[0].komentarz, QStringLiteral("drugi"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("drugi"));
    QCOMPARE(KomentarzOf(meterPath, 1), QStringLiteral("nowy"));
    QCOMPARE(KomentarzOf(otherPath, 1), QStringLiteral("drugi"));
}

// The history the window reads by rowid is the one the statement over the
// whole table gives, row for row: damaged ids and times included, and rows
// another program adds while the database is open.
void TestDataBase::historiaByRowid()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("A"), QStringLiteral("B")}, {}), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("DROP TABLE pomiar")), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("CREATE TABLE pomiar (pomiar_id, pomiar_czas INTEGER, pomiar_plik_dane TEXT, "
                                          "pomiar_rezystancja REAL, pomiar_metoda INTEGER, pomiar_komentarz TEXT, "
                                          "pomiar_status INTEGER, pomiar_obiekt_id INTEGER)")),
             QString());
    // Object 1's rows between object 2's, which fill most of the table.
    const QString others = QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) INSERT INTO pomiar "
        "SELECT i, 1600000000 + i, 'p' || i, 0.01, 0, '', 0, 2 FROM n");
    QCOMPARE(ExecSql(path, others.arg(100).arg(160)), QString());
    QCOMPARE(ExecSql(path, QStringLiteral(
                               "INSERT INTO pomiar VALUES (1, 1600000300, 'a.zym5', 0.0125, 128, 'x', 0, 1), "
                               "(2, NULL, 'b.zym5', 0.013, 0, NULL, 0, 1), (3, 'wczoraj', 'c', 0.014, 0, '', 0, 1), "
                               "(1.6, 1600000400, 'd', 'abc', 0, '', -1, 1), (8, 1600000100, 'e', 0.0130, 0, '', 0, 1), "
                               "(8, 1600000150, 'f', 0.0131, 0, '', 0, 1), (4, 5000000000000000, 'g', 0.015, 0, '', 0, 1)")),
             QString());
    QCOMPARE(ExecSql(path, others.arg(200).arg(260)), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    auto same = [&](int rows) {
        QVector<THistoriaRow> scanned, looked;
        QVERIFY(ReadHistoria(baza->db, 1, &scanned));
        QVERIFY(baza->ReadHistoria(1, &looked));
        QVector<qint64> rowids;
        QVERIFY(baza->ObjectRows.Rows(baza->db, 1, &rowids)); // the road by rowid was taken
        QCOMPARE(looked.size(), rows);
        QCOMPARE(looked.size(), scanned.size());
        for (int i = 0; i < looked.size(); ++i) {
            const THistoriaRow &a = looked[i], &b = scanned[i];
            QVERIFY2(a.id == b.id && a.bIdExact == b.bIdExact && a.czas == b.czas && a.status == b.status
                         && a.metoda == b.metoda && a.komentarz == b.komentarz && a.plik == b.plik
                         && (a.R == b.R || (std::isnan(a.R) && std::isnan(b.R))),
                     qPrintable(QString::number(i)));
        }
    };
    same(7);
    if (QTest::currentTestFailed())
        return;
    // Another program adds a row of object 1: the next history has it.
    QCOMPARE(ExecSql(path, QStringLiteral("INSERT INTO pomiar VALUES (9, 1600000200, 'h', 0.02, 0, '', 0, 1)")), QString());
    same(8);
}

// ---------------------------------------------------------------- comment update

void TestDataBase::komentarzRoundTrip_data()
{
    QTest::addColumn<QString>("komentarz");
    QTest::newRow("apostrophes") << "Przewód O'Briena, 'L1'";
    QTest::newRow("polish letters") << "Zażółć gęślą jaźń ŻÓŁĆ";
    QTest::newRow("looks like markup") << "R<5 mΩ <b>";
    QTest::newRow("sql in it") << "x'; DROP TABLE pomiar; --";
    QTest::newRow("two lines") << "pierwsza\ndruga";
    QTest::newRow("CR LF") << "pierwsza\r\ndruga";
    QTest::newRow("NUL inside") << QStringLiteral("przed") + QChar(0) + QStringLiteral("po");
    QTest::newRow("empty") << "";
}

void TestDataBase::komentarzRoundTrip()
{
    QFETCH(QString, komentarz);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {TTestPomiar{3, 1, 0.5}, TTestPomiar{4, 1, 0.6}}), QString());
    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    baza->PrepareKomentarz(komentarz, 3);
    QVERIFY(baza->ExecPending());
    baza->Close();
    QCOMPARE(KomentarzOf(path, 3), komentarz);
    // Only that row changed.
    QCOMPARE(ReadValue(path, QStringLiteral("SELECT count(*) FROM pomiar")).toInt(), 2);
    QCOMPARE(KomentarzOf(path, 4), QString());
}

void TestDataBase::komentarzStatementText()
{
    auto baza = NewBaza();
    baza->PrepareKomentarz(QStringLiteral("O'Brien"), 7);
    QCOMPARE(baza->qsSqlKomentarz, QStringLiteral("UPDATE pomiar SET pomiar_komentarz='O''Brien' WHERE pomiar.pomiar_id=7"));
}

void TestDataBase::komentarzUpdateFailures_data()
{
    QTest::addColumn<QString>("setup"); // SQL run on the file before opening it
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("closeFirst");
    QTest::addColumn<QString>("reasonPart"); // part of LastErrorText ("" any)
    QTest::newRow("update refused")
        << "CREATE TRIGGER blokada BEFORE UPDATE ON pomiar BEGIN SELECT RAISE(ABORT, 'komentarze zablokowane'); END"
        << 3 << false << "komentarze zablokowane";
    QTest::newRow("no such row") << "" << 99 << false << "";
    QTest::newRow("connection closed") << "" << 3 << true << "";
}

void TestDataBase::komentarzUpdateFailures()
{
    QFETCH(QString, setup);
    QFETCH(int, id);
    QFETCH(bool, closeFirst);
    QFETCH(QString, reasonPart);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    TTestPomiar row{3, 1, 0.5};
    row.komentarz = QStringLiteral("przed");
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {row}), QString());
    if (!setup.isEmpty())
        QCOMPARE(ExecSql(path, setup), QString());

    auto baza = NewBaza();
    QCOMPARE(baza->Open(path), int(TDataBase::OpenOk));
    if (closeFirst)
        baza->Close();
    baza->PrepareKomentarz(QStringLiteral("po"), id);
    QVERIFY(!baza->ExecPending());
    QVERIFY2(baza->LastErrorText().contains(reasonPart), qPrintable(baza->LastErrorText()));
    baza->Close();
    QCOMPARE(KomentarzOf(path, 3), QStringLiteral("przed"));
}

QTEST_GUILESS_MAIN(TestDataBase)
#include "test_database.moc"
