// Names and comments as anyone may have typed them into a meter or a
// database: they are shown as the text they are, never as markup, and never
// steer a proposed file name.

#include "app/mainwindow.h"
#include "historia/ui/dialoghistoria.h"
#include "measurement/csvexport.h"
#include "report/reporttext.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <memory>

using namespace testsupport;

namespace {

// What a tool tip shows of `tip`: rich text is rendered, anything else is
// shown as written.
QString ShownToolTip(const QVariant &tip)
{
    const QString text = tip.toString();
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument doc;
    doc.setHtml(text);
    return doc.toPlainText();
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void init() { Q_INIT_RESOURCE(resources); }
    void cleanup() { RemoveIni(); }

    void namesAndCommentsShownAsText_data();
    void namesAndCommentsShownAsText();
    void messageBoxQuotesAsText();
    void proposedFileName_data();
    void proposedFileName();
};

void TestHostile::namesAndCommentsShownAsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("an image from a local file") << "<img src=file:///etc/passwd>";
    QTest::newRow("a big image") << "<img src=x width=600 height=600>";
    QTest::newRow("bold") << "<b>Szyna</b> L1";
    QTest::newRow("entities and a line break") << "R &lt; 5 &amp;\ndruga linia";
}

void TestHostile::namesAndCommentsShownAsText()
{
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath("zym_5.db");
    TTestPomiar p(1, 1, 0.01);
    p.komentarz = text;
    QCOMPARE(MakeDataBase(path, {text}, {p}), QString());
    QVERIFY(WriteRecordBytes(dir.filePath("pomiar_1.zym5"), *PulseRecord(2.0, 0.1)));
    WriteLoopbackIni(dir.filePath("nie_ma_miernika.db"), dir.path());
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    AnswerFileDialog(path);
    w.findChild<QAction *>("actionOpenDataBase")->trigger();
    auto *obiekty = w.findChild<QTableView *>("tV_Obiekty");
    auto *pomiary = w.findChild<QTableView *>("tV_Pomiary");
    QCOMPARE(obiekty->model()->rowCount(), 1);
    ClickCell(obiekty, 0, 0);

    auto *label = w.findChild<QLabel *>("label_obiekt");
    QCOMPARE(label->text(), "Obiekt: " + text);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(ShownToolTip(obiekty->model()->index(0, 0).data(Qt::ToolTipRole)), text);
    QCOMPARE(ShownToolTip(pomiary->model()->index(0, 3).data(Qt::ToolTipRole)), text);

    w.findChild<QAction *>("actionHistoria")->trigger();
    DialogHistoria *historia = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *h = qobject_cast<DialogHistoria *>(top))
            historia = h;
    QVERIFY(historia);
    auto *table = historia->findChild<QTableView *>();
    QVERIFY(table);
    const QAbstractItemModel *model = table->model();
    QString tip;
    for (int c = 0; c < model->columnCount(); ++c)
        if (!model->index(0, c).data(Qt::ToolTipRole).toString().isEmpty())
            tip = ShownToolTip(model->index(0, c).data(Qt::ToolTipRole));
    QCOMPARE(tip, text);
    for (QLabel *l : historia->findChildren<QLabel *>())
        if (l->text().contains(text))
            QCOMPARE(l->textFormat(), Qt::PlainText);
    delete historia;
}

void TestHostile::messageBoxQuotesAsText()
{
    // A damaged database whose object id is text: the warning quotes it.
    QTemporaryDir dir;
    const QString path = dir.filePath("zym_5.db");
    QCOMPARE(MakeDataBase(path, {"Uziom"}, {}), QString());
    QCOMPARE(ExecSql(path, "CREATE TABLE k AS SELECT * FROM obiekt"), QString());
    QCOMPARE(ExecSql(path, "DROP TABLE obiekt"), QString());
    QCOMPARE(ExecSql(path, "ALTER TABLE k RENAME TO obiekt"), QString());
    QCOMPARE(ExecSql(path, "UPDATE obiekt SET obiekt_id='<b>7</b>'"), QString());
    WriteLoopbackIni(dir.filePath("nie_ma_miernika.db"), dir.path());
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    AnswerFileDialog(path);
    w.findChild<QAction *>("actionOpenDataBase")->trigger();

    QStringList texts;
    QList<Qt::TextFormat> formats;
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, [&]() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        texts << box->text();
        formats << box->textFormat();
        box->buttons().first()->click();
    });
    poll.start();
    ClickCell(w.findChild<QTableView *>("tV_Obiekty"), 0, 0);
    poll.stop();
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts[0].contains("\"<b>7</b>\""), qPrintable(texts[0]));
    QCOMPARE(formats[0], Qt::PlainText);
}

void TestHostile::proposedFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("part"); // what reaches the proposed file name

    QTest::newRow("a right-to-left override") << QString::fromUtf8("Uziom\u202Efdp.exe") << "Uziom_fdp.exe";
    QTest::newRow("isolates and marks") << QString::fromUtf8("a\u2067b\u200Fc\u200Bd") << "a_b_c_d";
    QTest::newRow("control characters") << "a\tb\nc\x1b" << "a_b_c_";
    QTest::newRow("line separator") << QString::fromUtf8("a\u2028b") << "a_b";
    QTest::newRow("folder and drive parts") << "C:\\x/../y" << "C__x_.._y";
    QTest::newRow("tag characters outside the BMP")
        << QString::fromUtf8("a\U000E0001b\U000E0041\U000E007Fc") << "a_b__c";
    QTest::newRow("musical format characters") << QString::fromUtf8("a\U0001D173b\U0001D17Ac") << "a_b_c";
    QTest::newRow("unpaired surrogates") << (QString("a") + QChar(0xD800) + "b" + QChar(0xDC00)) << "a_b_";
    QTest::newRow("noncharacters and unassigned")
        << QString::fromUtf8("a\uFFFEb\U0010FFFFc\U000E0080d") << "a_b_c_d";
    QTest::newRow("letters outside the BMP stay")
        << QString::fromUtf8("Pole \U0001D400 \U0001F600") << QString::fromUtf8("Pole \U0001D400 \U0001F600");
    QTest::newRow("Polish letters stay") << QString::fromUtf8("Łódź pole 3") << QString::fromUtf8("Łódź pole 3");
}

void TestHostile::proposedFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, part);
    QCOMPARE(FileNamePart(name), part);
    QCOMPARE(TReportTexts::ObiektFileName(name, QDate(2026, 1, 2)), "Historia_" + part + "_2026-01-02");
}

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
