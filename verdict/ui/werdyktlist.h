#ifndef WERDYKTLIST_H
#define WERDYKTLIST_H

#include "verdict/verdictstore.h"

#include <QHash>
#include <QIdentityProxyModel>
#include <QString>

/// A list with one column more at its end: each row's verdict in words on
/// its verdict's colour, found by the text of the source's column 0 (a
/// measurement's id, an object's name). The words are made when shown, so
/// they follow the language. The list above it sorts them as text, which
/// brings equal verdicts together.
class TWerdyktKolumna : public QIdentityProxyModel
{
    Q_OBJECT

public:
    struct TCell
    {
        bool bOwn = false;   // `zapis` is the row's own verdict
        TWerdyktZapis zapis;
        QString qsGrupa;     // a group whose worst is worse than the row's own; empty for none
        int iGrupa = WerdyktBrak; // that worst
    };
    /// Takes `source` into its keeping; `cells` by the text of each row's column 0.
    TWerdyktKolumna(QAbstractItemModel *source, const QHash<QString, TCell> &cells, QObject *parent = nullptr);

    /// The column's words in the language installed now.
    void Retranslate();

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
    QHash<QString, TCell> Cells;
};

#endif // WERDYKTLIST_H
