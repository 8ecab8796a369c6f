#include "asset/assettable.h"

#include "measurement/csvexport.h"
#include "measurement/jsontext.h"
#include "report/xlsxbook.h"

#include <QDateTime>
#include <QObject>

#include <cmath>

namespace {

QString Num(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', 10) : QString();
}

QString TimeText(qint64 czas)
{
    return czas == 0 ? QString() : QDateTime::fromSecsSinceEpoch(czas).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString StanKey(int stan)
{
    switch (stan) {
    case AssetZalegly: return QStringLiteral("zalegly");
    case AssetNigdy: return QStringLiteral("nigdy");
    default: return QStringLiteral("w_terminie");
    }
}

QString ObserwacjaKey(int stan)
{
    switch (stan) {
    case ObserwacjaBezGranicy: return QStringLiteral("brak_limitu");
    case ObserwacjaStala: return QStringLiteral("stala");
    case ObserwacjaPrzeciecie: return QStringLiteral("przeciecie");
    default: return QStringLiteral("za_malo");
    }
}

QString GranicaKey(int granica)
{
    switch (granica) {
    case GranicaMax: return QStringLiteral("max");
    case GranicaMin: return QStringLiteral("min");
    case GranicaZmiana: return QStringLiteral("zmiana");
    default: return QString();
    }
}

// The meter names mapped to a point, "name" or "name (meter, from day)".
QString NamesOf(const TAssetRegister &reg, const QString &punkt)
{
    QStringList names;
    for (const TAssetRule &rule : reg.RulesOf(punkt)) {
        QStringList where;
        if (!rule.qsMiernik.isEmpty())
            where << rule.qsMiernik;
        if (rule.od.isValid())
            where << QObject::tr("od %1").arg(rule.od.toString(QStringLiteral("yyyy-MM-dd")));
        names << (where.isEmpty() ? rule.qsNazwa : rule.qsNazwa + QStringLiteral(" (") + where.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    return names.join(QStringLiteral("; "));
}

void Columns(TAssetTabela *t, const QVector<std::pair<const char *, QString>> &cols, const QVector<int> &numeric)
{
    for (int i = 0; i < cols.size(); ++i) {
        t->klucze << QLatin1String(cols[i].first);
        t->naglowki << cols[i].second;
        t->liczbowe << numeric.contains(i);
    }
}

void AddTree(const TAssetRegister &reg, const QString &parent, TAssetTabela *t)
{
    for (const TAssetNode *n : reg.Children(parent)) {
        t->wiersze.append({n->qsUuid, n->qsRodzic, AssetTypKey(n->iTyp), reg.Path(n->qsUuid), n->qsNazwa,
                           n->iInterwalMies > 0 ? QString::number(n->iInterwalMies) : QString(),
                           reg.Interwal(n->qsUuid) > 0 ? QString::number(reg.Interwal(n->qsUuid)) : QString(),
                           reg.Retired(n->qsUuid) ? QStringLiteral("1") : QStringLiteral("0"),
                           n->iTyp == AssetPunkt ? NamesOf(reg, n->qsUuid) : QString(), n->qsUwagi});
        AddTree(reg, n->qsUuid, t);
    }
}

} // namespace

QString AssetDayText(qint64 czas)
{
    return czas == 0 ? QString() : AssetDate(czas).toString(QStringLiteral("yyyy-MM-dd"));
}

TAssetTabela TabelaDrzewa(const TAssetRegister &reg)
{
    TAssetTabela t;
    Columns(&t,
            {{"uuid", QObject::tr("Identyfikator")},
             {"rodzic", QObject::tr("Nadrzędny")},
             {"typ", QObject::tr("Poziom")},
             {"sciezka", QObject::tr("Ścieżka")},
             {"nazwa", QObject::tr("Nazwa")},
             {"interwal_mies", QObject::tr("Interwał [mies.]")},
             {"interwal_obowiazujacy", QObject::tr("Interwał obowiązujący [mies.]")},
             {"wycofany", QObject::tr("Wycofany")},
             {"nazwy_miernika", QObject::tr("Nazwy w mierniku")},
             {"uwagi", QObject::tr("Uwagi")}},
            {5, 6, 7});
    AddTree(reg, QString(), &t);
    return t;
}

TAssetTabela TabelaTerminow(const TAssetRegister &reg, const QVector<TAssetTermin> &list)
{
    TAssetTabela t;
    Columns(&t,
            {{"lokalizacja", QObject::tr("Lokalizacja")},
             {"punkt", QObject::tr("Punkt")},
             {"uuid", QObject::tr("Identyfikator")},
             {"nazwy_miernika", QObject::tr("Nazwy w mierniku")},
             {"interwal_mies", QObject::tr("Interwał [mies.]")},
             {"ostatni_pomiar", QObject::tr("Ostatni ważny pomiar")},
             {"termin", QObject::tr("Termin")},
             {"stan", QObject::tr("Stan")}},
            {4});
    for (const TAssetTermin &d : list) {
        const TAssetNode *site = reg.Node(d.qsLokalizacja);
        t.wiersze.append({site ? site->qsNazwa : QString(), d.qsSciezka, d.qsPunkt, NamesOf(reg, d.qsPunkt),
                          QString::number(d.iInterwal), TimeText(d.iOstatni),
                          d.nastepny.isValid() ? d.nastepny.toString(QStringLiteral("yyyy-MM-dd")) : QString(),
                          StanKey(d.iStan)});
    }
    return t;
}

TAssetTabela TabelaObserwacji(const QVector<TAssetObserwacja> &list)
{
    TAssetTabela t;
    Columns(&t,
            {{"punkt", QObject::tr("Punkt")},
             {"uuid", QObject::tr("Identyfikator")},
             {"stan", QObject::tr("Stan")},
             {"pomiary", QObject::tr("Pomiary w trendzie")},
             {"korekcja", QObject::tr("W temperaturze odniesienia")},
             {"r_teraz_ohm", QObject::tr("R z trendu dziś [Ω]")},
             {"trend_ohm_na_rok", QObject::tr("Trend [Ω/rok]")},
             {"niepewnosc_ohm_na_rok", QObject::tr("Niepewność trendu [Ω/rok]")},
             {"granica", QObject::tr("Limit")},
             {"granica_ohm", QObject::tr("Limit [Ω]")},
             {"przeciecie", QObject::tr("Osiągnie limit")},
             {"najwczesniej", QObject::tr("Najwcześniej")},
             {"najpozniej", QObject::tr("Najpóźniej")},
             {"przekroczony", QObject::tr("Już przekroczony")}},
            {3, 4, 5, 6, 7, 9, 13});
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const TAssetObserwacja &w : list) {
        const TObserwacja &o = w.o;
        const bool trend = o.trend.bOk;
        const bool cross = o.iStan == ObserwacjaPrzeciecie;
        t.wiersze.append({w.qsSciezka, w.qsPunkt, ObserwacjaKey(o.iStan),
                          trend ? QString::number(o.trend.iN) : QString(),
                          trend ? (o.bKorekcja ? QStringLiteral("1") : QStringLiteral("0")) : QString(),
                          trend ? Num(o.trend.At(now)) : QString(), trend ? Num(o.trend.dB * 365.25) : QString(),
                          trend ? Num(o.trend.dSigmaB * 365.25) : QString(), GranicaKey(o.iGranica),
                          cross ? Num(o.dGranica) : QString(), cross ? AssetDayText(o.przeciecie) : QString(),
                          cross ? AssetDayText(o.najwczesniej) : QString(),
                          cross ? AssetDayText(o.najpozniej) : QString(),
                          cross ? (o.bPrzekroczona ? QStringLiteral("1") : QStringLiteral("0")) : QString()});
    }
    return t;
}

QString AssetCsv(const TAssetTabela &t, bool naglowki)
{
    const auto field = [](const QString &text) {
        const QString guarded = CsvTextField(text);
        if (guarded.contains(QLatin1Char(',')) || guarded.contains(QLatin1Char('"')) || guarded.contains(QLatin1Char('\n'))
            || guarded.contains(QLatin1Char('\r')))
            return QLatin1Char('"') + QString(guarded).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        return guarded;
    };
    QString out;
    QStringList head;
    for (const QString &h : naglowki ? t.naglowki : t.klucze)
        head << field(h);
    out += head.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const QStringList &row : t.wiersze) {
        QStringList cells;
        for (const QString &cell : row)
            cells << field(cell);
        out += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out;
}

QString AssetJsonLines(const TAssetTabela &t)
{
    QString out;
    for (const QStringList &row : t.wiersze) {
        QStringList pairs;
        for (int i = 0; i < t.klucze.size() && i < row.size(); ++i) {
            const QString value = t.liczbowe[i] ? (row[i].isEmpty() ? QStringLiteral("null") : JsonNumber(row[i].toDouble()))
                                                : JsonString(row[i]);
            pairs << JsonString(t.klucze[i]) + QLatin1Char(':') + value;
        }
        out += QLatin1Char('{') + pairs.join(QLatin1Char(',')) + QStringLiteral("}\n");
    }
    return out;
}

void AssetXlsxSheet(const TAssetTabela &t, const QString &sheet, TXlsxBook *book)
{
    TXlsxSheet *s = book->AddSheet(sheet);
    s->AddHeader(t.naglowki);
    QVector<int> widths(t.naglowki.size());
    for (int c = 0; c < t.naglowki.size(); ++c)
        widths[c] = t.naglowki[c].size();
    for (const QStringList &row : t.wiersze) {
        QVector<TXlsxCell> cells;
        for (int c = 0; c < row.size(); ++c) {
            cells << (t.liczbowe.value(c) && !row[c].isEmpty() ? TXlsxCell::OfNumber(row[c].toDouble())
                                                                : TXlsxCell::OfText(row[c]));
            widths[c] = qMax(widths[c], row[c].size());
        }
        s->AddRow(cells);
    }
    for (int c = 0; c < widths.size(); ++c)
        s->SetWidth(c, qMin(widths[c] + 2, 60));
}

TXlsxBook AssetXlsxBook(const TAssetTabela &t, bool due, const QString &author, const QDate &dzien)
{
    TXlsxBook book;
    book.qsTitle = due ? QObject::tr("Do wykonania") : QObject::tr("Do obserwacji");
    book.qsAuthor = author;
    book.created = QDateTime(dzien, QTime(0, 0));
    AssetXlsxSheet(t, book.qsTitle, &book);
    return book;
}
