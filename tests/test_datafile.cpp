#include <QtTest>
class TestDataFile : public QObject { Q_OBJECT private slots: void placeholder() {} };
QTEST_GUILESS_MAIN(TestDataFile)
#include "test_datafile.moc"
