// The CSV with decimal points, read back the way a spreadsheet or a script
// reads it (byte-order mark, quoted fields, CR LF), must carry the same
// numbers as the meter's own layout; and the save dialog writes it only
// when its filter was chosen.

#include "app/mainwindow.h"
#include "historia/historia.h"
#include "measurement/csvexport.h"
#include "support/appsupport.h"
#include "support/testsupport.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

using CsvRows = QList<QStringList>;

// A strict RFC 4180 reader: UTF-8 after a byte-order mark, every record
// ends with CR LF, a field in quotes may hold anything with its quotes
// doubled, and nothing else may follow a closing quote. Anything else is
// reported in `*error`.
CsvRows ParseCsv(const QByteArray &bytes, QString *error)
{
    CsvRows rows;
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        *error = "no UTF-8 byte-order mark";
        return rows;
    }
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData() + 3, bytes.size() - 3, &state);
    if (state.invalidChars != 0) {
        *error = "not UTF-8";
        return rows;
    }
    QStringList row;
    QString field;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        if (text.at(i) == '"') {
            for (++i;; ++i) {
                if (i >= n) {
                    *error = "unterminated quote";
                    return rows;
                }
                if (text.at(i) == '"') {
                    if (i + 1 < n && text.at(i + 1) == '"')
                        ++i;
                    else
                        break;
                }
                field += text.at(i);
            }
            ++i; // the closing quote
        } else {
            while (i < n && text.at(i) != ',' && text.at(i) != '\r' && text.at(i) != '\n' && text.at(i) != '"')
                field += text.at(i++);
        }
        row << field;
        field.clear();
        if (i < n && text.at(i) == ',') {
            ++i;
        } else if (text.midRef(i, 2) == QLatin1String("\r\n")) {
            rows << row;
            row.clear();
            i += 2;
        } else {
            *error = QString("bad character after field %1 of record %2").arg(row.size()).arg(rows.size() + 1);
            return rows;
        }
    }
    if (!row.isEmpty())
        *error = "last record without CR LF";
    return rows;
}

// The meter's layout of the same record as fields with "." for ",".
CsvRows MeterDataRows(const TDataPomiar *rec)
{
    CsvRows rows;
    QStringList lines = CsvDataText(rec).split('\n');
    lines.removeLast(); // after the last line end
    for (QString &line : lines) {
        QStringList fields = line.replace(',', '.').split(';');
        if (fields.size() > 1)
            fields.removeLast(); // the trailing ";"
        rows << fields;
    }
    return rows;
}

const QString kComment = QString::fromUtf8("Zacisk \"B\", po czyszczeniu;\nzażółć gęślą jaźń\r\nkoniec");

TCsvLabels Keys() { return TCsvLabels{"Obiekt", "Rezystancja", "Czas", "Metoda", "Komentarz"}; }

TCsvLabels Values()
{
    return TCsvLabels{QString::fromUtf8("Obiekt: Stacja Łódź-Widzew, pole 3"), QString::fromUtf8("R=0.200Ω"),
                      "Zapisany: 2020-09-13        14:26:40", "Metoda:Metod: ...3P", kComment};
}

} // namespace

class TestCsvPoint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QFile::remove(appsupport::IniPath()); }

    void sameNumbersAsMeterLayout_data();
    void sameNumbersAsMeterLayout();
    void kindFollowsFilter_data();
    void kindFollowsFilter();
    void chosenInSaveDialog_data();
    void chosenInSaveDialog();
    void formulasKeptAsText_data();
    void formulasKeptAsText();
};

void TestCsvPoint::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    // Decimal commas of the locale must not reach the decimal-point file.
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
}

void TestCsvPoint::sameNumbersAsMeterLayout_data()
{
    QTest::addColumn<int>("record");

    QTest::newRow("pulse") << 0;
    QTest::newRow("negative and halfway values") << 1;
    QTest::newRow("current on ch3: time only") << 2;
}

void TestCsvPoint::sameNumbersAsMeterLayout()
{
    QFETCH(int, record);
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(5.0, 0.2);
    if (record == 1) {
        QRandomGenerator random(1583054430);
        rec->kanalU = 3;
        rec->kanalI = 5;
        rec->skala[3] = -1.0 / 128; // odd counts are exact halfway values
        rec->skala[5] = 0.0187;
        for (int row = 0; row < 3000; ++row) {
            rec->dane[row][3] = random.bounded(-20000, 20000);
            rec->dane[row][5] = int(random.generate());
        }
    } else if (record == 2) {
        rec->kanalI = 3;
    }

    QString error;
    const CsvRows rows = ParseCsv(CsvPointBytes(Keys(), Values(), rec.get()), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(rows.size(), 3006);
    const TCsvLabels keys = Keys(), values = Values();
    const QString TCsvLabels::*const lines[] = {&TCsvLabels::obiekt, &TCsvLabels::R, &TCsvLabels::czas,
                                                &TCsvLabels::metoda, &TCsvLabels::komentarz};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(rows.at(i), (QStringList{keys.*lines[i], values.*lines[i]}));
    QCOMPARE(rows.at(5), (QStringList{"t [ms]", "U [V]", "I [A]"}));

    const CsvRows meter = MeterDataRows(rec.get());
    QCOMPARE(meter.size(), 3000);
    for (int row = 0; row < 3000; ++row) {
        const QStringList &fields = rows.at(6 + row);
        QCOMPARE(fields, meter.at(row));
        QCOMPARE(fields.size(), record == 2 ? 1 : 3);
        for (const QString &field : fields) {
            bool number = false;
            field.toDouble(&number); // the C locale, as scripts read it
            QVERIFY2(number, qPrintable(field));
        }
    }
}

void TestCsvPoint::kindFollowsFilter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("kind");

    QTest::newRow("csv under its filter") << "a.csv" << int(ExportCsvPoint) << int(ExportCsvPoint);
    QTest::newRow("CSV under its filter") << "a.CSV" << int(ExportCsvPoint) << int(ExportCsvPoint);
    QTest::newRow("csv under the meter's CSV") << "a.csv" << int(ExportCsv) << int(ExportCsv);
    QTest::newRow("csv under ZYM") << "a.csv" << int(ExportZym5) << int(ExportCsv);
    QTest::newRow("csv, no filter known") << "a.csv" << int(ExportUnknown) << int(ExportCsv);
    QTest::newRow("zym5 under the point filter") << "a.zym5" << int(ExportCsvPoint) << int(ExportZym5);
    QTest::newRow("no suffix under the point filter") << "a" << int(ExportCsvPoint) << int(ExportUnknown);
    QTest::newRow("pdf under the point filter") << "a.pdf" << int(ExportCsvPoint) << int(ExportPdf);
}

void TestCsvPoint::kindFollowsFilter()
{
    QFETCH(QString, name);
    QFETCH(int, filter);
    QFETCH(int, kind);
    QCOMPARE(int(ExportKindFor(name, ExportKind(filter))), kind);
}

void TestCsvPoint::chosenInSaveDialog_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("point");

    QTest::newRow("decimal-point filter") << QString::fromUtf8("Plik CSV z kropką dziesiętną (*.csv)") << true;
    QTest::newRow(".csv under the ZYM filter") << "Plik ZYM (*.zym5)" << false;
}

void TestCsvPoint::chosenInSaveDialog()
{
    QFETCH(QString, filter);
    QFETCH(bool, point);
    QTemporaryDir dir;
    QVERIFY(appsupport::WriteIni("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"));
    std::unique_ptr<MainWindow> window = appsupport::NewWindow();
    window->show();
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(5.0, 0.2);
    const QString dataFile = dir.filePath("otwarty.zym5");
    QVERIFY(testsupport::WriteRecordBytes(dataFile, *rec));
    testsupport::AnswerFileDialog(dataFile);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();
    window->findChild<QLabel *>("label_obiekt")->setText(Values().obiekt);
    window->findChild<QTextEdit *>("tE_Komentarz")->setPlainText(kComment);

    const QString target = dir.filePath("pomiar.csv");
    QStringList filters;
    testsupport::WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QLineEdit *edit = dialog ? dialog->findChild<QLineEdit *>("fileNameEdit") : nullptr;
        if (!edit) {
            static_cast<QDialog *>(w)->reject();
            return;
        }
        filters = dialog->nameFilters();
        dialog->selectNameFilter(filter);
        dialog->setDirectory(dir.path());
        edit->setText("pomiar.csv"); // after the filter, which may change a typed suffix
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QAction *exportAction = window->findChild<QAction *>("actionExport_wyniku_do_CSV");
    exportAction->setEnabled(true);
    exportAction->trigger();

    QCOMPARE(filters, (QStringList{"Plik CSV (*.csv)", "Plik ZYM (*.zym5)", "Raport PDF (*.pdf)",
                                   QString::fromUtf8("Plik CSV z kropką dziesiętną (*.csv)")}));
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastSaveCSVPath"), dir.path() + "/");
    QFile f(target);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    if (!point) {
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(testsupport::ReadLines(target).at(5), QString("t [ms];U [V];I [A];"));
        return;
    }
    QString error;
    const CsvRows rows = ParseCsv(bytes, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(rows.size(), 3006);
    QCOMPARE(rows.at(0), (QStringList{"Obiekt", Values().obiekt}));
    QCOMPARE(rows.at(1), (QStringList{"Rezystancja", QString::fromUtf8("R=200.0 mΩ")}));
    QCOMPARE(rows.at(2).at(0), QString("Czas"));
    QCOMPARE(rows.at(2).at(1), window->findChild<QLabel *>("label_Czas")->text());
    QCOMPARE(rows.at(3), (QStringList{"Metoda", "Metoda:Metod: ..2P"}));
    // The comment's own text as the editor holds it, not the box's caption.
    const QString comment = window->findChild<QTextEdit *>("tE_Komentarz")->toPlainText();
    QVERIFY(comment.contains('"') && comment.contains(',') && comment.contains('\n'));
    QCOMPARE(rows.at(4), (QStringList{"Komentarz", comment}));
    QCOMPARE(rows.at(6 + 1500), (QStringList{"30.000", "1.000000", "5.000000"})); // 5 A through 0.2 ohm
}

void TestCsvPoint::formulasKeptAsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written"); // what a spreadsheet gets in both CSVs the reader makes

    QTest::newRow("a link formula") << "=HYPERLINK(\"http://x\",\"y\")" << "'=HYPERLINK(\"http://x\",\"y\")";
    QTest::newRow("plus") << "+cmd|' /C calc'!A0" << "'+cmd|' /C calc'!A0";
    QTest::newRow("minus") << "-2+3+cmd" << "'-2+3+cmd";
    QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)";
    QTest::newRow("tab") << "\t=1+1" << "'\t=1+1";
    QTest::newRow("carriage return") << "\r=1+1" << "'\r=1+1";
    QTest::newRow("a negative number stays a number") << "-0,5" << "-0,5";
    QTest::newRow("a signed exponent stays a number") << "+2.5e-3" << "+2.5e-3";
    QTest::newRow("a sign alone is no number") << "-" << "'-";
    QTest::newRow("an equals sign inside") << "R = 5" << "R = 5";
}

void TestCsvPoint::formulasKeptAsText()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    QTemporaryDir dir;
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(5.0, 0.2);
    TCsvLabels values = Values();
    values.obiekt = text;
    values.komentarz = text;

    const QString point = dir.filePath("point.csv");
    QCOMPARE(int(SaveCsvPointFile(point, Keys(), values, rec.get())), int(ExportOk));
    QFile pointFile(point);
    QVERIFY(pointFile.open(QIODevice::ReadOnly));
    QString error;
    const CsvRows rows = ParseCsv(pointFile.readAll(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(rows.at(0).at(1), written);
    QCOMPARE(rows.at(4).at(1), written);
    QCOMPARE(rows.at(1).at(1), Values().R); // our own texts are not touched

    THistoriaRow row;
    row.R = 0.2;
    row.komentarz = text;
    const QString historia = dir.filePath("historia.csv");
    QCOMPARE(int(SaveHistoriaCsv(historia, {row}, 0)), int(ExportOk));
    QFile historiaFile(historia);
    QVERIFY(historiaFile.open(QIODevice::ReadOnly));
    const QString historiaText = QTextCodec::codecForLocale()->toUnicode(historiaFile.readAll());
    const QString last = historiaText.mid(historiaText.indexOf('\n') + 1).section(';', 5).chopped(1);
    QCOMPARE(last.startsWith('"') ? last.mid(1).chopped(1).replace("\"\"", "\"") : last, written);

    // The meter's own layout is read by the meter's tools: byte for byte as typed.
    const QString meter = dir.filePath("meter.csv");
    QCOMPARE(int(SaveCsvFile(meter, values, rec.get())), int(ExportOk));
    QFile meterFile(meter);
    QVERIFY(meterFile.open(QIODevice::ReadOnly));
    QVERIFY(meterFile.readAll().startsWith(QTextCodec::codecForLocale()->fromUnicode(text + ";\n")));
}

QTEST_MAIN(TestCsvPoint)
#include "test_csv_point.moc"
