// Object reports at their edges, read with pdftotext and looked at with
// pdftoppm: a field taller than a page, the history chart's legend and
// selection, the chart drawn without its window, an object without
// measurements, and a long report stopped from its progress dialog.

#include "historia/historia.h"
#include "historia/ui/dialoghistoria.h"
#include "historia/ui/historiachart.h"
#include "report/ui/reports.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qcustomplot.h>

namespace {

QString Run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString &path)
{
    return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(Run(QStringLiteral("pdfinfo"), {path}))
        .captured(1)
        .toInt();
}

QString PdfText(const QString &path, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return Run(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
}

/// Keeps a copy of `path` in $ZYM_SHOTS, when that is set, to be looked at.
void Keep(const QString &path, const QString &name)
{
    const QString shots = qEnvironmentVariable("ZYM_SHOTS");
    if (!shots.isEmpty())
        QFile::copy(path, shots + QLatin1Char('/') + name);
}

TObiektReport Report(int rows)
{
    TObiektReport data;
    data.obiekt = QStringLiteral("Szyna L1");
    data.serial = QStringLiteral("ZYM5-0042");
    data.count = rows;
    data.header = HistoriaHeaders(false);
    for (int i = 0; i < rows; ++i)
        data.rows.append({QStringLiteral("2021-01-%1 10:00").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                          QStringLiteral("12,00 mΩ"), QStringLiteral("3P"), QStringLiteral("+0,1 %"),
                          QStringLiteral("+0,1 %"), QStringLiteral("okresowy %1").arg(i)});
    return data;
}

} // namespace

class TestReportPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
                     && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
                 "poppler-utils needed");
    }

    void fieldTallerThanAPageContinues()
    {
        // 5000 characters of name, every word numbered to be found again.
        QStringList words;
        for (int i = 0; i < 1000; ++i)
            words << QStringLiteral("n%1").arg(i, 4, 10, QLatin1Char('0'));
        TObiektReport data = Report(1);
        data.obiekt = words.join(QLatin1Char(' '));
        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("long.pdf"));
        QCOMPARE(SaveObiektReport(path, data, nullptr), ReplaceFileOk);
        Keep(path, QStringLiteral("report-long-field.pdf"));
        const int pages = PdfPages(path);
        QVERIFY(pages >= 3);
        QString all;
        for (int p = 1; p <= pages; ++p) {
            const QString text = PdfText(path, p);
            QVERIFY2(text.contains(QStringLiteral("strona %1 z %2").arg(p).arg(pages)), qPrintable(text));
            all += text;
        }
        for (const QString &w : words)
            QVERIFY2(all.count(w) == 1, qPrintable(w));
    }

    void tableRowTallerThanAPageContinues()
    {
        QStringList words;
        for (int i = 0; i < 1500; ++i)
            words << QStringLiteral("k%1").arg(i, 4, 10, QLatin1Char('0'));
        TObiektReport data = Report(3);
        data.rows[1].last() = words.join(QLatin1Char(' '));
        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("row.pdf"));
        QCOMPARE(SaveObiektReport(path, data, nullptr), ReplaceFileOk);
        Keep(path, QStringLiteral("report-long-row.pdf"));
        const int pages = PdfPages(path);
        QString all;
        for (int p = 1; p <= pages; ++p)
            all += PdfText(path, p);
        for (const QString &w : words)
            QVERIFY2(all.count(w) == 1, qPrintable(w));
        for (int i = 0; i < 3; ++i) // the rows before and after it are there too
            QVERIFY(all.contains(QStringLiteral("okresowy %1").arg(i)) || i == 1);
    }

    void historyChartAsPrinted()
    {
        QVector<THistoriaRow> rows(4);
        for (int i = 0; i < rows.size(); ++i) {
            rows[i].id = i + 1;
            rows[i].czas = 1600000000 + i * 86400;
            rows[i].R = 0.010 + 0.001 * i;
        }
        rows[2].status = -1; // out of range: a marker at the top edge
        DialogHistoria h(1, QStringLiteral("Szyna L1"), rows, QString());
        h.resize(900, 600);
        h.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h));
        h.findChild<QTableView *>(QStringLiteral("tV_Historia"))->selectRow(1); // the ring on the screen
        auto *plot = h.findChild<QCustomPlot *>();
        QVERIFY(plot);
        int ringed = 0;
        for (int g = 0; g < plot->graphCount(); ++g)
            ringed += plot->graph(g)->property(kScreenOnlyProperty).toBool() ? plot->graph(g)->dataCount() : 0;
        QCOMPARE(ringed, 1);

        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("historia.pdf"));
        QCOMPARE(SaveObiektReport(path, h.ReportData(), plot), ReplaceFileOk);
        Keep(path, QStringLiteral("report-history.pdf"));
        const QString first = PdfText(path, 1);
        QVERIFY2(first.contains(QStringLiteral("Poza zakresem")), qPrintable(first));
        QVERIFY2(!first.contains(QStringLiteral("Graph")), qPrintable(first));

        // The ring's orange is nowhere on the printed page.
        Run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                                         QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                         QStringLiteral("1"), path, here.filePath(QStringLiteral("page"))});
        const QStringList shots = QDir(here.path()).entryList({QStringLiteral("page*.png")});
        QCOMPARE(shots.size(), 1);
        const QImage page(here.filePath(shots.first()));
        QVERIFY(!page.isNull());
        int orange = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                orange += c.red() > 230 && c.green() > 110 && c.green() < 170 && c.blue() < 60;
            }
        QCOMPARE(orange, 0);
        // and the screen still shows it.
        ringed = 0;
        for (int g = 0; g < plot->graphCount(); ++g)
            ringed += plot->graph(g)->property(kScreenOnlyProperty).toBool() && plot->graph(g)->visible();
        QCOMPARE(ringed, 1);
    }

    void historyChartWithoutTheWindow()
    {
        // zymreader-cli draws the chart with no window: its page must be the window's.
        QVector<THistoriaRow> rows(5);
        for (int i = 0; i < rows.size(); ++i) {
            rows[i].id = i + 1;
            rows[i].czas = 1600000000 + i * 86400;
            rows[i].R = 0.010 + 0.0007 * (i % 3);
        }
        rows[3].status = -1;
        DialogHistoria h(1, QStringLiteral("Szyna L1"), rows, QString());
        h.SetReference(2);
        const TObiektReport data = h.ReportData();
        QCustomPlot bare;
        PlotHistoria(&bare, rows, 2);

        QTemporaryDir here;
        QImage pages[2];
        QCustomPlot *plots[2] = {h.findChild<QCustomPlot *>(), &bare};
        for (int i = 0; i < 2; ++i) {
            const QString path = here.filePath(QStringLiteral("historia%1.pdf").arg(i));
            QCOMPARE(SaveObiektReport(path, data, plots[i]), ReplaceFileOk);
            Run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                                             QStringLiteral("-singlefile"), path,
                                             here.filePath(QStringLiteral("page%1").arg(i))});
            pages[i] = QImage(here.filePath(QStringLiteral("page%1.png").arg(i)));
            QVERIFY(!pages[i].isNull());
        }
        QVERIFY(pages[0] == pages[1]);
    }

    void emptyHistoryOnOnePage()
    {
        DialogHistoria h(1, QStringLiteral("Szyna L1"), {}, QString());
        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("pusty.pdf"));
        QCOMPARE(SaveObiektReport(path, h.ReportData(), h.findChild<QCustomPlot *>()), ReplaceFileOk);
        Keep(path, QStringLiteral("report-empty.pdf"));
        QCOMPARE(PdfPages(path), 1);
        const QString text = PdfText(path);
        QVERIFY2(text.contains(QStringLiteral("Obiekt nie ma zapisanych pomiarów.")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("1970")), qPrintable(text));
    }

    void longReportCancelled()
    {
        QWidget parent;
        parent.show();
        QTemporaryDir here;
        const QString path = here.filePath(QStringLiteral("dlugi.pdf"));
        QString folder = here.path() + QLatin1Char('/');
        testsupport::AnswerFileDialog(path);
        int seen = 0;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&]() {
            for (QProgressDialog *d : parent.findChildren<QProgressDialog *>()) {
                if (d->isVisible() && !d->wasCanceled()) {
                    ++seen;
                    d->cancel();
                }
            }
            if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                QFAIL("a cancel is no failure to report");
        });
        poll.start();
        QVERIFY(!SaveObiektReportAs(&parent, Report(kLongReportRows), nullptr, &folder));
        poll.stop();
        QCOMPARE(seen, 1);
        QVERIFY(!QFile::exists(path));
    }

    // The print preview of a long history lays it out as the PDF does: with
    // the same progress, and a cancel closes the preview.
    void longPreviewCancelled()
    {
        QWidget parent;
        parent.show();
        int seen = 0;
        bool forced = false; // the preview stayed open after the cancel
        QTimer::singleShot(10000, &parent, [&]() {
            for (QPrintPreviewDialog *d : parent.findChildren<QPrintPreviewDialog *>()) {
                forced = true;
                d->reject();
            }
        });
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&]() {
            for (QProgressDialog *d : parent.findChildren<QProgressDialog *>()) {
                if (d->isVisible() && !d->wasCanceled()) {
                    ++seen;
                    d->cancel();
                }
            }
        });
        poll.start();
        PreviewObiektReport(Report(kLongReportRows), nullptr, &parent);
        poll.stop();
        QCOMPARE(seen, 1);
        QVERIFY(!forced);
    }
};

QTEST_MAIN(TestReportPages)
#include "test_report_pages.moc"
