// The fit of R and L in the result area, driven for real: hidden with the
// default settings and no archive, shown beside the meter's R for an
// archived measurement, fitted once however often it is shown, and its
// model drawn over the measured voltage on the chart's toggle.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "simulator/zymsim.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "tools/fitshown.h"
#include "tools/ui/fitcontrol.h"

#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include <algorithm>
#include <memory>

using namespace testsupport;

class TestFitWindow : public QObject
{
    Q_OBJECT

private slots:
    void fitBesideR();

private:
    static bool ClickPomiar(MainWindow *w, int id)
    {
        auto *obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
        ClickCell(obiekty, 0, 0);
        auto *pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
        const int row = RowOfId(pomiary, id);
        if (row < 0)
            return false;
        ClickCell(pomiary, row, 1);
        return w->pomiarId() == id;
    }
};

void TestFitWindow::fitBesideR()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString db = tmp.filePath(QStringLiteral("zym_5.db"));
    const QString archivePath = tmp.filePath(QStringLiteral("archiwum.db"));
    // Two measurements with a record of 10 A, one without any.
    QCOMPARE(MakeDataBase(db, {QStringLiteral("Q1")},
                          {TTestPomiar(1, 1, 0.125), TTestPomiar(2, 1, 0.25), TTestPomiar(3, 1, 0.5)}, true),
             QString());
    // Simulated measurements: their noise gives the uncertainties digits.
    TSimOptions options;
    options.iObiekty = 4;
    options.iPomiary = 8;
    QVector<TSimPomiar> plan = SimPlan(options);
    plan.erase(std::remove_if(plan.begin(), plan.end(), [](const TSimPomiar &p) { return p.status == -1; }),
               plan.end());
    std::unique_ptr<TDataPomiar> rec1(new TDataPomiar), rec2(new TDataPomiar);
    SimMakeRecord(plan.at(0), options.seed, rec1.get());
    SimMakeRecord(plan.at(1), options.seed, rec2.get());
    QVERIFY(FitRL(rec1.get()).bValid && FitRL(rec2.get()).bValid);
    QVERIFY(WriteRecordBytes(tmp.filePath(QStringLiteral("pomiar_1.zym5")), *rec1));
    QVERIFY(WriteRecordBytes(tmp.filePath(QStringLiteral("pomiar_2.zym5")), *rec2));
    {
        TArchive archive;
        QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
        QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    }
    QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                                "[Archiwum]\nPath=%1\n")
                                         .arg(archivePath)
                                     + appsupport::EnglishIniLines()));
    std::unique_ptr<MainWindow> w = appsupport::NewWindow();
    w->resize(1024, 768);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto *fitR = w->findChild<QLabel *>(QStringLiteral("label_FitR"));
    auto *fitL = w->findChild<QLabel *>(QStringLiteral("label_FitL"));
    QVERIFY(fitR && fitL);
    TFitControl *view = nullptr;
    for (QObject *child : w->children()) {
        if (auto *v = dynamic_cast<TFitControl *>(child))
            view = v;
    }
    QVERIFY(view);

    // Defaults: a data file opened without the archive shows what it always did.
    AnswerFileDialog(tmp.filePath(QStringLiteral("pomiar_1.zym5")));
    w->findChild<QAction *>(QStringLiteral("actionOpenPomiar"))->trigger();
    QVERIFY(w->findChild<QLabel *>(QStringLiteral("label_R"))->isVisible());
    QVERIFY(!fitR->isVisible() && !fitL->isVisible());
    QCOMPARE(view->Cache().FitsRun(), 0);

    // The archive: beside the meter's R, the fit's numbers in the formatter's words.
    QVERIFY(w->OpenArchiwum());
    QVERIFY(ClickPomiar(w.get(), 1));
    QVERIFY(fitR->isVisible() && fitL->isVisible());
    const TFitTexts texts = FitTexts(FitRL(rec1.get()));
    QCOMPARE(fitR->text(), texts.r);
    QCOMPARE(fitL->text(), texts.l);
    QVERIFY2(fitR->text().contains(QString::fromUtf8(" mΩ ± ")), qPrintable(fitR->text()));
    auto *labelR = w->findChild<QLabel *>(QStringLiteral("label_R"));
    const int rEnd = labelR->x() + labelR->fontMetrics().horizontalAdvance(labelR->text());
    QVERIFY(fitR->geometry().left() > rEnd && fitR->geometry().right() < fitR->parentWidget()->width());
    QVERIFY(!fitR->geometry().intersects(w->findChild<QLabel *>(QStringLiteral("label_obiekt"))->geometry()));
    QVERIFY(!fitL->geometry().intersects(w->findChild<QLabel *>(QStringLiteral("label_obiekt"))->geometry()));
    // Whole at 1024 × 768: no "…" in place of the uncertainty.
    QVERIFY2(fitR->fontMetrics().horizontalAdvance(fitR->text()) <= fitR->width(), qPrintable(fitR->text()));

    // The model on the chart's toggle: over the voltage, the two traces left as they were.
    auto *plot = w->findChild<QCustomPlot *>(QStringLiteral("plot"));
    QAction *model = view->ModelAction();
    QVERIFY(plot->actions().contains(model));
    auto curves = [plot]() {
        int n = 0;
        for (int i = 0; i < plot->plottableCount(); ++i)
            n += qobject_cast<QCPCurve *>(plot->plottable(i)) && plot->plottable(i)->interface1D()->dataCount() > 0;
        return n;
    };
    QCOMPARE(curves(), 0);
    model->trigger();
    QCOMPARE(curves(), 1);
    QCOMPARE(plot->graphCount(), 2);

    // A measurement without a record: no fit to show, no model.
    QVERIFY(ClickPomiar(w.get(), 3));
    QVERIFY(!fitR->isVisible());
    QCOMPARE(curves(), 0);
    // Back and forth: each record fitted once, the model drawn again.
    QVERIFY(ClickPomiar(w.get(), 2));
    QCOMPARE(fitR->text(), FitTexts(FitRL(rec2.get())).r);
    QCOMPARE(curves(), 1);
    QVERIFY(ClickPomiar(w.get(), 1));
    QVERIFY(ClickPomiar(w.get(), 2));
    QCOMPARE(fitR->text(), FitTexts(FitRL(rec2.get())).r);
    QCOMPARE(view->Cache().FitsRun(), 2);
    model->trigger();
    QCOMPARE(curves(), 0);

    // The other language, on the measurement shown.
    w->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
    QVERIFY2(fitR->text().startsWith(QStringLiteral("R (fit): ")), qPrintable(fitR->text()));
    QVERIFY(fitR->isVisible());

    // Pictures to look at (ZYM_SHOTS names a folder): both languages, the
    // smallest screen and the whole screen, the model drawn.
    const QString shots = QString::fromLocal8Bit(qgetenv("ZYM_SHOTS"));
    if (shots.isEmpty())
        return;
    model->trigger();
    for (const char *language : {"actionPolski", "actionAngieski"}) {
        w->findChild<QAction *>(QLatin1String(language))->trigger();
        for (const QSize &size : {QSize(1024, 768), w->screen()->availableGeometry().size()}) {
            w->resize(size);
            QTest::qWait(200);
            w->grab().save(QStringLiteral("%1/wynik_dopasowanie_%2_%3x%4.png")
                               .arg(shots, QLatin1String(language).mid(6))
                               .arg(size.width())
                               .arg(size.height()));
        }
    }
}

QTEST_MAIN(TestFitWindow)
#include "test_fit_window.moc"
