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

/// A straight-line trend of a history and where it reaches a limit (ohms,
/// seconds since 1970; 0 where a time is not there).
struct THistoriaTrend
{
    qint64 t0 = 0;      // the line's centre
    double a = 0;       // its value there
    double bPerDay = 0; // its slope, ohms per day
    qint64 from = 0;    // drawn from here ...
    qint64 to = 0;      // ... to here, or to the crossing when that is later
    double limit = 0;   // the limit it heads for; NaN: none
    qint64 cross = 0;   // the day it reaches the limit
    qint64 earliest = 0, latest = 0; // the crossing's range; 0: open
};

/// Adds the trend to a chart PlotHistoria drew (its axis shows ohms /
/// 10^`scaleExponent`): the line, the limit, the crossing day as a marker
/// and its range as dashed lines, with the time axis widened to show them.
/// Nothing of the history is changed. Does not replot.
void PlotHistoriaTrend(QCustomPlot *plot, int scaleExponent, const THistoriaTrend &trend);

#endif // HISTORIACHART_H
