// Browsing a local database as a user does it: open it through the file
// dialog, click objects and measurements, edit a comment and answer the
// question, open another database, close. Real SQLite files and data files.

#include "app/mainwindow.h"
#include "chart/dialogwykres.h"
#include "database/tdatabase.h"
#include "simulator/zymsim.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <qcustomplot.h>

#include <ctime>
#include <sys/stat.h>
#include <memory>

using namespace testsupport;

namespace {

const QString kQuestion = QStringLiteral("Pole komentarza uległo zmianie. Zapisać komentarz w bazie danych?");

// Looks like markup to a rich-text editor, which would show and save it changed.
const QString kKomentarz1 = QStringLiteral("<b>Uwaga</b> R<5 mΩ &amp; 'L1'");

/// A data file for measurement `id` whose content tells it apart.
std::unique_ptr<TDataPomiar> RecordFor(int id)
{
    std::unique_ptr<TDataPomiar> rec = PulseRecord(2.0 + id, 0.1 * id);
    rec->czas = 1600000000 + id;
    return rec;
}

} // namespace

class TestDataBaseBrowse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void measurementListTexts_data();
    void measurementListTexts();
    void measurementListByValue();
    void unknownTimes();
    void objectLookup_data();
    void objectLookup();
    void displayFromAnyColumn_data();
    void displayFromAnyColumn();
    void outOfRangeAndMethod();
    void commentSavedAsTyped();
    void lineEndsKept_data();
    void lineEndsKept();
    void longParagraphKept_data();
    void longParagraphKept();
    void sameCommentShownAgain();
    void everyRoadAsks_data();
    void everyRoadAsks();
    void questionAsked_data();
    void questionAsked();
    void objectClickAsksThenForgets();
    void commentOfAnOpenedFileIsNeverSaved();
    void failedSaveKeepsTheEdit();
    void unusableDataFile_data();
    void unusableDataFile();
    void chartDialogFollows();
    void simulatedMeter();
    void openAnotherClearsShownMeasurement();
    void closeEmptiesWindow();
    void cancelChangesNothing();
    void notADataBase();

private:
    /// A database with objects "Rozdzielnia", "Złącze 'ZK-7'" and two
    /// objects named "Szyna L1", and data files for measurements 1..4.
    QString MakeBrowseDataBase(QTemporaryDir &dir, const QString &name = QStringLiteral("zym_5.db"));
};

void TestDataBaseBrowse::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    // The list shows local time: a zone with summer time tells it from a fixed offset.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
}

void TestDataBaseBrowse::cleanup()
{
    RemoveIni();
}

QString TestDataBaseBrowse::MakeBrowseDataBase(QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QVector<TTestPomiar> rows;
    TTestPomiar p1(1, 1, 0.25);
    p1.komentarz = kKomentarz1;
    p1.metoda = 0x80;
    TTestPomiar p2(2, 1, 1.5);
    p2.komentarz = QStringLiteral("Drugi");
    TTestPomiar p3(3, 2, 3.0);
    TTestPomiar p4(4, 3, 4.0); // the first "Szyna L1"
    TTestPomiar p5(5, 4, 5.0); // the second "Szyna L1"
    TTestPomiar p6(6, 4, 6.0);
    rows << p1 << p2 << p3 << p4 << p5 << p6;
    const QString error = MakeDataBase(path,
                                       {QStringLiteral("Rozdzielnia"), QStringLiteral("Złącze 'ZK-7'"),
                                        QStringLiteral("Szyna L1"), QStringLiteral("Szyna L1")},
                                       rows);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    for (int id = 1; id <= 6; ++id)
        WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(id)), *RecordFor(id));
    return path;
}

// ---------------------------------------------------------------- the tables

void TestDataBaseBrowse::measurementListTexts_data()
{
    QTest::addColumn<double>("rezystancja");
    QTest::addColumn<int>("czas");
    QTest::addColumn<QVariant>("wynik");
    QTest::addColumn<QString>("data");
    const QString inf = QString(QChar(0x221E));
    QTest::newRow("999.6 rounds to 1000") << 999.6 << 0 << QVariant(1000.0) << "1970-01-01 01:00:00";
    QTest::newRow("99.96 rounds to 100") << 99.96 << 0 << QVariant(100.0) << "1970-01-01 01:00:00";
    QTest::newRow("9.996 rounds to 10") << 9.996 << 0 << QVariant(10.0) << "1970-01-01 01:00:00";
    QTest::newRow("1.236 two decimals") << 1.236 << 0 << QVariant(1.24) << "1970-01-01 01:00:00";
    // Below 1 Ω four significant digits in engineering units: three
    // decimals of ohms showed a 0.4 mΩ contact as 0.
    QTest::newRow("0.5") << 0.5 << 0 << QVariant(QStringLiteral("500.0 mΩ")) << "1970-01-01 01:00:00";
    QTest::newRow("0.0004") << 0.0004 << 0 << QVariant(QStringLiteral("400.0 µΩ")) << "1970-01-01 01:00:00";
    QTest::newRow("45.12 uOhm") << 45.12e-6 << 0 << QVariant(QStringLiteral("45.12 µΩ")) << "1970-01-01 01:00:00";
    QTest::newRow("negative") << -2.5 << 0 << QVariant(-2.5) << "1970-01-01 01:00:00";
    QTest::newRow("1000 is infinite") << 1000.0 << 0 << QVariant(inf) << "1970-01-01 01:00:00";
    QTest::newRow("1e9 is infinite") << 1e9 << 0 << QVariant(inf) << "1970-01-01 01:00:00";
    // Local time (Warsaw): UTC + 2 h in summer, UTC + 1 h in winter.
    QTest::newRow("summer, local time") << 1.0 << 1625140800 << QVariant(1.0) << "2021-07-01 14:00:00";
    QTest::newRow("winter, local time") << 1.0 << 1610712000 << QVariant(1.0) << "2021-01-15 13:00:00";
    QTest::newRow("over midnight and new year") << 1.0 << 1609455600 << QVariant(1.0) << "2021-01-01 00:00:00";
}

void TestDataBaseBrowse::measurementListTexts()
{
    QFETCH(double, rezystancja);
    QFETCH(int, czas);
    QFETCH(QVariant, wynik);
    QFETCH(QString, data);
    QTemporaryDir dir;
    TTestPomiar p(42, 1, rezystancja);
    p.czas = czas;
    p.komentarz = QStringLiteral("Zażółć 'gęślą'");
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Wyniki")}, {p}), QString());

    TWindow t(dir.path());
    t.Open(path);
    QCOMPARE(t.Rows(t.obiekty), 1);
    t.ClickObiekt(0);
    QCOMPARE(t.Rows(t.pomiary), 1);
    QAbstractItemModel *m = t.pomiary->model();
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("KOMENTARZ"));
    QCOMPARE(t.pomiary->columnWidth(0), 1);
    QCOMPARE(m->index(0, 0).data().toInt(), 42);
    QCOMPARE(m->index(0, 1).data().toString(), data);
    const QVariant shown = m->index(0, 2).data();
    if (wynik.type() == QVariant::String)
        QCOMPARE(shown.toString(), wynik.toString());
    else
        QVERIFY2(qAbs(shown.toDouble() - wynik.toDouble()) < 1e-9, qPrintable(shown.toString()));
    QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("Zażółć 'gęślą'"));
}

// The result column sorts by value, whatever unit each row reads in; an
// out-of-range row reads as such, a row without a number as "brak".
void TestDataBaseBrowse::measurementListByValue()
{
    QTemporaryDir dir;
    TTestPomiar mOhm(1, 1, 0.01006), uOhm(2, 1, 45.12e-6), ohms(3, 1, 2.5), out(4, 1, 3.55), none(5, 1, 0),
        text(6, 1, 0);
    out.status = -1;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Wyniki")}, {mOhm, uOhm, ohms, out, none, text}), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_rezystancja = NULL WHERE pomiar_id = 5")), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_rezystancja = 'abc' WHERE pomiar_id = 6")), QString());

    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    QCOMPARE(t.Rows(t.pomiary), 6);
    t.pomiary->sortByColumn(2, Qt::AscendingOrder);
    QAbstractItemModel *m = t.pomiary->model();
    QStringList order, texts;
    for (int r = 0; r < m->rowCount(); ++r) {
        order << m->index(r, 0).data().toString();
        texts << m->index(r, 2).data().toString();
    }
    QCOMPARE(order, (QStringList{"5", "6", "2", "1", "3", "4"}));
    QCOMPARE(texts, (QStringList{"brak", "brak", "45.12 µΩ", "10.06 mΩ", "2.5", "Poza zakresem"}));
}

// A time that is none (NULL, a text, a fraction, before 1970) reads as
// unknown in the list and the result box, and sorts after the dated rows;
// a stored 0 is a time like any other.
void TestDataBaseBrowse::unknownTimes()
{
    QTemporaryDir dir;
    QVector<TTestPomiar> rows;
    for (int id = 1; id <= 6; ++id)
        rows << TTestPomiar(id, 1, 1.0);
    rows[0].czas = 1625140800;
    rows[5].czas = 0;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Wyniki")}, rows), QString());
    for (const char *sql : {"UPDATE pomiar SET pomiar_czas = NULL WHERE pomiar_id = 2",
                            "UPDATE pomiar SET pomiar_czas = 'abc' WHERE pomiar_id = 3",
                            "UPDATE pomiar SET pomiar_czas = -5 WHERE pomiar_id = 4",
                            "UPDATE pomiar SET pomiar_czas = 1625140800.5 WHERE pomiar_id = 5"})
        QCOMPARE(ExecSql(path, QLatin1String(sql)), QString());
    for (int id = 1; id <= 6; ++id)
        WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(id)), *RecordFor(id));

    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    QCOMPARE(t.Rows(t.pomiary), 6);
    QAbstractItemModel *m = t.pomiary->model();
    const QString unknown = QStringLiteral("nieznany");
    QStringList texts;
    for (int r = 0; r < m->rowCount(); ++r)
        texts << m->index(r, 1).data().toString();
    QCOMPARE(texts, (QStringList{"2021-07-01 14:00:00", unknown, unknown, unknown, unknown, "1970-01-01 01:00:00"}));

    t.pomiary->sortByColumn(1, Qt::AscendingOrder);
    QStringList order;
    for (int r = 0; r < m->rowCount(); ++r)
        order << m->index(r, 0).data().toString();
    QCOMPARE(order, (QStringList{"6", "1", "2", "3", "4", "5"}));
    t.pomiary->sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("2"));

    const struct {
        int id;
        const char *czas;
    } shown[] = {{2, "Zapisany: nieznany"}, {3, "Zapisany: nieznany"}, {4, "Zapisany: nieznany"},
                 {5, "Zapisany: nieznany"}, {6, "Zapisany: 1970-01-01        01:00:00"},
                 {1, "Zapisany: 2021-07-01        14:00:00"}};
    for (const auto &row : shown) {
        t.ClickPomiar(row.id);
        QCOMPARE(t.w->pomiarId(), row.id);
        QCOMPARE(t.Label("label_Czas"), QLatin1String(row.czas));
    }
}

void TestDataBaseBrowse::objectLookup_data()
{
    QTest::addColumn<int>("objectRow");
    QTest::addColumn<QList<int>>("ids");
    QTest::newRow("plain name") << 0 << QList<int>{1, 2};
    QTest::newRow("name with an apostrophe") << 1 << QList<int>{3};
    // Each object of a shared name lists its own measurements.
    QTest::newRow("shared name, first") << 2 << QList<int>{4};
    QTest::newRow("shared name, second") << 3 << QList<int>{5, 6};
}

void TestDataBaseBrowse::objectLookup()
{
    QFETCH(int, objectRow);
    QFETCH(QList<int>, ids);
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    QCOMPARE(t.Rows(t.obiekty), 4);
    t.ClickObiekt(objectRow);
    QList<int> listed;
    for (int r = 0; r < t.Rows(t.pomiary); ++r)
        listed << t.pomiary->model()->index(r, 0).data().toInt();
    QCOMPARE(listed, ids);
    const QString name = t.obiekty->model()->index(objectRow, 0).data().toString();
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt: ") + name);
}

// ---------------------------------------------------------------- one measurement

void TestDataBaseBrowse::displayFromAnyColumn_data()
{
    QTest::addColumn<int>("column");
    for (int c = 0; c < 4; ++c)
        QTest::newRow(qPrintable(QStringLiteral("column %1").arg(c))) << c;
}

void TestDataBaseBrowse::displayFromAnyColumn()
{
    QFETCH(int, column);
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    QVERIFY(!t.ResultShown());
    t.Open(path);
    QCOMPARE(t.w->statusBar()->currentMessage(), path);
    t.ClickObiekt(0);
    QVERIFY(!t.Action("actionExport_wyniku_do_CSV")->isEnabled());
    t.ClickPomiar(1, column);

    QCOMPARE(t.w->pomiarId(), 1);
    QVERIFY(t.ResultShown());
    QCOMPARE(t.Label("label_R"), QStringLiteral("R=250.0 m") + QChar(0x03A9));
    QCOMPARE(t.Label("label_Metoda"), QStringLiteral("Metoda:...3P"));
    QVERIFY(t.Label("label_Czas").startsWith(QStringLiteral("Zapisany: ")));
    // Shown as plain text, exactly as stored.
    QCOMPARE(t.komentarz->toPlainText(), kKomentarz1);
    QCOMPARE(t.komentarz->Komentarz(), kKomentarz1);
    QVERIFY(!t.komentarz->Edited());
    QVERIFY(DrawsRecord(t.Plot(), *RecordFor(1)));
    QCOMPARE(t.Plot()->graphCount(), 2);
    QCOMPARE(t.Plot()->graph(0)->dataCount(), 3000);
    QVERIFY(t.Action("actionExport_wyniku_do_CSV")->isEnabled());
}

void TestDataBaseBrowse::outOfRangeAndMethod()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    TTestPomiar p(9, 1, 0.5);
    p.status = -1;
    p.metoda = 0x100; // lowest byte clear: 2P
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {p}), QString());
    QVERIFY(WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_9.zym5")), *RecordFor(9)));
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(9);
    QCOMPARE(t.Label("label_R"), QStringLiteral("Poza zakresem"));
    QCOMPARE(t.Label("label_Metoda"), QStringLiteral("Metoda:.. 2P"));
}

// ---------------------------------------------------------------- the comment

void TestDataBaseBrowse::commentSavedAsTyped()
{
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.Type(QStringLiteral(" – żółć 'L1'"));
    QVERIFY(t.komentarz->Edited());

    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiar(2);
    QCOMPARE(watch.texts, QStringList{kQuestion});
    QCOMPARE(watch.titles, QStringList{QStringLiteral("Ostrzeżenie!")});
    QCOMPARE(KomentarzOf(path, 1), kKomentarz1 + QStringLiteral(" – żółć 'L1'"));
    QCOMPARE(KomentarzOf(path, 2), QStringLiteral("Drugi"));
    // The click went on to show the measurement clicked.
    QCOMPARE(t.w->pomiarId(), 2);
    QCOMPARE(t.komentarz->toPlainText(), QStringLiteral("Drugi"));
}

void TestDataBaseBrowse::lineEndsKept_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("saved"); // after typing Return and "c" at the end
    QTest::newRow("windows line ends") << "a\r\nb" << "a\r\nb\r\nc";
    QTest::newRow("old mac line ends") << "a\rb" << "a\rb\rc";
    QTest::newRow("unix line ends") << "a\nb" << "a\nb\nc";
    QTest::newRow("one line") << "ab" << "ab\nc";
}

// The editor turns every line end into one of its own: a comment written
// elsewhere keeps its line ends through an edit.
void TestDataBaseBrowse::lineEndsKept()
{
    QFETCH(QString, stored);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_komentarz = '%1' WHERE pomiar_id = 1").arg(stored)),
             QString());
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.komentarz->moveCursor(QTextCursor::End);
    QTest::keyClick(t.komentarz, Qt::Key_Return);
    t.Type(QStringLiteral("c"));
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(KomentarzOf(path, 1), saved);
}

// A paragraph far longer than the editor holds in one block of its document:
// an edit next to the editor's own breaks changes the comment as it would
// change one line, and nothing of the breaks reaches the database.
enum TLongEdit { TypeAtEnd, BackspaceAfterBreak, DeleteBeforeBreak, ReturnAfterBreak, LeftOverBreak, CopyPaste };

void TestDataBaseBrowse::longParagraphKept_data()
{
    QTest::addColumn<int>("edit");
    QTest::newRow("typed at the end") << int(TypeAtEnd);
    QTest::newRow("backspace after a break") << int(BackspaceAfterBreak);
    QTest::newRow("delete before a break") << int(DeleteBeforeBreak);
    QTest::newRow("return after a break") << int(ReturnAfterBreak);
    QTest::newRow("left over a break, then typed") << int(LeftOverBreak);
    QTest::newRow("copied and pasted at the end") << int(CopyPaste);
}

// The editor skips filling itself with the comment it already shows; what
// a fill resets must still be reset, and nothing else may pass for it.
void TestDataBaseBrowse::sameCommentShownAgain()
{
    TKomentarzEdit edit;
    edit.resize(200, 60);
    // The form's own rich text is no comment shown: an empty comment after
    // it is plain, and typed text does not take the form's font.
    edit.setHtml(QStringLiteral("<p style=\"font-size:30pt\"></p>"));
    edit.ShowKomentarz(QString());
    QTest::keyClicks(&edit, QStringLiteral("x"));
    QVERIFY(qRound(edit.currentCharFormat().fontPointSize()) != 30);

    const QString komentarz = QStringLiteral("Styk nadpalony");
    edit.ShowKomentarz(komentarz);
    QTest::keyClick(&edit, Qt::Key_End, Qt::ShiftModifier); // selected, not edited
    edit.ShowKomentarz(komentarz);
    QCOMPARE(edit.textCursor().position(), 0);
    QVERIFY(!edit.textCursor().hasSelection());
    QVERIFY(!edit.Edited());

    // An edit, even one saved, gives way to the same comment shown again.
    QTest::keyClicks(&edit, QStringLiteral("a"));
    edit.ForgetEdit();
    edit.ShowKomentarz(komentarz);
    QCOMPARE(edit.Komentarz(), komentarz);
    QVERIFY(!edit.Edited());
    QVERIFY(!edit.document()->isUndoAvailable());
}

void TestDataBaseBrowse::longParagraphKept()
{
    QFETCH(int, edit);
    QString paragraph;
    for (int i = 0; paragraph.size() < 3 * TKomentarzEdit::kLongParagraph; ++i)
        paragraph += QStringLiteral("styk%1 ").arg(i % 10);
    const QString stored = paragraph + QStringLiteral("\r\nkoniec");
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_komentarz = '%1' WHERE pomiar_id = 1").arg(stored)),
             QString());
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    QCOMPARE(t.komentarz->Komentarz(), QString(stored).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(!t.komentarz->Edited());
    QVERIFY(t.komentarz->document()->blockCount() > 3);

    // The first break: the end of block 0 is the same place in the text as
    // the start of block 1.
    const int atBreak = t.komentarz->document()->firstBlock().length() - 1;
    QTextCursor cursor = t.komentarz->textCursor();
    cursor.setPosition(atBreak + 1);
    t.komentarz->setTextCursor(cursor);
    QString expected = stored;
    switch (edit) {
    case TypeAtEnd:
        t.Type(QStringLiteral("a"));
        expected += QLatin1Char('a');
        break;
    case BackspaceAfterBreak:
        QTest::keyClick(t.komentarz, Qt::Key_Backspace);
        expected.remove(atBreak - 1, 1);
        break;
    case DeleteBeforeBreak:
        cursor.setPosition(atBreak);
        t.komentarz->setTextCursor(cursor);
        QTest::keyClick(t.komentarz, Qt::Key_Delete);
        expected.remove(atBreak, 1);
        break;
    case ReturnAfterBreak:
        QTest::keyClick(t.komentarz, Qt::Key_Return);
        QTest::keyClicks(t.komentarz, QStringLiteral("z"));
        expected.insert(atBreak, QStringLiteral("\r\nz"));
        break;
    case LeftOverBreak:
        QTest::keyClick(t.komentarz, Qt::Key_Left);
        QTest::keyClicks(t.komentarz, QStringLiteral("z"));
        expected.insert(atBreak - 1, QLatin1Char('z'));
        break;
    case CopyPaste:
        t.komentarz->selectAll();
        t.komentarz->copy();
        t.komentarz->moveCursor(QTextCursor::End);
        t.komentarz->paste();
        expected += stored;
        break;
    }
    QVERIFY(t.komentarz->Edited());
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), 1);
    const QString saved = KomentarzOf(path, 1);
    QCOMPARE(saved.size(), expected.size());
    QVERIFY(saved == expected);
}

void TestDataBaseBrowse::everyRoadAsks_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("stays"); // the measurement is still shown, the edit with it
    QTest::newRow("object click") << "obiekt" << "TAK" << true << false;
    QTest::newRow("open a database") << "baza" << "TAK" << true << false;
    QTest::newRow("open a data file") << "plik" << "TAK" << true << false;
    QTest::newRow("connect") << "polacz" << "TAK" << true << false;
    QTest::newRow("disconnect, declined") << "rozlacz" << "NIE" << false << false;
    QTest::newRow("quit") << "zakoncz" << "TAK" << true << false;
    QTest::newRow("quit, declined") << "zakoncz" << "NIE" << false << false;
    QTest::newRow("quit, cancelled") << "zakoncz" << "Anuluj" << false << true;
}

void TestDataBaseBrowse::everyRoadAsks()
{
    QFETCH(QString, road);
    QFETCH(QString, answer);
    QFETCH(bool, saved);
    QFETCH(bool, stays);
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    MakeBrowseDataBase(dir, QStringLiteral("nie_ma_miernika.db")); // the meter's, for "Połącz"
    TWindow t(dir.path());
    t.w->SetReachabilityCheck([](QString) { return true; });
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.Type(QStringLiteral(" – sprawdzony"));
    const QString edited = t.komentarz->toPlainText();

    TMessageBoxWatch watch(answer);
    if (road == QLatin1String("obiekt")) {
        t.ClickObiekt(1);
    } else if (road == QLatin1String("baza")) {
        t.Open(path);
    } else if (road == QLatin1String("plik")) {
        AnswerFileDialog(dir.filePath(QStringLiteral("pomiar_3.zym5")));
        t.Action("actionOpenPomiar")->trigger();
    } else if (road == QLatin1String("polacz")) {
        t.Action("actionOpenZYMDataBase")->trigger();
    } else if (road == QLatin1String("rozlacz")) {
        t.Action("actionCloaseZYMDataBase")->setEnabled(true);
        t.Action("actionCloaseZYMDataBase")->trigger();
    } else {
        QCOMPARE(t.w->close(), !stays);
    }
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(watch.texts.value(0), kQuestion);
    QCOMPARE(KomentarzOf(path, 1), saved ? edited : kKomentarz1);
    // Quitting leaves the measurement on screen as the window goes.
    QCOMPARE(road == QLatin1String("zakoncz") ? t.w->isVisible() : t.w->pomiarId() == 1, stays);
    if (stays)
        QCOMPARE(t.komentarz->toPlainText(), edited);
}

void TestDataBaseBrowse::questionAsked_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("undone"); // the typing deleted again with Backspace
    QTest::addColumn<int>("questions");
    QTest::newRow("shown, not edited") << "" << false << 0;
    QTest::newRow("one character typed") << "x" << false << 1;
    QTest::newRow("typed and deleted again") << "x" << true << 1;
}

void TestDataBaseBrowse::questionAsked()
{
    QFETCH(QString, typed);
    QFETCH(bool, undone);
    QFETCH(int, questions);
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    TMessageBoxWatch watch(QStringLiteral("NIE"));
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.Type(typed);
    if (undone)
        QTest::keyClick(t.komentarz, Qt::Key_Backspace);
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), questions);
    QCOMPARE(t.w->pomiarId(), 2);
    QCOMPARE(KomentarzOf(path, 1), kKomentarz1);
}

void TestDataBaseBrowse::commentOfAnOpenedFileIsNeverSaved()
{
    // A measurement opened from a file has no row in the database: editing
    // its comment must not overwrite the comment of the row clicked before.
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    AnswerFileDialog(dir.filePath(QStringLiteral("pomiar_3.zym5")));
    t.Action("actionOpenPomiar")->trigger();
    QVERIFY(t.komentarz->toPlainText().startsWith(QStringLiteral("Pomiar odczytany z pliku: ")));
    t.Type(QStringLiteral(" edytowany"));

    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), 0);
    QCOMPARE(KomentarzOf(path, 1), kKomentarz1);
    QCOMPARE(t.w->pomiarId(), 2);
}

void TestDataBaseBrowse::objectClickAsksThenForgets()
{
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(2);
    t.Type(QStringLiteral(" poprawiony"));

    TMessageBoxWatch watch(QStringLiteral("NIE"));
    t.ClickObiekt(1);
    QCOMPARE(watch.Count(), 1);
    // Declined, the edit goes with the measurement: nothing is left to ask about.
    QCOMPARE(t.komentarz->toPlainText(), QString());
    QVERIFY(!t.Action("actionExport_wyniku_do_CSV")->isEnabled());
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt: Złącze 'ZK-7'"));
    t.ClickObiekt(0);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(KomentarzOf(path, 2), QStringLiteral("Drugi"));

    // "TAK" writes the edit to the measurement it was made on, once.
    t.ClickPomiar(2);
    t.Type(QStringLiteral(" poprawiony"));
    watch.SetAnswer(QStringLiteral("TAK"));
    t.ClickObiekt(2);
    QCOMPARE(watch.Count(), 2);
    QCOMPARE(KomentarzOf(path, 2), QStringLiteral("Drugi poprawiony"));
    QCOMPARE(ReadValue(path, QStringLiteral("SELECT count(*) FROM pomiar WHERE pomiar_komentarz='Drugi poprawiony'"))
                 .toInt(), 1);
}

void TestDataBaseBrowse::failedSaveKeepsTheEdit()
{
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    QCOMPARE(ExecSql(path, QStringLiteral("CREATE TRIGGER blokada BEFORE UPDATE ON pomiar BEGIN "
                                          "SELECT RAISE(ABORT, 'komentarze zablokowane'); END")),
             QString());
    TWindow t(dir.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.Type(QStringLiteral("!"));

    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), 2);
    QCOMPARE(watch.texts[0], kQuestion);
    QVERIFY2(watch.texts[1].contains(QStringLiteral("komentarze zablokowane")), qPrintable(watch.texts[1]));
    // Nothing moved on: the edit is still there to be saved.
    QCOMPARE(t.w->pomiarId(), 1);
    QCOMPARE(t.komentarz->toPlainText(), kKomentarz1 + QStringLiteral("!"));
    QCOMPARE(KomentarzOf(path, 1), kKomentarz1);

    // The question comes again; giving up lets the click through.
    watch.SetAnswer(QStringLiteral("NIE"));
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), 3);
    QCOMPARE(watch.texts[2], kQuestion);
    QCOMPARE(t.w->pomiarId(), 2);
}

// ---------------------------------------------------------------- data files

void TestDataBaseBrowse::unusableDataFile_data()
{
    QTest::addColumn<QString>("plikDane");
    QTest::addColumn<qint64>("bytes"); // of the file written under that name (-1 none, -2 a pipe)
    QTest::addColumn<bool>("shown");
    QTest::newRow("missing") << "brak.zym5" << qint64(-1) << false;
    QTest::newRow("short") << "krotki.zym5" << kPomiarFileSize - 4 << false;
    QTest::newRow("empty") << "pusty.zym5" << qint64(0) << false;
    QTest::newRow("a pipe") << "fifo.zym5" << qint64(-2) << false;
    QTest::newRow("climbs out of the folder") << "../obcy.zym5" << kPomiarFileSize << false;
    QTest::newRow("absolute") << "@ABS@" << kPomiarFileSize << false;
    QTest::newRow("subfolder is fine") << "2023/p.zym5" << kPomiarFileSize << true;
}

void TestDataBaseBrowse::unusableDataFile()
{
    QFETCH(QString, plikDane);
    QFETCH(qint64, bytes);
    QFETCH(bool, shown);
    QTemporaryDir top;
    QVERIFY(QDir(top.path()).mkpath(QStringLiteral("baza/2023")));
    const QString folder = top.filePath(QStringLiteral("baza"));
    const QString absolute = top.filePath(QStringLiteral("obcy.zym5"));
    plikDane.replace(QStringLiteral("@ABS@"), absolute);

    TTestPomiar good(1, 1, 0.5);
    TTestPomiar bad(2, 1, 0.75);
    bad.plik_dane = plikDane;
    bad.komentarz = QStringLiteral("nie pokazany");
    const QString path = folder + QStringLiteral("/zym_5.db");
    QCOMPARE(MakeDataBase(path, {QStringLiteral("O")}, {good, bad}), QString());
    QVERIFY(WriteRecordBytes(folder + QStringLiteral("/pomiar_1.zym5"), *RecordFor(1)));
    if (bytes >= 0)
        QVERIFY(WriteRecordBytes(QDir(folder).absoluteFilePath(plikDane), *RecordFor(2), bytes));
#ifdef Q_OS_WIN
    if (bytes == -2)
        QSKIP("Windows keeps no named pipes among its files");
#endif
    if (bytes == -2)
        QCOMPARE(::mkfifo(QFile::encodeName(QDir(folder).absoluteFilePath(plikDane)).constData(), 0600), 0);

    TWindow t(top.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    QVERIFY(DrawsRecord(t.Plot(), *RecordFor(1)));

    if (!shown)
        QTest::ignoreMessage(QtDebugMsg, "Plik nie istnieje");
    t.ClickPomiar(2);
    if (shown) {
        QVERIFY(DrawsRecord(t.Plot(), *RecordFor(2)));
        QCOMPARE(t.komentarz->toPlainText(), QStringLiteral("nie pokazany"));
        return;
    }
    if (bytes >= 0 && bytes < kPomiarFileSize) {
        // Cut short: the row's own values, with no waveform.
        QCOMPARE(t.Label("label_R"), QStringLiteral("R=750.0 mΩ"));
        QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt: O"));
        QVERIFY(t.Label("label_Czas").startsWith(QStringLiteral("Zapisany: ")));
        QCOMPARE(t.Graphs(), 0);
    } else {
        QCOMPARE(t.Label("label_R"), QStringLiteral("R="));
        QCOMPARE(t.Label("label_Metoda"), QStringLiteral("Metoda"));
        QCOMPARE(t.Label("label_Czas"), QStringLiteral("Czas"));
        QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt"));
    }
    // The row was read: its comment is there to be seen before anyone edits it.
    QCOMPARE(t.komentarz->toPlainText(), QStringLiteral("nie pokazany"));
    QVERIFY(!t.komentarz->Edited());
    QCOMPARE(t.w->pomiarId(), qint64(2));
    QCOMPARE(t.Plot()->graphCount(), 0);
    // The record still held is measurement 1's: not to be exported under these labels.
    QVERIFY(!t.Action("actionExport_wyniku_do_CSV")->isEnabled());
}

void TestDataBaseBrowse::chartDialogFollows()
{
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    t.Action("actionOkno")->trigger();
    DialogWykres *chart = OnlyWindow<DialogWykres>();
    QVERIFY(chart);
    t.ClickObiekt(0);
    t.ClickPomiar(2);
    QCustomPlot *plot = chart->findChild<QCustomPlot *>(QStringLiteral("plot"));
    QVERIFY(plot && plot->graphCount() == 2);
    // Row 1500 is 10 ms: the dialog shows measurement 2's current there.
    const std::unique_ptr<TDataPomiar> rec = RecordFor(2);
    const double amps = rec->dane[1500][rec->kanalI] * rec->skala[rec->kanalI];
    auto it = plot->graph(0)->data()->findBegin(10.0, false);
    QVERIFY(it != plot->graph(0)->data()->constEnd());
    QCOMPARE(it->value, amps);
}

void TestDataBaseBrowse::simulatedMeter()
{
    QTemporaryDir dir;
    TSimOptions options;
    options.iObiekty = 6;
    options.iPomiary = 30;
    options.seed = 11;
    TSimMeter meter;
    QCOMPARE(SimWriteMeter(dir.path(), options, &meter), int(SimOk));

    TWindow t(dir.path());
    t.Open(meter.qsDataBase);
    QCOMPARE(t.Rows(t.obiekty), 6);
    // Objects 2 and 6 share a name: the row of object 2 lists its own measurements.
    t.ClickObiekt(1);
    QList<int> expected;
    for (const TSimPomiar &p : meter.pomiary)
        if (p.obiekt_id == 2)
            expected << p.pomiar_id;
    QCOMPARE(t.Rows(t.pomiary), expected.size());
    const TSimPomiar &p = meter.pomiary[expected.last() - 1];
    t.ClickPomiar(p.pomiar_id, 3);

    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    SimMakeRecord(p, options.seed, rec.get());
    QVERIFY(DrawsRecord(t.Plot(), *rec));
    QCOMPARE(t.Label("label_R"), p.status == -1 ? QStringLiteral("Poza zakresem")
                                                : QStringLiteral("R=") + QString::number(p.rezystancja, 'f', 3) + QChar(0x03A9));
    QCOMPARE(t.komentarz->toPlainText(), p.komentarz);
}

// ---------------------------------------------------------------- open and close

void TestDataBaseBrowse::openAnotherClearsShownMeasurement()
{
    QTemporaryDir dirA, dirB;
    const QString a = MakeBrowseDataBase(dirA, QStringLiteral("a.db"));
    const QString b = MakeBrowseDataBase(dirB, QStringLiteral("b.db"));
    QCOMPARE(ExecSql(b, QStringLiteral("UPDATE obiekt SET Obiekt_nazwa = 'B ' || Obiekt_nazwa")), QString());

    TWindow t(dirA.path());
    t.Open(a);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.Type(QStringLiteral(" (zmieniony w A)"));

    // Asked first, the edit goes to the measurement it was made on.
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.Open(b);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(t.w->statusBar()->currentMessage(), b);
    QCOMPARE(t.obiekty->model()->index(0, 0).data().toString(), QStringLiteral("B Rozdzielnia"));
    // Nothing of database A is left to click on or to save.
    QCOMPARE(t.Rows(t.pomiary), 0);
    QVERIFY(!t.ResultShown());
    QCOMPARE(t.w->pomiarId(), -1);
    QCOMPARE(appsupport::SavedSetting(t.w.get(), "Program/LastOpenPath"), dirB.path() + QLatin1Char('/'));

    t.ClickObiekt(0);
    t.ClickPomiar(2);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(KomentarzOf(b, 1), kKomentarz1);
    QCOMPARE(KomentarzOf(a, 1), kKomentarz1 + QStringLiteral(" (zmieniony w A)"));
}

void TestDataBaseBrowse::closeEmptiesWindow()
{
    QTemporaryDir dir;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(dir.path());
    t.Open(path);
    // A local open leaves the action states as they were.
    QVERIFY(t.Action("actionOpenDataBase")->isEnabled());
    QVERIFY(!t.Action("actionCloaseZYMDataBase")->isEnabled());
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    t.Type(QStringLiteral("niezapisany"));

    // The meter's connect enables "Rozłącz"; here it is enabled by hand.
    t.Action("actionCloaseZYMDataBase")->setEnabled(true);
    t.Action("actionPobierz_baz_danych")->setEnabled(true);
    t.Action("actionOpenDataBase")->setEnabled(false);
    t.Action("actionOpenZYMDataBase")->setEnabled(false);
    TMessageBoxWatch watch(QStringLiteral("NIE"));
    t.Action("actionCloaseZYMDataBase")->trigger();

    QCOMPARE(watch.Count(), 1);
    QVERIFY(!MeterDataBaseOpen());
    QCOMPARE(t.Rows(t.obiekty), 0);
    QCOMPARE(t.Rows(t.pomiary), 0);
    QCOMPARE(t.Label("label_R"), QStringLiteral("R="));
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt"));
    QCOMPARE(t.komentarz->toPlainText(), QString());
    QCOMPARE(t.Plot()->graphCount(), 0);
    QVERIFY(!t.ResultShown());
    QVERIFY(!t.Plot()->isVisible());
    QCOMPARE(t.w->statusBar()->currentMessage(), QStringLiteral(" "));
    QVERIFY(t.Action("actionOpenDataBase")->isEnabled());
    QVERIFY(t.Action("actionOpenZYMDataBase")->isEnabled());
    QVERIFY(!t.Action("actionCloaseZYMDataBase")->isEnabled());
    QVERIFY(!t.Action("actionPobierz_baz_danych")->isEnabled());
    QCOMPARE(KomentarzOf(path, 1), kKomentarz1);
}

void TestDataBaseBrowse::cancelChangesNothing()
{
    QTemporaryDir dir, elsewhere;
    const QString path = MakeBrowseDataBase(dir);
    TWindow t(elsewhere.path());
    t.Open(path);
    t.ClickObiekt(0);
    t.ClickPomiar(1);
    const QString folder = appsupport::SavedSetting(t.w.get(), "Program/LastOpenPath");

    QTest::ignoreMessage(QtDebugMsg, "Plik bazy danych:  \"\"");
    t.Open(QString()); // the dialog is cancelled
    QCOMPARE(appsupport::SavedSetting(t.w.get(), "Program/LastOpenPath"), folder);
    QCOMPARE(t.w->statusBar()->currentMessage(), path);
    QCOMPARE(t.Rows(t.obiekty), 4);
    QCOMPARE(t.Rows(t.pomiary), 2);
    QVERIFY(t.ResultShown());
    QCOMPARE(t.w->pomiarId(), 1);
}

void TestDataBaseBrowse::notADataBase()
{
    QTemporaryDir dir;
    const QString good = MakeBrowseDataBase(dir);
    const QString junk = dir.filePath(QStringLiteral("junk.db"));
    {
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'Z'));
    }
    TWindow t(dir.path());
    t.Open(good);
    t.ClickObiekt(0);

    TMessageBoxWatch watch(QStringLiteral("OK"));
    t.Open(junk);
    QCOMPARE(watch.Count(), 1);
    QVERIFY(watch.texts[0].startsWith(QStringLiteral("Błąd otwarcia bazy danych.")));
    // Neither the old lists nor the junk pass for an open database.
    QVERIFY(!MeterDataBaseOpen());
    QCOMPARE(t.Rows(t.obiekty), 0);
    QCOMPARE(t.Rows(t.pomiary), 0);
    QCOMPARE(t.w->statusBar()->currentMessage(), QStringLiteral(" "));

    // A good database opens as usual afterwards.
    t.Open(good);
    QCOMPARE(t.Rows(t.obiekty), 4);
    QCOMPARE(t.w->statusBar()->currentMessage(), good);
}

QTEST_MAIN(TestDataBaseBrowse)
#include "test_database_browse.moc"
