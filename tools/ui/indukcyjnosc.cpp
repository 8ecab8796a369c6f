// The window side of the analysis tools: "Narzędzia" / "Indukcyjność".

#include "tools/ui/indukcyjnosc.h"

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

TIndukcyjnoscWindows OpenIndukcyjnosc(TDataPomiar *pomiar, const std::function<QString(const QString &)> &zymValue,
                                      const std::function<void(QWidget *)> &keep)
{
    for (const TZymInfo &info : kZymInfo)
        qDebug() << info.label << zymValue(QString::fromLatin1(info.column));

    // Earlier dialogs stay open and nothing points to them any more once the
    // pointers move on: the keeper deletes them when the window goes.
    // Drawn before the calculation, which may switch the record's channels.
    // Not connected to the measurement shown: it keeps showing this one.
    TIndukcyjnoscWindows windows;
    windows.wykres = new DialogWykres(pomiar, nullptr);
    keep(windows.wykres);
    windows.wykres->setModal(false);
    windows.wykres->show();

    windows.calc = new DialogCalc(pomiar, nullptr);
    keep(windows.calc);
    windows.calc->setModal(false);
    windows.calc->show();
    return windows;
}
