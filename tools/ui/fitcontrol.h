#ifndef FITCONTROL_H
#define FITCONTROL_H

#include "tools/fitshown.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

#include <functional>

QT_BEGIN_NAMESPACE
class QAction;
class QEvent;
class QLabel;
class QWidget;
QT_END_NAMESPACE

class QCustomPlot;
class QCPCurve;
class TShownChanges;
struct TDataPomiar;
struct TShownPomiar;

/// What the fit takes from the main window.
struct TFitWindow
{
    QWidget *wynik = nullptr;   // the result area: the fit's two lines are its children
    QLabel *r = nullptr;        // the meter's R: the lines sit beside it, in its font
    QCustomPlot *plot = nullptr; // the main chart: the model's voltage is drawn over the measured one
    const TShownChanges *shown = nullptr; // the measurement shown: the lines follow it
    const TDataPomiar *current = nullptr; // its record, once shown
    /// Whether the fit is shown at all (the archive is, or the settings ask for it).
    std::function<bool()> wanted;
};

/// The fit of R and L beside the meter's R in the result area, and the
/// chart's toggle that draws the fitted model's voltage. Each record is
/// fitted once (TFitCache); showing it again only writes the two lines.
class TFitControl : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(TFitControl)

public:
    TFitControl(const TFitWindow &window, QObject *parent);

    void Retranslate();
    /// The fits run so far, and how they were kept.
    const TFitCache &Cache() const { return Fits; }
    /// The chart's "model" toggle (unchecked at start).
    QAction *ModelAction() const { return pModel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Follow(const TShownPomiar &shown);
    void Place();
    /// Puts the model's graph on the chart, or takes it off, before each drawing.
    void Model();
    TFitWindow w;
    TFitCache Fits;
    TFitRL Fit;          // of the record shown
    bool bShown = false; // the lines show a record's fit
    QLabel *pR = nullptr;
    QLabel *pL = nullptr;
    QAction *pModel = nullptr;
    QPointer<QCPCurve> pGraph; // the model's voltage, while drawn
    bool bGraphStale = true; // the graph holds another record's model
};

#endif // FITCONTROL_H
