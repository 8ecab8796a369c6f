// The window side of the analysis tools: "Narzędzia" / "Indukcyjność".

#include "app/mainwindow.h"

#include "chart/dialogwykres.h"
#include "tools/ui/dialogcalc.h"

#include <QDebug>

namespace {

// The meter's device information, traced for whoever reads the debug
// output next to the calculator's numbers. Labels right-aligned to 15.
struct TZymInfo
{
    const char *column;
    const char *label;
};

const TZymInfo kZymInfo[] = {
    {"serial_zym", "     serial_zym "},
    {"hw", "             hw "},
    {"soft_rpi", "       soft_rpi "},
    {"system_rpi", "     system_rpi "},
    {"firmware_cortex", "firmware_cortex "},
    {"info", "           info "},
    {"u1_offset", "      u1_offset "},
    {"u2_offset", "      u2_offset "},
    {"i_offset", "       i_offset "},
};

} // namespace

void MainWindow::on_actionIndukcyjnosc_triggered()
{
    for (const TZymInfo &info : kZymInfo) {
        const QString column = QString::fromLatin1(info.column);
        qDebug() << info.label << (ArchiwumShown() ? ArchiwumZymValue(column) : Baza.ZymValue(column));
    }

    // Earlier dialogs stay open and nothing points to them any more once the
    // pointers move on: the keeper deletes them when the window goes.
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
