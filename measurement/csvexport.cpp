#include "measurement/csvexport.h"

#include "measurement/replacefile.h"
#include "measurement/tdatapomiar.h"

#include <QDateTime>
#include <QByteArray>
#include <QFileInfo>
#include <QObject>
#include <QTextCodec>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Rows 0..2999: the 60 ms around the pulse that the chart shows too.
constexpr int kCsvRows = kShownRows;

const QLatin1String kHeader("t [ms];U [V];I [A];");

bool IsCsvPair(int kanalI, int kanalU)
{
    return IsCurrentChannel(kanalI) && IsVoltageChannel(kanalU);
}

// Time of `row` in ms with 3 decimals and a decimal comma. Rows are exactly
// 1/50 ms apart, so integers give the digits that 60 * row / 3000 rounds to.
char *AppendTime(char *out, int row)
{
    const int ms = row / kRowsPerMs;
    const int frac = (row % kRowsPerMs) * (1000 / kRowsPerMs); // thousandths of a ms
    out = std::to_chars(out, out + 16, ms).ptr;
    *out++ = ',';
    *out++ = char('0' + frac / 100);
    *out++ = char('0' + frac / 10 % 10);
    *out++ = char('0' + frac % 10);
    return out;
}

// `value` with 6 decimals and a decimal comma, the digits exactly as
// QString::number(value, 'f', 6) gives them, at a third of its cost (the
// export writes 6000 of them). std::to_chars rounds exact halfway values to
// even, Qt away from zero: halfway values are the odd multiples of 2^-7,
// and for them the next double away from zero gives Qt's digits.
char *AppendValue(char *out, char *end, double value)
{
    if (!std::isfinite(value)) {
        const QByteArray text = QByteArray::number(value, 'f', 6);
        return std::copy(text.constBegin(), text.constEnd(), out);
    }
    if (value == 0)
        value = 0; // Qt writes no sign for a negative zero
    // Past 2^52 every double is a whole number: no halfway values there.
    const double scaled = value * 128; // exact: a power of two
    if (std::fabs(value) < 0x1p52 && scaled == std::floor(scaled) && std::fmod(scaled, 2.0) != 0)
        value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
    char *const start = out;
    out = std::to_chars(out, end, value, std::chars_format::fixed, 6).ptr;
    std::replace(start, out, '.', ',');
    return out;
}

// The data lines as ASCII; every character is the same in any code page.
QByteArray DataBytes(const TDataPomiar *rec)
{
    const bool pair = IsCsvPair(rec->kanalI, rec->kanalU);
    const int u = rec->kanalU;
    const int i = rec->kanalI;
    // A finite double has at most 309 integer digits: two values, the time
    // and the separators of one line fit in 700 bytes.
    constexpr int kLineMax = 700;
    QByteArray text;
    text.resize(kCsvRows * 32);
    int used = 0;
    for (int row = 0; row < kCsvRows; ++row) {
        if (text.size() - used < kLineMax)
            text.resize(text.size() * 2);
        char *const begin = text.data() + used;
        char *const end = begin + kLineMax;
        char *out = AppendTime(begin, row);
        if (pair) {
            *out++ = ';';
            // In double: a corrupt file's count minus the offset may not fit an int.
            out = AppendValue(out, end, (double(rec->dane[row][u]) - VoltageOffset(u)) * rec->skala[u]); // V
            *out++ = ';';
            out = AppendValue(out, end, double(rec->dane[row][i]) * rec->skala[i]); // A, no offset on current
            *out++ = ';';
        }
        *out++ = '\n';
        used = int(out - text.constData());
    }
    text.truncate(used);
    return text;
}

// The five label lines and the header. The labels go out as shown: only
// data lines get decimal commas.
QString HeadText(const TCsvLabels &labels)
{
    QString head;
    for (const QString *label : {&labels.obiekt, &labels.R, &labels.czas, &labels.metoda, &labels.komentarz})
        head += *label + QLatin1String(";\n");
    head += kHeader + QLatin1Char('\n');
    return head;
}

} // namespace

QString CsvDataText(const TDataPomiar *rec)
{
    return QString::fromLatin1(DataBytes(rec));
}

QByteArray CsvFileBytes(const TCsvLabels &labels, const TDataPomiar *rec)
{
    // The locale's encoding, as a text stream uses by default: the ANSI code
    // page on Windows, which is what a spreadsheet there reads a CSV file
    // with. Characters it lacks (the ohm sign in code page 1250) come out as
    // the codec's replacement. The data lines are ASCII, the same bytes in
    // every such code page, so they skip the conversion.
    QByteArray bytes = QTextCodec::codecForLocale()->fromUnicode(HeadText(labels));
    bytes += DataBytes(rec);
    return bytes;
}

ExportResult SaveCsvFile(const QString &fileName, const TCsvLabels &labels, const TDataPomiar *rec, QString *errorText)
{
    // Built whole before the file is touched, so the file is open for one write.
    return ExportResult(ReplaceFile(fileName, CsvFileBytes(labels, rec), true, errorText));
}

QString DefaultFileName(uint czas)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(qint64(czas), Qt::UTC).toLocalTime();
    return QObject::tr("Pomiar_") + local.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
}

QString FileSuffix(QString fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

ExportKind FileKind(QString fileName)
{
    const QString suffix = FileSuffix(fileName).toUpper();
    if (suffix == QLatin1String("CSV"))
        return ExportCsv;
    if (suffix == QLatin1String("PDF"))
        return ExportPdf;
    if (suffix == QLatin1String("ZYM5"))
        return ExportZym5;
    return ExportUnknown;
}
