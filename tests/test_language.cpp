// "Polski" and "Angieski" with the English translation the build compiles:
// texts, check marks, the saved choice and the comment editor.

#include "app/mainwindow.h"
#include "support/appsupport.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

using appsupport::IniPath;

namespace {

QAction *Action(MainWindow *window, const char *name)
{
    return window->findChild<QAction *>(QLatin1String(name));
}

QString MenuTitle(MainWindow *window, const char *name)
{
    return window->findChild<QMenu *>(QLatin1String(name))->title().remove(QLatin1Char('&'));
}

// The language the window shows, told by two of its texts.
QString ShownLanguage(MainWindow *window)
{
    const QString file = MenuTitle(window, "menuPlik");
    const QString options = MenuTitle(window, "menuOpcje");
    if (file == QLatin1String("Plik") && options == QLatin1String("Opcje"))
        return QStringLiteral("pl");
    if (file == QLatin1String("File") && options == QLatin1String("Options"))
        return QStringLiteral("en");
    return file + QLatin1Char('/') + options;
}

// Runs `statements` on the SQLite file `path` through a connection of the
// test's own; the first column of the last statement's first row, if any.
QVariant Sql(const QString &path, const QStringList &statements)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test_language"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            for (const QString &statement : statements) {
                if (!q.exec(statement))
                    qWarning("%s", qPrintable(statement));
            }
            if (q.next())
                value = q.value(0);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test_language"));
    return value;
}

void ClickRow(QTableView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 1 % view->model()->columnCount());
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
}

// What a message box built now would say.
QString CloseQuestion()
{
    return QCoreApplication::translate("MainWindow", "Zakończyć program?");
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void switching_data();
    void switching();
    void startsInSavedLanguage_data();
    void startsInSavedLanguage();
    void laterQuestionsUseNewLanguage();
    void switchShowsDatabaseCommentWithoutQuestion();

private:
    QTemporaryDir dir;
};

void TestLanguage::initTestCase()
{
    QVERIFY(dir.isValid());
    QApplication::setQuitOnLastWindowClosed(false);
    QVERIFY2(QFile::exists(appsupport::BuildRoot() + "/translations/zymreader_en.qm"),
             "the build did not compile translations/zymreader_en.qm");
}

void TestLanguage::init()
{
    QFile::remove(IniPath());
}

void TestLanguage::cleanup()
{
    QFile::remove(IniPath());
}

void TestLanguage::switching_data()
{
    QTest::addColumn<QString>("presses"); // P = "Polski", A = "Angieski", in order

    QTest::newRow("English") << "A";
    QTest::newRow("English twice") << "AA";
    QTest::newRow("Polish again") << "P";
    QTest::newRow("English and back") << "AP";
    QTest::newRow("back and forth") << "APAPA";
    QTest::newRow("Polish twice after English") << "APP";
}

void TestLanguage::switching()
{
    QFETCH(QString, presses);

    QVERIFY(appsupport::WriteIni(appsupport::EnglishIniLines()));
    auto window = appsupport::NewWindow();
    QCOMPARE(ShownLanguage(window.get()), QStringLiteral("pl"));

    for (const QChar press : presses) {
        const bool english = press == QLatin1Char('A');
        // trigger() toggles a checkable action first, exactly as a click
        // does: choosing the ticked language unticks it for a moment.
        Action(window.get(), english ? "actionAngieski" : "actionPolski")->trigger();

        QCOMPARE(Action(window.get(), "actionAngieski")->isChecked(), english);
        QCOMPARE(Action(window.get(), "actionPolski")->isChecked(), !english);
        QCOMPARE(appsupport::SavedSetting(window.get(), "Language/default"), QString(english ? "1" : "0"));
        QCOMPARE(ShownLanguage(window.get()), QString(english ? "en" : "pl"));
        QCOMPARE(Action(window.get(), "actionAngieski")->text().remove(QLatin1Char('&')),
                 QString(english ? "English" : "Angieski"));
        // Polish means no translator at all, not a second one left installed.
        QCOMPARE(CloseQuestion(), QString::fromUtf8(english ? "Exit the program?" : "Zakończyć program?"));
    }
}

void TestLanguage::startsInSavedLanguage_data()
{
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("englishTicked");

    const QString english = appsupport::EnglishIniLines();
    QTest::newRow("Polish") << english + "default=0\n" << "pl" << false;
    QTest::newRow("English") << english + "default=1\n" << "en" << true;
    QTest::newRow("index 3 is English") << english + "default=3\n" << "en" << true;
    // Without a usable file English can only be ticked, not shown.
    QTest::newRow("entry NONE") << "[Language]\ndefault=1\n1=NONE\n" << "pl" << true;
    QTest::newRow("missing file") << QString(english).replace("zymreader_en.qm", "zymreader_xx.qm") + "default=1\n"
                                  << "pl" << true;
    QTest::newRow("none in lower case") << "[Language]\ndefault=1\n1=none\n" << "pl" << true;
}

void TestLanguage::startsInSavedLanguage()
{
    QFETCH(QString, ini);
    QFETCH(QString, shown);
    QFETCH(bool, englishTicked);

    QVERIFY(appsupport::WriteIni(ini));
    auto window = appsupport::NewWindow();
    QCOMPARE(ShownLanguage(window.get()), shown);
    QCOMPARE(Action(window.get(), "actionAngieski")->isChecked(), englishTicked);
    QCOMPARE(Action(window.get(), "actionPolski")->isChecked(), !englishTicked);
    QCOMPARE(CloseQuestion(), QString::fromUtf8(shown == "en" ? "Exit the program?" : "Zakończyć program?"));
}

void TestLanguage::laterQuestionsUseNewLanguage()
{
    QVERIFY(appsupport::WriteIni(appsupport::EnglishIniLines()));
    auto window = appsupport::NewWindow();
    window->show();
    Action(window.get(), "actionAngieski")->trigger();

    QString text, title;
    testsupport::AnswerMessageBox(QStringLiteral("No"), &text, &title);
    QVERIFY(!window->close());
    QCOMPARE(title, QStringLiteral("Question"));
    QCOMPARE(text, QStringLiteral("Exit the program?"));

    testsupport::AnswerMessageBox(QStringLiteral("Yes"));
    QVERIFY(window->close());
    // The choice is kept for the next start.
    QSettings settings(IniPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Language/default")).toInt(), 1);
}

void TestLanguage::switchShowsDatabaseCommentWithoutQuestion()
{
    const QString db = dir.filePath(QStringLiteral("zym_5.db"));
    Sql(db, {"CREATE TABLE obiekt (obiekt_id INTEGER PRIMARY KEY, Obiekt_nazwa TEXT)",
             "CREATE TABLE pomiar (pomiar_id INTEGER PRIMARY KEY, pomiar_czas INTEGER, pomiar_plik_dane TEXT, "
             "pomiar_rezystancja REAL, pomiar_metoda INTEGER, pomiar_komentarz TEXT, pomiar_status INTEGER, "
             "pomiar_vref REAL, pomiar_temp_core REAL, pomiar_obiekt_id INTEGER)",
             "INSERT INTO obiekt VALUES (1, 'Transformator T1')",
             "INSERT INTO pomiar VALUES (1, 1600000000, 'p1.zym5', 0.2, 0, 'uzwojenie A', 0, 2.5, 30, 1)",
             "INSERT INTO pomiar VALUES (2, 1600000100, 'p2.zym5', 0.3, 0, 'uzwojenie B', 0, 2.5, 30, 1)"});
    QVERIFY(testsupport::WriteRecordBytes(dir.filePath("p1.zym5"), *testsupport::PulseRecord(5.0, 0.2)));
    QVERIFY(testsupport::WriteRecordBytes(dir.filePath("p2.zym5"), *testsupport::PulseRecord(4.0, 0.3)));

    QVERIFY(appsupport::WriteIni(appsupport::EnglishIniLines()));
    auto window = appsupport::NewWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *editor = window->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"));
    auto *obiekty = window->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    auto *pomiary = window->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));

    testsupport::AnswerFileDialog(db);
    Action(window.get(), "actionOpenDataBase")->trigger();
    QVERIFY(obiekty->model() && obiekty->model()->rowCount() == 1);
    ClickRow(obiekty, 0);
    QVERIFY(pomiary->model() && pomiary->model()->rowCount() == 2);
    ClickRow(pomiary, 0);
    QCOMPARE(editor->toPlainText(), QStringLiteral("uzwojenie A"));

    Action(window.get(), "actionAngieski")->trigger();
    // Shown again from its row, in the new language.
    QCOMPARE(editor->toPlainText(), QStringLiteral("uzwojenie A"));

    // Filling it again is not the user's edit: the next measurement comes
    // without the save question, and the stored comment is left as it was.
    bool asked = false;
    testsupport::WhenModal([&asked](QWidget *w) {
        asked = true;
        if (auto *d = qobject_cast<QDialog *>(w))
            d->reject();
    }, 300);
    ClickRow(pomiary, 1);
    QTest::qWait(400);
    QVERIFY(!asked);
    QCOMPARE(window->pomiarId(), 2);
    QCOMPARE(editor->toPlainText(), QStringLiteral("uzwojenie B"));
    QCOMPARE(Sql(db, {"SELECT pomiar_komentarz FROM pomiar WHERE pomiar_id=1"}).toString(),
             QStringLiteral("uzwojenie A"));
}

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
