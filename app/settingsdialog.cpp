// The settings dialog and what the main window does with its answer.

#include "app/settingsdialog.h"

#include "app/mainwindow.h"
#include "common/ui/messages.h"
#include "database/ui/bazaview.h"

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
#include <QSettings>
#include <QToolButton>

namespace {

QString DefaultArchiwum()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/archiwum.db");
}

QString DefaultDownloadFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/ZYM5");
}

} // namespace

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

    QSettings settings(qsIniFileName, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    pAdres->setText(settings.value(QStringLiteral("ZYM/ZYM_NetAdress"), QStringLiteral("192.168.4.1")).toString());
    pBaza->setText(settings.value(QStringLiteral("ZYM/ZYM_DataBasePath"),
                                  QStringLiteral("//192.168.4.1/zym_wyniki/zym_5.db")).toString());
    pFolder->setText(settings.value(QStringLiteral("ZYM/DownloadFolder"), DefaultDownloadFolder()).toString());
    pArchiwum->setText(settings.value(QStringLiteral("Archiwum/Path"), DefaultArchiwum()).toString());
    pImport->setChecked(settings.value(QStringLiteral("Archiwum/ImportAfterDownload"), true).toBool());
    pNarzedzia->setChecked(settings.value(QStringLiteral("Program/MenuToolsEnable"), false).toBool());
    pPytaj->setChecked(settings.value(QStringLiteral("Program/AskIfAppClose"), true).toBool());
    pReopen->setChecked(settings.value(QStringLiteral("Program/ReopenLastDataBase"), false).toBool());
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
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.setValue(QStringLiteral("ZYM/ZYM_NetAdress"), pAdres->text().trimmed());
    settings.setValue(QStringLiteral("ZYM/ZYM_DataBasePath"), pBaza->text().trimmed());
    settings.setValue(QStringLiteral("ZYM/DownloadFolder"), pFolder->text().trimmed());
    settings.setValue(QStringLiteral("Archiwum/Path"), pArchiwum->text().trimmed());
    settings.setValue(QStringLiteral("Archiwum/ImportAfterDownload"), pImport->isChecked());
    settings.setValue(QStringLiteral("Program/MenuToolsEnable"), pNarzedzia->isChecked());
    settings.setValue(QStringLiteral("Program/AskIfAppClose"), pPytaj->isChecked());
    settings.setValue(QStringLiteral("Program/ReopenLastDataBase"), pReopen->isChecked());
    settings.sync();
    return settings.status() == QSettings::NoError;
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
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    qsZYM_NetAdress = settings.value(QStringLiteral("ZYM/ZYM_NetAdress")).toString();
    qsZYM_DataBasePath = settings.value(QStringLiteral("ZYM/ZYM_DataBasePath")).toString();
    qsDownloadFolder = settings.value(QStringLiteral("ZYM/DownloadFolder")).toString();
    bAskIfAppClose = settings.value(QStringLiteral("Program/AskIfAppClose"), true).toBool();
    SetToolsMenuVisible(settings.value(QStringLiteral("Program/MenuToolsEnable")).toBool());
    const bool reopen = settings.value(QStringLiteral("Program/ReopenLastDataBase"), false).toBool();
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
