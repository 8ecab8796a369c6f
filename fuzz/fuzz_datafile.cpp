// fuzz_datafile: any bytes as a data file, down every road the reader takes
// with one: loading, the result texts, the range detection and resistances,
// the inductance steps, the R-L fit, the CSV text and the data file written
// back.
//
// The input describes the file in the compact form of datafileinput.h
// (shape, the record's fields, then its samples), so the fuzzer steers the
// file's length too. The record's reserved word, which the reader ignores,
// chooses two rows the evaluation is asked about.

#include "fuzz/datafileinput.h"
#include "fuzz/fuzzsupport.h"

#include "database/tdatabase.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "measurement/evaluation.h"
#include "measurement/tdatapomiar.h"
#include "tools/peaksearch.h"

#include "tools/fitrl.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

QString gFile; // the input as a data file
QString gCopy; // the record written back
std::unique_ptr<char[]> gImage; // the file's bytes
QString gKeep; // where the file is also written, for a finding to be opened in the reader
std::unique_ptr<TDataBase> gBaza;
std::unique_ptr<TDataPomiar> gBefore; // what the record holds before the load
std::unique_ptr<TDataPomiar> gRec;    // the displayed copy the evaluation works on
std::unique_ptr<TDataPomiar> gBack;   // the record written back, as read from its file

bool SameNumber(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// A row from 16 input bits: mostly inside the record, now and then one past
// either end.
int RowFrom(quint16 bits)
{
    return int(bits % (kPomiarRows + 3)) - 1;
}

// Qt's own fixed notation with a decimal comma: what every CSV value must read.
QByteArray QtFixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(',')).toLatin1();
}

QByteArray ExpectedCsvLine(const TDataPomiar *rec, int row)
{
    QByteArray line = QtFixed(60.0 * row / 3000, 3); // the CSV's time counts from row 0
    const int u = rec->kanalU;
    const int i = rec->kanalI;
    if (IsCurrentChannel(i) && IsVoltageChannel(u)) {
        line += ';' + QtFixed((double(rec->dane[row][u]) - VoltageOffset(u)) * rec->skala[u], 6);
        line += ';' + QtFixed(double(rec->dane[row][i]) * rec->skala[i], 6) + ';';
    }
    return line;
}

void CheckRange(const TDataPomiar &before, const TDataPomiar &after)
{
    // The detection only ever picks a current channel and a voltage channel
    // of that current's range, or leaves what the file named.
    const bool keptI = after.kanalI == before.kanalI;
    const bool keptU = after.kanalU == before.kanalU;
    FUZZ_CHECK(after.kanalI == 2 || after.kanalI == 5 || keptI);
    if (after.kanalI == 2 && !keptU)
        FUZZ_CHECK(after.kanalU == 0 || after.kanalU == 1);
    if (after.kanalI == 5 && !keptU)
        FUZZ_CHECK(after.kanalU == 3 || after.kanalU == 4);
    FUZZ_CHECK(std::memcmp(reinterpret_cast<const char *>(&before) + 12, reinterpret_cast<const char *>(&after) + 12,
                           sizeof(TDataPomiar) - 12) == 0);
    FUZZ_CHECK(before.metoda == after.metoda);
}

void CheckCalculator(TDataPomiar *rec, double pulseR)
{
    const TCalcWynik w = CalcInductance(rec);
    FUZZ_CHECK(SameNumber(w.R, pulseR));
    if (!w.bMaximum) {
        FUZZ_CHECK(!w.bWindow && std::isnan(w.R1) && std::isnan(w.L));
        return;
    }
    const TPeakSearch &s = w.search;
    const int cI = rec->kanalI;
    FUZZ_CHECK(IsChannel(cI));
    FUZZ_CHECK(kRowZero <= s.first && s.first <= s.mid && s.mid <= s.last && s.last <= kPulseLastRow);
    FUZZ_CHECK(rec->dane[s.first][cI] > 0 && rec->dane[s.first][cI] == rec->dane[s.last][cI]);
    FUZZ_CHECK(s.maxValue == rec->dane[s.mid][cI]);
    FUZZ_CHECK(SameNumber(w.R1, CalcR_Sample(rec, s.mid)));
    if (w.bWindow) {
        FUZZ_CHECK(0 <= s.g0 && s.g0 <= s.first && s.last < s.g1 && IsRow(s.g1));
        FUZZ_CHECK(rec->dane[s.g0][cI] == rec->dane[s.g1][cI]);
    } else {
        FUZZ_CHECK(s.g0 == 0 && s.g1 == 0 && std::isnan(w.R2) && std::isnan(w.L2));
    }
    const int k = IntegrationStartRow(rec, &s);
    FUZZ_CHECK(k >= 0 && k < kEdgeEndRow);
}

void CheckCsv(TDataBase &baza, const TDataPomiar *rec, const std::vector<int> &rows)
{
    TCsvLabels labels;
    labels.obiekt = QStringLiteral("Obiekt: fuzz");
    labels.R = baza.WynikFromFile(WynikR);
    labels.czas = baza.WynikFromFile(WynikCzas);
    labels.metoda = QStringLiteral("Metoda:") + baza.WynikFromFile(WynikMetoda);
    labels.komentarz = QStringLiteral("Komentarz");
    // One buffer for the run: a damaged record's text runs to megabytes,
    // and every fresh allocation of that size costs page faults.
    static QByteArray csv;
    csv.resize(0);
    AppendCsvFileBytes(csv, labels, rec);
    // Where every line starts; splitting into 3006 arrays would cost more
    // than making the text.
    static std::vector<int> starts;
    starts.assign(1, 0);
    for (const char *p = csv.constData(), *end = p + csv.size();
         (p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)))) != nullptr;)
        starts.push_back(int(++p - csv.constData()));
    // 3006 lines, each ended: the last line end is the end of the text.
    FUZZ_CHECK(starts.size() == 3006 + 1 && starts.back() == csv.size());
    auto line = [](int n) { return csv.mid(starts[n], starts[n + 1] - starts[n] - 1); };
    for (int n = 0; n < 5; ++n)
        FUZZ_CHECK(line(n).endsWith(';'));
    FUZZ_CHECK(line(5) == "t [ms];U [V];I [A];");
    for (int row : rows) {
        if (row >= 0 && row < kShownRows)
            FUZZ_CHECK(line(6 + row) == ExpectedCsvLine(rec, row));
    }
    FUZZ_CHECK(line(6) == ExpectedCsvLine(rec, 0));
    FUZZ_CHECK(line(6 + kShownRows - 1) == ExpectedCsvLine(rec, kShownRows - 1));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(fuzzsupport::DropMessages);
    const QString folder = fuzzsupport::ScratchFolder("datafile");
    gFile = folder + QStringLiteral("input.zym5");
    gCopy = folder + QStringLiteral("copy.zym5");
    gBaza.reset(new TDataBase);
    gBefore.reset(new TDataPomiar);
    gRec.reset(new TDataPomiar);
    gBack.reset(new TDataPomiar);
    gImage.reset(new char[datafileinput::kMaxFileBytes]);
    gKeep = qEnvironmentVariable("ZYM_FUZZ_DATAFILE");
    // A record that no real file is: a failed load must leave exactly this.
    std::memset(gBefore.get(), 0xA5, sizeof(TDataPomiar));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *const image = gImage.get();
    const qint64 length = datafileinput::Expand(data, size, image);
    if (!fuzzsupport::WriteBytes(gFile, image, length))
        return 0;
    if (!gKeep.isEmpty())
        fuzzsupport::WriteBytes(gKeep, image, length);

    TDataBase &baza = *gBaza;
    // A whole record is compared with the file below; only a refused one
    // needs the marked record to compare with.
    if (length < kPomiarFileSize)
        std::memcpy(&baza.Pomiar, gBefore.get(), sizeof(TDataPomiar));
    const DataFileResult loaded = baza.LoadFile(gFile);
    if (length < kPomiarFileSize) {
        // A cut-short file is refused whole: nothing of it reaches the record.
        FUZZ_CHECK(loaded == DataFileShort);
        FUZZ_CHECK(std::memcmp(&baza.Pomiar, gBefore.get(), sizeof(TDataPomiar)) == 0);
        return 0;
    }
    // A record's worth is read; bytes past it are not the record's.
    FUZZ_CHECK(loaded == DataFileOk);
    FUZZ_CHECK(std::memcmp(&baza.Pomiar, image, sizeof(TDataPomiar)) == 0);

    baza.UpdateWynikTexts();
    FUZZ_CHECK(baza.WynikFromFile(WynikR).startsWith(QStringLiteral("R=")));
    FUZZ_CHECK(baza.WynikFromFile(WynikCzas).endsWith(baza.FormatCzas(quint32(baza.Pomiar.czas))));
    FUZZ_CHECK(baza.WynikFromFile(WynikMetoda)
               == (IsMetoda3P(baza.Pomiar.metoda) ? QStringLiteral("Metod: ...3P") : QStringLiteral("Metod: ..2P")));
    FUZZ_CHECK(baza.WynikFromFile(WynikKomentarz) == QStringLiteral("Unnown definition"));

    // The rows the evaluation is asked about.
    const quint32 reserved = quint32(baza.Pomiar.rezerwa);
    const std::vector<int> rows{RowFrom(quint16(reserved)), RowFrom(quint16(reserved >> 16))};

    TDataPomiar *rec = gRec.get();
    FUZZ_CHECK(baza.CopyPomiar(rec) == 0);
    DetectRange(rec);
    CheckRange(baza.Pomiar, *rec);
    const qint32 kanalI = rec->kanalI;
    const qint32 kanalU = rec->kanalU;
    DetectRange(rec); // the detection depends on the samples only: a second run agrees
    FUZZ_CHECK(rec->kanalI == kanalI && rec->kanalU == kanalU);

    const bool channels = IsChannel(rec->kanalI) && IsChannel(rec->kanalU);
    const double pulseR = CalcR_Pulse(rec);
    FUZZ_CHECK(SameNumber(pulseR, CalcR_Window(rec, kRowZero, kPulseEndRow)));
    if (!channels)
        FUZZ_CHECK(std::isnan(pulseR));
    for (size_t n = 0; n < rows.size(); ++n) {
        const int row = rows[n];
        const double sample = CalcR_Sample(rec, row);
        if (!channels || !IsRow(row))
            FUZZ_CHECK(std::isnan(sample));
        if (n % 2 == 1) {
            const double window = CalcR_Window(rec, rows[n - 1], row);
            if (!channels || !IsRow(rows[n - 1]) || !IsRow(row))
                FUZZ_CHECK(std::isnan(window));
        }
    }
    FUZZ_CHECK(rec->kanalI == kanalI && rec->kanalU == kanalU);

    CheckCalculator(rec, pulseR);

    // The fit reads the record and changes nothing (past the channels, the
    // record is still the loaded one, as CheckRange found); a valid fit has
    // used rows of the record, channels it names, and finite, non-negative
    // uncertainties; an invalid one no numbers.
    {
        const TFitRL fit = FitRL(rec);
        FUZZ_CHECK(rec->metoda == baza.Pomiar.metoda && rec->kanalI == kanalI && rec->kanalU == kanalU);
        FUZZ_CHECK(std::memcmp(reinterpret_cast<const char *>(rec) + 12,
                               reinterpret_cast<const char *>(&baza.Pomiar) + 12, sizeof(TDataPomiar) - 12) == 0);
        if (fit.bValid) {
            FUZZ_CHECK(IsCurrentChannel(fit.kanalI) && IsVoltageChannel(fit.kanalU));
            FUZZ_CHECK(IsRow(fit.firstRow) && IsRow(fit.lastRow) && fit.firstRow <= fit.lastRow);
            FUZZ_CHECK(fit.iRows > 0 && fit.iRows <= fit.lastRow - fit.firstRow + 1);
            FUZZ_CHECK(std::isfinite(fit.R) && std::isfinite(fit.L));
            FUZZ_CHECK(std::isfinite(fit.sR) && fit.sR >= 0 && std::isfinite(fit.sL) && fit.sL >= 0);
            FUZZ_CHECK(std::isfinite(fit.rmsResidual) && fit.rmsResidual >= 0);
        }
    }

    CheckCsv(baza, rec, rows);

    // Written back, the file holds the record byte for byte (and LoadFile
    // gives any file's bytes, as checked above). Read into a buffer kept
    // for the run: a second load would cost another 240 kB allocation.
    FUZZ_CHECK(baza.SaveDataFile(rec, gCopy) == ExportOk);
    FUZZ_CHECK(fuzzsupport::ReadExactly(gCopy, reinterpret_cast<char *>(gBack.get()), kPomiarFileSize));
    FUZZ_CHECK(std::memcmp(gBack.get(), rec, sizeof(TDataPomiar)) == 0);
    return 0;
}
