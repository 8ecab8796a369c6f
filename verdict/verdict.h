#ifndef VERDICT_H
#define VERDICT_H

#include <QString>
#include <QStringList>
#include <QVector>

class QJsonObject;

#include <limits>

// Judging a measurement: the temperature correction of a winding's
// resistance, an object's limits and the verdict they give, and the
// comparison of sister objects. Pure computations; what a person typed
// reaches them from the archive (verdictstore.h). Resistances in ohms,
// temperatures in °C, percentages as percent.

/// A value that is not there (no temperature, no limit).
constexpr double kBrak = std::numeric_limits<double>::quiet_NaN();

/// Temperature constants of the usual winding metals, and the usual
/// reference temperature of a winding's resistance.
constexpr double kMiedzK = 235.0;
constexpr double kAluminiumK = 225.0;
constexpr double kDefaultTRef = 75.0;

/// The verdicts, in rising order of concern, so that the worst of several
/// limits is the largest.
enum TWerdykt {
    WerdyktBrak = 0,          ///< no limit could judge it
    WerdyktDobry = 1,         ///< within every limit
    WerdyktDoSprawdzenia = 2, ///< a limit that asks for a second look was crossed
    WerdyktZly = 3            ///< a limit that fails was crossed
};

/// "Dobry", "Do sprawdzenia", "Zły" (translated, context QObject); empty for none.
QString WerdyktText(int werdykt);
/// The verdict's key in the archive's entries: "dobry", "do_sprawdzenia", "zly", "".
QString WerdyktKey(int werdykt);
/// The verdict of `key`; WerdyktBrak for anything else.
int WerdyktFromKey(const QString &key);

/// `r` (measured at `tMeas`) brought to `tRef` with the metal's constant
/// `k`: r · (k + tRef) / (k + tMeas). NaN when any is not finite or a
/// temperature lies at or below the metal's -k (no resistance there).
double CorrectedR(double r, double tMeas, double k, double tRef);

/// The metal of an object's winding or joint and its reference temperature.
struct TMaterial
{
    QString qsRodzaj = QStringLiteral("miedz"); // "miedz", "aluminium" or "inny"
    double dK = kMiedzK;
    double dTRef = kDefaultTRef;
    bool operator==(const TMaterial &o) const;
    QString ToJson() const;
    static TMaterial FromJson(const QString &json);
    static TMaterial FromObject(const QJsonObject &o);
};

/// An object's reference: one of its measurements (`qsPomiar` is its
/// subject in the archive) or a value typed from a test report. `dR` NaN:
/// no reference; `dT` NaN: its temperature is unknown.
struct TOdniesienie
{
    QString qsPomiar;
    double dR = kBrak;
    double dT = kBrak;
    bool IsSet() const;
    bool operator==(const TOdniesienie &o) const;
    QString ToJson() const;
    static TOdniesienie FromJson(const QString &json);
    static TOdniesienie FromObject(const QJsonObject &o);
};

/// An object's limits; each one NaN when not set, each with the verdict it
/// raises when crossed.
struct TLimity
{
    double dMin = kBrak, dMax = kBrak; // the band, ohms
    int iPasmoWerdykt = WerdyktZly;
    double dZmiana = kBrak;            // largest change against the reference, %
    int iZmianaWerdykt = WerdyktDoSprawdzenia;
    double dGrupa = kBrak;             // largest deviation within the group, %
    int iGrupaWerdykt = WerdyktDoSprawdzenia;
    bool bGrupaOdSredniej = false;     // deviation from the group's mean (else from its lowest)
    bool HasAny() const;
    bool operator==(const TLimity &o) const;
    QString ToJson() const;
    static TLimity FromJson(const QString &json);
    static TLimity FromObject(const QJsonObject &o);
};

/// One member's measurement in a group comparison.
struct TGrupaWartosc
{
    double dR = kBrak;  // ohms as measured; NaN: the member has no measurement
    double dT = kBrak;  // its temperature
    double dK = kMiedzK; // its metal's constant
};

/// The comparison of a group's members.
struct TGrupaPorownanie
{
    bool bKorekcja = false;     // every member had a temperature: corrected values compared
    QVector<double> wartosci;   // the values compared (NaN for a member without one)
    double dNajnizsza = kBrak;  // the lowest of them
    double dSrednia = kBrak;    // their mean
    QVector<double> odNajnizszej; // each one's deviation from the lowest, %
    QVector<double> odSredniej;   // ... and from the mean, %
    int iPorownane = 0;           // members that took part
};

/// Compares the members: when every member with a measurement has a
/// temperature, each one is brought to `tRef` first; otherwise the values
/// as measured are compared (bKorekcja false). Members without a finite,
/// positive resistance below the open circuit take no part.
TGrupaPorownanie PorownajGrupe(const QVector<TGrupaWartosc> &members, double tRef);

/// Why a limit was judged on uncorrected values or not at all (kept in a
/// stored verdict by key; shown through UwagaText).
enum TUwaga {
    UwagaBezTemperatury = 1,       // the measurement has no temperature: no corrected R
    UwagaOdniesienieBezKorekcji = 2, // the change was judged on uncorrected values
    UwagaBrakOdniesienia = 3,      // a change limit without a reference
    UwagaGrupaBezKorekcji = 4,     // the group was compared on uncorrected values
    UwagaGrupaZaMala = 5,          // a group limit without two members to compare
    UwagaBrakWartosci = 6,         // the measurement has no resistance to judge
    UwagaTemperaturaPonizejK = 7   // its temperature is at or below the metal's -K: no corrected R
};
/// The note's text (translated, context QObject).
QString UwagaText(int uwaga);

/// What a measurement is judged on.
struct TOcenaWejscie
{
    double dR = kBrak;  // ohms as measured
    double dT = kBrak;  // its temperature
    TMaterial material;
    TOdniesienie odniesienie; // its dT is the reference's temperature
    TLimity limity;
    /// The group's measurements with this one first; empty when the object
    /// is in no group.
    QVector<TGrupaWartosc> grupa;
};

/// A verdict and what it was reached on.
struct TOcena
{
    int iWerdykt = WerdyktBrak;
    double dRKor = kBrak;   // R at the reference temperature (NaN without temperature)
    double dZmiana = kBrak; // change against the reference, %
    double dOdchylenie = kBrak; // deviation within the group, %, from what the limit names
    QVector<int> uwagi;     // TUwaga, each once
    int iPasmo = WerdyktBrak, iZmiana = WerdyktBrak, iGrupa = WerdyktBrak; // each limit's own
};

/// Judges one measurement: every limit that is set and can be judged gives
/// "Dobry" or the verdict it raises; the worst of them holds. No limit
/// set, or none that could be judged: WerdyktBrak. A band and a change are
/// judged on R at the reference temperature where the temperatures allow,
/// else on R as measured (with a note).
TOcena Ocen(const TOcenaWejscie &in);

struct TDataPomiar;
/// The test current of a record, in amperes: the mean of the pulse's
/// plateau, the rows of the meter's window (rows 1000 to 2999) whose
/// current, less its zero level, is at least 90 % of the window's highest,
/// on the channel the range detection picks. NaN when the record has no
/// current.
double PradTestu(const TDataPomiar *rec);

/// The change of `r` against `ref` in percent; NaN when either is not finite or `ref` is 0.
double Zmiana(double r, double ref);

#endif // VERDICT_H
