// The PDF reports read as a customer reads them: pdftotext and pdfinfo
// (poppler-utils) on the files the program wrote, for the measurement
// report through "Zapisz pomiar jako" and for an object's history.

#include "app/mainwindow.h"
#include "historia/ui/dialoghistoria.h"
#include "measurement/datafile.h"
#include "report/ui/reports.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "support/tracecapture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace testsupport;

namespace {

QString Run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString &path)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of one page (all pages when `page` is 0), as a reader copies it.
QString PdfText(const QString &path, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return Run(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Accepts the next save dialog with `path` typed in, noting its filters;
// `then` runs once the dialog has gone.
void AnswerSaveDialog(const QString &path, QStringList *filters = nullptr, std::function<void()> then = {})
{
    WhenModal([=](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QLineEdit *edit = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit) {
            qWarning("expected a file dialog, found %s", w->metaObject()->className());
            static_cast<QDialog *>(w)->reject();
            return;
        }
        if (filters)
            *filters = dialog->nameFilters();
        if (QFileInfo::exists(path))
            AnswerMessageBox(QStringLiteral("&Yes"));
        edit->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
        if (then)
            then();
    });
}

const QString kObiekt = QStringLiteral("Złącze Łódź-7");
const QString kKomentarz = QStringLiteral("Zażółć gęślą jaźń: styk ŁĄCZNIKA, R<5 mΩ, L 12 µH");

QString LongKomentarz()
{
    QStringList words;
    for (int i = 0; i < 160; ++i)
        words << QStringLiteral("słowo%1").arg(i);
    return words.join(QLatin1Char(' '));
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void measurementReport_data();
    void measurementReport();
    void reportNamesTheObjectShown();
    void fitValues_data();
    void fitValues();
    void failedWrite_data();
    void failedWrite();
    void printPreviewFromChart();
    void objectReport_data();
    void objectReport();
    void objectReportThroughDialog_data();
    void objectReportThroughDialog();

private:
    /// A window showing a measurement: from a database (`source` "db",
    /// "outOfRange") or from a data file ("file"), in English for "english".
    std::unique_ptr<MainWindow> WindowShowing(const QString &source, const QString &komentarz);

    QTemporaryDir dir;
    int iWindows = 0;
};

void TestReport::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
                 && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty(),
             "poppler-utils is missing (scripts/deps installs it)");
}

void TestReport::cleanup() { RemoveIni(); }

std::unique_ptr<MainWindow> TestReport::WindowShowing(const QString &source, const QString &komentarz)
{
    QString ini = QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n");
    if (source == QLatin1String("english"))
        ini += appsupport::EnglishIniLines() + QStringLiteral("default=1\n");
    if (!appsupport::WriteIni(ini))
        return nullptr;
    std::unique_ptr<MainWindow> window = appsupport::NewWindow();
    window->show();

    // A folder of its own inside `dir`, which goes at the end.
    const QDir here(dir.filePath(QString::number(++iWindows)));
    if (!here.mkpath(QStringLiteral(".")))
        return nullptr;
    std::unique_ptr<TDataPomiar> rec = PulseRecord(4.0, 0.0123);
    rec->rezystancja = 2.5e-5;
    if (source == QLatin1String("file")) {
        const QString dataFile = here.filePath(QStringLiteral("otwarty.zym5"));
        if (!WriteRecordBytes(dataFile, *rec))
            return nullptr;
        AnswerFileDialog(dataFile);
        window->findChild<QAction *>(QStringLiteral("actionOpenPomiar"))->trigger();
        window->findChild<QAction *>(QStringLiteral("actionExport_wyniku_do_CSV"))->setEnabled(true);
        return window;
    }

    const QString path = here.filePath(QStringLiteral("zym_5.db"));
    TTestPomiar p(5, 1, 0.0123);
    p.komentarz = komentarz;
    p.metoda = 0x80;
    p.status = source == QLatin1String("outOfRange") ? -1 : 0;
    if (!MakeDataBase(path, {kObiekt}, {p}, true).isEmpty()
        || !WriteRecordBytes(here.filePath(QStringLiteral("pomiar_5.zym5")), *rec))
        return nullptr;
    AnswerFileDialog(path);
    window->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->trigger();
    ClickCell(window->findChild<QTableView *>(QStringLiteral("tV_Obiekty")), 0, 0);
    auto *pomiary = window->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    ClickCell(pomiary, RowOfId(pomiary, 5), 1);
    return window;
}

void TestReport::measurementReport_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("komentarz");
    QTest::addColumn<QStringList>("says");
    QTest::addColumn<QStringList>("neverSays");

    const QString title = QStringLiteral("Protokół pomiaru rezystancji");
    QTest::newRow("from the database") << "db" << "raport.pdf" << kKomentarz
        << QStringList{title, kObiekt, QStringLiteral("ZYM5-0042"), QStringLiteral("2.07"), QStringLiteral("rev. C"),
                       QStringLiteral("12.30 mΩ"), QStringLiteral("3P"), QStringLiteral("pomiar_5.zym5"),
                       QStringLiteral("poprawny"), QStringLiteral("strona 1 z 1")}
        << QStringList{QStringLiteral("—")};
    QTest::newRow("suffix in capitals, comment over many lines") << "db" << "Raport.PDF" << LongKomentarz()
        << QStringList{title, QStringLiteral("strona 1 z 1")} << QStringList();
    QTest::newRow("out of range") << "outOfRange" << "poza.pdf" << kKomentarz
        << QStringList{QStringLiteral("Poza zakresem"), QStringLiteral("poza zakresem – miernik nie podał wyniku")}
        << QStringList{QStringLiteral("12.30 mΩ"), QStringLiteral("poprawny")};
    QTest::newRow("data file without a database") << "file" << "plik.pdf" << QString()
        << QStringList{title, QStringLiteral("25.00 µΩ"), QStringLiteral("otwarty.zym5"),
                       QStringLiteral("Pomiar odczytany z pliku"), QStringLiteral("—")}
        << QStringList{QStringLiteral("ZYM5-0042"), kObiekt};
    QTest::newRow("in English") << "english" << "report.pdf" << kKomentarz
        << QStringList{QStringLiteral("Resistance measurement report"), QStringLiteral("page 1 of 1"), kObiekt}
        << QStringList{title, QStringLiteral("strona")};
}

void TestReport::measurementReport()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(QString, komentarz);
    QFETCH(QStringList, says);
    QFETCH(QStringList, neverSays);

    std::unique_ptr<MainWindow> window = WindowShowing(source, komentarz);
    QVERIFY(window);
    const QString shownR = window->findChild<QLabel *>(QStringLiteral("label_R"))->text();
    const QString shownKomentarz = window->findChild<QTextEdit *>(QStringLiteral("tE_Komentarz"))->toPlainText();
    QVERIFY(!shownKomentarz.isEmpty());

    QTemporaryDir here;
    const QString path = here.filePath(target);
    QStringList filters;
    AnswerSaveDialog(path, &filters);
    TTraceCapture trace;
    window->findChild<QAction *>(QStringLiteral("actionExport_wyniku_do_CSV"))->trigger();

    QVERIFY(trace.lines().contains(QStringLiteral("Zapis do pliku PDF")));
    QCOMPARE(filters.size(), 4);
    if (source != QLatin1String("english"))
        QCOMPARE(filters.at(2), QStringLiteral("Raport PDF (*.pdf)"));
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastSaveCSVPath"), FolderOf(path));
    QCOMPARE(Entries(here.path()), QStringList{target});

    QCOMPARE(PdfPages(path), 1);
    const QString text = PdfText(path);
    QVERIFY2(text.contains(shownR), qPrintable(shownR + QStringLiteral(" not in:\n") + text));
    // Wrapped over lines, the comment is still there word for word.
    QVERIFY2(text.simplified().contains(shownKomentarz.simplified()), qPrintable(text));
    for (const QString &s : says)
        QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" not in:\n") + text));
    for (const QString &s : neverSays)
        QVERIFY2(!text.contains(s), qPrintable(s + QStringLiteral(" in:\n") + text));
}

// A history window can show a measurement of another object than the one
// listed: the report then names the measurement's own object.
void TestReport::reportNamesTheObjectShown()
{
    QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n")));
    std::unique_ptr<MainWindow> window = appsupport::NewWindow();
    window->show();
    const QDir here(dir.filePath(QString::number(++iWindows)));
    QVERIFY(here.mkpath(QStringLiteral(".")));
    const QString path = here.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Uziom A"), QStringLiteral("Szyna B")},
                          {TTestPomiar(1, 1, 0.011), TTestPomiar(2, 2, 0.022)}, true),
             QString());
    for (int id = 1; id <= 2; ++id)
        QVERIFY(WriteRecordBytes(here.filePath(QStringLiteral("pomiar_%1.zym5").arg(id)), *PulseRecord(4.0, 0.01 * id)));
    AnswerFileDialog(path);
    window->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->trigger();
    auto *obiekty = window->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    ClickCell(obiekty, 0, 0);
    window->findChild<QAction *>(QStringLiteral("actionHistoria"))->trigger();
    DialogHistoria *historia = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *h = qobject_cast<DialogHistoria *>(w))
            historia = h;
    }
    QVERIFY(historia);
    QVERIFY(QTest::qWaitForWindowExposed(historia));
    ClickCell(obiekty, 1, 0);
    auto *rows = historia->findChild<QTableView *>(QStringLiteral("tV_Historia"));
    const QPoint pos = rows->visualRect(rows->model()->index(0, 0)).center();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("label_obiekt"))->text(), QStringLiteral("Obiekt: Uziom A"));

    const QString pdf = here.filePath(QStringLiteral("raport.pdf"));
    AnswerSaveDialog(pdf);
    window->findChild<QAction *>(QStringLiteral("actionExport_wyniku_do_CSV"))->trigger();
    const QString text = PdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("Uziom A")) && text.contains(QStringLiteral("pomiar_1.zym5")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("Szyna B")), qPrintable(text));
}

void TestReport::fitValues_data()
{
    QTest::addColumn<bool>("valid");
    QTest::newRow("valid fit") << true;
    QTest::newRow("no valid fit") << false;
}

// The least-squares values appear, with their uncertainties, only when valid.
void TestReport::fitValues()
{
    QFETCH(bool, valid);
    TPomiarReport data;
    data.obiekt = kObiekt;
    data.r = 0.125;
    data.bFit = valid;
    data.rFit = 0.12512;
    data.sR = 0.00021;
    data.lFit = 12.5; // µH
    data.sL = 0.3;
    QTemporaryDir here;
    const QString path = here.filePath(QStringLiteral("fit.pdf"));
    QCOMPARE(SavePomiarReport(path, data, nullptr), ReplaceFileOk);
    const QString text = PdfText(path);
    QVERIFY2(text.contains(QStringLiteral("125.0 mΩ")), qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("125.12 mΩ ± 0.21 mΩ")), valid);
    QCOMPARE(text.contains(QStringLiteral("12.50 µH ± 0.30 µH")), valid);
}

void TestReport::failedWrite_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("missing folder") << "missing";
    // Tests run as root: permissions stop nothing, a size limit does.
    QTest::newRow("file size limit") << "limit";
    QTest::newRow("file size limit over an older report") << "limitOver";
    QTest::newRow("a pipe where the report would go") << "pipe";
}

void TestReport::failedWrite()
{
    QFETCH(QString, how);
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit");
#else
    std::unique_ptr<MainWindow> window = WindowShowing(QStringLiteral("file"), QString());
    QVERIFY(window);
    QTemporaryDir here;
    const QString path = here.filePath(how == QLatin1String("missing") ? QStringLiteral("brak/r.pdf") : QStringLiteral("r.pdf"));
    const QByteArray old("%PDF-1.4 an older report");
    if (how == QLatin1String("limitOver")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    } else if (how == QLatin1String("pipe")) {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps no named pipes among its files");
#endif
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }

    QString seen;
    AnswerSaveDialog(path, nullptr, [&seen]() { AnswerMessageBox(QStringLiteral("OK"), &seen); });
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    if (how.startsWith(QLatin1String("limit"))) {
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    window->findChild<QAction *>(QStringLiteral("actionExport_wyniku_do_CSV"))->trigger();
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY2(seen.contains(QDir::toNativeSeparators(path)), qPrintable(seen));
    if (how == QLatin1String("limitOver")) {
        QCOMPARE(Entries(here.path()), QStringList{QStringLiteral("r.pdf")});
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
    } else if (how == QLatin1String("pipe")) {
        QCOMPARE(Entries(here.path()), QStringList{QStringLiteral("r.pdf")});
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
    } else {
        QCOMPARE(Entries(here.path()), QStringList());
    }
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastSaveCSVPath"), FolderOf(path));
#endif
}

// "Drukuj…" in the chart's context menu previews the same one page.
void TestReport::printPreviewFromChart()
{
    std::unique_ptr<MainWindow> window = WindowShowing(QStringLiteral("db"), kKomentarz);
    QVERIFY(window);
    auto *plot = window->findChild<QCustomPlot *>(QStringLiteral("plot"));
    const QCPRange shownRange = plot->xAxis->range();

    QStringList menuTexts;
    int previewPages = -1;
    WhenModal([&](QWidget *w) {
        if (auto *preview = w->findChild<QPrintPreviewWidget *>())
            previewPages = preview->pageCount();
        static_cast<QDialog *>(w)->reject();
    });
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, [&]() {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        poll.stop();
        QAction *print = nullptr;
        for (QAction *a : menu->actions()) {
            menuTexts << a->text();
            if (a->text() == QStringLiteral("Drukuj…"))
                print = a;
        }
        if (print)
            menu->setActiveAction(print);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    poll.start();
    emit plot->customContextMenuRequested(QPoint(50, 50));
    QTRY_VERIFY(previewPages >= 0);

    QCOMPARE(menuTexts.last(), QStringLiteral("Drukuj…"));
    QCOMPARE(previewPages, 1);
    // The chart on screen is untouched by being drawn on paper.
    QCOMPARE(plot->xAxis->range(), shownRange);
}

void TestReport::objectReport_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("no measurement") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("300 measurements") << 300;
}

void TestReport::objectReport()
{
    QFETCH(int, rows);

    QCustomPlot plot;
    plot.resize(700, 400);
    plot.addGraph()->setName(QStringLiteral("R [mΩ]"));
    TObiektReport data;
    data.obiekt = QStringLiteral("Szyna Ł1");
    data.serial = QStringLiteral("ZYM5-0042");
    data.reference = QStringLiteral("12.00 mΩ, pomiar odniesienia");
    data.count = rows;
    data.first = QStringLiteral("pierwszy dzień");
    data.last = QStringLiteral("ostatni dzień");
    data.latestChange = QStringLiteral("+1.5 %");
    data.header = QStringList{QStringLiteral("Czas"), QStringLiteral("R"), QStringLiteral("Zmiana"),
                              QStringLiteral("Metoda"), QStringLiteral("Komentarz")};
    const QDateTime start(QDate(2020, 3, 1), QTime(8, 0));
    QStringList times;
    for (int i = 0; i < rows; ++i) {
        times << start.addSecs(qint64(i) * 7 * 3600).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        plot.graph(0)->addData(i, 12 + i * 0.01);
        data.rows.append({times.last(), QStringLiteral("%1 mΩ").arg(12 + i * 0.01, 0, 'f', 2),
                          QStringLiteral("+0.1 %"), QStringLiteral("3P"), QStringLiteral("okresowy, ząb %1").arg(i)});
    }
    plot.rescaleAxes();

    QTemporaryDir here;
    const QString path = here.filePath(QStringLiteral("historia.pdf"));
    QString reason;
    QCOMPARE(SaveObiektReport(path, data, &plot, &reason), ReplaceFileOk);

    const int pages = PdfPages(path);
    if (rows == 0) { // one page that says there is nothing to chart or list
        QCOMPARE(pages, 1);
        QVERIFY(PdfText(path, 1).contains(QStringLiteral("Obiekt nie ma zapisanych pomiarów.")));
        return;
    }
    QVERIFY(pages >= 2);
    const QString first = PdfText(path, 1);
    for (const QString &s : {data.obiekt, data.reference, QStringLiteral("ZYM5-0042"), data.first, data.last,
                             data.latestChange, QStringLiteral("Liczba pomiarów")})
        QVERIFY2(first.contains(s), qPrintable(s + QStringLiteral(" not in:\n") + first));
    QVERIFY(!first.contains(QStringLiteral("2020-")));

    // Every page carries "strona N z M", every table page the header once;
    // the table pages between the first (which has the caption) and the
    // last are all equally full.
    QString table;
    QVector<int> perPage;
    for (int p = 1; p <= pages; ++p) {
        const QString text = PdfText(path, p);
        QVERIFY2(text.contains(QStringLiteral("strona %1 z %2").arg(p).arg(pages)), qPrintable(text));
        if (p == 1)
            continue;
        QCOMPARE(text.count(QStringLiteral("Zmiana")), 1);
        perPage << text.count(QStringLiteral("2020-"));
        table += text;
    }
    for (const QString &t : times)
        QVERIFY2(table.count(t) == 1, qPrintable(t));
    const int full = perPage.size() > 1 ? perPage.at(1) : perPage.first();
    for (int p = 0; p < perPage.size(); ++p) {
        QVERIFY(perPage.at(p) > 0 || rows == 0);
        QVERIFY(perPage.at(p) <= full);
        if (p > 0 && p + 1 < perPage.size())
            QCOMPARE(perPage.at(p), full);
    }
}

void TestReport::objectReportThroughDialog_data()
{
    QTest::addColumn<QString>("typed");   // the name typed into the dialog
    QTest::addColumn<QString>("written"); // the file expected, empty for none
    QTest::newRow("no suffix typed") << "historia" << "historia.pdf";
    QTest::newRow("missing folder") << "brak/historia.pdf" << "";
}

void TestReport::objectReportThroughDialog()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    TObiektReport data;
    data.obiekt = QStringLiteral("Szyna 1/2: \"A\"");
    data.header = QStringList{QStringLiteral("Czas"), QStringLiteral("R")};
    data.rows = {{QStringLiteral("2020-03-01 08:00"), QStringLiteral("12.00 mΩ")}};

    QTemporaryDir here;
    QString folder = here.path() + QStringLiteral("/");
    QString proposed, seen;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QLineEdit *edit = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!edit)
            return static_cast<QDialog *>(w)->reject();
        proposed = edit->text();
        edit->setText(here.filePath(typed));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    if (written.isEmpty())
        AnswerMessageBox(QStringLiteral("OK"), &seen);
    const bool saved = SaveObiektReportAs(nullptr, data, nullptr, &folder);

    // The object's name cannot make folders out of the proposal.
    QVERIFY2(proposed.startsWith(QStringLiteral("Historia_Szyna 1_2_ _A__")), qPrintable(proposed));
    QCOMPARE(saved, !written.isEmpty());
    QCOMPARE(folder, FolderOf(here.filePath(typed)));
    if (written.isEmpty()) {
        QVERIFY2(seen.contains(QDir::toNativeSeparators(here.filePath(typed))), qPrintable(seen));
        QCOMPARE(Entries(here.path()), QStringList());
    } else {
        QCOMPARE(Entries(here.path()), QStringList{written});
        QCOMPARE(PdfPages(here.filePath(written)), 2);
    }
}

QTEST_MAIN(TestReport)
#include "test_report.moc"
