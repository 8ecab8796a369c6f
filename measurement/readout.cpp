#include "measurement/readout.h"

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
double CurrentOf(const TDataPomiar *rec, int row)
{
    return rec->dane[row][rec->kanalI] * rec->skala[rec->kanalI];
}

double VoltageOf(const TDataPomiar *rec, int row, int offset03, int offset14)
{
    const int c = rec->kanalU;
    return (double(rec->dane[row][c]) - VoltageOffset(c, offset03, offset14)) * rec->skala[c];
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
    TReadoutPoint p;
    p.row = PlottedRow(row);
    p.t = ReadoutTime(p.row);
    p.hasI = IsChannel(rec->kanalI);
    p.hasU = IsChannel(rec->kanalU);
    if (p.hasI)
        p.i = CurrentOf(rec, p.row);
    if (p.hasU)
        p.u = VoltageOf(rec, p.row, offset03, offset14);
    p.hasOhms = p.hasI && p.hasU && p.i != 0;
    if (p.hasOhms)
        p.ohms = p.u / p.i;
    return p;
}

TReadoutSpan ReadoutBetween(const TDataPomiar *rec, int rowA, int rowB, int offset03, int offset14)
{
    const TReadoutPoint a = ReadoutAt(rec, rowA, offset03, offset14);
    const TReadoutPoint b = ReadoutAt(rec, rowB, offset03, offset14);
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
            sumI += CurrentOf(rec, r);
            sumU += VoltageOf(rec, r, offset03, offset14);
        }
        s.hasMean = sumI != 0;
        if (s.hasMean)
            s.meanOhms = sumU / sumI;
    }
    return s;
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
