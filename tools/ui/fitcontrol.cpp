// The fit of R and L in the result area, and its model on the main chart.

#include "tools/ui/fitcontrol.h"

#include "common/ui/elidedlabel.h"
#include "database/shownpomiar.h"
#include "measurement/tdatapomiar.h"

#include <QAction>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <qcustomplot.h>

namespace {
const char kLabelFitR[] = "label_FitR";
const char kLabelFitL[] = "label_FitL";
const char kActionModel[] = "actionModelDopasowania";
} // namespace

TFitControl::TFitControl(const TFitWindow &window, QObject *parent)
    : QObject(parent)
    , w(window)
{
    // Made now, hidden: the form's own labels stay as they are.
    auto label = [this](const char *name) {
        auto *l = new QLabel(w.wynik);
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        // A narrow window shows "…" and the tool tip the whole line.
        ElideLabel(l);
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
    connect(w.plot, &QCustomPlot::beforeReplot, this, &TFitControl::Model);
    Retranslate();
}

void TFitControl::Follow(const TShownPomiar &shown)
{
    // The record is the shown measurement's only once its file was read.
    bShown = !shown.plik.isEmpty() && w.shown->HasRecord() && w.current && w.wanted && w.wanted();
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
    // A file's road writes the meter's R after announcing the record.
    QTimer::singleShot(0, this, &TFitControl::Place);
    pR->show();
    pL->show();
    // The chart may have been drawn before this road announced the record.
    if (pModel->isChecked())
        w.plot->replot();
}

void TFitControl::Retranslate()
{
    pModel->setText(tr("Model dopasowania R, L (linia przerywana)"));
    if (!bShown)
        return;
    const TFitTexts texts = FitTexts(Fit);
    pR->setText(texts.r);
    pL->setText(texts.l);
    QString tip = texts.r + QLatin1Char('\n') + texts.l;
    if (Fit.bValid)
        tip += QLatin1Char('\n') + tr("R i L dopasowane do całego impulsu; niepewność standardowa (1σ)");
    pR->setToolTip(tip);
    pL->setToolTip(tip);
    // The other language's line has another length.
    Place();
}

void TFitControl::Place()
{
    // Beside the meter's R (after its text, which is shorter than its
    // label), two lines in its height and the next one's, in its size but
    // not bold: at 1024 × 768 the box leaves them some 250 pixels.
    const QRect r = w.r->geometry();
    const QFontMetrics metrics(w.r->font());
    const int text = qMax(metrics.horizontalAdvance(w.r->text()), metrics.horizontalAdvance(QStringLiteral("R=000.00 mΩ")));
    const int left = qMin(r.left() + text + 24, r.right() + 12);
    const int width = qMax(0, w.wynik->width() - left - 10);
    QFont font = w.r->font();
    font.setBold(false);
    // The value with its uncertainty is longer than the meter's R: a smaller
    // letter, down to two thirds, before the line loses its end.
    const bool points = font.pointSizeF() > 0;
    const qreal size = points ? font.pointSizeF() : font.pixelSize();
    for (qreal scale = 1.0; scale >= 0.649; scale -= 0.05) {
        if (points)
            font.setPointSizeF(size * scale);
        else
            font.setPixelSize(qRound(size * scale));
        const QFontMetrics fitted(font);
        if (qMax(fitted.horizontalAdvance(pR->text()), fitted.horizontalAdvance(pL->text())) <= width)
            break;
    }
    for (QLabel *label : {pR, pL})
        label->setFont(font);
    pR->setGeometry(left, r.top() - 8, width, r.height());
    pL->setGeometry(left, r.top() - 8 + r.height() + 1, width, r.height());
}

bool TFitControl::eventFilter(QObject *watched, QEvent *event)
{
    if (bShown && (event->type() == QEvent::Resize || event->type() == QEvent::Move)
        && (watched == w.wynik || watched == w.r))
        Place();
    return QObject::eventFilter(watched, event);
}

void TFitControl::Model()
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
        // Dashed and a little transparent: the measured voltage shows through.
        curve->setPen(QPen(QColor(0, 0, 0, 190), 1.5, Qt::DashLine));
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
