// The main window as a desktop user meets it: the layout leaves nothing
// under the status bar, the tables show whole texts and sort, the keyboard
// walks through measurements, the export's name gets the chosen suffix, a
// saved comment shows at once, one clock for list and result, and a
// language switch keeps the measurement shown.

#include "layout/mainlayout.h"
#include "app/mainwindow.h"
#include "app/windowstyle.h"
#include "database/ui/tableviews.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <ctime>
#include <memory>

using namespace testsupport;

Q_DECLARE_METATYPE(QMargins)

namespace {

const QString kLongName = QStringLiteral("Rozdzielnia główna RG-1, pole 7: transformator T1 strona nN");
const QString kLongComment = QStringLiteral("Po wymianie styków; pomiar powtórzony trzykrotnie, wynik w normie");
const qint32 kWinter = 1610712000; // 2021-01-15 12:00 UTC, 13:00 in Warsaw
const qint32 kSummer = 1625140800; // 2021-07-01 12:00 UTC, 14:00 in Warsaw

std::unique_ptr<TDataPomiar> RecordFor(int id)
{
    std::unique_ptr<TDataPomiar> rec = PulseRecord(2.0 + id % 7, 0.01 * id);
    rec->czas = 1600000000 + id;
    return rec;
}

/// Object 1 (a long name): measurements 1..5 with the values, times and
/// comments below; object 2 "Szyna": 40 measurements, ids 101..140.
QString MakeScreenDataBase(const QTemporaryDir &dir)
{
    QVector<TTestPomiar> rows;
    const double values[] = {12.34, 1500.0, 0.005, 250.0, 1.5};
    const qint32 times[] = {kSummer, kWinter, kSummer + 60, kWinter - 86400, kSummer - 3600};
    const char *comments[] = {nullptr, "b", "A", nullptr, "c"};
    for (int i = 0; i < 5; ++i) {
        TTestPomiar p(i + 1, 1, values[i]);
        p.czas = times[i];
        p.komentarz = comments[i] ? QVariant(QString::fromUtf8(comments[i])) : QVariant();
        rows << p;
    }
    rows[0].komentarz = kLongComment;
    for (int id = 101; id <= 140; ++id) {
        TTestPomiar p(id, 2, 0.1 * id);
        p.czas = kWinter + id;
        rows << p;
    }
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    const QString error = MakeDataBase(path, {kLongName, QStringLiteral("Szyna")}, rows);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    for (const TTestPomiar &p : rows)
        WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(p.id)), *RecordFor(p.id));
    return path;
}

/// Whether the window shows measurement `id` with its own data file.
bool Shows(const TWindow &t, int id)
{
    return t.w->pomiarId() == id && DrawsRecord(t.Plot(), *RecordFor(id));
}

int IdAt(const TWindow &t, int row) { return t.pomiary->model()->index(row, 0).data().toInt(); }

QRect InWindow(QWidget *widget, QWidget *window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

} // namespace

class TestScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void layoutRule_data();
    void layoutRule();
    void layoutShares_data();
    void layoutShares();
    void nothingUnderStatusBar_data();
    void nothingUnderStatusBar();
    void columnsShowWholeTexts();
    void namesFollowTableWidth_data();
    void namesFollowTableWidth();
    void columnsFitEveryCell_data();
    void columnsFitEveryCell();
    void exportNameGetsSuffix_data();
    void exportNameGetsSuffix();
    void savedCommentShownInList();
    void listAndResultShowSameClock();
    void keyboardLeadsDisplay();
    void headerSorts_data();
    void headerSorts();
    void languageSwitchKeepsMeasurement();
    void oneDecimalSignPerColumn();
    void longObjectNameTold();
    void styleDrawsSameFrames();

private:
    QTemporaryDir dir;
    QString db;
};

void TestScreen::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    // A zone with summer time, so that a fixed offset and the local clock differ.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
    db = MakeScreenDataBase(dir);
}

void TestScreen::cleanup()
{
    RemoveIni();
}

// ---------------------------------------------------------------- layout

void TestScreen::layoutRule_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QMargins>("bars");
    QTest::addColumn<QRect>("baza");
    QTest::addColumn<QRect>("table");
    QTest::addColumn<QRect>("plot");

    // Bars of 64 px in all, however split, give the form's own rule.
    QTest::newRow("form size") << QSize(1211, 655) << QMargins(0, 21, 0, 43)
                               << QRect(0, 50, 700, 541) << QRect(239, 50, 441, 481) << QRect(710, 340, 471, 247);
    // Taller bars take their height from the group and the chart only.
    QTest::newRow("Linux bars") << QSize(1211, 655) << QMargins(0, 62, 0, 26)
                                << QRect(0, 50, 700, 517) << QRect(239, 50, 441, 457) << QRect(710, 340, 471, 223);
}

void TestScreen::layoutRule()
{
    QFETCH(QSize, window);
    QFETCH(QMargins, bars);
    QFETCH(QRect, baza);
    QFETCH(QRect, table);
    QFETCH(QRect, plot);
    const TMainLayout layout = MainLayout(window, bars);
    QCOMPARE(layout.baza, baza);
    QCOMPARE(layout.pomiary, table);
    QCOMPARE(layout.obiekty, QRect(20, table.y(), 210, table.height()));
    QCOMPARE(layout.plot, plot);
    QCOMPARE(layout.wynik, QRect(710, 50, 471, 281));
    QCOMPARE(layout.komentarz, QRect(10, 190, 451, 81));
}

void TestScreen::layoutShares_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QMargins>("bars");

    QTest::newRow("1024 x 768") << QSize(1024, 768) << QMargins(0, 62, 0, 26);
    QTest::newRow("1000 x 560") << QSize(1000, 560) << QMargins(0, 40, 0, 24);
    QTest::newRow("1400 x 900") << QSize(1400, 900) << QMargins(0, 64, 0, 0);
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << QMargins(0, 62, 0, 26);
    QTest::newRow("tool bar on the left") << QSize(1400, 900) << QMargins(40, 21, 0, 43);
    QTest::newRow("smallest window") << MainMinimumSize(QMargins(0, 62, 0, 26)) << QMargins(0, 62, 0, 26);
}

void TestScreen::layoutShares()
{
    QFETCH(QSize, window);
    QFETCH(QMargins, bars);
    const TMainLayout layout = MainLayout(window, bars);
    const QRect area(0, 0, window.width() - bars.left() - bars.right(), window.height() - bars.top() - bars.bottom());

    for (const QRect &r : {layout.baza, layout.wynik, layout.plot})
        QVERIFY(area.contains(r));
    for (const QRect &r : {layout.obiekty, layout.pomiary})
        QVERIFY(QRect(QPoint(0, 0), layout.baza.size()).contains(r));
    QVERIFY(QRect(QPoint(0, 0), layout.wynik.size()).contains(layout.komentarz));
    QVERIFY(!layout.baza.intersects(layout.wynik) && !layout.baza.intersects(layout.plot));
    QVERIFY(!layout.wynik.intersects(layout.plot) && !layout.obiekty.intersects(layout.pomiary));
    QCOMPARE(layout.plot.width(), layout.wynik.width());

    // Nothing is cut and the chart stays readable down to the smallest window.
    QVERIFY(layout.wynik.width() >= 400);
    QVERIFY(layout.plot.height() >= 160);
    QVERIFY(layout.obiekty.width() >= 130 && layout.pomiary.width() >= 270);
    for (int formWidth : {161, 181, 321, 421})
        QVERIFY(WynikLabelWidth(formWidth, layout.wynik.width()) <= layout.wynik.width() - 30);
    // A larger window gives both columns more room and leaves no band unused.
    if (area.width() > 1211) {
        QVERIFY(layout.obiekty.width() > 210 && layout.pomiary.width() > 441);
        QVERIFY(layout.plot.width() > 471);
        QVERIFY(area.right() - layout.plot.right() <= 30);
        QVERIFY(WynikLabelWidth(421, layout.wynik.width()) > 421);
    }
    if (area.height() > 591)
        QCOMPARE(layout.plot.bottom(), area.bottom() - 4);
}

void TestScreen::nothingUnderStatusBar_data()
{
    QTest::addColumn<QSize>("size"); // empty: maximised
    QTest::newRow("1000 x 600") << QSize(1000, 600);
    QTest::newRow("1211 x 655") << QSize(1211, 655);
    QTest::newRow("800 x 500") << QSize(800, 500);
    QTest::newRow("maximised") << QSize();
}

void TestScreen::nothingUnderStatusBar()
{
    QFETCH(QSize, size);
    TWindow t(dir.path());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    ClickCell(t.pomiary, 0, 1);
    QVERIFY(t.w->pomiarId() > 0);
    if (size.isValid())
        t.w->resize(size);
    else
        t.w->showMaximized();
    QTest::qWait(50);

    MainWindow *w = t.w.get();
    const int statusTop = w->statusBar()->geometry().top();
    auto *baza = w->findChild<QWidget *>(QStringLiteral("gB_Baza"));
    auto *wynik = w->findChild<QWidget *>(QStringLiteral("gB_Wynik"));
    auto *plot = w->findChild<QWidget *>(QStringLiteral("plot"));
    for (QWidget *widget : {baza, plot, static_cast<QWidget *>(t.obiekty), static_cast<QWidget *>(t.pomiary)}) {
        const QRect r = InWindow(widget, w);
        QVERIFY2(r.bottom() < statusTop, qPrintable(widget->objectName()));
        QVERIFY2(r.right() < w->width(), qPrintable(widget->objectName()));
    }
    // The chart keeps room for its axes and stays clear of the result group,
    // which is whole, unless the screen is too small for that.
    const QRect central = w->centralWidget()->geometry();
    const QMargins bars(central.left(), central.top(), w->width() - central.right() - 1,
                        w->height() - central.bottom() - 1);
    if (w->minimumSize() == MainMinimumSize(bars)) {
        QVERIFY(w->width() >= w->minimumWidth() && w->height() >= w->minimumHeight());
        QVERIFY(InWindow(wynik, w).right() < w->width());
        QVERIFY2(plot->height() >= 150 && plot->width() >= 400,
                 qPrintable(QStringLiteral("%1 x %2").arg(plot->width()).arg(plot->height())));
    }
    QVERIFY(!InWindow(plot, w).intersects(InWindow(wynik, w)));
}

// ---------------------------------------------------------------- tables

void TestScreen::columnsFitEveryCell_data()
{
    QTest::addColumn<QVariantList>("cells"); // one column; the widest is not the longest text
    QTest::addColumn<int>("row");            // where `wide` goes among 2 000 short cells
    QTest::addColumn<QVariant>("wide");

    QVariantList dates;
    for (int i = 0; i < 2000; ++i)
        dates << QStringLiteral("2020-%1-%2 1%3:00:00").arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(i % 10);
    QVariantList narrow;
    for (int i = 0; i < 2000; ++i)
        narrow << QString(14, QLatin1Char('i'));
    QVariantList values;
    for (int i = 0; i < 2000; ++i)
        values << 0.001 * (i % 900);
    QTest::newRow("long comment mid-list") << narrow << 1000 << QVariant(QString(60, QLatin1Char('x')));
    QTest::newRow("wide letters, fewer of them") << narrow << 1500 << QVariant(QString(12, QLatin1Char('W')));
    QTest::newRow("second line longer") << narrow << 1999 << QVariant(QStringLiteral("a\nMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"));
    QTest::newRow("a date of wide digits") << dates << 7 << QVariant(QStringLiteral("2088-08-28 08:08:08"));
    QTest::newRow("a large negative value") << values << 1234 << QVariant(-123456.789);
}

void TestScreen::columnsFitEveryCell()
{
    QFETCH(QVariantList, cells);
    QFETCH(int, row);
    QFETCH(QVariant, wide);
    cells[row] = wide;

    QStandardItemModel model(cells.size(), 2);
    for (int r = 0; r < cells.size(); ++r)
        model.setData(model.index(r, 0), cells.at(r));
    QTableView view;
    view.resize(300, 200);
    view.setModel(&model);
    view.setColumnWidth(0, 20);
    view.show();
    FitColumns(&view);

    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = QFontMetrics(view.font());
    option.widget = &view;
    int needed = 0;
    for (int r = 0; r < model.rowCount(); ++r)
        needed = qMax(needed, view.itemDelegate()->sizeHint(option, model.index(r, 0)).width());
    QVERIFY2(view.columnWidth(0) >= needed, qPrintable(QStringLiteral("%1 < %2").arg(view.columnWidth(0)).arg(needed)));
}

void TestScreen::columnsShowWholeTexts()
{
    TWindow t(dir.path());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    QCOMPARE(t.pomiary->model()->rowCount(), 5);

    const int formWidths[] = {1, 150, 62, 203};
    const QFontMetrics metrics(t.pomiary->font());
    QCOMPARE(t.pomiary->columnWidth(0), 1); // the id stays out of sight
    for (int c = 1; c < 4; ++c) {
        int longest = metrics.horizontalAdvance(t.pomiary->model()->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < 5; ++r) {
            const QModelIndex index = t.pomiary->model()->index(r, c);
            longest = qMax(longest, metrics.horizontalAdvance(index.data().toString()));
            if (!index.data().toString().isEmpty()) { // the tool tip shows the whole text, as text
                QTextDocument tip;
                tip.setHtml(index.data(Qt::ToolTipRole).toString());
                QCOMPARE(tip.toPlainText(), index.data().toString());
            }
        }
        QVERIFY2(t.pomiary->columnWidth(c) > longest, qPrintable(QString::number(c)));
        QVERIFY(t.pomiary->columnWidth(c) >= formWidths[c]);
    }
    QVERIFY(t.obiekty->columnWidth(0) > QFontMetrics(t.obiekty->font()).horizontalAdvance(kLongName));
    // Wider than the view, the texts can be scrolled to their ends.
    for (QTableView *view : {t.obiekty, t.pomiary}) {
        QTRY_COMPARE(view->horizontalScrollBar()->maximum(),
                     view->horizontalHeader()->length() - view->viewport()->width());
        QVERIFY(view->horizontalScrollBar()->maximum() > 0);
    }
    QTextDocument tip;
    tip.setHtml(t.obiekty->model()->index(0, 0).data(Qt::ToolTipRole).toString());
    QCOMPARE(tip.toPlainText(), kLongName);
}

void TestScreen::namesFollowTableWidth_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("longTexts"); // a name and a comment wider than their tables at this size
    // Whether the comments' column fits beside the dates and values: 1 yes,
    // 0 no, -1 either (a narrow table, where the header alone decides).
    QTest::addColumn<int>("commentsFit");
    QTest::newRow("1024 x 768") << QSize(1024, 768) << false << -1;
    QTest::newRow("form size") << QSize(1211, 655) << false << -1;
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << false << 1;
    QTest::newRow("1024 x 768, long texts") << QSize(1024, 768) << true << 0;
    QTest::newRow("form size, long texts") << QSize(1211, 655) << true << 0;
}

void TestScreen::namesFollowTableWidth()
{
    // Names and comments that fit are shown whole in a last column that
    // ends with its table, header in sight; a longer text widens its
    // column to itself and is scrolled to, the header at the column's left
    // edge, still in sight.
    QFETCH(QSize, size);
    QFETCH(bool, longTexts);
    QFETCH(int, commentsFit);
    const QString path = dir.filePath(QStringLiteral("nazwy.db"));
    const QStringList names = {QStringLiteral("Szyna"), longTexts ? kLongName : QStringLiteral("Pole 7")};
    TTestPomiar pomiar(1, 1, 1.0);
    pomiar.komentarz = longTexts ? kLongComment + kLongComment : QStringLiteral("ok");
    QFile::remove(path);
    QCOMPARE(MakeDataBase(path, names, {pomiar, TTestPomiar(2, 2, 2.0)}), QString());
    TWindow t(dir.path());
    t.w->resize(QSize(1400, 900));
    t.Open(path);
    ClickCell(t.obiekty, 0, 0);
    QCOMPARE(t.pomiary->model()->rowCount(), 1);
    t.w->resize(size);
    QTest::qWait(20);
    for (QTableView *view : {t.obiekty, t.pomiary}) {
        const int last = view->model()->columnCount() - 1;
        const QString name = view->objectName();
        const int fits = view == t.obiekty ? !longTexts : commentsFit;
        QTRY_VERIFY2(view->horizontalHeader()->length() >= view->viewport()->width(), qPrintable(name));
        if (fits == 1 || (fits == -1 && view->horizontalScrollBar()->maximum() == 0)) {
            QTRY_COMPARE(view->horizontalHeader()->length(), view->viewport()->width());
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
            QVERIFY(view->horizontalHeader()->defaultAlignment() & Qt::AlignHCenter);
        } else {
            const QString text = view->model()->index(0, last).data().toString();
            QVERIFY(view->columnWidth(last) > QFontMetrics(view->font()).horizontalAdvance(text));
            QVERIFY(view->columnWidth(last) >= view->horizontalHeader()->sectionSizeHint(last));
            QTRY_VERIFY2(view->horizontalScrollBar()->maximum() > 0, qPrintable(name));
            QVERIFY(view->horizontalHeader()->defaultAlignment() & Qt::AlignLeft);
        }
    }
    if (longTexts) {
        // The long name filtered out, the column ends with its table again.
        auto *filter = t.w->findChild<QLineEdit *>(QStringLiteral("lE_ObiektyFilter"));
        QVERIFY(filter);
        filter->setText(QStringLiteral("szy"));
        QTRY_COMPARE(t.obiekty->columnWidth(0), t.obiekty->viewport()->width());
        QTRY_COMPARE(t.obiekty->horizontalScrollBar()->maximum(), 0);
    }
}

// ---------------------------------------------------------------- export

void TestScreen::exportNameGetsSuffix_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<qint64>("size"); // -1: a CSV of 3006 lines

    QTest::newRow("CSV, bare name") << 0 << "pomiar" << "pomiar.csv" << qint64(-1);
    QTest::newRow("ZYM, bare name") << 1 << "pomiar" << "pomiar.zym5" << kPomiarFileSize;
    QTest::newRow("CSV, own suffix kept") << 0 << "kopia.zym5" << "kopia.zym5" << kPomiarFileSize;
    QTest::newRow("ZYM, own suffix kept") << 1 << "wyniki.csv" << "wyniki.csv" << qint64(-1);
}

void TestScreen::exportNameGetsSuffix()
{
    QFETCH(int, filter);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(qint64, size);

    QTemporaryDir out;
    TWindow t(dir.path());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    ClickCell(t.pomiary, 0, 1);

    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        auto *edit = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        auto *types = dialog ? dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")) : nullptr;
        if (!edit || !types) {
            qWarning("expected Qt's save dialog");
            static_cast<QDialog *>(w)->reject();
            return;
        }
        dialog->setDirectory(out.path());
        // Chosen as a user does, from the list of types.
        for (int i = 0; i < filter; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        edit->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    t.Action("actionExport_wyniku_do_CSV")->trigger();

    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{written});
    const QString path = out.filePath(written);
    if (size < 0)
        QCOMPARE(ReadLines(path).size(), 3006);
    else
        QCOMPARE(QFileInfo(path).size(), size);
    QVERIFY2(t.w->statusBar()->currentMessage().contains(QDir::toNativeSeparators(path)),
             qPrintable(t.w->statusBar()->currentMessage()));
}

// ---------------------------------------------------------------- comment

void TestScreen::savedCommentShownInList()
{
    TWindow t(dir.path());
    t.w->resize(1211, 655);
    t.Open(db);
    ClickCell(t.obiekty, 1, 0);
    QCOMPARE(t.pomiary->model()->rowCount(), 40);
    t.pomiary->scrollToBottom();
    const int scrolled = t.pomiary->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    auto click = [&t](int row) {
        const QModelIndex index = t.pomiary->model()->index(row, 1);
        QTest::mouseClick(t.pomiary->viewport(), Qt::LeftButton, Qt::NoModifier,
                          t.pomiary->visualRect(index).center());
    };
    click(38);
    QVERIFY(Shows(t, 139));

    auto *editor = t.w->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"));
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral("styk 'A' wymieniony"));
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    click(37);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(KomentarzOf(db, 139), QStringLiteral("styk 'A' wymieniony"));

    QCOMPARE(t.Cell(t.pomiary, 38, 3), QStringLiteral("styk 'A' wymieniony"));
    QVERIFY(Shows(t, 138));
    QCOMPARE(t.pomiary->selectionModel()->selectedRows().value(0).row(), 37);
    QCOMPARE(t.pomiary->verticalScrollBar()->value(), scrolled);
    ExecSql(db, QStringLiteral("UPDATE pomiar SET pomiar_komentarz=NULL WHERE pomiar_id=139"));
}

// ---------------------------------------------------------------- time

void TestScreen::listAndResultShowSameClock()
{
    TWindow t(dir.path());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    const QString prefix = QStringLiteral("Zapisany: ");
    QStringList clocks;
    for (int id : {2, 1}) { // winter, summer
        const int row = RowOfId(t.pomiary, id);
        ClickCell(t.pomiary, row, 1);
        QVERIFY(Shows(t, id));
        QVERIFY(t.Label("label_Czas").startsWith(prefix));
        QCOMPARE(t.Cell(t.pomiary, row, 1), t.Label("label_Czas").mid(prefix.size()).simplified());
        clocks << t.Cell(t.pomiary, row, 1);
    }
    QCOMPARE(clocks, (QStringList{"2021-01-15 13:00:00", "2021-07-01 14:00:00"}));
}

void TestScreen::oneDecimalSignPerColumn()
{
    // A Polish desktop: the list's numbers from 1 Ω on read "4,34"; those
    // below 1 Ω must not read "73.65 mΩ" beside them.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")},
                          {TTestPomiar(1, 1, 4.34), TTestPomiar(2, 1, 0.07365), TTestPomiar(3, 1, 12.5)}),
             QString());
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    TWindow t(folder.path());
    t.Open(path);
    ClickCell(t.obiekty, 0, 0);
    auto *delegate = qobject_cast<QStyledItemDelegate *>(t.pomiary->itemDelegate());
    QVERIFY(delegate);
    QStringList cells;
    for (int r = 0; r < t.Rows(t.pomiary); ++r) {
        const QModelIndex cell = t.pomiary->model()->index(r, 2);
        cells << delegate->displayText(cell.data(), t.pomiary->locale());
        QVERIFY2(!cell.data(Qt::ToolTipRole).toString().contains(QLatin1Char('.')),
                 qPrintable(cell.data(Qt::ToolTipRole).toString()));
    }
    QLocale::setDefault(before);
    cells.sort();
    QCOMPARE(cells, (QStringList{QStringLiteral("12,5"), QStringLiteral("4,34"), QStringLiteral("73,65 mΩ")}));
}

// ---------------------------------------------------------------- keyboard

void TestScreen::keyboardLeadsDisplay()
{
    TWindow t(dir.path());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    ClickCell(t.pomiary, 0, 1);
    QVERIFY(Shows(t, IdAt(t, 0)));

    QTest::keyClick(t.pomiary, Qt::Key_Down);
    QVERIFY(Shows(t, IdAt(t, 1)));
    QTest::keyClick(t.pomiary, Qt::Key_Down);
    QVERIFY(Shows(t, IdAt(t, 2)));
    QTest::keyClick(t.pomiary, Qt::Key_Up);
    QVERIFY(Shows(t, IdAt(t, 1)));

    // An edit is asked about before the keyboard moves on, once.
    auto *editor = t.w->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"));
    QTest::keyClicks(editor, QStringLiteral("x"));
    {
        TMessageBoxWatch watch(QStringLiteral("NIE"));
        QTest::keyClick(t.pomiary, Qt::Key_Down);
        QCOMPARE(watch.Count(), 1);
        QVERIFY(Shows(t, IdAt(t, 2)));
    }
    // A mouse click that moves the row asks once and shows it once.
    QTest::keyClicks(editor, QStringLiteral("y"));
    {
        TMessageBoxWatch watch(QStringLiteral("NIE"));
        ClickCell(t.pomiary, 4, 2);
        QCOMPARE(watch.Count(), 1);
        QVERIFY(Shows(t, IdAt(t, 4)));
        QVERIFY(!t.komentarz->Edited());
    }

    // In the object table the keyboard lists the next object's measurements.
    t.obiekty->setFocus();
    QTest::keyClick(t.obiekty, Qt::Key_Down);
    QCOMPARE(t.pomiary->model()->rowCount(), 40);
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt: Szyna"));
}

// ---------------------------------------------------------------- sorting

void TestScreen::headerSorts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("ascending"); // ids in order
    QTest::newRow("time") << 1 << QList<int>{4, 2, 5, 1, 3};
    QTest::newRow("value, infinity largest") << 2 << QList<int>{3, 5, 1, 4, 2};
    QTest::newRow("comment, empty first, case ignored") << 3 << QList<int>{4, 3, 2, 5, 1};
}

void TestScreen::headerSorts()
{
    QFETCH(int, column);
    QFETCH(QList<int>, ascending);
    TWindow t(dir.path());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    QList<int> ids;
    for (int r = 0; r < 5; ++r)
        ids << IdAt(t, r);
    QCOMPARE(ids, (QList<int>{1, 2, 3, 4, 5})); // the statement's order to begin with

    QHeaderView *header = t.pomiary->horizontalHeader();
    auto clickHeader = [header, column]() {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
    };
    clickHeader();
    ids.clear();
    for (int r = 0; r < 5; ++r)
        ids << IdAt(t, r);
    QCOMPARE(ids, ascending);
    clickHeader();
    ids.clear();
    for (int r = 4; r >= 0; --r)
        ids << IdAt(t, r);
    QCOMPARE(ids, ascending);

    // Every row still leads to its own measurement.
    for (int r : {0, 3}) {
        ClickCell(t.pomiary, r, column);
        QVERIFY(Shows(t, ascending.at(4 - r)));
    }
}

// ---------------------------------------------------------------- language

void TestScreen::languageSwitchKeepsMeasurement()
{
    TWindow t(dir.path(), appsupport::EnglishIniLines());
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    const int row = RowOfId(t.pomiary, 1);
    ClickCell(t.pomiary, row, 1);
    QVERIFY(Shows(t, 1));
    const QString polishR = t.Label("label_R");

    t.Action("actionAngieski")->trigger();
    QCOMPARE(t.pomiary->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("DATE"));
    QCOMPARE(t.pomiary->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("COMMENT"));
    QCOMPARE(t.obiekty->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("OBJECT"));
    QVERIFY(Shows(t, 1));
    QCOMPARE(t.Label("label_R"), polishR);
    QVERIFY(t.Label("label_Metoda").startsWith(QStringLiteral("Method:")));
    QVERIFY(t.Label("label_Czas").startsWith(QStringLiteral("Recorded: ")));
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Object: ") + kLongName);
    QCOMPARE(t.w->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"))->toPlainText(), kLongComment);
    QVERIFY(!t.komentarz->Edited());
    QVERIFY(t.Action("actionExport_wyniku_do_CSV")->isEnabled());

    t.Action("actionPolski")->trigger();
    QCOMPARE(t.pomiary->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("DATA"));
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt: ") + kLongName);
    QVERIFY(t.Label("label_Metoda").startsWith(QStringLiteral("Metoda:")));
}

// A name wider than the result area at 1024 px keeps its end within reach:
// the label holds it whole and its tool tip shows it, as plain text.
void TestScreen::longObjectNameTold()
{
    TWindow t(dir.path());
    t.w->resize(1024, 700);
    t.Open(db);
    ClickCell(t.obiekty, 0, 0);
    ClickCell(t.pomiary, 0, 1);
    auto *label = t.w->findChild<QLabel *>(QStringLiteral("label_obiekt"));
    const QString name = kLongName + QStringLiteral(" <b>pole</b> ") + kLongName;
    label->setText(QStringLiteral("Obiekt: ") + name);
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width());

    auto tipOver = [&](QLabel *over) {
        QToolTip::hideText();
        for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
            QTest::qWait(50);
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), over->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(over, &help);
        QTextDocument tip;
        tip.setHtml(QToolTip::isVisible() ? QToolTip::text() : QString());
        return tip.toPlainText();
    };
    QCOMPARE(tipOver(label), QStringLiteral("Obiekt: ") + name);
    QCOMPARE(label->text(), QStringLiteral("Obiekt: ") + name);
    label->setText(QStringLiteral("Obiekt: Szyna"));
    QCOMPARE(tipOver(label), QString()); // a name that fits needs no tip
}

// The style the program sets up draws group boxes from a picture loaded
// once: pixel for pixel what the style Qt chose draws, titled or not,
// checkable or not, in a small box and a large one.
void TestScreen::styleDrawsSameFrames()
{
    if (!QApplication::style()->inherits("QFusionStyle"))
        QSKIP("the frames are looked up once only under Fusion");
    QWidget window;
    std::vector<QGroupBox *> boxes;
    for (const QString &title : {QStringLiteral("Metryka Pomiaru"), QString()}) {
        for (bool checkable : {false, true}) {
            for (const QSize size : {QSize(40, 30), QSize(471, 281)}) {
                auto *box = new QGroupBox(title, &window);
                box->setCheckable(checkable);
                box->resize(size);
                boxes.push_back(box);
            }
        }
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    std::vector<QImage> before;
    for (QGroupBox *box : boxes)
        before.push_back(box->grab().toImage());

    SetUpWindowStyle();
    QVERIFY(QApplication::style() != nullptr);
    for (size_t i = 0; i < boxes.size(); ++i)
        QVERIFY2(boxes[i]->grab().toImage() == before[i], qPrintable(QString::number(int(i))));
}

QTEST_MAIN(TestScreen)
#include "test_screen.moc"
