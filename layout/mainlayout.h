#ifndef MAINLAYOUT_H
#define MAINLAYOUT_H

#include <QMargins>
#include <QRect>
#include <QSize>

/// Where the widgets that follow the window's size go, in the coordinates
/// of their parents (`baza`, `wynik` and `plot` in the central widget, the
/// tables inside `baza`, the comment inside `wynik`).
struct TMainLayout
{
    QRect baza;        ///< gB_Baza
    QRect obiekty;     ///< tV_Obiekty
    QRect pomiary;     ///< tV_Pomiary
    QRect wynik;       ///< gB_Wynik
    QRect komentarz;   ///< tE_Komentarz
    QRect plot;        ///< plot
};

/// The layout for a window of size `window` whose menu bar, tool bars and
/// status bar take `bars` from its sides. At the size the form was drawn
/// for (a central area of 1211 x 591 px) every widget keeps the form's
/// geometry and only the heights follow the bars; a wider window shares the
/// extra width between the tables and the result column (group and chart),
/// a narrower one first gives up the right margin, then shrinks both down
/// to what their texts need. A window too short for the chart gives up the
/// free band above the groups before the chart gets smaller.
TMainLayout MainLayout(const QSize &window, const QMargins &bars);

/// The width of a label of the result group drawn `formWidth` px wide, in
/// a group `wynikWidth` px wide: wider as the group grows, never past it.
int WynikLabelWidth(int formWidth, int wynikWidth);

/// The smallest window whose result group stays whole and whose chart
/// keeps room for its axes and tick labels, with `bars` as above.
QSize MainMinimumSize(const QMargins &bars);

#endif // MAINLAYOUT_H
