#ifndef WIZYTA_H
#define WIZYTA_H

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include "verdict/verdictstore.h"

class TArchive;

// A site visit ("wizyta"): a numbered order of a customer to measure a list
// of objects at a site on given dates, and the protocol handed over for it.
// Everything lives in the archive as versioned entries (layouts in
// readme.md), so the team server carries it as it carries every other
// entry; nothing is ever changed in place.

/// Kinds of entries.
extern const char kRodzajWizyta[];        // visit: TWizyta
extern const char kRodzajZatwierdzenie[]; // visit: an approved revision (snapshot, PDF, SHA-256)
extern const char kRodzajSwiadectwo[];    // meter: TSwiadectwo

/// A person of the visit and the number of their qualification certificate.
struct TOsoba
{
    QString qsImie;
    QString qsUprawnienia;
    bool operator==(const TOsoba &o) const { return qsImie == o.qsImie && qsUprawnienia == o.qsUprawnienia; }
};

/// A visit as the technician edits it.
struct TWizyta
{
    QString qsUuid;          // the same in every archive; empty until saved
    QString qsNumer;         // the firm's own number, e.g. "12/2026"
    QString qsKlient;
    QString qsMiejsce;       // the site
    QDate od, doDnia;        // first and last day (local dates)
    QVector<TOsoba> wykonali; // who measured
    TOsoba sprawdzil;        // who checked
    double dTOtoczenia = qQNaN(); // ambient temperature, °C; NaN: not noted
    QString qsWarunki;       // conditions
    QString qsUwagi;         // remarks for the protocol's summary
    QStringList plan;        // the objects to measure, in the protocol's order
    /// The technician's own choice of an object's measurements (their
    /// subjects, TArchive::PomiarSubject), replacing the ones found within
    /// the dates; an object not here takes what the dates give.
    QHash<QString, QStringList> wybor;
    bool bUsunieta = false;

    QJsonObject ToJsonObject() const;
    static TWizyta FromJsonObject(const QJsonObject &o);
    bool operator==(const TWizyta &o) const;
};

/// A visit whose plan is `obiekty` (e.g. a site's due list), numbered
/// `numer`, dated today; not yet saved.
TWizyta WizytaZPlanu(const QString &numer, const QStringList &obiekty);

/// A meter's calibration certificate.
struct TSwiadectwo
{
    QString qsNumer;
    QDate wazneDo; // valid until (inclusive)
    bool IsSet() const { return !qsNumer.isEmpty() || wazneDo.isValid(); }
};
TSwiadectwo ReadSwiadectwo(TArchive *archive, const QString &serial);
/// Saves the certificate of meter `serial` as a new version (when it differs).
int SaveSwiadectwo(TArchive *archive, const QString &serial, const TSwiadectwo &s);
/// Whether a certificate was expired on `dzien` (none known counts as not expired: nothing to warn of but its absence).
bool SwiadectwoWygasle(const TSwiadectwo &s, const QDate &dzien);

/// One visit of the list, with its state.
struct TWizytaInfo
{
    TWizyta wizyta;
    int iZatwierdzone = 0;   // approved revisions
    bool bZamrozona = false; // its newest revision is approved
    bool bNumerPowtorzony = false; // another visit has the same number (made apart before a sync)
    /// Another visit took the same number before this one did (made apart
    /// before a sync; every archive agrees which): this one's number must
    /// change before it is saved or approved.
    bool bNumerZajety = false;
};

/// Every visit that is not removed, by number (of visits numbered alike,
/// the one that took the number first comes first). Reads no snapshot.
QVector<TWizytaInfo> ReadWizyty(TArchive *archive);
/// The visit `uuid` (newest version); false when there is none.
bool ReadWizyta(TArchive *archive, const QString &uuid, TWizytaInfo *info);
/// The visit numbered `numer` (not removed; the one that took the number
/// first where visits made apart share it); false when none.
bool FindWizyta(TArchive *archive, const QString &numer, TWizytaInfo *info);

/// Result codes of SaveWizyta and Zatwierdz besides the archive's.
enum TWizytaResult {
    WizytaNumerZajety = -101, ///< another visit has this number
    WizytaBezNumeru = -102,   ///< a visit needs a number
    WizytaZamrozona = -103,   ///< its newest revision is approved already
    WizytaNieZnaleziona = -104 ///< no such visit
};
/// Saves `*w` as a new version (a new uuid when it has none). An approved
/// visit saved again becomes the next revision's draft; the approved one
/// stays as it was. ArchiveOk, a TWizytaResult or the archive's failure.
int SaveWizyta(TArchive *archive, TWizyta *w);
/// The reason of a TWizytaResult (translated), or empty for another code.
QString WizytaResultText(int result);

/// One measurement of the visit.
struct TWizytaPomiar
{
    qint64 id = 0;         // the archive's id
    QString qsSubject;     // its subject in entries
    qint64 czas = 0;       // seconds since 1970 UTC
    double dR = qQNaN();   // ohms as measured; NaN: none or out of range
    int iStatus = 0;
    QString qsKomentarz;
    QString qsMiernik;     // the meter's serial
    int iWerdykt = 0;      // TWerdykt that holds (stored, or by today's limits); only when asked of Dopasuj
    TWerdyktZapis zapis;   // the verdict and what it was judged by; only when asked of Dopasuj
    double dT = qQNaN();   // the temperature typed for it, °C; only when asked of Dopasuj
};

/// One object of the plan and the measurements that are its in the visit.
struct TWizytaObiekt
{
    QString qsNazwa;
    QVector<TWizytaPomiar> pomiary; // time order
    bool bWybrane = false;          // chosen by the technician rather than by the dates
};

/// The plan matched against the archive: each object's measurements within
/// the dates (or as chosen), the measurements the technician chose that
/// are no longer in the archive. Pure reading; `werdykty` also reads
/// each measurement's verdict (as ProtokolSnapshot does, without its test
/// current).
struct TWizytaStan
{
    QVector<TWizytaObiekt> obiekty;
    QStringList brakujaceWybrane; // chosen subjects the archive does not hold
    int Niezmierzone() const;
    int Powtorzone() const;
};
TWizytaStan Dopasuj(TArchive *archive, const TWizyta &w, bool werdykty = false);

/// Whether `czas` (seconds, UTC) falls on one of the visit's local days.
bool WDniach(const TWizyta &w, qint64 czas);

/// The protocol's data as it stands now: the visit, its meters with their
/// certificates, every object's measurements with temperature, test
/// current, corrected R, the limits in force and the verdict (the stored
/// one, or today's limits' where none is stored; nothing is written).
/// `rev` is the revision it is for; `wykresy`: the PDF has the appendix of
/// each measurement's chart. Layout in readme.md.
QJsonObject ProtokolSnapshot(TArchive *archive, const TWizyta &w, int rev, const QString &zatwierdzil = QString(),
                             qint64 czasMs = 0, bool wykresy = false);

/// One approved revision.
struct TZatwierdzenie
{
    int iRev = 0;
    QString qsUuid;         // of its entry
    QString qsAutor;
    qint64 iCzasMs = 0;
    QJsonObject snapshot;
    QByteArray pdf;
    QByteArray sha256;      // of pdf, as stored (32 bytes)
    bool PdfIntact() const; // the PDF matches its SHA-256
};
/// The approved revisions of visit `uuid`, rev 0 first. Where two archives
/// approved the same revision apart, the first one (by time, then uuid)
/// holds on every archive and the other is not shown.
QVector<TZatwierdzenie> ReadZatwierdzenia(TArchive *archive, const QString &uuid);
/// Stores an approval of the visit's next revision: `snapshot` (from
/// ProtokolSnapshot) and `pdf` with its SHA-256. WizytaZamrozona when the
/// newest revision is approved already.
int Zatwierdz(TArchive *archive, const TWizyta &w, const QJsonObject &snapshot, const QByteArray &pdf);
/// The revision the visit's draft is (the number of approved revisions),
/// or the newest approved one when the visit is frozen.
int BiezacaRewizja(const TWizytaInfo &info);

/// The archive's subject of a visit.
QString WizytaSubject(const QString &uuid);

#endif // WIZYTA_H
