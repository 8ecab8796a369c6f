// The main window's chart commands: "Okno" and "Pokaż  cały" ("Prąd na osi
// prawej" is TChartTools' own).

#include "chart/wykrescontrol.h"

#include "chart/dialogwykres.h"
#include "chart/plotpomiar.h"

#include <qcustomplot.h>

TWykresControl::TWykresControl(const TDataPomiar *pomiar, QCustomPlot *plot, std::function<QString()> shownName,
                               std::function<void(QWidget *)> keep, QObject *parent)
    : QObject(parent)
    , pPomiar(pomiar)
    , pPlot(plot)
    , fnShownName(std::move(shownName))
    , fnKeep(std::move(keep))
{
}

DialogWykres *TWykresControl::OpenFollowing()
{
    auto *window = new DialogWykres(pPomiar, nullptr);
    fnKeep(window);
    window->setModal(false);
    window->show();
    connect(this, &TWykresControl::Updated, window, &DialogWykres::UpdateWykresSLOT);
    connect(this, &TWykresControl::Cleared, window, &DialogWykres::ClearWykresSLOT);
    // The record held may be one the main chart no longer shows.
    if (pPlot->graphCount() == 0)
        window->ClearWykresSLOT(PlotMessage(pPlot));
    // The title names the measurement shown, and follows it. This window's
    // own title: a window opened later (by another command) shows another
    // measurement and keeps its name.
    const QString title = window->windowTitle();
    auto name = [this, window, title]() {
        const QString shown = fnShownName();
        window->setWindowTitle(shown.trimmed().isEmpty() ? title : title + QStringLiteral(" – ") + shown);
    };
    name();
    connect(this, &TWykresControl::Updated, window, name);
    return window;
}

void TWykresControl::ZoomAll()
{
    PlotPomiar(pPlot, pPomiar, kOffset03, kOffset14);
}
