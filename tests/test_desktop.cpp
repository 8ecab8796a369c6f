// The reader as a desktop user expects it: Tab leaves the comment, menus
// reachable by their letters, the settings dialog changes only its own keys,
// the object filter, and Qt's own texts in the interface language.

#include "app/mainwindow.h"
#include "layout/mnemonics.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QTextDocumentFragment>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <QTextDocumentFragment>

#include <memory>

using namespace testsupport;

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void mnemonics_data();
    void mnemonics();
    void tabLeavesComment();
    void settingsKeepOtherKeys();
    void filterNarrowsAndClears();
    void reopenLastDataBase();
    void qtTextsInInterfaceLanguage_data();
    void qtTextsInInterfaceLanguage();

private:
    std::unique_ptr<MainWindow> ShownWindow();
    QTemporaryDir dir;
};

void TestDesktop::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    // A journey closes its window; the test run must go on.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestDesktop::cleanup()
{
    RemoveIni();
}

std::unique_ptr<MainWindow> TestDesktop::ShownWindow()
{
    std::unique_ptr<MainWindow> w = appsupport::NewWindow();
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("main window not exposed");
    return w;
}

void TestDesktop::mnemonics_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("marked");

    QTest::newRow("initials") << QStringList{"Plik", "ZYM", "Opcje"} << QStringList{"&Plik", "&ZYM", "&Opcje"};
    QTest::newRow("initial taken, next letter")
        << QStringList{"Plik", "Pomoc"} << QStringList{"&Plik", "P&omoc"};
    QTest::newRow("initial of a later word")
        << QStringList{"Otwórz pomiar", "Otwórz lokalną bazę"} << QStringList{"&Otwórz pomiar", "Otwórz &lokalną bazę"};
    QTest::newRow("case does not matter") << QStringList{"okno", "Opcje"} << QStringList{"&okno", "O&pcje"};
    QTest::newRow("Polish letters") << QStringList{"Łącz", "Język"} << QStringList{"&Łącz", "&Język"};
    QTest::newRow("own mnemonic kept and reserved")
        << QStringList{"Plik", "&Pomoc"} << QStringList{"P&lik", "&Pomoc"};
    QTest::newRow("literal ampersand") << QStringList{"A && B"} << QStringList{"&A && B"};
    QTest::newRow("no free letter") << QStringList{"ab", "ba", "ab"} << QStringList{"&ab", "&ba", "ab"};
    QTest::newRow("empty text") << QStringList{"", "x"} << QStringList{"", "&x"};
}

void TestDesktop::mnemonics()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, marked);
    QCOMPARE(WithMnemonics(texts), marked);
}

void TestDesktop::tabLeavesComment()
{
    WriteLoopbackIni(dir.filePath(QStringLiteral("brak.db")));
    std::unique_ptr<MainWindow> w = ShownWindow();
    auto *komentarz = w->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"));
    // The result group is hidden until a measurement is shown.
    komentarz->parentWidget()->show();
    komentarz->setFocus();
    QTRY_VERIFY(komentarz->hasFocus());
    QTest::keyClicks(komentarz, QStringLiteral("ab"));
    QTest::keyClick(komentarz, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(komentarz->toPlainText(), QStringLiteral("ab\t"));
    QTest::keyClick(komentarz, Qt::Key_Tab);
    QCOMPARE(komentarz->toPlainText(), QStringLiteral("ab\t"));
    QTRY_VERIFY(!komentarz->hasFocus());

    // Standard keys reach the commands, and the menus their letters.
    QCOMPARE(w->findChild<QAction *>(QStringLiteral("actionAppClose"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->shortcut().isEmpty());
    QCOMPARE(w->findChild<QMenu *>(QStringLiteral("menuPlik"))->title(), QStringLiteral("&Plik"));
}

void TestDesktop::settingsKeepOtherKeys()
{
    QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\nLastOpenPath=/dane/\n"
                                                "[ZYM]\nZYM_NetAdress=127.0.0.1\nZYM_DataBasePath=/brak/zym_5.db\n"
                                                "[Language]\ndefault=0\n1=zymreader_en\n"
                                                "[Obce]\nklucz=wartość\n")));
    std::unique_ptr<MainWindow> w = ShownWindow();
    QCOMPARE(appsupport::MeterAddress(w.get()), QStringLiteral("127.0.0.1"));
    bool seen = false;
    WhenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QDialog *>(modal);
        auto *adres = modal->findChild<QLineEdit *>(QStringLiteral("lE_Adres"));
        auto *folder = modal->findChild<QLineEdit *>(QStringLiteral("lE_Folder"));
        auto *pytaj = modal->findChild<QCheckBox *>(QStringLiteral("cB_Pytaj"));
        if (!dialog || !adres || !folder || !pytaj) {
            qWarning("expected the settings dialog");
            if (dialog)
                dialog->reject();
            return;
        }
        seen = adres->text() == QLatin1String("127.0.0.1") && !pytaj->isChecked();
        adres->setText(QStringLiteral("127.0.0.2"));
        folder->setText(dir.filePath(QStringLiteral("pobrane")));
        dialog->accept();
    });
    w->findChild<QAction *>(QStringLiteral("actionUstawienia"))->trigger();
    QVERIFY(seen);

    QCOMPARE(appsupport::MeterAddress(w.get()), QStringLiteral("127.0.0.2"));
    QCOMPARE(w->downloadFolder(), dir.filePath(QStringLiteral("pobrane")));
    QSettings ini(appsupport::IniPath(), QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    QCOMPARE(ini.value(QStringLiteral("ZYM/ZYM_NetAdress")).toString(), QStringLiteral("127.0.0.2"));
    QCOMPARE(ini.value(QStringLiteral("ZYM/ZYM_DataBasePath")).toString(), QStringLiteral("/brak/zym_5.db"));
    QCOMPARE(ini.value(QStringLiteral("Program/LastOpenPath")).toString(), QStringLiteral("/dane/"));
    QCOMPARE(ini.value(QStringLiteral("Language/1")).toString(), QStringLiteral("zymreader_en"));
    QCOMPARE(ini.value(QStringLiteral("Obce/klucz")).toString(), QString::fromUtf8("wartość"));
    QCOMPARE(ini.value(QStringLiteral("Program/AskIfAppClose")).toBool(), false);
    QCOMPARE(ini.value(QStringLiteral("Archiwum/ImportAfterDownload")).toBool(), true);
    // The window took the dialog's "no question" too: closing asks nothing.
    TMessageBoxWatch boxes(QStringLiteral("TAK"));
    QVERIFY(w->close());
    QCOMPARE(boxes.Count(), 0);
}

void TestDesktop::reopenLastDataBase()
{
    const QString path = dir.filePath(QStringLiteral("ostatnia.db"));
    QVERIFY(QFile::remove(path) || !QFile::exists(path));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Szyna A")}, {TTestPomiar(1, 1, 1.0)}), QString());
    WriteLoopbackIni(dir.filePath(QStringLiteral("brak.db")));
    auto obiekty = [](MainWindow *w) { return w->findChild<QTableView *>(QStringLiteral("tV_Obiekty")); };
    {
        // Off by default: the start opens nothing, and nothing is remembered.
        std::unique_ptr<MainWindow> w = ShownWindow();
        AnswerFileDialog(path);
        w->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->trigger();
        QCOMPARE(obiekty(w.get())->model()->rowCount(), 1);
        QVERIFY(!QSettings(appsupport::IniPath(), QSettings::IniFormat).contains(QStringLiteral("Program/LastDataBase")));
        // Switched on in the settings while it is shown: it is the last one.
        WhenModal([](QWidget *modal) {
            auto *reopen = modal->findChild<QCheckBox *>(QStringLiteral("cB_Reopen"));
            if (!reopen || reopen->isChecked())
                qWarning("expected the reopen box, not ticked");
            if (reopen)
                reopen->setChecked(true);
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->accept();
        });
        w->findChild<QAction *>(QStringLiteral("actionUstawienia"))->trigger();
    }
    {
        std::unique_ptr<MainWindow> w = ShownWindow();
        QTRY_COMPARE(w->statusBar()->currentMessage(), path);
        QCOMPARE(obiekty(w.get())->model()->rowCount(), 1);
    }
    {
        // Gone since: said in the status bar, no question over the start.
        QVERIFY(QFile::remove(path));
        std::unique_ptr<MainWindow> w = ShownWindow();
        QTRY_VERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("ostatnia.db")));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!obiekty(w.get())->model() || obiekty(w.get())->model()->rowCount() == 0);
    }
    QSettings ini(appsupport::IniPath(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Program/ReopenLastDataBase")).toBool(), true);
}

void TestDesktop::filterNarrowsAndClears()
{
    const QString path = dir.filePath(QStringLiteral("filtr.db"));
    QVERIFY(QFile::remove(path) || !QFile::exists(path));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Szyna A"), QStringLiteral("Trafo"), QStringLiteral("szyna B"),
                                 QStringLiteral("Trafo")},
                          {TTestPomiar(1, 1, 1.0)}),
             QString());
    WriteLoopbackIni(dir.filePath(QStringLiteral("brak.db")));
    std::unique_ptr<MainWindow> w = ShownWindow();
    AnswerFileDialog(path);
    w->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->trigger();
    auto *obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    auto *filter = w->findChild<QLineEdit *>(QStringLiteral("lE_ObiektyFilter"));
    QVERIFY(filter && filter->isVisible());
    QCOMPARE(obiekty->model()->rowCount(), 4);

    QTest::keyClicks(filter, QStringLiteral("SZY"));
    QCOMPARE(obiekty->model()->rowCount(), 2);
    QCOMPARE(obiekty->model()->index(1, 0).data().toString(), QStringLiteral("szyna B"));
    // A row found this way leads to its own object.
    QCOMPARE(w->ObjectIdAt(obiekty->model()->index(1, 0)), qint64(3));
    QTest::keyClick(filter, Qt::Key_Escape);
    QCOMPARE(filter->text(), QString());
    QCOMPARE(obiekty->model()->rowCount(), 4);

    // Two objects called "Trafo" are told apart by their ids; a single name is shown as it is.
    // Tool tips are escaped rich text; what they show is the name itself.
    QCOMPARE(QTextDocumentFragment::fromHtml(obiekty->model()->index(0, 0).data(Qt::ToolTipRole).toString()).toPlainText(),
             QStringLiteral("Szyna A"));
    QVERIFY(obiekty->model()->index(1, 0).data(Qt::ToolTipRole).toString().contains(QLatin1String("2")));
    QVERIFY(obiekty->model()->index(3, 0).data(Qt::ToolTipRole).toString().contains(QLatin1String("4")));
    // Sorted by name from the header, the filter still applies.
    obiekty->sortByColumn(0, Qt::AscendingOrder);
    QTest::keyClicks(filter, QStringLiteral("a"));
    QCOMPARE(obiekty->model()->rowCount(), 4);
    QCOMPARE(obiekty->model()->index(0, 0).data().toString(), QStringLiteral("Szyna A"));
    QCOMPARE(obiekty->model()->index(1, 0).data().toString(), QStringLiteral("szyna B"));
}

void TestDesktop::qtTextsInInterfaceLanguage_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("Polish") << false << QStringLiteral("Anuluj");
    QTest::newRow("English") << true << QStringLiteral("Cancel");
}

void TestDesktop::qtTextsInInterfaceLanguage()
{
    QFETCH(bool, english);
    QFETCH(QString, cancel);
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_pl.qm")))
        QSKIP("Qt's Polish translation is not installed");
    QVERIFY(appsupport::WriteIni(appsupport::EnglishIniLines() + QStringLiteral("[Program]\nAskIfAppClose=false\n")));
    std::unique_ptr<MainWindow> w = ShownWindow();
    w->findChild<QAction *>(QLatin1String(english ? "actionAngieski" : "actionPolski"))->trigger();

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), cancel);
    // Each language is offered under its own name.
    QCOMPARE(w->findChild<QAction *>(QStringLiteral("actionPolski"))->text().remove(QLatin1Char('&')),
             QStringLiteral("Polski"));
    // Switching back leaves no Polish button behind.
    w->findChild<QAction *>(QLatin1String(english ? "actionPolski" : "actionAngieski"))->trigger();
    QDialogButtonBox again(QDialogButtonBox::Cancel);
    QVERIFY(again.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')) != cancel);
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
