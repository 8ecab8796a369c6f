#include "measurement/readout.h"

#include "measurement/wykresseries.h"

#include <algorithm>
#include <cmath>

namespace {

int PlottedRow(int row)
{
    return std::clamp(row, 0, kReadoutRows - 1);
}

// The same arithmetic as the chart's series and the CSV lines, so that the
// three agree to the last digit: no offset on the current, the voltage
// channel's zero offset subtracted before scaling.
struct TRecordSource
{
    const TDataPomiar *rec;
    int offset03, offset14;

    bool HasI() const { return IsChannel(rec->kanalI); }
    bool HasU() const { return IsChannel(rec->kanalU); }
    double I(int row) const { return rec->dane[row][rec->kanalI] * rec->skala[rec->kanalI]; }
    double U(int row) const
    {
        const int c = rec->kanalU;
        return (double(rec->dane[row][c]) - VoltageOffset(c, offset03, offset14)) * rec->skala[c];
    }
};

// The plotted series hold exactly those values.
static_assert(kWykresRows == kReadoutRows, "a readout stands on a plotted row");
struct TSeriesSource
{
    const TWykresSeries *series;

    bool HasI() const { return series->current.size() == kReadoutRows; }
    bool HasU() const { return series->voltage.size() == kReadoutRows; }
    double I(int row) const { return series->current[row]; }
    double U(int row) const { return series->voltage[row]; }
};

template <class Source>
TReadoutPoint PointOf(const Source &source, int row)
{
    TReadoutPoint p;
    p.row = PlottedRow(row);
    p.t = ReadoutTime(p.row);
    p.hasI = source.HasI();
    p.hasU = source.HasU();
    if (p.hasI)
        p.i = source.I(p.row);
    if (p.hasU)
        p.u = source.U(p.row);
    p.hasOhms = p.hasI && p.hasU && p.i != 0;
    if (p.hasOhms)
        p.ohms = p.u / p.i;
    return p;
}

template <class Source>
TReadoutSpan SpanOf(const Source &source, int rowA, int rowB)
{
    const TReadoutPoint a = PointOf(source, rowA);
    const TReadoutPoint b = PointOf(source, rowB);
    TReadoutSpan s;
    s.dt = b.t - a.t;
    s.hasHz = a.row != b.row;
    if (s.hasHz)
        s.hz = 1000.0 / std::fabs(s.dt);
    s.hasDI = a.hasI;
    s.hasDU = a.hasU;
    if (s.hasDI)
        s.dI = b.i - a.i;
    if (s.hasDU)
        s.dU = b.u - a.u;
    if (a.hasI && a.hasU) {
        // The ratio of the means, not the mean of the ratios: rows on the
        // pulse's edges carry almost no current and would dominate the latter.
        double sumI = 0;
        double sumU = 0;
        const int first = std::min(a.row, b.row);
        const int last = std::max(a.row, b.row);
        for (int r = first; r <= last; ++r) {
            sumI += source.I(r);
            sumU += source.U(r);
        }
        s.hasMean = sumI != 0;
        if (s.hasMean)
            s.meanOhms = sumU / sumI;
    }
    return s;
}

} // namespace

int ReadoutRow(double ms)
{
    if (std::isnan(ms))
        return 0;
    // Clamped before converting so that huge keys stay defined.
    const double row = std::round(ms * kRowsPerMs) + kRowZero;
    return int(std::clamp(row, 0.0, double(kReadoutRows - 1)));
}

double ReadoutTime(int row)
{
    return RowToMs(row);
}

TReadoutPoint ReadoutAt(const TDataPomiar *rec, int row, int offset03, int offset14)
{
    return PointOf(TRecordSource{rec, offset03, offset14}, row);
}

TReadoutSpan ReadoutBetween(const TDataPomiar *rec, int rowA, int rowB, int offset03, int offset14)
{
    return SpanOf(TRecordSource{rec, offset03, offset14}, rowA, rowB);
}

TReadoutPoint ReadoutAt(const TWykresSeries &series, int row)
{
    return PointOf(TSeriesSource{&series}, row);
}

TReadoutSpan ReadoutBetween(const TWykresSeries &series, int rowA, int rowB)
{
    return SpanOf(TSeriesSource{&series}, rowA, rowB);
}

QString ReadoutNumber(double value, int decimals)
{
    if (value == 0)
        value = 0; // no sign on a negative zero, as in the CSV
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString ReadoutTimeText(double ms, QChar decimalPoint)
{
    QString text = QString::number(ms, 'f', 2);
    if (text == QLatin1String("-0.00"))
        text.remove(0, 1);
    return text.replace(QLatin1Char('.'), decimalPoint);
}

QStringList WrapReadout(const QList<QStringList> &groups, int width,
                        const std::function<int(const QString &)> &advance)
{
    const QString gap = QStringLiteral("   ");
    QStringList lines;
    for (const QStringList &fields : groups) {
        QString line;
        for (const QString &field : fields) {
            if (!line.isEmpty() && advance(line + gap + field) > width) {
                lines << line;
                line = QStringLiteral("    ") + field;
            } else {
                line = line.isEmpty() ? field : line + gap + field;
            }
        }
        lines << line;
    }
    return lines;
}
