// The settings dialog and what the main window does with its answer.

#include "app/settingsdialog.h"

#include "app/mainwindow.h"
#include "common/ui/messages.h"
#include "database/ui/bazacontrol.h"
#include "settings/zymini.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

DialogUstawienia::DialogUstawienia(const QString &iniFileName, QWidget *parent)
    : QDialog(parent)
    , qsIniFileName(iniFileName)
{
    setObjectName(QStringLiteral("DialogUstawienia"));
    setWindowTitle(tr("Ustawienia"));
    auto *layout = new QVBoxLayout(this);
    pForm = new QFormLayout;
    layout->addLayout(pForm);

    pAdres = new QLineEdit(this);
    pAdres->setObjectName(QStringLiteral("lE_Adres"));
    pForm->addRow(tr("Adres sieciowy miernika:"), pAdres);
    pBaza = PathRow(tr("Baza danych miernika:"), false, tr("Pliki ZYM (*.db);;Wszystkie (*.*)"));
    pBaza->setObjectName(QStringLiteral("lE_Baza"));
    pFolder = PathRow(tr("Folder pobierania:"), true, QString());
    pFolder->setObjectName(QStringLiteral("lE_Folder"));
    pArchiwum = PathRow(tr("Plik archiwum:"), false, tr("Archiwum (*.db);;Wszystkie (*.*)"));
    pArchiwum->setObjectName(QStringLiteral("lE_Archiwum"));
    pImport = new QCheckBox(tr("Importuj pobrane pomiary do archiwum"), this);
    pNarzedzia = new QCheckBox(tr("Pokaż menu Narzędzia"), this);
    pPytaj = new QCheckBox(tr("Pytaj przed zakończeniem programu"), this);
    pPytaj->setObjectName(QStringLiteral("cB_Pytaj"));
    pReopen = new QCheckBox(tr("Otwieraj przy starcie ostatnio otwartą bazę danych"), this);
    pReopen->setObjectName(QStringLiteral("cB_Reopen"));
    for (QCheckBox *box : {pImport, pNarzedzia, pPytaj, pReopen})
        pForm->addRow(QString(), box);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const TIni ini(qsIniFileName);
    pAdres->setText(ini.Text(TIniKey::ZymNetAdress));
    pBaza->setText(ini.Text(TIniKey::ZymDataBasePath));
    pFolder->setText(ini.Text(TIniKey::DownloadFolder));
    pArchiwum->setText(ini.Text(TIniKey::ArchiwumPath));
    pImport->setChecked(ini.Flag(TIniKey::ImportAfterDownload));
    pNarzedzia->setChecked(ini.Flag(TIniKey::MenuToolsEnable));
    pPytaj->setChecked(ini.Flag(TIniKey::AskIfAppClose));
    pReopen->setChecked(ini.Flag(TIniKey::ReopenLastDataBase));
    setMinimumWidth(560);
}

QLineEdit *DialogUstawienia::PathRow(const QString &label, bool folder, const QString &filter)
{
    auto *row = new QHBoxLayout;
    auto *edit = new QLineEdit(this);
    auto *browse = new QToolButton(this);
    browse->setText(QStringLiteral("…"));
    row->addWidget(edit);
    row->addWidget(browse);
    pForm->addRow(label, row);
    connect(browse, &QToolButton::clicked, this, [this, edit, folder, filter, label]() {
        const QString start = QFileInfo(edit->text()).path();
        const QString chosen = folder ? QFileDialog::getExistingDirectory(this, label, edit->text())
                                      : QFileDialog::getSaveFileName(this, label, edit->text().isEmpty() ? start : edit->text(),
                                                                     filter, nullptr, QFileDialog::DontConfirmOverwrite);
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    return edit;
}

bool DialogUstawienia::Save()
{
    TIni ini(qsIniFileName);
    ini.Set(TIniKey::ZymNetAdress, pAdres->text().trimmed());
    ini.Set(TIniKey::ZymDataBasePath, pBaza->text().trimmed());
    ini.Set(TIniKey::DownloadFolder, pFolder->text().trimmed());
    ini.Set(TIniKey::ArchiwumPath, pArchiwum->text().trimmed());
    ini.Set(TIniKey::ImportAfterDownload, pImport->isChecked());
    ini.Set(TIniKey::MenuToolsEnable, pNarzedzia->isChecked());
    ini.Set(TIniKey::AskIfAppClose, pPytaj->isChecked());
    ini.Set(TIniKey::ReopenLastDataBase, pReopen->isChecked());
    return ini.Sync();
}

// ---------------------------------------------------------------- main window

void MainWindow::OpenSettingsDialog()
{
    DialogUstawienia dialog(qsIniFileName, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.Save()) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Nie udało się zapisać ustawień w pliku:\n%1").arg(QDir::toNativeSeparators(qsIniFileName)));
        return;
    }
    // Read back as the file now holds them: the dialog wrote every key it shows.
    const TIni ini(qsIniFileName);
    qsZYM_NetAdress = ini.Text(TIniKey::ZymNetAdress);
    qsZYM_DataBasePath = ini.Text(TIniKey::ZymDataBasePath);
    qsDownloadFolder = ini.Text(TIniKey::DownloadFolder);
    bAskIfAppClose = ini.Flag(TIniKey::AskIfAppClose);
    SetToolsMenuVisible(ini.Flag(TIniKey::MenuToolsEnable));
    const bool reopen = ini.Flag(TIniKey::ReopenLastDataBase);
    // Switched on while a local database is shown: that one is the last
    // (the meter's own is reached by "Połącz", never at start).
    const QString shown = Baza.IsOpen() ? Baza.db.databaseName() : QString();
    if (reopen && !bReopenLastDataBase && !shown.isEmpty() && shown != qsZYM_DataBasePath && QFileInfo(shown).isFile()) {
        bReopenLastDataBase = true;
        RememberLastDataBase(shown);
    }
    bReopenLastDataBase = reopen;
}

void MainWindow::RetranslateDesktop()
{
    pSettingsAction->setText(tr("Ustawienia…"));
    pBaza->RetranslateFilter();
}
