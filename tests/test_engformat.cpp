// The digits a micro-ohmmeter's results need: a value with its uncertainty,
// resistances below 1 Ω in engineering units where the result area, the
// CSV's label line and the reports write "R=", the measurement list's
// result cell, and a database column that holds no number.

#include "database/resulttexts.h"
#include "measurement/engformat.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestEngFormat : public QObject
{
    Q_OBJECT

private slots:
    void withUncertainty_data();
    void withUncertainty();
    void anyUnit_data();
    void anyUnit();
    void resultResistance_data();
    void resultResistance();
    void listCell_data();
    void listCell();
    void columnNumber_data();
    void columnNumber();
};

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

void TestEngFormat::withUncertainty_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("sigma");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("text");
    // Three decimals of mΩ hid the uncertainty as "± 0.00".
    QTest::newRow("12.3456 ± 0.0012 mOhm") << 12.3456e-3 << 1.2e-6 << "Ω" << QStringLiteral("12.3456 mΩ ± 0.0012 mΩ");
    QTest::newRow("1006.2 ± 1.3 uH") << 1006.2e-6 << 1.3e-6 << "H" << QStringLiteral("1.0062 mH ± 0.0013 mH");
    QTest::newRow("45.12 ± 0.37 uOhm") << 45.12e-6 << 0.37e-6 << "Ω" << QStringLiteral("45.12 µΩ ± 0.37 µΩ");
    QTest::newRow("uncertainty rounds up to 0.10") << 10e-3 << 0.0996e-3 << "Ω" << QStringLiteral("10.00 mΩ ± 0.10 mΩ");
    QTest::newRow("uncertainty above the value") << 2e-6 << 30e-6 << "H" << QStringLiteral("2 µH ± 30 µH");
    QTest::newRow("negative uncertainty as its size") << 1.5 << -0.025 << "Ω" << QStringLiteral("1.500 Ω ± 0.025 Ω");
    QTest::newRow("no uncertainty: no zero shown") << 0.125 << 0.0 << "Ω" << QStringLiteral("125.0 mΩ");
    QTest::newRow("value not a number") << kNaN << 1e-6 << "Ω" << QStringLiteral("—");
    // An inductance fitted to a resistive joint: zero within its uncertainty, no sign.
    QTest::newRow("rounds to zero from below") << -1e-11 << 3.2e-9 << "H" << QStringLiteral("0.0000 µH ± 0.0032 µH");
    QTest::newRow("small negative kept") << -4.1e-9 << 3.2e-9 << "H" << QStringLiteral("-0.0041 µH ± 0.0032 µH");
}

void TestEngFormat::withUncertainty()
{
    QFETCH(double, value);
    QFETCH(double, sigma);
    QFETCH(QString, unit);
    QFETCH(QString, text);
    QCOMPARE(FormatWithUncertainty(value, sigma, unit), text);
}

void TestEngFormat::anyUnit_data()
{
    // The chart's readouts: four digits, the locale's decimal sign.
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QChar>("point");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.88 A") << 1.88 << "A" << QChar('.') << QStringLiteral("1.880 A");
    QTest::newRow("12.5 mV, comma") << 12.5e-3 << "V" << QChar(',') << QStringLiteral("12,50 mV");
    QTest::newRow("1/0.06 ms") << 1 / 0.06e-3 << "Hz" << QChar('.') << QStringLiteral("16.67 kHz");
    QTest::newRow("999.96 mA rounds to amperes") << 0.99996 << "A" << QChar('.') << QStringLiteral("1.000 A");
    QTest::newRow("negative zero") << -0.0 << "A" << QChar(',') << QStringLiteral("0,000 A");
    QTest::newRow("negative") << -3.0 << "A" << QChar(',') << QStringLiteral("-3,000 A");
}

void TestEngFormat::anyUnit()
{
    QFETCH(double, value);
    QFETCH(QString, unit);
    QFETCH(QChar, point);
    QFETCH(QString, text);
    QCOMPARE(FormatEngineeringIn(value, unit, 4, point), text);
}

void TestEngFormat::resultResistance_data()
{
    QTest::addColumn<double>("ohms");
    QTest::addColumn<QString>("text");
    QTest::newRow("10.06 mOhm") << 10.06e-3 << QStringLiteral("10.06 mΩ");
    QTest::newRow("45.12 uOhm breaker contact") << 45.12e-6 << QStringLiteral("45.12 µΩ");
    QTest::newRow("0.115 Ohm") << 0.115 << QStringLiteral("115.0 mΩ");
    QTest::newRow("0.9999 Ohm") << 0.9999 << QStringLiteral("999.9 mΩ");
    // Rounded to four digits it is 1.000 Ω: the text from 1 Ω on.
    QTest::newRow("0.99996 Ohm") << 0.99996 << QStringLiteral("1.000Ω");
    QTest::newRow("1 Ohm") << 1.0 << QStringLiteral("1.000Ω");
    QTest::newRow("12.3456 Ohm") << 12.3456 << QStringLiteral("12.346Ω");
    QTest::newRow("999.95 Ohm") << 999.95 << QStringLiteral("999.950Ω");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0.000Ω");
    QTest::newRow("negative 2 mOhm") << -2e-3 << QStringLiteral("-2.000 mΩ");
    QTest::newRow("no number") << kNaN << QStringLiteral("brak");
}

void TestEngFormat::resultResistance()
{
    QFETCH(double, ohms);
    QFETCH(QString, text);
    QCOMPARE(ResultResistanceText(ohms, QStringLiteral("brak")), text);
}

void TestEngFormat::listCell_data()
{
    QTest::addColumn<QVariant>("wynik");
    QTest::addColumn<QVariant>("shown");
    QTest::newRow("10.06 mOhm") << QVariant(10.06e-3) << QVariant(QStringLiteral("10.06 mΩ"));
    QTest::newRow("45.12 uOhm") << QVariant(45.12e-6) << QVariant(QStringLiteral("45.12 µΩ"));
    QTest::newRow("from 1 Ohm as rounded") << QVariant(3.55) << QVariant(3.55);
    QTest::newRow("0.99996 Ohm reads 1") << QVariant(0.99996) << QVariant(1.0);
    QTest::newRow("out of range") << QVariant(QStringLiteral("Poza zakresem")) << QVariant(QStringLiteral("Poza zakresem"));
    QTest::newRow("open circuit") << QVariant(QStringLiteral("∞")) << QVariant(QStringLiteral("∞"));
    QTest::newRow("NULL") << QVariant(QVariant::Double) << QVariant(QStringLiteral("brak"));
}

void TestEngFormat::listCell()
{
    QFETCH(QVariant, wynik);
    QFETCH(QVariant, shown);
    QCOMPARE(ListResultCell(wynik), shown);
}

void TestEngFormat::columnNumber_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<double>("number");
    QTest::newRow("real") << QVariant(0.125) << 0.125;
    QTest::newRow("integer") << QVariant(qint64(7)) << 7.0;
    QTest::newRow("text of a number") << QVariant(QStringLiteral("0.125")) << 0.125;
    QTest::newRow("NULL") << QVariant(QVariant::Double) << kNaN;
    QTest::newRow("abc") << QVariant(QStringLiteral("abc")) << kNaN;
    QTest::newRow("decimal comma") << QVariant(QStringLiteral("1,5")) << kNaN;
}

void TestEngFormat::columnNumber()
{
    QFETCH(QVariant, value);
    QFETCH(double, number);
    const double read = ColumnNumber(value);
    QVERIFY2(read == number || (std::isnan(read) && std::isnan(number)), qPrintable(QString::number(read)));
}

QTEST_GUILESS_MAIN(TestEngFormat)
#include "test_engformat.moc"
