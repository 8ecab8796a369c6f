#include "chart/plotpomiar.h"

#include "chart/charttools.h"
#include "measurement/tdatapomiar.h"
#include "measurement/wykresseries.h"

#include <qcustomplot.h>

#include <algorithm>

namespace {

const char kMessageName[] = "plotMessage";

QCPItemText *MessageItem(const QCustomPlot *plot)
{
    for (int i = 0; i < plot->itemCount(); ++i)
        if (plot->item(i)->objectName() == QLatin1String(kMessageName))
            return qobject_cast<QCPItemText *>(plot->item(i));
    return nullptr;
}

// True when there was a message to take away.
bool RemoveMessage(QCustomPlot *plot)
{
    QCPItemText *item = MessageItem(plot);
    return item && plot->removeItem(item);
}

} // namespace

void PlotPomiar(QCustomPlot *plot, const TDataPomiar *pomiar, int offset03, int offset14)
{
    const TWykresSeries s = WykresSeries(pomiar, offset03, offset14);

    if (plot->graphCount() == 0) {
        // The colour labels on the widget name the traces; the chart's own
        // legend stays hidden, and items in it would only be measured at
        // every replot.
        plot->addGraph()->removeFromLegend();
        plot->addGraph()->removeFromLegend();
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
    plot->yAxis->setRange(kWykresLowFactor * s.low, kWykresHighFactor * s.high);
    plot->graph(0)->setName(QStringLiteral("I[A]"));
    plot->graph(1)->setName(QStringLiteral("U[V]"));
    plot->legend->setBorderPen(QPen(Qt::white));
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables);
    RemoveMessage(plot);
    // Cursors, the right axis and the image commands; they leave the drawing
    // above as it is unless the user asked for them.
    TChartTools::Attach(plot)->Plotted(pomiar, s);
    plot->replot();
}


void ShowPlotMessage(QCustomPlot *plot, const QString &text)
{
    QCPItemText *item = MessageItem(plot);
    if (!item) {
        item = new QCPItemText(plot);
        item->setObjectName(QLatin1String(kMessageName));
        item->position->setType(QCPItemPosition::ptAxisRectRatio);
        item->position->setCoords(0.5, 0.5);
        item->setPositionAlignment(Qt::AlignCenter);
        item->setTextAlignment(Qt::AlignCenter);
        item->setClipToAxisRect(false);
        item->setSelectable(false);
    }
    item->setText(text);
    plot->replot();
}

QString PlotMessage(const QCustomPlot *plot)
{
    const QCPItemText *item = MessageItem(plot);
    return item ? item->text() : QString();
}

void ClearPlot(QCustomPlot *plot)
{
    const bool hadMessage = RemoveMessage(plot);
    if (hadMessage && plot->graphCount() == 0)
        plot->replot();
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
