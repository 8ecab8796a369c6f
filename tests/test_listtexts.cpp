// The measurement list reads the time and result of a row only when a view
// asks for it. Whatever the meter stored (thresholds of the rounding,
// damaged times and values, random magnitudes), the list must read, sort
// and size exactly as when every row was read at once.

#include "database/pomiarymodel.h"
#include "database/tdatabase.h"
#include "database/ui/tableviews.h"
#include "support/dbsupport.h"

#include <QHeaderView>
#include <QRandomGenerator>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <ctime>
#include <memory>

using namespace testsupport;

namespace {

// pomiar_czas, pomiar_rezystancja, pomiar_status as SQL literals.
struct TStored
{
    QString czas, rezystancja, status;
};

QString Real(double value)
{
    return QString::number(value, 'g', 17);
}

/// Stored values near every edge the texts have.
QVector<TStored> EdgeRows()
{
    const QStringList czasy = {"NULL", "'abc'", "''", "-5", "-1", "0", "1", "86399", "172799", "172800",
                               "1625140800", "1625140800.5", "1000000000.0", "253402127999", "253402128000",
                               "253402300799", "253402300800", "9223372036854775807", "-9223372036854775808",
                               "1e20", "x'01'", "1609455600"};
    const QStringList values = {
        "999.6", "999.5", "999.4999", "999.49", "100", "99.96", "99.95", "99.9499", "10", "9.996", "9.995",
        "9.9949", "1", "1.2", "1.25", "1.236", "0.99995", "0.999949", "0.99994999", "0.1", "0.0999951",
        "0.099995", "0.09999499", "0.01", "0.001", "9.9995e-4", "9.99949e-4", "1e-6", "9.99995e-7",
        "1e-7", "1e-9", "1e-12", "1e-15", "9.9999e-16", "1e-16", "1e-300", "5e-324", "0", "-0.0", "-0.5",
        "-0.99996", "-0.00012345", "-1", "-1.5", "-2.5", "-999.6", "-1e9", "1e9", "1000", "1e308", "9e999",
        "-9e999", "'abc'", "''", "'12abc'", "NULL", "x'00'", "0.5", "0.0004", "45.12e-6", "0.01006"};
    QVector<TStored> rows;
    // Every time with several values: a list long enough to be read in parts.
    for (int i = 0; i < czasy.size() * values.size() / 3; ++i)
        rows << TStored{czasy.at(i % czasy.size()), values.at(i % values.size()), i % 17 == 5 ? "-1" : "0"};
    for (const QString &value : values) // each value also with a plain time and in range
        rows << TStored{"1700000000", value, "0"};
    return rows;
}

/// `count` rows of random magnitudes from attoohms to kiloohms, rounded
/// to a few decimals now and then, with random times.
QVector<TStored> RandomRows(quint32 seed, int count)
{
    QRandomGenerator random(seed);
    QVector<TStored> rows;
    for (int i = 0; i < count; ++i) {
        double value = std::pow(10.0, -18.0 + random.bounded(21.5)) * (1 + random.bounded(9.0)) / 10;
        if (random.bounded(4) == 0)
            value = std::round(value * std::pow(10.0, random.bounded(4))) / std::pow(10.0, random.bounded(4));
        if (random.bounded(10) == 0)
            value = -value;
        const qint64 czas = qint64(random.bounded(253402300800.0));
        rows << TStored{QString::number(czas), Real(value), random.bounded(30) == 0 ? "-1" : "0"};
    }
    return rows;
}

/// The shapes a view's texts of `column` have (digits 1-9 as 0), in
/// `rows` of `model` (all rows when empty).
QSet<QString> Shapes(const QAbstractItemModel *model, int column, const QVector<int> &rows, const QLocale &locale)
{
    QStyledItemDelegate delegate;
    QSet<QString> shapes;
    const int n = rows.isEmpty() ? model->rowCount() : rows.size();
    for (int i = 0; i < n; ++i) {
        const int r = rows.isEmpty() ? i : rows.at(i);
        QString text = delegate.displayText(model->index(r, column).data(), locale);
        for (QChar &ch : text) {
            if (ch >= QLatin1Char('1') && ch <= QLatin1Char('9'))
                ch = QLatin1Char('0');
        }
        shapes.insert(text);
    }
    return shapes;
}

/// A view sized as the window sizes its measurement list.
void ShowList(QTableView *view, QAbstractItemModel *model)
{
    view->resize(480, 300);
    view->setModel(model);
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->setColumnWidth(0, 1);
    view->setColumnWidth(1, 150);
    view->setColumnWidth(2, 62);
    view->setColumnWidth(3, 203);
    view->horizontalHeader()->setStretchLastSection(true);
    view->show();
    FitColumns(view);
}

QStringList Column(const QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, column).data().toString();
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(QVector<TStored>)

class TestListTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsWholeList_data();
    void sameAsWholeList();
};

void TestListTexts::initTestCase()
{
    // Summer time moves the local time across the ends of the range.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
}

void TestListTexts::sameAsWholeList_data()
{
    QTest::addColumn<QVector<TStored>>("stored");
    QTest::newRow("edges and damaged values") << EdgeRows();
    QTest::newRow("random values 1") << RandomRows(1, 3000);
    QTest::newRow("random values 2") << RandomRows(2, 3000);
}

void TestListTexts::sameAsWholeList()
{
    QFETCH(QVector<TStored>, stored);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    // Object 1 has every fourth row: a list looked up by rowid.
    QCOMPARE(MakeDataBase(path, {"Lista", "Inne"}, {}), QString());
    QString sql = QStringLiteral("INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_rezystancja, pomiar_status, "
                                 "pomiar_komentarz, pomiar_obiekt_id) VALUES ");
    for (int i = 0; i < stored.size() * 4; ++i) {
        const TStored &s = stored.at(i / 4);
        sql += QStringLiteral("%1(%2, %3, %4, %5, 'k%2', %6)")
                   .arg(i ? "," : "")
                   .arg(i + 1)
                   .arg(i % 4 ? "1600000000" : s.czas, i % 4 ? "1.5" : s.rezystancja, i % 4 ? "0" : s.status)
                   .arg(i % 4 ? 2 : 1);
    }
    QCOMPARE(ExecSql(path, sql), QString());

    TDataBase baza;
    QCOMPARE(baza.Open(path), TDataBase::OpenOk);
    std::unique_ptr<QSqlQueryModel> objects(baza.ObiektyModel());
    QVERIFY(objects);
    TDataBase::bFormatWholeList = false;
    QSqlQueryModel *lazySource = baza.PomiaryModel(1);
    QVERIFY(dynamic_cast<TPomiaryModel *>(lazySource));
    TDataBase::bFormatWholeList = true;
    QSqlQueryModel *wholeSource = baza.PomiaryModel(1);
    TDataBase::bFormatWholeList = false;
    QVERIFY(!dynamic_cast<TPomiaryModel *>(wholeSource));
    TListModel lazy(lazySource), whole(wholeSource);
    QCOMPARE(lazy.rowCount(), stored.size());

    // The few rows a list reads to size a column show every shape it has,
    // in any language's way of writing numbers.
    for (int c : {1, 2}) {
        QVector<int> some;
        QVERIFY(lazy.ShapeRows(c, &some));
        QVERIFY(some.size() < 200);
        for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::Polish), QLocale(QLocale::German)})
            QCOMPARE(Shapes(&lazy, c, some, locale), Shapes(&whole, c, {}, locale));
    }

    QTableView lazyView, wholeView;
    ShowList(&lazyView, &lazy);
    ShowList(&wholeView, &whole);
    for (int c = 0; c < 4; ++c)
        QCOMPARE(lazyView.columnWidth(c), wholeView.columnWidth(c));

    for (int r = 0; r < lazy.rowCount(); ++r) {
        for (int c = 0; c < 4; ++c) {
            for (int role : {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole}) {
                const QVariant a = lazy.index(r, c).data(role), b = whole.index(r, c).data(role);
                QCOMPARE(a.userType(), b.userType());
                QCOMPARE(a.isNull(), b.isNull());
                QCOMPARE(a, b);
            }
        }
    }

    for (int c : {1, 2}) {
        lazyView.sortByColumn(c, Qt::AscendingOrder);
        wholeView.sortByColumn(c, Qt::AscendingOrder);
        QCOMPARE(Column(&lazy, 0), Column(&whole, 0));
    }
}

QTEST_MAIN(TestListTexts)
#include "test_listtexts.moc"
