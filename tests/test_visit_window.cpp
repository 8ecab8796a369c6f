// The visit window reached from the main window's menu: a visit planned,
// saved, approved and its protocol written, as a technician does it; the
// file written is the protocol the command line writes.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/metersupport.h"
#include "support/testsupport.h"
#include "verdict/verdictstore.h"
#include "visit/ui/protokolpdf.h"
#include "visit/ui/wizytawindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

class TestVisitWindow : public QObject
{
    Q_OBJECT

private slots:
    void planApproveAndWrite();
};

void TestVisitWindow::planApproveAndWrite()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("zym_5.db"));
    const qint32 day = qint32(QDateTime(QDate(2026, 3, 10), QTime(9, 0)).toSecsSinceEpoch());
    QVector<TTestPomiar> pomiary{TTestPomiar(1, 1, 51e-6), TTestPomiar(2, 2, 95e-6), TTestPomiar(3, 2, 60e-6)};
    for (int i = 0; i < pomiary.size(); ++i)
        pomiary[i].czas = day + 600 * i;
    QCOMPARE(MakeDataBase(db, {QStringLiteral("Q1 L1"), QStringLiteral("Q1 L2"), QStringLiteral("Q1 L3")}, pomiary, true),
             QString());
    const QString archivePath = dir.filePath(QStringLiteral("archiwum.db"));
    {
        TArchive archive;
        QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
        QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
        TLimity l;
        l.dMax = 80e-6;
        for (const char *name : {"Q1 L1", "Q1 L2", "Q1 L3"})
            QCOMPARE(SaveLimity(&archive, QLatin1String(name), l), int(ArchiveOk));
    }
    QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                                "[Archiwum]\nPath=%1\nAutor=Anna Nowak\n")
                                     .arg(archivePath)));
    std::unique_ptr<MainWindow> w = appsupport::NewWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    // At the end of the meter's menu, after a separator.
    QAction *action = w->findChild<QAction *>(QStringLiteral("actionWizyty"));
    QVERIFY(action);
    const QList<QAction *> menu = qobject_cast<QMenu *>(action->parent())->actions();
    const int at = menu.indexOf(action);
    QVERIFY(at > 0 && at >= menu.size() - 2);
    QVERIFY(menu.at(at - 1)->isSeparator());
    action->trigger();
    TWizytaWindow *visit = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *v = qobject_cast<TWizytaWindow *>(top))
            visit = v;
    QVERIFY(visit && visit->isVisible());

    auto *numer = visit->findChild<QLineEdit *>(QStringLiteral("numer"));
    numer->setText(QStringLiteral("7/2026"));
    visit->findChild<QLineEdit *>(QStringLiteral("klient"))->setText(QStringLiteral("<i>ZE</i> Południe"));
    for (QDateEdit *d : visit->findChildren<QDateEdit *>())
        d->setDate(QDate(2026, 3, 10));
    visit->AddToPlan({QStringLiteral("Q1 L1"), QStringLiteral("Q1 L2"), QStringLiteral("Q1 L3")});
    auto *plan = visit->findChild<QTableWidget *>(QStringLiteral("plan"));
    QCOMPARE(plan->rowCount(), 3);
    QCOMPARE(plan->item(1, 2)->text(), QStringLiteral("zmierzony 2 razy"));
    QCOMPARE(plan->item(2, 2)->text(), QStringLiteral("brak pomiaru"));
    QCOMPARE(plan->item(1, 3)->text(), QStringLiteral("Dobry")); // the repeat holds: 60 µΩ
    visit->findChild<QPushButton *>(QStringLiteral("zapisz"))->click();
    auto *list = visit->findChild<QListWidget *>(QStringLiteral("lista"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("7/2026 — <i>ZE</i> Południe"));

    // Approved with the appendix of charts, which then stays as approved.
    auto *wykresy = visit->findChild<QCheckBox *>(QStringLiteral("wykresy"));
    QVERIFY(wykresy && wykresy->isEnabled() && !wykresy->isChecked());
    wykresy->setChecked(true);
    AnswerMessageBox(QStringLiteral("&Yes"));
    visit->findChild<QPushButton *>(QStringLiteral("zatwierdz"))->click();
    QVERIFY(!wykresy->isEnabled());
    QVERIFY(list->item(0)->text().endsWith(QStringLiteral("(rev. 0 zatwierdzona)")));
    QVERIFY(!numer->isEnabled());
    QVERIFY(visit->findChild<QPushButton *>(QStringLiteral("rewizja"))->isEnabled());
    if (!qEnvironmentVariableIsEmpty("ZYM_SCREENSHOTS"))
        visit->grab().save(qEnvironmentVariable("ZYM_SCREENSHOTS") + QStringLiteral("/visit_window.png"));

    const QString csv = dir.filePath(QStringLiteral("protokol.csv"));
    AnswerFileDialog(csv);
    visit->findChild<QPushButton *>(QStringLiteral("csv"))->click();
    QTRY_VERIFY(QFile::exists(csv));
    TArchive archive;
    QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
    TWizytaInfo info;
    QVERIFY(FindWizyta(&archive, QStringLiteral("7/2026"), &info));
    QVERIFY(info.bZamrozona);
    QString reason;
    const QByteArray expected = ProtokolBytes(&archive, info, 0, ProtokolFormatCsv, &reason);
    QCOMPARE(metersupport::ReadFile(csv), expected);
    QVERIFY(expected.contains("\"Q1 L2\""));
    QCOMPARE(ReadZatwierdzenia(&archive, info.wizyta.qsUuid).at(0).qsAutor, QStringLiteral("Anna Nowak"));
    QVERIFY(ReadZatwierdzenia(&archive, info.wizyta.qsUuid).at(0).snapshot.value(QStringLiteral("wykresy")).toBool());
    w->close();
}

QTEST_MAIN(TestVisitWindow)
#include "test_visit_window.moc"
