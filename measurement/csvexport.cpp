#include "measurement/csvexport.h"
#include "measurement/czas.h"

#include "measurement/replacefile.h"
#include "measurement/tdatapomiar.h"

#include <QDateTime>
#include <QByteArray>
#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>
#include <QTextCodec>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Rows 0..2999: the 60 ms around the pulse that the chart shows too.
constexpr int kCsvRows = kShownRows;

const QLatin1String kHeader("t [ms];U [V];I [A];");
const QLatin1String kPointHeader("t [ms],U [V],I [A]");

// The two layouts differ only in punctuation; the digits come from the same
// code, so both files always agree on every number.
struct TMeterLayout
{
    static constexpr char kSeparator = ';';
    static constexpr char kDecimal = ',';
    static constexpr bool kTrailingSeparator = true;
    static constexpr bool kCrLf = false; // ReplaceWholeFile's text mode adds the platform's CR
};

// Written in binary mode: CR LF on every platform, as RFC 4180 asks.
struct TPointLayout
{
    static constexpr char kSeparator = ',';
    static constexpr char kDecimal = '.';
    static constexpr bool kTrailingSeparator = false;
    static constexpr bool kCrLf = true;
};

bool IsCsvPair(int kanalI, int kanalU)
{
    return IsCurrentChannel(kanalI) && IsVoltageChannel(kanalU);
}

// Time of `row` in ms with 3 decimals. Rows are exactly 1/50 ms apart, so
// integers give the digits that 60 * row / 3000 rounds to.
template <char Decimal>
char *AppendTime(char *out, int row)
{
    const int ms = row / kRowsPerMs;
    const int frac = (row % kRowsPerMs) * (1000 / kRowsPerMs); // thousandths of a ms
    out = std::to_chars(out, out + 16, ms).ptr;
    *out++ = Decimal;
    *out++ = char('0' + frac / 100);
    *out++ = char('0' + frac / 10 % 10);
    *out++ = char('0' + frac % 10);
    return out;
}

// |value| below 2^43 with 6 decimals, as QString::number(value, 'f', 6)
// writes it: the exact binary value times 10^6, rounded half away from zero
// as Qt does, in whole numbers. A double is m / 2^s with a 53-bit m, so m *
// 10^6 fits 73 bits, kept in two 64-bit halves (no compiler's 128-bit type
// needed); below 2^43 the result fits 64. Twice as fast as std::to_chars,
// and the export writes 6000 of them.
template <char Decimal>
char *AppendMicros(char *out, double value)
{
    const double magnitude = std::fabs(value);
    quint64 bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = int(bits >> 52);
    quint64 m = bits & ((quint64(1) << 52) - 1);
    if (biased != 0)
        m |= quint64(1) << 52;
    const int s = 1075 - (biased != 0 ? biased : 1); // magnitude = m / 2^s, s >= 10 below 2^43
    quint64 micros = 0; // below 2^-68 even the rounding gives nothing
    if (s <= 120) {
        // m * 10^6 as high:low, from m's two 32-bit halves.
        const quint64 low = (m & 0xFFFFFFFFu) * 1000000u;  // below 2^52
        const quint64 high = (m >> 32) * 1000000u;          // below 2^41, to be shifted up by 32
        const quint64 lo = low + (high << 32);
        const quint64 hi = (high >> 32) + (lo < low ? 1 : 0);
        micros = s >= 64 ? hi >> (s - 64) : (lo >> s) | (hi << (64 - s));
        // The bits shifted out are half or more when the highest of them is set.
        const int half = s - 1;
        if ((half >= 64 ? hi >> (half - 64) : lo >> half) & 1)
            ++micros; // up, away from zero
    }
    // A value that rounds to zero keeps its sign; a negative zero does not.
    if (std::signbit(value) && value != 0)
        *out++ = '-';
    out = std::to_chars(out, out + 20, micros / 1000000).ptr;
    *out++ = Decimal;
    quint32 fraction = quint32(micros % 1000000);
    for (int i = 5; i >= 0; --i) {
        out[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    return out + 6;
}

// `value` with 6 decimals, the digits exactly as QString::number(value,
// 'f', 6) gives them.
template <char Decimal>
char *AppendValue(char *out, char *end, double value)
{
    if (!std::isfinite(value)) {
        // Qt's own words for these, asked once: a record whose scale is not
        // a number writes 6000 of them.
        static const QByteArray kWords[2][2] = {
            {QByteArray::number(HUGE_VAL, 'f', 6), QByteArray::number(-HUGE_VAL, 'f', 6)},
            {QByteArray::number(std::numeric_limits<double>::quiet_NaN(), 'f', 6),
             QByteArray::number(-std::numeric_limits<double>::quiet_NaN(), 'f', 6)}};
        const QByteArray &text = kWords[std::isnan(value)][std::signbit(value)];
        return std::copy(text.constBegin(), text.constEnd(), out);
    }
    if (std::fabs(value) < 0x1p43)
        return AppendMicros<Decimal>(out, value);
    // Only a damaged record holds larger values. std::to_chars writes their
    // exact digits but rounds an exact halfway value (an odd multiple of
    // 2^-7; none beyond 2^46) to even where Qt rounds away from zero: those
    // take Qt's own, slower way.
    char *const start = out;
    const double scaled = value * 128; // exact: a power of two
    if (std::fabs(value) < 0x1p52 && scaled == std::floor(scaled) && std::fmod(scaled, 2.0) != 0) {
        const QByteArray text = QByteArray::number(value, 'f', 6);
        out = std::copy(text.constBegin(), text.constEnd(), out);
        if (Decimal != '.')
            std::replace(start, out, '.', Decimal);
        return out;
    }
    out = std::to_chars(out, end, value, std::chars_format::fixed, 6).ptr;
    // Fixed notation with 6 decimals: the point is always the 7th character
    // from the end.
    if (Decimal != '.')
        out[-7] = Decimal;
    return out;
}

// Room for the data lines of a record of ordinary values (under 32
// characters a line), so that they normally take one allocation.
constexpr int kDataBytesGuess = kCsvRows * 32;

// Appends the data lines as ASCII; every character is the same in any code page.
template <class Layout>
void AppendDataBytes(QByteArray &text, const TDataPomiar *rec)
{
    const bool pair = IsCsvPair(rec->kanalI, rec->kanalU);
    const int u = rec->kanalU;
    const int i = rec->kanalI;
    // A finite double has at most 309 integer digits: two values, the time
    // and the separators of one line fit in 700 bytes.
    constexpr int kLineMax = 700;
    int used = text.size();
    // reserve() takes the size asked for; resize() alone would round it up
    // to the next power of two.
    text.reserve(used + kDataBytesGuess);
    text.resize(used + kDataBytesGuess);
    for (int row = 0; row < kCsvRows; ++row) {
        if (text.size() - used < kLineMax) {
            text.reserve(text.size() * 2);
            text.resize(text.size() * 2);
        }
        char *const begin = text.data() + used;
        char *const end = begin + kLineMax;
        char *out = AppendTime<Layout::kDecimal>(begin, row);
        if (pair) {
            *out++ = Layout::kSeparator;
            // In double: a corrupt file's count minus the offset may not fit an int.
            out = AppendValue<Layout::kDecimal>(out, end, (double(rec->dane[row][u]) - VoltageOffset(u)) * rec->skala[u]); // V
            *out++ = Layout::kSeparator;
            out = AppendValue<Layout::kDecimal>(out, end, double(rec->dane[row][i]) * rec->skala[i]); // A, no offset on current
            if (Layout::kTrailingSeparator)
                *out++ = Layout::kSeparator;
        }
        if (Layout::kCrLf)
            *out++ = '\r';
        *out++ = '\n';
        used = int(out - text.constData());
    }
    text.truncate(used);
}

template <class Layout>
QByteArray DataBytes(const TDataPomiar *rec)
{
    QByteArray text;
    AppendDataBytes<Layout>(text, rec);
    return text;
}

// One field of the decimal-point variant, always quoted: a label or a
// comment may hold anything, and a quoted field is read the same by every
// reader.
QString QuotedField(QString text)
{
    text = CsvTextField(text);
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
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

QString CsvTextField(const QString &text)
{
    if (text.isEmpty())
        return text;
    const QChar first = text.at(0);
    if (first != QLatin1Char('=') && first != QLatin1Char('+') && first != QLatin1Char('-')
        && first != QLatin1Char('@') && first != QLatin1Char('\t') && first != QLatin1Char('\r'))
        return text;
    // A number is read as a number, never as a formula: marking it would
    // turn a value into text.
    bool number = false;
    QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
    number = number && text.contains(QRegularExpression(QStringLiteral("[0-9]")));
    if (number && first != QLatin1Char('\t') && first != QLatin1Char('\r'))
        return text;
    return QLatin1Char('\'') + text;
}

QString FileNamePart(const QString &text)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    // By code point: the tag characters (U+E0001...) and the musical format
    // characters (U+1D173...) are format characters as invisible as U+202E,
    // but each is a surrogate pair that no single QChar shows as one.
    QString name;
    name.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        uint code = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(code) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pair)
            code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
        const QChar::Category category = QChar::category(code);
        const bool unsafe = (code < 0x80 && forbidden.contains(QChar(code))) || category == QChar::Other_Control
            || category == QChar::Other_Format || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph || category == QChar::Other_Surrogate
            || category == QChar::Other_NotAssigned || QChar::isNonCharacter(code);
        if (unsafe)
            name += QLatin1Char('_');
        else if (pair)
            name += text.midRef(i, 2);
        else
            name += text.at(i);
        if (pair)
            ++i;
    }
    return name;
}

QString CsvDataText(const TDataPomiar *rec)
{
    return QString::fromLatin1(DataBytes<TMeterLayout>(rec));
}

QByteArray CsvFileBytes(const TCsvLabels &labels, const TDataPomiar *rec)
{
    QByteArray bytes;
    AppendCsvFileBytes(bytes, labels, rec);
    return bytes;
}

void AppendCsvFileBytes(QByteArray &out, const TCsvLabels &labels, const TDataPomiar *rec)
{
    // The locale's encoding, as a text stream uses by default: the ANSI code
    // page on Windows, which is what a spreadsheet there reads a CSV file
    // with. Characters it lacks (the ohm sign in code page 1250) come out as
    // the codec's replacement. The data lines are ASCII, the same bytes in
    // every such code page, so they skip the conversion.
    out += QTextCodec::codecForLocale()->fromUnicode(HeadText(labels));
    AppendDataBytes<TMeterLayout>(out, rec);
}

ExportResult SaveCsvFile(const QString &fileName, const TCsvLabels &labels, const TDataPomiar *rec, QString *errorText)
{
    // Built whole before the file is touched, so the file is open for one write.
    return ExportResult(ReplaceWholeFile(fileName, CsvFileBytes(labels, rec), true, errorText));
}

QByteArray CsvPointBytes(const TCsvLabels &keys, const TCsvLabels &values, const TDataPomiar *rec)
{
    const QString TCsvLabels::*const lines[] = {&TCsvLabels::obiekt, &TCsvLabels::R, &TCsvLabels::czas,
                                                &TCsvLabels::metoda, &TCsvLabels::komentarz};
    QString head;
    for (const QString TCsvLabels::*line : lines)
        head += QuotedField(keys.*line) + QLatin1Char(',') + QuotedField(values.*line) + QLatin1String("\r\n");
    head += kPointHeader + QLatin1String("\r\n");
    // The mark tells Excel on Windows that this is UTF-8 and not the ANSI code page.
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += head.toUtf8();
    AppendDataBytes<TPointLayout>(bytes, rec);
    return bytes;
}

ExportResult SaveCsvPointFile(const QString &fileName, const TCsvLabels &keys, const TCsvLabels &values,
                     const TDataPomiar *rec, QString *errorText)
{
    // Binary mode: the CR LF line ends are part of the format.
    return ExportResult(ReplaceWholeFile(fileName, CsvPointBytes(keys, values, rec), false, errorText));
}

QString DefaultFileName(uint czas)
{
    return QObject::tr("Pomiar_") + CzasText(qint64(czas), QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
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

ExportKind ExportKindFor(QString fileName, ExportKind filterKind)
{
    const ExportKind kind = FileKind(fileName);
    return kind == ExportCsv && filterKind == ExportCsvPoint ? ExportCsvPoint : kind;
}
