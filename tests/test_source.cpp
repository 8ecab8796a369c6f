// Where the windows' measurements come from: the meter's database and the
// archive answer the same questions alike (one table-driven test on a
// simulated meter and an archive imported from it), and the owner of the
// measurement shown announces each change once.

#include "archive/archivesource.h"
#include "database/shownpomiar.h"
#include "database/tdatabase.h"
#include "historia/historia.h"
#include "simulator/zymsim.h"

#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QSqlQueryModel>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

class TestSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAnswers_data();
    void sameAnswers();
    void ownerAnnouncesOnce();

private:
    TPomiarSource *Source(bool archive) { return archive ? static_cast<TPomiarSource *>(&archiwum) : &baza; }
    QByteArray FileOf(const TSimPomiar &p) const;

    QTemporaryDir tmp;
    TSimMeter meter;
    TDataBase baza;
    TArchiveSource archiwum;
    QString name;           // an object whose name no other object has
    QVector<TSimPomiar> of; // its measurements
    int missing = 0;        // pomiar_id of one whose data file is gone
    int shortFile = 0;      // ... and of one whose data file is cut short
    QString serial;         // the meter's serial number
};

QByteArray TestSource::FileOf(const TSimPomiar &p) const
{
    QFile file(meter.qsFolder + p.plik_dane);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSource::initTestCase()
{
    QVERIFY(tmp.isValid());
    TSimOptions options;
    options.seed = 21;
    options.iPomiary = 30;
    options.iObiekty = 4;
    QString error;
    QCOMPARE(SimWriteMeter(tmp.filePath(QStringLiteral("meter")), options, &meter, &error), int(SimOk));
    for (const QString &candidate : meter.obiekty) {
        if (meter.obiekty.count(candidate) == 1) {
            name = candidate;
            break;
        }
    }
    const int obiektId = meter.obiekty.indexOf(name) + 1;
    for (const TSimPomiar &p : meter.pomiary) {
        if (p.obiekt_id == obiektId)
            of << p;
    }
    QVERIFY(of.size() >= 4);
    // Two records the import and the meter's road both have to explain.
    missing = of[1].pomiar_id;
    shortFile = of[2].pomiar_id;
    QVERIFY(QFile::remove(meter.qsFolder + of[1].plik_dane));
    QVERIFY(QFile::resize(meter.qsFolder + of[2].plik_dane, 1000));

    QCOMPARE(int(archiwum.archive.Open(tmp.filePath(QStringLiteral("archiwum.zyma")))), int(ArchiveOk));
    QCOMPARE(int(archiwum.archive.ImportDatabase(meter.qsDataBase)), int(ArchiveOk));
    QCOMPARE(int(baza.Open(meter.qsDataBase)), int(TDataBase::OpenOk));
    serial = baza.ZymValue(QStringLiteral("serial_zym"));
    QVERIFY(!serial.isEmpty() && serial != QLatin1String("NULL"));
}

void TestSource::sameAnswers_data()
{
    QTest::addColumn<bool>("archive");
    QTest::newRow("meter database") << false;
    QTest::newRow("archive") << true;
}

void TestSource::sameAnswers()
{
    QFETCH(bool, archive);
    TPomiarSource *source = Source(archive);
    QVERIFY(source->IsOpen());
    QVERIFY(!source->Busy());

    // The objects by name (the archive keeps one object per name).
    std::unique_ptr<QSqlQueryModel> obiekty(source->ObiektyModel());
    QVERIFY(obiekty);
    QSet<QString> names;
    qint64 objectId = -1;
    for (int r = 0; r < obiekty->rowCount(); ++r) {
        const QModelIndex index = obiekty->index(r, 0);
        names << index.data().toString();
        if (index.data().toString() == name)
            objectId = index.data(TPomiarSource::kObiektIdRole).toLongLong();
    }
    QCOMPARE(names, QSet<QString>(meter.obiekty.begin(), meter.obiekty.end()));
    QVERIFY(objectId >= 0);

    // Its measurements, each read with its row and record.
    TSourceWarning warning;
    std::unique_ptr<QSqlQueryModel> pomiary(source->PomiaryList(objectId, &warning));
    QVERIFY2(warning.IsEmpty(), qPrintable(warning.text));
    QCOMPARE(pomiary->rowCount(), of.size());
    auto rec = std::make_unique<TDataPomiar>();
    qint64 shownId = -1;
    for (int r = 0; r < pomiary->rowCount(); ++r) {
        const qint64 id = pomiary->index(r, 0).data(Qt::EditRole).toLongLong();
        TPomiarRow row;
        TPomiarRead read;
        std::memset(rec.get(), 0, sizeof(TDataPomiar));
        const int result = source->ReadPomiar(id, &row, rec.get(), &read);
        QVERIFY(read.rowRead);
        auto truth = std::find_if(of.begin(), of.end(), [&](const TSimPomiar &p) { return p.czas == row.czas; });
        QVERIFY(truth != of.end());
        QCOMPARE(row.plik_dane, truth->plik_dane);
        QCOMPARE(row.rezystancja, truth->rezystancja);
        QCOMPARE(row.metoda, truth->metoda);
        QCOMPARE(row.status, truth->status);
        QVERIFY(read.warning.IsEmpty());
        if (truth->pomiar_id == missing || truth->pomiar_id == shortFile) {
            QCOMPARE(result, int(TPomiarSource::LoadPomiarMissing));
            QCOMPARE(int(read.dataFile), int(truth->pomiar_id == missing ? DataFileMissing : DataFileShort));
            continue;
        }
        QCOMPARE(result, int(TPomiarSource::LoadPomiarOk));
        QCOMPARE(int(read.dataFile), int(DataFileOk));
        QVERIFY(std::memcmp(rec.get(), FileOf(*truth).constData(), sizeof(TDataPomiar)) == 0);
        if (shownId < 0)
            shownId = id;
    }
    QVERIFY(shownId >= 0);
    // The meter of the measurement read last (an archived one's own).
    QCOMPARE(source->MeterValue(shownId, QStringLiteral("serial_zym")), serial);
    QString reportSerial, hw, firmware;
    source->ReportMeter(shownId, &reportSerial, &hw, &firmware);
    QCOMPARE(reportSerial, serial);

    // Nothing is read for a negative id.
    TPomiarRow row;
    TPomiarRead read;
    QCOMPARE(source->ReadPomiar(-5, &row, rec.get(), &read), -5);
    QVERIFY(!read.rowRead);

    // The history: every measurement, each with its meter.
    QVector<THistoriaRow> rows;
    THistoriaMeters meters;
    QString reason;
    QVERIFY2(source->ReadHistoria(objectId, &rows, &meters, &reason), qPrintable(reason));
    QCOMPARE(rows.size(), of.size());
    QCOMPARE(meters.perRow, archive);
    if (archive)
        QCOMPARE(meters.rows, QStringList(QVector<QString>(rows.size(), serial).toList()));
    else
        QCOMPARE(meters.serial, serial);

    // A comment saved is what the row gives next.
    const QString komentarz = QStringLiteral("Zacisk L1\r\nsprawdzony");
    QVERIFY2(source->SaveKomentarz(shownId, komentarz, &reason), qPrintable(reason));
    QCOMPARE(source->ReadPomiar(shownId, &row, rec.get(), &read), int(TPomiarSource::LoadPomiarOk));
    QCOMPARE(row.komentarz, komentarz);
    QVERIFY(!source->KomentarzQuestion().isEmpty());
}

void TestSource::ownerAnnouncesOnce()
{
    TShownChanges shown(&baza);
    QStringList said; // every signal, in order
    connect(&shown, &TShownChanges::SourceChanged, this, [&](TPomiarSource *source) {
        said << (source == &baza ? QStringLiteral("source meter") : QStringLiteral("source archive"));
    });
    connect(&shown, &TShownChanges::Changed, this,
            [&](const TShownPomiar &p) { said << QStringLiteral("changed %1").arg(p.pomiarId); });
    connect(&shown, &TShownChanges::RecordShown, this, [&](const TDataPomiar &record) {
        // The owner's own record, never a copy.
        said << (&record == &shown.Record() ? QStringLiteral("record") : QStringLiteral("record copied"));
    });
    connect(&shown, &TShownChanges::RecordCleared, this,
            [&](const QString &message) { said << QStringLiteral("cleared ") + message; });
    connect(&shown, &TShownChanges::KomentarzSaved, this, [&](qint64 id, const QString &komentarz) {
        said << QStringLiteral("komentarz %1 ").arg(id) + komentarz;
    });
    auto take = [&said]() {
        const QStringList taken = said;
        said.clear();
        return taken;
    };

    // A row change: read silently, then one announcement.
    const TSimPomiar &ok = of[0];
    TShownPomiar pomiar;
    pomiar.pomiarId = ok.pomiar_id;
    pomiar.obiekt = name;
    TPomiarRead read;
    QCOMPARE(shown.Read(pomiar, &read), int(TPomiarSource::LoadPomiarOk));
    QVERIFY(said.isEmpty());
    shown.Announce();
    QCOMPARE(take(), QStringList({QStringLiteral("record"), QStringLiteral("changed %1").arg(ok.pomiar_id)}));
    QVERIFY(shown.HasRecord());
    QCOMPARE(shown.Pomiar().plik, ok.plik_dane);
    QVERIFY(std::memcmp(&shown.Record(), FileOf(ok).constData(), sizeof(TDataPomiar)) == 0);

    // A row without its record keeps its row (for the comment), not the record.
    pomiar.pomiarId = missing;
    QCOMPARE(shown.Read(pomiar, &read), int(TPomiarSource::LoadPomiarMissing));
    shown.Announce(QStringLiteral("brak"));
    QCOMPARE(take(), QStringList({QStringLiteral("cleared brak"), QStringLiteral("changed %1").arg(missing)}));
    QVERIFY(!shown.HasRecord());

    // No row: nowhere for a comment to go.
    pomiar.pomiarId = 100000;
    shown.Read(pomiar, &read);
    shown.Announce();
    QCOMPARE(take(), QStringList({QStringLiteral("cleared "), QStringLiteral("changed -1")}));

    // A comment save: said once, the measurement shown unchanged.
    pomiar.pomiarId = ok.pomiar_id;
    shown.Read(pomiar, &read);
    shown.Announce();
    take();
    shown.SavedKomentarz(QStringLiteral("nowy"));
    QCOMPARE(take(), QStringList({QStringLiteral("komentarz %1 nowy").arg(ok.pomiar_id)}));
    QCOMPARE(shown.Pomiar().komentarz, QStringLiteral("nowy"));

    // A source switch: said once each way, and not again for the same source.
    shown.SetSource(&archiwum);
    shown.SetSource(&archiwum);
    QCOMPARE(take(), QStringList({QStringLiteral("source archive")}));
    QCOMPARE(shown.Source(), static_cast<TPomiarSource *>(&archiwum));
    shown.SetSource(nullptr);
    QCOMPARE(take(), QStringList({QStringLiteral("source meter")}));

    // A file opened: no row of any source, its record copied in once.
    auto file = std::make_unique<TDataPomiar>();
    std::memcpy(file.get(), FileOf(of[3]).constData(), sizeof(TDataPomiar));
    shown.ShowFile(QStringLiteral("plik.zym5"), *file);
    QCOMPARE(take(), QStringList({QStringLiteral("changed -1"), QStringLiteral("record")}));
    QCOMPARE(shown.Pomiar().plik, QStringLiteral("plik.zym5"));
    QVERIFY(std::memcmp(&shown.Record(), file.get(), sizeof(TDataPomiar)) == 0);

    shown.Forget();
    QCOMPARE(take(), QStringList({QStringLiteral("cleared "), QStringLiteral("changed -1")}));
}

QTEST_GUILESS_MAIN(TestSource)

#include "test_source.moc"
