// An object's history as the user meets it: opened from the object table,
// one window per object, table and chart selecting each other, the
// reference moved from the context menu, a double-click that shows the
// measurement in the main window (after the comment question), the CSV, and
// the windows going with their database.

#include "app/mainwindow.h"
#include "chart/dialogwykres.h"
#include "historia/ui/dialoghistoria.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QProcess>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

using namespace testsupport;

namespace {

constexpr qint32 kT0 = 1600000000;

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Chooses `text` in the next popup menu; `*enabled` tells whether that entry could be chosen.
void AnswerPopup(const QString &text, bool *enabled = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, text, enabled]() {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer->stop();
        timer->deleteLater();
        for (QAction *a : menu->actions()) {
            if (a->text() == text) {
                if (enabled)
                    *enabled = a->isEnabled();
                if (a->isEnabled()) {
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Return);
                    return;
                }
            }
        }
        menu->close();
    });
    timer->start();
}

void ContextMenu(QTableView *view, int row)
{
    const QPoint pos = view->visualRect(view->model()->index(row, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(view->viewport(), &event);
}

std::unique_ptr<TDataPomiar> RecordFor(int id)
{
    std::unique_ptr<TDataPomiar> rec = PulseRecord(2.0 + id, 0.01 * id);
    rec->czas = kT0 + id;
    return rec;
}

void DoubleClickCell(QTableView *view, int row)
{
    // A widget's double-click event comes after a click, as from a real mouse.
    const QPoint pos = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
}

QString Cell(QTableView *view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

/// The pixel of point `i` of `graph` in its chart.
/// Counts the events of one type that reach `watched`.
class TEventCounter : public QObject
{
public:
    TEventCounter(QObject *watched, QEvent::Type type, int *count)
        : type(type)
        , count(count)
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == type)
            ++*count;
        return false;
    }

private:
    QEvent::Type type;
    int *count;
};

QPoint PointPixel(QCPGraph *graph, int i)
{
    const auto it = graph->data()->at(i);
    return QPoint(qRound(graph->keyAxis()->coordToPixel(it->key)), qRound(graph->valueAxis()->coordToPixel(it->value)));
}

} // namespace

class TestHistoriaWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onePerObject();
    void rowAndPointSelectEachOther();
    void referenceFromContextMenu();
    void doubleClickShowsMeasurement();
    void csvFromContextMenu();
    void reportFromContextMenu();
    void closedWithTheDatabase();

private:
    QTemporaryDir dir;
    QString qsPath;
    std::unique_ptr<MainWindow> w;
    QTableView *obiekty = nullptr;

    QAction *Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }
    void Open(const QString &path)
    {
        AnswerFileDialog(path);
        Action("actionOpenDataBase")->trigger();
    }
    /// Opens the history of object row `row` with "Historia obiektu".
    DialogHistoria *OpenHistoria(int row)
    {
        ClickCell(obiekty, row, 0);
        Action("actionHistoria")->trigger();
        QList<DialogHistoria *> open = Windows<DialogHistoria>();
        for (DialogHistoria *h : open) {
            if (h->ObjectName() == obiekty->model()->index(row, 0).data().toString()) {
                if (!QTest::qWaitForWindowExposed(h))
                    qWarning("history not exposed");
                return h;
            }
        }
        return nullptr;
    }
};

void TestHistoriaWindow::init()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    qsPath = dir.filePath(QStringLiteral("zym_5.db"));
    // "Uziom A": 11 mΩ, out of range, 10 mΩ, open circuit, 12 mΩ in time
    // order (not in id order).
    QVector<TTestPomiar> rows;
    TTestPomiar p1(1, 1, 0.010);
    p1.czas = kT0 + 300;
    p1.komentarz = QStringLiteral("pierwszy");
    TTestPomiar p2(2, 1, 0.011);
    p2.czas = kT0 + 100;
    TTestPomiar p3(3, 1, 55.0);
    p3.czas = kT0 + 200;
    p3.status = -1;
    TTestPomiar p4(4, 1, 1500.0);
    p4.czas = kT0 + 400;
    TTestPomiar p5(5, 1, 0.012);
    p5.czas = kT0 + 500;
    TTestPomiar p6(6, 2, 2.0);
    rows << p1 << p2 << p3 << p4 << p5 << p6;
    QCOMPARE(MakeDataBase(qsPath, {QStringLiteral("Uziom A"), QStringLiteral("Szyna L1")}, rows), QString());
    for (int id = 1; id <= 6; ++id)
        QVERIFY(WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(id)), *RecordFor(id)));

    WriteLoopbackIni(dir.filePath(QStringLiteral("nie_ma_miernika.db")), dir.path());
    w.reset(new MainWindow);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    QVERIFY(!Action("actionHistoria")->isEnabled());
    Open(qsPath);
    QCOMPARE(obiekty->model()->rowCount(), 2);
}

void TestHistoriaWindow::cleanup()
{
    w.reset();
    RemoveIni();
}

void TestHistoriaWindow::onePerObject()
{
    QVERIFY(!Action("actionHistoria")->isEnabled()); // nothing selected yet
    DialogHistoria *h = OpenHistoria(0);
    QVERIFY(h);
    QVERIFY(Action("actionHistoria")->isEnabled());
    QCOMPARE(h->windowTitle(), QStringLiteral("Historia: Uziom A"));
    QVERIFY(!h->parent());

    auto *table = h->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    const QStringList R = {"11.00 mΩ", "Poza zakresem", "10.00 mΩ", "∞", "12.00 mΩ"};
    const QStringList odniesienie = {"0.0%", "", "-9.1%", "", "+9.1%"};
    const QStringList roznica = {"0.00 mΩ", "", "-1.00 mΩ", "", "+1.00 mΩ"}; // in the value's unit
    const QStringList poprzedni = {"", "", "-9.1%", "", "+20.0%"};
    QCOMPARE(table->model()->rowCount(), 5);
    for (int r = 0; r < 5; ++r) {
        QCOMPARE(Cell(table, r, 1), R[r]);
        QCOMPARE(Cell(table, r, 3), odniesienie[r]);
        QCOMPARE(Cell(table, r, 4), roznica[r]);
        QCOMPARE(Cell(table, r, 5), poprzedni[r]);
    }
    QCOMPARE(Cell(table, 2, 6), QStringLiteral("pierwszy"));
    auto *plot = h->findChild<QCustomPlot *>(QStringLiteral("plotHistoria"));
    QCOMPARE(plot->graph(0)->data()->size(), 3);
    QCOMPARE(plot->graph(1)->data()->size(), 2);
    QCOMPARE(plot->yAxis->label(), QStringLiteral("R [mΩ]"));

    // Again: the same window comes forward.
    Action("actionHistoria")->trigger();
    QCOMPARE(Windows<DialogHistoria>().size(), 1);
    // A double-click on another object opens its own.
    DoubleClickCell(obiekty, 1);
    QCOMPARE(Windows<DialogHistoria>().size(), 2);
    // Parentless, they still go with the main window.
    w.reset();
    QVERIFY(Windows<DialogHistoria>().isEmpty());
}

void TestHistoriaWindow::rowAndPointSelectEachOther()
{
    DialogHistoria *h = OpenHistoria(0);
    QVERIFY(h);
    auto *table = h->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    auto *plot = h->findChild<QCustomPlot *>(QStringLiteral("plotHistoria"));
    QCPGraph *selected = plot->graph(2);
    plot->replot(); // pixels as the window is laid out now

    ClickCell(table, 2, 1);
    QCOMPARE(selected->data()->size(), 1);
    QCOMPARE(selected->data()->at(0)->key, double(kT0 + 300));
    QCOMPARE(selected->data()->at(0)->value, 10.0);

    // The last valid point is the 12 mΩ of row 4; the first marker is row 1.
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, PointPixel(plot->graph(0), 2));
    QCOMPARE(table->currentIndex().row(), 4);
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, PointPixel(plot->graph(1), 0));
    QCOMPARE(table->currentIndex().row(), 1);
    QCOMPARE(selected->valueAxis(), plot->yAxis2);

    // A step of a resize draws the chart once, laid out at its new size:
    // the points are where a click finds them.
    if (!QTest::qWaitForWindowExposed(h))
        QSKIP("the window is not exposed on this platform");
    int paints = 0;
    TEventCounter counter(plot, QEvent::Paint, &paints);
    h->resize(h->width() + 120, h->height() + 40);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(paints, 1);
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, PointPixel(plot->graph(0), 2));
    QCOMPARE(table->currentIndex().row(), 4);
}

void TestHistoriaWindow::referenceFromContextMenu()
{
    const QByteArray meterDatabase = ReadAll(qsPath);
    QPointer<DialogHistoria> h = OpenHistoria(0);
    QVERIFY(h);
    auto *table = h->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    auto *plot = h->findChild<QCustomPlot *>(QStringLiteral("plotHistoria"));

    bool enabled = true;
    AnswerPopup(QStringLiteral("Ustaw jako odniesienie"), &enabled);
    ContextMenu(table, 1); // out of range: cannot be a reference
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QVERIFY(!enabled);
    QCOMPARE(h->Reference(), 0);

    AnswerPopup(QStringLiteral("Ustaw jako odniesienie"), &enabled);
    ContextMenu(table, 2);
    QTRY_COMPARE(h->Reference(), 2);
    const QStringList odniesienie = {"+10.0%", "", "0.0%", "", "+20.0%"};
    for (int r = 0; r < 5; ++r)
        QCOMPARE(Cell(table, r, 3), odniesienie[r]);
    QCOMPARE(Cell(table, 4, 4), QStringLiteral("+2.00 mΩ"));
    QCOMPARE(Cell(table, 4, 5), QStringLiteral("+20.0%")); // the previous stays the previous
    auto *line = qobject_cast<QCPItemStraightLine *>(plot->item(0));
    QVERIFY(line && line->visible());
    QCOMPARE(line->point1->value(), 10.0);

    // The object's history opens again with the reference chosen last, kept
    // in the reader's settings; the meter's database is not written.
    h->close();
    QTRY_VERIFY(!h);
    h = OpenHistoria(0);
    QVERIFY(h);
    QCOMPARE(h->Reference(), 2);
    QCOMPARE(ReadAll(qsPath), meterDatabase);
    // Another object's history keeps its own first row.
    DialogHistoria *other = OpenHistoria(1);
    QVERIFY(other && other != h);
    QCOMPARE(other->Reference(), 0);
}

void TestHistoriaWindow::doubleClickShowsMeasurement()
{
    Action("actionOkno")->trigger();
    DialogHistoria *h = OpenHistoria(0); // also lists the object's measurements
    QVERIFY(h);
    auto *pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    ClickCell(pomiary, RowOfId(pomiary, 2), 1);
    QCOMPARE(w->pomiarId(), 2);
    auto *komentarz = w->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"));
    komentarz->moveCursor(QTextCursor::End);
    QTest::keyClicks(komentarz, QStringLiteral("spr. 'L1'"));

    auto *table = h->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    DoubleClickCell(table, 4);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(KomentarzOf(qsPath, 2), QStringLiteral("spr. 'L1'"));
    QCOMPARE(Cell(table, 0, 6), QStringLiteral("spr. 'L1'")); // the saved comment shows in the history

    QCOMPARE(w->pomiarId(), 5);
    QVERIFY(DrawsRecord(w->findChild<QCustomPlot *>(QStringLiteral("plot")), *RecordFor(5)));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("label_obiekt"))->text(), QStringLiteral("Obiekt: Uziom A"));
    QCOMPARE(w->findChild<QLabel *>(QStringLiteral("label_R"))->text(), QStringLiteral("R=12.00 mΩ"));
    QCustomPlot *main = w->findChild<QCustomPlot *>(QStringLiteral("plot"));
    QCustomPlot *chart = OnlyWindow<DialogWykres>()->findChild<QCustomPlot *>(QStringLiteral("plot"));
    QCOMPARE(chart->graph(1)->data()->at(1500)->value, main->graph(1)->data()->at(1500)->value);
    QVERIFY(main->graph(1)->data()->at(1500)->value != 0);
}

void TestHistoriaWindow::csvFromContextMenu()
{
    DialogHistoria *h = OpenHistoria(0);
    QVERIFY(h);
    auto *table = h->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    const QString file = dir.filePath(QStringLiteral("historia.csv"));
    AnswerPopup(QStringLiteral("Zapisz historię jako CSV…"));
    AnswerFileDialog(file);
    ContextMenu(table, 0);
    QTRY_VERIFY(QFile::exists(file));
    const QStringList lines = ReadLines(file);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QStringLiteral("Czas;R [Ohm];Metoda;Zmiana wzgl. odniesienia [%];Zmiana wzgl. poprzedniego [%];Komentarz"));
    QVERIFY2(lines[1].endsWith(QStringLiteral(";0,011;2P;0,0;;")), qPrintable(lines[1]));
}

// The object report holds what the window shows: every measurement's time
// once, the reference and the meter.
void TestHistoriaWindow::reportFromContextMenu()
{
    DialogHistoria *h = OpenHistoria(0);
    QVERIFY(h);
    auto *table = h->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    const QString file = dir.filePath(QStringLiteral("historia.pdf"));
    AnswerPopup(QStringLiteral("Zapisz raport PDF…"));
    AnswerFileDialog(file);
    ContextMenu(table, 0);
    QTRY_VERIFY(QFile::exists(file));

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("Uziom A")), qPrintable(text));
    for (qint64 t : {kT0 + 100, kT0 + 200, kT0 + 300, kT0 + 400, kT0 + 500})
        QVERIFY2(text.contains(HistoriaCzasText(t)), qPrintable(HistoriaCzasText(t)));
    QVERIFY(text.contains(QStringLiteral("10.00 mΩ")));
}

void TestHistoriaWindow::closedWithTheDatabase()
{
    QPointer<DialogHistoria> h = OpenHistoria(0);
    QVERIFY(h);
    Action("actionCloaseZYMDataBase")->trigger();
    QVERIFY(h.isNull());
    QVERIFY(!Action("actionHistoria")->isEnabled());

    // Opening another database replaces the one a history showed.
    Open(qsPath);
    h = OpenHistoria(1);
    QVERIFY(h);
    Open(qsPath);
    QVERIFY(h.isNull());
    QVERIFY(Windows<DialogHistoria>().isEmpty());
    QVERIFY(!Action("actionHistoria")->isEnabled()); // the object selected went with the old list
}

QTEST_MAIN(TestHistoriaWindow)
#include "test_historia_window.moc"
