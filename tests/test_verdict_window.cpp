// The verdict windows driven for real on an archive file: the object's
// settings typed and saved as entries by the person named in the settings,
// the verdict line in the result area, a temperature and an override typed
// for the measurement, and the group view with one pole flagged.

#include "app/mainwindow.h"
#include "historia/ui/dialoghistoria.h"
#include "archive/tarchive.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "verdict/ui/werdyktwindows.h"
#include "verdict/verdictstore.h"

#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include <memory>

using namespace testsupport;

class TestVerdictWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void settingsLineAndGroup();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<MainWindow> w;
    QString qsArchive;
    const QStringList names{QStringLiteral("Q1 L1"), QStringLiteral("Q1 L2"), QStringLiteral("Q1 L3")};

    void Shot(QWidget *widget, const QString &name) const
    {
        const QString folder = QString::fromLocal8Bit(qgetenv("ZYM_SHOTS"));
        if (!folder.isEmpty() && widget)
            widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    QLineEdit *Edit(QWidget *window, int index) const { return window->findChildren<QLineEdit *>().at(index); }
    bool ShowL3();
};

void TestVerdictWindow::init()
{
    tmp.reset(new QTemporaryDir);
    QVERIFY(tmp->isValid());
    qsArchive = tmp->filePath(QStringLiteral("archiwum.db"));
    // Three poles of a breaker: 50, 60 and 76 µΩ.
    const QString db = tmp->filePath(QStringLiteral("zym_5.db"));
    QVector<TTestPomiar> pomiary;
    const double r[3] = {50e-6, 60e-6, 76e-6};
    for (int i = 0; i < 3; ++i) {
        pomiary << TTestPomiar(1 + i, 1 + i, r[i]);
        pomiary.last().czas = 1630000000 + i;
    }
    // Pole L3's earlier measurements, for its history.
    const double earlier[3] = {62e-6, 85e-6, 70e-6};
    for (int i = 0; i < 3; ++i) {
        pomiary << TTestPomiar(10 + i, 3, earlier[i]);
        pomiary.last().czas = 1530000000 + i * 30000000;
    }
    QCOMPARE(MakeDataBase(db, names, pomiary, true), QString());
    // The newest of L3 with its record: a pulse of 10 A.
    QVERIFY(WriteRecordBytes(tmp->filePath(QStringLiteral("pomiar_3.zym5")), *PulseRecord(10.0, 76e-6)));
    TArchive archive;
    QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    TGrupa g;
    g.qsNazwa = QStringLiteral("Wyłącznik Q1");
    g.obiekty = names;
    QCOMPARE(SaveGrupa(&archive, &g), int(ArchiveOk));

    QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                                "[Archiwum]\nPath=%1\nAutor=Jan Kowalski\n")
                                         .arg(qsArchive)
                                     + appsupport::EnglishIniLines()));
    w = appsupport::NewWindow();
    w->resize(1280, 860);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(w->OpenArchiwum());
}

void TestVerdictWindow::cleanup()
{
    w.reset();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->inherits("DialogGrupy") || window->inherits("DialogObiektWerdykt") || window->inherits("DialogHistoria"))
            delete window;
    }
    RemoveIni();
    tmp.reset();
}

bool TestVerdictWindow::ShowL3()
{
    auto *obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    for (int r = 0; r < obiekty->model()->rowCount(); ++r) {
        if (obiekty->model()->index(r, 0).data().toString() == names.at(2)) {
            ClickCell(obiekty, r, 0);
            auto *pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
            for (int p = 0; p < pomiary->model()->rowCount(); ++p) {
                if (pomiary->model()->index(p, 2).data().toString().startsWith(QStringLiteral("76.00"))) {
                    ClickCell(pomiary, p, 1);
                    return true;
                }
            }
            return false;
        }
    }
    return false;
}

void TestVerdictWindow::settingsLineAndGroup()
{
    // No limits yet: the verdict line says so.
    QVERIFY(ShowL3());
    auto *line = w->findChild<QLabel *>(QStringLiteral("label_Werdykt"));
    QVERIFY(line && line->isVisible());
    QVERIFY2(line->toolTip().contains(QStringLiteral("brak (bez limitów)")), qPrintable(line->toolTip()));

    // The object's settings, typed as a user would: aluminium, a band of
    // 40..80 µΩ and 50 % within the group.
    for (const QString &name : names) {
        DialogObiektWerdykt settings(qsArchive, QStringLiteral("Jan Kowalski"), name);
        auto *material = settings.findChildren<QComboBox *>().at(0);
        material->setCurrentIndex(1);
        emit material->activated(1);
        // Fields in the order made: K, T_ref, reference R, its T, min, max, change, group.
        Edit(&settings, 4)->setText(QStringLiteral("40"));
        settings.findChildren<QComboBox *>().at(4)->setCurrentIndex(0); // min in µΩ
        Edit(&settings, 5)->setText(QStringLiteral("80,0"));
        settings.findChildren<QComboBox *>().at(5)->setCurrentIndex(0); // max in µΩ
        Edit(&settings, 7)->setText(QStringLiteral("50"));
        if (name == names.at(2)) {
            settings.show();
            QVERIFY(QTest::qWaitForWindowExposed(&settings));
            Shot(&settings, QStringLiteral("ustawienia_obiektu"));
        }
        QVERIFY(settings.Save());
    }
    TArchive archive;
    QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
    const TObiektUstawienia u = ReadUstawienia(&archive, names.at(2));
    QCOMPARE(u.material.dK, kAluminiumK);
    QCOMPARE(u.limity.dMin, 40e-6);
    QCOMPARE(u.limity.dMax, 80e-6);
    QCOMPARE(u.limity.dGrupa, 50.0);
    TArchiveEntry e;
    QVERIFY(archive.LatestEntry(QLatin1String(kRodzajLimity), TArchive::ObiektSubject(names.at(2)), &e));
    QCOMPARE(e.qsAutor, QStringLiteral("Jan Kowalski"));

    // Shown again: 76 µΩ is 52 % above the lowest pole: investigate, stored.
    QVERIFY(ShowL3());
    QVERIFY2(line->toolTip().startsWith(QStringLiteral("Werdykt: Do sprawdzenia")), qPrintable(line->toolTip()));
    QVERIFY(line->toolTip().contains(QStringLiteral("grupa porównana bez korekcji temperatury")));
    Shot(w.get(), QStringLiteral("wynik_z_werdyktem"));
    QVector<THistoriaRow> rows;
    QVERIFY(archive.ReadHistoria(archive.ObjectId(names.at(2)), &rows));
    rows.remove(0, 3); // the newest, 76 µΩ
    const QString subject = archive.PomiarSubject(rows.at(0).id);
    QCOMPARE(archive.Entries(QLatin1String(kRodzajWerdykt), subject).size(), 1);

    // Its history: the verdict column coloured, the band's lines on the chart.
    w->findChild<QAction *>(QStringLiteral("actionHistoria"))->trigger();
    DialogHistoria *historia = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->inherits("DialogHistoria"))
            historia = static_cast<DialogHistoria *>(top);
    }
    QVERIFY(historia);
    QAbstractItemModel *hm = historia->findChild<QTableView *>(QStringLiteral("tV_Historia"))->model();
    const int last = hm->columnCount() - 1;
    QCOMPARE(hm->headerData(last, Qt::Horizontal).toString(), QStringLiteral("Werdykt"));
    QCOMPARE(hm->headerData(last - 1, Qt::Horizontal).toString(), QStringLiteral("R(75 °C)"));
    // 62 and 70 µΩ within the band, 85 µΩ above it; 76 µΩ 52 % above its lowest sister.
    const QStringList expected{QStringLiteral("Dobry"), QStringLiteral("Zły"), QStringLiteral("Dobry"),
                               QStringLiteral("Do sprawdzenia")};
    QCOMPARE(hm->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        QCOMPARE(hm->index(r, last).data().toString(), expected.at(r));
        QCOMPARE(hm->index(r, 0).data(Qt::BackgroundRole).value<QColor>(),
                 WerdyktColor(WerdyktFromKey(QStringList{"dobry", "zly", "dobry", "do_sprawdzenia"}.at(r))));
    }
    QAction *ocena = historia->findChild<QToolBar *>(QStringLiteral("tB_Historia"))
                         ->findChild<QAction *>(QStringLiteral("actionOcenaObiektu"));
    QVERIFY(ocena);
    // It follows a language switch as the window's own actions do.
    w->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
    QCOMPARE(ocena->text(), QStringLiteral("Object assessment…"));
    w->findChild<QAction *>(QStringLiteral("actionPolski"))->trigger();
    QCOMPARE(ocena->text(), QStringLiteral("Ocena obiektu…"));
    // The CSV carries the verdict's columns after the comment.
    const QString csv = tmp->filePath(QStringLiteral("historia.csv"));
    for (QAction *action : historia->findChild<QToolBar *>(QStringLiteral("tB_Historia"))->actions()) {
        if (action->text() == QStringLiteral("Zapisz historię jako CSV…")) {
            testsupport::AnswerFileDialog(csv);
            action->trigger();
        }
    }
    const QStringList lines = testsupport::ReadLines(csv);
    QCOMPARE(lines.size(), 5);
    QVERIFY2(lines.at(0).endsWith(QStringLiteral(";Komentarz;T [°C];R(75 °C) [Ohm];Werdykt")), qPrintable(lines.at(0)));
    for (int r = 0; r < 4; ++r)
        QVERIFY2(lines.at(r + 1).endsWith(QLatin1Char(';') + expected.at(r)), qPrintable(lines.at(r + 1)));
    // So does the object report's table.
    const TObiektReport obiektReport = historia->ReportData();
    const int werdykt = obiektReport.header.indexOf(QStringLiteral("Werdykt"));
    QVERIFY(werdykt > 0);
    QCOMPARE(obiektReport.header.last(), QStringLiteral("Komentarz"));
    QCOMPARE(obiektReport.rows.size(), 4);
    for (int r = 0; r < 4; ++r)
        QCOMPARE(obiektReport.rows.at(r).at(werdykt), expected.at(r));
    QVERIFY(QTest::qWaitForWindowExposed(historia));
    QTest::qWait(50);
    Shot(historia, QStringLiteral("historia_z_limitami"));
    historia->close();

    // The group view: L3 flagged, the others fine.
    DialogGrupy grupy(qsArchive, QString(), names.at(0));
    grupy.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grupy));
    QTableWidget *table = grupy.Table();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(0, 7)->text(), QStringLiteral("Dobry"));
    QCOMPARE(table->item(1, 7)->text(), QStringLiteral("Dobry"));
    QCOMPARE(table->item(2, 7)->text(), QStringLiteral("Do sprawdzenia"));
    QCOMPARE(table->item(2, 5)->text(), QStringLiteral("+52.00 %"));
    Shot(&grupy, QStringLiteral("grupa"));

    // A temperature and an override typed for the measurement: the line
    // shows both, with the reason as typed (markup shown as text).
    line->linkActivated(QStringLiteral("#"));
    QDialog *dialog = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->inherits("DialogPomiarWerdykt") && top->isVisible())
            dialog = static_cast<QDialog *>(top);
    }
    QVERIFY(dialog);
    Edit(dialog, 0)->setText(QStringLiteral("20"));
    dialog->findChild<QComboBox *>()->setCurrentIndex(1); // Dobry
    Edit(dialog, 1)->setText(QStringLiteral("zacisk <b>dokręcony</b>"));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QTRY_VERIFY(line->toolTip().startsWith(QStringLiteral("Werdykt: Dobry (zmieniony ręcznie: zacisk <b>dokręcony</b>")));
    // 76 µΩ at 20 °C, aluminium, to 75 °C: 76 · 300/245 = 93.06 µΩ.
    QVERIFY2(line->toolTip().contains(QStringLiteral("T = 20 °C, R(75 °C) = 93.06 µΩ")), qPrintable(line->toolTip()));
    QVERIFY(line->text().contains(QStringLiteral("&lt;b&gt;")));
    QCOMPARE(ReadTemperatura(&archive, rows.at(0).id), 20.0);

    // Its report: the verdict with the reason, the limits it was judged
    // by, the plateau current of the record, and lines to sign.
    const TPomiarReport report = w->PomiarReportData();
    QMap<QString, QString> fields;
    for (const TReportField &f : report.ocena)
        fields.insert(f.first, f.second);
    QVERIFY2(fields.value(QStringLiteral("Werdykt")).startsWith(QStringLiteral("Dobry (zmieniony ręcznie: zacisk")),
             qPrintable(fields.value(QStringLiteral("Werdykt"))));
    QVERIFY(fields.value(QStringLiteral("Limity")).startsWith(QStringLiteral("R od 40.00 µΩ do 80.00 µΩ: Zły")));
    QCOMPARE(fields.value(QStringLiteral("Temperatura")), QStringLiteral("20 °C"));
    QCOMPARE(fields.value(QStringLiteral("R w temperaturze odniesienia")), QStringLiteral("93.06 µΩ (75 °C, K = 225)"));
    const QString prad = fields.value(QStringLiteral("Prąd pomiarowy"));
    QVERIFY2(prad.endsWith(QStringLiteral(" A")) && std::fabs(prad.chopped(2).toDouble() - 10.0) < 0.2, qPrintable(prad));
    QCOMPARE(fields.value(QStringLiteral("Wykonał")), QStringLiteral("Jan Kowalski"));
    QVERIFY(fields.value(QStringLiteral("Podpis")).startsWith(QStringLiteral("____")));
    const QString pdf = tmp->filePath(QStringLiteral("raport.pdf"));
    QString error;
    QVERIFY2(w->SaveReportPDF(pdf, &error), qPrintable(error));
    const QString shots = QString::fromLocal8Bit(qgetenv("ZYM_SHOTS"));
    if (!shots.isEmpty()) {
        QFile::remove(shots + QStringLiteral("/raport.pdf"));
        QFile::copy(pdf, shots + QStringLiteral("/raport.pdf"));
    }
}

QTEST_MAIN(TestVerdictWindow)
#include "test_verdict_window.moc"
