// The object and measurement tables as a user reads them: whole texts,
// sorting, and the current row leading the display.

#include "database/ui/tableviews.h"

#include "database/resulttexts.h"
#include "database/rowid.h"

#include <QAbstractItemDelegate>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStyleOptionViewItem>
#include <QTableView>

#include <limits>

namespace {

const QChar kInfinity(0x221E); // the list's text for a resistance of 1000 Ω and more

/// The value of a cell as a number when it is one ("∞" included).
bool AsNumber(const QVariant &value, double *number)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        *number = value.toDouble();
        return true;
    default:
        break;
    }
    if (value.userType() == QMetaType::QString && value.toString() == QString(kInfinity)) {
        *number = std::numeric_limits<double>::infinity();
        return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------- list model

TListModel::TListModel(QAbstractItemModel *source, QObject *parent)
    : QSortFilterProxyModel(parent)
{
    source->setParent(this);
    setSourceModel(source);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);

    if (auto *sql = qobject_cast<QSqlQueryModel *>(source)) {
        const QSqlRecord record = sql->record();
        for (int c = 0; c < source->columnCount(); ++c) {
            const QString name = record.fieldName(c);
            const QString shown = source->headerData(c, Qt::Horizontal).toString();
            const bool translated = !name.isEmpty()
                && QCoreApplication::translate("QObject", name.toUtf8().constData()) == shown;
            headerKeys << (translated ? name : QString());
        }
    }
}

QVariant TListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        QVariant value = SourceValue(mapToSource(index));
        // The result column holds numbers (sorted as such); what they read as is its own.
        if (headerKeys.value(index.column()) == QLatin1String("WYNIK"))
            value = ListResultCell(value);
        // The delegate words a tool tip as it words the cell.
        if (role == Qt::ToolTipRole && value.toString().isEmpty())
            return QVariant();
        return value;
    }
    return QSortFilterProxyModel::data(index, role);
}

QVariant TListModel::SourceValue(const QModelIndex &source) const
{
    const auto text = texts.constFind(qMakePair(source.row(), source.column()));
    if (text != texts.constEnd())
        return *text;
    return source.data(Qt::DisplayRole);
}

bool TListModel::SetText(qint64 id, int column, const QString &text)
{
    QAbstractItemModel *source = sourceModel();
    for (int row = 0; row < source->rowCount(); ++row) {
        qint64 rowId;
        if (!WholeId(source->index(row, 0).data(), &rowId) || rowId != id)
            continue;
        texts.insert(qMakePair(row, column), text);
        const QModelIndex shown = mapFromSource(source->index(row, column));
        emit dataChanged(shown, shown, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
        return true;
    }
    return false;
}

void TListModel::RetranslateHeaders()
{
    QAbstractItemModel *source = sourceModel();
    for (int c = 0; c < headerKeys.size(); ++c) {
        if (!headerKeys.at(c).isEmpty())
            source->setHeaderData(c, Qt::Horizontal,
                                  QCoreApplication::translate("QObject", headerKeys.at(c).toUtf8().constData()));
    }
}

bool TListModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = SourceValue(left);
    const QVariant b = SourceValue(right);
    double x = 0, y = 0;
    const bool numberA = AsNumber(a, &x);
    const bool numberB = AsNumber(b, &y);
    if (numberA && numberB)
        return x < y;
    // An empty cell (no value, NULL) comes before every number and text.
    if (a.toString().isEmpty() || b.toString().isEmpty())
        return a.toString().isEmpty() && !b.toString().isEmpty();
    if (numberA != numberB)
        return numberA; // numbers before texts
    return QString::localeAwareCompare(a.toString().toCaseFolded(), b.toString().toCaseFolded()) < 0;
}

// ---------------------------------------------------------------- column widths

void FitColumns(QTableView *view)
{
    QAbstractItemModel *model = view->model();
    if (!model)
        return;
    // The list models fetch rows as the view scrolls; a width must fit them all.
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());

    QStyleOptionViewItem option;
    option.initFrom(view);
    option.state &= ~QStyle::State_MouseOver;
    option.font = view->font();
    option.fontMetrics = QFontMetrics(view->font());
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.decorationAlignment = Qt::AlignCenter;
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.widget = view;
    const int grid = view->showGrid() ? 1 : 0;

    // A column wider than the view is read by scrolling through it, which
    // item-wise scrolling cannot do.
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *header = view->horizontalHeader();
    const int last = header->logicalIndex(header->count() - 1);
    for (int c = 0; c < model->columnCount(); ++c) {
        if (view->isColumnHidden(c) || view->columnWidth(c) <= 1)
            continue;
        int needed = header->sectionSizeHint(c);
        QAbstractItemDelegate *delegate = view->itemDelegateForColumn(c);
        if (!delegate)
            delegate = view->itemDelegate();
        for (int r = 0; r < model->rowCount(); ++r)
            needed = qMax(needed, delegate->sizeHint(option, model->index(r, c)).width() + grid);
        if (c == last && header->stretchLastSection()) {
            // A stretched last section is squeezed into the space the
            // others leave, whatever its width: past that space it must
            // stop stretching to be scrolled to.
            int others = 0;
            for (int i = 0; i < header->count(); ++i) {
                if (i != c && !header->isSectionHidden(i))
                    others += header->sectionSize(i);
            }
            if (needed <= view->viewport()->width() - others)
                continue;
            header->setStretchLastSection(false);
            view->setColumnWidth(c, qMax(needed, view->columnWidth(c)));
            continue;
        }
        if (needed > view->columnWidth(c))
            view->setColumnWidth(c, needed);
    }
}

// ---------------------------------------------------------------- current row

TRowDriver::TRowDriver(QTableView *view, std::function<void(const QModelIndex &)> show)
    : QObject(view)
    , pView(view)
    , fnShow(std::move(show))
    , pViewport(view->viewport())
{
    pViewport->installEventFilter(this);
    connect(view, &QAbstractItemView::clicked, this, &TRowDriver::Clicked);
    Follow();
}

void TRowDriver::Follow()
{
    QItemSelectionModel *selection = pView->selectionModel();
    if (selection == pFollowed)
        return;
    if (pFollowed)
        disconnect(pFollowed, nullptr, this, nullptr);
    pFollowed = selection;
    if (selection)
        connect(selection, &QItemSelectionModel::currentRowChanged, this, &TRowDriver::CurrentRowChanged);
}

bool TRowDriver::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept: the view itself may be half destroyed
    // when its viewport's last events arrive.
    if (watched == pViewport) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            bPressing = true;
            bShownByPress = false;
            break;
        case QEvent::MouseButtonRelease:
            bPressing = false;
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TRowDriver::CurrentRowChanged(const QModelIndex &current)
{
    if (!current.isValid())
        return;
    if (bPressing)
        bShownByPress = true;
    fnShow(current);
}

void TRowDriver::Clicked(const QModelIndex &index)
{
    if (bShownByPress) {
        bShownByPress = false;
        return;
    }
    fnShow(index);
}
