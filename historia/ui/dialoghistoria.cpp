// The history window: it only shows what the data side computed
// (historia.h, engformat.h) and passes a double-click on to the main window.

#include "historia/ui/dialoghistoria.h"

#include "common/ui/messages.h"
#include "historia/obiektreport.h"
#include "historia/ui/historiachart.h"
#include "measurement/datafile.h"
#include "measurement/engformat.h"
#include "measurement/tdatapomiar.h"
#include "report/ui/reports.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include "measurement/ui/savedialog.h"
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// ColRoznica is the window's own: the CSV and the report keep the columns
// of HistoriaHeaders.
enum Column { ColCzas, ColR, ColMetoda, ColOdniesienie, ColRoznica, ColPoprzedni, ColKomentarz, ColumnCount };

const char kScrollBarStyle[] = "QScrollBar:vertical { width: 35px; }";

constexpr int kPickPixels = 8; // how close the mouse must come to a point

/// The history's chart, painted straight onto the window. QCustomPlot's
/// replot() draws into paint buffers of the chart's size and its paint
/// event copies them to the window's backing store, so every open history
/// held its chart's pixels twice (1.4 MB at 1032 x 340). Here replot() only
/// lays the chart out (axes, ticks, margins: what picking a point and the
/// report's copy need) and asks for a paint; the paint event draws the
/// layers onto the widget. The buffer replot() still sets up is one pixel.
///
/// A resize asks for a replot that waits for the rest of the events of its
/// pass, instead of one at once. Opening the window resizes it, lays it out
/// and makes its first row current: one replot.
class THistoriaPlot : public QCustomPlot
{
public:
    explicit THistoriaPlot(QWidget *parent)
        : QCustomPlot(parent)
    {
        // While replot() draws into its buffer nothing is drawn: the layers
        // are out of sight until it is done (or until a repaint it asks
        // for at once comes first).
        connect(this, &QCustomPlot::beforeReplot, this, [this]() { HideLayers(); });
        connect(this, &QCustomPlot::afterReplot, this, [this]() {
            ShowLayers();
            bReplotted = true;
        });
    }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        setViewport(rect());
        // Buffers are the viewport's size times this ratio: one pixel.
        setBufferDevicePixelRatio(1.0 / std::max(1, std::min(width(), height())));
        replot(rpQueuedReplot);
    }

    void paintEvent(QPaintEvent *) override
    {
        ShowLayers();
        QCPPainter painter(this);
        if (!painter.isActive())
            return;
        if (mBackgroundBrush.style() != Qt::NoBrush)
            painter.fillRect(mViewport, mBackgroundBrush);
        // The window's first paint comes before the replot that opening it
        // asked for, which paints again: the background is all it needs.
        if (!bReplotted && mReplotQueued)
            return;
        // Tick labels cached as pixmaps would be made at the buffer's ratio
        // (a pixel); drawn as text they cost little.
        painter.setMode(QCPPainter::pmNoCaching);
        draw(&painter);
    }

private:
    void HideLayers()
    {
        hidden.clear();
        for (int i = 0; i < layerCount(); ++i) {
            QCPLayer *l = layer(i);
            if (l->visible()) {
                l->setVisible(false);
                hidden.append(l);
            }
        }
    }
    void ShowLayers()
    {
        for (QCPLayer *l : qAsConst(hidden))
            l->setVisible(true);
        hidden.clear();
    }

    QVector<QCPLayer *> hidden; // the layers a replot in progress keeps out of sight
    bool bReplotted = false;
};

/// `text` broken at the blank nearest its middle.
QString TwoLines(QString text)
{
    int best = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(' ') && (best < 0 || qAbs(2 * i - text.size()) < qAbs(2 * best - text.size())))
            best = i;
    }
    if (best >= 0)
        text[best] = QLatin1Char('\n');
    return text;
}

} // namespace

/// The rows of a history as the table shows them; texts are made when asked for.
class THistoriaModel : public QAbstractTableModel
{
public:
    THistoriaModel(const THistoriaRows *rows, QObject *parent)
        : QAbstractTableModel(parent)
        , pRows(rows)
    {
    }

    void SetReference(int reference)
    {
        iReference = reference;
        if (!pRows->isEmpty())
            emit dataChanged(index(0, 0), index(pRows->size() - 1, ColumnCount - 1));
    }
    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); }
    void Retranslate()
    {
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        if (!pRows->isEmpty())
            emit dataChanged(index(0, 0), index(pRows->size() - 1, ColumnCount - 1));
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : pRows->size();
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount + (meters.isEmpty() ? 0 : 1) + extraHeaders.size();
    }
    void SetExtra(const QStringList &headers, const QVector<QStringList> &cells, const QVector<QColor> &backgrounds)
    {
        // Inserted, not reset: the header keeps the meter column where it was moved.
        const int first = ExtraFirst();
        const int before = extraHeaders.size();
        if (before > 0 && headers.size() != before) {
            beginRemoveColumns(QModelIndex(), first, first + before - 1);
            extraHeaders.clear();
            endRemoveColumns();
        }
        if (extraHeaders.isEmpty() && !headers.isEmpty()) {
            beginInsertColumns(QModelIndex(), first, first + headers.size() - 1);
            extraHeaders = headers;
            endInsertColumns();
        }
        extraHeaders = headers;
        extraCells = cells;
        extraBackgrounds = backgrounds;
        if (!pRows->isEmpty())
            emit dataChanged(index(0, 0), index(pRows->size() - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }
    // The added columns come after every other one.
    int ExtraFirst() const { return ColumnCount + (meters.isEmpty() ? 0 : 1); }
    /// Rows of several meters get a column naming each one's meter, after the comment.
    void SetMeters(const QStringList &rowMeters)
    {
        beginResetModel();
        meters = rowMeters;
        endResetModel();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (section >= ExtraFirst())
            return extraHeaders.value(section - ExtraFirst());
        if (section == ColumnCount)
            return DialogHistoria::tr("Miernik");
        const QString text = section == ColRoznica ? DialogHistoria::tr("Różnica wzgl. odniesienia")
                                                   : HistoriaHeaders(false).value(section < ColRoznica ? section : section - 1);
        // The three changes side by side: on two lines their headers leave
        // room for the comment at 1024 px.
        if (section == ColOdniesienie || section == ColRoznica || section == ColPoprzedni)
            return TwoLines(text);
        return text;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= pRows->size())
            return QVariant();
        const THistoriaRow row = pRows->Row(index.row(), false);
        if (role == Qt::BackgroundRole && extraBackgrounds.value(index.row()).isValid())
            return extraBackgrounds.value(index.row());
        if (role == Qt::DisplayRole && index.column() >= ExtraFirst())
            return extraCells.value(index.row()).value(index.column() - ExtraFirst());
        switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
            case ColCzas:
                return HistoriaCzasText(row.czas);
            case ColR:
                return HistoriaRText(row);
            case ColMetoda:
                return HistoriaMetodaText(row);
            case ColOdniesienie:
                return PercentText(pRows->Zmiana(iReference, index.row()).odniesienie);
            case ColRoznica:
                if (iReference < 0 || iReference >= pRows->size())
                    return QString();
                return HistoriaRoznicaText(row, pRows->Row(iReference, false));
            case ColPoprzedni:
                return PercentText(pRows->Zmiana(iReference, index.row()).poprzedni);
            case ColKomentarz:
                // One line in the table; the tool tip has all of it.
                return pRows->Komentarz(index.row()).replace(QLatin1Char('\n'), QLatin1Char(' '));
            case ColumnCount:
                return meters.value(index.row());
            }
            break;
        case Qt::ToolTipRole:
            if (index.column() == ColKomentarz) {
                const QString komentarz = pRows->Komentarz(index.row());
                if (!komentarz.isEmpty())
                    return PlainToolTip(komentarz);
            }
            break;
        case Qt::TextAlignmentRole:
            if (index.column() == ColR || index.column() == ColOdniesienie || index.column() == ColRoznica
                || index.column() == ColPoprzedni)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            break;
        case Qt::FontRole:
            if (index.row() == iReference) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            break;
        case Qt::ForegroundRole:
            if (!HasValue(row) && index.column() == ColR)
                return QColor(Qt::darkRed);
            break;
        }
        return QVariant();
    }

private:
    const THistoriaRows *pRows;
    QStringList meters; // serial of each row's meter; empty: one meter, no column
    QStringList extraHeaders;          // columns after all others (a verdict's)
    QVector<QStringList> extraCells;   // their texts per row
    QVector<QColor> extraBackgrounds;  // a background per row
    int iReference = -1;
};

DialogHistoria::DialogHistoria(qint64 objectId, const QString &objectName, const QVector<THistoriaRow> &rows_,
                               const QString &saveFolder, QWidget *parent)
    : QDialog(parent)
    , iObjectId(objectId)
    , qsObiekt(objectName)
    , qsSaveFolder(saveFolder)
    , rows(rows_)
    , iReference(FirstValueIndex(rows_))
    , iScaleExponent(EngUnit)
{
    setObjectName(QStringLiteral("DialogHistoria"));
    setWindowFlags(Qt::Window);
    setModal(false);
    // Within the screen: at 1024 x 768 the window's right edge stays in sight.
    QSize size(1040, 660);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);

    plotHistoria = new THistoriaPlot(this);
    plotHistoria->setObjectName(QStringLiteral("plotHistoria"));
    plotHistoria->setMinimumHeight(150);
    connect(plotHistoria, &QCustomPlot::afterReplot, this, [this]() { bReplotPending = false; });
    plotHistoria->installEventFilter(this);

    tV_Historia = new QTableView(this);
    tV_Historia->setObjectName(QStringLiteral("tV_Historia"));
    model = new THistoriaModel(&rows, tV_Historia);
    model->SetReference(iReference);
    tV_Historia->setModel(model);
    tV_Historia->setSelectionBehavior(QAbstractItemView::SelectRows);
    tV_Historia->setSelectionMode(QAbstractItemView::SingleSelection);
    tV_Historia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tV_Historia->verticalScrollBar()->setStyleSheet(QLatin1String(kScrollBarStyle));
    tV_Historia->verticalHeader()->hide();
    tV_Historia->horizontalHeader()->setStretchLastSection(true);
    tV_Historia->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(plotHistoria);
    splitter->addWidget(tV_Historia);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({340, 300});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    // The commands of the context menu, in sight.
    pToolBar = new QToolBar(this);
    pToolBar->setObjectName(QStringLiteral("tB_Historia"));
    pToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    actionReference = pToolBar->addAction(QString(), this, [this]() {
        SetReference(tV_Historia->currentIndex().isValid() ? tV_Historia->currentIndex().row() : -1);
    });
    actionReference->setObjectName(QStringLiteral("actionReference"));
    pToolBar->addSeparator();
    actionCsv = pToolBar->addAction(QString(), this, &DialogHistoria::SaveCsv);
    actionReport = pToolBar->addAction(QString(), this, &DialogHistoria::SaveReport);
    actionPrint = pToolBar->addAction(QString(), this, &DialogHistoria::PrintReport);
    layout->addWidget(pToolBar);
    layout->addWidget(splitter);

    connect(tV_Historia->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                ShowSelected(current.isValid() ? current.row() : -1);
                UpdateReferenceAction();
            });
    connect(tV_Historia, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!index.isValid() || index.row() >= rows.size())
            return;
        // Rounded, an id of 1.6 would open (and take a comment into) row 2.
        if (!rows.IdExact(index.row())) {
            QMessageBox::warning(this, tr("Ostrzeżenie!"),
                                 tr("Identyfikator tego pomiaru w bazie danych nie jest liczbą całkowitą albo ma go "
                                    "kilka wierszy. Nie można go otworzyć ani zapisać jego komentarza."));
            return;
        }
        emit PomiarActivated(rows.Id(index.row()), qsObiekt);
    });
    connect(tV_Historia, &QTableView::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = tV_Historia->indexAt(pos);
        if (index.isValid())
            SelectRow(index.row());
        ShowMenu(index.isValid() ? index.row() : -1, tV_Historia->viewport()->mapToGlobal(pos));
    });

    FillPlot(rows_);
    // The first row is current before the window shows, as the table's
    // focus would make it once shown: its ring is drawn with the rest, not
    // by a second replot.
    if (!rows.isEmpty())
        tV_Historia->selectionModel()->setCurrentIndex(model->index(0, 0), QItemSelectionModel::NoUpdate);
    plotHistoria->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(plotHistoria, &QCustomPlot::mouseMove, this, &DialogHistoria::PlotMouseMove);
    connect(plotHistoria, &QCustomPlot::mousePress, this, &DialogHistoria::PlotMousePress);
    connect(plotHistoria, &QCustomPlot::mouseRelease, this, &DialogHistoria::PlotMouseRelease);
    connect(plotHistoria, &QCustomPlot::customContextMenuRequested, this, [this](const QPoint &pos) {
        int row = RowAt(pos);
        if (row < 0)
            row = tV_Historia->currentIndex().isValid() ? tV_Historia->currentIndex().row() : -1;
        ShowMenu(row, plotHistoria->mapToGlobal(pos));
    });

    RetranslateTexts();
}

DialogHistoria::~DialogHistoria()
{
    // QDialog's own destructor hides the table, whose header asks the model
    // for its rows once more: by then `rows` is gone, so the table lets go
    // of the model first.
    tV_Historia->setModel(nullptr);
}

void DialogHistoria::RetranslateTexts()
{
    setWindowTitle(tr("Historia: ") + qsObiekt);
    actionReference->setText(tr("Ustaw jako odniesienie"));
    actionCsv->setText(tr("Zapisz historię jako CSV…"));
    actionReport->setText(TReportTexts::SaveCommand());
    actionPrint->setText(TReportTexts::PrintCommand());
    UpdateReferenceAction();
    model->Retranslate();

    // Widths from the texts themselves (headers differ between languages,
    // the reference row is bold); measuring every row would cost too much
    // for a long history.
    QFont bold = tV_Historia->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QString widest[ColKomentarz] = {QStringLiteral("0000-00-00 00:00:00"), QStringLiteral("-999.9 mΩ"),
                                          QStringLiteral("3P"), QStringLiteral("+9999.9%"), QStringLiteral("+999.99 mΩ"),
                                          QStringLiteral("+9999.9%")};
    for (int c = 0; c < ColKomentarz; ++c) {
        int text = fm.horizontalAdvance(widest[c]);
        for (const QString &line : model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().split(QLatin1Char('\n')))
            text = std::max(text, fm.horizontalAdvance(line));
        if (c == ColR)
            text = std::max(text, fm.horizontalAdvance(QObject::tr("Poza zakresem")));
        tV_Historia->setColumnWidth(c, text + 24);
    }
}

void DialogHistoria::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        RetranslateTexts();
    QDialog::changeEvent(event);
}

// ---------------------------------------------------------------- chart

void DialogHistoria::FillPlot(const QVector<THistoriaRow> &given)
{
    const THistoriaChart chart = PlotHistoria(plotHistoria, given, iReference);
    graphR = chart.graphR;
    graphPoza = chart.graphPoza;
    graphSelected = chart.graphSelected;
    lineReference = chart.lineReference;
    iScaleExponent = chart.scaleExponent;
    QCustomPlot *p = plotHistoria;
    p->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    p->setNoAntialiasingOnDrag(true); // keeps a drag over ten thousand points smooth
    p->axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    p->axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
    Replot();
}

void DialogHistoria::ShowReference()
{
    const bool shown = iReference >= 0 && iReference < rows.size();
    ShowHistoriaReference(lineReference, iScaleExponent,
                          shown ? rows.R(iReference) : std::numeric_limits<double>::quiet_NaN());
    Replot();
}

void DialogHistoria::Replot()
{
    // Queued, so that the changes of one pass of the event loop (the window
    // shown and laid out, its first row made current) make one replot; a
    // hidden chart is drawn when it shows, drawing it before would be lost.
    if (plotHistoria->isVisible())
        plotHistoria->replot(QCustomPlot::rpQueuedReplot);
    else
        bReplotPending = true;
}

bool DialogHistoria::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == plotHistoria && event->type() == QEvent::Show && bReplotPending)
        plotHistoria->replot(QCustomPlot::rpQueuedReplot);
    return QDialog::eventFilter(watched, event);
}

void DialogHistoria::ShowSelected(int row)
{
    graphSelected->data()->clear();
    if (row >= 0 && row < rows.size()) {
        const double key = double(rows.Czas(row));
        if (rows.HasValue(row)) {
            graphSelected->setValueAxis(plotHistoria->yAxis);
            graphSelected->addData(key, rows.R(row) * std::pow(10.0, -iScaleExponent));
        } else {
            graphSelected->setValueAxis(plotHistoria->yAxis2);
            graphSelected->addData(key, kHistoriaTopEdge);
        }
    }
    Replot();
}

int DialogHistoria::RowAt(const QPoint &pos) const
{
    int best = -1;
    double bestDistance = kPickPixels * kPickPixels + 1;
    // A graph's points are its rows in table order: those with a value on
    // the value graph, the others on the top edge.
    auto consider = [&](const QCPGraph *graph, bool withValue) {
        int row = 0;
        for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it, ++row) {
            while (row < rows.size() && rows.HasValue(row) != withValue)
                ++row;
            const double dx = graph->keyAxis()->coordToPixel(it->key) - pos.x();
            const double dy = graph->valueAxis()->coordToPixel(it->value) - pos.y();
            const double d = dx * dx + dy * dy;
            if (d < bestDistance) {
                bestDistance = d;
                best = row < rows.size() ? row : -1;
            }
        }
    };
    consider(graphR, true);
    consider(graphPoza, false);
    return best;
}

void DialogHistoria::SelectRow(int row)
{
    if (row < 0 || row >= rows.size())
        return;
    tV_Historia->selectRow(row);
    tV_Historia->scrollTo(model->index(row, 0));
}

void DialogHistoria::PlotMouseMove(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        return; // dragging
    const int row = RowAt(event->pos());
    if (row < 0) {
        QToolTip::hideText();
        return;
    }
    const THistoriaRow r = rows.Row(row);
    QString text = HistoriaCzasText(r.czas) + QLatin1Char('\n') + HistoriaRText(r);
    if (!r.komentarz.isEmpty())
        text += QLatin1Char('\n') + r.komentarz;
    QToolTip::showText(event->globalPos(), text, plotHistoria);
}

void DialogHistoria::PlotMousePress(QMouseEvent *event)
{
    pressPos = event->pos();
}

void DialogHistoria::PlotMouseRelease(QMouseEvent *event)
{
    // A drag that ends on a point is not a click on it.
    if (event->button() != Qt::LeftButton || (event->pos() - pressPos).manhattanLength() > 3)
        return;
    SelectRow(RowAt(event->pos()));
}

// ---------------------------------------------------------------- commands

void DialogHistoria::ShowMenu(int row, const QPoint &globalPos)
{
    QMenu menu(this);
    QAction *reference = menu.addAction(tr("Ustaw jako odniesienie"));
    reference->setEnabled(row >= 0 && row < rows.size() && rows.HasValue(row) && row != iReference);
    menu.addSeparator();
    QAction *csv = menu.addAction(tr("Zapisz historię jako CSV…"));
    QAction *report = menu.addAction(TReportTexts::SaveCommand());
    QAction *print = menu.addAction(TReportTexts::PrintCommand());
    QAction *chosen = menu.exec(globalPos);
    if (chosen == reference)
        SetReference(row);
    else if (chosen == csv)
        SaveCsv();
    else if (chosen == report)
        SaveReport();
    else if (chosen == print)
        PrintReport();
}

void DialogHistoria::SetMeter(const QString &serial, const QString &hw, const QString &firmware)
{
    qsSerial = serial;
    qsHw = hw;
    qsFirmware = firmware;
}

void DialogHistoria::SetRowMeters(const QStringList &rowMeters)
{
    model->SetMeters(rowMeters);
    QStringList serials;
    for (const QString &serial : rowMeters) {
        if (!serial.isEmpty() && !serials.contains(serial))
            serials << serial;
    }
    qsSerial = serials.join(QStringLiteral(", "));
    qsHw.clear();
    qsFirmware.clear();
    // Seen before the comment, which keeps the rest of the width; the
    // model's columns (and the CSV's) stay in their order.
    if (!rowMeters.isEmpty()) {
        tV_Historia->horizontalHeader()->moveSection(ColumnCount, ColKomentarz);
        tV_Historia->resizeColumnToContents(ColumnCount);
        // The window grows for the column, so that it is seen with a part
        // of the comment (and the wide scroll bar) without scrolling.
        int needed = 240 + tV_Historia->verticalScrollBar()->sizeHint().width() + 2 * tV_Historia->frameWidth()
            + layout()->contentsMargins().left() + layout()->contentsMargins().right();
        for (int c = 0; c <= ColumnCount; ++c) {
            if (c != ColKomentarz)
                needed += tV_Historia->columnWidth(c);
        }
        // Never past the screen's edge: at 1024 x 768 the comment scrolls instead.
        if (const QScreen *display = screen())
            needed = qMin(needed, display->availableGeometry().width() - (frameGeometry().width() - width()));
        resize(qMax(width(), needed), height());
    }
}

TObiektReport DialogHistoria::ReportData() const
{
    TObiektReport d = ObiektReportData(qsObiekt, rows.Rows(), iReference);
    // The report's table is the window's: a verdict's columns too.
    AddObiektReportColumns(&d, extraHeaders, extraCells);
    d.serial = qsSerial;
    d.hw = qsHw;
    d.firmware = qsFirmware;
    return d;
}

void DialogHistoria::SaveReport()
{
    SaveObiektReportAs(this, ReportData(), plotHistoria, &qsSaveFolder);
}

void DialogHistoria::PrintReport()
{
    PreviewObiektReport(ReportData(), plotHistoria, this);
}

void DialogHistoria::SetReference(int row)
{
    if (row < 0 || row >= rows.size() || !rows.HasValue(row) || row == iReference)
        return;
    iReference = row;
    model->SetReference(row);
    ShowReference();
    UpdateReferenceAction();
    emit ReferenceChosen(rows.Id(row), rows.Czas(row));
}

void DialogHistoria::UpdateReferenceAction()
{
    const int row = tV_Historia->currentIndex().isValid() ? tV_Historia->currentIndex().row() : -1;
    actionReference->setEnabled(row >= 0 && row < rows.size() && rows.HasValue(row) && row != iReference);
}

void DialogHistoria::UpdateKomentarz(qint64 pomiarId, const QString &komentarz)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (rows.Id(i) == pomiarId) {
            rows.SetKomentarz(i, komentarz);
            model->RowChanged(i);
        }
    }
}

void DialogHistoria::SaveCsv()
{
    const QString name = FileNamePart(qsObiekt);
    const QString proposal = qsSaveFolder + tr("Historia_") + name + QStringLiteral(".csv");
    const QString fileName =
        AskSaveFile(this, tr("Zapisz historię jako CSV…"), proposal, {{tr("Plik CSV (*.csv)"), QStringLiteral("csv")}}).path;
    if (fileName.isEmpty())
        return;
    qsSaveFolder = FolderOf(fileName);
    QString reason;
    if (SaveHistoriaCsv(fileName, rows.Rows(), iReference, &reason, extraCsvHeaders, extraCsvCells) != ExportOk)
        ShowCannotSave(this, fileName, reason);
}

// ---------------------------------------------------------------- additions of other windows

void DialogHistoria::SetExtraColumns(const QStringList &headers, const QVector<QStringList> &cells,
                                     const QVector<QColor> &backgrounds, const QStringList &csvHeaders,
                                     const QVector<QStringList> &csvCells)
{
    extraHeaders = headers;
    extraCells = cells;
    extraCsvHeaders = csvHeaders.isEmpty() ? headers : csvHeaders;
    extraCsvCells = csvCells.isEmpty() ? cells : csvCells;
    const int first = model->columnCount();
    model->SetExtra(headers, cells, backgrounds);
    // Seen before the comment, which keeps the rest of the width.
    QHeaderView *header = tV_Historia->horizontalHeader();
    for (int c = first; c < model->columnCount(); ++c) {
        header->moveSection(header->visualIndex(c), header->visualIndex(ColKomentarz));
        tV_Historia->resizeColumnToContents(c);
    }
}

void DialogHistoria::SetLimitLines(const QVector<double> &ohms)
{
    for (QCPItemStraightLine *line : limitLines)
        plotHistoria->removeItem(line);
    limitLines.clear();
    ShowHistoriaLimits(plotHistoria, iScaleExponent, ohms, &limitLines);
    plotHistoria->replot(QCustomPlot::rpQueuedReplot);
}
