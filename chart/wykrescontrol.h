#ifndef WYKRESCONTROL_H
#define WYKRESCONTROL_H

#include "measurement/tdatapomiar.h"

#include <QObject>
#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

class DialogWykres;
class QCustomPlot;

/// The main window's chart commands: "Pokaż  cały" in the main chart, and
/// the chart windows of "Okno", each of which draws the measurement shown,
/// follows it as Updated and Cleared say, and names it in its title.
class TWykresControl : public QObject
{
    Q_OBJECT

public:
    /// The charts draw `pomiar`; `plot` is the main chart, whose message
    /// a new window shows when the chart is empty; `shownName` names the
    /// measurement shown for the titles; `keep` takes each new window into
    /// keeping.
    TWykresControl(const TDataPomiar *pomiar, QCustomPlot *plot, std::function<QString()> shownName,
                   std::function<void(QWidget *)> keep, QObject *parent);

    /// Opens another window that follows the measurement shown.
    DialogWykres *OpenFollowing();
    /// The whole measurement in the main chart again.
    void ZoomAll();

signals:
    /// The measurement shown has changed.
    void Updated(const TDataPomiar &pomiar);
    /// The main chart was emptied; `message` says why when there is a reason to give.
    void Cleared(const QString &message);

private:
    const TDataPomiar *pPomiar;
    QCustomPlot *pPlot;
    std::function<QString()> fnShownName;
    std::function<void(QWidget *)> fnKeep;
};

#endif // WYKRESCONTROL_H
