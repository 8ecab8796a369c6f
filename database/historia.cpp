#include "database/historia.h"

#include "database/resulttexts.h"
#include "database/rowid.h"

#include "measurement/czas.h"
#include "measurement/engformat.h"
#include "measurement/replacefile.h"
#include "measurement/tdatapomiar.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextCodec>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One statement for the whole history: the rows come back in the order the
// table shows them, and the meter's database gets no index from a reader.
const char kHistoriaStatement[] =
    "SELECT pomiar_id, pomiar_czas, pomiar_rezystancja, pomiar_status, pomiar_metoda, "
    "pomiar_komentarz, pomiar_plik_dane FROM pomiar WHERE pomiar_obiekt_id = ? ";
const char kHistoriaOrder[] = "ORDER BY pomiar_czas, pomiar_id";

double NotANumber() { return std::numeric_limits<double>::quiet_NaN(); }

// The last second QDateTime and every calendar shows as a year of four digits.
constexpr qint64 kLastCzas = 253402300799; // 9999-12-31 23:59:59 UTC

/// pomiar_czas as seconds: a whole number (an integer, or a real without a
/// fraction) from 1970 to the year 9999; anything else is unknown.
qint64 CzasOf(const QVariant &value)
{
    qint64 czas = 0;
    if (value.userType() == QMetaType::QString || !WholeId(value, &czas) || czas < 0 || czas > kLastCzas)
        return kHistoriaCzasUnknown;
    return czas;
}

} // namespace

qint64 HistoriaCzas(const QVariant &value) { return CzasOf(value); }

namespace {

QString CsvField(QString text)
{
    // A comment may hold anything the meter's keyboard or another reader
    // allows; unquoted, a ";" or a line break would shift every column after it.
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

} // namespace

bool ReadHistoria(const QSqlDatabase &db, qint64 objectId, QVector<THistoriaRow> *rows, QString *errorText,
                  const QVector<qint64> *rowids)
{
    rows->clear();
    QString statement = QLatin1String(kHistoriaStatement);
    // Each row looked up by its rowid: the object's rows are read, not the table.
    if (rowids)
        statement += QStringLiteral("AND _rowid_ IN (") + RowidList(*rowids) + QStringLiteral(") ");
    statement += QLatin1String(kHistoriaOrder);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        if (errorText)
            *errorText = query.lastError().text();
        return false;
    }
    query.addBindValue(objectId);
    if (!query.exec()) {
        if (errorText)
            *errorText = query.lastError().text();
        return false;
    }
    QHash<qint64, int> seen; // rows by id
    bool shared = false;
    while (query.next()) {
        THistoriaRow row;
        row.bIdExact = WholeId(query.value(0), &row.id);
        if (row.bIdExact && ++seen[row.id] > 1)
            shared = true;
        if (!row.bIdExact)
            row.id = -1;
        row.czas = CzasOf(query.value(1));
        row.R = ColumnNumber(query.value(2));
        row.status = query.value(3).toInt();
        row.metoda = query.value(4).toInt();
        row.komentarz = query.value(5).toString();
        row.plik = query.value(6).toString();
        rows->append(row);
    }
    // Rows of one id: the first of them was read before the second was seen.
    if (shared) {
        for (THistoriaRow &row : *rows) {
            if (row.bIdExact && seen.value(row.id) > 1) {
                row.bIdExact = false;
                row.id = -1;
            }
        }
    }
    // SQL puts NULL before every time and texts after: both are unknown, last.
    std::stable_partition(rows->begin(), rows->end(),
                          [](const THistoriaRow &r) { return r.czas != kHistoriaCzasUnknown; });
    return true;
}

bool HasValue(const THistoriaRow &row)
{
    const double size = std::fabs(row.R);
    return row.status != -1 && row.czas != kHistoriaCzasUnknown && size < kHistoriaInfinity
        && (size >= kHistoriaTiny || row.R == 0);
}

bool HistoriaCzasSpan(const QVector<THistoriaRow> &rows, qint64 *first, qint64 *last)
{
    bool any = false;
    for (const THistoriaRow &row : rows) {
        if (row.czas == kHistoriaCzasUnknown)
            continue;
        if (!any || row.czas < *first)
            *first = row.czas;
        if (!any || row.czas > *last)
            *last = row.czas;
        any = true;
    }
    return any;
}

int FirstValueIndex(const QVector<THistoriaRow> &rows)
{
    for (int i = 0; i < rows.size(); ++i) {
        if (HasValue(rows[i]))
            return i;
    }
    return -1;
}

int HistoriaRowOf(const QVector<THistoriaRow> &rows, qint64 id, qint64 czas)
{
    int sameTime = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (!HasValue(rows[i]) || rows[i].czas != czas)
            continue;
        if (rows[i].id == id)
            return i;
        if (sameTime < 0)
            sameTime = i;
    }
    return sameTime;
}

double PercentChange(double value, double reference)
{
    if (reference == 0 || !std::isfinite(value) || !std::isfinite(reference))
        return NotANumber();
    // Against the reference's size, so a rise reads as a rise even for the
    // negative values a badly connected meter may store.
    return (value - reference) / std::fabs(reference) * 100.0;
}

QVector<THistoriaZmiana> HistoriaZmiany(const QVector<THistoriaRow> &rows, int reference)
{
    const bool hasReference = reference >= 0 && reference < rows.size() && HasValue(rows[reference]);
    QVector<THistoriaZmiana> zmiany(rows.size(), THistoriaZmiana{NotANumber(), NotANumber()});
    int previous = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (!HasValue(rows[i]))
            continue;
        if (hasReference)
            zmiany[i].odniesienie = PercentChange(rows[i].R, rows[reference].R);
        if (previous >= 0)
            zmiany[i].poprzedni = PercentChange(rows[i].R, rows[previous].R);
        previous = i;
    }
    return zmiany;
}

QString HistoriaCzasText(qint64 czas)
{
    if (czas == kHistoriaCzasUnknown)
        return QObject::tr("nieznany");
    return CzasText(czas);
}

QString HistoriaRText(const THistoriaRow &row)
{
    if (row.status == -1)
        return QObject::tr("Poza zakresem");
    if (std::isnan(row.R))
        return QObject::tr("brak");
    if (row.R >= kHistoriaInfinity)
        return QString(QChar(0x221E));
    if (row.R <= -kHistoriaInfinity)
        return QStringLiteral("-") + QChar(0x221E);
    return FormatEngineering(std::fabs(row.R) < kHistoriaTiny ? 0.0 : row.R);
}

QString HistoriaRoznicaText(const THistoriaRow &row, const THistoriaRow &reference)
{
    if (!HasValue(row) || !HasValue(reference))
        return QString();
    const double ref = std::fabs(reference.R) < kHistoriaTiny ? 0.0 : reference.R;
    const double value = std::fabs(row.R) < kHistoriaTiny ? 0.0 : row.R;
    // The reference as the table shows it, "10.00 mΩ": its unit and decimals.
    const int exponent = EngExponent(ref, 4);
    const QString shown = FormatEngineering(ref, 4);
    const int point = shown.indexOf(QLatin1Char('.'));
    const int blank = shown.indexOf(QLatin1Char(' '));
    const int decimals = point >= 0 && blank > point ? blank - point - 1 : 0;
    QString text = QString::number((value - ref) / std::pow(10.0, exponent), 'f', decimals);
    bool zero = true;
    for (const QChar c : qAsConst(text))
        zero = zero && (c == QLatin1Char('0') || c == QLatin1Char('.') || c == QLatin1Char('-'));
    if (zero)
        text.remove(QLatin1Char('-'));
    else if (!text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char('+'));
    return text + QLatin1Char(' ') + EngUnitText(exponent);
}

QString HistoriaMetodaText(const THistoriaRow &row)
{
    return IsMetoda3P(row.metoda) ? QStringLiteral("3P") : QStringLiteral("2P");
}

QString PercentText(double percent, bool decimalComma)
{
    if (!std::isfinite(percent))
        return QString();
    QString text = std::fabs(percent) < 1e6 ? QString::number(percent, 'f', 1) : QString::number(percent, 'g', 3);
    // A change that rounds to nothing has no direction: "0.0", never "-0.0".
    if (text == QLatin1String("0.0") || text == QLatin1String("-0.0"))
        text = QStringLiteral("0.0");
    else if (percent > 0)
        text.prepend(QLatin1Char('+'));
    if (decimalComma)
        return text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text + QLatin1Char('%');
}

QStringList HistoriaHeaders(bool csv)
{
    return {QObject::tr("Czas"),
            csv ? QObject::tr("R [Ohm]") : QStringLiteral("R"),
            QObject::tr("Metoda"),
            csv ? QObject::tr("Zmiana wzgl. odniesienia [%]") : QObject::tr("Zmiana wzgl. odniesienia"),
            csv ? QObject::tr("Zmiana wzgl. poprzedniego [%]") : QObject::tr("Zmiana wzgl. poprzedniego"),
            QObject::tr("Komentarz")};
}

QString HistoriaCsvText(const QVector<THistoriaRow> &rows, int reference, const QStringList &extraHeaders,
                        const QVector<QStringList> &extraCells)
{
    const QVector<THistoriaZmiana> zmiany = HistoriaZmiany(rows, reference);
    auto extra = [&](const QStringList &fields) {
        QString line;
        for (int c = 0; c < extraHeaders.size(); ++c)
            line += QLatin1Char(';') + CsvField(CsvTextField(fields.value(c)));
        return line;
    };
    QString text = HistoriaHeaders(true).join(QLatin1Char(';')) + extra(extraHeaders) + QLatin1Char('\n');
    for (int i = 0; i < rows.size(); ++i) {
        const THistoriaRow &row = rows[i];
        // Every digit the double holds: the table rounds, the file must not.
        QString R;
        if (row.status == -1)
            R = QObject::tr("Poza zakresem");
        else if (std::isfinite(row.R))
            R = QString::number(row.R, 'g', QLocale::FloatingPointShortest).replace(QLatin1Char('.'), QLatin1Char(','));
        else if (std::isinf(row.R))
            R = row.R > 0 ? QString(QChar(0x221E)) : QStringLiteral("-") + QChar(0x221E);
        const QString czas = row.czas == kHistoriaCzasUnknown ? QString() : HistoriaCzasText(row.czas);
        text += czas + QLatin1Char(';') + CsvField(R) + QLatin1Char(';')
            + HistoriaMetodaText(row) + QLatin1Char(';') + PercentText(zmiany[i].odniesienie, true) + QLatin1Char(';')
            + PercentText(zmiany[i].poprzedni, true) + QLatin1Char(';') + CsvField(CsvTextField(row.komentarz)) + extra(extraCells.value(i)) + QLatin1Char('\n');
    }
    return text;
}

ExportResult SaveHistoriaCsv(const QString &fileName, const QVector<THistoriaRow> &rows, int reference,
                             QString *errorText, const QStringList &extraHeaders,
                             const QVector<QStringList> &extraCells)
{
    // The locale's encoding, as the measurement CSV: what a spreadsheet on
    // the same machine opens a CSV file with.
    const QByteArray bytes = QTextCodec::codecForLocale()->fromUnicode(HistoriaCsvText(rows, reference, extraHeaders, extraCells));
    return ExportResult(ReplaceWholeFile(fileName, bytes, true, errorText));
}

THistoriaRows::THistoriaRows(const QVector<THistoriaRow> &rows)
{
    const int n = rows.size();
    ids.reserve(n);
    czasy.reserve(n);
    rs.reserve(n);
    statusy.reserve(n);
    metody.reserve(n);
    exact.reserve(n);
    poprzednie.reserve(n);
    poczatki.reserve(n + 1);
    int length = 0;
    for (const THistoriaRow &row : rows)
        length += row.komentarz.size();
    komentarze.reserve(length);
    // Found once: a history whose valid rows are far apart (a damaged one,
    // or one mostly out of range) would otherwise be scanned for every
    // change on screen.
    int previous = -1;
    for (const THistoriaRow &row : rows) {
        poprzednie.append(previous);
        if (::HasValue(row))
            previous = poprzednie.size() - 1;
        ids.append(row.id);
        czasy.append(row.czas);
        rs.append(row.R);
        statusy.append(row.status);
        metody.append(row.metoda);
        exact.append(row.bIdExact);
        poczatki.append(komentarze.size());
        komentarze.append(row.komentarz);
    }
    poczatki.append(komentarze.size());
}

THistoriaRow THistoriaRows::Row(int i, bool withKomentarz) const
{
    THistoriaRow row;
    row.id = ids.at(i);
    row.bIdExact = exact.at(i);
    row.czas = czasy.at(i);
    row.R = rs.at(i);
    row.status = statusy.at(i);
    row.metoda = metody.at(i);
    if (withKomentarz)
        row.komentarz = Komentarz(i);
    return row;
}

QVector<THistoriaRow> THistoriaRows::Rows() const
{
    QVector<THistoriaRow> rows;
    rows.reserve(size());
    for (int i = 0; i < size(); ++i)
        rows.append(Row(i));
    return rows;
}

bool THistoriaRows::HasValue(int i) const
{
    return ::HasValue(Row(i, false));
}

QString THistoriaRows::Komentarz(int i) const
{
    return komentarze.mid(poczatki.at(i), poczatki.at(i + 1) - poczatki.at(i));
}

void THistoriaRows::SetKomentarz(int i, const QString &komentarz)
{
    const int start = poczatki.at(i);
    const int old = poczatki.at(i + 1) - start;
    komentarze.replace(start, old, komentarz);
    const int shift = komentarz.size() - old;
    for (int k = i + 1; k < poczatki.size(); ++k)
        poczatki[k] += shift;
}

THistoriaZmiana THistoriaRows::Zmiana(int reference, int row) const
{
    THistoriaZmiana zmiana{NotANumber(), NotANumber()};
    if (row < 0 || row >= size() || !HasValue(row))
        return zmiana;
    if (reference >= 0 && reference < size() && HasValue(reference))
        zmiana.odniesienie = PercentChange(rs.at(row), rs.at(reference));
    const int previous = poprzednie.at(row);
    if (previous >= 0)
        zmiana.poprzedni = PercentChange(rs.at(row), rs.at(previous));
    return zmiana;
}
