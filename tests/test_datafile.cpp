// The data file is the meter's own format: these tests write files byte by
// byte, independently of the record type, and read them through the program.

#include "database/tdatabase.h"
#include "measurement/datafile.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

#include <sys/stat.h>

namespace {

// Builds a file image at explicit offsets, the way the meter writes it.
class FileImage
{
public:
    FileImage() : bytes(int(kPomiarFileSize), '\0') {}

    void putInt32(qint64 offset, qint32 v) { qToLittleEndian<qint32>(v, data() + offset); }
    void putInt64(qint64 offset, qint64 v) { qToLittleEndian<qint64>(v, data() + offset); }
    void putDouble(qint64 offset, double v)
    {
        quint64 raw;
        std::memcpy(&raw, &v, sizeof raw);
        qToLittleEndian<quint64>(raw, data() + offset);
    }
    bool save(const QString &path, qint64 size = kPomiarFileSize, const QByteArray &tail = QByteArray()) const
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return f.write(bytes.constData(), size) == size && f.write(tail) == tail.size();
    }
    QByteArray bytes;

private:
    uchar *data() { return reinterpret_cast<uchar *>(bytes.data()); }
};

qint64 SampleOffset(int row, int channel) { return 12 + 24LL * row + 4LL * channel; }

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsTheFileLayout();
    void writesBackTheSameBytes();
    void methodBit_data();
    void methodBit();
    void refusesFilesThatCannotBeReadWhole_data();
    void refusesFilesThatCannotBeReadWhole();
    void longerFileGivesItsFirstRecord();
    void loadFileTraces();
    void folderOf();

private:
    QTemporaryDir dir;
};

void TestDataFile::initTestCase()
{
    QVERIFY(dir.isValid());
    qputenv("TZ", "UTC");
}

void TestDataFile::readsTheFileLayout()
{
    FileImage image;
    image.putInt32(0, 0x80);
    image.putInt32(4, 5);
    image.putInt32(8, 4);
    image.putInt32(SampleOffset(0, 0), 549);
    image.putInt32(SampleOffset(1000, 2), 1234);
    image.putInt32(SampleOffset(2999, 5), 4095);
    image.putInt32(SampleOffset(9999, 5), -7);
    image.putInt32(240012, int(0xDEADBEEF)); // reserved: ignored, but carried
    for (int c = 0; c < 6; ++c)
        image.putDouble(240016 + 8 * c, 0.25 * (c + 1));
    image.putDouble(240064, 2.5);
    image.putInt64(240072, (qint64(1) << 32) | 1); // high bits set: only the low 32 count
    const QString path = dir.filePath("layout.zym5");
    QVERIFY(image.save(path));

    TDataBase baza;
    QCOMPARE(baza.LoadFile(path), 0);
    const TDataPomiar &p = baza.Pomiar;
    QCOMPARE(p.metoda, 0x80);
    QCOMPARE(p.kanalI, 5);
    QCOMPARE(p.kanalU, 4);
    QCOMPARE(p.dane[0][0], 549);
    QCOMPARE(p.dane[1000][2], 1234);
    QCOMPARE(p.dane[2999][5], 4095);
    QCOMPARE(p.dane[9999][5], -7);
    QCOMPARE(p.dane[2999][4], 0);
    for (int c = 0; c < 6; ++c)
        QCOMPARE(p.skala[c], 0.25 * (c + 1));
    QCOMPARE(p.rezystancja, 2.5);

    baza.UpdateWynikTexts();
    QCOMPARE(baza.WynikFromFile(0), QString::fromUtf8("R=2.500Ω"));
    QCOMPARE(baza.WynikFromFile(1), QString::fromUtf8("Zapisany: 1970-01-01        00:00:01"));
    QCOMPARE(baza.WynikFromFile(2), QStringLiteral("Metod: ...3P"));
}

void TestDataFile::writesBackTheSameBytes()
{
    FileImage image;
    for (int i = 0; i < image.bytes.size(); ++i)
        image.bytes[i] = char((i * 7 + 3) & 0xff);
    const QString in = dir.filePath("pattern.zym5");
    const QString out = dir.filePath("copy.zym5");
    QVERIFY(image.save(in));

    auto rec = testsupport::ZeroRecord();
    QCOMPARE(ReadDataFile(in, rec.get()), int(DataFileOk));
    QString error;
    QVERIFY2(WriteDataFile(out, rec.get(), &error), qPrintable(error));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), image.bytes);
}

void TestDataFile::methodBit_data()
{
    QTest::addColumn<qint32>("metoda");
    QTest::addColumn<QString>("text");
    QTest::newRow("0x80") << qint32(0x80) << "Metod: ...3P";
    QTest::newRow("0x7F") << qint32(0x7F) << "Metod: ..2P";
    QTest::newRow("0x180") << qint32(0x180) << "Metod: ...3P";
    QTest::newRow("0x100") << qint32(0x100) << "Metod: ..2P";
    QTest::newRow("0") << qint32(0) << "Metod: ..2P";
    QTest::newRow("-1") << qint32(-1) << "Metod: ...3P";
}

void TestDataFile::methodBit()
{
    QFETCH(qint32, metoda);
    QFETCH(QString, text);
    FileImage image;
    image.putInt32(0, metoda);
    const QString path = dir.filePath("method.zym5");
    QVERIFY(image.save(path));
    TDataBase baza;
    QCOMPARE(baza.LoadFile(path), 0);
    baza.UpdateWynikTexts();
    QCOMPARE(baza.qsWynikMetoda, text);
}

void TestDataFile::refusesFilesThatCannotBeReadWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size"); // -1: no file; -2: a folder of that name; -3: a pipe
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << "missing.zym5" << qint64(-1) << int(DataFileMissing);
    QTest::newRow("folder") << "folder.zym5" << qint64(-2) << int(DataFileUnreadable);
    // Opening a pipe for reading waits for a writer: the call would never return.
    QTest::newRow("pipe") << "pipe.zym5" << qint64(-3) << int(DataFileUnreadable);
    QTest::newRow("empty") << "empty.zym5" << qint64(0) << int(DataFileShort);
    QTest::newRow("one byte short") << "short.zym5" << kPomiarFileSize - 1 << int(DataFileShort);
    QTest::newRow("header only") << "header.zym5" << qint64(12) << int(DataFileShort);
}

void TestDataFile::refusesFilesThatCannotBeReadWhole()
{
    QFETCH(QString, name);
    QFETCH(qint64, size);
    QFETCH(int, expected);
    const QString path = dir.filePath(name);
    if (size == -2) {
        QVERIFY(QDir(dir.path()).mkpath(name));
    } else if (size == -3) {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps no named pipes among its files");
#endif
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (size >= 0) {
        FileImage image;
        image.putInt32(0, 0x80);
        image.putDouble(240064, 99.0);
        QVERIFY(image.save(path, size));
    }

    // The record must come out of a failed read exactly as it went in.
    TDataBase baza;
    auto before = testsupport::PulseRecord(3.0, 0.5);
    std::memcpy(&baza.Pomiar, before.get(), sizeof(TDataPomiar));
    QCOMPARE(baza.LoadFile(path), expected);
    QVERIFY(std::memcmp(&baza.Pomiar, before.get(), sizeof(TDataPomiar)) == 0);
    QVERIFY(!DataFileErrorText(DataFileResult(expected)).isEmpty());
}

void TestDataFile::longerFileGivesItsFirstRecord()
{
    FileImage image;
    image.putDouble(240064, 7.25);
    const QString path = dir.filePath("long.zym5");
    QVERIFY(image.save(path, kPomiarFileSize, QByteArray(1000, '\x55')));
    TDataBase baza;
    QCOMPARE(baza.LoadFile(path), 0);
    QCOMPARE(baza.Pomiar.rezystancja, 7.25);
}

void TestDataFile::loadFileTraces()
{
    FileImage image;
    image.putInt64(240072, 1600000000);
    const QString path = dir.filePath("trace.zym5");
    QVERIFY(image.save(path));
    TDataBase baza;
    QTest::ignoreMessage(QtDebugMsg, "LoadFile");
    QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Plik : \"%1\"").arg(path)));
    QTest::ignoreMessage(QtDebugMsg, "Czas : 1600000000");
    QCOMPARE(baza.LoadFile(path), 0);

    QTest::ignoreMessage(QtDebugMsg, "LoadFile");
    QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("Plik : \"%1\"").arg(dir.filePath("none"))));
    QTest::ignoreMessage(QtDebugMsg, "Plik nie istnieje");
    QCOMPARE(baza.LoadFile(dir.filePath("none")), -1);
}

void TestDataFile::folderOf()
{
    QCOMPARE(FolderOf(dir.filePath("a.zym5")), dir.path() + "/");
    QCOMPARE(FolderOf(dir.filePath("sub/b.db")), dir.path() + "/sub/");
    QCOMPARE(FolderOf("c.zym5"), QDir::currentPath() + "/");
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_datafile.moc"
