#ifndef WERDYKTWINDOWS_H
#define WERDYKTWINDOWS_H

#include "archive/tarchive.h"
#include "verdict/historiawerdykty.h"
#include "verdict/verdictstore.h"

#include <QColor>
#include <QDialog>

QT_BEGIN_NAMESPACE
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;
QT_END_NAMESPACE

class QCustomPlot;

// The windows of verdicts. Each opens the archive on a connection of its
// own and writes what the user typed as new versions of entries, by the
// author named in the settings.

/// A winding's temperature outside this range, in °C, is asked about
/// before it is kept (settings `Werdykt/TMin`, `Werdykt/TMax`).
constexpr double kPlausibleTMin = -60.0;
constexpr double kPlausibleTMax = 200.0;

/// The object's name of archived measurement `id`; empty when there is none.
QString ObiektOfPomiar(TArchive *archive, qint64 id);

/// The background of a verdict in tables and in the result area; invalid for none.
QColor WerdyktColor(int werdykt);
/// The points of a history chart drawn by PlotHistoria for `rows` in the
/// colour and shape of the verdict `h` gives each row, over the chart's own
/// (drawn again, not added, when called again). Rows without a verdict keep
/// the chart's point.
void ColourHistoriaPoints(QCustomPlot *plot, const QVector<THistoriaRow> &rows, const THistoriaWerdykty &h);
/// The result area's verdict line: the verdict (and an override with its
/// reason), the temperature and R at the reference temperature, as plain text.
/// With `notes`, also why a limit was judged uncorrected or not at all.
QString WerdyktLineText(const TWerdyktZapis &z, double t, double tRef, bool notes = true);

/// An object's material, reference and limits.
class DialogObiektWerdykt : public QDialog
{
    Q_OBJECT
public:
    DialogObiektWerdykt(const QString &archivePath, const QString &autor, const QString &obiekt,
                        QWidget *parent = nullptr);
    /// Writes what differs from the newest versions; false (with a message) on failure.
    bool Save();
    /// Why limits, a reference and a material cannot judge anything
    /// soundly (a band upside down, a negative limit); empty when they can.
    static QString ImpossibleLimits(const TLimity &l, const TOdniesienie &ref, const TMaterial &m);

signals:
    void Saved();

private:
    void Load();
    TArchive archive;
    QString qsObiekt;
    QVector<qint64> pomiary; // archive ids offered as a reference
    QComboBox *cbMaterial, *cbRefRodzaj, *cbRefPomiar, *cbRefUnit, *cbMinUnit, *cbMaxUnit;
    QComboBox *cbPasmoW, *cbZmianaW, *cbGrupaW, *cbGrupaOd;
    QLineEdit *leK, *leTRef, *leRefR, *leRefT, *leMin, *leMax, *leZmiana, *leGrupa;
    QLabel *lGrupa;
};

/// A measurement's temperature and an override of its verdict.
class DialogPomiarWerdykt : public QDialog
{
    Q_OBJECT
public:
    DialogPomiarWerdykt(const QString &archivePath, const QString &autor, qint64 pomiarId, QWidget *parent = nullptr);
    /// A temperature outside `low`..`high` °C is kept only when confirmed.
    void SetPlausibleT(double low, double high);
    bool Save();

signals:
    void Saved();

private:
    TArchive archive;
    qint64 iPomiarId;
    double dTMin = kPlausibleTMin, dTMax = kPlausibleTMax;
    QLineEdit *leT, *lePowod;
    QComboBox *cbReczny;
    QCheckBox *chJudge;
};

/// Groups of sister objects: members side by side, with deviations and verdicts.
class DialogGrupy : public QDialog
{
    Q_OBJECT
public:
    DialogGrupy(const QString &archivePath, const QString &autor, const QString &obiekt = QString(),
                QWidget *parent = nullptr);
    /// Shows group `index` of the list.
    void ShowGrupa(int index);
    /// Reads the groups and their verdicts again, keeping the group shown.
    void Reread();
    QTableWidget *Table() const { return table; }

signals:
    /// A group was changed in the archive.
    void Saved();

private:
    void Reload(const QString &uuid);
    void EditMembers(bool nowa);
    TArchive archive;
    QVector<TGrupa> grupy;
    QComboBox *cbGrupa;
    QTableWidget *table;
    QLabel *lInfo;
};

#endif // WERDYKTWINDOWS_H
