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
#include "historia/obiektreport.h"
#include "report/ui/reports.h"

#include <qcustomplot.h>

#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTextDocument>
#include <QToolTip>
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
    void lineFollowsShownMeasurement();
    void historyFollowsOverride();
    void longReasonKeepsCommand();
    void impossibleInputsRefused();
    void windowsFitSmallScreen();
    void cliSaysWhatWindowsSay();
    void verdictsInLists();

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
    QLabel *Line() const { return w->findChild<QLabel *>(QStringLiteral("label_Werdykt")); }
    /// The band of every pole, in µΩ, as a user types it.
    void SetBand(const QString &min, const QString &max);
    /// The measurement's own window, opened from the line's command.
    QDialog *OpenPomiarWindow();
    DialogHistoria *OpenHistoria();
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
    QVERIFY2(line->text().contains(QStringLiteral("&lt;b&gt;")), qPrintable(line->text() + QString::number(line->width())));
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

void TestVerdictWindow::SetBand(const QString &min, const QString &max)
{
    for (const QString &name : names) {
        DialogObiektWerdykt settings(qsArchive, QStringLiteral("Jan Kowalski"), name);
        Edit(&settings, 4)->setText(min);
        settings.findChildren<QComboBox *>().at(4)->setCurrentIndex(0);
        Edit(&settings, 5)->setText(max);
        settings.findChildren<QComboBox *>().at(5)->setCurrentIndex(0);
        QVERIFY(settings.Save());
    }
}

QDialog *TestVerdictWindow::OpenPomiarWindow()
{
    Line()->linkActivated(QStringLiteral("#"));
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->inherits("DialogPomiarWerdykt") && top->isVisible())
            return static_cast<QDialog *>(top);
    }
    return nullptr;
}

DialogHistoria *TestVerdictWindow::OpenHistoria()
{
    w->findChild<QAction *>(QStringLiteral("actionHistoria"))->trigger();
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *historia = qobject_cast<DialogHistoria *>(top))
            return historia;
    }
    return nullptr;
}

void TestVerdictWindow::lineFollowsShownMeasurement()
{
    SetBand(QStringLiteral("40"), QStringLiteral("70"));
    QVERIFY(ShowL3());
    QLabel *line = Line();
    QVERIFY(line && line->isVisible());
    QVERIFY2(line->toolTip().startsWith(QStringLiteral("Werdykt: Zły")), qPrintable(line->toolTip()));

    // Another object: its measurements are listed, none is shown; nor is a verdict.
    auto *obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    ClickCell(obiekty, 0, 0);
    QVERIFY(!line->isVisible());
    // Nothing to change either: the command names no measurement.
    line->linkActivated(QStringLiteral("#"));
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY(!(top->inherits("DialogPomiarWerdykt") && top->isVisible()));

    // Shown again, the line speaks the language switched to, and back.
    QVERIFY(ShowL3());
    QVERIFY(line->isVisible());
    w->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
    QVERIFY2(line->text().contains(QStringLiteral("change…")), qPrintable(line->text()));
    w->findChild<QAction *>(QStringLiteral("actionPolski"))->trigger();
    QVERIFY2(line->text().contains(QStringLiteral("zmień…")), qPrintable(line->text()));

    // A measurement opened from a file belongs to no archive row.
    AnswerFileDialog(tmp->filePath(QStringLiteral("pomiar_3.zym5")));
    w->findChild<QAction *>(QStringLiteral("actionOpenPomiar"))->trigger();
    QVERIFY(!line->isVisible());
}

void TestVerdictWindow::historyFollowsOverride()
{
    // 76 µΩ above a band to 70 µΩ: "Zły", no temperature yet.
    SetBand(QStringLiteral("40"), QStringLiteral("70"));
    QVERIFY(ShowL3());
    DialogHistoria *historia = OpenHistoria();
    QVERIFY(historia);
    QAbstractItemModel *hm = historia->findChild<QTableView *>(QStringLiteral("tV_Historia"))->model();
    const int last = hm->columnCount() - 1;
    QCOMPARE(hm->headerData(last, Qt::Horizontal).toString(), QStringLiteral("Werdykt"));
    QCOMPARE(hm->index(3, last).data().toString(), QStringLiteral("Zły"));
    QCOMPARE(hm->index(3, last - 2).data().toString(), QString());

    // Its group open beside it.
    DialogGrupy grupy(qsArchive, QString(), names.at(2));
    QCOMPARE(grupy.Table()->item(2, 7)->text(), QStringLiteral("Zły"));

    // A temperature and an override typed while the history is open.
    QDialog *dialog = OpenPomiarWindow();
    QVERIFY(dialog);
    Edit(dialog, 0)->setText(QStringLiteral("20"));
    dialog->findChild<QComboBox *>()->setCurrentIndex(1); // Dobry
    Edit(dialog, 1)->setText(QStringLiteral("zacisk dokręcony"));
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    QTRY_COMPARE(hm->index(3, last).data().toString(), QStringLiteral("Dobry (ręcznie: zacisk dokręcony)"));
    QCOMPARE(hm->index(3, last - 2).data().toString(), QStringLiteral("20"));
    // 76 µΩ at 20 °C, copper, to 75 °C: 76 · 310/255 = 92.39 µΩ.
    QCOMPARE(hm->index(3, last - 1).data().toString(), QStringLiteral("92.39 µΩ"));
    QCOMPARE(hm->index(3, 0).data(Qt::BackgroundRole).value<QColor>(), WerdyktColor(WerdyktDobry));
    // The group follows too: L3's verdict is the override now.
    QCOMPARE(grupy.Table()->item(2, 7)->text(), QStringLiteral("Dobry"));
}

void TestVerdictWindow::longReasonKeepsCommand()
{
    // A reason of a megabyte that looks like markup, stored as a sync would bring it.
    const QString reason = QStringLiteral("<img src=\"file:///etc/hostname\"> ") + QString(1 << 20, QLatin1Char('x'));
    {
        TArchive archive;
        QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
        QVector<THistoriaRow> rows;
        QVERIFY(archive.ReadHistoria(archive.ObjectId(names.at(2)), &rows));
        QCOMPARE(SaveWerdyktReczny(&archive, rows.last().id, WerdyktZly, reason), int(ArchiveOk));
    }
    for (const QSize &size : {QSize(1280, 860), QSize(1024, 700)}) {
        w->resize(size);
        QVERIFY(ShowL3());
        QLabel *line = Line();
        QVERIFY(line && line->isVisible());
        // The command is there, and the line as drawn fits its label.
        QTextDocument drawn;
        drawn.setHtml(line->text());
        const QString plain = drawn.toPlainText();
        QVERIFY2(plain.endsWith(QStringLiteral("zmień…")), qPrintable(plain.right(40)));
        QVERIFY2(QFontMetrics(line->font()).horizontalAdvance(plain) <= line->width(),
                 qPrintable(QString::number(line->width())));
        // Narrow as the line is, the reason's start is in it, as text.
        QVERIFY2(line->text().contains(QStringLiteral("Zły")) && line->text().contains(QStringLiteral("&lt;img src=")),
                 qPrintable(line->text()));
        Shot(w.get(), QStringLiteral("wynik_dlugi_powod_%1").arg(size.width()));
        w->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
        QVERIFY2(line->text().contains(QStringLiteral("change…")), qPrintable(line->text()));
        Shot(w.get(), QStringLiteral("wynik_dlugi_powod_%1_en").arg(size.width()));
        w->findChild<QAction *>(QStringLiteral("actionPolski"))->trigger();

        // The tool tip: the reason's start as plain text, not the whole megabyte.
        QVERIFY2(line->toolTip().size() < 2000, qPrintable(QString::number(line->toolTip().size())));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), line->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(line, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(QStringLiteral("&lt;img src=")), qPrintable(QToolTip::text().left(200)));
        QToolTip::hideText();
    }
}

void TestVerdictWindow::impossibleInputsRefused()
{
    // A band upside down, a negative change: refused with the reason, nothing written.
    const QList<QPair<int, QString>> typed{{5, QStringLiteral("30")}, {6, QStringLiteral("-5")}};
    for (const auto &field : typed) {
        DialogObiektWerdykt settings(qsArchive, QStringLiteral("Jan Kowalski"), names.at(2));
        Edit(&settings, 4)->setText(QStringLiteral("40"));
        Edit(&settings, 5)->setText(QStringLiteral("80"));
        Edit(&settings, field.first)->setText(field.second);
        TMessageBoxWatch watch(QStringLiteral("OK"));
        QVERIFY(!settings.Save());
        QCOMPARE(watch.Count(), 1);
        QVERIFY2(!watch.texts.first().contains(QStringLiteral("Wpisz liczby")), qPrintable(watch.texts.first()));
    }
    TArchive archive;
    QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
    TArchiveEntry e;
    QVERIFY(!archive.LatestEntry(QLatin1String(kRodzajLimity), TArchive::ObiektSubject(names.at(2)), &e));

    // Temperatures: at -K none, far outside the usual only when confirmed.
    SetBand(QStringLiteral("40"), QStringLiteral("80"));
    QVERIFY(ShowL3());
    QVector<THistoriaRow> rows;
    QVERIFY(archive.ReadHistoria(archive.ObjectId(names.at(2)), &rows));
    const qint64 id = rows.last().id;
    struct
    {
        const char *t;
        const char *answer;
        int boxes;
        double kept;
    } cases[] = {
        {"-235", "OK", 1, kBrak},           // copper's -K
        {"-234,9999", "NIE", 1, kBrak},     // 16 mΩ would read as 49.6 kΩ: asked, declined
        {"250", "TAK", 1, 250.0},           // asked, confirmed
        {"21,5", "TAK", 0, 21.5},           // usual: no question
    };
    for (const auto &c : cases) {
        QPointer<QDialog> dialog = OpenPomiarWindow();
        QVERIFY(dialog);
        Edit(dialog, 0)->setText(QString::fromUtf8(c.t));
        TMessageBoxWatch watch(QString::fromUtf8(c.answer));
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        QTRY_COMPARE(watch.Count(), c.boxes);
        const double t = ReadTemperatura(&archive, id);
        QVERIFY2(std::isnan(c.kept) ? std::isnan(t) : t == c.kept, c.t);
        if (dialog && dialog->isVisible())
            dialog->reject();
    }
}

void TestVerdictWindow::windowsFitSmallScreen()
{
    // Whatever the names of a group, every window fits the screen it opens
    // on (here the test platform's, smaller than 1024 x 768).
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (screen.width() > 1024)
        QSKIP("a screen wider than 1024 px has room for every window");
    {
        TArchive archive;
        QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
        TGrupa g;
        g.qsNazwa = QStringLiteral("Transformator blokowy TB-1 110/15,75 kV, uzwojenia górnego napięcia");
        g.obiekty = names;
        for (const char *faza : {"L1", "L2", "L3"})
            g.obiekty << QStringLiteral("Transformator blokowy TB-1 uzwojenie GN faza %1").arg(QLatin1String(faza));
        QCOMPARE(SaveGrupa(&archive, &g), int(ArchiveOk));
    }
    DialogObiektWerdykt settings(qsArchive, QStringLiteral("Jan Kowalski"), names.at(2));
    settings.show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings));
    QVERIFY2(settings.minimumSizeHint().width() <= screen.width(),
             qPrintable(QString::number(settings.minimumSizeHint().width())));
    QVERIFY2(settings.minimumSizeHint().height() <= screen.height(),
             qPrintable(QString::number(settings.minimumSizeHint().height())));
    // The group's line wraps, whole.
    for (QLabel *label : settings.findChildren<QLabel *>()) {
        if (label->text().startsWith(QStringLiteral("Grupa: ")))
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
    }
    Shot(&settings, QStringLiteral("ustawienia_obiektu_maly_ekran"));

    // An archive history has a meter column, which widened the window.
    QVERIFY(ShowL3());
    DialogHistoria *historia = OpenHistoria();
    QVERIFY(historia);
    QVERIFY(QTest::qWaitForWindowExposed(historia));
    Shot(historia, QStringLiteral("historia_maly_ekran"));
    QVERIFY2(historia->width() <= screen.width(), qPrintable(QStringLiteral("%1 in %2").arg(historia->frameGeometry().width()).arg(screen.width())));

    // The main window, opened as the program opens it.
    w.reset();
    w = appsupport::NewWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY2(screen.contains(w->frameGeometry()), qPrintable(QStringLiteral("%1 x %2").arg(w->width()).arg(w->height())));
    Shot(w.get(), QStringLiteral("okno_glowne_start"));
}

namespace {

// zymreader-cli with `args` in Polish; its standard output, empty when it failed.
QByteArray Cli(const QStringList &args)
{
    QProcess process;
    process.start(qEnvironmentVariable("ZYM_BINARY_DIR") + QStringLiteral("/zymreader-cli"),
                  QStringList{QStringLiteral("--lang"), QStringLiteral("pl")} + args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

// A PDF's text lines, without the one that says when it was made.
QStringList PdfLines(const QString &pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    QStringList lines;
    for (const QString &line : QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QStringLiteral("Data sporządzenia")))
            lines << line.trimmed();
    }
    return lines;
}

} // namespace

// The command-line tool says what the windows say, field by field, for
// the same archive object: the history's CSV as the window saves it, its
// decimal-point CSV and JSON with the verdict's columns and limits, the
// object report (its table and the meter's hardware and firmware), and a
// measurement's report with its verdict block.
void TestVerdictWindow::cliSaysWhatWindowsSay()
{
    SetBand(QStringLiteral("40"), QStringLiteral("80"));
    QVERIFY(ShowL3());
    DialogHistoria *historia = OpenHistoria();
    QVERIFY(historia);
    const QString csv = tmp->filePath(QStringLiteral("okno.csv"));
    for (QAction *action : historia->findChild<QToolBar *>(QStringLiteral("tB_Historia"))->actions()) {
        if (action->text() == QStringLiteral("Zapisz historię jako CSV…")) {
            testsupport::AnswerFileDialog(csv);
            action->trigger();
        }
    }
    QFile saved(csv);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray window = saved.readAll();
    const QStringList object{QStringLiteral("--object"), names.at(2), qsArchive};
    QCOMPARE(Cli(QStringList{QStringLiteral("history")} + object), window);

    // The other two formats: the same verdicts, numbers with a point.
    const QStringList windowLines = QString::fromUtf8(window).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList point = QString::fromUtf8(Cli(QStringList{QStringLiteral("history"), QStringLiteral("--format"),
                                                                QStringLiteral("csv-point")} + object))
                                  .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(point.size(), windowLines.size());
    QVERIFY2(point.at(0).endsWith(QStringLiteral(",T [°C],R(75 °C) [Ohm],Werdykt")), qPrintable(point.at(0)));
    for (int i = 1; i < point.size(); ++i) {
        const QStringList a = windowLines.at(i).split(QLatin1Char(';')).mid(6);
        QCOMPARE(point.at(i).split(QLatin1Char(',')).mid(6).join(QLatin1Char(';')),
                 a.join(QLatin1Char(';')).replace(QLatin1Char(','), QLatin1Char('.')));
    }
    const QStringList json = QString::fromUtf8(Cli(QStringList{QStringLiteral("history"), QStringLiteral("--format"),
                                                               QStringLiteral("json")} + object))
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(json.size(), 4);
    const QStringList keys{QStringLiteral("dobry"), QStringLiteral("zly"), QStringLiteral("dobry"), QStringLiteral("dobry")};
    for (int i = 0; i < 4; ++i) {
        const QJsonObject o = QJsonDocument::fromJson(json.at(i).toUtf8()).object();
        QCOMPARE(o.value(QStringLiteral("verdict")).toString(), keys.at(i));
        QCOMPARE(o.value(QStringLiteral("verdict_text")).toString(), windowLines.at(i + 1).section(QLatin1Char(';'), -1));
        QCOMPARE(o.value(QStringLiteral("limit_min_ohm")).toDouble(), 40e-6);
        QCOMPARE(o.value(QStringLiteral("limit_max_ohm")).toDouble(), 80e-6);
        QCOMPARE(o.value(QStringLiteral("t_ref_c")).toDouble(), 75.0);
    }

    // The object report: the window's and the tool's, line by line, naming
    // the meter's hardware and firmware the archive keeps.
    const QString windowPdf = tmp->filePath(QStringLiteral("okno.pdf")), cliPdf = tmp->filePath(QStringLiteral("cli.pdf"));
    QString reason;
    QVERIFY(SaveObiektReport(windowPdf, historia->ReportData(), historia->findChild<QCustomPlot *>(), &reason)
            == ReplaceFileOk);
    QVERIFY(Cli({QStringLiteral("report"), QStringLiteral("--object"), names.at(2), QStringLiteral("--out"), cliPdf,
                 qsArchive})
                .isEmpty());
    QVERIFY(QFileInfo::exists(cliPdf));
    const QStringList windowReport = PdfLines(windowPdf);
    QCOMPARE(PdfLines(cliPdf), windowReport);
    QVERIFY2(windowReport.join(QLatin1Char('\n')).contains(QStringLiteral("sprzęt rev. C, oprogramowanie 2.07")),
             qPrintable(windowReport.join(QLatin1Char('\n'))));
    QVERIFY(windowReport.join(QLatin1Char('\n')).contains(QStringLiteral("Zły")));
    historia->close();

    // A measurement's report: the window's "Ocena" block is the tool's.
    const QString windowPomiar = tmp->filePath(QStringLiteral("pomiar.pdf"));
    QString error;
    QVERIFY2(w->SaveReportPDF(windowPomiar, &error), qPrintable(error));
    TArchive archive;
    QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
    QVector<THistoriaRow> rows;
    QVERIFY(archive.ReadHistoria(archive.ObjectId(names.at(2)), &rows));
    const QString out = tmp->filePath(QStringLiteral("eksport"));
    Cli({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("pdf"), QStringLiteral("--out"), out,
         QStringLiteral("--id"), QString::number(rows.last().id), qsArchive});
    const QStringList exported = QDir(out).entryList({QStringLiteral("*.pdf")});
    QCOMPARE(exported.size(), 1);
    const QStringList cliPomiar = PdfLines(out + QLatin1Char('/') + exported.first());
    QVERIFY2(cliPomiar.join(QLatin1Char('\n')).contains(QStringLiteral("Ocena")), qPrintable(cliPomiar.join(QLatin1Char('\n'))));
    // Up to the chart (drawn at the window's size there): who measured is
    // whom each one's settings name, the rest is the same.
    auto fields = [](QStringList lines) {
        lines = lines.mid(0, lines.indexOf(QStringLiteral("Przebieg prądu i napięcia")));
        return lines.filter(QRegularExpression(QStringLiteral("^(?!Wykonał:)")));
    };
    QCOMPARE(fields(cliPomiar), fields(PdfLines(windowPomiar)));
}

// The verdicts where a technician looks first: a column of the measurement
// list and of the object list (an override marked, a group's worst told
// beside a member that looks fine), in colours that stay apart in grey.
void TestVerdictWindow::verdictsInLists()
{
    // Without limits the lists are as they always were.
    auto *obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    auto *pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    QCOMPARE(obiekty->model()->columnCount(), 1);
    QVERIFY(ShowL3());
    const int plain = pomiary->model()->columnCount();

    SetBand(QStringLiteral("40"), QStringLiteral("80"));
    TArchive archive;
    QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
    QVector<THistoriaRow> rows;
    QVERIFY(archive.ReadHistoria(archive.ObjectId(names.at(2)), &rows));
    QCOMPARE(SaveWerdyktReczny(&archive, rows.last().id, WerdyktZly, QStringLiteral("luźny zacisk")), int(ArchiveOk));
    QVERIFY(w->OpenArchiwum());
    QVERIFY(ShowL3());
    QAbstractItemModel *m = pomiary->model();
    QCOMPARE(m->columnCount(), plain + 1);
    const int werdykt = plain;
    QCOMPARE(m->headerData(werdykt, Qt::Horizontal).toString(), QStringLiteral("Werdykt"));
    QMap<QString, QString> byR; // the list's R cell, its verdict
    for (int r = 0; r < m->rowCount(); ++r) {
        byR.insert(m->index(r, 2).data().toString().left(5), m->index(r, werdykt).data().toString());
        QCOMPARE(m->index(r, werdykt).data(Qt::BackgroundRole).value<QColor>(),
                 WerdyktColor(m->index(r, werdykt).data().toString().startsWith(QStringLiteral("Dobry")) ? WerdyktDobry
                                                                                                          : WerdyktZly));
    }
    QCOMPARE(byR.value(QStringLiteral("62.00")), QStringLiteral("Dobry"));
    QCOMPARE(byR.value(QStringLiteral("85.00")), QStringLiteral("Zły"));
    QCOMPARE(byR.value(QStringLiteral("76.00")), QStringLiteral("Zły (ręcznie: luźny zacisk)"));
    // Sorted from its header: equal verdicts together.
    pomiary->sortByColumn(werdykt, Qt::AscendingOrder);
    QStringList order;
    for (int r = 0; r < m->rowCount(); ++r)
        order << m->index(r, werdykt).data().toString().section(QLatin1Char(' '), 0, 0);
    QCOMPARE(order, (QStringList{"Dobry", "Dobry", "Zły", "Zły"}));
    // The measurement list's other columns keep their words (R in its unit).
    QVERIFY(byR.contains(QStringLiteral("62.00")) && m->index(0, 2).data().toString().contains(QString::fromUtf8("µΩ")));

    // The object list: each object's newest verdict; the breaker's sisters
    // look fine, and say that their group does not.
    QAbstractItemModel *o = obiekty->model();
    QCOMPARE(o->columnCount(), 2);
    QMap<QString, QString> byName;
    for (int r = 0; r < o->rowCount(); ++r)
        byName.insert(o->index(r, 0).data().toString(), o->index(r, 1).data().toString());
    QCOMPARE(byName.value(names.at(2)), QStringLiteral("Zły (ręcznie: luźny zacisk)"));
    QCOMPARE(byName.value(names.at(0)), QStringLiteral("Dobry (grupa Wyłącznik Q1: Zły)"));
    QCOMPARE(byName.value(names.at(1)), QStringLiteral("Dobry (grupa Wyłącznik Q1: Zły)"));
    // In the other language, both lists at once.
    w->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
    QCOMPARE(o->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Verdict"));
    for (int r = 0; r < o->rowCount(); ++r) {
        if (o->index(r, 0).data().toString() == names.at(0))
            QCOMPARE(o->index(r, 1).data().toString(), QStringLiteral("Pass (group Wyłącznik Q1: Fail)"));
    }
    QCOMPARE(pomiary->model()->headerData(werdykt, Qt::Horizontal).toString(), QStringLiteral("Verdict"));
    w->findChild<QAction *>(QStringLiteral("actionPolski"))->trigger();
    // Pictures to look at (ZYM_SHOTS): the lists and the coloured history,
    // both languages, the smallest screen and the whole screen.
    if (!qEnvironmentVariableIsEmpty("ZYM_SHOTS")) {
        DialogHistoria *historia = OpenHistoria();
        QVERIFY(historia);
        for (const char *language : {"actionPolski", "actionAngieski"}) {
            w->findChild<QAction *>(QLatin1String(language))->trigger();
            for (const QSize &size : {QSize(1024, 768), w->screen()->availableGeometry().size()}) {
                const QString tag = QStringLiteral("%1_%2x%3").arg(QLatin1String(language).mid(6)).arg(size.width()).arg(size.height());
                w->resize(size);
                historia->resize(size.width() * 3 / 4, size.height() * 3 / 4);
                QTest::qWait(200);
                Shot(w.get(), QStringLiteral("listy_z_werdyktami_") + tag);
                Shot(historia, QStringLiteral("historia_kolorowa_") + tag);
            }
        }
        QString reason;
        SaveObiektReport(qEnvironmentVariable("ZYM_SHOTS") + QStringLiteral("/historia_raport.pdf"), historia->ReportData(),
                         historia->findChild<QCustomPlot *>(), &reason);
        historia->close();
        w->findChild<QAction *>(QStringLiteral("actionPolski"))->trigger();
    }

    // Printed in grey, the three backgrounds stay a step apart.
    const int grey[3] = {qGray(WerdyktColor(WerdyktDobry).rgb()), qGray(WerdyktColor(WerdyktDoSprawdzenia).rgb()),
                         qGray(WerdyktColor(WerdyktZly).rgb())};
    QVERIFY2(grey[0] - grey[1] >= 25 && grey[1] - grey[2] >= 25,
             qPrintable(QStringLiteral("%1 %2 %3").arg(grey[0]).arg(grey[1]).arg(grey[2])));
}

QTEST_MAIN(TestVerdictWindow)
#include "test_verdict_window.moc"
