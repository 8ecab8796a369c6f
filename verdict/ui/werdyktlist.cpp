// The verdict column of the archive's measurement list.

#include "verdict/ui/werdyktlist.h"

#include "verdict/historiawerdykty.h"
#include "verdict/ui/werdyktwindows.h"

#include <QColor>
#include <QCoreApplication>

TWerdyktKolumna::TWerdyktKolumna(QAbstractItemModel *source, const QHash<QString, TCell> &cells, QObject *parent)
    : QIdentityProxyModel(parent)
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
    const QColor colour = cell->bOwn ? WerdyktColor(cell->zapis.Werdykt()) : QColor();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        QString text = cell->bOwn ? WerdyktListText(cell->zapis) : QString();
        if (!cell->qsGrupa.isEmpty())
            text += QCoreApplication::translate("MainWindow", " (grupa %1: %2)").arg(cell->qsGrupa, WerdyktText(cell->iGrupa));
        return text.trimmed();
    }
    if (role == Qt::BackgroundRole && colour.isValid())
        return colour;
    if (role == Qt::ForegroundRole && colour.isValid())
        return QColor(Qt::black); // the colours are light enough for black in every theme
    return QVariant();
}

QVariant TWerdyktKolumna::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == Extra())
        return role == Qt::DisplayRole ? QVariant(QCoreApplication::translate("MainWindow", "Werdykt")) : QVariant();
    return QIdentityProxyModel::headerData(section, orientation, role);
}

void TWerdyktKolumna::Retranslate()
{
    emit headerDataChanged(Qt::Horizontal, Extra(), Extra());
    if (rowCount() > 0)
        emit dataChanged(index(0, Extra()), index(rowCount() - 1, Extra()));
}

Qt::ItemFlags TWerdyktKolumna::flags(const QModelIndex &index) const
{
    if (index.isValid() && index.column() == Extra())
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QIdentityProxyModel::flags(index);
}
