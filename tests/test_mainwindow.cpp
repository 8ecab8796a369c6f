// The main window as a user meets it: its form, its start-up state, the
// layout on resize, the close question, opening a measurement file and the
// chart commands.

#include "app/mainwindow.h"
#include "layout/mainlayout.h"
#include "chart/dialogwykres.h"
#include "measurement/ui/komentarzedit.h"
#include "support/appsupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

#include <qcustomplot.h>

#include <memory>

namespace {

QString IniPath() { return QCoreApplication::applicationDirPath() + "/ZYMReader.ini"; }

QStringList ActionNames(const QList<QAction *> &actions)
{
    QStringList names;
    for (QAction *a : actions) {
        if (a->isSeparator())
            names << "-";
        else if (a->menu())
            names << a->menu()->objectName();
        else
            names << a->objectName();
    }
    return names;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form_data();
    void form();
    void menusAndToolBar();
    void startUpState();
    void layoutFollowsWindowSize();
    void closeAsksFirst();
    void openMeasurementFile();
    void openFailureChangesNothing_data();
    void openFailureChangesNothing();
    void chartWindowAndZoomAll();

private:
    std::unique_ptr<MainWindow> window;
    QTemporaryDir dir;
};

void TestMainWindow::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    qputenv("TZ", "UTC");
}

void TestMainWindow::init()
{
    QFile::remove(IniPath());
    window.reset(new MainWindow);
}

void TestMainWindow::cleanup()
{
    window.reset(); // destroying the window asks nothing and saves nothing
    QFile::remove(IniPath());
}

namespace {

void FormRow(const char *object, const char *check, const QVariant &expected)
{
    QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(object), QLatin1String(check))))
        << QString::fromUtf8(object) << QString::fromLatin1(check) << expected;
}

// The window's widgets with their class, parent and place in the form.
void WidgetRows(const char *name, const char *className, const char *parent, const QRect &geometry)
{
    FormRow(name, "class", QString::fromLatin1(className));
    FormRow(name, "parent", QString::fromLatin1(parent));
    if (QByteArray(name) != "menuBar") // the menu bar is laid out by the window itself
        FormRow(name, "geometry", geometry);
}

// The window's commands: words (mnemonics aside), ticking, icon size (none:
// an invalid size) and whether a key starts it (only the four standard ones).
void ActionRows(const char *name, const QString &text, bool icon, bool checkable, bool keyed)
{
    FormRow(name, "parent", QStringLiteral("MainWindow"));
    FormRow(name, "text", text);
    FormRow(name, "checkable", checkable);
    FormRow(name, "icon", icon ? QSize(128, 128) : QSize());
    FormRow(name, "keyed", keyed);
}

} // namespace

// The form as the user first sees it, and the About dialog as "O programie"
// opens it: one row for each thing to check of one object. An object name
// starting with "about" is the About dialog; the checks are Qt properties
// but for the few named in form().
void TestMainWindow::form_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QVariant>("expected");

    FormRow("MainWindow", "size", QSize(1211, 655));
    FormRow("MainWindow", "windowTitle", QStringLiteral("ZYM Reader"));
    FormRow("centralWidget", "parent", QStringLiteral("MainWindow"));
    FormRow("statusBar", "class", QStringLiteral("QStatusBar"));
    WidgetRows("gB_Baza", "QGroupBox", "centralWidget", QRect(0, 50, 700, 551));
    WidgetRows("tV_Obiekty", "QTableView", "gB_Baza", QRect(20, 50, 210, 491));
    WidgetRows("tV_Pomiary", "QTableView", "gB_Baza", QRect(239, 50, 441, 491));
    WidgetRows("label_Pomiary", "QLabel", "gB_Baza", QRect(240, 20, 211, 31));
    WidgetRows("label_Obiekty", "QLabel", "gB_Baza", QRect(20, 20, 201, 31));
    WidgetRows("gB_Wynik", "QGroupBox", "centralWidget", QRect(710, 50, 471, 281));
    WidgetRows("label_R", "QLabel", "gB_Wynik", QRect(20, 40, 161, 16));
    WidgetRows("label_Metoda", "QLabel", "gB_Wynik", QRect(20, 100, 181, 21));
    WidgetRows("tE_Komentarz", "QTextEdit", "gB_Wynik", QRect(10, 190, 451, 81));
    WidgetRows("label_Komentarz", "QLabel", "gB_Wynik", QRect(10, 170, 131, 21));
    WidgetRows("label_Czas", "QLabel", "gB_Wynik", QRect(20, 130, 321, 16));
    WidgetRows("label_obiekt", "QLabel", "gB_Wynik", QRect(20, 70, 421, 16));
    WidgetRows("plot", "QCustomPlot", "centralWidget", QRect(710, 340, 471, 261));
    WidgetRows("label_U", "QLabel", "plot", QRect(5, 20, 31, 16));
    WidgetRows("label_legend_w_i", "QLabel", "plot", QRect(5, 0, 55, 16));
    WidgetRows("menuBar", "QMenuBar", "MainWindow", QRect());

    // Fonts: the group boxes and their titles 12 bold, the result labels 10
    // and bold from their box, the tables 12 bold from theirs, the editor 10.
    for (const char *box : {"gB_Baza", "gB_Wynik", "label_Pomiary", "label_Obiekty"}) {
        FormRow(box, "pointSize", 12);
        FormRow(box, "bold", true);
    }
    for (const char *label : {"label_R", "label_Metoda", "label_Komentarz", "label_Czas", "label_obiekt"}) {
        FormRow(label, "pointSize", 10);
        FormRow(label, "bold", true);
    }
    for (const char *table : {"tV_Obiekty", "tV_Pomiary"}) {
        FormRow(table, "ownFont", false);
        FormRow(table, "pointSize", 12);
        FormRow(table, "bold", true);
    }
    FormRow("tE_Komentarz", "pointSize", 10);
    FormRow("tE_Komentarz", "bold", false);
    FormRow("gB_Wynik", "flat", false);
    FormRow("gB_Wynik", "checkable", false);
    FormRow("plot", "styleSheet", QStringLiteral("color:blue"));
    FormRow("label_legend_w_i", "styleSheet", QStringLiteral("color: red"));
    FormRow("label_U", "styleSheet", QString());

    // Texts.
    const QList<QPair<const char *, const char *>> labels = {
        {"label_Pomiary", "Pomiary"}, {"label_Obiekty", "Obiekty"}, {"label_R", "R="},
        {"label_Metoda", "Metoda 2P/3P"}, {"label_Komentarz", "Komentarz"}, {"label_Czas", "Czas"},
        {"label_obiekt", "Obiekt"}, {"label_U", "U[V]"}, {"label_legend_w_i", "I[A]"},
    };
    for (const auto &l : labels)
        FormRow(l.first, "text", QString::fromUtf8(l.second));
    FormRow("gB_Baza", "title", QStringLiteral("Baza danych"));
    FormRow("gB_Wynik", "title", QStringLiteral("Metryka Pomiaru"));
    FormRow("tE_Komentarz", "plainText", QString());
    FormRow("tE_Komentarz", "htmlFont", QStringLiteral("MS Shell Dlg 2"));

    ActionRows("actionOpenDataBase", QString::fromUtf8("Otwórz lokalną bazę danych"), true, false, true);
    ActionRows("actionOpenZYMDataBase", QString::fromUtf8("Połącz"), true, false, false);
    ActionRows("actionExport_wyniku_do_CSV", QStringLiteral("Zapisz pomiar jako"), true, false, true);
    ActionRows("actionPobierz_baz_danych", QString::fromUtf8("Pobierz bazę danych"), false, false, false);
    ActionRows("actionOkno", QStringLiteral("Okno"), true, false, false);
    ActionRows("actionZoomAll", QString::fromUtf8("Pokaż  cały"), false, false, false);
    ActionRows("actionAppClose", QString::fromUtf8("Zakończ"), false, false, true);
    ActionRows("actionPolski", QStringLiteral("Polski"), false, true, false);
    ActionRows("actionAngieski", QStringLiteral("Angieski"), false, true, false);
    ActionRows("actionCloaseZYMDataBase", QString::fromUtf8("Rozłącz"), false, false, false);
    ActionRows("actionO_programie", QStringLiteral("O programie"), false, false, false);
    ActionRows("actionOpenPomiar", QString::fromUtf8("Otwórz pomiar"), false, false, true);
    ActionRows("actionIndukcyjnosc", QString::fromUtf8("Indukcyjność"), false, false, false);
    ActionRows("actionPradNaOsiPrawej", QString::fromUtf8("Prąd na osi prawej"), false, true, false);
    ActionRows("actionHistoria", QStringLiteral("Historia obiektu"), false, false, false);

    // "O programie": a fixed 400×300 dialog without the help button.
    FormRow("about", "windowTitle", QStringLiteral("O programie"));
    FormRow("about", "size", QSize(400, 300));
    FormRow("about", "minimumSize", QSize(400, 300));
    FormRow("about", "maximumSize", QSize(400, 300));
    FormRow("about", "helpButton", false);
    FormRow("about", "fixedSizeHint", true);
}

void TestMainWindow::form()
{
    QFETCH(QString, object);
    QFETCH(QString, check);
    QFETCH(QVariant, expected);

    QObject *o = nullptr;
    if (object == QLatin1String("MainWindow")) {
        o = window.get();
    } else if (object == QLatin1String("about")) {
        window->findChild<QAction *>(QStringLiteral("actionO_programie"))->trigger();
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->metaObject()->className() == QByteArray("about"))
                o = w;
        }
    } else {
        o = window->findChild<QObject *>(object);
    }
    QVERIFY2(o, qPrintable(object));
    auto *w = qobject_cast<QWidget *>(o);
    auto *action = qobject_cast<QAction *>(o);

    QVariant actual;
    if (check == QLatin1String("class"))
        actual = o->inherits(qPrintable(expected.toString())) ? expected : QString::fromLatin1(o->metaObject()->className());
    else if (check == QLatin1String("parent"))
        actual = (w ? static_cast<QObject *>(w->parentWidget()) : o->parent())->objectName();
    else if (check == QLatin1String("pointSize"))
        actual = w->font().pointSize();
    else if (check == QLatin1String("bold"))
        actual = w->font().bold();
    else if (check == QLatin1String("ownFont"))
        actual = w->testAttribute(Qt::WA_SetFont);
    else if (check == QLatin1String("htmlFont"))
        actual = qobject_cast<QTextEdit *>(w)->toHtml().contains(expected.toString()) ? expected : QVariant();
    else if (check == QLatin1String("text") && action)
        actual = action->text().remove(QLatin1Char('&')); // mnemonics mark a letter; the words are the form's
    else if (check == QLatin1String("icon"))
        actual = action->icon().isNull() ? QSize() : action->icon().availableSizes().value(0);
    else if (check == QLatin1String("keyed"))
        actual = !action->shortcut().isEmpty();
    else if (check == QLatin1String("helpButton"))
        actual = bool(w->windowFlags() & Qt::WindowContextHelpButtonHint);
    else if (check == QLatin1String("fixedSizeHint"))
        actual = bool(w->windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    else
        actual = o->property(qPrintable(check));
    QVERIFY2(actual.isValid(), qPrintable(check));
    QCOMPARE(actual, expected);
    if (object == QLatin1String("about"))
        w->close();
}

void TestMainWindow::menusAndToolBar()
{
    // Actions are created in a fixed order: they are the window's children in that order.
    QStringList order;
    for (QObject *child : window->children())
        if (qobject_cast<QAction *>(child) && !child->objectName().isEmpty())
            order << child->objectName();
    QCOMPARE(order, QStringList({"actionOpenDataBase", "actionOpenZYMDataBase", "actionExport_wyniku_do_CSV",
                                 "actionPobierz_baz_danych", "actionOkno", "actionZoomAll", "actionAppClose",
                                 "actionPolski", "actionAngieski", "actionCloaseZYMDataBase", "actionO_programie",
                                 "actionOpenPomiar", "actionIndukcyjnosc", "actionPradNaOsiPrawej",
                                 "actionHistoria"}));

    QStringList menus;
    for (QAction *a : window->menuBar()->actions())
        menus << a->menu()->objectName() + ":" + a->text().remove(QLatin1Char('&'));
    QCOMPARE(menus, QStringList({"menuPlik:Plik", "menuZYM:ZYM", QString::fromUtf8("menuNarz_dzia:Narzędzia"),
                                 "menuWykres:Wykres", "menuOpcje:Opcje", "menuPomoc:Pomoc"}));
    auto contents = [this](const char *menu) { return ActionNames(window->findChild<QMenu *>(menu)->actions()); };
    QCOMPARE(contents("menuPlik"), QStringList({"actionOpenDataBase", "-", "actionOpenPomiar", "-",
                                                "actionExport_wyniku_do_CSV", "-", "actionAppClose"}));
    QCOMPARE(contents("menuZYM"),
             QStringList({"actionOpenZYMDataBase", "actionCloaseZYMDataBase", "actionPobierz_baz_danych", "-",
                          "actionOtworzArchiwum", "menuImportujDoArchiwum", "actionDziennikImportow", "-",
                          "actionSynchronizuj", "-", "actionWizyty", "actionRejestrObiektow"}));
    QCOMPARE(contents("menuNarz_dzia"), QStringList({"-", "actionIndukcyjnosc"}));
    QCOMPARE(contents("menuWykres"), QStringList({"actionOkno", "-", "actionZoomAll", "-", "actionPradNaOsiPrawej", "-",
                                                  "actionHistoria"}));
    QCOMPARE(contents("menuOpcje"), QStringList({"menuJ_zyk_2", "-", "actionUstawienia"}));
    QCOMPARE(window->findChild<QMenu *>("menuJ_zyk_2")->title().remove(QLatin1Char('&')), QString::fromUtf8("Język"));
    QCOMPARE(contents("menuJ_zyk_2"), QStringList({"actionPolski", "actionAngieski"}));
    QCOMPARE(contents("menuPomoc"), QStringList({"actionO_programie"}));

    auto *toolBar = window->findChild<QToolBar *>("mainToolBar");
    QVERIFY(toolBar);
    QCOMPARE(window->toolBarArea(toolBar), Qt::TopToolBarArea);
    QCOMPARE(ActionNames(toolBar->actions()),
             QStringList({"actionOpenZYMDataBase", "actionOpenDataBase", "-", "-", "actionExport_wyniku_do_CSV", "-"}));
}

void TestMainWindow::startUpState()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->findChild<QWidget *>("gB_Wynik")->isVisible());
    QVERIFY(!window->findChild<QWidget *>("plot")->isVisible());
    QVERIFY(window->findChild<QWidget *>("gB_Baza")->isVisible());
    QVERIFY(!window->findChild<QMenu *>("menuNarz_dzia")->menuAction()->isVisible());
    const QStringList disabled = {"actionExport_wyniku_do_CSV", "actionPobierz_baz_danych", "actionCloaseZYMDataBase",
                                  "actionHistoria", "actionImportujBazeDoArchiwum"};
    for (QAction *a : window->findChildren<QAction *>()) {
        if (a->objectName().isEmpty() || a->isSeparator() || a->menu())
            continue;
        QCOMPARE(a->isEnabled(), !disabled.contains(a->objectName()));
    }
    QVERIFY(window->findChild<QAction *>("actionPolski")->isChecked());
    QVERIFY(!window->findChild<QAction *>("actionAngieski")->isChecked());
    QVERIFY(!window->isMaximized());
    QVERIFY(testsupport::Windows<DialogWykres>().isEmpty());
    // Its settings go to the file beside the program.
    window->SaveSettings();
    QVERIFY(QFile::exists(IniPath()));
}

void TestMainWindow::layoutFollowsWindowSize()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto geometryOf = [this](const char *name) { return window->findChild<QWidget *>(name)->geometry(); };
    const QWidget *central = window->centralWidget();
    // Whatever the platform's bars take, the groups, tables and chart go
    // where the layout rule puts them for the bars measured, and the group
    // ends at the status bar.
    for (const QSize size : {QSize(1000, 560), QSize(1211, 655), QSize(1400, 900)}) {
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        const QRect c = central->geometry();
        const QMargins bars(c.left(), c.top(), size.width() - c.right() - 1, size.height() - c.bottom() - 1);
        const TMainLayout layout = MainLayout(size, bars);
        QTRY_COMPARE(geometryOf("gB_Baza"), layout.baza);
        QCOMPARE(geometryOf("tV_Obiekty"), layout.obiekty);
        QCOMPARE(geometryOf("tV_Pomiary"), layout.pomiary);
        QCOMPARE(geometryOf("plot"), layout.plot);
        QCOMPARE(geometryOf("gB_Wynik"), layout.wynik);
        QCOMPARE(geometryOf("tE_Komentarz"), layout.komentarz);
        QCOMPARE(geometryOf("gB_Baza").bottom(), central->height() - 1);
        QCOMPARE(central->geometry().bottom() + 1, window->statusBar()->geometry().top());
    }
}

void TestMainWindow::closeAsksFirst()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->findChild<QAction *>("actionOkno")->trigger();
    QPointer<DialogWykres> chart = testsupport::OnlyWindow<DialogWykres>();
    QVERIFY(chart);

    QString text, title;
    testsupport::AnswerMessageBox(QString::fromUtf8("NIE"), &text, &title);
    window->findChild<QAction *>("actionAppClose")->trigger();
    QCOMPARE(text, QString::fromUtf8("Zakończyć program?"));
    QCOMPARE(title, QStringLiteral("Pytanie."));
    QVERIFY(window->isVisible());
    QVERIFY(chart);
    QVERIFY(!QFile::exists(IniPath()));

    testsupport::AnswerMessageBox(QStringLiteral("TAK"));
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QVERIFY(!chart);
    QVERIFY(QFile::exists(IniPath()));
}

void TestMainWindow::openMeasurementFile()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto rec = testsupport::PulseRecord(5.0, 0.2);
    rec->metoda = 0x80;
    rec->czas = 1583058030; // 2020-03-01 10:20:30 UTC
    const QString path = dir.filePath("first.zym5");
    QVERIFY(testsupport::WriteRecordBytes(path, *rec));

    testsupport::AnswerFileDialog(path);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();

    QCOMPARE(window->findChild<QLabel *>("label_R")->text(), QString::fromUtf8("R=200.0 mΩ"));
    QCOMPARE(window->findChild<QLabel *>("label_Metoda")->text(), QStringLiteral("Metoda:Metod: ...3P"));
    QCOMPARE(window->findChild<QLabel *>("label_Czas")->text(),
             QStringLiteral("Zapisany: 2020-03-01        10:20:30"));
    QCOMPARE(window->findChild<QLabel *>("label_obiekt")->text(), QStringLiteral("Obiekt"));
    auto *komentarz = window->findChild<TKomentarzEdit *>("tE_Komentarz");
    QCOMPARE(komentarz->toPlainText(), QStringLiteral("Pomiar odczytany z pliku: ") + path);
    QCOMPARE(komentarz->Komentarz(), komentarz->toPlainText());
    QVERIFY(!komentarz->Edited());
    QVERIFY(testsupport::DrawsRecord(window->findChild<QCustomPlot *>("plot"), *rec));
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastOpenPath"), dir.path() + "/");
    QVERIFY(window->findChild<QWidget *>("gB_Wynik")->isVisible());
    auto *plot = window->findChild<QCustomPlot *>("plot");
    QVERIFY(plot->isVisible());
    QCOMPARE(plot->graphCount(), 2);
    QCOMPARE(plot->graph(0)->data()->size(), 3000);
    QCOMPARE(plot->graph(0)->data()->at(1500)->value, 5.0);
    // A file is not a database measurement: nothing to export from the database road yet.
    QVERIFY(!window->findChild<QAction *>("actionExport_wyniku_do_CSV")->isEnabled());

    // Cancelling the next dialog leaves everything as the first open left it.
    testsupport::AnswerFileDialog(QString());
    window->findChild<QAction *>("actionOpenPomiar")->trigger();
    QCOMPARE(window->findChild<QLabel *>("label_R")->text(), QString::fromUtf8("R=200.0 mΩ"));
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastOpenPath"), dir.path() + "/");
    QVERIFY(testsupport::DrawsRecord(plot, *rec));
}

void TestMainWindow::openFailureChangesNothing_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("reason");
    QTest::newRow("short") << qint64(1000) << QString::fromUtf8("krótszy");
    QTest::newRow("empty") << qint64(0) << QString::fromUtf8("krótszy");
}

void TestMainWindow::openFailureChangesNothing()
{
    QFETCH(qint64, size);
    QFETCH(QString, reason);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto good = testsupport::PulseRecord(5.0, 0.2);
    const QString goodPath = dir.filePath("good.zym5");
    QVERIFY(testsupport::WriteRecordBytes(goodPath, *good));
    testsupport::AnswerFileDialog(goodPath);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();
    const QString labelR = window->findChild<QLabel *>("label_R")->text();
    const QString comment = window->findChild<QTextEdit *>("tE_Komentarz")->toPlainText();

    auto bad = testsupport::PulseRecord(1.0, 9.0);
    const QString badPath = dir.filePath("bad.zym5");
    QVERIFY(testsupport::WriteRecordBytes(badPath, *bad, size));
    QString text;
    testsupport::AnswerFileDialog(badPath);
    testsupport::AnswerMessageBox(QStringLiteral("OK"), &text);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();

    QVERIFY2(text.contains(QStringLiteral("bad.zym5")), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(window->findChild<QLabel *>("label_R")->text(), labelR);
    QCOMPARE(window->findChild<QTextEdit *>("tE_Komentarz")->toPlainText(), comment);
    // Still the good record (that a failed read leaves the reader's record alone is test_datafile's).
    QVERIFY(testsupport::DrawsRecord(window->findChild<QCustomPlot *>("plot"), *good));

}

void TestMainWindow::chartWindowAndZoomAll()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto rec = testsupport::PulseRecord(4.0, 0.5);
    const QString path = dir.filePath("chart.zym5");
    QVERIFY(testsupport::WriteRecordBytes(path, *rec));
    testsupport::AnswerFileDialog(path);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();

    window->findChild<QAction *>("actionOkno")->trigger();
    QPointer<DialogWykres> first = testsupport::OnlyWindow<DialogWykres>();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    auto *dialogPlot = first->findChild<QCustomPlot *>("plot");
    QCOMPARE(dialogPlot->graph(0)->data()->at(1500)->value, 4.0);

    window->findChild<QAction *>("actionOkno")->trigger();
    QVERIFY(!first); // the earlier chart window is gone
    QVERIFY(testsupport::OnlyWindow<DialogWykres>());

    auto *plot = window->findChild<QCustomPlot *>("plot");
    plot->xAxis->setRange(2, 3);
    plot->yAxis->setRange(-1, 1);
    window->findChild<QAction *>("actionZoomAll")->trigger();
    QCOMPARE(plot->xAxis->range().lower, -20.0);
    QCOMPARE(plot->xAxis->range().upper, 40.0);
    QCOMPARE(plot->yAxis->range().upper, 1.1 * 4.0);
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
