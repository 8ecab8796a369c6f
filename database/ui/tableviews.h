#ifndef TABLEVIEWS_H
#define TABLEVIEWS_H

#include <QHash>
#include <QPair>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVector>

#include <functional>

QT_BEGIN_NAMESPACE
class QItemSelectionModel;
class QTableView;
QT_END_NAMESPACE

/// What the object and measurement tables show of a list model: every
/// cell's whole text as its tool tip, sorting on request (numbers as
/// numbers, "∞" above all of them, texts in the user's language order),
/// and a cell text replaced after a save without reading the list again.
/// Row 0..n of the view may differ from the source's after sorting; the
/// id in column 0 still belongs to its row.
class TListModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    /// Takes `source` over (it becomes the list model's child).
    explicit TListModel(QAbstractItemModel *source, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    /// Shows `text` in `column` of the row whose column 0 holds `id`
    /// (row `likelyRow` of this model is tried first); the cell shown, or
    /// an invalid index when no row has that id.
    QModelIndex SetText(qint64 id, int column, const QString &text, int likelyRow = -1);
    /// Sets the column headers again in the language installed now.
    void RetranslateHeaders();
    /// Rows of this model that show together every shape of text `column`
    /// has (digits 1-9 read as 0), when the source keeps that account
    /// (TPomiaryModel); false when all rows must be read for it.
    bool ShapeRows(int column, QVector<int> *rows) const;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QVariant SourceValue(const QModelIndex &source) const;

    // Column headers that came from the statement's column names through
    // translation (context QObject): the untranslated names, "" where not.
    QStringList headerKeys;
    QHash<QPair<int, int>, QString> texts; // (source row, column) -> text shown instead
};

/// Widens the columns of `view` that are too narrow for a cell or their
/// header in the view's own font (all rows, not only the visible ones).
/// Columns never get narrower; columns of 1 px or hidden ones are left.
void FitColumns(QTableView *view);

/// Widens the column of `index` (a cell of `view`'s model) as FitColumns
/// would for that cell alone: after one cell changed, the others still fit.
void FitCell(QTableView *view, const QModelIndex &index);

/// Makes the current row of a table lead the display as a click does: a
/// click, or a move of the current row by the keyboard, calls `show` once.
/// A mouse press that moves the current row shows it at once; its click
/// then shows nothing more.
class TRowDriver : public QObject
{
    Q_OBJECT

public:
    TRowDriver(QTableView *view, std::function<void(const QModelIndex &)> show);
    /// Follows the view's current selection model; call after every setModel.
    void Follow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CurrentRowChanged(const QModelIndex &current);
    void Clicked(const QModelIndex &index);

    QTableView *pView;
    std::function<void(const QModelIndex &)> fnShow;
    QObject *pViewport; // the view's viewport, whose mouse presses are watched
    QPointer<QItemSelectionModel> pFollowed;
    bool bPressing = false;    // between a mouse press on the viewport and its release
    bool bShownByPress = false; // the last press moved the current row and showed it
};

#endif // TABLEVIEWS_H
