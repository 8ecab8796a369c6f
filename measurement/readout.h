#ifndef READOUT_H
#define READOUT_H

#include "measurement/tdatapomiar.h"

#include <QString>
#include <QStringList>
#include <QList>

#include <functional>

struct TWykresSeries;

/// Rows a chart readout can stand on: the plotted rows 0 to 2999.
constexpr int kReadoutRows = 3000;

/// What a chart cursor reads at one row, with the chart's own time axis
/// (row 1000 is 0 ms) and the same values the chart and the CSV show.
struct TReadoutPoint
{
    int row = -1;
    double t = 0;       // ms
    double i = 0;       // A; meaningless unless hasI
    double u = 0;       // V; meaningless unless hasU
    bool hasI = false;  // kanalI names a channel
    bool hasU = false;  // kanalU names a channel
    double ohms = 0;    // u / i; meaningless unless hasOhms
    bool hasOhms = false; // both values exist and the current is not 0
};

/// What two cursors read between them, always B minus A.
struct TReadoutSpan
{
    double dt = 0;        // ms, negative when B lies before A
    double hz = 0;        // 1 / |dt|; meaningless unless hasHz
    bool hasHz = false;   // the cursors stand on different rows
    double dI = 0;        // A
    double dU = 0;        // V
    bool hasDI = false;
    bool hasDU = false;
    double meanOhms = 0;  // mean voltage over mean current of the rows from A to B inclusive
    bool hasMean = false; // both channels exist and the mean current is not 0
};

/// The plotted row nearest to `ms` on the chart's time axis, limited to
/// the plotted rows.
int ReadoutRow(double ms);

/// The chart's time of `row` in ms: (row - 1000) * 60 / 3000.
double ReadoutTime(int row);

/// The readout of `row` (limited to the plotted rows): current without
/// offset, voltage minus `offset03` (channels 0, 3) or `offset14` (1, 4).
TReadoutPoint ReadoutAt(const TDataPomiar *rec, int row, int offset03 = kOffset03, int offset14 = kOffset14);

/// The differences from row `rowA` to row `rowB` and the mean ratio over
/// the rows between them (both included).
TReadoutSpan ReadoutBetween(const TDataPomiar *rec, int rowA, int rowB, int offset03 = kOffset03,
                            int offset14 = kOffset14);

/// ReadoutAt and ReadoutBetween on the series a chart plotted
/// (WykresSeries), which hold the same values as the record they came from;
/// a series that is empty names no channel.
TReadoutPoint ReadoutAt(const TWykresSeries &series, int row);
TReadoutSpan ReadoutBetween(const TWykresSeries &series, int rowA, int rowB);

/// `value` with `decimals` decimals and a decimal comma, the digits the CSV
/// export writes (3 for times, 6 for values).
QString ReadoutNumber(double value, int decimals);

/// A time of the readout in ms with `decimalPoint`: two decimals, which
/// hold the 0.02 ms between rows exactly ("-0.02", "39.98").
QString ReadoutTimeText(double ms, QChar decimalPoint);

/// The readout's fields in lines no wider than `width`, as `advance`
/// measures a text: each group of fields starts a line, its fields joined
/// by three blanks while they fit; a field that does not fit starts a new
/// line, indented by four blanks. A single field wider than `width` still
/// gets its line.
QStringList WrapReadout(const QList<QStringList> &groups, int width,
                        const std::function<int(const QString &)> &advance);

#endif // READOUT_H
