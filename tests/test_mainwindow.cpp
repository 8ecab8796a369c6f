// The main window as a user meets it: its form, its start-up state, the
// layout on resize, the close question, opening a measurement file and the
// chart commands.

#include "app/mainwindow.h"
#include "layout/mainlayout.h"
#include "chart/dialogwykres.h"
#include "measurement/ui/komentarzedit.h"
#include "support/testsupport.h"

#include <QAction>
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

#include <cstring>
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

    void formWidgets_data();
    void formWidgets();
    void formFontsAndStyles();
    void formTexts();
    void actions_data();
    void actions();
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

void TestMainWindow::formWidgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("gB_Baza") << "gB_Baza" << "QGroupBox" << "centralWidget" << QRect(0, 50, 700, 551);
    QTest::newRow("tV_Obiekty") << "tV_Obiekty" << "QTableView" << "gB_Baza" << QRect(20, 50, 210, 491);
    QTest::newRow("tV_Pomiary") << "tV_Pomiary" << "QTableView" << "gB_Baza" << QRect(239, 50, 441, 491);
    QTest::newRow("label_Pomiary") << "label_Pomiary" << "QLabel" << "gB_Baza" << QRect(240, 20, 211, 31);
    QTest::newRow("label_Obiekty") << "label_Obiekty" << "QLabel" << "gB_Baza" << QRect(20, 20, 201, 31);
    QTest::newRow("gB_Wynik") << "gB_Wynik" << "QGroupBox" << "centralWidget" << QRect(710, 50, 471, 281);
    QTest::newRow("label_R") << "label_R" << "QLabel" << "gB_Wynik" << QRect(20, 40, 161, 16);
    QTest::newRow("label_Metoda") << "label_Metoda" << "QLabel" << "gB_Wynik" << QRect(20, 100, 181, 21);
    QTest::newRow("tE_Komentarz") << "tE_Komentarz" << "QTextEdit" << "gB_Wynik" << QRect(10, 190, 451, 81);
    QTest::newRow("label_Komentarz") << "label_Komentarz" << "QLabel" << "gB_Wynik" << QRect(10, 170, 131, 21);
    QTest::newRow("label_Czas") << "label_Czas" << "QLabel" << "gB_Wynik" << QRect(20, 130, 321, 16);
    QTest::newRow("label_obiekt") << "label_obiekt" << "QLabel" << "gB_Wynik" << QRect(20, 70, 421, 16);
    QTest::newRow("plot") << "plot" << "QCustomPlot" << "centralWidget" << QRect(710, 340, 471, 261);
    QTest::newRow("label_U") << "label_U" << "QLabel" << "plot" << QRect(5, 20, 31, 16);
    QTest::newRow("label_legend_w_i") << "label_legend_w_i" << "QLabel" << "plot" << QRect(5, 0, 55, 16);
    QTest::newRow("menuBar") << "menuBar" << "QMenuBar" << "MainWindow" << QRect(0, 0, 1211, 21);
}

void TestMainWindow::formWidgets()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QWidget *w = window->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString(w->metaObject()->className()), className);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    if (name != "menuBar") // the menu bar is laid out by the window itself
        QCOMPARE(w->geometry(), geometry);
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window->size(), QSize(1211, 655));
    QCOMPARE(window->centralWidget()->objectName(), QStringLiteral("centralWidget"));
    QCOMPARE(window->statusBar()->objectName(), QStringLiteral("statusBar"));
}

void TestMainWindow::formFontsAndStyles()
{
    for (const char *box : {"gB_Baza", "gB_Wynik", "label_Pomiary", "label_Obiekty"}) {
        QWidget *w = window->findChild<QWidget *>(box);
        QCOMPARE(w->font().pointSize(), 12);
        QVERIFY2(w->font().bold(), box);
    }
    // Point size 10, everything else from the group box: bold.
    for (const char *label : {"label_R", "label_Metoda", "label_Komentarz", "label_Czas", "label_obiekt"}) {
        QWidget *w = window->findChild<QWidget *>(label);
        QCOMPARE(w->font().pointSize(), 10);
        QVERIFY2(w->font().bold(), label);
    }
    for (const char *table : {"tV_Obiekty", "tV_Pomiary"}) {
        QWidget *w = window->findChild<QWidget *>(table);
        QVERIFY(!w->testAttribute(Qt::WA_SetFont));
        QCOMPARE(w->font().pointSize(), 12);
        QVERIFY(w->font().bold());
    }
    auto *komentarz = window->findChild<QTextEdit *>("tE_Komentarz");
    QCOMPARE(komentarz->font().pointSize(), 10);
    QVERIFY(!komentarz->font().bold());
    auto *wynik = window->findChild<QGroupBox *>("gB_Wynik");
    QVERIFY(!wynik->isFlat());
    QVERIFY(!wynik->isCheckable());
    QCOMPARE(window->findChild<QWidget *>("plot")->styleSheet(), QStringLiteral("color:blue"));
    QCOMPARE(window->findChild<QWidget *>("label_legend_w_i")->styleSheet(), QStringLiteral("color: red"));
    QCOMPARE(window->findChild<QWidget *>("label_U")->styleSheet(), QString());
}

void TestMainWindow::formTexts()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("ZYM Reader"));
    const QList<QPair<const char *, const char *>> labels = {
        {"label_Pomiary", "Pomiary"}, {"label_Obiekty", "Obiekty"}, {"label_R", "R="},
        {"label_Metoda", "Metoda 2P/3P"}, {"label_Komentarz", "Komentarz"}, {"label_Czas", "Czas"},
        {"label_obiekt", "Obiekt"}, {"label_U", "U[V]"}, {"label_legend_w_i", "I[A]"},
    };
    for (const auto &l : labels)
        QCOMPARE(window->findChild<QLabel *>(l.first)->text(), QString::fromUtf8(l.second));
    QCOMPARE(window->findChild<QGroupBox *>("gB_Baza")->title(), QStringLiteral("Baza danych"));
    QCOMPARE(window->findChild<QGroupBox *>("gB_Wynik")->title(), QStringLiteral("Metryka Pomiaru"));
    auto *komentarz = window->findChild<QTextEdit *>("tE_Komentarz");
    QCOMPARE(komentarz->toPlainText(), QString());
    QVERIFY(komentarz->toHtml().contains("MS Shell Dlg 2"));
}

void TestMainWindow::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hasIcon");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("actionOpenDataBase") << "actionOpenDataBase" << QString::fromUtf8("Otwórz lokalną bazę danych") << true << false;
    QTest::newRow("actionOpenZYMDataBase") << "actionOpenZYMDataBase" << QString::fromUtf8("Połącz") << true << false;
    QTest::newRow("actionExport_wyniku_do_CSV") << "actionExport_wyniku_do_CSV" << "Zapisz pomiar jako" << true << false;
    QTest::newRow("actionPobierz_baz_danych") << "actionPobierz_baz_danych" << QString::fromUtf8("Pobierz bazę danych") << false << false;
    QTest::newRow("actionOkno") << "actionOkno" << "Okno" << true << false;
    QTest::newRow("actionZoomAll") << "actionZoomAll" << QString::fromUtf8("Pokaż  cały") << false << false;
    QTest::newRow("actionAppClose") << "actionAppClose" << QString::fromUtf8("Zakończ") << false << false;
    QTest::newRow("actionPolski") << "actionPolski" << "Polski" << false << true;
    QTest::newRow("actionAngieski") << "actionAngieski" << "Angieski" << false << true;
    QTest::newRow("actionCloaseZYMDataBase") << "actionCloaseZYMDataBase" << QString::fromUtf8("Rozłącz") << false << false;
    QTest::newRow("actionO_programie") << "actionO_programie" << "O programie" << false << false;
    QTest::newRow("actionOpenPomiar") << "actionOpenPomiar" << QString::fromUtf8("Otwórz pomiar") << false << false;
    QTest::newRow("actionIndukcyjnosc") << "actionIndukcyjnosc" << QString::fromUtf8("Indukcyjność") << false << false;
    QTest::newRow("actionPradNaOsiPrawej") << "actionPradNaOsiPrawej" << QString::fromUtf8("Prąd na osi prawej") << false << true;
    QTest::newRow("actionHistoria") << "actionHistoria" << QStringLiteral("Historia obiektu") << false << false;
}

void TestMainWindow::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(bool, hasIcon);
    QFETCH(bool, checkable);
    auto *action = window->findChild<QAction *>(name);
    QVERIFY2(action, qPrintable(name));
    QCOMPARE(action->parent(), window.get());
    // Mnemonics mark a letter; the words are the form's.
    QCOMPARE(action->text().remove(QLatin1Char('&')), text);
    QCOMPARE(action->isCheckable(), checkable);
    QCOMPARE(!action->icon().isNull(), hasIcon);
    // Only the four standard commands have keys.
    const QStringList keyed = {"actionOpenDataBase", "actionOpenPomiar", "actionExport_wyniku_do_CSV", "actionAppClose"};
    QCOMPARE(action->shortcut().isEmpty(), !keyed.contains(name));
    if (hasIcon) {
        const QSize size = action->icon().availableSizes().value(0);
        QCOMPARE(size, QSize(128, 128));
    }
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
                          "actionOtworzArchiwum", "menuImportujDoArchiwum", "actionDziennikImportow"}));
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
    QCOMPARE(window->dialogWykres(), nullptr);
    QCOMPARE(window->iniFileName(), IniPath());
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
    QPointer<DialogWykres> chart = window->dialogWykres();
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
    QVERIFY(std::memcmp(&window->currentPomiar(), rec.get(), sizeof(TDataPomiar)) == 0);
    QCOMPARE(window->lastOpenedPath(), dir.path() + "/");
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
    QCOMPARE(window->lastOpenedPath(), dir.path() + "/");
    QVERIFY(std::memcmp(&window->currentPomiar(), rec.get(), sizeof(TDataPomiar)) == 0);
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
    QVERIFY(std::memcmp(&window->currentPomiar(), good.get(), sizeof(TDataPomiar)) == 0);
    QVERIFY(std::memcmp(&window->baza().Pomiar, good.get(), sizeof(TDataPomiar)) == 0);

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
    QPointer<DialogWykres> first = window->dialogWykres();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    auto *dialogPlot = first->findChild<QCustomPlot *>("plot");
    QCOMPARE(dialogPlot->graph(0)->data()->at(1500)->value, 4.0);

    window->findChild<QAction *>("actionOkno")->trigger();
    QVERIFY(!first); // the earlier chart window is gone
    QVERIFY(window->dialogWykres());

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
