// The object table as a user searches it: narrowed by a filter box, sorted
// from its header, shared names told apart by their ids.

#include "database/ui/obiektylist.h"

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "database/tdatabase.h"
#include "database/ui/lastcolumn.h"

#include <QKeyEvent>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

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
        return MainWindow::tr("%1\n(obiekt nr %2)").arg(name, id.toString());
    }

private:
    QHash<QString, int> names; // how many objects carry each name
};

// Escape empties the filter box, as in a browser's search field.
class TEscapeClears : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
            && !edit->text().isEmpty()) {
            edit->clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

TListModel *NewObiektyList(QAbstractItemModel *source)
{
    return new TObiektyList(source);
}

void MainWindow::SetUpObiektyFilter()
{
    pObiektyFilter = new QLineEdit(ui->gB_Baza);
    pObiektyFilter->setObjectName(QStringLiteral("lE_ObiektyFilter"));
    pObiektyFilter->setClearButtonEnabled(true);
    QFont font = pObiektyFilter->font();
    font.setPointSize(9);
    font.setBold(false);
    pObiektyFilter->setFont(font);
    pObiektyFilter->installEventFilter(new TEscapeClears(pObiektyFilter));
    connect(pObiektyFilter, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (auto *list = qobject_cast<QSortFilterProxyModel *>(ui->tV_Obiekty->model()))
            list->setFilterFixedString(text);
        TLastColumn::Attach(ui->tV_Obiekty)->Refit();
    });
    setTabOrder(pObiektyFilter, ui->tV_Obiekty);
}

void MainWindow::PlaceObiektyFilter()
{
    // Beside the caption, over the table: the form's geometry stays as drawn.
    const int left = ui->label_Obiekty->x() + ui->label_Obiekty->fontMetrics().horizontalAdvance(ui->label_Obiekty->text()) + 10;
    const int right = ui->tV_Obiekty->geometry().right();
    pObiektyFilter->setGeometry(left, ui->tV_Obiekty->y() - 28, qMax(40, right - left + 1), 24);
}
