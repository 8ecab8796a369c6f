// The resize rule of the main window as plain geometry, so that it can be
// checked for any bar heights without a platform that has them.

#include "layout/mainlayout.h"

#include <QtGlobal>

namespace {

const int kBazaTop = 50;     // gB_Baza and gB_Wynik start below the form's free top band
const int kTableTop = 50;    // both tables start below their captions
const int kTableBottom = 10; // gap under the tables inside gB_Baza
const QRect kWynik(710, 50, 471, 281); // gB_Wynik: never moves
const int kPlotLeft = 710;
const int kPlotTop = 340;
const int kPlotRightGap = 30;  // the chart ends 30 px before the central area's right edge
const int kPlotBottomGap = 4;  // and 4 px above the status bar
// Below this the axis labels and tick labels of the chart run into each other.
const QSize kPlotMinimum(471, 180);

} // namespace

TMainLayout MainLayout(const QSize &window, const QMargins &bars)
{
    const int width = window.width() - bars.left() - bars.right();
    const int height = window.height() - bars.top() - bars.bottom();
    TMainLayout layout;
    const int bazaHeight = qMax(0, height - kBazaTop);
    layout.baza = QRect(0, kBazaTop, 700, bazaHeight);
    const int tableHeight = qMax(0, bazaHeight - kTableTop - kTableBottom);
    layout.obiekty = QRect(20, kTableTop, 210, tableHeight);
    layout.pomiary = QRect(239, kTableTop, 441, tableHeight);
    layout.plot = QRect(kPlotLeft, kPlotTop, qMax(0, width - kPlotLeft - kPlotRightGap),
                        qMax(0, height - kPlotTop - kPlotBottomGap));
    return layout;
}

QSize MainMinimumSize(const QMargins &bars)
{
    const int width = qMax(kWynik.right() + 1 + kPlotRightGap, kPlotLeft + kPlotMinimum.width() + kPlotRightGap);
    const int height = kPlotTop + kPlotMinimum.height() + kPlotBottomGap;
    return QSize(width + bars.left() + bars.right(), height + bars.top() + bars.bottom());
}
