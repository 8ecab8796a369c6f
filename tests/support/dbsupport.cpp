#include "support/dbsupport.h"

#include "support/testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTableView>
#include <QtTest>

namespace testsupport {

void ClickCell(QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
}

int RowOfId(QTableView *view, int id)
{
    QAbstractItemModel *m = view->model();
    if (!m)
        return -1;
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toInt() == id)
            return r;
    return -1;
}

TMessageBoxWatch::TMessageBoxWatch(const QString &answer) : qsAnswer(answer)
{
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &TMessageBoxWatch::Poll);
    timer.start();
}

void TMessageBoxWatch::Poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    texts << box->text();
    titles << box->windowTitle();
    for (QAbstractButton *b : box->buttons()) {
        if (b->text() == qsAnswer) {
            b->click();
            return;
        }
    }
    // Boxes that only inform have just one button.
    if (box->buttons().size() == 1)
        box->buttons().first()->click();
    else
        box->reject();
}

} // namespace testsupport
