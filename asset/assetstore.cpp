#include "asset/assetstore.h"

#include "archive/tarchive.h"
#include "verdict/verdictstore.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cmath>

const char kRodzajZasob[] = "zasob";
const char kRodzajMapowanie[] = "mapowanie";

namespace {

QString K(const char *kind)
{
    return QLatin1String(kind);
}

QString NodeSubject(const QString &uuid)
{
    return QLatin1String("a:") + uuid;
}

QString RuleSubject(const QString &uuid)
{
    return QLatin1String("m:") + uuid;
}

QString NewUuid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Adds a version that is newer than every one before it, also when two are
// saved within one millisecond (the newest is picked by time first).
int AddVersion(TArchive *archive, const char *kind, const QString &subject, const QString &json)
{
    qint64 czas = QDateTime::currentMSecsSinceEpoch();
    TArchiveEntry latest;
    if (archive->LatestEntry(K(kind), subject, &latest) && latest.iCzasMs >= czas)
        czas = latest.iCzasMs + 1;
    return archive->AddEntry(K(kind), subject, json, nullptr, czas);
}

bool NotOpen(TArchive *archive, QString *errorText)
{
    if (archive && archive->IsOpen())
        return false;
    if (errorText)
        *errorText = QObject::tr("Archiwum nie jest otwarte.");
    return true;
}

// The temperature of a "temperatura" entry. Its usual form is read without
// a JSON parser: a watch list reads one per measurement.
double TemperaturaOf(const QString &json)
{
    static const QString head = QStringLiteral("{\"t\":");
    if (json.startsWith(head) && json.endsWith(QLatin1Char('}'))) {
        bool ok = false;
        const double t = json.midRef(head.size(), json.size() - head.size() - 1).toDouble(&ok);
        if (ok)
            return std::isfinite(t) ? t : kBrak;
    }
    const QJsonValue v = QJsonDocument::fromJson(json.toUtf8()).object().value(QStringLiteral("t"));
    return v.isDouble() && std::isfinite(v.toDouble()) ? v.toDouble() : kBrak;
}

// Every object's settings, read once for a whole list.
struct TSettingsCache
{
    QHash<QString, TArchiveEntry> material, limity, odniesienie;
    explicit TSettingsCache(TArchive *archive)
        : material(archive->LatestEntries(K(kRodzajMaterial))),
          limity(archive->LatestEntries(K(kRodzajLimity))),
          odniesienie(archive->LatestEntries(K(kRodzajOdniesienie)))
    {
    }
    TAssetUstawienia Of(const TAssetRegister &reg, const QString &punkt) const
    {
        TAssetUstawienia u;
        const TAssetNode *node = reg.Node(punkt);
        const QString subject = TArchive::ObiektSubject(reg.NazwaOf(punkt));
        if (node && node->bMaterial)
            u.material = node->material;
        else if (material.contains(subject))
            u.material = TMaterial::FromJson(material.value(subject).qsWartosc);
        if (node && node->bLimity)
            u.limity = node->limity;
        else if (limity.contains(subject))
            u.limity = TLimity::FromJson(limity.value(subject).qsWartosc);
        if (node && node->bOdniesienie)
            u.odniesienie = node->odniesienie;
        else if (odniesienie.contains(subject))
            u.odniesienie = TOdniesienie::FromJson(odniesienie.value(subject).qsWartosc);
        return u;
    }
};

TObserwacjaWejscie WatchInput(const TAssetRegister &reg, const QString &punkt, const TAssetUstawienia &u)
{
    TObserwacjaWejscie in;
    in.material = u.material;
    in.limity = u.limity;
    in.odniesienie = u.odniesienie;
    const QDate naprawa = reg.OstatniaNaprawa(punkt);
    in.naprawa = naprawa.isValid() ? AssetDayStart(naprawa) : 0;
    return in;
}

void SortWatch(QVector<TAssetObserwacja> *list)
{
    std::sort(list->begin(), list->end(), [](const TAssetObserwacja &a, const TAssetObserwacja &b) {
        const bool ca = a.o.iStan == ObserwacjaPrzeciecie, cb = b.o.iStan == ObserwacjaPrzeciecie;
        if (ca != cb)
            return ca;
        if (ca && a.o.przeciecie != b.o.przeciecie)
            return a.o.przeciecie < b.o.przeciecie;
        return a.qsSciezka != b.qsSciezka ? a.qsSciezka < b.qsSciezka : a.qsPunkt < b.qsPunkt;
    });
}

} // namespace

bool ReadRegister(TArchive *archive, TAssetRegister *reg, QString *errorText)
{
    if (NotOpen(archive, errorText)) {
        *reg = TAssetRegister();
        return false;
    }
    QVector<TArchiveLatest> entries;
    if (!archive->ReadLatestValues(K(kRodzajZasob), &entries, errorText)) {
        *reg = TAssetRegister();
        return false;
    }
    QVector<TAssetNode> nodes;
    nodes.reserve(entries.size());
    for (const TArchiveLatest &e : qAsConst(entries)) {
        TAssetNode node;
        if (e.qsPrzedmiot.startsWith(QLatin1String("a:")) && TAssetNode::FromUtf8(e.wartosc, &node)) {
            node.qsUuid = e.qsPrzedmiot.mid(2);
            nodes.append(node);
        }
    }
    if (!archive->ReadLatestValues(K(kRodzajMapowanie), &entries, errorText)) {
        *reg = TAssetRegister();
        return false;
    }
    QVector<TAssetRule> rules;
    rules.reserve(entries.size());
    for (const TArchiveLatest &e : qAsConst(entries)) {
        TAssetRule rule;
        if (e.qsPrzedmiot.startsWith(QLatin1String("m:")) && TAssetRule::FromUtf8(e.wartosc, &rule)) {
            rule.qsUuid = e.qsPrzedmiot.mid(2);
            rule.iCzasMs = e.iCzasMs;
            rules.append(rule);
        }
    }
    *reg = TAssetRegister(nodes, rules);
    return true;
}

int SaveNode(TArchive *archive, const TAssetRegister &reg, TAssetNode *node, int *problem)
{
    const int p = CheckNode(reg, *node);
    if (problem)
        *problem = p;
    if (p != AssetProblemNone)
        return AssetRefused;
    if (NotOpen(archive, nullptr))
        return ArchiveNotOpen;
    if (node->qsUuid.isEmpty())
        node->qsUuid = NewUuid();
    else if (const TAssetNode *held = reg.Node(node->qsUuid); held && held->ToJson() == node->ToJson())
        return ArchiveOk;
    return AddVersion(archive, kRodzajZasob, NodeSubject(node->qsUuid), node->ToJson());
}

int SaveRule(TArchive *archive, TAssetRule *rule)
{
    if (NotOpen(archive, nullptr))
        return ArchiveNotOpen;
    if (rule->qsUuid.isEmpty())
        rule->qsUuid = NewUuid();
    return AddVersion(archive, kRodzajMapowanie, RuleSubject(rule->qsUuid), rule->ToJson());
}

QVector<TAssetNode> NodeVersions(TArchive *archive, const QString &uuid)
{
    QVector<TAssetNode> versions;
    if (NotOpen(archive, nullptr))
        return versions;
    for (const TArchiveEntry &e : archive->Entries(K(kRodzajZasob), NodeSubject(uuid))) {
        TAssetNode node;
        if (TAssetNode::FromJson(e.qsWartosc, &node)) {
            node.qsUuid = uuid;
            versions.append(node);
        }
    }
    return versions;
}

bool ReadNazwy(TArchive *archive, QVector<TAssetNazwa> *names, bool perMeter, QString *errorText)
{
    names->clear();
    if (NotOpen(archive, errorText))
        return false;
    QString error;
    const QVector<TArchiveObiekt> obiekty = archive->Obiekty(&error);
    QVector<TArchiveOstatniTest> tests;
    if (!error.isEmpty() || !archive->ReadOstatnieTesty(&tests, perMeter, &error)) {
        if (errorText)
            *errorText = error;
        return false;
    }
    QHash<qint64, QString> byId;
    for (const TArchiveObiekt &o : obiekty)
        byId.insert(o.iObiektId, o.qsNazwa);
    names->reserve(tests.size());
    for (const TArchiveOstatniTest &t : tests)
        names->append({byId.value(t.iObiektId), t.qsSerial, t.czas});
    return true;
}

bool ReadPunktHistoria(TArchive *archive, const TAssetRegister &reg, const QString &punkt,
                       QVector<TAssetHistoriaRow> *rows, QString *errorText)
{
    rows->clear();
    if (NotOpen(archive, errorText))
        return false;
    QVector<TAssetHistoriaRow> all;
    QSet<QString> read;
    for (const TAssetRule &rule : reg.RulesOf(punkt)) {
        if (read.contains(rule.qsNazwa))
            continue;
        read.insert(rule.qsNazwa);
        const qint64 objectId = archive->ObjectId(rule.qsNazwa);
        if (objectId == 0)
            continue;
        QVector<THistoriaRow> history;
        QStringList meters;
        if (!archive->ReadHistoria(objectId, &history, &meters, errorText))
            return false;
        for (int i = 0; i < history.size(); ++i)
            all.append({history[i], rule.qsNazwa, meters.value(i)});
    }
    *rows = PunktHistoria(reg, punkt, all);
    return true;
}

bool ReadTerminy(TArchive *archive, const TAssetRegister &reg, const QDate &miesiac, const QDate &dzis,
                 QVector<TAssetTermin> *list, QString *errorText)
{
    list->clear();
    QVector<TAssetNazwa> names;
    if (!ReadNazwy(archive, &names, false, errorText))
        return false;
    QHash<QString, qint64> last = OstatniePerPunkt(reg, names);
    // A point some of whose names' measurements are not its own: their
    // newest test says nothing of it, so it is worked out from its history.
    for (const TAssetNode &node : reg.Nodes()) {
        if (node.iTyp != AssetPunkt || !reg.Czesciowy(node.qsUuid) || reg.Retired(node.qsUuid))
            continue;
        const QString &punkt = node.qsUuid;
        QVector<TAssetHistoriaRow> rows;
        if (!ReadPunktHistoria(archive, reg, punkt, &rows, errorText))
            return false;
        for (const TAssetHistoriaRow &row : rows)
            if (HasValue(row.row) && row.row.R > 0)
                last[punkt] = qMax(last.value(punkt), row.row.czas);
    }
    *list = Terminy(reg, last, miesiac, dzis);
    return true;
}

QStringList SiteDueNames(TArchive *archive, const TAssetRegister &reg, const QString &site,
                         const QDate &miesiac, const QDate &dzis, QString *errorText)
{
    QVector<TAssetTermin> list;
    QStringList names;
    if (!ReadTerminy(archive, reg, miesiac, dzis, &list, errorText))
        return names;
    for (const TAssetTermin &t : list) {
        const QString name = reg.NazwaOf(t.qsPunkt);
        if (t.qsLokalizacja == site && !name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

bool ReadObserwacje(TArchive *archive, const TAssetRegister &reg, QVector<TAssetObserwacja> *list,
                    QString *errorText)
{
    list->clear();
    if (NotOpen(archive, errorText))
        return false;
    QString error;
    const QVector<TArchiveObiekt> obiekty = archive->Obiekty(&error);
    QVector<TArchivePomiarSkrot> rows;
    QStringList meters;
    if (!error.isEmpty() || !archive->ReadPomiarySkrot(&rows, &meters, &error)) {
        if (errorText)
            *errorText = error;
        return false;
    }
    QHash<qint64, QString> names;
    for (const TArchiveObiekt &o : obiekty)
        names.insert(o.iObiektId, o.qsNazwa);

    // Each row's temperature, by walking the typed ones along the rows'
    // id order (a look-up per row costs more than the whole walk).
    QVector<QPair<qint64, double>> typed;
    {
        const QHash<qint64, QString> temps = archive->LatestPomiarValues(K(kRodzajTemperatura));
        typed.reserve(temps.size());
        for (auto it = temps.constBegin(); it != temps.constEnd(); ++it)
            typed.append({it.key(), TemperaturaOf(it.value())});
        std::sort(typed.begin(), typed.end());
    }
    QVector<double> rowT(rows.size(), kBrak);
    for (int i = 0, k = 0; i < rows.size() && k < typed.size(); ++i) {
        while (k < typed.size() && typed[k].first < rows[i].id)
            ++k;
        if (k < typed.size() && typed[k].first == rows[i].id)
            rowT[i] = typed[k].second;
    }

    // The rows object by object (a counting sort on the archive's dense
    // object ids), each object's in time order.
    qint64 maxObject = 0;
    for (const TArchivePomiarSkrot &row : rows)
        maxObject = qMax(maxObject, row.iObiektId);
    QVector<int> start(int(maxObject) + 2, 0);
    for (const TArchivePomiarSkrot &row : rows)
        ++start[int(row.iObiektId) + 1];
    for (int i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    QVector<int> order(rows.size());
    {
        QVector<int> next = start;
        for (int i = 0; i < rows.size(); ++i)
            order[next[int(rows[i].iObiektId)]++] = i;
    }

    QHash<QString, TObserwacjaWejscie> inputs;
    const QVector<TArchivePomiarSkrot> &rowsRead = rows;
    for (int object = 0; object + 1 < start.size(); ++object) {
        const auto first = order.begin() + start[object], last = order.begin() + start[object + 1];
        if (first == last)
            continue;
        std::sort(first, last, [&rowsRead](int a, int b) {
            const TArchivePomiarSkrot &ra = rowsRead[a], &rb = rowsRead[b];
            return ra.czas != rb.czas ? ra.czas < rb.czas : ra.id < rb.id;
        });
        const QString name = names.value(object);
        // Most names are one point's whole: looked up once, not per row.
        const QString whole = reg.CalaNazwa(name);
        TObserwacjaWejscie *wholeIn = whole.isEmpty() ? nullptr : &inputs[whole];
        for (auto it = first; it != last; ++it) {
            const TArchivePomiarSkrot &row = rowsRead[*it];
            TObserwacjaWejscie *in = wholeIn;
            if (!in) {
                const QString punkt = reg.PunktOf(name, meters.value(row.iMiernik), row.czas);
                if (punkt.isEmpty())
                    continue;
                in = &inputs[punkt];
            }
            if (in->czasy.isEmpty()) {
                in->czasy.reserve(int(last - first));
                in->r.reserve(int(last - first));
                in->t.reserve(int(last - first));
            }
            in->czasy.append(row.czas);
            in->r.append(row.R);
            in->t.append(rowT[*it]);
        }
    }

    const TSettingsCache settings(archive);
    list->reserve(reg.Nodes().size());
    for (const TAssetNode &node : reg.Nodes()) {
        if (node.iTyp != AssetPunkt || reg.Retired(node.qsUuid))
            continue;
        TObserwacjaWejscie in = WatchInput(reg, node.qsUuid, settings.Of(reg, node.qsUuid));
        const auto measured = inputs.find(node.qsUuid);
        if (measured != inputs.end() && std::is_sorted(measured->czasy.cbegin(), measured->czasy.cend())) {
            // One name's rows (or several names' that follow each other).
            in.czasy.swap(measured->czasy);
            in.r.swap(measured->r);
            in.t.swap(measured->t);
        } else if (measured != inputs.end()) {
            // A point of several names: its rows came name by name.
            QVector<int> order(measured->czasy.size());
            for (int i = 0; i < order.size(); ++i)
                order[i] = i;
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return measured->czasy[a] < measured->czasy[b]; });
            for (int i : order) {
                in.czasy.append(measured->czasy[i]);
                in.r.append(measured->r[i]);
                in.t.append(measured->t[i]);
            }
        }
        list->append({node.qsUuid, reg.Path(node.qsUuid), Obserwuj(in)});
    }
    SortWatch(list);
    return true;
}

TAssetObserwacja ObserwacjaPunktu(TArchive *archive, const TAssetRegister &reg, const QString &punkt,
                                  const QVector<TAssetHistoriaRow> &rows)
{
    const TSettingsCache settings(archive);
    TObserwacjaWejscie in = WatchInput(reg, punkt, settings.Of(reg, punkt));
    for (const TAssetHistoriaRow &row : rows) {
        if (!HasValue(row.row) || row.row.R <= 0)
            continue;
        in.czasy.append(row.row.czas);
        in.r.append(row.row.R);
        in.t.append(ReadTemperatura(archive, row.row.id));
    }
    return {punkt, reg.Path(punkt), Obserwuj(in)};
}
