#include "verdict/verdictstore.h"

#include "archive/tarchive.h"
#include "historia/historia.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <functional>

const char kRodzajMaterial[] = "material";
const char kRodzajOdniesienie[] = "odniesienie";
const char kRodzajLimity[] = "limity";
const char kRodzajTemperatura[] = "temperatura";
const char kRodzajWerdykt[] = "werdykt";
const char kRodzajWerdyktReczny[] = "werdykt_reczny";
const char kRodzajGrupa[] = "grupa";

namespace {

QString K(const char *kind)
{
    return QLatin1String(kind);
}

QJsonObject ObjectOf(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

QString Text(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QJsonValue Num(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

double NumOf(const QJsonObject &o, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() && std::isfinite(v.toDouble()) ? v.toDouble() : kBrak;
}

double TemperaturaOf(const QString &json)
{
    return NumOf(ObjectOf(json), "t");
}

// The resistance a verdict judges: a row out of range has none.
double JudgedR(double r, int status)
{
    return status == -1 ? kBrak : r;
}

// Adds `json` as a version of `kind` about `subject` that is newer than
// every version before it, also when two are saved within a millisecond
// (the newest is picked by time first).
int AddNewest(TArchive *archive, const char *kind, const QString &subject, const QString &json)
{
    qint64 czas = QDateTime::currentMSecsSinceEpoch();
    TArchiveEntry latest;
    if (archive->LatestEntry(K(kind), subject, &latest) && latest.iCzasMs >= czas)
        czas = latest.iCzasMs + 1;
    return archive->AddEntry(K(kind), subject, json, nullptr, czas);
}

// Saves `json` as the newest version of `kind` about `subject` unless the
// newest already says the same.
template <class T>
int SaveIfChanged(TArchive *archive, const char *kind, const QString &subject, const T &value)
{
    TArchiveEntry latest;
    if (archive->LatestEntry(K(kind), subject, &latest) && T::FromJson(latest.qsWartosc) == value)
        return ArchiveOk;
    return AddNewest(archive, kind, subject, value.ToJson());
}

// The reference with the temperature its measurement has now: a
// temperature typed after the reference was chosen counts.
TOdniesienie Resolved(TArchive *archive, TOdniesienie o)
{
    if (!o.qsPomiar.isEmpty()) {
        TArchiveEntry e;
        if (archive->LatestEntry(K(kRodzajTemperatura), o.qsPomiar, &e))
            o.dT = TemperaturaOf(e.qsWartosc);
    }
    return o;
}

void ReadReczny(const TArchiveEntry &e, TWerdyktZapis *zapis)
{
    const QJsonObject o = ObjectOf(e.qsWartosc);
    zapis->iReczny = WerdyktFromKey(o.value(QLatin1String("werdykt")).toString());
    zapis->qsPowod = o.value(QLatin1String("powod")).toString();
    zapis->qsRecznyAutor = e.qsAutor;
}

// One sister's history, for the value it had at a given time.
struct TSiostra
{
    QVector<qint64> czasy;
    QVector<double> r, t;
    double dK = kMiedzK;

    void Read(TArchive *archive, const QString &name)
    {
        const qint64 objectId = archive->ObjectId(name);
        if (objectId == 0)
            return;
        dK = ReadUstawienia(archive, name).material.dK;
        QVector<THistoriaRow> rows;
        if (!archive->ReadHistoria(objectId, &rows))
            return;
        const QHash<qint64, TArchiveEntry> temps = archive->LatestPomiarEntries(K(kRodzajTemperatura), objectId);
        for (const THistoriaRow &row : rows) {
            if (!HasValue(row) || row.R <= 0)
                continue;
            czasy.append(row.czas);
            r.append(row.R);
            const auto it = temps.constFind(row.id);
            t.append(it == temps.constEnd() ? kBrak : TemperaturaOf(it->qsWartosc));
        }
    }

    // The newest value at or before `czas`.
    TGrupaWartosc At(qint64 czas) const
    {
        TGrupaWartosc w;
        w.dK = dK;
        const auto it = std::upper_bound(czasy.cbegin(), czasy.cend(), czas);
        if (it == czasy.cbegin())
            return w;
        const int i = int(it - czasy.cbegin()) - 1;
        w.dR = r.at(i);
        w.dT = t.at(i);
        return w;
    }
};

QVector<TSiostra> ReadSiostry(TArchive *archive, const QVector<TGrupa> &grupy, const QString &obiekt,
                              const TLimity &limity, QString *grupaName = nullptr)
{
    QVector<TSiostra> siostry;
    const TGrupa *g = GrupaOf(grupy, obiekt);
    if (!g)
        return siostry;
    if (grupaName)
        *grupaName = g->qsNazwa;
    if (!std::isfinite(limity.dGrupa))
        return siostry; // nothing to judge by the sisters
    for (const QString &name : g->obiekty) {
        if (name == obiekt)
            continue;
        siostry.append(TSiostra());
        siostry.last().Read(archive, name);
    }
    return siostry;
}

TOcenaWejscie Wejscie(const TObiektUstawienia &u, double r, double t, qint64 czas, const QVector<TSiostra> &siostry)
{
    TOcenaWejscie in;
    in.dR = r;
    in.dT = t;
    in.material = u.material;
    in.odniesienie = u.odniesienie;
    in.limity = u.limity;
    if (!siostry.isEmpty()) {
        TGrupaWartosc self;
        self.dR = r;
        self.dT = t;
        self.dK = u.material.dK;
        in.grupa.append(self);
        for (const TSiostra &s : siostry)
            in.grupa.append(s.At(czas));
    }
    return in;
}

} // namespace

// ---------------------------------------------------------------- objects

namespace {

// An object's settings from the newest entry of each kind (nullptr: none).
TObiektUstawienia UstawieniaOf(TArchive *archive, const TArchiveEntry *material, const TArchiveEntry *odniesienie,
                               const TArchiveEntry *limity)
{
    TObiektUstawienia u;
    if (material)
        u.material = TMaterial::FromJson(material->qsWartosc);
    if (odniesienie)
        u.odniesienie = Resolved(archive, TOdniesienie::FromJson(odniesienie->qsWartosc));
    if (limity)
        u.limity = TLimity::FromJson(limity->qsWartosc);
    return u;
}

} // namespace

TObiektUstawienia ReadUstawienia(TArchive *archive, const QString &obiekt)
{
    const QString subject = TArchive::ObiektSubject(obiekt);
    TArchiveEntry m, o, l;
    const bool hasM = archive->LatestEntry(K(kRodzajMaterial), subject, &m);
    const bool hasO = archive->LatestEntry(K(kRodzajOdniesienie), subject, &o);
    const bool hasL = archive->LatestEntry(K(kRodzajLimity), subject, &l);
    return UstawieniaOf(archive, hasM ? &m : nullptr, hasO ? &o : nullptr, hasL ? &l : nullptr);
}

int SaveMaterial(TArchive *archive, const QString &obiekt, const TMaterial &m)
{
    return SaveIfChanged(archive, kRodzajMaterial, TArchive::ObiektSubject(obiekt), m);
}

int SaveOdniesienie(TArchive *archive, const QString &obiekt, const TOdniesienie &o)
{
    return SaveIfChanged(archive, kRodzajOdniesienie, TArchive::ObiektSubject(obiekt), o);
}

int SaveLimity(TArchive *archive, const QString &obiekt, const TLimity &l)
{
    return SaveIfChanged(archive, kRodzajLimity, TArchive::ObiektSubject(obiekt), l);
}

// ---------------------------------------------------------------- measurements

double ReadTemperatura(TArchive *archive, qint64 id)
{
    TArchiveEntry e;
    const QString subject = archive->PomiarSubject(id);
    if (subject.isEmpty() || !archive->LatestEntry(K(kRodzajTemperatura), subject, &e))
        return kBrak;
    return TemperaturaOf(e.qsWartosc);
}

int SaveTemperatura(TArchive *archive, qint64 id, double t)
{
    const QString subject = archive->PomiarSubject(id);
    if (subject.isEmpty())
        return ArchiveNotFound;
    const double before = ReadTemperatura(archive, id);
    if ((std::isnan(before) && std::isnan(t)) || before == t)
        return ArchiveOk;
    return AddNewest(archive, kRodzajTemperatura, subject, Text(QJsonObject{{QStringLiteral("t"), Num(t)}}));
}

int SaveWerdyktReczny(TArchive *archive, qint64 id, int werdykt, const QString &powod)
{
    const QString subject = archive->PomiarSubject(id);
    if (subject.isEmpty())
        return ArchiveNotFound;
    return AddNewest(archive, kRodzajWerdyktReczny, subject,
                             Text(QJsonObject{{QStringLiteral("werdykt"), WerdyktKey(werdykt)},
                                              {QStringLiteral("powod"), powod}}));
}

QString WerdyktJson(const TOcena &ocena, double r, double t, const TObiektUstawienia &u)
{
    QJsonArray uwagi;
    for (int n : ocena.uwagi)
        uwagi.append(n);
    return Text(QJsonObject{
        {QStringLiteral("werdykt"), WerdyktKey(ocena.iWerdykt)},
        {QStringLiteral("r"), Num(r)},
        {QStringLiteral("t"), Num(t)},
        {QStringLiteral("r_kor"), Num(ocena.dRKor)},
        {QStringLiteral("zmiana"), Num(ocena.dZmiana)},
        {QStringLiteral("odchylenie"), Num(ocena.dOdchylenie)},
        {QStringLiteral("pasmo_w"), WerdyktKey(ocena.iPasmo)},
        {QStringLiteral("zmiana_w"), WerdyktKey(ocena.iZmiana)},
        {QStringLiteral("grupa_w"), WerdyktKey(ocena.iGrupa)},
        {QStringLiteral("uwagi"), uwagi},
        {QStringLiteral("material"), ObjectOf(u.material.ToJson())},
        {QStringLiteral("odniesienie"), ObjectOf(u.odniesienie.ToJson())},
        {QStringLiteral("limity"), ObjectOf(u.limity.ToJson())},
    });
}

void WerdyktFromJson(const QString &json, TWerdyktZapis *zapis)
{
    const QJsonObject o = ObjectOf(json);
    const auto sub = [&o](const char *key) { return o.value(QLatin1String(key)).toObject(); };
    zapis->bStored = true;
    TOcena &c = zapis->ocena;
    c.iWerdykt = WerdyktFromKey(o.value(QLatin1String("werdykt")).toString());
    c.dRKor = NumOf(o, "r_kor");
    c.dZmiana = NumOf(o, "zmiana");
    c.dOdchylenie = NumOf(o, "odchylenie");
    c.iPasmo = WerdyktFromKey(o.value(QLatin1String("pasmo_w")).toString());
    c.iZmiana = WerdyktFromKey(o.value(QLatin1String("zmiana_w")).toString());
    c.iGrupa = WerdyktFromKey(o.value(QLatin1String("grupa_w")).toString());
    c.uwagi.clear();
    for (const QJsonValue &v : o.value(QLatin1String("uwagi")).toArray())
        c.uwagi.append(v.toInt());
    zapis->material = TMaterial::FromObject(sub("material"));
    zapis->odniesienie = TOdniesienie::FromObject(sub("odniesienie"));
    zapis->limity = TLimity::FromObject(sub("limity"));
}

// ---------------------------------------------------------------- groups

QVector<TGrupa> ReadGrupy(TArchive *archive)
{
    QVector<TGrupa> grupy;
    const QHash<QString, TArchiveEntry> latest = archive->LatestEntries(K(kRodzajGrupa));
    for (auto it = latest.cbegin(); it != latest.cend(); ++it) {
        const QJsonObject o = ObjectOf(it->qsWartosc);
        TGrupa g;
        g.qsUuid = it.key().mid(2);
        g.qsNazwa = o.value(QLatin1String("nazwa")).toString();
        for (const QJsonValue &v : o.value(QLatin1String("obiekty")).toArray())
            g.obiekty.append(v.toString());
        g.bUsunieta = o.value(QLatin1String("usunieta")).toBool() || g.obiekty.isEmpty();
        if (!g.bUsunieta)
            grupy.append(g);
    }
    std::sort(grupy.begin(), grupy.end(), [](const TGrupa &a, const TGrupa &b) {
        return a.qsNazwa != b.qsNazwa ? a.qsNazwa < b.qsNazwa : a.qsUuid < b.qsUuid;
    });
    return grupy;
}

int SaveGrupa(TArchive *archive, TGrupa *grupa)
{
    if (grupa->qsUuid.isEmpty())
        grupa->qsUuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return AddNewest(archive, kRodzajGrupa, TArchive::GroupSubject(grupa->qsUuid),
                             Text(QJsonObject{{QStringLiteral("nazwa"), grupa->qsNazwa},
                                              {QStringLiteral("obiekty"), QJsonArray::fromStringList(grupa->obiekty)},
                                              {QStringLiteral("usunieta"), grupa->bUsunieta}}));
}

const TGrupa *GrupaOf(const QVector<TGrupa> &grupy, const QString &obiekt)
{
    for (const TGrupa &g : grupy) {
        if (g.obiekty.contains(obiekt))
            return &g;
    }
    return nullptr;
}

// ---------------------------------------------------------------- verdicts

namespace {

// The entries each row of a history is judged by: the stored verdict, the
// override and the temperature; nullptr where there is none.
using TRowEntry = std::function<const TArchiveEntry *(const char *kind, int row)>;

THistoriaOcena OcenRows(TArchive *archive, const QString &obiekt, const TObiektUstawienia &ustawienia,
                        const QVector<TGrupa> &grupy, const QVector<THistoriaRow> &rows, const TRowEntry &entry)
{
    THistoriaOcena h;
    h.ustawienia = ustawienia;
    QVector<TSiostra> siostry;
    // The sisters are read only when a row needs judging now.
    bool siostryRead = false;
    h.werdykty.resize(rows.size());
    h.temperatury.fill(kBrak, rows.size());
    if (const TGrupa *g = GrupaOf(grupy, obiekt))
        h.qsGrupa = g->qsNazwa;
    for (int i = 0; i < rows.size(); ++i) {
        const THistoriaRow &row = rows.at(i);
        TWerdyktZapis &z = h.werdykty[i];
        if (const TArchiveEntry *t = entry(kRodzajTemperatura, i))
            h.temperatury[i] = TemperaturaOf(t->qsWartosc);
        if (const TArchiveEntry *s = entry(kRodzajWerdykt, i)) {
            WerdyktFromJson(s->qsWartosc, &z);
        } else {
            if (!siostryRead) {
                siostry = ReadSiostry(archive, grupy, obiekt, h.ustawienia.limity);
                siostryRead = true;
            }
            const double r = JudgedR(row.R, row.status);
            z.ocena = Ocen(Wejscie(h.ustawienia, r, h.temperatury.at(i), row.czas, siostry));
            z.limity = h.ustawienia.limity;
            z.odniesienie = h.ustawienia.odniesienie;
            z.material = h.ustawienia.material;
        }
        if (const TArchiveEntry *m = entry(kRodzajWerdyktReczny, i))
            ReadReczny(*m, &z);
    }
    return h;
}

const TArchiveEntry *Found(const QHash<qint64, TArchiveEntry> &entries, qint64 id)
{
    const auto it = entries.constFind(id);
    return it == entries.constEnd() ? nullptr : &*it;
}

const TArchiveEntry *Found(const QHash<QString, TArchiveEntry> &entries, const QString &subject)
{
    const auto it = entries.constFind(subject);
    return it == entries.constEnd() ? nullptr : &*it;
}

} // namespace

THistoriaOcena OcenHistorie(TArchive *archive, const QString &obiekt, qint64 objectId,
                            const QVector<THistoriaRow> &rows)
{
    const QHash<qint64, TArchiveEntry> stored = archive->LatestPomiarEntries(K(kRodzajWerdykt), objectId);
    const QHash<qint64, TArchiveEntry> reczne = archive->LatestPomiarEntries(K(kRodzajWerdyktReczny), objectId);
    const QHash<qint64, TArchiveEntry> temps = archive->LatestPomiarEntries(K(kRodzajTemperatura), objectId);
    return OcenRows(archive, obiekt, ReadUstawienia(archive, obiekt), ReadGrupy(archive), rows,
                    [&](const char *kind, int i) {
                        const qint64 id = rows.at(i).id;
                        return kind == kRodzajWerdykt ? Found(stored, id)
                               : kind == kRodzajWerdyktReczny ? Found(reczne, id) : Found(temps, id);
                    });
}

QVector<THistoriaOcena> OcenHistorie(TArchive *archive, const QVector<THistoriaDoOceny> &obiekty)
{
    QStringList objects, pomiary;
    for (const THistoriaDoOceny &o : obiekty) {
        objects << TArchive::ObiektSubject(o.qsObiekt);
        pomiary << o.subjects;
    }
    const QHash<QString, TArchiveEntry> materialy = archive->LatestEntries(K(kRodzajMaterial), objects);
    const QHash<QString, TArchiveEntry> odniesienia = archive->LatestEntries(K(kRodzajOdniesienie), objects);
    const QHash<QString, TArchiveEntry> limity = archive->LatestEntries(K(kRodzajLimity), objects);
    const QHash<QString, TArchiveEntry> stored = archive->LatestEntries(K(kRodzajWerdykt), pomiary);
    const QHash<QString, TArchiveEntry> reczne = archive->LatestEntries(K(kRodzajWerdyktReczny), pomiary);
    const QHash<QString, TArchiveEntry> temps = archive->LatestEntries(K(kRodzajTemperatura), pomiary);
    const QVector<TGrupa> grupy = ReadGrupy(archive);
    QVector<THistoriaOcena> out;
    out.reserve(obiekty.size());
    for (int n = 0; n < obiekty.size(); ++n) {
        const THistoriaDoOceny &o = obiekty.at(n);
        const TObiektUstawienia u = UstawieniaOf(archive, Found(materialy, objects.at(n)),
                                                 Found(odniesienia, objects.at(n)), Found(limity, objects.at(n)));
        out << OcenRows(archive, o.qsObiekt, u, grupy, o.rows, [&](const char *kind, int i) {
            const QString &subject = o.subjects.at(i);
            return kind == kRodzajWerdykt ? Found(stored, subject)
                   : kind == kRodzajWerdyktReczny ? Found(reczne, subject) : Found(temps, subject);
        });
    }
    return out;
}

int JudgeAndStore(TArchive *archive, qint64 id, TWerdyktZapis *zapis)
{
    TPomiarRow row;
    TArchivePomiarInfo info;
    if (!archive->ReadRow(id, &row, &info))
        return ArchiveNotFound;
    const QString subject = archive->PomiarSubject(id);
    const TObiektUstawienia u = ReadUstawienia(archive, info.qsObiekt);
    const double t = ReadTemperatura(archive, id);
    const QVector<TSiostra> siostry = ReadSiostry(archive, ReadGrupy(archive), info.qsObiekt, u.limity);
    const double r = JudgedR(row.rezystancja, row.status);
    const TOcena ocena = Ocen(Wejscie(u, r, t, row.czas, siostry));
    const int result = AddNewest(archive, kRodzajWerdykt, subject, WerdyktJson(ocena, r, t, u));
    if (result != ArchiveOk)
        return result;
    if (zapis) {
        *zapis = TWerdyktZapis();
        zapis->bStored = true;
        zapis->ocena = ocena;
        zapis->limity = u.limity;
        zapis->odniesienie = u.odniesienie;
        zapis->material = u.material;
        TArchiveEntry e;
        if (archive->LatestEntry(K(kRodzajWerdyktReczny), subject, &e))
            ReadReczny(e, zapis);
    }
    return ArchiveOk;
}

int WerdyktOf(TArchive *archive, qint64 id, TWerdyktZapis *zapis)
{
    *zapis = TWerdyktZapis();
    const QString subject = archive->PomiarSubject(id);
    if (subject.isEmpty())
        return ArchiveNotFound;
    TArchiveEntry e;
    if (archive->LatestEntry(K(kRodzajWerdykt), subject, &e)) {
        WerdyktFromJson(e.qsWartosc, zapis);
        if (archive->LatestEntry(K(kRodzajWerdyktReczny), subject, &e))
            ReadReczny(e, zapis);
        return ArchiveOk;
    }
    TArchivePomiarInfo info;
    TPomiarRow row;
    if (!archive->ReadRow(id, &row, &info))
        return ArchiveNotFound;
    if (!ReadUstawienia(archive, info.qsObiekt).limity.HasAny()) {
        if (archive->LatestEntry(K(kRodzajWerdyktReczny), subject, &e))
            ReadReczny(e, zapis);
        return ArchiveOk; // nothing to judge by: no verdict, and none stored
    }
    return JudgeAndStore(archive, id, zapis);
}

TGrupaWidok ReadGrupaWidok(TArchive *archive, const TGrupa &grupa)
{
    TGrupaWidok w;
    w.obiekty = grupa.obiekty;
    const int n = grupa.obiekty.size();
    w.pomiary.fill(0, n);
    w.czasy.fill(0, n);
    w.r.fill(kBrak, n);
    w.t.fill(kBrak, n);
    w.werdykty.resize(n);
    QVector<TGrupaWartosc> values(n);
    QVector<TObiektUstawienia> ustawienia(n);
    double tRef = kDefaultTRef;
    for (int i = 0; i < n; ++i) {
        const QString &name = grupa.obiekty.at(i);
        ustawienia[i] = ReadUstawienia(archive, name);
        if (i == 0)
            tRef = ustawienia.at(0).material.dTRef;
        values[i].dK = ustawienia.at(i).material.dK;
        const qint64 objectId = archive->ObjectId(name);
        QVector<THistoriaRow> rows;
        if (objectId == 0 || !archive->ReadHistoria(objectId, &rows))
            continue;
        for (int j = rows.size() - 1; j >= 0; --j) {
            if (HasValue(rows.at(j)) && rows.at(j).R > 0) {
                w.pomiary[i] = rows.at(j).id;
                w.czasy[i] = rows.at(j).czas;
                w.r[i] = rows.at(j).R;
                w.t[i] = ReadTemperatura(archive, rows.at(j).id);
                break;
            }
        }
        values[i].dR = w.r.at(i);
        values[i].dT = w.t.at(i);
    }
    // Every member in the group's comparison at the reference temperature
    // of its first member; each member's verdict by its own settings with
    // itself first among the same values.
    w.porownanie = PorownajGrupe(values, tRef);
    for (int i = 0; i < n; ++i) {
        if (w.pomiary.at(i) == 0)
            continue;
        TWerdyktZapis &z = w.werdykty[i];
        const QString subject = archive->PomiarSubject(w.pomiary.at(i));
        TArchiveEntry e;
        if (archive->LatestEntry(K(kRodzajWerdykt), subject, &e)) {
            WerdyktFromJson(e.qsWartosc, &z);
        } else {
            TOcenaWejscie in;
            in.dR = w.r.at(i);
            in.dT = w.t.at(i);
            in.material = ustawienia.at(i).material;
            in.odniesienie = ustawienia.at(i).odniesienie;
            in.limity = ustawienia.at(i).limity;
            in.grupa.append(values.at(i));
            for (int j = 0; j < n; ++j) {
                if (j != i)
                    in.grupa.append(values.at(j));
            }
            z.ocena = Ocen(in);
            z.limity = in.limity;
            z.odniesienie = in.odniesienie;
            z.material = in.material;
        }
        if (archive->LatestEntry(K(kRodzajWerdyktReczny), subject, &e))
            ReadReczny(e, &z);
    }
    return w;
}
