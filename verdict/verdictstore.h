#ifndef VERDICTSTORE_H
#define VERDICTSTORE_H

#include "historia/historia.h"
#include "verdict/verdict.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

class TArchive;

// What a person writes about objects, measurements and groups, read from
// and written to the archive as versioned entries (layouts in readme.md):
// nothing is ever changed in place, a new version supersedes. Everything
// here is derived from entries each time it is asked for.

/// Kinds of entries.
extern const char kRodzajMaterial[];     // object: TMaterial
extern const char kRodzajOdniesienie[];  // object: TOdniesienie
extern const char kRodzajLimity[];       // object: TLimity
extern const char kRodzajTemperatura[];  // measurement: {"t": °C or null}
extern const char kRodzajWerdykt[];      // measurement: the automatic verdict and what it was judged by
extern const char kRodzajWerdyktReczny[]; // measurement: {"werdykt": key or "", "powod": text}
extern const char kRodzajGrupa[];        // group: {"nazwa", "obiekty": [...], "usunieta"}

/// An object's settings: the newest version of each.
struct TObiektUstawienia
{
    TMaterial material;
    TOdniesienie odniesienie;
    TLimity limity;
};

/// A group of sister objects.
struct TGrupa
{
    QString qsUuid;
    QString qsNazwa;
    QStringList obiekty; // object names
    bool bUsunieta = false;
};

/// A stored verdict: the automatic one with what it was judged by, and an
/// override beside it.
struct TWerdyktZapis
{
    bool bStored = false;   // an automatic verdict is in the archive
    TOcena ocena;           // the automatic verdict (stored, or judged now when not stored)
    TLimity limity;         // the limits it was judged by
    TOdniesienie odniesienie;
    TMaterial material;
    int iReczny = WerdyktBrak; // the override, WerdyktBrak: none
    QString qsPowod;        // its reason
    QString qsRecznyAutor;
    /// The verdict that holds: the override where there is one.
    int Werdykt() const { return iReczny != WerdyktBrak ? iReczny : ocena.iWerdykt; }
};

TObiektUstawienia ReadUstawienia(TArchive *archive, const QString &obiekt);
/// Each saved as a new version only when it differs from the newest one.
/// ArchiveOk or the archive's failure.
int SaveMaterial(TArchive *archive, const QString &obiekt, const TMaterial &m);
int SaveOdniesienie(TArchive *archive, const QString &obiekt, const TOdniesienie &o);
int SaveLimity(TArchive *archive, const QString &obiekt, const TLimity &l);

/// The temperature typed for measurement `id`, NaN when none.
double ReadTemperatura(TArchive *archive, qint64 id);
/// Saves a temperature (NaN clears it) as a new version.
int SaveTemperatura(TArchive *archive, qint64 id, double t);
/// Saves an override (WerdyktBrak withdraws it) with its reason.
int SaveWerdyktReczny(TArchive *archive, qint64 id, int werdykt, const QString &powod);

/// Every group that is not removed, sorted by name.
QVector<TGrupa> ReadGrupy(TArchive *archive);
/// Saves a group (a new uuid when `grupa->qsUuid` is empty). ArchiveOk or a failure.
int SaveGrupa(TArchive *archive, TGrupa *grupa);
/// The first group (by name) that has `obiekt`, or nullptr.
const TGrupa *GrupaOf(const QVector<TGrupa> &grupy, const QString &obiekt);

/// The JSON of a stored automatic verdict, and back.
QString WerdyktJson(const TOcena &ocena, double r, double t, const TObiektUstawienia &u);
void WerdyktFromJson(const QString &json, TWerdyktZapis *zapis);

/// A verdict for every row of `rows` (an object's history read from the
/// archive): the stored one where there is one, otherwise the one its
/// current limits give now (bStored false); with each row's temperature.
/// The group's sisters are compared by their newest measurement up to the
/// row's time. One call reads each kind of entry once per object.
struct THistoriaOcena
{
    QVector<TWerdyktZapis> werdykty;
    QVector<double> temperatury;
    TObiektUstawienia ustawienia;
    QString qsGrupa; // the group's name, empty for none
};
THistoriaOcena OcenHistorie(TArchive *archive, const QString &obiekt, qint64 objectId,
                            const QVector<THistoriaRow> &rows);
/// One object's history for the OcenHistorie of many objects at once.
struct THistoriaDoOceny
{
    QString qsObiekt;
    QVector<THistoriaRow> rows;
    QStringList subjects; // each row's subject in entries (TArchive::PomiarSubject)
};
/// OcenHistorie of each of `obiekty` (a site visit's), every kind of entry
/// read once for them all instead of once per object.
QVector<THistoriaOcena> OcenHistorie(TArchive *archive, const QVector<THistoriaDoOceny> &obiekty);

/// Judges measurement `id` by its object's current settings, stores the
/// verdict (a new version) and returns it in `*zapis`. ArchiveOk or a failure.
int JudgeAndStore(TArchive *archive, qint64 id, TWerdyktZapis *zapis = nullptr);
/// The verdict that holds for measurement `id`: the stored one, or (when
/// none is stored yet and the object has limits) judged and stored now.
int WerdyktOf(TArchive *archive, qint64 id, TWerdyktZapis *zapis);

/// A group's members side by side: each one's newest measurement.
struct TGrupaWidok
{
    QStringList obiekty;
    QVector<qint64> pomiary;   // archive id of each one's newest measurement with a value, 0: none
    QVector<qint64> czasy;     // its time
    QVector<double> r, t;      // as measured, and its temperature
    TGrupaPorownanie porownanie;
    QVector<TWerdyktZapis> werdykty; // by each member's current settings
};
TGrupaWidok ReadGrupaWidok(TArchive *archive, const TGrupa &grupa);

#endif // VERDICTSTORE_H
