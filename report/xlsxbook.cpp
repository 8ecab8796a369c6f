#include "report/xlsxbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTimeZone>

#ifdef ZYM_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

#include <cmath>

TXlsxCell TXlsxCell::OfText(const QString &text, bool bold)
{
    TXlsxCell c;
    c.kind = Text;
    c.qsText = text;
    c.bBold = bold;
    return c;
}

TXlsxCell TXlsxCell::OfNumber(double value, const QString &format)
{
    TXlsxCell c;
    c.kind = std::isfinite(value) ? Number : Empty;
    c.dNumber = value;
    c.qsFormat = format;
    return c;
}

TXlsxCell TXlsxCell::OfDate(const QDateTime &date, const QString &format)
{
    TXlsxCell c;
    c.kind = date.isValid() ? Date : Empty;
    c.date = date;
    c.qsFormat = format;
    return c;
}

void TXlsxSheet::AddHeader(const QStringList &texts)
{
    QVector<TXlsxCell> cells;
    for (const QString &t : texts)
        cells.append(TXlsxCell::OfText(t, true));
    rows.append(cells);
}

void TXlsxSheet::AddRow(const QVector<TXlsxCell> &cells) { rows.append(cells); }

void TXlsxSheet::SetWidth(int column, double width)
{
    if (column < 0)
        return;
    if (widths.size() <= column)
        widths.resize(column + 1);
    widths[column] = width;
}

TXlsxSheet *TXlsxBook::AddSheet(const QString &name)
{
    sheets.append(TXlsxSheet());
    sheets.last().qsName = name;
    return &sheets.last();
}

#ifdef ZYM_HAVE_XLSXWRITER
namespace {

// Excel refuses these in a sheet's name, and names longer than 31.
QString SheetName(const QString &name, int index)
{
    QString n = name;
    for (QChar &c : n)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    n = n.left(31);
    return n.isEmpty() ? QStringLiteral("Arkusz%1").arg(index + 1) : n;
}

// Excel holds at most 32767 characters in a cell; the library refuses more.
constexpr int kMaxCellText = 32767;

class TFormats
{
public:
    explicit TFormats(lxw_workbook *book) : pBook(book) {}
    lxw_format *Get(const QString &numFormat, bool bold)
    {
        if (numFormat.isEmpty() && !bold)
            return nullptr;
        const QString key = (bold ? QStringLiteral("b|") : QStringLiteral("n|")) + numFormat;
        auto it = formats.constFind(key);
        if (it != formats.constEnd())
            return it.value();
        lxw_format *f = workbook_add_format(pBook);
        if (bold)
            format_set_bold(f);
        if (!numFormat.isEmpty())
            format_set_num_format(f, numFormat.toUtf8().constData());
        formats.insert(key, f);
        return f;
    }

private:
    lxw_workbook *pBook;
    QHash<QString, lxw_format *> formats;
};

QString XlsxError(lxw_error e)
{
    return QCoreApplication::translate("TXlsxBook", "Nie udało się utworzyć skoroszytu XLSX: %1")
        .arg(QString::fromUtf8(lxw_strerror(e)));
}

} // namespace

QByteArray TXlsxBook::Bytes(QString *errorText) const
{
    // This version of the library writes only to a file.
    QTemporaryDir dir;
    if (!dir.isValid()) {
        if (errorText)
            *errorText = QCoreApplication::translate("TXlsxBook", "Nie udało się utworzyć skoroszytu XLSX: %1")
                             .arg(dir.errorString());
        return QByteArray();
    }
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    const QByteArray path8 = QFile::encodeName(path);
    const QByteArray tmp8 = QFile::encodeName(dir.path());
    lxw_workbook_options options = {};
    options.tmpdir = const_cast<char *>(tmp8.constData());
    lxw_workbook *book = workbook_new_opt(path8.constData(), &options);
    if (!book) {
        if (errorText)
            *errorText = XlsxError(LXW_ERROR_CREATING_XLSX_FILE);
        return QByteArray();
    }

    const QByteArray title8 = qsTitle.toUtf8();
    const QByteArray author8 = qsAuthor.toUtf8();
    lxw_doc_properties props = {};
    props.title = const_cast<char *>(title8.constData());
    props.author = const_cast<char *>(author8.constData());
    const QDateTime when = created.isValid() ? created : QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    props.created = time_t(when.toSecsSinceEpoch());
    workbook_set_properties(book, &props);

    TFormats formats(book);
    const QString defaultDate = QStringLiteral("yyyy-mm-dd hh:mm");
    for (int s = 0; s < sheets.size(); ++s) {
        const TXlsxSheet &sheet = sheets.at(s);
        lxw_worksheet *ws = workbook_add_worksheet(book, SheetName(sheet.qsName, s).toUtf8().constData());
        if (!ws)
            continue;
        for (int c = 0; c < sheet.widths.size(); ++c)
            if (sheet.widths.at(c) > 0)
                worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), sheet.widths.at(c), nullptr);
        for (int r = 0; r < sheet.rows.size(); ++r) {
            const QVector<TXlsxCell> &row = sheet.rows.at(r);
            for (int c = 0; c < row.size(); ++c) {
                const TXlsxCell &cell = row.at(c);
                switch (cell.kind) {
                case TXlsxCell::Empty:
                    if (cell.bBold)
                        worksheet_write_blank(ws, lxw_row_t(r), lxw_col_t(c), formats.Get(QString(), true));
                    break;
                case TXlsxCell::Text:
                    if (!cell.qsText.isEmpty())
                        worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c),
                                               cell.qsText.left(kMaxCellText).toUtf8().constData(),
                                               formats.Get(QString(), cell.bBold));
                    break;
                case TXlsxCell::Number:
                    worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), cell.dNumber,
                                           formats.Get(cell.qsFormat, cell.bBold));
                    break;
                case TXlsxCell::Date: {
                    const QDate d = cell.date.date();
                    const QTime t = cell.date.time();
                    lxw_datetime dt = {d.year(), d.month(), d.day(), t.hour(), t.minute(),
                                       t.second() + t.msec() / 1000.0};
                    worksheet_write_datetime(ws, lxw_row_t(r), lxw_col_t(c), &dt,
                                             formats.Get(cell.qsFormat.isEmpty() ? defaultDate : cell.qsFormat,
                                                         cell.bBold));
                    break;
                }
                }
            }
        }
    }
    const lxw_error e = workbook_close(book);
    if (e != LXW_NO_ERROR) {
        if (errorText)
            *errorText = XlsxError(e);
        return QByteArray();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (errorText)
            *errorText = f.errorString();
        return QByteArray();
    }
    return f.readAll();
}
#else
QByteArray TXlsxBook::Bytes(QString *errorText) const
{
    if (errorText)
        *errorText = QCoreApplication::translate("TXlsxBook", "Ten program zbudowano bez zapisu skoroszytów XLSX.");
    return QByteArray();
}
#endif

ReplaceFileResult TXlsxBook::Save(const QString &fileName, QString *errorText) const
{
    const QByteArray bytes = Bytes(errorText);
    if (bytes.isEmpty())
        return ReplaceFileWriteFailed;
    return ReplaceWholeFile(fileName, bytes, false, errorText);
}
