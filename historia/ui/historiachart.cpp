// The history's chart, the same on the screen, in the window's report and
// in the command line's.

#include "historia/ui/historiachart.h"

#include "measurement/engformat.h"
#include "report/ui/reportdoc.h"

#include <QCoreApplication>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

THistoriaChart PlotHistoria(QCustomPlot *plot, const QVector<THistoriaRow> &rows, int reference)
{
    THistoriaChart chart;
    QVector<double> values;
    for (const THistoriaRow &row : rows) {
        if (HasValue(row))
            values << row.R;
    }
    chart.scaleExponent = CommonEngExponent(values);
    const double scale = std::pow(10.0, -chart.scaleExponent);

    QVector<double> keys, ys, topKeys, topYs;
    keys.reserve(values.size());
    ys.reserve(values.size());
    double low = 0, high = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const double key = double(rows[i].czas); // the date-time ticker counts seconds since 1970
        if (HasValue(rows[i])) {
            const double y = rows[i].R * scale;
            if (keys.isEmpty() || y < low)
                low = y;
            if (keys.isEmpty() || y > high)
                high = y;
            keys << key;
            ys << y;
        } else {
            topKeys << key;
            topYs << kHistoriaTopEdge;
        }
    }

    QCustomPlot *p = plot;
    p->yAxis2->setRange(0, 1);
    // The chart's own legend is never shown: its items would only be kept.
    p->setAutoAddPlottableToLegend(false);
    chart.graphR = p->addGraph(p->xAxis, p->yAxis);
    // A one-pixel pen: anything wider takes the stroker's slow road and a
    // thousand points cost tens of milliseconds per replot.
    chart.graphR->setPen(QPen(QColor(20, 80, 200), 1));
    chart.graphR->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 5));
    chart.graphR->setData(keys, ys, true);
    chart.graphR->setName(QStringLiteral("R"));
    chart.graphPoza = p->addGraph(p->xAxis, p->yAxis2);
    chart.graphPoza->setLineStyle(QCPGraph::lsNone);
    chart.graphPoza->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, QPen(Qt::darkRed), QBrush(QColor(220, 40, 40)), 9));
    chart.graphPoza->setData(topKeys, topYs, true);
    // The window's text, translated where the window has always had it.
    chart.graphPoza->setName(QCoreApplication::translate("DialogHistoria", "Poza zakresem"));
    chart.graphSelected = p->addGraph(p->xAxis, p->yAxis);
    chart.graphSelected->setLineStyle(QCPGraph::lsNone);
    chart.graphSelected->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(QColor(255, 140, 0), 2.5), Qt::NoBrush, 13));
    // The ring marks the row chosen on the screen: no data of its own.
    chart.graphSelected->setName(QString());
    chart.graphSelected->setProperty(kScreenOnlyProperty, true);
    for (QCPGraph *g : {chart.graphR, chart.graphPoza, chart.graphSelected})
        g->setSelectable(QCP::stNone);

    chart.lineReference = new QCPItemStraightLine(p);
    chart.lineReference->setPen(QPen(QColor(0, 150, 60), 1, Qt::DashLine));
    chart.lineReference->setSelectable(false);

    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeSpec(Qt::LocalTime);
    ticker->setDateTimeFormat(QStringLiteral("yyyy-MM-dd\nhh:mm"));
    p->xAxis->setTicker(ticker);
    p->yAxis->setLabel(QStringLiteral("R [") + EngUnitText(chart.scaleExponent) + QLatin1Char(']'));

    // Keys: every measurement, with a margin; one alone gets an hour either side.
    qint64 firstCzas = 0, lastCzas = 0;
    if (HistoriaCzasSpan(rows, &firstCzas, &lastCzas)) {
        const double first = double(firstCzas);
        const double last = double(lastCzas);
        const double margin = last > first ? (last - first) * 0.03 : 3600;
        p->xAxis->setRange(first - margin, last + margin);
    }
    // Values: every valid one and some room above for the out-of-range markers.
    if (!keys.isEmpty()) {
        // Never narrower than ±2 % around the data: contact noise of a few
        // tenths of a percent must not look like a jump.
        const double middle = (low + high) / 2;
        const double minimumSpan = std::max(std::fabs(middle) * 0.04, 1e-9);
        if (high - low < minimumSpan) {
            low = middle - minimumSpan / 2;
            high = middle + minimumSpan / 2;
        }
        const double span = high - low;
        p->yAxis->setRange(low - span * 0.15, high + span * 0.25);
    } else {
        p->yAxis->setRange(0, 1);
    }
    const bool shown = reference >= 0 && reference < rows.size();
    ShowHistoriaReference(chart.lineReference, chart.scaleExponent,
                          shown ? rows[reference].R : std::numeric_limits<double>::quiet_NaN());
    return chart;
}

void ShowHistoriaReference(QCPItemStraightLine *line, int scaleExponent, double ohms)
{
    const bool shown = !std::isnan(ohms);
    line->setVisible(shown);
    if (shown) {
        const double y = ohms * std::pow(10.0, -scaleExponent);
        line->point1->setCoords(0, y);
        line->point2->setCoords(1, y);
    }
}

void ShowHistoriaLimits(QCustomPlot *plot, int scaleExponent, const QVector<double> &ohms,
                        QVector<QCPItemStraightLine *> *lines)
{
    const double scale = std::pow(10.0, -scaleExponent);
    for (double r : ohms) {
        if (!std::isfinite(r))
            continue;
        auto *line = new QCPItemStraightLine(plot);
        line->setPen(QPen(QColor(200, 30, 30), 1, Qt::DashLine));
        line->setSelectable(false);
        line->point1->setCoords(0, r * scale);
        line->point2->setCoords(1, r * scale);
        lines->append(line);
        // A limit in sight even when every measurement is far from it.
        QCPRange range = plot->yAxis->range();
        const double margin = std::max(range.size() * 0.05, std::fabs(r * scale) * 0.02);
        if (r * scale + margin > range.upper)
            range.upper = r * scale + margin;
        if (r * scale - margin < range.lower)
            range.lower = r * scale - margin;
        plot->yAxis->setRange(range);
    }
}

void PlotHistoriaTrend(QCustomPlot *p, int scaleExponent, const THistoriaTrend &trend)
{
    const double scale = std::pow(10.0, -scaleExponent);
    const auto at = [&](qint64 t) { return (trend.a + trend.bPerDay * double(t - trend.t0) / 86400.0) * scale; };
    const qint64 end = qMax(trend.to, trend.cross);
    QCPGraph *line = p->addGraph(p->xAxis, p->yAxis);
    line->setName(QObject::tr("Trend"));
    line->setPen(QPen(QColor(0, 140, 0), 1.5, Qt::DashLine));
    line->setData({double(trend.from), double(end)}, {at(trend.from), at(end)});
    double low = p->yAxis->range().lower, high = p->yAxis->range().upper;
    double left = p->xAxis->range().lower, right = qMax(p->xAxis->range().upper, double(end));
    if (std::isfinite(trend.limit)) {
        const double y = trend.limit * scale;
        auto *limit = new QCPItemStraightLine(p);
        limit->setPen(QPen(Qt::red, 1, Qt::DashLine));
        limit->point1->setCoords(0, y);
        limit->point2->setCoords(1, y);
        low = qMin(low, y);
        high = qMax(high, y);
        if (trend.cross != 0) {
            QCPGraph *cross = p->addGraph(p->xAxis, p->yAxis);
            cross->setName(QObject::tr("Osiągnięcie limitu"));
            cross->setLineStyle(QCPGraph::lsNone);
            cross->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDiamond, Qt::red, Qt::red, 9));
            cross->setData({double(trend.cross)}, {y});
            for (qint64 t : {trend.earliest, trend.latest}) {
                if (t == 0)
                    continue;
                auto *bound = new QCPItemStraightLine(p);
                bound->setPen(QPen(QColor(200, 0, 0, 120), 1, Qt::DotLine));
                bound->point1->setCoords(double(t), 0);
                bound->point2->setCoords(double(t), 1);
                left = qMin(left, double(t));
                right = qMax(right, double(t));
            }
        }
    }
    const double span = qMax(high - low, 1e-12);
    p->yAxis->setRange(low - span * 0.05, high + span * 0.05);
    const double width = qMax(right - left, 86400.0);
    p->xAxis->setRange(left, right + width * 0.03);
}
