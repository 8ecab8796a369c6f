#ifndef CHARTTOOLS_H
#define CHARTTOOLS_H

#include "measurement/tdatapomiar.h"
#include "measurement/wykresseries.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

QT_BEGIN_NAMESPACE
class QImage;
class QMenu;
class QWidget;
QT_END_NAMESPACE

class QCustomPlot;
class QCPItemStraightLine;
class QCPItemText;
class QCPTextElement;

/// Measuring tools of a waveform chart: two cursors with readouts, current
/// on a right axis of its own, box zoom, the default view on double-click
/// and a context menu that saves or copies the chart. PlotPomiar attaches
/// them to every chart it draws into, so the main window's chart and the
/// chart windows behave alike; without cursors and with the right axis off
/// the chart is drawn exactly as PlotPomiar draws it.
class TChartTools : public QObject
{
    Q_OBJECT

public:
    enum Cursor { CursorA = 0, CursorB = 1 };

    /// Result codes of SaveImage, beside the ReplaceFileResult codes.
    enum { SaveImageUnknownFormat = -10 }; ///< the suffix is neither png nor pdf

    /// The tools of `plot`, created on first use (owned by the plot).
    static TChartTools *Attach(QCustomPlot *plot);
    /// The tools of `plot`, or nullptr when none were attached.
    static TChartTools *Of(const QCustomPlot *plot);

    /// Current on the right axis for every chart of this run, open or opened later.
    static void SetCurrentOnRightAxisForAll(bool on);
    static bool CurrentOnRightAxisForAll();

    /// Called by PlotPomiar after it drew `pomiar` (as `series`), before it replots.
    void Plotted(const TDataPomiar *pomiar, const TWykresSeries &series);
    /// Called by ClearPlot: nothing to measure on (the cursor times stay).
    void Cleared();

    bool CurrentOnRightAxis() const { return bRightAxis; }
    void SetCurrentOnRightAxis(bool on);
    /// The default ranges of both value axes and the time axis, in either axis mode.
    void ShowAll();

    /// Places cursor `which` on the row nearest to `ms`.
    void PlaceCursor(int which, double ms);
    void ClearCursors();
    /// The row cursor `which` stands on, or -1.
    int CursorRow(int which) const;
    /// The readout as shown in the chart, one line per row of text.
    QString ReadoutText() const;

    /// A context menu for the chart (parent `parent`, deleted with it),
    /// ending with the actions added to the chart widget itself.
    QMenu *CreateContextMenu(QWidget *parent);

    /// The chart as an image of `scale` times the widget's size.
    QImage RenderImage(double scale) const;
    /// Writes the chart to `fileName`: PNG at twice the widget's size or
    /// vector PDF, by suffix, replacing the file only when all of it was
    /// written. Returns a ReplaceFileResult or SaveImageUnknownFormat.
    int SaveImage(const QString &fileName, QString *errorText = nullptr) const;
    /// Asks for a file name and saves; failures are shown in a message box.
    void SaveImageAs();
    /// Puts the chart's image on the clipboard.
    void CopyImage() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TChartTools(QCustomPlot *plot);
    ~TChartTools() override;

    bool HasData() const;
    void ApplyAxisMode();
    void UpdateCursors();
    void UpdateReadout();
    int CursorNear(const QPoint &pos) const;
    double KeyAt(int x) const;
    void ShowContextMenu(const QPoint &pos);
    QByteArray PdfBytes() const;

    QCustomPlot *pPlot;
    // The series drawn last, shared with nobody but this (no copy of the
    // record: its rows are what the readouts read); empty before and after
    // ClearPlot, as bPlotted says.
    TWykresSeries Series;
    bool bPlotted = false;
    quint32 iCzas = 0; // the record's time, which names a saved image
    bool bRightAxis = false;

    int iRow[2] = {-1, -1};
    QCPItemStraightLine *pLine[2] = {nullptr, nullptr};
    QCPItemText *pTag[2] = {nullptr, nullptr};
    QCPTextElement *pReadout = nullptr;

    // Mouse state between press and release.
    QPoint pressPos;
    bool bPressed = false;
    bool bLeftDown = false; // a drag, a zoom box or a cursor move is under way
    bool bBoxZoom = false;
    int iDragCursor = -1;
    int iRowBeforeClick[2] = {-1, -1}; // undone by a double-click
    bool bLastClickPlaced = false;     // the last click placed a cursor
};

#endif // CHARTTOOLS_H
