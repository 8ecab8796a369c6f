#include "support/windowsupport.h"

#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include "measurement/wykresseries.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QTextEdit>
#include <QtTest>
#include <qcustomplot.h>

namespace testsupport {

namespace {

bool SameSeries(const QCPGraph *graph, const QVector<double> &keys, const QVector<double> &values)
{
    const QSharedPointer<QCPGraphDataContainer> data = graph->data();
    if (data->size() != values.size())
        return false;
    int i = 0;
    for (auto it = data->constBegin(); it != data->constEnd(); ++it, ++i) {
        if (it->key != keys[i] || it->value != values[i])
            return false;
    }
    return true;
}

} // namespace

TOpenedWindows::TOpenedWindows()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        before << QPointer<QWidget>(w);
}

bool TOpenedWindows::Existed(QWidget *window) const
{
    for (const QPointer<QWidget> &w : before) {
        if (w == window)
            return true;
    }
    return false;
}

bool DrawsRecord(QCustomPlot *plot, const TDataPomiar &rec)
{
    if (!plot || plot->graphCount() < 2)
        return false;
    const TWykresSeries series = WykresSeries(&rec, kOffset03, kOffset14);
    return SameSeries(plot->graph(0), series.keys, series.current)
        && SameSeries(plot->graph(1), series.keys, series.voltage);
}

TWindow::TWindow(const QString &folder, const QString &extraIni)
{
    WriteLoopbackIni(folder + QStringLiteral("/nie_ma_miernika.db"), folder);
    if (!extraIni.isEmpty()) {
        QFile ini(appsupport::IniPath());
        if (ini.open(QIODevice::Append))
            ini.write(extraIni.toUtf8());
    }
    w = appsupport::NewWindow();
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("main window not exposed");
    obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    komentarz = w->findChild<TKomentarzEdit *>(QStringLiteral("tE_Komentarz"));
}

QAction *TWindow::Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }

QString TWindow::Label(const char *name) const { return w->findChild<QLabel *>(QLatin1String(name))->text(); }

bool TWindow::ResultShown() const { return w->findChild<QGroupBox *>(QStringLiteral("gB_Wynik"))->isVisible(); }

QCustomPlot *TWindow::Plot() const { return w->findChild<QCustomPlot *>(QStringLiteral("plot")); }

int TWindow::Graphs() const { return Plot()->graphCount(); }

bool TWindow::Exportable() const { return Action("actionExport_wyniku_do_CSV")->isEnabled(); }

int TWindow::Rows(QTableView *v) const { return v->model() ? v->model()->rowCount() : 0; }

QString TWindow::Cell(QTableView *v, int row, int column) const
{
    return v->model()->index(row, column).data().toString();
}

QList<qint64> TWindow::Listed() const
{
    QList<qint64> ids;
    for (int r = 0; r < Rows(pomiary); ++r)
        ids << pomiary->model()->index(r, 0).data().toLongLong();
    return ids;
}

void TWindow::Open(const QString &path)
{
    AnswerFileDialog(path);
    Action("actionOpenDataBase")->trigger();
}

void TWindow::ClickObiekt(int row) { ClickCell(obiekty, row, 0); }

void TWindow::ClickPomiar(int id, int column)
{
    const int row = RowOfId(pomiary, id);
    QVERIFY2(row >= 0, qPrintable(QStringLiteral("measurement %1 not listed").arg(id)));
    ClickCell(pomiary, row, column);
}

void TWindow::ClickPomiarRow(int row) { ClickCell(pomiary, row, 1); }

void TWindow::Type(const QString &text)
{
    komentarz->moveCursor(QTextCursor::End);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, komentarz, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void TWindow::Paste(const QString &text)
{
    komentarz->selectAll();
    komentarz->insertPlainText(text);
}

} // namespace testsupport
