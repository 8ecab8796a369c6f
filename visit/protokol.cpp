#include "visit/protokol.h"

#include "historia/historia.h"
#include "measurement/csvexport.h"
#include "measurement/engformat.h"
#include "report/xlsxbook.h"
#include "verdict/verdict.h"
#include "verdict/verdictreport.h"
#include "visit/wizyta.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

const QString kDash = QString(QChar(0x2014));

double NumOf(const QJsonValue &v) { return v.isDouble() ? v.toDouble() : qQNaN(); }

QString TempText(double t) { return std::isfinite(t) ? QString::number(t, 'f', 1) + QStringLiteral(" °C") : kDash; }

QString OsobaText(const TOsoba &o)
{
    if (o.qsUprawnienia.isEmpty())
        return o.qsImie;
    return QCoreApplication::translate("TProtokol", "%1 (świadectwo kwalifikacyjne nr %2)").arg(o.qsImie, o.qsUprawnienia);
}

QString DatesText(const TWizyta &w)
{
    const QString od = w.od.toString(Qt::ISODate), doDnia = w.doDnia.toString(Qt::ISODate);
    if (!w.od.isValid() && !w.doDnia.isValid())
        return kDash;
    if (!w.doDnia.isValid() || w.od == w.doDnia)
        return od;
    if (!w.od.isValid())
        return doDnia;
    return od + QStringLiteral(" – ") + doDnia;
}

QString WerdyktShown(int werdykt) { return werdykt == WerdyktBrak ? kDash : WerdyktText(werdykt); }

// A number in base units for the CSV, to six significant digits (the
// protocol shows four), nothing for none.
QString CsvNumber(double v) { return std::isfinite(v) ? QString::number(v, 'g', 6) : QString(); }

QString CsvQuoted(const QString &text)
{
    QString t = CsvTextField(text);
    t.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

} // namespace

TProtokol ProtokolOf(const QJsonObject &snapshot)
{
    TProtokol p;
    const TWizyta w = TWizyta::FromJsonObject(snapshot.value(QStringLiteral("wizyta")).toObject());
    const int rev = snapshot.value(QStringLiteral("rev")).toInt();
    p.qsNumer = rev > 0 ? QCoreApplication::translate("TProtokol", "%1 rev. %2").arg(w.qsNumer).arg(rev) : w.qsNumer;
    p.qsTytul = QCoreApplication::translate("TProtokol", "Protokół z pomiarów nr %1").arg(p.qsNumer);
    p.bWykresy = snapshot.value(QStringLiteral("wykresy")).toBool();

    // ---- the cover
    QStringList ludzie;
    for (const TOsoba &o : w.wykonali)
        ludzie << OsobaText(o);
    QStringList przyrzady;
    for (const QJsonValue &v : snapshot.value(QStringLiteral("mierniki")).toArray()) {
        const QJsonObject m = v.toObject();
        const QString serial = m.value(QStringLiteral("serial")).toString();
        const QString nr = m.value(QStringLiteral("swiadectwo")).toString();
        const QString wazne = m.value(QStringLiteral("wazne_do")).toString();
        if (nr.isEmpty() && wazne.isEmpty()) {
            przyrzady << QCoreApplication::translate("TProtokol", "mikroomomierz ZYM-5 nr %1, świadectwo wzorcowania: brak").arg(serial);
            p.ostrzezenia << QCoreApplication::translate("TProtokol", "Nie podano świadectwa wzorcowania miernika nr %1.").arg(serial);
        } else {
            przyrzady << QCoreApplication::translate("TProtokol", "mikroomomierz ZYM-5 nr %1, świadectwo wzorcowania nr %2 ważne do %3")
                             .arg(serial, nr.isEmpty() ? kDash : nr, wazne.isEmpty() ? kDash : wazne);
            if (m.value(QStringLiteral("wygaslo")).toBool())
                p.ostrzezenia << QCoreApplication::translate("TProtokol", "Świadectwo wzorcowania miernika nr %1 było nieważne w dniu pomiarów (ważne do %2).")
                                     .arg(serial, wazne);
        }
    }
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Numer protokołu"), p.qsNumer);
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Zleceniodawca"), w.qsKlient);
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Miejsce pomiarów"), w.qsMiejsce);
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Data pomiarów"), DatesText(w));
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Pomiary wykonali"), ludzie.isEmpty() ? kDash : ludzie.join(QLatin1String("; ")));
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Przyrząd"), przyrzady.isEmpty() ? kDash : przyrzady.join(QLatin1String("; ")));
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Temperatura otoczenia"), TempText(w.dTOtoczenia));
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Warunki pomiarów"), w.qsWarunki.isEmpty() ? kDash : w.qsWarunki);
    p.naglowek << TReportField(QCoreApplication::translate("TProtokol", "Kryteria oceny"),
                               QCoreApplication::translate("TProtokol", "granice dopuszczalne każdego obiektu, obowiązujące w dniu sporządzenia protokołu "
                                 "(kolumna „Kryterium”); rezystancja sprowadzona do temperatury odniesienia"));

    // ---- the table
    p.kolumny << QCoreApplication::translate("TProtokol", "Lp.") << QCoreApplication::translate("TProtokol", "Obiekt") << QCoreApplication::translate("TProtokol", "Data\npomiaru") << QCoreApplication::translate("TProtokol", "R zmierzona\nprąd, temp.")
              << QCoreApplication::translate("TProtokol", "R w temp.\nodniesienia") << QCoreApplication::translate("TProtokol", "Kryterium") << QCoreApplication::translate("TProtokol", "Ocena") << QCoreApplication::translate("TProtokol", "Uwagi");
    int lp = 0;
    for (const QJsonValue &ov : snapshot.value(QStringLiteral("obiekty")).toArray()) {
        const QJsonObject o = ov.toObject();
        const QString nazwa = o.value(QStringLiteral("nazwa")).toString();
        const QJsonArray pomiary = o.value(QStringLiteral("pomiary")).toArray();
        ++lp;
        if (pomiary.isEmpty()) {
            TProtokolWiersz r;
            r.iLp = lp;
            r.qsObiekt = nazwa;
            r.bZmierzony = false;
            r.qsR = r.qsI = r.qsT = r.qsRKor = r.qsKryterium = kDash;
            r.qsWerdykt = QCoreApplication::translate("TProtokol", "nie zmierzono");
            p.wiersze << r;
            p.niezmierzone << nazwa;
            continue;
        }
        if (pomiary.size() > 1)
            p.powtorzone << nazwa;
        for (int i = 0; i < pomiary.size(); ++i) {
            const QJsonObject m = pomiary.at(i).toObject();
            TProtokolWiersz r;
            r.iLp = lp;
            r.qsObiekt = nazwa;
            r.qsCzas = m.value(QStringLiteral("czas")).toString();
            r.qsPomiar = m.value(QStringLiteral("pomiar")).toString();
            r.dR = NumOf(m.value(QStringLiteral("r")));
            r.dI = NumOf(m.value(QStringLiteral("i")));
            r.dT = NumOf(m.value(QStringLiteral("t")));
            r.dRKor = NumOf(m.value(QStringLiteral("r_kor")));
            r.dTRef = NumOf(m.value(QStringLiteral("t_ref")));
            THistoriaRow row;
            row.R = r.dR;
            row.status = m.value(QStringLiteral("poza_zakresem")).toBool() ? -1 : 0;
            r.qsR = HistoriaRText(row);
            r.qsI = std::isfinite(r.dI) ? FormatEngineeringIn(r.dI, QStringLiteral("A")) : kDash;
            r.qsT = TempText(r.dT);
            r.qsRKor = std::isfinite(r.dRKor) ? QCoreApplication::translate("TProtokol", "%1 (%2)").arg(FormatEngineering(r.dRKor), TempText(r.dTRef)) : kDash;
            const TLimity l = TLimity::FromObject(m.value(QStringLiteral("limity")).toObject());
            r.qsKryterium = LimityText(l);
            r.iWerdykt = WerdyktFromKey(m.value(QStringLiteral("werdykt")).toString());
            r.qsWerdykt = WerdyktShown(r.iWerdykt);
            QStringList uwagi;
            const QString komentarz = m.value(QStringLiteral("komentarz")).toString().trimmed();
            if (!komentarz.isEmpty())
                uwagi << komentarz;
            const QString powod = m.value(QStringLiteral("powod")).toString().trimmed();
            if (!powod.isEmpty())
                uwagi << QCoreApplication::translate("TProtokol", "ocena zmieniona: %1").arg(powod);
            // A repeat supersedes what was measured before it on the visit.
            r.bZastapiony = i + 1 < pomiary.size();
            if (r.bZastapiony)
                uwagi << QCoreApplication::translate("TProtokol", "zastąpiony pomiarem powtórzonym");
            r.qsUwagi = uwagi.join(QLatin1String("; "));
            p.wiersze << r;
            if (!r.bZastapiony) {
                switch (r.iWerdykt) {
                case WerdyktDobry: ++p.iDobry; break;
                case WerdyktDoSprawdzenia: ++p.iDoSprawdzenia; break;
                case WerdyktZly: ++p.iZly; break;
                default: ++p.iBezOceny; break;
                }
            }
        }
    }

    // ---- the summary and signatures
    const int planned = lp;
    p.podsumowanie << TReportField(QCoreApplication::translate("TProtokol", "Obiektów w planie"), QString::number(planned));
    p.podsumowanie << TReportField(QCoreApplication::translate("TProtokol", "Obiektów zmierzonych"), QString::number(planned - p.niezmierzone.size()));
    p.podsumowanie << TReportField(WerdyktText(WerdyktDobry), QString::number(p.iDobry));
    p.podsumowanie << TReportField(WerdyktText(WerdyktDoSprawdzenia), QString::number(p.iDoSprawdzenia));
    p.podsumowanie << TReportField(WerdyktText(WerdyktZly), QString::number(p.iZly));
    p.podsumowanie << TReportField(QCoreApplication::translate("TProtokol", "Bez oceny"), QString::number(p.iBezOceny));
    p.podsumowanie << TReportField(QCoreApplication::translate("TProtokol", "Nie zmierzono"),
                                   p.niezmierzone.isEmpty() ? kDash : p.niezmierzone.join(QLatin1String(", ")));
    p.podsumowanie << TReportField(QCoreApplication::translate("TProtokol", "Zmierzone więcej niż raz"),
                                   p.powtorzone.isEmpty() ? kDash : p.powtorzone.join(QLatin1String(", ")));
    p.qsUwagi = w.qsUwagi;

    const QString line = QStringLiteral("................................................");
    QStringList wykonali;
    for (const TOsoba &o : w.wykonali)
        wykonali << o.qsImie;
    p.podpisy << TReportField(QCoreApplication::translate("TProtokol", "Wykonał(a)"), (wykonali.isEmpty() ? QString() : wykonali.join(QLatin1String(", ")) + QLatin1Char(' ')) + line);
    const QString zatwierdzil = snapshot.value(QStringLiteral("zatwierdzil")).toString();
    const QString sprawdzil = !w.sprawdzil.qsImie.isEmpty() ? w.sprawdzil.qsImie : zatwierdzil;
    p.podpisy << TReportField(QCoreApplication::translate("TProtokol", "Sprawdził(a)"), (sprawdzil.isEmpty() ? QString() : sprawdzil + QLatin1Char(' ')) + line);
    const QString data = snapshot.value(QStringLiteral("data_zatwierdzenia")).toString();
    p.podpisy << TReportField(QCoreApplication::translate("TProtokol", "Data"), data.isEmpty() ? line : data);
    return p;
}

QVector<QStringList> ProtokolTableRows(const TProtokol &p)
{
    // Line breaks where a reader expects them keep the narrow columns
    // from being broken inside a date or a number.
    const QString nl(QLatin1Char('\n'));
    QVector<QStringList> rows;
    for (const TProtokolWiersz &r : p.wiersze) {
        QString rKor = r.qsRKor;
        rKor.replace(QLatin1String(" ("), nl + QLatin1Char('('));
        QString kryterium = r.qsKryterium;
        kryterium.replace(QLatin1String("; "), nl);
        rows << (QStringList() << QString::number(r.iLp) << r.qsObiekt
                               << (r.qsCzas.isEmpty() ? kDash : QString(r.qsCzas).replace(QLatin1Char(' '), nl))
                               << (r.bZmierzony ? r.qsR + nl + r.qsI + nl + r.qsT : kDash) << rKor << kryterium
                               << r.qsWerdykt << r.qsUwagi);
    }
    return rows;
}

QByteArray ProtokolCsv(const TProtokol &p)
{
    QStringList header;
    header << QCoreApplication::translate("TProtokol", "Lp.") << QCoreApplication::translate("TProtokol", "Obiekt") << QCoreApplication::translate("TProtokol", "Data pomiaru") << QCoreApplication::translate("TProtokol", "R [Ω]") << QCoreApplication::translate("TProtokol", "I [A]") << QCoreApplication::translate("TProtokol", "T [°C]")
           << QCoreApplication::translate("TProtokol", "R w temp. odn. [Ω]") << QCoreApplication::translate("TProtokol", "Temp. odn. [°C]") << QCoreApplication::translate("TProtokol", "Kryterium") << QCoreApplication::translate("TProtokol", "Ocena") << QCoreApplication::translate("TProtokol", "Uwagi");
    QStringList lines;
    QStringList quoted;
    for (const QString &h : header)
        quoted << CsvQuoted(h);
    lines << quoted.join(QLatin1Char(','));
    for (const TProtokolWiersz &r : p.wiersze) {
        QStringList f;
        f << QString::number(r.iLp) << CsvQuoted(r.qsObiekt) << CsvQuoted(r.qsCzas)
          << (std::isfinite(r.dR) ? CsvNumber(r.dR) : CsvQuoted(r.bZmierzony ? r.qsR : QString()))
          << CsvNumber(r.dI) << CsvNumber(r.dT) << CsvNumber(r.dRKor) << CsvNumber(r.dTRef)
          << CsvQuoted(r.bZmierzony ? r.qsKryterium : QString()) << CsvQuoted(r.qsWerdykt) << CsvQuoted(r.qsUwagi);
        lines << f.join(QLatin1Char(','));
    }
    QByteArray out("\xEF\xBB\xBF");
    out += lines.join(QLatin1String("\r\n")).toUtf8();
    out += "\r\n";
    return out;
}

TXlsxBook ProtokolXlsx(const TProtokol &p)
{
    TXlsxBook book;
    book.qsTitle = p.qsTytul;
    // The book's time is its protocol's, so the same protocol gives the same bytes.
    book.created = QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    TXlsxSheet *s = book.AddSheet(QCoreApplication::translate("TProtokol", "Protokół"));
    s->AddRow({TXlsxCell::OfText(p.qsTytul, true)});
    for (const TReportField &f : p.naglowek)
        s->AddRow({TXlsxCell::OfText(f.first, true), TXlsxCell::OfText(f.second)});
    for (const QString &o : p.ostrzezenia)
        s->AddRow({TXlsxCell::OfText(QCoreApplication::translate("TProtokol", "Uwaga"), true), TXlsxCell::OfText(o)});
    s->AddRow({});
    s->AddHeader(QStringList() << QCoreApplication::translate("TProtokol", "Lp.") << QCoreApplication::translate("TProtokol", "Obiekt") << QCoreApplication::translate("TProtokol", "Data pomiaru") << QCoreApplication::translate("TProtokol", "R [Ω]") << QCoreApplication::translate("TProtokol", "I [A]")
                               << QCoreApplication::translate("TProtokol", "T [°C]") << QCoreApplication::translate("TProtokol", "R w temp. odn. [Ω]") << QCoreApplication::translate("TProtokol", "Temp. odn. [°C]") << QCoreApplication::translate("TProtokol", "Kryterium")
                               << QCoreApplication::translate("TProtokol", "Ocena") << QCoreApplication::translate("TProtokol", "Uwagi"));
    const QString ohms = QStringLiteral("0.000E+00");
    const QString one = QStringLiteral("0.0");
    for (const TProtokolWiersz &r : p.wiersze) {
        const QDateTime czas = QDateTime::fromString(r.qsCzas, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        s->AddRow({TXlsxCell::OfNumber(r.iLp), TXlsxCell::OfText(r.qsObiekt),
                   czas.isValid() ? TXlsxCell::OfDate(czas, QStringLiteral("yyyy-mm-dd hh:mm:ss"))
                                  : TXlsxCell::OfText(r.qsCzas),
                   std::isfinite(r.dR) ? TXlsxCell::OfNumber(r.dR, ohms)
                                       : TXlsxCell::OfText(r.bZmierzony ? r.qsR : QString()),
                   TXlsxCell::OfNumber(r.dI, one), TXlsxCell::OfNumber(r.dT, one), TXlsxCell::OfNumber(r.dRKor, ohms),
                   TXlsxCell::OfNumber(r.dTRef, one), TXlsxCell::OfText(r.bZmierzony ? r.qsKryterium : QString()),
                   TXlsxCell::OfText(r.qsWerdykt), TXlsxCell::OfText(r.qsUwagi)});
    }
    const double widths[] = {5, 24, 20, 12, 10, 8, 16, 12, 40, 16, 40};
    for (int c = 0; c < 11; ++c)
        s->SetWidth(c, widths[c]);

    TXlsxSheet *sum = book.AddSheet(QCoreApplication::translate("TProtokol", "Podsumowanie"));
    for (const TReportField &f : p.podsumowanie)
        sum->AddRow({TXlsxCell::OfText(f.first, true), TXlsxCell::OfText(f.second)});
    if (!p.qsUwagi.isEmpty())
        sum->AddRow({TXlsxCell::OfText(QCoreApplication::translate("TProtokol", "Uwagi"), true), TXlsxCell::OfText(p.qsUwagi)});
    for (const TReportField &f : p.podpisy)
        sum->AddRow({TXlsxCell::OfText(f.first, true), TXlsxCell::OfText(f.second)});
    sum->SetWidth(0, 26);
    sum->SetWidth(1, 60);
    return book;
}
