#ifndef WERDYKTCONTROL_H
#define WERDYKTCONTROL_H

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QEvent;
class QLabel;
class QMenu;
class QModelIndex;
class QWidget;
QT_END_NAMESPACE

class DialogHistoria;
class TArchiveControl;
class THistoriaWindows;
class TShownChanges;
struct TDataPomiar;
struct TPomiarReport;
struct TShownPomiar;

/// What the verdicts take from the main window.
struct TWerdyktWindow
{
    QWidget *window = nullptr; // parent of the measurement's verdict window
    QWidget *wynik = nullptr;  // the result area: the verdict line is its child
    QLabel *czas = nullptr;    // the result area's time: the line sits under it, in its font
    /// The measurement shown: the line follows it and goes with it.
    const TShownChanges *shown = nullptr;
    /// Takes a parentless window into the main window's keeping.
    std::function<void(QWidget *)> keep;
};

/// The main window's side of verdicts: the verdict line in the result area
/// for an archived measurement, the verdict columns and limit lines of an
/// archive object's history, the report's verdict lines, and the object
/// table's context menu that reaches an object's limits and the groups.
/// It acts only while the tables show the archive.
class TWerdyktControl : public QObject
{
    // Its texts are the main window's, in that window's translation context.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    /// `archiwum`, `historie` and `current` are the main window's;
    /// `iniFileName` names its settings file.
    TWerdyktControl(const TWerdyktWindow &window, const TArchiveControl &archiwum, const THistoriaWindows &historie,
                    const TDataPomiar &current, const QString &iniFileName);

    /// The object's limits and the groups, in the object table's context menu (archive only).
    void AddActions(QMenu *menu, const QModelIndex &objectIndex);
    /// The verdict line of archived measurement `id` in the result area.
    void ShowLine(qint64 id);
    void HideLine();
    /// Temperature, corrected R and verdict columns, verdict colours, points
    /// and limit lines in a history window of an archive object, and the
    /// meters' hardware and firmware for its report.
    void ShowHistoria(DialogHistoria *window);
    /// The archive's measurement list `model` of object `objectId` with a
    /// verdict column at its end, when anything of the object is judged or
    /// typed; otherwise `model` as it is.
    QAbstractItemModel *WithVerdicts(QAbstractItemModel *model, qint64 objectId);
    /// The archive's object list `model` with each object's newest verdict
    /// (and its group's worst, where that is worse) in a column at its end,
    /// when any object has limits; otherwise `model` as it is.
    QAbstractItemModel *WithObjectVerdicts(QAbstractItemModel *model);
    void Retranslate();
    /// The settings window of archive object `name`.
    void OpenObiekt(const QString &name);
    /// The verdict, limits, temperature, test current and signature lines
    /// of the archived measurement shown, for its report.
    void AddToReport(TPomiarReport *report) const;
    /// The person's name for what they write in the archive (empty when not set).
    QString Autor() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FollowShown(const TShownPomiar &shown);
    /// Everything that shows a verdict again, after a window wrote to the archive.
    void Refresh();
    TWerdyktWindow w;
    const TArchiveControl &Archiwum;
    const THistoriaWindows &Historie;
    const TDataPomiar &CurrentPomiar;
    const QString &qsIniFileName;
    qint64 iWerdyktPomiar = 0; // the archived measurement the verdict line is of
};

#endif // WERDYKTCONTROL_H
