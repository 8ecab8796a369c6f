#ifndef ASSETSTORE_H
#define ASSETSTORE_H

#include "asset/assetregister.h"
#include "asset/assettrend.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

class TArchive;

// The asset register in the archive: every node and every rule is a
// versioned entry (layouts in readme.md), so that the team server carries
// it as it carries every other entry; nothing is changed in place. The
// lists are worked out from the register and the archive's measurements
// each time they are asked for.

/// Kinds of entries.
extern const char kRodzajZasob[];     // "a:<uuid>": TAssetNode
extern const char kRodzajMapowanie[]; // "m:<uuid>": TAssetRule

/// A node refused by CheckNode (the problem is in `*problem`).
constexpr int AssetRefused = -20;

/// The register as the archive holds it now. False with the reason when
/// the archive is not open.
bool ReadRegister(TArchive *archive, TAssetRegister *reg, QString *errorText = nullptr);
/// Saves `node` as its newest version (a new node gets its uuid here),
/// when CheckNode against `reg` finds nothing, and only when it differs
/// from what `reg` holds. ArchiveOk, AssetRefused (with `*problem`) or the
/// archive's failure. Renaming, moving and retiring are saving a changed copy.
int SaveNode(TArchive *archive, const TAssetRegister &reg, TAssetNode *node, int *problem = nullptr);
/// Saves `rule` as its newest version (a new rule gets its uuid here); one
/// with an empty point withdraws it. ArchiveOk or the archive's failure.
int SaveRule(TArchive *archive, TAssetRule *rule);
/// Every version of node `uuid`, oldest first (its history of names and places).
QVector<TAssetNode> NodeVersions(TArchive *archive, const QString &uuid);

/// Every meter name on every meter in the archive (or, without
/// `perMeter`, every meter name with the meter of its newest measurement),
/// with its newest valid measurement there. False with the reason.
bool ReadNazwy(TArchive *archive, QVector<TAssetNazwa> *names, bool perMeter = true, QString *errorText = nullptr);

/// Point `punkt`'s history: every measurement its rules give it, across
/// names and meters, in time order. False with the reason.
bool ReadPunktHistoria(TArchive *archive, const TAssetRegister &reg, const QString &punkt,
                       QVector<TAssetHistoriaRow> *rows, QString *errorText = nullptr);

/// The due list (see Terminy) from the archive's measurements.
bool ReadTerminy(TArchive *archive, const TAssetRegister &reg, const QDate &miesiac, const QDate &dzis,
                 QVector<TAssetTermin> *list, QString *errorText = nullptr);
/// A site's due list as the meter names to measure (each point's newest
/// rule's name), in the due list's order: the plan of a site visit.
QStringList SiteDueNames(TArchive *archive, const TAssetRegister &reg, const QString &site,
                         const QDate &miesiac, const QDate &dzis, QString *errorText = nullptr);

/// One line of the watch list.
struct TAssetObserwacja
{
    QString qsPunkt;
    QString qsSciezka;
    TObserwacja o;
};

/// What a point is judged by: its own settings where set, else those of the
/// meter name its newest rule maps.
struct TAssetUstawienia
{
    TMaterial material;
    TLimity limity;
    TOdniesienie odniesienie;
};

/// The watch line of every point that is not retired: those heading for a
/// limit first, by the day they reach it, then the rest by path. False
/// with the reason.
bool ReadObserwacje(TArchive *archive, const TAssetRegister &reg, QVector<TAssetObserwacja> *list,
                    QString *errorText = nullptr);
/// The watch line of one point from its history (as ReadPunktHistoria gives it).
TAssetObserwacja ObserwacjaPunktu(TArchive *archive, const TAssetRegister &reg, const QString &punkt,
                                  const QVector<TAssetHistoriaRow> &rows);

#endif // ASSETSTORE_H
