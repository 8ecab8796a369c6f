#ifndef PLOTPOMIAR_H
#define PLOTPOMIAR_H

#include "measurement/tdatapomiar.h"

#include <QVector>

class QCustomPlot;

/// Number of rows the chart shows (rows 0 to 2999, -20 ms to 39.98 ms).
constexpr int kWykresRows = kShownRows;

/// The two series a chart shows for one record, and the value range they need.
struct TWykresSeries
{
    QVector<double> keys;    // ms; row 1000 is 0
    QVector<double> current; // A; empty when kanalI names no channel
    QVector<double> voltage; // V; empty when kanalU names no channel
    double low = 0;          // smallest of 0 and every plotted value
    double high = 0;         // largest of 0 and every plotted value
};

/// Computes the chart series of `pomiar`: current without offset, voltage
/// minus `offset03` (channels 0, 3) or `offset14` (channels 1, 4).
TWykresSeries WykresSeries(const TDataPomiar *pomiar, int offset03, int offset14);

/// Draws `pomiar` into `plot`: graph 0 the current (red), graph 1 the
/// voltage (blue), time from -20 to 40 ms, then replots.
void PlotPomiar(QCustomPlot *plot, const TDataPomiar *pomiar, int offset03, int offset14);

/// Empties the chart (no graphs left, no message) and replots.
void ClearPlot(QCustomPlot *plot);

/// Writes `text` (plain text, may be several lines) in the middle of the
/// chart, in place of a waveform that cannot be drawn; PlotPomiar and
/// ClearPlot take it away again.
void ShowPlotMessage(QCustomPlot *plot, const QString &text);

/// The text ShowPlotMessage wrote into `plot`; empty when there is none.
QString PlotMessage(const QCustomPlot *plot);

#endif // PLOTPOMIAR_H
