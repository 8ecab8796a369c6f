#ifndef HISTORIACHART_H
#define HISTORIACHART_H

#include "historia/historia.h"

#include <QVector>

class QCustomPlot;
class QCPGraph;
class QCPItemStraightLine;

/// Where the out-of-range markers sit on the chart's hidden right axis (0
/// to 1): on the top edge, whatever the user drags or zooms.
constexpr double kHistoriaTopEdge = 0.97;

/// What PlotHistoria put into a chart, for a window that marks and moves on it.
struct THistoriaChart
{
    QCPGraph *graphR = nullptr;        // every row with a value, R / 10^scaleExponent against time
    QCPGraph *graphPoza = nullptr;     // the other rows, on the top edge
    QCPGraph *graphSelected = nullptr; // empty: the ring of a row chosen on the screen, never printed
    QCPItemStraightLine *lineReference = nullptr;
    int scaleExponent = 0; // the y axis shows ohms / 10^scaleExponent
};

/// Draws the history `rows` (in time order) into the empty chart `plot`:
/// their resistance against date and time in one engineering unit, rows
/// without a value as markers on the top edge, the reference line at row
/// `reference` (hidden for -1), axes ranged to every measurement. The
/// history window, its report and the command line's report draw it so.
/// Does not replot.
THistoriaChart PlotHistoria(QCustomPlot *plot, const QVector<THistoriaRow> &rows, int reference);

/// Moves the reference line `line` of a chart whose axis shows ohms /
/// 10^`scaleExponent` to `ohms`, or hides it for NaN.
void ShowHistoriaReference(QCPItemStraightLine *line, int scaleExponent, double ohms);

/// Draws a limit line at each finite value of `ohms` on a chart whose axis
/// shows ohms / 10^`scaleExponent`, widening the value range to keep each
/// in sight; the lines drawn are appended to `*lines`. Does not replot.
void ShowHistoriaLimits(QCustomPlot *plot, int scaleExponent, const QVector<double> &ohms,
                        QVector<QCPItemStraightLine *> *lines);

#endif // HISTORIACHART_H
