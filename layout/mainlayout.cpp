// The resize rule of the main window as plain geometry, so that it can be
// checked for any window and bar sizes without a platform that has them.

#include "layout/mainlayout.h"

#include <QtGlobal>

namespace {

const QSize kFormArea(1211, 591); // the central area the form was drawn for
const int kBazaTop = 50;          // both groups start below the form's free top band
const int kBazaTopMinimum = 10;   // what is left of that band when the chart needs it
const int kBazaWidth = 700;       // gB_Baza in the form
const int kBazaMinimum = 460;     // both tables still show a whole date and value
const int kWynikWidth = 471;      // gB_Wynik in the form
const int kWynikMinimum = 400;    // the result labels and the comment stay readable
const int kWynikHeight = 281;     // its children are placed for this height
const int kColumnGap = 10;        // between the database group and the result column
const int kRightGap = 30;         // the form's margin at the right edge
const int kRightGapMinimum = 10;
const int kTableTop = 50;    // both tables start below their captions
const int kTableBottom = 10; // gap under the tables inside gB_Baza
const int kTableSide = 20;   // margins left and right of the two tables inside gB_Baza
const int kTableGap = 9;     // between the two tables
const int kObiektyShare = 210; // of the 651 px the form gives the two tables
const int kTablesWidth = 651;
const int kPlotGap = 9;       // between the result group and the chart
const int kPlotBottomGap = 4; // the chart ends 4 px above the status bar
// Below this the axis labels and tick labels of the chart run into each other.
const int kPlotMinimumHeight = 160;
const QRect kKomentarz(10, 190, 451, 81); // tE_Komentarz in the form

} // namespace

TMainLayout MainLayout(const QSize &window, const QMargins &bars)
{
    const int width = window.width() - bars.left() - bars.right();
    const int height = window.height() - bars.top() - bars.bottom();

    int bazaWidth = kBazaWidth;
    int wynikWidth = kWynikWidth;
    const int extra = width - kFormArea.width();
    if (extra >= 0) {
        // Tables gain two fifths: a long list reads better with wider
        // names, but the chart is what a larger screen is bought for.
        const int toBaza = extra * 2 / 5;
        bazaWidth += toBaza;
        wynikWidth += extra - toBaza;
    } else {
        // The right margin goes first.
        int missing = -extra - qMin(-extra, kRightGap - kRightGapMinimum);
        const int fromBaza = qMin(missing * 3 / 5, kBazaWidth - kBazaMinimum);
        const int fromWynik = qMin(missing - fromBaza, kWynikWidth - kWynikMinimum);
        missing -= fromBaza + fromWynik;
        // Below the smallest window (a screen smaller than it): the tables
        // give up the rest, they can scroll.
        bazaWidth = qMax(0, bazaWidth - fromBaza - missing);
        wynikWidth -= fromWynik;
    }

    // The top band goes only when the chart would otherwise drop below its minimum.
    const int plotFromTop = kWynikHeight + kPlotGap + kPlotBottomGap; // below the band
    const int top = qBound(kBazaTopMinimum, height - plotFromTop - kPlotMinimumHeight, kBazaTop);

    TMainLayout layout;
    const int bazaHeight = qMax(0, height - top);
    layout.baza = QRect(0, top, bazaWidth, bazaHeight);
    const int tableHeight = qMax(0, bazaHeight - kTableTop - kTableBottom);
    const int tablesWidth = qMax(0, bazaWidth - 2 * kTableSide - kTableGap);
    const int obiektyWidth = (tablesWidth * kObiektyShare + kTablesWidth / 2) / kTablesWidth;
    layout.obiekty = QRect(kTableSide, kTableTop, obiektyWidth, tableHeight);
    layout.pomiary = QRect(kTableSide + obiektyWidth + kTableGap, kTableTop, tablesWidth - obiektyWidth, tableHeight);

    const int right = bazaWidth + kColumnGap;
    layout.wynik = QRect(right, top, wynikWidth, kWynikHeight);
    layout.komentarz = QRect(kKomentarz.x(), kKomentarz.y(), wynikWidth - 2 * kKomentarz.x(), kKomentarz.height());
    const int plotTop = top + kWynikHeight + kPlotGap;
    layout.plot = QRect(right, plotTop, wynikWidth, qMax(0, height - plotTop - kPlotBottomGap));
    return layout;
}

int WynikLabelWidth(int formWidth, int wynikWidth)
{
    // Labels start 20 px in and keep 10 px clear of the group's frame.
    return qMax(0, qMin(formWidth + qMax(0, wynikWidth - kWynikWidth), wynikWidth - 30));
}

QSize MainMinimumSize(const QMargins &bars)
{
    const int width = kBazaMinimum + kColumnGap + kWynikMinimum + kRightGapMinimum;
    const int height = kBazaTopMinimum + kWynikHeight + kPlotGap + kPlotMinimumHeight + kPlotBottomGap;
    return QSize(width + bars.left() + bars.right(), height + bars.top() + bars.bottom());
}
