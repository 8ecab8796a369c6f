#ifndef XLSXBOOK_H
#define XLSXBOOK_H

#include "measurement/replacefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

/// One cell of a workbook: empty, a text, a number shown with an Excel
/// number format ("0.000", "0.0E+00", ...) or a date and time (shown with
/// its own format). Bold for a header.
struct TXlsxCell
{
    enum Kind { Empty, Text, Number, Date };
    Kind kind = Empty;
    QString qsText;
    double dNumber = 0;
    QDateTime date;      // local wall time as shown; its time zone is not written
    QString qsFormat;    // Excel number format; empty: General (numbers) or "yyyy-mm-dd hh:mm" (dates)
    bool bBold = false;

    static TXlsxCell OfText(const QString &text, bool bold = false);
    /// A number; a value that is not finite is written as an empty cell.
    static TXlsxCell OfNumber(double value, const QString &format = QString());
    static TXlsxCell OfDate(const QDateTime &date, const QString &format = QString());
};

/// One sheet: rows of cells from the top left, and the widths of its
/// columns (in characters, as Excel counts them; 0 leaves the default).
struct TXlsxSheet
{
    QString qsName;      // at most 31 characters, none of []:*?/\ (replaced by '_' when written)
    QVector<QVector<TXlsxCell>> rows;
    QVector<double> widths;

    /// Appends a row of bold texts.
    void AddHeader(const QStringList &texts);
    void AddRow(const QVector<TXlsxCell> &cells);
    void SetWidth(int column, double width);
};

/// A workbook of sheets written as .xlsx. Its properties (title, author,
/// creation time) are fixed by the caller, so the same book gives the same
/// bytes whenever and wherever it is written.
class TXlsxBook
{
public:
    QString qsTitle;
    QString qsAuthor;
    /// The creation time written in the properties and the zip entries;
    /// invalid: 2000-01-01 00:00 UTC (never the clock, which would make
    /// every writing of the same book differ).
    QDateTime created;
    QVector<TXlsxSheet> sheets;

    TXlsxSheet *AddSheet(const QString &name);

    /// The .xlsx bytes; empty with the reason in `*errorText` (when given)
    /// when the library failed (no room for its temporary file).
    QByteArray Bytes(QString *errorText = nullptr) const;
    /// Writes the book to `fileName` whole or not at all (ReplaceWholeFile).
    ReplaceFileResult Save(const QString &fileName, QString *errorText = nullptr) const;
};

#endif // XLSXBOOK_H
