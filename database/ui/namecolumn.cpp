// The object table's column follows the table's width: a column wider than
// its table hides its header's middle and scrolls for nothing.

#include "database/ui/namecolumn.h"

#include "database/ui/tableviews.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

TNameColumn *TNameColumn::Attach(QTableView *view)
{
    if (auto *fit = view->findChild<TNameColumn *>(QString(), Qt::FindDirectChildrenOnly))
        return fit;
    return new TNameColumn(view);
}

TNameColumn::TNameColumn(QTableView *view)
    : QObject(view)
    , pView(view)
    , pViewport(view->viewport())
{
    pViewport->installEventFilter(this);
}

void TNameColumn::Refit()
{
    QHeaderView *header = pView->horizontalHeader();
    if (!pView->model() || header->count() < 1)
        return;
    // Narrowed to its header, then widened by FitColumns to every name.
    bMeasuring = true;
    header->setStretchLastSection(false);
    pView->setColumnWidth(0, qMax(2, header->sectionSizeHint(0)));
    FitColumns(pView);
    iNeeded = pView->columnWidth(0);
    bMeasuring = false;
    Apply();
}

void TNameColumn::Apply()
{
    QHeaderView *header = pView->horizontalHeader();
    if (bMeasuring || iNeeded <= 0 || header->count() < 1)
        return;
    if (iNeeded <= pView->viewport()->width()) {
        header->setDefaultAlignment(Qt::AlignCenter);
        header->setStretchLastSection(true);
    } else {
        header->setStretchLastSection(false);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        pView->setColumnWidth(0, iNeeded);
    }
}

bool TNameColumn::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept: the view may be half destroyed when
    // its viewport's last events arrive.
    if (watched == pViewport && event->type() == QEvent::Resize)
        Apply();
    return QObject::eventFilter(watched, event);
}
