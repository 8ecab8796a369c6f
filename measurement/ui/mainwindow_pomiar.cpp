// The window side of the measurement subsystem: opening a data file and
// exporting the displayed measurement. Everything else in measurement/ is
// free of widgets.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/messages.h"
#include "chart/plotpomiar.h"
#include "database/resulttexts.h"
#include "measurement/datafile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

void MainWindow::on_actionOpenPomiar_triggered()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Otwórz plik pomiaru"), qsLastOpenedPath,
                                                      tr("Pliki pomiaru (*.zym5);;Wszystkie (*.*)"));
    if (name.isEmpty())
        return;

    const DataFileResult result = Baza.LoadFile(name);
    if (result != DataFileOk) {
        // Showing the previous record under the new file's name would pass
        // one measurement off as another: say so and leave everything as it was.
        qsLastOpenedPath = FolderOf(name);
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Nie można otworzyć pliku pomiaru:\n%1\n\n%2")
                        .arg(QDir::toNativeSeparators(name), DataFileErrorText(result)));
        return;
    }

    if (!AskSaveKomentarz())
        return;
    Baza.CopyPomiar(&CurrentPomiar);
    Shown = TShownPomiar();
    Shown.plik = QFileInfo(name).fileName();
    const TCsvLabels texts = FileResultTexts(&Baza);
    ui->label_R->setText(texts.R);
    ui->label_Metoda->setText(texts.metoda);
    ui->label_Czas->setText(texts.czas);
    // A file belongs to no object of the database.
    ui->label_obiekt->setText(texts.obiekt);
    ui->tE_Komentarz->ShowKomentarz(FileKomentarzText(name));
    PlotPomiar(ui->plot, &CurrentPomiar, kOffset03, kOffset14);
    if (pDialogWykres)
        emit UpdateWykresWindow(CurrentPomiar);
    ui->plot->show();
    ui->gB_Wynik->show();
    qsLastOpenedPath = FolderOf(name);
    // This measurement has no database row: an edited comment must not be
    // saved into the row clicked before (no row means no save question).
}
