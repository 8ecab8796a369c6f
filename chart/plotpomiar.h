#ifndef PLOTPOMIAR_H
#define PLOTPOMIAR_H

#include "measurement/tdatapomiar.h"
#include "measurement/wykresseries.h"

class QCustomPlot;

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
