#include "asset/assetregister.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QObject>

#include <algorithm>

namespace {

const char *const kTypKeys[] = {"klient", "lokalizacja", "pole", "aparat", "punkt"};
const char kDateFormat[] = "yyyy-MM-dd";

QString Key(const char *key)
{
    return QString::fromLatin1(key);
}

QString Compact(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

bool ObjectOf(const QByteArray &json, QJsonObject *o)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject())
        return false;
    *o = doc.object();
    return true;
}

QString DateText(const QDate &date)
{
    return date.isValid() ? date.toString(QLatin1String(kDateFormat)) : QString();
}

QDate DateOf(const QJsonValue &v)
{
    // The usual "yyyy-MM-dd" by hand: Qt's parser looks at the time zone
    // for every date, which made it most of what reading a register cost.
    const QString text = v.toString();
    if (text.isEmpty())
        return QDate();
    const auto digits = [&text](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            const ushort c = text[i].unicode();
            if (c < '0' || c > '9')
                return -1;
            n = n * 10 + (c - '0');
        }
        return n;
    };
    if (text.size() == 10 && text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-')) {
        const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return QDate::fromString(text, QLatin1String(kDateFormat));
}

} // namespace

QString AssetTypText(int typ)
{
    switch (typ) {
    case AssetKlient: return QObject::tr("Klient");
    case AssetLokalizacja: return QObject::tr("Lokalizacja");
    case AssetPole: return QObject::tr("Pole");
    case AssetAparat: return QObject::tr("Aparat");
    case AssetPunkt: return QObject::tr("Punkt");
    default: return QString();
    }
}

QString AssetTypKey(int typ)
{
    return typ >= AssetKlient && typ <= AssetPunkt ? Key(kTypKeys[typ]) : QString();
}

int AssetTypFromKey(const QString &key)
{
    for (int typ = AssetKlient; typ <= AssetPunkt; ++typ)
        if (key == QLatin1String(kTypKeys[typ]))
            return typ;
    return -1;
}

QStringList AssetTabliczkaKeys()
{
    return {Key("producent"), Key("typ"), Key("nr_fabryczny"), Key("rok"), Key("prad_znamionowy"),
            Key("napiecie_znamionowe")};
}

QString AssetTabliczkaText(const QString &key)
{
    if (key == QLatin1String("producent"))
        return QObject::tr("Producent");
    if (key == QLatin1String("typ"))
        return QObject::tr("Typ");
    if (key == QLatin1String("nr_fabryczny"))
        return QObject::tr("Numer fabryczny");
    if (key == QLatin1String("rok"))
        return QObject::tr("Rok produkcji");
    if (key == QLatin1String("prad_znamionowy"))
        return QObject::tr("Prąd znamionowy");
    if (key == QLatin1String("napiecie_znamionowe"))
        return QObject::tr("Napięcie znamionowe");
    return key;
}

// ---- JSON

QString TAssetNode::ToJson() const
{
    QJsonObject o{{Key("typ"), AssetTypKey(iTyp)},
                  {Key("nazwa"), qsNazwa},
                  {Key("uwagi"), qsUwagi},
                  {Key("rodzic"), qsRodzic},
                  {Key("wycofany"), bWycofany},
                  {Key("tabliczka"), tabliczka},
                  {Key("interwal_mies"), iInterwalMies > 0 ? QJsonValue(iInterwalMies) : QJsonValue()}};
    QJsonArray dates;
    for (const QDate &d : naprawy)
        dates.append(DateText(d));
    o.insert(Key("naprawy"), dates);
    // The verdict's own layouts, so that a point reads like an object.
    const auto sub = [&o](const char *key, bool set, const QString &json) {
        if (set)
            o.insert(Key(key), QJsonDocument::fromJson(json.toUtf8()).object());
    };
    sub("limity", bLimity, limity.ToJson());
    sub("material", bMaterial, material.ToJson());
    sub("odniesienie", bOdniesienie, odniesienie.ToJson());
    return Compact(o);
}

bool TAssetNode::FromJson(const QString &json, TAssetNode *node)
{
    return FromUtf8(json.toUtf8(), node);
}

bool TAssetNode::FromUtf8(const QByteArray &json, TAssetNode *node)
{
    QJsonObject o;
    if (!ObjectOf(json, &o))
        return false;
    const int typ = AssetTypFromKey(o.value(Key("typ")).toString());
    if (typ < 0)
        return false;
    node->iTyp = typ;
    node->qsNazwa = o.value(Key("nazwa")).toString();
    node->qsUwagi = o.value(Key("uwagi")).toString();
    node->qsRodzic = o.value(Key("rodzic")).toString();
    node->bWycofany = o.value(Key("wycofany")).toBool();
    node->tabliczka = o.value(Key("tabliczka")).toObject();
    node->iInterwalMies = qMax(0, o.value(Key("interwal_mies")).toInt());
    node->naprawy.clear();
    for (const QJsonValue &v : o.value(Key("naprawy")).toArray()) {
        const QDate d = DateOf(v);
        if (d.isValid())
            node->naprawy.append(d);
    }
    std::sort(node->naprawy.begin(), node->naprawy.end());
    node->bLimity = o.value(Key("limity")).isObject();
    node->limity = node->bLimity ? TLimity::FromObject(o.value(Key("limity")).toObject()) : TLimity();
    node->bMaterial = o.value(Key("material")).isObject();
    node->material = node->bMaterial ? TMaterial::FromObject(o.value(Key("material")).toObject()) : TMaterial();
    node->bOdniesienie = o.value(Key("odniesienie")).isObject();
    node->odniesienie = node->bOdniesienie ? TOdniesienie::FromObject(o.value(Key("odniesienie")).toObject())
                                           : TOdniesienie();
    return true;
}

QString TAssetRule::ToJson() const
{
    return Compact(QJsonObject{{Key("nazwa"), qsNazwa},
                               {Key("miernik"), qsMiernik},
                               {Key("od"), DateText(od)},
                               {Key("punkt"), qsPunkt}});
}

bool TAssetRule::FromJson(const QString &json, TAssetRule *rule)
{
    return FromUtf8(json.toUtf8(), rule);
}

bool TAssetRule::FromUtf8(const QByteArray &json, TAssetRule *rule)
{
    QJsonObject o;
    if (!ObjectOf(json, &o))
        return false;
    rule->qsNazwa = o.value(Key("nazwa")).toString();
    rule->qsMiernik = o.value(Key("miernik")).toString();
    rule->od = DateOf(o.value(Key("od")));
    rule->qsPunkt = o.value(Key("punkt")).toString();
    return true;
}

// ---- the register

TAssetRegister::TAssetRegister(const QVector<TAssetNode> &n, const QVector<TAssetRule> &r) : nodes(n)
{
    for (int i = 0; i < nodes.size(); ++i)
        index.insert(nodes[i].qsUuid, i);
    // The walks up the tree (paths, intervals, retired) go by place, not by uuid.
    parents.resize(nodes.size());
    for (int i = 0; i < nodes.size(); ++i) {
        parents[i] = index.value(nodes[i].qsRodzic, -1);
        children[nodes[i].qsRodzic].append(i);
    }
    for (auto it = children.begin(); it != children.end(); ++it)
        std::stable_sort(it->begin(), it->end(), [this](int a, int b) {
            const int c = QString::localeAwareCompare(nodes[a].qsNazwa, nodes[b].qsNazwa);
            return c != 0 ? c < 0 : nodes[a].qsUuid < nodes[b].qsUuid;
        });
    // A withdrawn rule (no point) maps nothing any more.
    for (const TAssetRule &rule : r)
        if (!rule.qsPunkt.isEmpty())
            rules.append(rule);
    std::sort(rules.begin(), rules.end(), [](const TAssetRule &a, const TAssetRule &b) {
        // Invalid dates (from the beginning) sort first.
        if (a.od != b.od)
            return a.od < b.od;
        return a.iCzasMs != b.iCzasMs ? a.iCzasMs < b.iCzasMs : a.qsUuid < b.qsUuid;
    });
    for (int i = 0; i < rules.size(); ++i) {
        byName[rules[i].qsNazwa].append(i);
        byPunkt[rules[i].qsPunkt].append(i);
    }
}

const TAssetNode *TAssetRegister::Node(const QString &uuid) const
{
    const auto it = index.constFind(uuid);
    return it == index.constEnd() ? nullptr : &nodes[*it];
}

QVector<const TAssetNode *> TAssetRegister::Children(const QString &uuid) const
{
    QVector<const TAssetNode *> list;
    for (int i : children.value(uuid))
        list.append(&nodes[i]);
    return list;
}

QString TAssetRegister::Path(const QString &uuid) const
{
    QStringList names;
    // The levels bound the depth, even in a register a damaged sync left odd.
    for (int i = index.value(uuid, -1); i >= 0 && names.size() <= AssetPunkt; i = parents[i])
        names.prepend(nodes[i].qsNazwa);
    return names.join(QStringLiteral(" › "));
}

const TAssetNode *TAssetRegister::Ancestor(const QString &uuid, int typ) const
{
    int depth = 0;
    for (int i = index.value(uuid, -1); i >= 0 && depth++ <= AssetPunkt; i = parents[i])
        if (nodes[i].iTyp == typ)
            return &nodes[i];
    return nullptr;
}

bool TAssetRegister::Retired(const QString &uuid) const
{
    int depth = 0;
    for (int i = index.value(uuid, -1); i >= 0 && depth++ <= AssetPunkt; i = parents[i])
        if (nodes[i].bWycofany)
            return true;
    return false;
}

int TAssetRegister::Interwal(const QString &uuid) const
{
    int depth = 0;
    for (int i = index.value(uuid, -1); i >= 0 && depth++ <= AssetPunkt; i = parents[i])
        if (nodes[i].iInterwalMies > 0)
            return nodes[i].iInterwalMies;
    return 0;
}

QDate TAssetRegister::OstatniaNaprawa(const QString &uuid) const
{
    QDate last;
    int depth = 0;
    for (int i = index.value(uuid, -1); i >= 0 && depth++ <= AssetPunkt; i = parents[i])
        if (!nodes[i].naprawy.isEmpty() && (!last.isValid() || nodes[i].naprawy.last() > last))
            last = nodes[i].naprawy.last();
    return last;
}

QString TAssetRegister::PunktOf(const QString &nazwa, const QString &miernik, qint64 czas) const
{
    const auto it = byName.constFind(nazwa);
    if (it == byName.constEnd())
        return QString();
    const TAssetRule *best = nullptr;
    qint64 bestOd = 0;
    for (int i : *it) {
        const TAssetRule &rule = rules[i];
        if (!rule.qsMiernik.isEmpty() && rule.qsMiernik != miernik)
            continue;
        const qint64 od = rule.od.isValid() ? AssetDayStart(rule.od) : std::numeric_limits<qint64>::min();
        if (od > czas)
            continue;
        if (!best || od > bestOd || (od == bestOd && best->qsMiernik.isEmpty() && !rule.qsMiernik.isEmpty())) {
            best = &rule;
            bestOd = od;
        }
    }
    return best ? best->qsPunkt : QString();
}

QVector<TAssetRule> TAssetRegister::RulesOf(const QString &punkt) const
{
    QVector<TAssetRule> list;
    for (int i : byPunkt.value(punkt))
        list.append(rules[i]);
    return list;
}

QString TAssetRegister::NazwaOf(const QString &punkt) const
{
    const auto it = byPunkt.constFind(punkt);
    return it == byPunkt.constEnd() ? QString() : rules[it->last()].qsNazwa;
}

bool TAssetRegister::Split(const QString &nazwa) const
{
    return byName.value(nazwa).size() > 1;
}

QString TAssetRegister::CalaNazwa(const QString &nazwa) const
{
    const auto it = byName.constFind(nazwa);
    if (it == byName.constEnd() || it->size() != 1)
        return QString();
    const TAssetRule &rule = rules[it->first()];
    return rule.qsMiernik.isEmpty() && !rule.od.isValid() ? rule.qsPunkt : QString();
}

bool TAssetRegister::Czesciowy(const QString &punkt) const
{
    for (int i : byPunkt.value(punkt))
        if (CalaNazwa(rules[i].qsNazwa).isEmpty())
            return true;
    return false;
}

// ---- checks

QString AssetProblemText(int problem)
{
    switch (problem) {
    case AssetProblemNoName: return QObject::tr("Nazwa nie może być pusta.");
    case AssetProblemNoParent: return QObject::tr("Nie ma takiego miejsca nadrzędnego w rejestrze.");
    case AssetProblemParentLevel:
        return QObject::tr("Miejsce nadrzędne musi leżeć wyżej (klient › lokalizacja › pole › aparat › punkt).");
    case AssetProblemChildLevel: return QObject::tr("Elementy podrzędne nie leżałyby już niżej.");
    default: return QString();
    }
}

int CheckNode(const TAssetRegister &reg, const TAssetNode &node)
{
    if (node.qsNazwa.trimmed().isEmpty())
        return AssetProblemNoName;
    if (node.iTyp == AssetKlient) {
        if (!node.qsRodzic.isEmpty())
            return AssetProblemParentLevel;
    } else {
        const TAssetNode *parent = reg.Node(node.qsRodzic);
        if (!parent)
            return AssetProblemNoParent;
        if (parent->iTyp >= node.iTyp)
            return AssetProblemParentLevel;
    }
    if (!node.qsUuid.isEmpty())
        for (const TAssetNode *child : reg.Children(node.qsUuid))
            if (child->iTyp <= node.iTyp)
                return AssetProblemChildLevel;
    return AssetProblemNone;
}

// ---- names

QString NormalizedName(const QString &name)
{
    // Polish letters by their plain Latin base: lower case first, so that
    // only the small letters need a place here.
    static const QString from = QStringLiteral("ąćęłńóśźż");
    static const QString to = QStringLiteral("acelnoszz");
    QString out;
    out.reserve(name.size());
    for (QChar c : name.toLower()) {
        const int at = from.indexOf(c);
        if (at >= 0)
            c = to[at];
        if (c.isLetterOrNumber())
            out.append(c);
    }
    return out;
}

QVector<TAssetSugestia> Sugestie(const TAssetRegister &reg, const QVector<TAssetNazwa> &names)
{
    QHash<QString, QVector<const TAssetRule *>> known;
    for (const TAssetRule &rule : reg.Rules())
        if (!reg.Retired(rule.qsPunkt))
            known[NormalizedName(rule.qsNazwa)].append(&rule);
    QVector<TAssetSugestia> list;
    for (const TAssetNazwa &n : names) {
        if (!reg.PunktOf(n.qsNazwa, n.qsMiernik, n.iOstatni).isEmpty())
            continue;
        const QVector<const TAssetRule *> like = known.value(NormalizedName(n.qsNazwa));
        QVector<const TAssetRule *> here;
        for (const TAssetRule *rule : like)
            if (rule->qsMiernik.isEmpty() || rule->qsMiernik == n.qsMiernik)
                here.append(rule);
        const QVector<const TAssetRule *> &from = here.isEmpty() ? like : here;
        if (from.isEmpty())
            continue;
        bool one = true;
        for (const TAssetRule *rule : from)
            one = one && rule->qsPunkt == from.last()->qsPunkt;
        if (one)
            list.append({n.qsNazwa, n.qsMiernik, from.last()->qsPunkt, from.last()->qsNazwa});
    }
    std::sort(list.begin(), list.end(), [](const TAssetSugestia &a, const TAssetSugestia &b) {
        return a.qsNazwa != b.qsNazwa ? a.qsNazwa < b.qsNazwa : a.qsMiernik < b.qsMiernik;
    });
    return list;
}

QVector<TAssetHistoriaRow> PunktHistoria(const TAssetRegister &reg, const QString &punkt,
                                         const QVector<TAssetHistoriaRow> &rows)
{
    QVector<TAssetHistoriaRow> list;
    for (const TAssetHistoriaRow &row : rows)
        if (reg.PunktOf(row.qsNazwa, row.qsMiernik, row.row.czas) == punkt)
            list.append(row);
    std::stable_sort(list.begin(), list.end(), [](const TAssetHistoriaRow &a, const TAssetHistoriaRow &b) {
        return a.row.czas != b.row.czas ? a.row.czas < b.row.czas : a.row.id < b.row.id;
    });
    return list;
}

// ---- due

QString AssetStanText(int stan)
{
    switch (stan) {
    case AssetZalegly: return QObject::tr("Zaległy");
    case AssetNigdy: return QObject::tr("Nigdy nie badany");
    default: return QObject::tr("Do wykonania");
    }
}

// The local calendar costs a look at the time-zone file per conversion,
// and the lists convert once per point and per row: the offset from UTC is
// kept per hour (the zone's changes fall on whole hours), the start of
// each day asked for once.
QDate AssetDate(qint64 czas)
{
    thread_local QHash<qint64, qint64> offsets; // UTC hour -> seconds east of UTC
    const qint64 hour = czas >= 0 ? czas / 3600 : (czas - 3599) / 3600;
    auto it = offsets.constFind(hour);
    if (it == offsets.constEnd())
        it = offsets.insert(hour, QDateTime::fromSecsSinceEpoch(hour * 3600).offsetFromUtc());
    const qint64 local = czas + *it;
    return QDate(1970, 1, 1).addDays(local >= 0 ? local / 86400 : (local - 86399) / 86400);
}

qint64 AssetDayStart(const QDate &date)
{
    thread_local QHash<qint64, qint64> starts; // Julian day -> its first second
    auto it = starts.constFind(date.toJulianDay());
    if (it == starts.constEnd())
        it = starts.insert(date.toJulianDay(), QDateTime(date, QTime(0, 0)).toSecsSinceEpoch());
    return *it;
}

QHash<QString, qint64> OstatniePerPunkt(const TAssetRegister &reg, const QVector<TAssetNazwa> &tests)
{
    QHash<QString, qint64> last;
    for (const TAssetNazwa &t : tests) {
        const QString punkt = reg.CalaNazwa(t.qsNazwa);
        if (punkt.isEmpty())
            continue;
        qint64 &l = last[punkt];
        l = qMax(l, t.iOstatni);
    }
    return last;
}

QVector<TAssetTermin> Terminy(const TAssetRegister &reg, const QHash<QString, qint64> &ostatnie,
                              const QDate &miesiac, const QDate &dzis)
{
    const QDate koniec = QDate(miesiac.year(), miesiac.month(), 1).addMonths(1).addDays(-1);
    QVector<TAssetTermin> list;
    // Sites by their paths, worked out once: the sort compares ranks.
    QHash<QString, int> siteRank;
    QVector<int> ranks;
    for (const TAssetNode &node : reg.Nodes()) {
        if (node.iTyp != AssetPunkt || reg.Retired(node.qsUuid))
            continue;
        TAssetTermin t;
        t.iInterwal = reg.Interwal(node.qsUuid);
        if (t.iInterwal <= 0)
            continue;
        t.qsPunkt = node.qsUuid;
        t.iOstatni = ostatnie.value(node.qsUuid, 0);
        if (t.iOstatni != 0) {
            t.nastepny = AssetDate(t.iOstatni).addMonths(t.iInterwal);
            if (t.nastepny > koniec)
                continue;
            t.iStan = t.nastepny < dzis ? AssetZalegly : AssetWTerminie;
        } else {
            t.iStan = AssetNigdy;
        }
        if (const TAssetNode *site = reg.Ancestor(node.qsUuid, AssetLokalizacja)) {
            t.qsLokalizacja = site->qsUuid;
            siteRank.insert(site->qsUuid, 0);
        }
        t.qsSciezka = reg.Path(node.qsUuid);
        list.append(t);
    }
    {
        QVector<QPair<QString, QString>> sites; // path, uuid
        sites.reserve(siteRank.size());
        for (auto it = siteRank.constBegin(); it != siteRank.constEnd(); ++it)
            sites.append({reg.Path(it.key()), it.key()});
        std::sort(sites.begin(), sites.end());
        // A point in no site has the empty path, which sorts first; sites
        // of one path share a rank.
        int rank = 0;
        for (int i = 0; i < sites.size(); ++i) {
            if (!sites[i].first.isEmpty() && (i == 0 || sites[i].first != sites[i - 1].first))
                ++rank;
            siteRank[sites[i].second] = rank;
        }
        ranks.reserve(list.size());
        for (const TAssetTermin &t : qAsConst(list))
            ranks.append(t.qsLokalizacja.isEmpty() ? 0 : siteRank.value(t.qsLokalizacja));
    }
    QVector<int> order(list.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&list, &ranks](int ia, int ib) {
        if (ranks[ia] != ranks[ib])
            return ranks[ia] < ranks[ib];
        const TAssetTermin &a = list[ia], &b = list[ib];
        if (a.nastepny != b.nastepny)
            return a.nastepny < b.nastepny; // invalid (never tested) first
        return a.qsSciezka != b.qsSciezka ? a.qsSciezka < b.qsSciezka : a.qsPunkt < b.qsPunkt;
    });
    QVector<TAssetTermin> sorted;
    sorted.reserve(list.size());
    for (int i : order)
        sorted.append(list[i]);
    list = sorted;
    return list;
}
