// The object table's model: narrowed by the filter box, sorted from its
// header, shared names told apart by their ids.

#include "database/ui/obiektylist.h"

#include "database/tdatabase.h"

#include <QCoreApplication>
#include <QHash>

namespace {

class TObiektyList : public TListModel
{
public:
    explicit TObiektyList(QAbstractItemModel *source)
        : TListModel(source)
    {
        for (int row = 0; row < source->rowCount(); ++row)
            ++names[source->index(row, 0).data().toString()];
        setFilterKeyColumn(0);
        setFilterCaseSensitivity(Qt::CaseInsensitive);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const QVariant shown = TListModel::data(index, role);
        if (role != Qt::ToolTipRole || index.column() != 0)
            return shown;
        const QString name = index.data().toString();
        if (names.value(name) < 2)
            return shown;
        const QVariant id = index.data(TDataBase::kObiektIdRole);
        // Translated with the main window's texts, whose table it is.
        return QCoreApplication::translate("MainWindow", "%1\n(obiekt nr %2)").arg(name, id.toString());
    }

private:
    QHash<QString, int> names; // how many objects carry each name
};

} // namespace

TListModel *NewObiektyList(QAbstractItemModel *source)
{
    return new TObiektyList(source);
}
