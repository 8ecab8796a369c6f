// "O programie": the About dialog as the user sees it, in the language of the
// moment, opened any number of times.

#include "app/about.h"
#include "app/mainwindow.h"
#include "support/appsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

using appsupport::IniPath;

namespace {

void OpenAbout(MainWindow *window)
{
    window->findChild<QAction *>(QStringLiteral("actionO_programie"))->trigger();
}

QTextBrowser *Browser(about *dialog)
{
    return dialog->findChild<QTextBrowser *>(QStringLiteral("textBrowser"));
}

// The document's paragraphs in order, "" for an empty one.
QStringList Paragraphs(about *dialog)
{
    QStringList lines;
    for (QTextBlock b = Browser(dialog)->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

// Link targets in document order.
QStringList Links(about *dialog)
{
    QStringList links;
    for (QTextBlock b = Browser(dialog)->document()->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor())
                links << it.fragment().charFormat().anchorHref();
        }
    }
    return links;
}

QStringList ExpectedParagraphs(const QString &licence)
{
    QStringList lines{"ZYM Reader", "", "Version 1.0", "", "ZYM Reader contributors",
                      "https://zym-reader.example/", "", "Qt Version  Qt " + QString::fromLatin1(qVersion()),
                      "", "", licence, "https://www.gnu.org/licenses/gpl-3.0.html"};
    for (int i = 0; i < 6; ++i)
        lines << QString();
    return lines;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dialog(); // modal, parentless, its document and links, kept after OK
    void repeatedOpeningKeepsOne();
    void newDialogInCurrentLanguage();
    void followingLinkKeepsText();
};

void TestAbout::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestAbout::init()
{
    QVERIFY(appsupport::WriteIni(appsupport::EnglishIniLines()));
}

void TestAbout::cleanup()
{
    QFile::remove(IniPath());
}

void TestAbout::dialog()
{
    auto window = appsupport::NewWindow();
    window->show();
    OpenAbout(window.get());

    about *dialog = testsupport::OnlyWindow<about>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->isModal());
    QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget *>(dialog));
    QVERIFY(!dialog->parent());
    // Its title, size and flags are rows of the form's table (test_mainwindow).

    QCOMPARE(Paragraphs(dialog), ExpectedParagraphs("Licencja: GNU General Public License, wersja 3"));
    QCOMPARE(Links(dialog), (QStringList{"https://zym-reader.example/", "https://www.gnu.org/licenses/gpl-3.0.html"}));
    const QTextCharFormat name = Browser(dialog)->document()->begin().begin().fragment().charFormat();
    QCOMPARE(name.fontPointSize(), 10.0);
    QVERIFY(name.fontWeight() > QFont::Normal);

    // "OK" hides the dialog; it stays the window's About dialog.
    QPointer<about> guard(dialog);
    dialog->findChild<QPushButton *>(QStringLiteral("pB_OK"))->click();
    QVERIFY(guard);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(testsupport::OnlyWindow<about>(), dialog);
}

void TestAbout::repeatedOpeningKeepsOne()
{
    auto window = appsupport::NewWindow();
    window->show();
    QPointer<about> previous;
    for (int i = 0; i < 20; ++i) {
        OpenAbout(window.get());
        QPointer<about> current(testsupport::OnlyWindow<about>());
        QVERIFY(current);
        QVERIFY(current != previous);
        QVERIFY(!previous); // the earlier one is gone, not left hidden
        QCOMPARE(testsupport::Windows<about>().size(), 1);
        if (i % 2)
            current->close();
        previous = current;
    }
    // The dialog has no parent; it must still go with the window.
    window.reset();
    QVERIFY(!previous);
    QCOMPARE(testsupport::Windows<about>().size(), 0);
}

void TestAbout::newDialogInCurrentLanguage()
{
    auto window = appsupport::NewWindow();
    window->show();
    OpenAbout(window.get());
    QPointer<about> polish(testsupport::OnlyWindow<about>());
    polish->close();

    window->findChild<QAction *>(QStringLiteral("actionAngieski"))->trigger();
    // A dialog built before the switch keeps its texts.
    QVERIFY(polish);
    QCOMPARE(polish->windowTitle(), QStringLiteral("O programie"));
    QVERIFY(Paragraphs(polish).contains("Licencja: GNU General Public License, wersja 3"));

    OpenAbout(window.get());
    about *english = testsupport::OnlyWindow<about>();
    QCOMPARE(english->windowTitle(), QStringLiteral("About ZYM Reader"));
    // The translated document still gets the running Qt version.
    QCOMPARE(Paragraphs(english), ExpectedParagraphs("Licence: GNU General Public License, version 3"));
    english->close();

    window->findChild<QAction *>(QStringLiteral("actionPolski"))->trigger();
    OpenAbout(window.get());
    QCOMPARE(testsupport::OnlyWindow<about>()->windowTitle(), QStringLiteral("O programie"));
}

void TestAbout::followingLinkKeepsText()
{
    auto window = appsupport::NewWindow();
    window->show();
    OpenAbout(window.get());
    about *dialog = testsupport::OnlyWindow<about>();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QTextBrowser *browser = Browser(dialog);

    // Click in the middle of the licence link.
    const QTextDocument *doc = browser->document();
    QTextCursor at = doc->find(QStringLiteral("gnu.org/licenses"));
    QVERIFY(!at.isNull());
    const QPoint point = browser->cursorRect(at).center();
    QCOMPARE(browser->anchorAt(point), QStringLiteral("https://www.gnu.org/licenses/gpl-3.0.html"));
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, point);

    QCOMPARE(Paragraphs(dialog), ExpectedParagraphs("Licencja: GNU General Public License, wersja 3"));
    QVERIFY(browser->source().isEmpty());
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
