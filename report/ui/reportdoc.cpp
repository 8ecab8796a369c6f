#include "report/ui/reportdoc.h"

#include <qcustomplot.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <numeric>

#ifndef ZYM_VERSION_TEXT
#define ZYM_VERSION_TEXT ""
#endif

struct TReportDoc::TElement
{
    enum Kind { Title, Heading, Fields, Paragraph, Chart, Table, PageBreak } kind;
    QString text;
    QString text2;
    QVector<TReportField> fields;
    QCustomPlot *plot = nullptr;
    double heightMm = 0;
    double minHeightMm = 0;
    QStringList header;
    QVector<QStringList> rows;
};

namespace {

enum FontRole { FontTitle, FontHeading, FontBody, FontKey, FontTable, FontTableHeader, FontFooter, FontCount };

// One thing to paint, placed in device units. The layout makes a list of
// these per page, so painting needs no decisions and the page count is
// known before the first page is painted.
struct TOp
{
    enum Kind { Text, Rule, Fill, Chart } kind;
    QRectF rect;
    QString text;
    int font = FontBody;
    int flags = Qt::AlignLeft | Qt::AlignTop;
    QColor color = Qt::black;
    QCustomPlot *plot = nullptr;
};
using TPage = QVector<TOp>;

const QColor kGrey(90, 90, 90);
const QColor kRuleGrey(170, 170, 170);
const QColor kHeaderFill(225, 230, 238);
const QColor kStripeFill(244, 246, 249);

class TLayout
{
public:
    TLayout(QPaintDevice *device, const std::function<bool(int, int)> &progress, int total)
        : dev(device), fnProgress(progress), iTotal(total)
    {
        mm = dev->logicalDpiY() / 25.4;
        width = dev->width();
        height = dev->height();
        left = 18 * mm;
        right = width - 18 * mm;
        top = 15 * mm;
        bottom = height - 20 * mm; // the footer lives below
        const QString family = QGuiApplication::font().family();
        const struct { double pt; bool bold; } look[FontCount] = {
            {16, true}, {11.5, true}, {10, false}, {10, true}, {8.5, false}, {8.5, true}, {8, false}};
        for (int i = 0; i < FontCount; ++i) {
            fonts[i] = QFont(family);
            fonts[i].setPointSizeF(look[i].pt);
            fonts[i].setBold(look[i].bold);
        }
    }

    /// False when the progress callback stopped the layout.
    bool stopped = false;

    QVector<TPage> Run(const QVector<TReportDoc::TElement *> &elements)
    {
        pages.clear();
        stopped = false;
        NewPage();
        for (int i = 0; i < elements.size(); ++i) {
            const TReportDoc::TElement &e = *elements.at(i);
            switch (e.kind) {
            case TReportDoc::TElement::Title: LayTitle(e); break;
            case TReportDoc::TElement::Heading:
                LayHeading(e, i + 1 < elements.size() ? elements.at(i + 1) : nullptr);
                break;
            case TReportDoc::TElement::Fields: LayFields(e); break;
            case TReportDoc::TElement::Paragraph: LayParagraph(e); break;
            case TReportDoc::TElement::Chart: LayChart(e); break;
            case TReportDoc::TElement::Table: LayTable(e); break;
            case TReportDoc::TElement::PageBreak:
                if (!PageEmpty())
                    NewPage();
                break;
            }
        }
        return pages;
    }

    // The footer under every page, once the number of pages is known.
    TPage Footer(int page, int pageCount, const QString &note) const
    {
        const double y = bottom + 6 * mm;
        const double h = LineHeight(FontFooter);
        TPage ops;
        ops.append({TOp::Rule, QRectF(left, y, right - left, 0.2 * mm), QString(), FontFooter, 0, kRuleGrey, nullptr});
        const QString program = QStringLiteral("ZYM Reader ") + QStringLiteral(ZYM_VERSION_TEXT);
        ops.append({TOp::Text, QRectF(left, y + 1.5 * mm, right - left, h), program.trimmed(), FontFooter,
                    Qt::AlignLeft | Qt::AlignTop, kGrey, nullptr});
        ops.append({TOp::Text, QRectF(left, y + 1.5 * mm, right - left, h), TReportTexts::PageOf(page, pageCount),
                    FontFooter, Qt::AlignRight | Qt::AlignTop, kGrey, nullptr});
        if (!note.isEmpty())
            ops.append({TOp::Text, QRectF(left, y + 1.5 * mm, right - left, h), note, FontFooter,
                        Qt::AlignHCenter | Qt::AlignTop, kGrey, nullptr});
        return ops;
    }

    QFont fonts[FontCount];

private:
    double LineHeight(int font) const { return QFontMetricsF(fonts[font], dev).lineSpacing(); }
    double TextWidth(const QString &text, int font) const
    {
        return QFontMetricsF(fonts[font], dev).horizontalAdvance(text);
    }

    // Lines of `text` as they fit into `lineWidth`; a word longer than the
    // line is broken rather than cut.
    QStringList Wrap(const QString &text, int font, double lineWidth) const
    {
        QStringList lines;
        QString plain = text;
        plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString &paragraph : plain.split(QLatin1Char('\n'))) {
            if (paragraph.trimmed().isEmpty()) {
                lines << QString();
                continue;
            }
            QTextLayout layout(paragraph, fonts[font], dev);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(qMax(1.0, lineWidth));
                QString piece = paragraph.mid(line.textStart(), line.textLength());
                while (!piece.isEmpty() && piece.back().isSpace())
                    piece.chop(1);
                lines << piece;
            }
            layout.endLayout();
        }
        return lines;
    }

    void NewPage()
    {
        pages.append(TPage());
        y = top;
    }
    bool PageEmpty() const { return pages.last().isEmpty(); }
    // Starts a new page unless `h` fits below; something taller than a page
    // goes on a page of its own.
    void Ensure(double h)
    {
        if (y + h > bottom + 0.01 && !PageEmpty())
            NewPage();
    }
    void Text(double x, double w, const QString &text, int font, const QColor &color = Qt::black,
              int flags = Qt::AlignLeft | Qt::AlignTop)
    {
        pages.last().append({TOp::Text, QRectF(x, y, w, LineHeight(font)), text, font, flags, color, nullptr});
    }
    void Rule(double x, double w, double thickness, const QColor &color)
    {
        pages.last().append({TOp::Rule, QRectF(x, y, w, thickness), QString(), FontBody, 0, color, nullptr});
    }
    void Fill(const QRectF &r, const QColor &color)
    {
        pages.last().append({TOp::Fill, r, QString(), FontBody, 0, color, nullptr});
    }

    void LayTitle(const TReportDoc::TElement &e)
    {
        const QStringList title = Wrap(e.text, FontTitle, right - left);
        Ensure(title.size() * LineHeight(FontTitle) + LineHeight(FontBody) + 4 * mm);
        for (const QString &line : title) {
            Text(left, right - left, line, FontTitle);
            y += LineHeight(FontTitle);
        }
        y += 1 * mm;
        if (!e.text2.isEmpty()) {
            Text(left, right - left, e.text2, FontBody, kGrey);
            y += LineHeight(FontBody);
        }
        y += 1.5 * mm;
        Rule(left, right - left, 0.35 * mm, Qt::black);
        y += 5 * mm;
    }

    void LayHeading(const TReportDoc::TElement &e, const TReportDoc::TElement *next)
    {
        const double h = LineHeight(FontHeading) + 1.5 * mm;
        // A heading stays with the start of what it names.
        double keep = 2 * LineHeight(FontBody);
        if (next && next->kind == TReportDoc::TElement::Chart)
            keep = qMin(next->minHeightMm * mm, ChartHeight(*next)) + LegendHeight(*next);
        else if (next && next->kind == TReportDoc::TElement::Table)
            keep = 2 * (LineHeight(FontTableHeader) + 1.6 * mm);
        Ensure(h + keep);
        Text(left, right - left, e.text, FontHeading);
        y += h;
    }

    void LayFields(const TReportDoc::TElement &e)
    {
        double keyWidth = 0;
        for (const TReportField &f : e.fields)
            keyWidth = qMax(keyWidth, TextWidth(f.first + QLatin1Char(':'), FontKey));
        keyWidth = qMin(keyWidth + 4 * mm, 0.45 * (right - left));
        const double line = LineHeight(FontBody);
        for (const TReportField &f : e.fields) {
            const QStringList key = Wrap(f.first + QLatin1Char(':'), FontKey, keyWidth - 2 * mm);
            const QStringList value = Wrap(f.second, FontBody, right - left - keyWidth);
            const int lines = qMax(key.size(), value.size());
            const double h = lines * line + 0.8 * mm;
            // A field that fits a page stays together; a taller one (a name
            // of thousands of characters) goes on line by line over as many
            // pages as it needs, rather than over the footer and off the sheet.
            Ensure(qMin(h, bottom - top));
            for (int i = 0; i < lines; ++i) {
                if (y + line > bottom + 0.01 && !PageEmpty())
                    NewPage();
                if (i < key.size())
                    Text(left, keyWidth, key.at(i), FontKey);
                if (i < value.size())
                    Text(left + keyWidth, right - left - keyWidth, value.at(i), FontBody);
                y += line;
            }
            y += 0.8 * mm;
        }
        y += 3 * mm;
    }

    void LayParagraph(const TReportDoc::TElement &e)
    {
        const double line = LineHeight(FontBody);
        for (const QString &l : Wrap(e.text, FontBody, right - left)) {
            Ensure(line);
            Text(left, right - left, l, FontBody);
            y += line;
        }
        y += 3 * mm;
    }

    // The chart widget shows its colours in labels of its own, which are
    // not part of the plot; the report names the graphs itself.
    static QVector<QCPGraph *> NamedGraphs(const TReportDoc::TElement &e)
    {
        QVector<QCPGraph *> graphs;
        if (!e.plot || (e.plot->legend && e.plot->legend->visible()))
            return graphs;
        // A graph with nothing drawn is nothing to name.
        for (int i = 0; i < e.plot->graphCount(); ++i) {
            QCPGraph *g = e.plot->graph(i);
            if (g->visible() && !g->name().isEmpty() && g->dataCount() > 0 && !g->property(kScreenOnlyProperty).toBool())
                graphs.append(g);
        }
        return graphs;
    }
    double LegendHeight(const TReportDoc::TElement &e) const
    {
        return NamedGraphs(e).isEmpty() ? 0 : LineHeight(FontBody) + 1 * mm;
    }
    double ChartHeight(const TReportDoc::TElement &e) const
    {
        return qMin(e.heightMm * mm, bottom - top - LegendHeight(e));
    }

    void LayChart(const TReportDoc::TElement &e)
    {
        if (!e.plot)
            return;
        double h = ChartHeight(e);
        // Rather a little lower than on a page of its own.
        const double room = bottom - y - LegendHeight(e);
        if (room < h && room >= e.minHeightMm * mm)
            h = room;
        Ensure(LegendHeight(e) + h);
        double x = left + 2 * mm;
        const double line = LineHeight(FontBody);
        for (QCPGraph *g : NamedGraphs(e)) {
            if (g->lineStyle() == QCPGraph::lsNone) {
                // Points only: the sample is a mark in the points' colour.
                const QColor mark = g->scatterStyle().brush().style() != Qt::NoBrush ? g->scatterStyle().brush().color()
                                                                                     : g->scatterStyle().pen().color();
                Fill(QRectF(x + 2.5 * mm, y + line / 2 - 1.5 * mm, 3 * mm, 3 * mm), mark);
            } else {
                const QRectF sample(x, y + line / 2 - 0.3 * mm, 8 * mm, 0.6 * mm);
                pages.last().append({TOp::Rule, sample, QString(), FontBody, 0, g->pen().color(), nullptr});
            }
            x += 10 * mm;
            const double w = TextWidth(g->name(), FontBody);
            Text(x, w + 1 * mm, g->name(), FontBody);
            x += w + 6 * mm;
        }
        y += LegendHeight(e);
        pages.last().append({TOp::Chart, QRectF(left, y, right - left, h), QString(), FontBody, 0, Qt::black, e.plot});
        y += h + 4 * mm;
    }

    // Natural widths where they fit; otherwise the narrow columns keep
    // theirs and the wide ones share what is left (their text wraps).
    QVector<double> ColumnWidths(const TReportDoc::TElement &e, double pad) const
    {
        const int n = e.header.size();
        QVector<double> natural(n, 0);
        for (int c = 0; c < n; ++c) {
            for (const QString &l : e.header.at(c).split(QLatin1Char('\n')))
                natural[c] = qMax(natural[c], TextWidth(l, FontTableHeader));
            for (const QStringList &row : e.rows)
                if (c < row.size())
                    for (const QString &l : row.at(c).split(QLatin1Char('\n')))
                        natural[c] = qMax(natural[c], TextWidth(l, FontTable));
            natural[c] += 2 * pad + 0.5 * mm;
        }
        const double available = right - left;
        const double sum = std::accumulate(natural.begin(), natural.end(), 0.0);
        QVector<double> widths(n);
        if (sum <= available) {
            for (int c = 0; c < n; ++c)
                widths[c] = natural[c] + (available - sum) * natural[c] / sum;
            return widths;
        }
        QVector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return natural[a] < natural[b]; });
        double remaining = available;
        int columnsLeft = n;
        for (int c : order) {
            widths[c] = qMin(natural[c], remaining / columnsLeft);
            remaining -= widths[c];
            --columnsLeft;
        }
        return widths;
    }

    void LayTable(const TReportDoc::TElement &e)
    {
        const int n = e.header.size();
        if (n == 0)
            return;
        const double pad = 1.5 * mm;
        const double vpad = 0.8 * mm;
        const QVector<double> widths = ColumnWidths(e, pad);

        auto cellLines = [&](const QStringList &cells, int font) {
            QVector<QStringList> lines(n);
            int most = 1;
            for (int c = 0; c < n; ++c) {
                lines[c] = Wrap(c < cells.size() ? cells.at(c) : QString(), font, widths[c] - 2 * pad);
                most = qMax(most, int(lines[c].size()));
            }
            return qMakePair(lines, most * LineHeight(font) + 2 * vpad);
        };
        // Stripes tell the rows apart; a rule closes the header and the table
        // on each page.
        auto putRow = [&](const QVector<QStringList> &lines, double h, int font, const QColor &fill) {
            if (fill.isValid())
                Fill(QRectF(left, y, right - left, h), fill);
            const double rowTop = y;
            double x = left;
            for (int c = 0; c < n; ++c) {
                y = rowTop + vpad;
                for (const QString &l : lines.at(c)) {
                    Text(x + pad, widths[c] - 2 * pad, l, font);
                    y += LineHeight(font);
                }
                x += widths[c];
            }
            y = rowTop + h;
        };
        auto closeRule = [&]() { Rule(left, right - left, 0.2 * mm, kRuleGrey); };

        const auto header = cellLines(e.header, FontTableHeader);
        const auto first = e.rows.isEmpty() ? qMakePair(QVector<QStringList>(), 0.0) : cellLines(e.rows.first(), FontTable);
        Ensure(header.second + first.second);
        putRow(header.first, header.second, FontTableHeader, kHeaderFill);
        closeRule();
        for (int r = 0; r < e.rows.size(); ++r) {
            if (r % 256 == 255 && !Progress(r)) {
                stopped = true;
                return;
            }
            const auto row = r == 0 ? first : cellLines(e.rows.at(r), FontTable);
            const auto continueOnNewPage = [&]() {
                closeRule();
                NewPage();
                putRow(header.first, header.second, FontTableHeader, kHeaderFill);
                closeRule();
            };
            // A row taller than a page (a comment of thousands of characters)
            // goes on in pieces under the header of each page, rather than
            // over the footer and off the sheet.
            if (header.second + row.second > bottom - top) {
                QVector<QStringList> rest = row.first;
                while (true) {
                    const double lineH = LineHeight(FontTable);
                    int fit = int((bottom - y - 2 * vpad) / lineH);
                    if (fit < 1) {
                        continueOnNewPage();
                        fit = qMax(1, int((bottom - y - 2 * vpad) / lineH));
                    }
                    QVector<QStringList> piece(n);
                    int most = 0;
                    for (int c = 0; c < n; ++c) {
                        piece[c] = rest[c].mid(0, fit);
                        rest[c] = rest[c].mid(piece[c].size());
                        most = qMax(most, int(piece[c].size()));
                    }
                    putRow(piece, most * lineH + 2 * vpad, FontTable, r % 2 ? kStripeFill : QColor());
                    bool done = true;
                    for (const QStringList &l : rest)
                        done = done && l.isEmpty();
                    if (done)
                        break;
                    continueOnNewPage();
                }
                continue;
            }
            if (y + row.second > bottom + 0.01)
                continueOnNewPage();
            putRow(row.first, row.second, FontTable, r % 2 ? kStripeFill : QColor());
        }
        closeRule();
        y += 3 * mm;
    }

    bool Progress(int done) const { return !fnProgress || fnProgress(done, iTotal); }

    QPaintDevice *dev;
    std::function<bool(int, int)> fnProgress;
    int iTotal;
    double mm, width, height, left, right, top, bottom;
    double y = 0;
    QVector<TPage> pages;
};

void PaintOps(QCPPainter &painter, const TPage &ops, const QFont *fonts, QVector<QCustomPlot *> *plots)
{
    for (const TOp &op : ops) {
        switch (op.kind) {
        case TOp::Text:
            painter.setFont(fonts[op.font]);
            painter.setPen(op.color);
            painter.drawText(op.rect, op.flags, op.text);
            break;
        case TOp::Rule:
            painter.setPen(QPen(op.color, op.rect.height(), Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(op.rect.left(), op.rect.center().y()), QPointF(op.rect.right(), op.rect.center().y()));
            break;
        case TOp::Fill:
            painter.fillRect(op.rect, op.color);
            break;
        case TOp::Chart:
            painter.save();
            painter.translate(op.rect.topLeft());
            painter.setClipRect(QRectF(QPointF(0, 0), op.rect.size()));
            // Drawn at the device's own size: on a device of kReportDpi the
            // chart keeps the proportions of the screen, fonts in points.
            // What only points something out on the screen stays there.
            QVector<QCPGraph *> hidden;
            for (int g = 0; g < op.plot->graphCount(); ++g) {
                QCPGraph *graph = op.plot->graph(g);
                if (graph->visible() && graph->property(kScreenOnlyProperty).toBool()) {
                    graph->setVisible(false);
                    hidden.append(graph);
                }
            }
            op.plot->toPainter(&painter, qRound(op.rect.width()), qRound(op.rect.height()));
            for (QCPGraph *graph : hidden)
                graph->setVisible(true);
            painter.restore();
            if (!plots->contains(op.plot))
                plots->append(op.plot);
            break;
        }
    }
}

} // namespace

TReportDoc::TReportDoc() = default;

TReportDoc::~TReportDoc() { qDeleteAll(elements); }

void TReportDoc::SetDocumentTitle(const QString &title) { qsTitle = title; }

void TReportDoc::SetFooterNote(const QString &note) { qsFooterNote = note; }

QString TReportDoc::DocumentTitle() const { return qsTitle; }

void TReportDoc::AddTitle(const QString &title, const QString &subtitle)
{
    elements.append(new TElement{TElement::Title, title, subtitle, {}, nullptr, 0, 0, {}, {}});
}

void TReportDoc::AddHeading(const QString &text)
{
    elements.append(new TElement{TElement::Heading, text, {}, {}, nullptr, 0, 0, {}, {}});
}

void TReportDoc::AddFields(const QVector<TReportField> &fields)
{
    elements.append(new TElement{TElement::Fields, {}, {}, fields, nullptr, 0, 0, {}, {}});
}

void TReportDoc::AddParagraph(const QString &text)
{
    elements.append(new TElement{TElement::Paragraph, text, {}, {}, nullptr, 0, 0, {}, {}});
}

void TReportDoc::AddChart(QCustomPlot *plot, double heightMm, double minHeightMm)
{
    elements.append(new TElement{TElement::Chart, {}, {}, {}, plot, heightMm, qMin(minHeightMm, heightMm), {}, {}});
}

void TReportDoc::AddTable(const QStringList &header, const QVector<QStringList> &rows)
{
    elements.append(new TElement{TElement::Table, {}, {}, {}, nullptr, 0, 0, header, rows});
}

void TReportDoc::AddPageBreak()
{
    elements.append(new TElement{TElement::PageBreak, {}, {}, {}, nullptr, 0, 0, {}, {}});
}

void TReportDoc::SetProgress(std::function<bool(int done, int total)> progress) { fnProgress = std::move(progress); }

int TReportDoc::Paint(QPagedPaintDevice *device) const
{
    // The table rows count twice: once laid out, once painted (by page).
    int rows = 0;
    for (const TElement *e : elements)
        rows += e->rows.size();
    const int total = 2 * rows + 1;
    TLayout layout(device, fnProgress, total);
    const QVector<TPage> pages = layout.Run(elements);
    if (layout.stopped)
        return -1;
    QCPPainter painter;
    if (!painter.begin(device))
        return 0;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    // Hairlines vanish on paper: the chart's thinnest lines get one screen pixel.
    painter.setMode(QCPPainter::pmNonCosmetic);
    QVector<QCustomPlot *> plots;
    bool stopped = false;
    for (int i = 0; i < pages.size() && !stopped; ++i) {
        if (i > 0)
            device->newPage();
        PaintOps(painter, pages.at(i), layout.fonts, &plots);
        PaintOps(painter, layout.Footer(i + 1, pages.size(), qsFooterNote), layout.fonts, &plots);
        if (fnProgress && rows > 0)
            stopped = !fnProgress(rows + int(qint64(rows) * (i + 1) / pages.size()), total);
    }
    painter.end();
    // Drawing at the page's size moved the chart's inner layout; the widget
    // lays itself out again for the screen.
    for (QCustomPlot *plot : plots)
        plot->replot(QCustomPlot::rpQueuedReplot);
    return stopped ? -1 : pages.size();
}

QByteArray ReportPdf(const TReportDoc &doc, int *pages)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    int count = 0;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kReportDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(QStringLiteral("ZYM Reader"));
        writer.setTitle(doc.DocumentTitle());
        count = doc.Paint(&writer);
    }
    if (pages)
        *pages = count;
    return count > 0 ? buffer.data() : QByteArray();
}

ReplaceFileResult SaveReport(const TReportDoc &doc, const QString &fileName, QString *errorText, bool *cancelled)
{
    int pages = 0;
    const QByteArray pdf = ReportPdf(doc, &pages);
    if (cancelled)
        *cancelled = pages < 0;
    if (pdf.isEmpty()) {
        if (errorText)
            *errorText = QCoreApplication::translate("TReportDoc", "Nie udało się utworzyć dokumentu PDF.");
        return ReplaceFileWriteFailed;
    }
    return ReplaceWholeFile(fileName, pdf, false, errorText);
}

void PreviewReport(const TReportDoc &doc, QWidget *parent, const std::function<void()> &painted)
{
    QPrinter printer(QPrinter::HighResolution);
    // The resolution of the PDF, so that the preview, the printout and the
    // file are laid out alike.
    printer.setResolution(kReportDpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setDocName(doc.DocumentTitle());
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&doc, &preview, &painted](QPrinter *p) {
        const bool stopped = doc.Paint(p) < 0;
        if (painted)
            painted();
        // Half a document is not one to look at. (The preview's printer
        // cannot be aborted: its paint engine is the preview's own.)
        if (stopped)
            QMetaObject::invokeMethod(&preview, "reject", Qt::QueuedConnection);
    });
    preview.exec();
}
