// The register's window on a real archive of two meters that share a name:
// the tree, the due and watch lists as shown, renaming a point through its
// dialog, and a point's history with its projected crossing on the chart.
// With ZYM_SHOTS set to a folder, the windows are also saved there as
// pictures at 1024×768 and maximised, in Polish and English.

#include "archive/tarchive.h"
#include "asset/assetstore.h"
#include "asset/ui/dialogrejestr.h"
#include "support/dbsupport.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeWidget>
#include <QtTest>

#include <qcustomplot.h>

using namespace testsupport;

namespace {

qint64 Day(int n)
{
    return AssetDayStart(QDate::currentDate().addDays(n)) + 10 * 3600;
}

// Types `text` into the next input dialog and accepts it.
void AnswerInput(const QString &text)
{
    QTimer::singleShot(50, [text]() {
        auto *d = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!d)
            return AnswerInput(text);
        d->setTextValue(text);
        d->accept();
    });
}

// Maximised, also where no window manager does it (a bare X server).
void Maximise(QWidget *w)
{
    w->showMaximized();
    w->setGeometry(w->screen()->availableGeometry());
}

void Shot(QWidget *w, const QString &name)
{
    const QString folder = qEnvironmentVariable("ZYM_SHOTS");
    if (folder.isEmpty())
        return;
    QTest::qWait(100);
    w->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class TestAssetWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void journey();

private:
    QTemporaryDir dir;
    QString archivePath, p1, p2;
};

void TestAssetWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    // Meter A measures a drifting 10 mΩ pole every 60 days, meter B a
    // 20 mΩ one under the same name; the last tests some 400 days ago.
    QVERIFY(QDir().mkpath(dir.filePath("a")) && QDir().mkpath(dir.filePath("b")));
    QVector<TTestPomiar> a, b;
    for (int i = 0; i < 8; ++i) {
        TTestPomiar pa(i + 1, 1, (10 + 0.1 * i + (i % 2) * 0.02) * 1e-3);
        pa.czas = qint32(Day(-900 + 60 * i));
        a.append(pa);
        TTestPomiar pb(i + 1, 1, 20e-3);
        pb.czas = qint32(Day(-870 + 60 * i));
        b.append(pb);
    }
    QCOMPARE(MakeDataBase(dir.filePath("a/zym_5.db"), {"Q5 L1"}, a, true), QString());
    QCOMPARE(MakeDataBase(dir.filePath("b/zym_5.db"), {"Q5 L1"}, b, true), QString());
    QCOMPARE(ExecSql(dir.filePath("a/zym_5.db"), "UPDATE ZYM SET serial_zym = 'ZYM5-00011'"), QString());
    QCOMPARE(ExecSql(dir.filePath("b/zym_5.db"), "UPDATE ZYM SET serial_zym = 'ZYM5-00012'"), QString());
    archivePath = dir.filePath("archiwum.db");
    TArchive archive;
    QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(dir.filePath("a/zym_5.db")), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(dir.filePath("b/zym_5.db")), int(ArchiveOk));

    TAssetRegister reg;
    QString parent;
    QStringList uuids;
    const QVector<QPair<int, QString>> levels = {{AssetKlient, "Energa Operator"},
                                                 {AssetLokalizacja, "GPZ Wola"},
                                                 {AssetPole, "Pole 3"},
                                                 {AssetAparat, "Wyłącznik Q5"}};
    for (const auto &level : levels) {
        TAssetNode n;
        n.iTyp = level.first;
        n.qsNazwa = level.second;
        n.qsRodzic = parent;
        n.iInterwalMies = level.first == AssetLokalizacja ? 12 : 0;
        if (level.first == AssetAparat)
            n.tabliczka = QJsonObject{{"producent", "ABB"}, {"typ", "HD4"}, {"rok", "1998"}};
        QCOMPARE(SaveNode(&archive, reg, &n), int(ArchiveOk));
        QVERIFY(ReadRegister(&archive, &reg));
        parent = n.qsUuid;
    }
    for (const QString &name : {QStringLiteral("L1"), QStringLiteral("L1 (drugi miernik)")}) {
        TAssetNode n;
        n.qsNazwa = name;
        n.qsRodzic = parent;
        n.bLimity = true;
        n.limity.dMax = 11e-3;
        QCOMPARE(SaveNode(&archive, reg, &n), int(ArchiveOk));
        QVERIFY(ReadRegister(&archive, &reg));
        uuids << n.qsUuid;
    }
    p1 = uuids[0];
    p2 = uuids[1];
    TAssetRule ra, rb;
    ra.qsNazwa = rb.qsNazwa = "Q5 L1";
    ra.qsMiernik = "ZYM5-00011";
    rb.qsMiernik = "ZYM5-00012";
    ra.qsPunkt = p1;
    rb.qsPunkt = p2;
    QCOMPARE(SaveRule(&archive, &ra), int(ArchiveOk));
    QCOMPARE(SaveRule(&archive, &rb), int(ArchiveOk));
}

void TestAssetWindow::journey()
{
    for (const QString &lang : {QStringLiteral("pl"), QStringLiteral("en")}) {
        QTranslator translator;
        if (lang == QLatin1String("en")) {
            QVERIFY(translator.load(qEnvironmentVariable("ZYM_BINARY_DIR") + "/translations/zymreader_en.qm"));
            QApplication::installTranslator(&translator);
        }
        DialogRejestr window(archivePath, "test");
        window.resize(1024, 768);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tree = window.findChild<QTreeWidget *>("treeRejestr");
        auto *due = window.findChild<QTableWidget *>("tableDoWykonania");
        auto *watch = window.findChild<QTableWidget *>("tableDoObserwacji");
        QVERIFY(tree && due && watch);
        QCOMPARE(tree->topLevelItemCount(), 1);
        QTreeWidgetItem *breaker = tree->topLevelItem(0)->child(0)->child(0)->child(0);
        QCOMPARE(breaker->childCount(), 2);
        QCOMPARE(breaker->child(0)->text(3), QStringLiteral("Q5 L1 @ZYM5-00011"));

        // Both poles are overdue (last tests 480 and 450 days ago), the first one listed first.
        QCOMPARE(due->rowCount(), 2);
        QVERIFY2(due->item(0, 1)->text().contains(" › L1"), qPrintable(due->item(0, 0)->text() + "|" + due->item(0, 1)->text() + "|" + due->item(0, 2)->text()));
        QCOMPARE(due->item(0, 5)->text(), QDate::currentDate().addDays(-900 + 420).addMonths(12).toString("yyyy-MM-dd"));
        // The drifting pole heads for 11 mΩ; the other stays put.
        QCOMPARE(watch->rowCount(), 2);
        QVERIFY(watch->item(0, 0)->text().contains(" › L1"));
        QVERIFY(!watch->item(0, 1)->text().isEmpty());
        QVERIFY(watch->item(1, 1)->text().isEmpty());

        window.Tabs()->setCurrentIndex(0);
        Shot(&window, "rejestr_drzewo_1024_" + lang);
        window.Tabs()->setCurrentIndex(1);
        Shot(&window, "rejestr_do_wykonania_1024_" + lang);
        window.Tabs()->setCurrentIndex(2);
        Shot(&window, "rejestr_do_obserwacji_1024_" + lang);
        QPointer<QDialog> history = window.OpenHistoria(p1);
        QVERIFY(history);
        auto *plot = history->findChild<QCustomPlot *>("plotPunkt");
        QVERIFY(plot);
        // The history, the trend and the crossing's marker.
        QVERIFY(plot->graphCount() >= 4);
        QCOMPARE(plot->graph(0)->dataCount(), 8);
        history->resize(1024, 768);
        Shot(history, "rejestr_historia_1024_" + lang);
        Maximise(history);
        Shot(history, "rejestr_historia_max_" + lang);
        history->close();
        Maximise(&window);
        window.Tabs()->setCurrentIndex(1);
        Shot(&window, "rejestr_do_wykonania_max_" + lang);
        window.Tabs()->setCurrentIndex(2);
        Shot(&window, "rejestr_do_obserwacji_max_" + lang);
        window.Tabs()->setCurrentIndex(0);
        Shot(&window, "rejestr_drzewo_max_" + lang);

        if (lang == QLatin1String("pl")) {
            // Renaming the pole through its dialog: a new version, the history kept.
            tree->setCurrentItem(breaker->child(0));
            AnswerInput("L1 (biegun A)");
            QPushButton *rename = nullptr;
            for (QPushButton *b : window.findChildren<QPushButton *>())
                if (b->text() == QStringLiteral("Zmień nazwę…"))
                    rename = b;
            QVERIFY(rename);
            rename->click();
            TArchive archive;
            QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
            TAssetRegister reg;
            QVERIFY(ReadRegister(&archive, &reg));
            QCOMPARE(reg.Node(p1)->qsNazwa, QStringLiteral("L1 (biegun A)"));
            QVector<TAssetHistoriaRow> rows;
            QVERIFY(ReadPunktHistoria(&archive, reg, p1, &rows));
            QCOMPARE(rows.size(), 8);
            QCOMPARE(tree->currentItem()->text(0), QStringLiteral("L1 (biegun A)"));
        }
        QApplication::removeTranslator(&translator);
    }
}

QTEST_MAIN(TestAssetWindow)
#include "test_asset_window.moc"
