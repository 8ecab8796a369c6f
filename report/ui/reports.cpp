#include "report/ui/reports.h"

#include "app/messages.h"
#include "measurement/datafile.h"

#include <QDir>
#include <QCoreApplication>
#include "measurement/ui/savedialog.h"
#include <QProgressDialog>

#include <memory>

void BuildPomiarReport(TReportDoc *doc, const TPomiarReport &data, QCustomPlot *plot)
{
    doc->SetDocumentTitle(TReportTexts::PomiarTitle());
    doc->AddTitle(TReportTexts::PomiarTitle(), TReportTexts::MadeLine(data.made));
    doc->AddFields(TReportTexts::PomiarFields(data));
    doc->AddHeading(TReportTexts::KomentarzCaption());
    doc->AddParagraph(data.komentarz.isEmpty() ? QStringLiteral("—") : data.komentarz);
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
    PreviewReport(doc, parent);
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
        // A history of many thousand measurements takes a while to lay out
        // and paint: the user sees how far it is and can stop it.
        std::unique_ptr<QProgressDialog> shown;
        const auto progress = [&shown, parent](int done, int total) {
            if (!shown) {
                shown.reset(new QProgressDialog(parent));
                shown->setWindowTitle(TReportTexts::SaveCaption());
                shown->setLabelText(QCoreApplication::translate("TReportTexts", "Tworzenie raportu PDF…"));
                shown->setCancelButtonText(QCoreApplication::translate("TReportTexts", "Anuluj"));
                shown->setWindowModality(Qt::WindowModal);
                shown->setMinimumDuration(0);
                shown->setAutoClose(false);
                shown->setAutoReset(false);
                shown->setRange(0, total);
            }
            shown->setValue(qMin(done, total));
            QCoreApplication::processEvents();
            return !shown->wasCanceled();
        };
        result = SaveObiektReport(name, data, plot, &reason,
                                  data.rows.size() >= kLongReportRows ? std::function<bool(int, int)>(progress)
                                                                      : std::function<bool(int, int)>(),
                                  &cancelled);
    }
    if (cancelled)
        return false; // nothing written, and the user knows why
    if (result == ReplaceFileOk)
        return true;
    ShowCannotSave(parent, name, reason);
    return false;
}
