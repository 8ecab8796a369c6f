#ifndef REPORTS_H
#define REPORTS_H

#include "report/ui/reportdoc.h"
#include "report/reporttext.h"

class QCustomPlot;
class QWidget;

/// The measurement report: title, meter, measurement, result, comment and
/// the waveform chart as `plot` shows it (cursors and axis ranges included).
void BuildPomiarReport(TReportDoc *doc, const TPomiarReport &data, QCustomPlot *plot);

/// The object report: the object, meter, reference, the history chart
/// `plot` and a summary on the first page, then the history table over as
/// many pages as it needs.
void BuildObiektReport(TReportDoc *doc, const TObiektReport &data, QCustomPlot *plot);

/// Writes the report of `data` to `fileName` (atomically, see SaveReport).
ReplaceFileResult SavePomiarReport(const QString &fileName, const TPomiarReport &data, QCustomPlot *plot,
                                   QString *errorText = nullptr);
/// `progress` (when given) is told how far a long report is and stops it by
/// returning false; nothing is written then and `*cancelled` is set.
ReplaceFileResult SaveObiektReport(const QString &fileName, const TObiektReport &data, QCustomPlot *plot,
                                   QString *errorText = nullptr,
                                   const std::function<bool(int done, int total)> &progress = {},
                                   bool *cancelled = nullptr);

/// Histories from this many measurements on show a progress dialog with
/// "Anuluj" while their report is made.
constexpr int kLongReportRows = 2000;

/// Qt's print preview of the report of `data`, modal over `parent`.
void PreviewPomiarReport(const TPomiarReport &data, QCustomPlot *plot, QWidget *parent);
void PreviewObiektReport(const TObiektReport &data, QCustomPlot *plot, QWidget *parent);

/// The road of "Zapisz raport PDF…": asks for a file name in `*folder`
/// (the remembered export folder, with a trailing "/"), writes the object
/// report there and tells the user when that failed. `*folder` follows
/// the chosen name, as for every export. True when the report was written.
bool SaveObiektReportAs(QWidget *parent, const TObiektReport &data, QCustomPlot *plot, QString *folder);

#endif // REPORTS_H
