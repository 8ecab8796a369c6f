#ifndef ASSETTABLE_H
#define ASSETTABLE_H

#include "asset/assetregister.h"
#include "asset/assetstore.h"
#include "report/xlsxbook.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

// The register's lists as tables: one set of columns for the window, its
// CSV, XLSX and PDF, and the command line's CSV and JSON lines. Values are
// kept in a form scripts read (dates "yyyy-MM-dd", times "yyyy-MM-dd
// hh:mm:ss" local, ohms as plain numbers with a decimal point); the
// window formats the ohms it shows itself.

struct TAssetTabela
{
    QStringList klucze;        // JSON keys, also the CSV's header for scripts
    QStringList naglowki;      // the headers shown (translated, context QObject)
    QVector<bool> liczbowe;    // a column of numbers (JSON numbers, right-aligned)
    QVector<QStringList> wiersze;
};

/// Every node, depth first in the tree's order, with its path, effective
/// interval and the meter names mapped to it.
TAssetTabela TabelaDrzewa(const TAssetRegister &reg);
/// The due list.
TAssetTabela TabelaTerminow(const TAssetRegister &reg, const QVector<TAssetTermin> &list);
/// The watch list.
TAssetTabela TabelaObserwacji(const QVector<TAssetObserwacja> &list);

/// RFC 4180 CSV with comma and decimal point, a header of the keys (or of
/// the headers shown when `naglowki`), CR LF line ends; texts guarded
/// against being run as formulas.
QString AssetCsv(const TAssetTabela &t, bool naglowki = false);
/// One JSON object per row and line, keys in the table's order.
QString AssetJsonLines(const TAssetTabela &t);

/// The table as one sheet `sheet` of `book`: the headers shown in bold,
/// numbers as numbers, the rest as text.
void AssetXlsxSheet(const TAssetTabela &t, const QString &sheet, TXlsxBook *book);

/// The due list (`due`) or the watch list as the XLSX book the window
/// saves and the command line writes: one sheet, the book's title the
/// list's name, dated the first second of local day `dzien` (so that a
/// list saved twice on one day is the same file).
TXlsxBook AssetXlsxBook(const TAssetTabela &t, bool due, const QString &author, const QDate &dzien);

/// "yyyy-MM-dd" of local day `czas`; empty for 0.
QString AssetDayText(qint64 czas);

#endif // ASSETTABLE_H
