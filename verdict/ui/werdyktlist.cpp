// The verdict column of the archive's measurement list.

#include "verdict/ui/werdyktlist.h"

TWerdyktKolumna::TWerdyktKolumna(QAbstractItemModel *source, const QString &header,
                                 const QHash<QString, TCell> &cells, QObject *parent)
    : QIdentityProxyModel(parent)
    , qsHeader(header)
    , Cells(cells)
{
    source->setParent(this);
    setSourceModel(source);
}

int TWerdyktKolumna::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : Extra() + 1;
}

QModelIndex TWerdyktKolumna::index(int row, int column, const QModelIndex &parent) const
{
    if (!parent.isValid() && column == Extra() && row >= 0 && row < rowCount())
        return createIndex(row, column);
    return QIdentityProxyModel::index(row, column, parent);
}

QModelIndex TWerdyktKolumna::parent(const QModelIndex &) const
{
    return QModelIndex(); // a list: no row has children
}

QModelIndex TWerdyktKolumna::sibling(int row, int column, const QModelIndex &) const
{
    return index(row, column);
}

QModelIndex TWerdyktKolumna::mapToSource(const QModelIndex &proxy) const
{
    if (proxy.isValid() && proxy.column() == Extra())
        return QModelIndex();
    return QIdentityProxyModel::mapToSource(proxy);
}

QVariant TWerdyktKolumna::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != Extra())
        return QIdentityProxyModel::data(index, role);
    const auto cell = Cells.constFind(sourceModel()->index(index.row(), 0).data().toString());
    if (cell == Cells.constEnd())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return cell->text;
    if (role == Qt::BackgroundRole && cell->colour.isValid())
        return cell->colour;
    if (role == Qt::ForegroundRole && cell->colour.isValid())
        return QColor(Qt::black); // the colours are light enough for black in every theme
    return QVariant();
}

QVariant TWerdyktKolumna::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == Extra())
        return role == Qt::DisplayRole ? QVariant(qsHeader) : QVariant();
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags TWerdyktKolumna::flags(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == Extra())
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QIdentityProxyModel::flags(index);
}
