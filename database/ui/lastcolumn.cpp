// The last column of a table follows the table's width: a column wider than
// its table hides its header's middle and scrolls for nothing.

#include "database/ui/lastcolumn.h"

#include "database/ui/tableviews.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

TLastColumn *TLastColumn::Attach(QTableView *view)
{
    if (auto *fit = view->findChild<TLastColumn *>(QString(), Qt::FindDirectChildrenOnly))
        return fit;
    return new TLastColumn(view);
}

TLastColumn::TLastColumn(QTableView *view)
    : QObject(view)
    , pView(view)
    , pViewport(view->viewport())
{
    pViewport->installEventFilter(this);
}

int TLastColumn::LastColumn() const
{
    const QHeaderView *header = pView->horizontalHeader();
    return header->count() > 0 ? header->logicalIndex(header->count() - 1) : -1;
}

void TLastColumn::Refit()
{
    const int last = LastColumn();
    if (!pView->model() || last < 0)
        return;
    // Narrowed to its header, then widened by FitColumns to every text.
    QHeaderView *header = pView->horizontalHeader();
    bMeasuring = true;
    header->setStretchLastSection(false);
    pView->setColumnWidth(last, qMax(2, header->sectionSizeHint(last)));
    FitColumns(pView);
    iNeeded = pView->columnWidth(last);
    bMeasuring = false;
    Apply();
}

void TLastColumn::Widened()
{
    const int last = LastColumn();
    if (last < 0)
        return;
    // A column that stopped stretching is as wide as its widest text.
    if (!pView->horizontalHeader()->stretchLastSection())
        iNeeded = qMax(iNeeded, pView->columnWidth(last));
    Apply();
}

void TLastColumn::Apply()
{
    const int last = LastColumn();
    if (bMeasuring || iNeeded <= 0 || last < 0)
        return;
    QHeaderView *header = pView->horizontalHeader();
    int others = 0;
    for (int c = 0; c < header->count(); ++c) {
        if (c != last && !header->isSectionHidden(c))
            others += header->sectionSize(c);
    }
    if (iNeeded <= pView->viewport()->width() - others) {
        header->setDefaultAlignment(Qt::AlignCenter);
        header->setStretchLastSection(true);
    } else {
        header->setStretchLastSection(false);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        pView->setColumnWidth(last, iNeeded);
    }
}

bool TLastColumn::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept: the view may be half destroyed when
    // its viewport's last events arrive.
    if (watched == pViewport && event->type() == QEvent::Resize)
        Apply();
    return QObject::eventFilter(watched, event);
}
