#include "report/reports.h"

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
        doc->AddChart(plot, 105, 70);
    }
}

void BuildObiektReport(TReportDoc *doc, const TObiektReport &data, QCustomPlot *plot)
{
    doc->SetDocumentTitle(TReportTexts::ObiektTitle() + QStringLiteral(": ") + data.obiekt);
    doc->AddTitle(TReportTexts::ObiektTitle(), TReportTexts::MadeLine(data.made));
    doc->AddFields(TReportTexts::ObiektFields(data));
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
                                   QString *errorText)
{
    TReportDoc doc;
    BuildObiektReport(&doc, data, plot);
    return SaveReport(doc, fileName, errorText);
}
