#include "report/ui/reports.h"

#include "measurement/datafile.h"

#include <QDir>
#include <QCoreApplication>
#include "measurement/ui/savedialog.h"
#include "common/ui/progress.h"
#include <QProgressDialog>

#include <memory>

namespace {

// A history of many thousand measurements takes a while to lay out and
// paint: the user sees how far it is and can stop it.
class TReportProgress
{
public:
    TReportProgress(QWidget *parent, const QString &title, const QString &label)
        : pParent(parent), qsTitle(title), qsLabel(label)
    {
    }

    /// The document's progress callback; none for a short history.
    std::function<bool(int, int)> Callback(int rows)
    {
        if (rows < kLongReportRows)
            return {};
        return [this](int done, int total) {
            if (!pShown) {
                pShown.reset(new QProgressDialog(pParent));
                SetUpProgress(pShown.get(), qsTitle, QCoreApplication::translate("TReportTexts", "Anuluj"), 0);
                pShown->setLabelText(qsLabel);
                pShown->setRange(0, total);
            }
            pShown->setValue(qMin(done, total));
            QCoreApplication::processEvents();
            return !pShown->wasCanceled();
        };
    }

    /// One painting is over: the next (a print from the preview) shows its own.
    void Done() { pShown.reset(); }

private:
    QWidget *pParent;
    QString qsTitle;
    QString qsLabel;
    std::unique_ptr<QProgressDialog> pShown;
};

} // namespace

void BuildPomiarReport(TReportDoc *doc, const TPomiarReport &data, QCustomPlot *plot)
{
    doc->SetDocumentTitle(TReportTexts::PomiarTitle());
    doc->AddTitle(TReportTexts::PomiarTitle(), TReportTexts::MadeLine(data.made));
    doc->AddFields(TReportTexts::PomiarFields(data));
    doc->AddHeading(TReportTexts::KomentarzCaption());
    doc->AddParagraph(data.komentarz.isEmpty() ? QStringLiteral("—") : data.komentarz);
    if (!data.ocena.isEmpty()) {
        doc->AddHeading(QCoreApplication::translate("TReportTexts", "Ocena"));
        doc->AddFields(data.ocena);
    }
    if (plot) {
        doc->AddHeading(TReportTexts::ChartCaption());
        // A long comment makes the chart lower before it pushes it over.
        doc->AddChart(plot, 120, 70);
    }
}

void BuildObiektReport(TReportDoc *doc, const TObiektReport &data, QCustomPlot *plot)
{
    doc->SetDocumentTitle(TReportTexts::ObiektTitle() + QStringLiteral(": ") + data.obiekt);
    doc->AddTitle(TReportTexts::ObiektTitle(), TReportTexts::MadeLine(data.made));
    doc->AddFields(TReportTexts::ObiektFields(data));
    // Without measurements a chart would show an empty 1970 axis and the
    // table only its header: one page that says so.
    if (data.rows.isEmpty()) {
        doc->AddParagraph(QCoreApplication::translate("TReportTexts", "Obiekt nie ma zapisanych pomiarów."));
        return;
    }
    if (plot) {
        doc->AddHeading(TReportTexts::HistoryChartCaption());
        doc->AddChart(plot, 100, 70);
    }
    doc->AddFields(TReportTexts::ObiektSummary(data));
    doc->AddPageBreak();
    doc->AddHeading(TReportTexts::TableCaption());
    doc->AddTable(data.header, data.rows);
}

ReplaceFileResult SavePomiarReport(const QString &fileName, const TPomiarReport &data, QCustomPlot *plot,
                                   QString *errorText)
{
    TReportDoc doc;
    BuildPomiarReport(&doc, data, plot);
    return SaveReport(doc, fileName, errorText);
}

ReplaceFileResult SaveObiektReport(const QString &fileName, const TObiektReport &data, QCustomPlot *plot,
                                   QString *errorText, const std::function<bool(int, int)> &progress,
                                   bool *cancelled)
{
    TReportDoc doc;
    BuildObiektReport(&doc, data, plot);
    doc.SetProgress(progress);
    return SaveReport(doc, fileName, errorText, cancelled);
}

void PreviewPomiarReport(const TPomiarReport &data, QCustomPlot *plot, QWidget *parent)
{
    TReportDoc doc;
    BuildPomiarReport(&doc, data, plot);
    PreviewReport(doc, parent);
}

void PreviewObiektReport(const TObiektReport &data, QCustomPlot *plot, QWidget *parent)
{
    TReportDoc doc;
    BuildObiektReport(&doc, data, plot);
    TReportProgress progress(parent, TReportTexts::ObiektTitle(),
                             QCoreApplication::translate("TReportTexts", "Przygotowanie wydruku…"));
    doc.SetProgress(progress.Callback(data.rows.size()));
    PreviewReport(doc, parent, [&progress]() { progress.Done(); });
}

bool SaveObiektReportAs(QWidget *parent, const TObiektReport &data, QCustomPlot *plot, QString *folder)
{
    const QString proposal = *folder + TReportTexts::ObiektFileName(data.obiekt, QDate::currentDate());
    // The only kind written here: a name typed without suffix still reads as a PDF.
    const QString name =
        AskSaveFile(parent, TReportTexts::SaveCaption(), proposal, {{TReportTexts::PdfFilter(), QStringLiteral("pdf")}}).path;
    if (name.isEmpty())
        return false;
    *folder = FolderOf(name);

    QString reason;
    bool cancelled = false;
    ReplaceFileResult result;
    {
        TReportProgress progress(parent, TReportTexts::SaveCaption(),
                                 QCoreApplication::translate("TReportTexts", "Tworzenie raportu PDF…"));
        result = SaveObiektReport(name, data, plot, &reason, progress.Callback(data.rows.size()), &cancelled);
    }
    if (cancelled)
        return false; // nothing written, and the user knows why
    if (result == ReplaceFileOk)
        return true;
    ShowCannotSave(parent, name, reason);
    return false;
}
