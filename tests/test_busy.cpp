// The database locked by another program, as the meter locks it while it
// writes: every road that reads waits a short while, then says that the
// database is busy, and never shows an empty result as if it were the data.

#include "app/mainwindow.h"
#include "database/tdatabase.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace testsupport;

namespace {

// A few waits of one statement, room for a loaded machine: eight statements
// waiting in turn, as one measurement's row was read, take far longer.
constexpr qint64 kMostMs = 3 * TDataBase::kBusyTimeoutMs + 1500;

// Another connection holding the file under an exclusive lock while it lives.
class TLock
{
public:
    explicit TLock(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(path);
        locked = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~TLock()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(kName, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }
    bool locked = false;

private:
    const QString kName = QStringLiteral("locker");
};

} // namespace

class TestBusy : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void road_data();
    void road();

private:
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<MainWindow> w;
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;

    QAction *Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }
    QString Label(const char *name) const { return w->findChild<QLabel *>(QLatin1String(name))->text(); }
};

void TestBusy::init()
{
    Q_INIT_RESOURCE(resources);
    path = dir.filePath(QStringLiteral("zym_5.db"));
    TTestPomiar p(1, 1, 0.115);
    p.komentarz = QStringLiteral("styk A");
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Uziom")}, {p}, true), QString());
    QVERIFY(WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_1.zym5")), *PulseRecord(2.0, 0.1)));
    WriteLoopbackIni(dir.filePath(QStringLiteral("nie_ma_miernika.db")), dir.path());
    w.reset(new MainWindow);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    AnswerFileDialog(path);
    Action("actionOpenDataBase")->trigger();
    obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    QCOMPARE(obiekty->model()->rowCount(), 1);
}

void TestBusy::cleanup()
{
    w.reset();
    RemoveIni();
}

void TestBusy::road_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("measurement click") << "pomiar";
    QTest::newRow("object click") << "obiekt";
    QTest::newRow("PDF report") << "pdf";
    QTest::newRow("object history") << "historia";
}

void TestBusy::road()
{
    QFETCH(QString, road);
    ClickCell(obiekty, 0, 0);
    QCOMPARE(pomiary->model()->rowCount(), 1);
    if (road == QLatin1String("pdf")) {
        ClickCell(pomiary, 0, 1);
        QVERIFY(Label("label_R").size() > 2); // a value after "R="
    }
    const QString pdf = dir.filePath(QStringLiteral("raport.pdf"));

    TMessageBoxWatch boxes(QStringLiteral("OK"));
    QElapsedTimer clock;
    {
        TLock lock(path);
        QVERIFY(lock.locked);
        clock.start();
        if (road == QLatin1String("pomiar")) {
            ClickCell(pomiary, 0, 1);
        } else if (road == QLatin1String("obiekt")) {
            ClickCell(obiekty, 0, 0);
        } else if (road == QLatin1String("pdf")) {
            AnswerFileDialog(pdf);
            Action("actionExport_wyniku_do_CSV")->trigger();
        } else {
            Action("actionHistoria")->trigger();
        }
        QTRY_COMPARE(boxes.Count(), 1);
    }
    const qint64 waited = clock.elapsed();
    QVERIFY2(waited < kMostMs, qPrintable(QString::number(waited)));
    QVERIFY2(boxes.texts.first().contains(TDataBase::BusyText()), qPrintable(boxes.texts.first()));

    // Nothing that looks like data was shown for the locked read.
    if (road == QLatin1String("pomiar"))
        QCOMPARE(Label("label_R"), QStringLiteral("R="));
    if (road == QLatin1String("pdf"))
        QVERIFY(!QFile::exists(pdf));
    if (road == QLatin1String("historia")) {
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY2(top == w.get() || !top->isVisible() || !top->inherits("DialogHistoria"), "history shown");
    }

    // Once the lock is gone the same road reads the data.
    if (road == QLatin1String("pomiar")) {
        ClickCell(pomiary, 0, 1);
        QVERIFY(Label("label_R").size() > 2); // a value after "R="
    } else if (road == QLatin1String("obiekt")) {
        ClickCell(obiekty, 0, 0);
        QCOMPARE(pomiary->model()->rowCount(), 1);
    }
    QCOMPARE(boxes.Count(), 1);
}

QTEST_MAIN(TestBusy)
#include "test_busy.moc"
