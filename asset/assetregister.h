#ifndef ASSETREGISTER_H
#define ASSETREGISTER_H

#include "historia/historia.h"
#include "verdict/verdict.h"

#include <QDate>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// The asset register above the meter's object names: customers, sites,
// bays and apparatus, and the points a meter measures; the rules that say
// which point a meter's name stands for; what is due. Pure computations on
// plain values; what is read from and written to the archive is in
// assetstore.h. Times are seconds since 1970 UTC, dates the computer's
// local calendar (the meter's clock is local too).

/// The levels of the register, from the top. A node's parent is always on
/// a higher level than the node itself, which is what keeps the tree free
/// of cycles whatever is moved where.
enum TAssetTyp {
    AssetKlient = 0,      ///< customer
    AssetLokalizacja = 1, ///< site (a substation, a plant)
    AssetPole = 2,        ///< bay
    AssetAparat = 3,      ///< apparatus (a breaker, a transformer), with its nameplate
    AssetPunkt = 4        ///< measured point: a pole, a phase winding, a joint
};

/// "Klient", "Lokalizacja", "Pole", "Aparat", "Punkt" (translated, context QObject).
QString AssetTypText(int typ);
/// The level's key in the entries: "klient", "lokalizacja", "pole", "aparat", "punkt".
QString AssetTypKey(int typ);
/// The level of `key`; -1 for anything else.
int AssetTypFromKey(const QString &key);

/// The nameplate fields every apparatus offers, in the order shown; an
/// office may add fields of its own beside them.
QStringList AssetTabliczkaKeys();
/// The field's label (translated, context QObject): "Producent", ... ; the key itself for an office's own.
QString AssetTabliczkaText(const QString &key);

/// One node of the register.
struct TAssetNode
{
    QString qsUuid;
    int iTyp = AssetPunkt;
    QString qsNazwa;
    QString qsUwagi;           // free notes
    QString qsRodzic;          // the parent's uuid; empty only for a customer
    bool bWycofany = false;    // retired: kept with its history, out of the due and watch lists
    QJsonObject tabliczka;     // nameplate: AssetTabliczkaKeys() and the office's own, text values
    int iInterwalMies = 0;     // test interval in months; 0: the parent's
    QVector<QDate> naprawy;    // repairs: a trend starts after the last one
    // Judging a point; each unset one falls back to the verdict settings of
    // the meter name mapped to it last.
    bool bLimity = false;
    TLimity limity;
    bool bMaterial = false;
    TMaterial material;
    bool bOdniesienie = false;
    TOdniesienie odniesienie;

    QString ToJson() const;
    /// False when `json` is no node (the uuid comes from the entry's subject).
    static bool FromJson(const QString &json, TAssetNode *node);
    /// FromJson of the value's UTF-8 bytes.
    static bool FromUtf8(const QByteArray &json, TAssetNode *node);
};

/// A rule: the meter's name `qsNazwa` on the meter `qsMiernik` (empty: on
/// any meter), from the day `od` on (invalid: from the beginning), is the
/// point `qsPunkt`. A new version of a rule supersedes it; one with no
/// point withdraws it.
struct TAssetRule
{
    QString qsUuid;
    QString qsNazwa;
    QString qsMiernik;
    QDate od;
    QString qsPunkt;
    qint64 iCzasMs = 0; // when this version was saved (orders rules from one day)

    QString ToJson() const;
    static bool FromJson(const QString &json, TAssetRule *rule);
    static bool FromUtf8(const QByteArray &json, TAssetRule *rule);
};

/// The register as it holds now: the newest version of every node and rule.
class TAssetRegister
{
public:
    TAssetRegister() = default;
    TAssetRegister(const QVector<TAssetNode> &nodes, const QVector<TAssetRule> &rules);

    const QVector<TAssetNode> &Nodes() const { return nodes; }
    const QVector<TAssetRule> &Rules() const { return rules; }
    /// The node of `uuid`, nullptr when none.
    const TAssetNode *Node(const QString &uuid) const;
    /// The children of `uuid` (empty: the customers), sorted by name.
    QVector<const TAssetNode *> Children(const QString &uuid) const;
    /// The names from the top down to `uuid`, e.g. "Energa › GPZ Wola › Pole 3 › Q5 › L1".
    QString Path(const QString &uuid) const;
    /// The node's ancestor on level `typ` (itself when it is on it), nullptr when none.
    const TAssetNode *Ancestor(const QString &uuid, int typ) const;
    /// Retired itself or below a retired node.
    bool Retired(const QString &uuid) const;
    /// The test interval that holds for `uuid`: its own or the nearest
    /// ancestor's, in months; 0 when none is set anywhere above.
    int Interwal(const QString &uuid) const;
    /// The last repair of the point or any node above it, invalid when none.
    QDate OstatniaNaprawa(const QString &uuid) const;

    /// The point that the name `nazwa` measured on meter `miernik` at
    /// `czas` stands for: of the rules for this name and meter (or any
    /// meter) that hold by then, the one from the latest day, one for this
    /// very meter before one for any meter. Empty when no rule maps it.
    QString PunktOf(const QString &nazwa, const QString &miernik, qint64 czas) const;
    /// The rules that map to `punkt`, by day and then by when they were saved.
    QVector<TAssetRule> RulesOf(const QString &punkt) const;
    /// The meter name mapped to `punkt` by its newest rule, empty when none.
    QString NazwaOf(const QString &punkt) const;
    /// Whether more than one rule could hold for name `nazwa` (rules that
    /// split its measurements by date or meter).
    bool Split(const QString &nazwa) const;
    /// Whether some measurements of `punkt`'s names may not be its own (a
    /// rule for one meter or from a day on, or a name that rules split):
    /// its tests then come from its history, not from its names' newest.
    bool Czesciowy(const QString &punkt) const;
    /// The point every measurement of `nazwa` belongs to (its one rule
    /// holds for any meter from the beginning); empty when there is none.
    QString CalaNazwa(const QString &nazwa) const;

private:
    QVector<TAssetNode> nodes;
    QVector<TAssetRule> rules;
    QHash<QString, int> index;              // uuid -> nodes
    QVector<int> parents;                   // nodes -> its parent's place in nodes, -1: none
    QHash<QString, QVector<int>> byName;    // meter name -> rules, by day
    QHash<QString, QVector<int>> byPunkt;   // point -> rules, by day
    QHash<QString, QVector<int>> children;  // parent uuid -> nodes
};

/// Why a node cannot be saved as it is.
enum TAssetProblem {
    AssetProblemNone = 0,
    AssetProblemNoName = 1,      ///< the name is empty
    AssetProblemNoParent = 2,    ///< the parent is not in the register (or a customer has one)
    AssetProblemParentLevel = 3, ///< the parent is not on a higher level
    AssetProblemChildLevel = 4   ///< a child would no longer be below it (its level was changed)
};
/// The problem's text (translated, context QObject).
QString AssetProblemText(int problem);
/// What keeps `node` (a new one, or a changed version of one in `reg`)
/// from being saved; AssetProblemNone when nothing.
int CheckNode(const TAssetRegister &reg, const TAssetNode &node);

/// The form of a meter's name that tells names apart only by what people
/// mean: no blanks or punctuation, lower case, Polish letters as plain
/// Latin ones ("Q5  L1", "q5-l1" and "Q5 L1" are one; "Wyłącznik" is "wylacznik").
QString NormalizedName(const QString &name);

/// A meter's name measured on a meter, and where it was seen.
struct TAssetNazwa
{
    QString qsNazwa;
    QString qsMiernik;
    qint64 iOstatni = 0; // its newest measurement
};

/// A rule a person may confirm: `nazwa` on `miernik` looks like the name
/// `qsJak` that is mapped to `qsPunkt` already.
struct TAssetSugestia
{
    QString qsNazwa;
    QString qsMiernik;
    QString qsPunkt;
    QString qsJak;
};

/// Suggestions for the names not mapped at their newest measurement:
/// those whose normalized form equals that of a name rules map to one
/// point (the rules on the same meter or on any meter where there are
/// such, else all), sorted by name and meter. A name nothing looks like,
/// or one that looks like names of several points, gets none.
QVector<TAssetSugestia> Sugestie(const TAssetRegister &reg, const QVector<TAssetNazwa> &names);

/// One row of a point's history: a measurement, its meter name and meter.
struct TAssetHistoriaRow
{
    THistoriaRow row; // its id is the archive's
    QString qsNazwa;
    QString qsMiernik;
};

/// The point's history from the histories of meter names: every row some
/// rule gives to `punkt`, across names and meters, in time order (then id).
QVector<TAssetHistoriaRow> PunktHistoria(const TAssetRegister &reg, const QString &punkt,
                                         const QVector<TAssetHistoriaRow> &rows);

// ---- due and overdue

enum TAssetStan {
    AssetWTerminie = 0, ///< due within the month asked for
    AssetZalegly = 1,   ///< overdue: due before today
    AssetNigdy = 2      ///< never tested (no valid test since it was mapped)
};
/// "Do wykonania", "Zaległy", "Nigdy nie badany" (translated, context QObject).
QString AssetStanText(int stan);

/// One point that is due.
struct TAssetTermin
{
    QString qsPunkt;
    QString qsLokalizacja; // the site's uuid, empty when the point is in none
    QString qsSciezka;     // Path()
    int iInterwal = 0;     // months
    qint64 iOstatni = 0;   // the last valid test, 0: none
    QDate nastepny;        // the next due date, invalid when never tested
    int iStan = AssetWTerminie;
};

/// The points that are due by the end of the month of `miesiac` or
/// overdue at `dzis`: every point with an interval that is not retired,
/// due on its last valid test (`ostatnie`, keyed by point) plus its
/// interval. Sorted by site (its path), then the due date (never tested
/// first), then the point's path.
QVector<TAssetTermin> Terminy(const TAssetRegister &reg, const QHash<QString, qint64> &ostatnie,
                              const QDate &miesiac, const QDate &dzis);

/// The last valid test of each point whose names are wholly its own (not
/// Czesciowy), from each meter name's newest test (`tests`: name, time).
QHash<QString, qint64> OstatniePerPunkt(const TAssetRegister &reg, const QVector<TAssetNazwa> &tests);

/// The local day `czas` falls on.
QDate AssetDate(qint64 czas);
/// The first second of local day `date`.
qint64 AssetDayStart(const QDate &date);

#endif // ASSETREGISTER_H
