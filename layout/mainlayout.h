#ifndef MAINLAYOUT_H
#define MAINLAYOUT_H

#include <QMargins>
#include <QRect>
#include <QSize>

/// Where the four widgets that follow the window's size go, in the
/// coordinates of their parents (`baza` and `plot` in the central widget,
/// the tables inside `baza`).
struct TMainLayout
{
    QRect baza;    ///< gB_Baza
    QRect obiekty; ///< tV_Obiekty
    QRect pomiary; ///< tV_Pomiary
    QRect plot;    ///< plot
};

/// The layout for a window of size `window` whose menu bar, tool bars and
/// status bar take `bars` from its sides. The form was drawn for bars of
/// 64 px in all (top and bottom together); on any platform the database
/// group ends at the status bar's top and the chart 4 px above it.
TMainLayout MainLayout(const QSize &window, const QMargins &bars);

/// The smallest window whose result group stays whole and whose chart
/// keeps room for its axes and tick labels, with `bars` as above.
QSize MainMinimumSize(const QMargins &bars);

#endif // MAINLAYOUT_H
