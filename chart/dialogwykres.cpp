#include "chart/dialogwykres.h"
#include "ui_dialogwykres.h"

#include "chart/plotpomiar.h"

#include <QResizeEvent>
#include <qcustomplot.h>

DialogWykres::DialogWykres(const TDataPomiar *pomiar, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogWykres)
{
    ui->setupUi(this);
    setWindowTitle(tr("Przebieg prądu i napiecia"));
    setWindowFlags(Qt::Window);
    // The legend labels "I[A]" and "U[V]" sit in the chart's top left
    // corner: the axes start below them, as in the main window's chart.
    ui->plot->axisRect()->setMinimumMargins(QMargins(0, 38, 0, 0));
    PlotPomiar(ui->plot, pomiar, kOffset03, kOffset14);
}

DialogWykres::~DialogWykres()
{
    delete ui;
}

void DialogWykres::UpdateWykresSLOT(const TDataPomiar &wDP)
{
    PlotPomiar(ui->plot, &wDP, kOffset03, kOffset14);
}

void DialogWykres::ClearWykresSLOT(const QString &message)
{
    ClearPlot(ui->plot);
    if (!message.isEmpty())
        ShowPlotMessage(ui->plot, message);
}

void DialogWykres::resizeEvent(QResizeEvent *event)
{
    // One pixel free left and right, the top 40 pixels above the chart.
    ui->plot->setGeometry(1, 40, event->size().width() - 2, event->size().height() - 40);
    QDialog::resizeEvent(event);
}
