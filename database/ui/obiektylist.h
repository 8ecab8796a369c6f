#ifndef OBIEKTYLIST_H
#define OBIEKTYLIST_H

#include "database/ui/tableviews.h"

/// The object table's model: a list model whose rows a filter box narrows
/// (any part of the name, any case), and whose names that several objects
/// share carry their object id in the tool tip, so that they can be told
/// apart. Takes `source` over.
TListModel *NewObiektyList(QAbstractItemModel *source);

#endif // OBIEKTYLIST_H
