// The settings file beside the program: what a start reads from it, what an
// accepted close writes back, and what the program must leave alone.

#include "app/mainwindow.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/tracecapture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using appsupport::IniPath;

namespace {

QMenu *ToolsMenu(MainWindow *window)
{
    return window->findChild<QMenu *>(QStringLiteral("menuNarz_dzia"));
}

bool Checked(MainWindow *window, const char *action)
{
    return window->findChild<QAction *>(QLatin1String(action))->isChecked();
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every key of the file as "Group/key=value", sorted, read independently of the program.
QStringList AllKeys()
{
    QSettings settings(IniPath(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    QStringList keys;
    for (const QString &key : settings.allKeys())
        keys << key + QLatin1Char('=') + settings.value(key).toString();
    keys.sort();
    return keys;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultsWithoutFile();
    void firstAcceptedCloseWritesThreeKeys();
    void refusedCloseWritesNothing();
    void handEditedKeysSurvive();
    void languageIndex_data();
    void languageIndex();
    void translationEntries_data();
    void translationEntries();
    void toolsMenu_data();
    void toolsMenu();

private:
    QTemporaryDir dir;
};

void TestSettings::initTestCase()
{
    QVERIFY(dir.isValid());
    // The close road hides the last window; the test run must go on.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSettings::init()
{
    QFile::remove(IniPath());
}

void TestSettings::cleanup()
{
    QFile::remove(IniPath());
}

void TestSettings::defaultsWithoutFile()
{
    std::unique_ptr<MainWindow> window;
    QStringList trace;
    {
        testsupport::TTraceCapture capture;
        window = appsupport::NewWindow();
        trace = capture.lines();
    }
    // What the start read, as its trace gives it (the save folder's default
    // comes back from the first accepted close).
    QStringList read{" qsLastOpenedPath   = \" \"", "qsZYM_DataBasePath  = \"//192.168.4.1/zym_wyniki/zym_5.db\"",
                     "   qsZYM_NetAdress  = \"192.168.4.1\"", "      idefaultLang  = 0"};
    for (int i = 0; i < 5; ++i)
        read << QStringLiteral("Lang  %1   \"NONE\"").arg(i);
    for (const QString &line : read)
        QVERIFY2(trace.contains(line), qPrintable(line));
    QVERIFY(!ToolsMenu(window.get())->menuAction()->isVisible());
    QVERIFY(Checked(window.get(), "actionPolski"));
    QVERIFY(!Checked(window.get(), "actionAngieski"));
    QCOMPARE(window->findChild<QMenu *>(QStringLiteral("menuPlik"))->title().remove(QLatin1Char('&')), QStringLiteral("Plik"));
    // Reading creates nothing.
    QVERIFY(!QFile::exists(IniPath()));
    // Closing asks first; refused, the window stays and writes nothing.
    window->show();
    QVERIFY(!appsupport::CloseWindow(window.get(), QStringLiteral("NIE")));
    QVERIFY(window->isVisible());
    QVERIFY(!QFile::exists(IniPath()));
}

void TestSettings::firstAcceptedCloseWritesThreeKeys()
{
    auto window = appsupport::NewWindow();
    window->show();
    QVERIFY(appsupport::CloseWindow(window.get(), QStringLiteral("TAK")));

    QVERIFY(QFile::exists(IniPath()));
    QSettings settings(IniPath(), QSettings::IniFormat);
    QCOMPARE(settings.childGroups(), (QStringList{"Language", "Program"}));
    // The single-space folders must come back as a space, not as an empty string.
    QCOMPARE(AllKeys(), (QStringList{"Language/default=0", "Program/LastOpenPath= ",
                                     "Program/LastSaveCSVPath= "}));
}

void TestSettings::refusedCloseWritesNothing()
{
    const QString ini = QStringLiteral("[Program]\nLastOpenPath=/somewhere/\n\n[Language]\ndefault=0\n");
    QVERIFY(appsupport::WriteIni(ini));
    const QByteArray before = FileBytes(IniPath());

    auto window = appsupport::NewWindow();
    window->show();
    window->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
    QVERIFY(!appsupport::CloseWindow(window.get(), QStringLiteral("NIE")));
    QVERIFY(window->isVisible());
    QCOMPARE(FileBytes(IniPath()), before);

    // The next accepted close writes what the refused one held back.
    QVERIFY(appsupport::CloseWindow(window.get(), QStringLiteral("TAK")));
    QVERIFY(AllKeys().contains(QStringLiteral("Language/default=1")));
}

void TestSettings::handEditedKeysSurvive()
{
    // Folder names with Polish letters, as a technician types them in Notepad (UTF-8).
    const QString folder = dir.path() + QString::fromUtf8("/Pomiary Łódź/");
    const QString ini = QStringLiteral(
                            "[Program]\n"
                            "LastOpenPath=%1\n"
                            "AskIfAppClose=false\n"
                            "MenuToolsEnable=true\n"
                            "\n"
                            "[ZYM]\n"
                            "ZYM_DataBasePath=%2/meter/zym_5.db\n"
                            "ZYM_NetAdress=127.0.0.1\n"
                            "\n"
                            "[Language]\n"
                            "PathToTransFolder=%2\n"
                            "1=zymreader_en.qm\n"
                            "3=de.qm\n"
                            "\n"
                            "[Serwis]\n"
                            "Notatka=kalibracja 2024\n")
                            .arg(folder, dir.path());
    QVERIFY(appsupport::WriteIni(ini));
    const QStringList handKeys{
        "Language/1=zymreader_en.qm", "Language/3=de.qm", "Language/PathToTransFolder=" + dir.path(),
        "Program/AskIfAppClose=false", "Program/MenuToolsEnable=true", "Serwis/Notatka=kalibracja 2024",
        "ZYM/ZYM_DataBasePath=" + dir.path() + "/meter/zym_5.db", "ZYM/ZYM_NetAdress=127.0.0.1"};

    for (int run = 0; run < 3; ++run) {
        std::unique_ptr<MainWindow> window;
        QStringList trace;
        {
            testsupport::TTraceCapture capture;
            window = appsupport::NewWindow();
            trace = capture.lines();
        }
        const QStringList read{" qsLastOpenedPath   = \"" + folder + "\"",
                               "qsZYM_DataBasePath  = \"" + dir.path() + "/meter/zym_5.db\"",
                               "   qsZYM_NetAdress  = \"127.0.0.1\"",
                               "Lang  3   \"" + dir.path() + "/translations/de.qm\""};
        for (const QString &line : read)
            QVERIFY2(trace.contains(line), qPrintable(line));
        QVERIFY(ToolsMenu(window.get())->menuAction()->isVisible());
        window->show();
        // No question is asked, and the close is accepted and saved.
        testsupport::TMessageBoxWatch boxes(QStringLiteral("TAK"));
        QVERIFY(appsupport::CloseWindow(window.get(), QString()));
        QCOMPARE(boxes.Count(), 0);

        const QStringList keys = AllKeys();
        for (const QString &key : handKeys)
            QVERIFY2(keys.contains(key), qPrintable(QStringLiteral("run %1 lost %2").arg(run).arg(key)));
        QVERIFY(keys.contains("Program/LastOpenPath=" + folder));
        QVERIFY(keys.contains(QStringLiteral("Program/LastSaveCSVPath= ")));
        QCOMPARE(keys.size(), handKeys.size() + 3);
    }
}

void TestSettings::languageIndex_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("english"); // "Angieski" ticked after the start
    QTest::addColumn<int>("saved");    // written back by the next accepted close

    QTest::newRow("0") << "0" << false << 0;
    QTest::newRow("1") << "1" << true << 1;
    QTest::newRow("2 means English") << "2" << true << 1;
    QTest::newRow("4 means English") << "4" << true << 1;
    QTest::newRow("5 out of range") << "5" << false << 0;
    QTest::newRow("7 out of range") << "7" << false << 0;
    QTest::newRow("-1 out of range") << "-1" << false << 0;
    QTest::newRow("not a number") << "angielski" << false << 0;
}

void TestSettings::languageIndex()
{
    QFETCH(QString, stored);
    QFETCH(bool, english);
    QFETCH(int, saved);

    QVERIFY(appsupport::WriteIni("[Language]\ndefault=" + stored + "\n"));
    auto window = appsupport::NewWindow();
    QCOMPARE(Checked(window.get(), "actionAngieski"), english);
    QCOMPARE(Checked(window.get(), "actionPolski"), !english);

    window->show();
    QVERIFY(appsupport::CloseWindow(window.get(), QStringLiteral("TAK")));
    QSettings settings(IniPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Language/default")).toString(), QString::number(saved));
}

void TestSettings::translationEntries_data()
{
    QTest::addColumn<QString>("languageLines"); // the [Language] group, without "default"
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");      // "@" stands for the program's folder

    QTest::newRow("absent") << "" << 1 << "NONE";
    QTest::newRow("NONE") << "1=NONE\n" << 1 << "NONE";
    QTest::newRow("none is a file name") << "1=none\n" << 1 << "@/translations/none";
    QTest::newRow("beside the program") << "1=zymreader_en.qm\n" << 1 << "@/translations/zymreader_en.qm";
    QTest::newRow("own folder") << "PathToTransFolder=/opt/zym\n1=en.qm\n" << 1 << "/opt/zym/translations/en.qm";
    QTest::newRow("index 4") << "4=cs.qm\n" << 4 << "@/translations/cs.qm";
}

void TestSettings::translationEntries()
{
    QFETCH(QString, languageLines);
    QFETCH(int, index);
    QFETCH(QString, expected);
    expected.replace(QLatin1Char('@'), QCoreApplication::applicationDirPath());

    QVERIFY(appsupport::WriteIni("[Language]\n" + languageLines));
    // One trace line per entry, as the debug stream writes its items.
    const QString trace = QStringLiteral("Lang  %1   \"%2\"").arg(index).arg(expected);
    QTest::ignoreMessage(QtDebugMsg, qPrintable(trace));
    auto window = appsupport::NewWindow();
}

void TestSettings::toolsMenu_data()
{
    QTest::addColumn<QString>("programLines");
    QTest::addColumn<bool>("visible");

    QTest::newRow("absent") << "" << false;
    QTest::newRow("true") << "MenuToolsEnable=true\n" << true;
    QTest::newRow("false") << "MenuToolsEnable=false\n" << false;
}

void TestSettings::toolsMenu()
{
    QFETCH(QString, programLines);
    QFETCH(bool, visible);

    QVERIFY(appsupport::WriteIni("[Program]\n" + programLines));
    auto window = appsupport::NewWindow();
    QCOMPARE(ToolsMenu(window.get())->menuAction()->isVisible(), visible);
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
