#ifndef DIALOGHISTORIA_H
#define DIALOGHISTORIA_H

#include "historia/historia.h"
#include "report/reporttext.h"

#include <QColor>
#include <QDialog>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

QT_BEGIN_NAMESPACE
class QEvent;
class QMouseEvent;
class QTableView;
class QToolBar;
class QAction;
QT_END_NAMESPACE
class QCustomPlot;
class QCPGraph;
class QCPItemStraightLine;
class THistoriaModel;

/// The history of one object: a table of its measurements (`tV_Historia`)
/// and their resistance against time (`plotHistoria`), each compared with
/// a reference measurement the user may move. Read-only; the rows are read
/// by the main window and handed over. A double-click on a row asks the
/// main window to show that measurement (PomiarActivated).
class DialogHistoria : public QDialog
{
    Q_OBJECT

public:
    /// Shows `rows` (in time order) of object `objectId` named `objectName`;
    /// the CSV save dialog starts in `saveFolder`.
    DialogHistoria(qint64 objectId, const QString &objectName, const QVector<THistoriaRow> &rows,
                   const QString &saveFolder, QWidget *parent = nullptr);
    ~DialogHistoria() override;

    qint64 ObjectId() const { return iObjectId; }
    QString ObjectName() const { return qsObiekt; }
    /// Row of the reference measurement, or -1 when no row has a value.
    int Reference() const { return iReference; }
    /// Makes row `row` the reference when it has a value; otherwise nothing changes.
    void SetReference(int row);
    /// Shows `komentarz` as the comment of measurement `pomiarId`, when it is one of these rows.
    void UpdateKomentarz(qint64 pomiarId, const QString &komentarz);
    /// Asks for a file name and writes the history as CSV there; failures are told.
    void SaveCsv();
    /// The meter the history comes from, as its ZYM table names it ("NULL"
    /// or empty where it does not), for the report.
    void SetMeter(const QString &serial, const QString &hw, const QString &firmware);
    /// The meter (its serial) of each row, for a history that spans
    /// several meters: a column of its own, and every serial in the report.
    void SetRowMeters(const QStringList &meters);
    /// The object report of this history as the window shows it (reference included).
    TObiektReport ReportData() const;
    /// Asks for a file name and writes the object report there; failures are told.
    void SaveReport();
    /// Qt's print preview of the object report.
    void PrintReport();
    /// Columns after all the others (`cells` one text list per row, each as
    /// long as `headers`) and a background per row (an invalid colour: none):
    /// what a verdict adds to the history. The CSV gets `csvHeaders` and
    /// `csvCells` (numbers with every digit, decimal commas), or the shown
    /// ones when empty.
    void SetExtraColumns(const QStringList &headers, const QVector<QStringList> &cells,
                         const QVector<QColor> &backgrounds, const QStringList &csvHeaders = {},
                         const QVector<QStringList> &csvCells = {});
    /// Dashed red lines across the chart at each of `ohms` (limits).
    void SetLimitLines(const QVector<double> &ohms);

signals:
    /// The user double-clicked the row of measurement `pomiarId`.
    void PomiarActivated(qint64 pomiarId, const QString &objectName);
    /// The reference became the measurement `pomiarId` taken at `czas`.
    void ReferenceChosen(qint64 pomiarId, qint64 czas);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RetranslateTexts();
    void FillPlot(const QVector<THistoriaRow> &given);
    void ShowReference();
    /// Replots the chart now when it is on screen, otherwise when it shows.
    void Replot();
    void ShowSelected(int row);
    /// Row of the point within reach of `pos` (pixels of the chart), or -1.
    int RowAt(const QPoint &pos) const;
    void SelectRow(int row);
    void ShowMenu(int row, const QPoint &globalPos);
    void PlotMouseMove(QMouseEvent *event);
    void PlotMousePress(QMouseEvent *event);
    void PlotMouseRelease(QMouseEvent *event);

    qint64 iObjectId;
    QString qsObiekt;
    QString qsSaveFolder;       // folder of the last CSV or report, with a trailing "/"
    QString qsSerial, qsHw, qsFirmware; // the meter, for the report
    THistoriaRows rows;         // in time order; row i of the table
    int iReference;
    int iScaleExponent;         // the y axis shows ohms / 10^iScaleExponent
    QPoint pressPos;
    bool bReplotPending = false; // the chart changed while it was hidden

    QTableView *tV_Historia;
    THistoriaModel *model;
    QCustomPlot *plotHistoria;
    QToolBar *pToolBar = nullptr; // the commands of the context menu, in sight
    QAction *actionReference = nullptr;
    QAction *actionCsv = nullptr;
    QAction *actionReport = nullptr;
    QAction *actionPrint = nullptr;
    void UpdateReferenceAction();
    QCPGraph *graphR;
    QCPGraph *graphPoza;
    QCPGraph *graphSelected;
    QCPItemStraightLine *lineReference;
    QVector<QCPItemStraightLine *> limitLines; // SetLimitLines
    QStringList extraHeaders;             // SetExtraColumns, as shown (the report)
    QVector<QStringList> extraCells;
    QStringList extraCsvHeaders;          // SetExtraColumns, for the CSV
    QVector<QStringList> extraCsvCells;
};

#endif // DIALOGHISTORIA_H
