// The window side of the analysis tools: "Narzędzia" / "Indukcyjność".

#include "app/mainwindow.h"

#include "chart/dialogwykres.h"
#include "tools/dialogcalc.h"

#include <QDebug>

namespace {

// The meter's device information, traced for whoever reads the debug
// output next to the calculator's numbers. Labels right-aligned to 15.
struct TZymInfo
{
    const char *statement;
    const char *label;
};

const TZymInfo kZymInfo[] = {
    {"SELECT serial_zym FROM ZYM", "     serial_zym "},
    {"SELECT hw FROM ZYM", "             hw "},
    {"SELECT soft_rpi FROM ZYM", "       soft_rpi "},
    {"SELECT system_rpi FROM ZYM", "     system_rpi "},
    {"SELECT firmware_cortex FROM ZYM", "firmware_cortex "},
    {"SELECT info FROM ZYM", "           info "},
    {"SELECT u1_offset FROM ZYM", "      u1_offset "},
    {"SELECT u2_offset FROM ZYM", "      u2_offset "},
    {"SELECT i_offset FROM ZYM", "       i_offset "},
};

} // namespace

void MainWindow::on_actionIndukcyjnosc_triggered()
{
    for (const TZymInfo &info : kZymInfo)
        qDebug() << info.label << Baza.FirstValueText(QString::fromLatin1(info.statement));

    // Earlier dialogs stay open and nothing points to them any more once the
    // pointers move on: the keeper deletes them when the window goes.
    KeptDialogs.Keep(pDialogWykres);
    KeptDialogs.Keep(pDialogCalc);

    // Drawn before the calculation, which may switch the record's channels.
    // Not connected to UpdateWykresWindow: it keeps showing this measurement.
    pDialogWykres = new DialogWykres(&CurrentPomiar, nullptr);
    KeptDialogs.Keep(pDialogWykres);
    pDialogWykres->setModal(false);
    pDialogWykres->show();

    pDialogCalc = new DialogCalc(&CurrentPomiar, nullptr);
    KeptDialogs.Keep(pDialogCalc);
    pDialogCalc->setModal(false);
    pDialogCalc->show();
}
