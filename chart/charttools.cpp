#include "chart/charttools.h"

#include "chart/plotpomiar.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "measurement/engformat.h"
#include "measurement/readout.h"
#include "measurement/wykresseries.h"
#include "measurement/replacefile.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include "measurement/ui/savedialog.h"
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPdfWriter>

#include <qcustomplot.h>

#include <algorithm>

namespace {

bool gRightAxis = false;   // "Prąd na osi prawej", for the run only
QString gImageFolder;      // folder of the last saved chart image, with a trailing "/"

QList<TChartTools *> &Instances()
{
    static QList<TChartTools *> list;
    return list;
}

const QColor kCursorColour[2] = {QColor(0, 130, 0), QColor(200, 0, 200)};
const char *const kCursorName[2] = {"A", "B"};
// Pixels either side of a cursor line that grab it instead of the chart.
constexpr int kGrabPixels = 4;
// The colour legend labels sit in the chart's top left corner; the readout starts right of them.
constexpr int kReadoutLeft = 65;

const QString kDash = QStringLiteral("—");

// The chart's default value range of a series (0 always inside), as PlotPomiar sets it.
void SetDefaultRange(QCPAxis *axis, double low, double high)
{
    axis->setRange(kWykresLowFactor * low, kWykresHighFactor * high);
}

// Readouts: the engineering formatter's four digits and the decimal sign
// of the locale the tables write their numbers in.
QString ValueText(bool has, double value, const char *unit, QChar point)
{
    return has ? FormatEngineeringIn(value, QLatin1String(unit), 4, point) : kDash;
}

QString OhmsText(bool has, double ohms, QChar point)
{
    return has ? FormatEngineering(ohms, 4, point) : kDash;
}

void ShowProblem(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.exec();
}

// The colour legend is two labels on the chart widget, not part of the
// QCustomPlot drawing: an image without them would not say which trace is which.
// Drawn as text in the label's font and colour rather than rendered as
// widgets, so that a label narrower than its text is not cut in the image.
void RenderLegendLabels(QCustomPlot *plot, QPainter *painter)
{
    painter->save();
    for (QLabel *label : plot->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!label->isVisible())
            continue;
        label->ensurePolished(); // the style sheet's colour reaches the palette here
        painter->setFont(label->font());
        painter->setPen(label->palette().color(label->foregroundRole()));
        const QSize hint = label->sizeHint();
        const QRect box(label->pos(), QSize(std::max(label->width(), hint.width()), std::max(label->height(), hint.height())));
        painter->drawText(box, int(label->alignment()), label->text());
    }
    painter->restore();
}

} // namespace

TChartTools *TChartTools::Attach(QCustomPlot *plot)
{
    if (TChartTools *tools = Of(plot))
        return tools;
    return new TChartTools(plot);
}

TChartTools *TChartTools::Of(const QCustomPlot *plot)
{
    return plot->findChild<TChartTools *>(QString(), Qt::FindDirectChildrenOnly);
}

void TChartTools::SetCurrentOnRightAxisForAll(bool on)
{
    gRightAxis = on;
    for (TChartTools *tools : Instances())
        tools->SetCurrentOnRightAxis(on);
}

bool TChartTools::CurrentOnRightAxisForAll()
{
    return gRightAxis;
}

TChartTools::TChartTools(QCustomPlot *plot)
    : QObject(plot)
    , pPlot(plot)
    , bRightAxis(gRightAxis)
{
    Instances().append(this);
    // The overlay layer holds only the zoom box. Buffered on its own it
    // costs every paint a chart-sized transparent image to clear and blend;
    // drawn with the rest, only the Ctrl-drag of a zoom box replots it all.
    if (QCPLayer *overlay = plot->layer(QStringLiteral("overlay")))
        overlay->setMode(QCPLayer::lmLogical);
    plot->installEventFilter(this);
    plot->setMouseTracking(true); // the pointer shows where a cursor can be grabbed
    plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(plot, &QWidget::customContextMenuRequested, this, &TChartTools::ShowContextMenu);
    connect(plot->xAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this, [this]() {
        for (int c = 0; c < 2; ++c)
            if (pTag[c])
                pTag[c]->setVisible(iRow[c] >= 0 && HasData()
                                    && pPlot->xAxis->range().contains(ReadoutTime(iRow[c])));
    });
}

TChartTools::~TChartTools()
{
    // The plot is being destroyed (its items and layout are gone already): leave it alone.
    Instances().removeAll(this);
}

bool TChartTools::HasData() const
{
    return bPlotted && pPlot->graphCount() == 2;
}

void TChartTools::Plotted(const TDataPomiar *pomiar, const TWykresSeries &series)
{
    // The readouts read the plotted values themselves: shared with the
    // series, they cost no copy of the record's rows.
    Series = series;
    bPlotted = true;
    iCzas = quint32(pomiar->czas);
    // QCustomPlot paints a selected graph in its own blue; a selected trace
    // keeps its colour here and only grows thicker.
    for (int g = 0; g < 2; ++g) {
        QPen pen = pPlot->graph(g)->pen();
        pen.setWidthF(2.5);
        pPlot->graph(g)->selectionDecorator()->setPen(pen);
    }
    if (bRightAxis)
        ApplyAxisMode();
    UpdateCursors();
    UpdateReadout();
}

void TChartTools::Cleared()
{
    Series = TWykresSeries();
    bPlotted = false;
    UpdateCursors();
    UpdateReadout();
}

void TChartTools::SetCurrentOnRightAxis(bool on)
{
    if (on == bRightAxis)
        return;
    bRightAxis = on;
    ApplyAxisMode();
    pPlot->replot();
}

void TChartTools::ApplyAxisMode()
{
    QCPAxisRect *rect = pPlot->axisRect();
    QCPAxis *left = pPlot->yAxis;
    QCPAxis *right = pPlot->yAxis2;
    if (bRightAxis) {
        if (pPlot->graphCount() > 0)
            pPlot->graph(0)->setValueAxis(right);
        right->setVisible(true);
        right->setLabel(QStringLiteral("I [A]"));
        left->setLabel(QStringLiteral("U [V]"));
        // The axes take the colours of their traces (current red, voltage blue).
        right->setLabelColor(Qt::red);
        right->setTickLabelColor(Qt::red);
        left->setLabelColor(Qt::blue);
        left->setTickLabelColor(Qt::blue);
        rect->setRangeDragAxes({pPlot->xAxis}, {left, right});
        rect->setRangeZoomAxes({pPlot->xAxis}, {left, right});
        if (bPlotted) {
            // One zero line for both traces: the zeros at the same height.
            TWykresRange u, i;
            AlignedZeroRanges(Series.lowU, Series.highU, Series.lowI, Series.highI, &u, &i);
            left->setRange(u.lower, u.upper);
            right->setRange(i.lower, i.upper);
        }
    } else {
        // Back to what PlotPomiar and a new QCustomPlot set up.
        if (pPlot->graphCount() > 0)
            pPlot->graph(0)->setValueAxis(left);
        right->setVisible(false);
        right->setLabel(QString());
        left->setLabel(QStringLiteral("U/I"));
        right->setLabelColor(Qt::black);
        right->setTickLabelColor(Qt::black);
        left->setLabelColor(Qt::black);
        left->setTickLabelColor(Qt::black);
        rect->setRangeDragAxes(pPlot->xAxis, left);
        rect->setRangeZoomAxes(pPlot->xAxis, left);
        if (bPlotted)
            SetDefaultRange(left, Series.low, Series.high);
    }
}

void TChartTools::ShowAll()
{
    if (!HasData())
        return;
    pPlot->xAxis->setRange(-20, 40);
    ApplyAxisMode();
    pPlot->replot();
}

void TChartTools::PlaceCursor(int which, double ms)
{
    if (which != CursorA && which != CursorB)
        return;
    iRow[which] = ReadoutRow(ms);
    UpdateCursors();
    UpdateReadout();
    pPlot->replot(QCustomPlot::rpQueuedReplot);
}

void TChartTools::ClearCursors()
{
    iRow[CursorA] = iRow[CursorB] = -1;
    UpdateCursors();
    UpdateReadout();
    pPlot->replot(QCustomPlot::rpQueuedReplot);
}

int TChartTools::CursorRow(int which) const
{
    return (which == CursorA || which == CursorB) ? iRow[which] : -1;
}

QString TChartTools::ReadoutText() const
{
    return pReadout && pReadout->visible() ? pReadout->text() : QString();
}

void TChartTools::UpdateCursors()
{
    for (int c = 0; c < 2; ++c) {
        const bool shown = iRow[c] >= 0 && HasData();
        if (!shown && !pLine[c])
            continue;
        if (!pLine[c]) {
            // On the axes layer: above the traces even when ClearPlot and
            // PlotPomiar created the graphs anew after the cursors.
            pLine[c] = new QCPItemStraightLine(pPlot);
            pLine[c]->setLayer(QStringLiteral("axes"));
            pLine[c]->setSelectable(false);
            pLine[c]->setPen(QPen(kCursorColour[c], 1, Qt::DashLine));
            // From the top to the bottom of the axis rect whatever the value ranges.
            pLine[c]->point1->setTypeY(QCPItemPosition::ptAxisRectRatio);
            pLine[c]->point2->setTypeY(QCPItemPosition::ptAxisRectRatio);
            pTag[c] = new QCPItemText(pPlot);
            pTag[c]->setLayer(QStringLiteral("axes"));
            pTag[c]->setSelectable(false);
            pTag[c]->setText(QLatin1String(kCursorName[c]));
            pTag[c]->setColor(kCursorColour[c]);
            QFont bold = pTag[c]->font();
            bold.setBold(true);
            pTag[c]->setFont(bold);
            pTag[c]->setPadding(QMargins(3, 0, 3, 1));
            // Above the plot area, in its top margin: inside it the letter
            // would sit on the pulse's top.
            pTag[c]->setClipToAxisRect(false);
            pTag[c]->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            pTag[c]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        pLine[c]->setVisible(shown);
        // Not clipped, so hidden by hand when its time is out of view.
        pTag[c]->setVisible(shown && pPlot->xAxis->range().contains(ReadoutTime(iRow[c])));
        if (shown) {
            const double t = ReadoutTime(iRow[c]);
            pLine[c]->point1->setCoords(t, 0);
            pLine[c]->point2->setCoords(t, 1);
            pTag[c]->position->setCoords(t, 0);
        }
    }
}

void TChartTools::UpdateReadout()
{
    QCPLayoutGrid *layout = pPlot->plotLayout();
    const bool any = HasData() && (iRow[CursorA] >= 0 || iRow[CursorB] >= 0);
    if (!any) {
        // Taken out of the layout, so that the chart without cursors is laid
        // out exactly as before.
        if (pReadout && pReadout->layout()) {
            layout->take(pReadout);
            layout->simplify();
        }
        if (pReadout)
            pReadout->setVisible(false);
        return;
    }

    // Groups of fields: one per cursor, and the differences when both stand.
    const QChar point = pPlot->locale().decimalPoint();
    QList<QStringList> groups;
    for (int c = 0; c < 2; ++c) {
        if (iRow[c] < 0)
            continue;
        const TReadoutPoint p = ReadoutAt(Series, iRow[c]);
        groups << QStringList{QStringLiteral("%1  t=%2 ms").arg(QLatin1String(kCursorName[c]), ReadoutTimeText(p.t, point)),
                              QStringLiteral("I=") + ValueText(p.hasI, p.i, "A", point),
                              QStringLiteral("U=") + ValueText(p.hasU, p.u, "V", point),
                              QStringLiteral("U/I=") + OhmsText(p.hasOhms, p.ohms, point)};
    }
    if (iRow[CursorA] >= 0 && iRow[CursorB] >= 0) {
        const TReadoutSpan s = ReadoutBetween(Series, iRow[CursorA], iRow[CursorB]);
        groups << QStringList{QStringLiteral("Δt=%1 ms").arg(ReadoutTimeText(s.dt, point)),
                              QStringLiteral("1/Δt=") + ValueText(s.hasHz, s.hz, "Hz", point),
                              QStringLiteral("ΔI=") + ValueText(s.hasDI, s.dI, "A", point),
                              QStringLiteral("ΔU=") + ValueText(s.hasDU, s.dU, "V", point),
                              tr("średnie U/I=%1").arg(OhmsText(s.hasMean, s.meanOhms, point))};
    }

    if (!pReadout) {
        pReadout = new QCPTextElement(pPlot);
        QFont font = pPlot->font();
        font.setPointSize(8);
        pReadout->setFont(font);
        pReadout->setTextColor(Qt::black);
        pReadout->setTextFlags(Qt::AlignLeft | Qt::AlignVCenter);
        pReadout->setMargins(QMargins(kReadoutLeft, 2, 4, 0));
    }
    // Wrapped here rather than by the text element: its minimum width is the
    // width of its longest line, and a line wider than the chart would push
    // the axis rect out of the widget.
    const QFontMetrics metrics(pReadout->font());
    const int width = std::max(100, pPlot->width() - kReadoutLeft - 8);
    const QStringList lines
        = WrapReadout(groups, width, [&metrics](const QString &text) { return metrics.horizontalAdvance(text); });
    pReadout->setText(lines.join(QLatin1Char('\n')));
    pReadout->setVisible(true);
    if (!pReadout->layout()) {
        layout->insertRow(0);
        layout->addElement(0, 0, pReadout);
    }
}

double TChartTools::KeyAt(int x) const
{
    return pPlot->xAxis->pixelToCoord(x);
}

int TChartTools::CursorNear(const QPoint &pos) const
{
    if (!HasData())
        return -1;
    const QRect rect = pPlot->axisRect()->rect();
    if (pos.y() < rect.top() || pos.y() > rect.bottom())
        return -1;
    int nearest = -1;
    double best = kGrabPixels + 1;
    for (int c = 0; c < 2; ++c) {
        if (iRow[c] < 0)
            continue;
        const double d = std::fabs(pPlot->xAxis->coordToPixel(ReadoutTime(iRow[c])) - pos.x());
        if (d <= kGrabPixels && d < best) {
            best = d;
            nearest = c;
        }
    }
    return nearest;
}

bool TChartTools::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != pPlot)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        UpdateReadout(); // the plot replots itself after a resize
        break;
    case QEvent::LanguageChange:
        UpdateReadout();
        pPlot->replot(QCustomPlot::rpQueuedReplot);
        break;
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            break;
        bLastClickPlaced = false;
        bLeftDown = true;
        // Ctrl turns this one drag into a zoom box; QCustomPlot does the rest.
        bBoxZoom = e->modifiers().testFlag(Qt::ControlModifier);
        pPlot->setSelectionRectMode(bBoxZoom ? QCP::srmZoom : QCP::srmNone);
        if (bBoxZoom)
            break;
        const int grabbed = CursorNear(e->pos());
        if (grabbed >= 0) {
            // Kept from the chart, which would drag its ranges instead.
            iDragCursor = grabbed;
            return true;
        }
        bPressed = true;
        pressPos = e->pos();
        break;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (iDragCursor >= 0) {
            iRow[iDragCursor] = ReadoutRow(KeyAt(e->pos().x()));
            UpdateCursors();
            UpdateReadout();
            pPlot->replot(QCustomPlot::rpQueuedReplot);
            return true;
        }
        if (e->buttons() == Qt::NoButton) {
            if (CursorNear(e->pos()) >= 0)
                pPlot->setCursor(Qt::SizeHorCursor);
            else
                pPlot->unsetCursor();
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            break;
        bLeftDown = false;
        if (iDragCursor >= 0) {
            iDragCursor = -1;
            return true;
        }
        const bool click = bPressed && !bBoxZoom
            && (e->pos() - pressPos).manhattanLength() < QApplication::startDragDistance();
        bPressed = false;
        if (click && HasData() && pPlot->axisRect()->rect().contains(e->pos())) {
            const int which = e->modifiers().testFlag(Qt::ShiftModifier) ? CursorB : CursorA;
            iRowBeforeClick[0] = iRow[0];
            iRowBeforeClick[1] = iRow[1];
            bLastClickPlaced = true;
            PlaceCursor(which, KeyAt(e->pos().x()));
        }
        break; // QCustomPlot still sees the click: it selects a trace
    }
    case QEvent::MouseButtonDblClick: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            break;
        // The first click of the pair placed a cursor nobody asked for.
        if (bLastClickPlaced) {
            iRow[0] = iRowBeforeClick[0];
            iRow[1] = iRowBeforeClick[1];
            bLastClickPlaced = false;
            UpdateCursors();
            UpdateReadout();
        }
        bPressed = false;
        ShowAll();
        break;
    }
    default:
        break;
    }
    return false;
}

QMenu *TChartTools::CreateContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    QAction *remove = menu->addAction(tr("Usuń kursory"), this, &TChartTools::ClearCursors);
    remove->setEnabled(iRow[CursorA] >= 0 || iRow[CursorB] >= 0);
    menu->addAction(tr("Pokaż  cały"), this, &TChartTools::ShowAll)->setEnabled(HasData());
    menu->addSeparator();
    menu->addAction(tr("Zapisz wykres jako…"), this, &TChartTools::SaveImageAs);
    menu->addAction(tr("Kopiuj wykres"), this, &TChartTools::CopyImage);
    // Commands the chart's owner put on the chart (the report's "Drukuj…").
    if (!pPlot->actions().isEmpty()) {
        menu->addSeparator();
        menu->addActions(pPlot->actions());
    }
    return menu;
}

void TChartTools::ShowContextMenu(const QPoint &pos)
{
    // A right click in the middle of a drag or a zoom box leaves them be.
    if (bLeftDown || (QApplication::mouseButtons() & Qt::LeftButton))
        return;
    QMenu *menu = CreateContextMenu(pPlot);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(pPlot->mapToGlobal(pos));
}

QImage TChartTools::RenderImage(double scale) const
{
    const int w = pPlot->width();
    const int h = pPlot->height();
    QImage image(qRound(w * scale), qRound(h * scale), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QCPPainter painter;
    if (!painter.begin(&image))
        return QImage();
    // As QCustomPlot's own pixmap export: pens grow with the scale.
    if (scale > 1.0)
        painter.setMode(QCPPainter::pmNonCosmetic);
    painter.scale(scale, scale);
    pPlot->toPainter(&painter, w, h);
    RenderLegendLabels(pPlot, &painter);
    painter.end();
    return image;
}

QByteArray TChartTools::PdfBytes() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        const int w = pPlot->width();
        const int h = pPlot->height();
        QPdfWriter writer(&buffer);
        // Fonts are sized in points through the device's resolution: at the
        // widget's own the page's text has the proportions seen on screen
        // (the writer's default 1200 dpi would blow it up under the window
        // mapping below).
        writer.setResolution(pPlot->logicalDpiX());
        writer.setCreator(QStringLiteral("ZYM Reader"));
        writer.setTitle(pPlot->window()->windowTitle());
        QPageLayout page;
        page.setMode(QPageLayout::FullPageMode);
        page.setOrientation(QPageLayout::Portrait);
        page.setMargins(QMarginsF(0, 0, 0, 0));
        page.setPageSize(QPageSize(QSize(w, h), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageLayout(page);
        QCPPainter painter;
        if (!painter.begin(&writer))
            return QByteArray();
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        painter.setWindow(0, 0, w, h);
        pPlot->toPainter(&painter, w, h);
        RenderLegendLabels(pPlot, &painter);
        painter.end();
    }
    return buffer.data();
}

int TChartTools::SaveImage(const QString &fileName, QString *errorText) const
{
    const QString suffix = FileSuffix(fileName).toLower();
    QByteArray bytes;
    if (suffix == QLatin1String("png")) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!RenderImage(2.0).save(&buffer, "PNG"))
            bytes.clear();
    } else if (suffix == QLatin1String("pdf")) {
        bytes = PdfBytes();
    } else {
        return SaveImageUnknownFormat;
    }
    if (bytes.isEmpty()) {
        if (errorText)
            *errorText = tr("Nie udało się utworzyć obrazu wykresu.");
        return ReplaceFileWriteFailed;
    }
    return ReplaceWholeFile(fileName, bytes, false, errorText);
}

void TChartTools::SaveImageAs()
{
    QString proposal = gImageFolder;
    proposal += bPlotted ? DefaultFileName(iCzas) : tr("Wykres");
    proposal += QLatin1String(".png");
    const QString png = tr("Obraz PNG (*.png)");
    const QString name = AskSaveFile(pPlot->window(), tr("Zapisz wykres jako"), proposal,
                                     {{png, QStringLiteral("png")}, {tr("Dokument PDF (*.pdf)"), QStringLiteral("pdf")}})
                             .path;
    if (name.isEmpty())
        return;
    gImageFolder = FolderOf(name);

    QString reason;
    const int result = SaveImage(name, &reason);
    if (result == SaveImageUnknownFormat)
        ShowProblem(pPlot->window(), tr("Uwaga!"),
                    tr("Nieznany format pliku:\n%1\n\n"
                       "Wykres można zapisać jako obraz PNG (*.png) lub dokument PDF (*.pdf).")
                        .arg(QDir::toNativeSeparators(name)));
    else if (result != ReplaceFileOk)
        ShowCannotSave(pPlot->window(), name, reason);
}

void TChartTools::CopyImage() const
{
    QApplication::clipboard()->setImage(RenderImage(2.0));
}
