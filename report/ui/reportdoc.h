#ifndef REPORTDOC_H
#define REPORTDOC_H

#include "measurement/replacefile.h"
#include "report/reporttext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QCustomPlot;
class QPagedPaintDevice;
class QWidget;

/// A paged A4 portrait document: a title, key-value blocks, wrapped
/// paragraphs, charts drawn as vectors and tables that continue over pages
/// with their header repeated, with "strona N z M" under every page.
///
/// The whole document is laid out for the device first and painted
/// afterwards, so the page count is known on every page, and a PDF and a
/// printout (or its preview) come from the same layout.
class TReportDoc
{
public:
    struct TElement; // defined in reportdoc.cpp

    TReportDoc();
    ~TReportDoc();
    TReportDoc(const TReportDoc &) = delete;
    TReportDoc &operator=(const TReportDoc &) = delete;

    /// The document's name in the PDF's properties.
    void SetDocumentTitle(const QString &title);
    /// A text in the middle of every page's footer (a protocol's number);
    /// empty: none.
    void SetFooterNote(const QString &note);
    void AddTitle(const QString &title, const QString &subtitle);
    void AddHeading(const QString &text);
    void AddFields(const QVector<TReportField> &fields);
    /// Text wrapped to the page width; line feeds start new lines.
    void AddParagraph(const QString &text);
    /// The chart as it stands, `heightMm` high across the page (down to
    /// `minHeightMm` where that keeps it on the page), with the names of its
    /// graphs above it. The chart must outlive the document's painting; its
    /// axes and data are not changed.
    void AddChart(QCustomPlot *plot, double heightMm, double minHeightMm = 1e9);
    void AddTable(const QStringList &header, const QVector<QStringList> &rows);
    /// What follows starts on a new page.
    void AddPageBreak();

    QString DocumentTitle() const;
    /// Called while a long document is laid out and painted with the work
    /// done so far, out of `total`; returning false stops the painting.
    void SetProgress(std::function<bool(int done, int total)> progress);
    /// Lays the document out for `device` and paints every page. Returns the
    /// number of pages, 0 when painting could not start, -1 when the
    /// progress callback stopped it.
    int Paint(QPagedPaintDevice *device) const;

private:
    QVector<TElement *> elements;
    QString qsTitle;
    QString qsFooterNote;
    std::function<bool(int, int)> fnProgress;
};

/// Name of the dynamic property that marks a chart's graph as a thing of
/// the screen only (a selection ring): set to true, the graph is neither
/// printed nor named in a report.
constexpr char kScreenOnlyProperty[] = "zymScreenOnly";

/// Dots per inch of the devices the reports are made on: the resolution
/// charts draw at on screen, so that their fonts, ticks and pens keep the
/// proportions the user sees.
constexpr int kReportDpi = 96;

/// The PDF of `doc`, made in memory; `*pages` gets the page count.
QByteArray ReportPdf(const TReportDoc &doc, int *pages = nullptr);

/// Writes the PDF of `doc` to `fileName` all at once: a failure leaves any
/// earlier file as it was and no partial file behind; the reason goes to
/// `*errorText`. A report stopped through its progress callback writes
/// nothing and sets `*cancelled` (when given).
ReplaceFileResult SaveReport(const TReportDoc &doc, const QString &fileName, QString *errorText = nullptr,
                             bool *cancelled = nullptr);

/// Qt's print preview of `doc`, modal over `parent`; what it prints is what
/// the PDF holds. `painted` is called after each painting of the document
/// (for the preview, for a printout). A painting stopped through the
/// document's progress callback closes the preview.
void PreviewReport(const TReportDoc &doc, QWidget *parent, const std::function<void()> &painted = {});

#endif // REPORTDOC_H
