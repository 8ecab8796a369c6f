#ifndef POMIARYMODEL_H
#define POMIARYMODEL_H

#include <QPointer>
#include <QSqlQueryModel>
#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QSqlDatabase;
class QSqlDriver;
QT_END_NAMESPACE

/// The measurement list of one object of the meter's database, read so
/// that a long list costs what its rows on screen cost: the rows (ids,
/// comments, order) are read at once, the DATA and WYNIK values of a row
/// only when something asks for them, by SQLite with the same expressions
/// the whole list would have been read with. Columns ID, DATA, WYNIK,
/// KOMENTARZ as TDataBase::PomiaryModel describes them.
class TPomiaryModel : public QSqlQueryModel
{
public:
    /// The DATA value of a `pomiar` row: its time as local time, NULL for
    /// a time that is none.
    static const char kDataExpression[];
    /// The WYNIK value of a `pomiar` row: a rounded number or a text.
    static const char kWynikExpression[];

    /// Lists shorter than this are read whole: their times cost less than
    /// the statements that read them in parts.
    static constexpr int kLongList = 400;

    /// Reads the rows of `rowids` (ascending rowids of `pomiar` in `db`)
    /// that belong to object `objectId`, without their DATA and WYNIK
    /// values. nullptr when the rows cannot be listed that way (the caller
    /// then reads the list whole). The caller owns the model.
    static TPomiaryModel *Read(const QSqlDatabase &db, qint64 objectId, const QVector<qint64> &rowids);

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &item, int role = Qt::DisplayRole) const override;

    /// Rows of this model whose `column` texts, taken together, have every
    /// shape (the text with each digit 1-9 read as 0) that column has in
    /// any row, each shape read by SQLite for a handful of rows instead of
    /// every row. False for a column that keeps no such account (ID,
    /// KOMENTARZ): all its rows must be read.
    bool ShapeRows(int column, QVector<int> *rows) const;

private:
    TPomiaryModel() = default;
    bool Classify();
    void Fetch(const QVector<int> &rows) const;
    void FetchAround(int row) const;

    QPointer<QSqlDriver> pDriver; // the connection the rows came from; gone when it was closed
    QVector<qint64> rowid;        // row -> rowid in `pomiar`
    QVector<int> dataShapeRows;   // see ShapeRows
    QVector<int> wynikShapeRows;
    mutable QVector<bool> fetched;  // row -> DATA and WYNIK read
    mutable QVector<QVariant> dataValue;
    mutable QVector<QVariant> wynikValue;
};

#endif // POMIARYMODEL_H
