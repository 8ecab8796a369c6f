#ifndef WERDYKTLIST_H
#define WERDYKTLIST_H

#include <QColor>
#include <QHash>
#include <QIdentityProxyModel>
#include <QString>

/// A list with one column more at its end: each row's verdict in words on
/// its verdict's colour, found by the text of the source's column 0 (a
/// measurement's id, an object's name).
/// The list above it sorts it as text, so equal verdicts come together.
class TWerdyktKolumna : public QIdentityProxyModel
{
public:
    struct TCell
    {
        QString text;  // the verdict's words, an override marked as such
        QColor colour; // invalid: none
    };
    /// Takes `source` into its keeping; `cells` by the text of each row's column 0.
    TWerdyktKolumna(QAbstractItemModel *source, const QString &header, const QHash<QString, TCell> &cells,
                    QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QModelIndex sibling(int row, int column, const QModelIndex &idx) const override;
    QModelIndex mapToSource(const QModelIndex &proxy) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int Extra() const { return sourceModel() ? sourceModel()->columnCount() : 0; }
    QString qsHeader;
    QHash<QString, TCell> Cells;
};

#endif // WERDYKTLIST_H
