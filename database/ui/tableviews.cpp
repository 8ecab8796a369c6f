// The object and measurement tables as a user reads them: whole texts,
// sorting, and the current row leading the display.

#include "database/ui/tableviews.h"

#include "common/ui/messages.h"
#include "database/pomiarymodel.h"
#include "database/resulttexts.h"
#include "database/rowid.h"

#include <QAbstractItemDelegate>
#include <QAbstractProxyModel>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMouseEvent>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
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

    // A column added on top (the archive's verdicts) leaves the statement's columns where they were.
    QAbstractItemModel *base = source;
    while (auto *proxy = qobject_cast<QAbstractProxyModel *>(base))
        base = proxy->sourceModel();
    if (auto *sql = qobject_cast<QSqlQueryModel *>(base)) {
        const QSqlRecord record = sql->record();
        for (int c = 0; c < sql->columnCount(); ++c) {
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
        // The result column holds numbers (sorted as such); what they read as is its own,
        // with the decimal sign the view gives the numbers from 1 Ω on.
        if (headerKeys.value(index.column()) == QLatin1String("WYNIK"))
            value = ListResultCell(value, QLocale().decimalPoint());
        // The statement leaves a time that is none empty; an empty cell would pass for a missing column.
        else if (headerKeys.value(index.column()) == QLatin1String("DATA") && value.toString().isEmpty())
            value = QObject::tr("nieznany");
        // The delegate words a tool tip as it words the cell.
        if (role == Qt::ToolTipRole) {
            if (value.userType() == QMetaType::Double)
                value = QLocale().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
            return value.toString().isEmpty() ? QVariant() : QVariant(PlainToolTip(value.toString()));
        }
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

QModelIndex TListModel::SetText(qint64 id, int column, const QString &text, int likelyRow)
{
    QAbstractItemModel *source = sourceModel();
    auto holds = [&](int row) {
        qint64 rowId;
        return WholeId(source->index(row, 0).data(), &rowId) && rowId == id;
    };
    // The row shown is nearly always the one saved: no walk through a long list then.
    int found = -1;
    if (likelyRow >= 0 && likelyRow < rowCount()) {
        const int row = mapToSource(index(likelyRow, 0)).row();
        if (row >= 0 && holds(row))
            found = row;
    }
    for (int row = 0; found < 0 && row < source->rowCount(); ++row) {
        if (holds(row))
            found = row;
    }
    if (found < 0)
        return QModelIndex();
    texts.insert(qMakePair(found, column), text);
    const QModelIndex shown = mapFromSource(source->index(found, column));
    emit dataChanged(shown, shown, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    return shown;
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

bool TListModel::ShapeRows(int column, QVector<int> *rows) const
{
    const auto *source = dynamic_cast<const TPomiaryModel *>(sourceModel());
    QVector<int> sourceRows;
    if (!source || !source->ShapeRows(column, &sourceRows))
        return false;
    // A text shown instead of the source's has a shape of its own.
    for (auto it = texts.constBegin(); it != texts.constEnd(); ++it) {
        if (it.key().second == column)
            sourceRows << it.key().first;
    }
    rows->clear();
    rows->reserve(sourceRows.size());
    for (int r : qAsConst(sourceRows)) {
        const QModelIndex shown = mapFromSource(source->index(r, column));
        if (shown.isValid())
            rows->append(shown.row());
    }
    return true;
}

bool TListModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = SourceValue(left);
    const QVariant b = SourceValue(right);
    // Unknown times after the dated rows, as the history sorts them.
    if (headerKeys.value(left.column()) == QLatin1String("DATA")
        && (a.toString().isEmpty() || b.toString().isEmpty()))
        return !a.toString().isEmpty() && b.toString().isEmpty();
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

namespace {

/// What measuring a cell needs, made once per table.
struct TCellMeasure
{
    explicit TCellMeasure(QTableView *view)
        : fm(view->font())
    {
        option.initFrom(view);
        option.state &= ~QStyle::State_MouseOver;
        option.font = view->font();
        option.fontMetrics = fm;
        option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        option.decorationAlignment = Qt::AlignCenter;
        option.decorationPosition = QStyleOptionViewItem::Left;
        option.widget = view;
        grid = view->showGrid() ? 1 : 0;
        // Digits of one width (as in nearly every font) make "2020-01-02"
        // exactly as wide as "0000-00-00": one cell measures them all.
        const int zero = fm.horizontalAdvance(QLatin1Char('0'));
        sameDigits = true;
        for (char d = '1'; d <= '9'; ++d)
            sameDigits = sameDigits && fm.horizontalAdvance(QLatin1Char(d)) == zero;
        // No character of the font is wider than this; the slack covers the
        // delegate's margins and glyphs taken from another font.
        widestChar = qMax(fm.maxWidth(), fm.horizontalAdvance(QLatin1Char('W')));
    }

    int Width(QAbstractItemDelegate *delegate, const QModelIndex &index) const
    {
        return delegate->sizeHint(option, index).width() + grid;
    }

    QStyleOptionViewItem option;
    QFontMetrics fm;
    int grid;
    bool sameDigits;
    int widestChar;
};

/// The width column `c` of `view` needs for its header and every cell. The
/// cells are grouped by the shape of their text (digits as one), each
/// shape measured once, the longest first, until no shorter text can be
/// wider: a list of a thousand dates and values takes a few measurements,
/// not thousands.
int NeededWidth(QTableView *view, int c, const TCellMeasure &m)
{
    QAbstractItemModel *model = view->model();
    QAbstractItemDelegate *delegate = view->itemDelegateForColumn(c);
    if (!delegate)
        delegate = view->itemDelegate();
    int needed = view->horizontalHeader()->sectionSizeHint(c);
    auto *styled = qobject_cast<QStyledItemDelegate *>(delegate);
    const int rows = model->rowCount();
    if (!styled) {
        for (int r = 0; r < rows; ++r)
            needed = qMax(needed, m.Width(delegate, model->index(r, c)));
        return needed;
    }
    const QLocale locale = view->locale();
    // A list that knows which of its rows carry every shape of the column
    // spares reading (and making) the texts of all the others.
    QVector<int> some;
    auto *list = qobject_cast<TListModel *>(model);
    const bool sampled = m.sameDigits && list && list->ShapeRows(c, &some);
    const int read = sampled ? some.size() : rows;
    QHash<QString, int> shapes; // shape -> a row that has it
    for (int i = 0; i < read; ++i) {
        const int r = sampled ? some.at(i) : i;
        const QVariant value = model->index(r, c).data(Qt::DisplayRole);
        if (!value.isValid())
            continue;
        QString text = styled->displayText(value, locale);
        if (m.sameDigits) {
            for (QChar &ch : text) {
                if (ch >= QLatin1Char('1') && ch <= QLatin1Char('9'))
                    ch = QLatin1Char('0');
            }
        }
        shapes.insert(text, r);
    }
    QVector<QPair<int, int>> byLength; // (length, row), longest first
    byLength.reserve(shapes.size());
    for (auto it = shapes.constBegin(); it != shapes.constEnd(); ++it)
        byLength.append(qMakePair(it.key().size(), it.value()));
    std::sort(byLength.begin(), byLength.end(),
              [](const QPair<int, int> &a, const QPair<int, int> &b) { return a.first > b.first; });
    for (const QPair<int, int> &shape : qAsConst(byLength)) {
        if (shape.first * m.widestChar + 2 * m.widestChar + m.grid < needed)
            break;
        needed = qMax(needed, m.Width(delegate, model->index(shape.second, c)));
    }
    return needed;
}

/// Widens column `c` to `needed`, as FitColumns does.
void Widen(QTableView *view, int c, int needed)
{
    QHeaderView *header = view->horizontalHeader();
    const int last = header->logicalIndex(header->count() - 1);
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
            return;
        header->setStretchLastSection(false);
        view->setColumnWidth(c, qMax(needed, view->columnWidth(c)));
        return;
    }
    if (needed > view->columnWidth(c))
        view->setColumnWidth(c, needed);
}

} // namespace

void FitColumns(QTableView *view)
{
    QAbstractItemModel *model = view->model();
    if (!model)
        return;
    // The list models fetch rows as the view scrolls; a width must fit them all.
    while (model->canFetchMore(QModelIndex()))
        model->fetchMore(QModelIndex());

    const TCellMeasure measure(view);
    // A column wider than the view is read by scrolling through it, which
    // item-wise scrolling cannot do.
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (int c = 0; c < model->columnCount(); ++c) {
        if (view->isColumnHidden(c) || view->columnWidth(c) <= 1)
            continue;
        Widen(view, c, NeededWidth(view, c, measure));
    }
}

void FitCell(QTableView *view, const QModelIndex &index)
{
    if (!index.isValid() || index.model() != view->model())
        return;
    const int c = index.column();
    if (view->isColumnHidden(c) || view->columnWidth(c) <= 1)
        return;
    const TCellMeasure measure(view);
    QAbstractItemDelegate *delegate = view->itemDelegateForColumn(c);
    if (!delegate)
        delegate = view->itemDelegate();
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    Widen(view, c, qMax(view->horizontalHeader()->sectionSizeHint(c), measure.Width(delegate, index)));
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
