// The fit of R and L in the result area, and its model on the main chart.

#include "tools/ui/fitview.h"

#include "database/shownpomiar.h"
#include "measurement/tdatapomiar.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QWidget>

#include <qcustomplot.h>

namespace {
const char kLabelFitR[] = "label_FitR";
const char kLabelFitL[] = "label_FitL";
const char kActionModel[] = "actionModelDopasowania";
} // namespace

TFitView::TFitView(const TFitWindow &window, QObject *parent)
    : QObject(parent)
    , w(window)
{
    // Made now, hidden: the form's own labels stay as they are.
    auto label = [this](const char *name) {
        auto *l = new QLabel(w.wynik);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        l->hide();
        return l;
    };
    pR = label(kLabelFitR);
    pL = label(kLabelFitL);
    if (w.shown)
        connect(w.shown, &TShownChanges::Changed, this, [this](const TShownPomiar &shown) { Follow(shown); });
    w.wynik->installEventFilter(this);
    w.r->installEventFilter(this);

    // Among the commands the window puts on the chart, before a separator
    // of its own: "Drukuj…" stays the menu's last line, where it has been.
    pModel = new QAction(w.plot);
    pModel->setObjectName(QLatin1String(kActionModel));
    pModel->setCheckable(true);
    auto *separator = new QAction(w.plot);
    separator->setSeparator(true);
    QAction *first = w.plot->actions().value(0);
    w.plot->insertActions(first, {pModel, separator});
    connect(pModel, &QAction::toggled, this, [this]() { w.plot->replot(); });
    // Every drawing of the chart (a new record, the axes, a zoom) finds the
    // model as it should be, whoever drew the measured traces.
    connect(w.plot, &QCustomPlot::beforeReplot, this, &TFitView::Model);
    Retranslate();
}

void TFitView::Follow(const TShownPomiar &shown)
{
    // The record is the shown measurement's only once its file was read.
    bShown = !shown.plik.isEmpty() && w.current && w.wanted && w.wanted();
    bGraphStale = true;
    if (!bShown) {
        Fit = TFitRL();
        pR->hide();
        pL->hide();
        if (pGraph)
            w.plot->replot();
        return;
    }
    Fit = Fits.Of(w.current);
    Retranslate();
    Place();
    pR->show();
    pL->show();
    // The chart may have been drawn before this road announced the record.
    if (pModel->isChecked())
        w.plot->replot();
}

void TFitView::Retranslate()
{
    pModel->setText(tr("Model dopasowania R, L (linia przerywana)"));
    if (!bShown)
        return;
    const TFitTexts texts = FitTexts(Fit);
    pR->setText(texts.r);
    pL->setText(texts.l);
    const QString tip = Fit.bValid ? tr("R i L dopasowane do całego impulsu; niepewność standardowa (1σ)")
                                   : QString();
    pR->setToolTip(tip);
    pL->setToolTip(tip);
}

void TFitView::Place()
{
    // Beside the meter's R, two lines in its height and the next one's:
    // the window's layout may have widened the label since the last time.
    const QRect r = w.r->geometry();
    const int left = r.right() + 12;
    const int width = qMax(0, w.wynik->width() - left - 10);
    for (QLabel *label : {pR, pL})
        label->setFont(w.r->font());
    pR->setGeometry(left, r.top() - 8, width, r.height());
    pL->setGeometry(left, r.top() - 8 + r.height() + 1, width, r.height());
}

bool TFitView::eventFilter(QObject *watched, QEvent *event)
{
    if (bShown && (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        && (watched == w.wynik || watched == w.r))
        Place();
    return QObject::eventFilter(watched, event);
}

void TFitView::Model()
{
    const bool wanted = pModel->isChecked() && bShown && Fit.bValid && w.plot->graphCount() >= 2;
    if (!wanted) {
        if (pGraph)
            w.plot->removePlottable(pGraph);
        return;
    }
    if (!pGraph) {
        // A curve, not a graph: the chart's cursors and readouts read its two graphs.
        QCPGraph *voltage = w.plot->graph(1);
        auto *curve = new QCPCurve(voltage->keyAxis(), voltage->valueAxis());
        curve->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
        curve->setSelectable(QCP::stNone);
        curve->removeFromLegend();
        pGraph = curve;
        bGraphStale = true;
    }
    // The voltage may have moved to the other axis since.
    pGraph->setValueAxis(w.plot->graph(1)->valueAxis());
    if (bGraphStale) {
        const TFitModel model = FitModelVoltage(w.current, Fit, kOffset03, kOffset14);
        pGraph->setData(model.keys, model.voltage);
        bGraphStale = false;
    }
}
