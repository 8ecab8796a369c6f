#include "visit/wizyta.h"

#include "archive/tarchive.h"
#include "historia/historia.h"
#include "verdict/verdict.h"
#include "verdict/verdictstore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <memory>

const char kRodzajWizyta[] = "wizyta";
const char kRodzajZatwierdzenie[] = "wizyta_zatwierdzenie";
const char kRodzajSwiadectwo[] = "swiadectwo_wzorcowania";

namespace {

QString K(const char *kind) { return QLatin1String(kind); }

QString Compact(const QJsonObject &o) { return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)); }

QJsonObject ObjectOf(const QString &json) { return QJsonDocument::fromJson(json.toUtf8()).object(); }

// A number that may be missing: JSON has no NaN.
QJsonValue Num(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(); }
double NumOf(const QJsonValue &v) { return v.isDouble() ? v.toDouble() : qQNaN(); }

QString DateText(const QDate &d) { return d.isValid() ? d.toString(Qt::ISODate) : QString(); }

QJsonObject OsobaJson(const TOsoba &o)
{
    return QJsonObject{{QStringLiteral("imie"), o.qsImie}, {QStringLiteral("uprawnienia"), o.qsUprawnienia}};
}
TOsoba OsobaOf(const QJsonObject &o)
{
    return TOsoba{o.value(QStringLiteral("imie")).toString(), o.value(QStringLiteral("uprawnienia")).toString()};
}

// The time of a new version: after every version of the subject before it,
// also when two are saved within a millisecond, so the newest is the last saved.
qint64 NextTime(TArchive *archive, const char *kind, const QString &subject)
{
    qint64 czas = QDateTime::currentMSecsSinceEpoch();
    TArchiveEntry last;
    if (archive->LatestEntry(K(kind), subject, &last) && last.iCzasMs >= czas)
        czas = last.iCzasMs + 1;
    return czas;
}

QString SwiadectwoSubject(const QString &serial) { return QLatin1String("m:") + serial; }

// The newest version of the visit and the newest approval's time.
struct TNewest
{
    TArchiveEntry wizyta;
    QVector<TZatwierdzenie> zatwierdzenia;
};

// Since when visit `uuid` has had `numer`: the time of the oldest of its
// newest versions that carry it.
qint64 NumerOd(TArchive *archive, const QString &uuid, const QString &numer)
{
    const QVector<TArchiveEntry> versions = archive->Entries(K(kRodzajWizyta), WizytaSubject(uuid));
    qint64 od = 0;
    for (int i = versions.size() - 1; i >= 0; --i) {
        if (TWizyta::FromJsonObject(ObjectOf(versions.at(i).qsWartosc)).qsNumer.trimmed() != numer)
            break;
        od = versions.at(i).iCzasMs;
    }
    return od;
}

// Marks the visits of `list` whose number another visit of `latest` (the
// newest version of every visit) has too. Two laptops can number visits
// alike before a sync brings them together; the server carries both
// unchanged, so each archive decides alike from the entries: the one that
// took the number first (by time, then uuid) keeps it.
void MarkNumbers(TArchive *archive, const QHash<QString, TArchiveEntry> &latest, QVector<TWizytaInfo> *list)
{
    QHash<QString, QStringList> byNumber;
    for (const TArchiveEntry &e : latest) {
        const TWizyta w = TWizyta::FromJsonObject(ObjectOf(e.qsWartosc));
        if (!w.bUsunieta)
            byNumber[w.qsNumer.trimmed()] << e.qsPrzedmiot.mid(2);
    }
    for (TWizytaInfo &info : *list) {
        const QString numer = info.wizyta.qsNumer.trimmed();
        const QStringList same = byNumber.value(numer);
        if (same.size() < 2 || info.wizyta.bUsunieta)
            continue;
        info.bNumerPowtorzony = true;
        const auto since = [&](const QString &uuid) { return qMakePair(NumerOd(archive, uuid, numer), uuid); };
        const auto own = since(info.wizyta.qsUuid);
        for (const QString &uuid : same)
            if (uuid != info.wizyta.qsUuid && since(uuid) < own)
                info.bNumerZajety = true;
    }
}

TWizytaInfo InfoOf(const TArchiveEntry &e, const QVector<TZatwierdzenie> &approved)
{
    TWizytaInfo info;
    info.wizyta = TWizyta::FromJsonObject(ObjectOf(e.qsWartosc));
    info.wizyta.qsUuid = e.qsPrzedmiot.mid(2);
    info.iZatwierdzone = approved.size();
    info.bZamrozona = !approved.isEmpty() && approved.last().iCzasMs >= e.iCzasMs;
    return info;
}

// Approvals of one visit as stored, rev 0 first, without the snapshots
// when `full` is false (the list needs only their count and times).
QVector<TZatwierdzenie> Approvals(TArchive *archive, const QString &uuid, bool full)
{
    QVector<TZatwierdzenie> out;
    for (const TArchiveEntry &e : archive->Entries(K(kRodzajZatwierdzenie), WizytaSubject(uuid))) {
        const QJsonObject o = ObjectOf(e.qsWartosc);
        const int rev = o.value(QStringLiteral("rev")).toInt(-1);
        // Entries come oldest first (by time, then uuid on every archive):
        // the first approval of a revision holds, a later one of the same
        // revision (made apart on another laptop) is not one.
        if (rev != out.size())
            continue;
        TZatwierdzenie z;
        z.iRev = rev;
        z.qsUuid = e.qsUuid;
        z.qsAutor = e.qsAutor;
        z.iCzasMs = e.iCzasMs;
        if (full) {
            z.snapshot = o.value(QStringLiteral("snapshot")).toObject();
            z.pdf = QByteArray::fromBase64(o.value(QStringLiteral("pdf")).toString().toLatin1());
            z.sha256 = QByteArray::fromHex(o.value(QStringLiteral("sha256")).toString().toLatin1());
        }
        out.append(z);
    }
    return out;
}

// The test current of each record (NaN where it has none or cannot be
// read). Unpacking and checking 240 kB a record is most of a protocol's
// time, so a long list is read on two threads, the second with a
// connection of its own as an import has.
QVector<double> PradyTestu(TArchive *archive, const QVector<qint64> &ids)
{
    QVector<double> prady(ids.size(), qQNaN());
    const auto read = [&ids, &prady](TArchive *a, int from, int to) {
        std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
        for (int i = from; i < to; ++i)
            if (a->ReadRecord(ids.at(i), rec.get()) == ArchiveOk)
                prady[i] = PradTestu(rec.get());
    };
    const int half = QThread::idealThreadCount() > 1 && ids.size() >= 16 ? ids.size() / 2 : ids.size();
    bool secondRead = false;
    const QString path = archive->Path();
    std::unique_ptr<QThread> second(QThread::create([&]() {
        TArchive other;
        if (other.Open(path) == ArchiveOk) {
            read(&other, half, ids.size());
            secondRead = true;
        }
    }));
    if (half < ids.size())
        second->start();
    read(archive, 0, half);
    second->wait();
    if (!secondRead)
        read(archive, half, ids.size());
    return prady;
}

} // namespace

QString WizytaSubject(const QString &uuid) { return QLatin1String("w:") + uuid; }

QJsonObject TWizyta::ToJsonObject() const
{
    QJsonObject o;
    o.insert(QStringLiteral("numer"), qsNumer);
    o.insert(QStringLiteral("klient"), qsKlient);
    o.insert(QStringLiteral("miejsce"), qsMiejsce);
    o.insert(QStringLiteral("od"), DateText(od));
    o.insert(QStringLiteral("do"), DateText(doDnia));
    QJsonArray ludzie;
    for (const TOsoba &p : wykonali)
        ludzie.append(OsobaJson(p));
    o.insert(QStringLiteral("wykonali"), ludzie);
    o.insert(QStringLiteral("sprawdzil"), OsobaJson(sprawdzil));
    o.insert(QStringLiteral("t_otoczenia"), Num(dTOtoczenia));
    o.insert(QStringLiteral("warunki"), qsWarunki);
    o.insert(QStringLiteral("uwagi"), qsUwagi);
    o.insert(QStringLiteral("plan"), QJsonArray::fromStringList(plan));
    QJsonObject wyb;
    for (auto it = wybor.constBegin(); it != wybor.constEnd(); ++it)
        wyb.insert(it.key(), QJsonArray::fromStringList(it.value()));
    o.insert(QStringLiteral("wybor"), wyb);
    o.insert(QStringLiteral("usunieta"), bUsunieta);
    return o;
}

TWizyta TWizyta::FromJsonObject(const QJsonObject &o)
{
    TWizyta w;
    w.qsNumer = o.value(QStringLiteral("numer")).toString();
    w.qsKlient = o.value(QStringLiteral("klient")).toString();
    w.qsMiejsce = o.value(QStringLiteral("miejsce")).toString();
    w.od = QDate::fromString(o.value(QStringLiteral("od")).toString(), Qt::ISODate);
    w.doDnia = QDate::fromString(o.value(QStringLiteral("do")).toString(), Qt::ISODate);
    for (const QJsonValue &v : o.value(QStringLiteral("wykonali")).toArray())
        w.wykonali.append(OsobaOf(v.toObject()));
    w.sprawdzil = OsobaOf(o.value(QStringLiteral("sprawdzil")).toObject());
    w.dTOtoczenia = NumOf(o.value(QStringLiteral("t_otoczenia")));
    w.qsWarunki = o.value(QStringLiteral("warunki")).toString();
    w.qsUwagi = o.value(QStringLiteral("uwagi")).toString();
    for (const QJsonValue &v : o.value(QStringLiteral("plan")).toArray())
        w.plan.append(v.toString());
    const QJsonObject wyb = o.value(QStringLiteral("wybor")).toObject();
    for (auto it = wyb.constBegin(); it != wyb.constEnd(); ++it) {
        QStringList s;
        for (const QJsonValue &v : it.value().toArray())
            s.append(v.toString());
        w.wybor.insert(it.key(), s);
    }
    w.bUsunieta = o.value(QStringLiteral("usunieta")).toBool();
    return w;
}

bool TWizyta::operator==(const TWizyta &o) const
{
    return qsUuid == o.qsUuid && ToJsonObject() == o.ToJsonObject();
}

TWizyta WizytaZPlanu(const QString &numer, const QStringList &obiekty)
{
    TWizyta w;
    w.qsNumer = numer;
    w.od = w.doDnia = QDate::currentDate();
    for (const QString &name : obiekty)
        if (!name.isEmpty() && !w.plan.contains(name))
            w.plan.append(name);
    return w;
}

// ---- certificates

TSwiadectwo ReadSwiadectwo(TArchive *archive, const QString &serial)
{
    TSwiadectwo s;
    TArchiveEntry e;
    if (archive->LatestEntry(K(kRodzajSwiadectwo), SwiadectwoSubject(serial), &e)) {
        const QJsonObject o = ObjectOf(e.qsWartosc);
        s.qsNumer = o.value(QStringLiteral("numer")).toString();
        s.wazneDo = QDate::fromString(o.value(QStringLiteral("wazne_do")).toString(), Qt::ISODate);
    }
    return s;
}

int SaveSwiadectwo(TArchive *archive, const QString &serial, const TSwiadectwo &s)
{
    const TSwiadectwo old = ReadSwiadectwo(archive, serial);
    if (old.qsNumer == s.qsNumer && old.wazneDo == s.wazneDo)
        return ArchiveOk;
    const QString subject = SwiadectwoSubject(serial);
    const QJsonObject o{{QStringLiteral("numer"), s.qsNumer}, {QStringLiteral("wazne_do"), DateText(s.wazneDo)}};
    return archive->AddEntry(K(kRodzajSwiadectwo), subject, Compact(o), nullptr,
                             NextTime(archive, kRodzajSwiadectwo, subject));
}

bool SwiadectwoWygasle(const TSwiadectwo &s, const QDate &dzien)
{
    return s.wazneDo.isValid() && dzien.isValid() && s.wazneDo < dzien;
}

// ---- visits

QVector<TWizytaInfo> ReadWizyty(TArchive *archive)
{
    QVector<TWizytaInfo> list;
    const QHash<QString, TArchiveEntry> latest = archive->LatestEntries(K(kRodzajWizyta));
    for (const TArchiveEntry &e : latest) {
        TWizytaInfo info = InfoOf(e, Approvals(archive, e.qsPrzedmiot.mid(2), false));
        if (!info.wizyta.bUsunieta)
            list.append(info);
    }
    MarkNumbers(archive, latest, &list);
    std::sort(list.begin(), list.end(), [](const TWizytaInfo &a, const TWizytaInfo &b) {
        if (a.wizyta.qsNumer != b.wizyta.qsNumer)
            return a.wizyta.qsNumer < b.wizyta.qsNumer;
        if (a.bNumerZajety != b.bNumerZajety)
            return b.bNumerZajety;
        return a.wizyta.qsUuid < b.wizyta.qsUuid;
    });
    return list;
}

bool ReadWizyta(TArchive *archive, const QString &uuid, TWizytaInfo *info)
{
    TArchiveEntry e;
    if (uuid.isEmpty() || !archive->LatestEntry(K(kRodzajWizyta), WizytaSubject(uuid), &e))
        return false;
    QVector<TWizytaInfo> one{InfoOf(e, Approvals(archive, uuid, false))};
    MarkNumbers(archive, archive->LatestEntries(K(kRodzajWizyta)), &one);
    *info = one.first();
    return true;
}

bool FindWizyta(TArchive *archive, const QString &numer, TWizytaInfo *info)
{
    for (const TWizytaInfo &i : ReadWizyty(archive))
        if (i.wizyta.qsNumer.trimmed() == numer.trimmed()) {
            *info = i;
            return true;
        }
    return false;
}

int SaveWizyta(TArchive *archive, TWizyta *w)
{
    if (w->qsNumer.trimmed().isEmpty())
        return WizytaBezNumeru;
    TWizytaInfo own;
    const bool exists = ReadWizyta(archive, w->qsUuid, &own);
    // The visit that took a number first keeps it when visits made apart
    // share it; any other must take another number first.
    const bool keeps = exists && !own.bNumerZajety && own.wizyta.qsNumer.trimmed() == w->qsNumer.trimmed();
    if (!w->bUsunieta && !keeps)
        for (const TWizytaInfo &other : ReadWizyty(archive))
            if (other.wizyta.qsUuid != w->qsUuid && other.wizyta.qsNumer.trimmed() == w->qsNumer.trimmed())
                return WizytaNumerZajety;
    if (w->qsUuid.isEmpty())
        w->qsUuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString subject = WizytaSubject(w->qsUuid);
    if (exists && own.wizyta == *w)
        return ArchiveOk;
    return archive->AddEntry(K(kRodzajWizyta), subject, Compact(w->ToJsonObject()), nullptr,
                             NextTime(archive, kRodzajWizyta, subject));
}

QString WizytaResultText(int result)
{
    switch (result) {
    case WizytaNumerZajety:
        return QCoreApplication::translate("TWizyta", "Inna wizyta ma już ten numer.");
    case WizytaBezNumeru:
        return QCoreApplication::translate("TWizyta", "Wizyta musi mieć numer.");
    case WizytaZamrozona:
        return QCoreApplication::translate("TWizyta", "Ta rewizja protokołu jest już zatwierdzona.");
    case WizytaNieZnaleziona:
        return QCoreApplication::translate("TWizyta", "Nie ma takiej wizyty.");
    default:
        return QString();
    }
}

// ---- plan and result

bool WDniach(const TWizyta &w, qint64 czas)
{
    if (czas == kHistoriaCzasUnknown)
        return false;
    const QDate d = QDateTime::fromSecsSinceEpoch(czas).date();
    return (!w.od.isValid() || d >= w.od) && (!w.doDnia.isValid() || d <= w.doDnia);
}

int TWizytaStan::Niezmierzone() const
{
    return int(std::count_if(obiekty.begin(), obiekty.end(), [](const TWizytaObiekt &o) { return o.pomiary.isEmpty(); }));
}

int TWizytaStan::Powtorzone() const
{
    return int(std::count_if(obiekty.begin(), obiekty.end(), [](const TWizytaObiekt &o) { return o.pomiary.size() > 1; }));
}

TWizytaStan Dopasuj(TArchive *archive, const TWizyta &w, bool werdykty)
{
    // A visit has hundreds of objects: each table is read once for all of
    // them, not once per object.
    QHash<QString, qint64> ids;
    for (const TArchiveObiekt &o : archive->Obiekty())
        ids.insert(o.qsNazwa, o.iObiektId);
    QVector<qint64> planned;
    for (const QString &name : w.plan)
        if (const qint64 id = ids.value(name))
            planned << id;
    QVector<TArchiveHistoriaRow> all;
    archive->ReadHistorie(planned, &all);
    QHash<qint64, int> firstRow; // rows come by object
    for (int i = all.size() - 1; i >= 0; --i)
        firstRow.insert(all.at(i).iObiektId, i);

    TWizytaStan stan;
    QSet<QString> found;
    QVector<THistoriaDoOceny> doOceny;
    for (const QString &name : w.plan) {
        TWizytaObiekt obiekt;
        obiekt.qsNazwa = name;
        const auto chosen = w.wybor.constFind(name);
        obiekt.bWybrane = chosen != w.wybor.constEnd();
        const qint64 objectId = ids.value(name);
        THistoriaDoOceny ocena;
        ocena.qsObiekt = name;
        for (int i = firstRow.value(objectId, all.size()); objectId != 0 && i < all.size() && all.at(i).iObiektId == objectId;
             ++i) {
            const TArchiveHistoriaRow &r = all.at(i);
            if (obiekt.bWybrane) {
                if (!chosen->contains(r.qsSubject))
                    continue;
                found.insert(r.qsSubject);
            } else if (!WDniach(w, r.row.czas)) {
                continue;
            }
            TWizytaPomiar p;
            p.id = r.row.id;
            p.qsSubject = r.qsSubject;
            p.czas = r.row.czas;
            p.dR = r.row.status == -1 ? qQNaN() : r.row.R;
            p.iStatus = r.row.status;
            p.qsKomentarz = r.row.komentarz;
            p.qsMiernik = r.qsMiernik;
            obiekt.pomiary.append(p);
            ocena.rows << r.row;
            ocena.subjects << r.qsSubject;
        }
        if (werdykty)
            doOceny << ocena;
        stan.obiekty.append(obiekt);
    }
    if (werdykty) {
        const QVector<THistoriaOcena> oceny = OcenHistorie(archive, doOceny);
        for (int n = 0; n < stan.obiekty.size(); ++n)
            for (int i = 0; i < stan.obiekty.at(n).pomiary.size(); ++i) {
                TWizytaPomiar &p = stan.obiekty[n].pomiary[i];
                p.zapis = oceny.at(n).werdykty.at(i);
                p.iWerdykt = p.zapis.Werdykt();
                p.dT = oceny.at(n).temperatury.at(i);
            }
    }
    for (auto it = w.wybor.constBegin(); it != w.wybor.constEnd(); ++it)
        if (w.plan.contains(it.key()))
            for (const QString &s : it.value())
                if (!found.contains(s))
                    stan.brakujaceWybrane.append(s);
    stan.brakujaceWybrane.sort();
    return stan;
}

// ---- the protocol's data

QJsonObject ProtokolSnapshot(TArchive *archive, const TWizyta &w, int rev, const QString &zatwierdzil, qint64 czasMs,
                             bool wykresy)
{
    const TWizytaStan stan = Dopasuj(archive, w, true);
    QJsonObject snap;
    snap.insert(QStringLiteral("uuid"), w.qsUuid);
    snap.insert(QStringLiteral("rev"), rev);
    snap.insert(QStringLiteral("wizyta"), w.ToJsonObject());
    snap.insert(QStringLiteral("zatwierdzil"), zatwierdzil);
    // Only when chosen: a protocol without the appendix reads as before it existed.
    if (wykresy)
        snap.insert(QStringLiteral("wykresy"), true);
    // The day of approval in the approver's own calendar, as signed.
    snap.insert(QStringLiteral("data_zatwierdzenia"),
                czasMs > 0 ? DateText(QDateTime::fromMSecsSinceEpoch(czasMs).date()) : QString());

    QVector<qint64> ids;
    for (const TWizytaObiekt &o : stan.obiekty)
        for (const TWizytaPomiar &p : o.pomiary)
            ids << p.id;
    const QVector<double> prady = PradyTestu(archive, ids);
    int n = 0;
    QStringList serials;
    QJsonArray obiekty;
    for (const TWizytaObiekt &o : stan.obiekty) {
        QJsonArray pomiary;
        for (const TWizytaPomiar &p : o.pomiary) {
            const TWerdyktZapis &z = p.zapis;
            if (!p.qsMiernik.isEmpty() && !serials.contains(p.qsMiernik))
                serials.append(p.qsMiernik);
            QJsonObject m;
            m.insert(QStringLiteral("pomiar"), p.qsSubject);
            // The wall time as the technician saw it, kept as text so that a
            // protocol reads the same on a laptop in another time zone.
            m.insert(QStringLiteral("czas"), HistoriaCzasText(p.czas));
            m.insert(QStringLiteral("r"), Num(p.dR));
            m.insert(QStringLiteral("poza_zakresem"), p.iStatus == -1);
            m.insert(QStringLiteral("i"), Num(prady.at(n++)));
            m.insert(QStringLiteral("t"), Num(p.dT));
            m.insert(QStringLiteral("r_kor"), Num(z.ocena.dRKor));
            m.insert(QStringLiteral("t_ref"), Num(z.material.dTRef));
            m.insert(QStringLiteral("limity"), QJsonDocument::fromJson(z.limity.ToJson().toUtf8()).object());
            m.insert(QStringLiteral("werdykt"), WerdyktKey(z.Werdykt()));
            m.insert(QStringLiteral("powod"), z.qsPowod);
            m.insert(QStringLiteral("komentarz"), p.qsKomentarz);
            m.insert(QStringLiteral("miernik"), p.qsMiernik);
            pomiary.append(m);
        }
        obiekty.append(QJsonObject{{QStringLiteral("nazwa"), o.qsNazwa}, {QStringLiteral("pomiary"), pomiary}});
    }
    snap.insert(QStringLiteral("obiekty"), obiekty);
    QJsonArray mierniki;
    serials.sort();
    for (const QString &serial : serials) {
        const TSwiadectwo s = ReadSwiadectwo(archive, serial);
        mierniki.append(QJsonObject{{QStringLiteral("serial"), serial},
                                    {QStringLiteral("swiadectwo"), s.qsNumer},
                                    {QStringLiteral("wazne_do"), DateText(s.wazneDo)},
                                    {QStringLiteral("wygaslo"), SwiadectwoWygasle(s, w.doDnia.isValid() ? w.doDnia : w.od)}});
    }
    snap.insert(QStringLiteral("mierniki"), mierniki);
    snap.insert(QStringLiteral("brakujace_wybrane"), QJsonArray::fromStringList(stan.brakujaceWybrane));
    return snap;
}

// ---- approval

bool TZatwierdzenie::PdfIntact() const
{
    return !pdf.isEmpty() && QCryptographicHash::hash(pdf, QCryptographicHash::Sha256) == sha256;
}

QVector<TZatwierdzenie> ReadZatwierdzenia(TArchive *archive, const QString &uuid)
{
    return Approvals(archive, uuid, true);
}

int BiezacaRewizja(const TWizytaInfo &info)
{
    return info.bZamrozona ? info.iZatwierdzone - 1 : info.iZatwierdzone;
}

int Zatwierdz(TArchive *archive, const TWizyta &w, const QJsonObject &snapshot, const QByteArray &pdf)
{
    TWizytaInfo info;
    if (!ReadWizyta(archive, w.qsUuid, &info))
        return WizytaNieZnaleziona;
    if (info.bZamrozona)
        return WizytaZamrozona;
    if (info.bNumerZajety)
        return WizytaNumerZajety;
    const QString subject = WizytaSubject(w.qsUuid);
    QJsonObject o;
    o.insert(QStringLiteral("rev"), info.iZatwierdzone);
    o.insert(QStringLiteral("snapshot"), snapshot);
    o.insert(QStringLiteral("pdf"), QString::fromLatin1(pdf.toBase64()));
    o.insert(QStringLiteral("sha256"),
             QString::fromLatin1(QCryptographicHash::hash(pdf, QCryptographicHash::Sha256).toHex()));
    // After the visit's newest version, so that the visit reads as frozen.
    TArchiveEntry last;
    qint64 czas = NextTime(archive, kRodzajZatwierdzenie, subject);
    if (archive->LatestEntry(K(kRodzajWizyta), subject, &last) && last.iCzasMs >= czas)
        czas = last.iCzasMs + 1;
    return archive->AddEntry(K(kRodzajZatwierdzenie), subject, Compact(o), nullptr, czas);
}
