#include "chart/plotpomiar.h"

#include "chart/charttools.h"
#include "measurement/tdatapomiar.h"

#include <qcustomplot.h>

#include <algorithm>

TWykresSeries WykresSeries(const TDataPomiar *pomiar, int offset03, int offset14)
{
    TWykresSeries s;
    s.keys.resize(kWykresRows);
    const int cI = pomiar->kanalI;
    const int cU = pomiar->kanalU;
    // A damaged file may name a channel that does not exist: no series then.
    const bool hasI = IsChannel(cI);
    const bool hasU = IsChannel(cU);
    if (hasI)
        s.current.resize(kWykresRows);
    if (hasU)
        s.voltage.resize(kWykresRows);
    const int offsetU = VoltageOffset(cU, offset03, offset14);
    const double scaleI = hasI ? pomiar->skala[cI] : 0.0;
    const double scaleU = hasU ? pomiar->skala[cU] : 0.0;

    for (int r = 0; r < kWykresRows; ++r) {
        s.keys[r] = RowToMs(r);
        if (hasI) {
            const double i = pomiar->dane[r][cI] * scaleI;
            s.current[r] = i;
            s.low = std::min(s.low, i);
            s.high = std::max(s.high, i);
        }
        if (hasU) {
            const double u = (qint64(pomiar->dane[r][cU]) - offsetU) * scaleU;
            s.voltage[r] = u;
            s.low = std::min(s.low, u);
            s.high = std::max(s.high, u);
        }
    }
    return s;
}

void PlotPomiar(QCustomPlot *plot, const TDataPomiar *pomiar, int offset03, int offset14)
{
    const TWykresSeries s = WykresSeries(pomiar, offset03, offset14);

    if (plot->graphCount() == 0) {
        plot->addGraph();
        plot->addGraph();
    }
    plot->graph(0)->setPen(QPen(Qt::red));
    plot->graph(1)->setPen(QPen(Qt::blue));
    if (s.current.isEmpty())
        plot->graph(0)->data()->clear();
    else
        plot->graph(0)->setData(s.keys, s.current, true);
    if (s.voltage.isEmpty())
        plot->graph(1)->data()->clear();
    else
        plot->graph(1)->setData(s.keys, s.voltage, true);

    plot->xAxis->setLabel(QStringLiteral("t [ms]"));
    plot->yAxis->setLabel(QStringLiteral("U/I"));
    plot->xAxis->setRange(-20, 40);
    // An empty range (a flat record at 0) is refused by the axis, which then
    // keeps the range it had.
    plot->yAxis->setRange(1.6 * s.low, 1.1 * s.high);
    plot->graph(0)->setName(QStringLiteral("I[A]"));
    plot->graph(1)->setName(QStringLiteral("U[V]"));
    plot->legend->setBorderPen(QPen(Qt::white));
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables);
    // Cursors, the right axis and the image commands; they leave the drawing
    // above as it is unless the user asked for them.
    TChartTools::Attach(plot)->Plotted(pomiar, s, offset03, offset14);
    plot->replot();
}

void ClearPlot(QCustomPlot *plot)
{
    if (TChartTools *tools = TChartTools::Of(plot))
        tools->Cleared();
    if (plot->graphCount() == 0)
        return;
    if (QCPGraph *g = plot->graph(0))
        g->data()->clear();
    if (plot->graphCount() > 1)
        plot->graph(1)->data()->clear();
    plot->clearPlottables();
    plot->replot();
}
