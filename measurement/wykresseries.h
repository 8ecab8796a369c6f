#ifndef WYKRESSERIES_H
#define WYKRESSERIES_H

#include "measurement/tdatapomiar.h"

#include <QVector>

/// Number of rows the chart shows (rows 0 to 2999, -20 ms to 39.98 ms).
constexpr int kWykresRows = kShownRows;

/// The chart's default value range of a series reaches this many times its
/// lowest value (a negative low leaves room below the curve) ...
constexpr double kWykresLowFactor = 1.6;
/// ... and this many times its highest.
constexpr double kWykresHighFactor = 1.1;

/// The two series a chart shows for one record, and the value range they need.
struct TWykresSeries
{
    QVector<double> keys;    // ms; row 1000 is 0
    QVector<double> current; // A; empty when kanalI names no channel
    QVector<double> voltage; // V; empty when kanalU names no channel
    double low = 0;          // smallest of 0 and every plotted value
    double high = 0;         // largest of 0 and every plotted value
    double lowI = 0, highI = 0; // the same for the current alone
    double lowU = 0, highU = 0; // and for the voltage alone
};

/// Computes the chart series of `pomiar`: current without offset, voltage
/// minus `offset03` (channels 0, 3) or `offset14` (channels 1, 4).
TWykresSeries WykresSeries(const TDataPomiar *pomiar, int offset03, int offset14);

/// A value axis range, lower to upper.
struct TWykresRange
{
    double lower = 0;
    double upper = 0;
};

/// The default ranges of two value axes drawn over one chart (voltage left,
/// current right), each reaching kWykresLowFactor × its low and
/// kWykresHighFactor × its high (lows ≤ 0 ≤ highs), one of them widened so
/// that zero lies at the same height on both: the axis whose zero lies
/// higher keeps its range, the other one grows below or above. A series
/// that is flat at 0 gets the empty range {0, 0}, which the chart refuses
/// (the axis keeps the range it had), and aligns nothing.
void AlignedZeroRanges(double lowA, double highA, double lowB, double highB, TWykresRange *a, TWykresRange *b);

#endif // WYKRESSERIES_H
