#ifndef REPORTDOC_H
#define REPORTDOC_H

#include "measurement/replacefile.h"
#include "report/reporttext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

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
    /// Lays the document out for `device` and paints every page. Returns the
    /// number of pages, 0 when painting could not start.
    int Paint(QPagedPaintDevice *device) const;

private:
    QVector<TElement *> elements;
    QString qsTitle;
};

/// Dots per inch of the devices the reports are made on: the resolution
/// charts draw at on screen, so that their fonts, ticks and pens keep the
/// proportions the user sees.
constexpr int kReportDpi = 96;

/// The PDF of `doc`, made in memory; `*pages` gets the page count.
QByteArray ReportPdf(const TReportDoc &doc, int *pages = nullptr);

/// Writes the PDF of `doc` to `fileName` all at once: a failure leaves any
/// earlier file as it was and no partial file behind; the reason goes to
/// `*errorText`.
ReplaceFileResult SaveReport(const TReportDoc &doc, const QString &fileName, QString *errorText = nullptr);

/// Qt's print preview of `doc`, modal over `parent`; what it prints is what
/// the PDF holds.
void PreviewReport(const TReportDoc &doc, QWidget *parent);

#endif // REPORTDOC_H
