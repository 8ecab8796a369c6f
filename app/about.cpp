// The About dialog and the "O programie" command that opens it.

#include "app/about.h"
#include "ui_about.h"

#include "app/mainwindow.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtGlobal>

about::about(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::about)
{
    ui->setupUi(this);
    // A plain dialog frame: no resizing where the window system honours the
    // hint, and no context-help button. Qt 5 adds that button to every dialog
    // whose title-bar buttons are left to it, so it is taken off explicitly.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The hint above is Windows-only; elsewhere the form size is pinned here.
    setFixedSize(size());
    setWindowTitle(tr("O programie"));

    // The form carries "%1" where the Qt version goes: report the library the
    // program actually runs on, not the one it was once built against.
    // Replacing through a cursor keeps the paragraph's character format.
    QTextCursor version = ui->textBrowser->document()->find(QStringLiteral("%1"));
    if (!version.isNull())
        version.insertText(QString::fromLatin1(qVersion()));

    // Following a link would replace the whole About text with an empty page
    // (there is no local document behind a web address), so links are shown
    // and can be copied but not followed.
    ui->textBrowser->setOpenLinks(false);
}

about::~about()
{
    delete ui;
}

void about::on_pB_OK_clicked()
{
    close();
}

void MainWindow::on_actionO_programie_triggered()
{
    // Each activation builds a new dialog so that it speaks the language
    // installed now; the earlier one is no longer reachable and goes.
    delete pAbout;
    pAbout = new about(nullptr);
    KeptDialogs.Keep(pAbout);
    pAbout->setModal(true);
    pAbout->show();
}
