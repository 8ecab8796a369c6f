#include "tools/ui/dialogcalc.h"
#include "ui_dialogcalc.h"

#include "tools/fitrl.h"
#include "tools/peaksearch.h"

namespace {

QString Number(double value)
{
    return QString::number(value, 'f', 3);
}

} // namespace

DialogCalc::DialogCalc(TDataPomiar *pomiar, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DialogCalc)
{
    ui->setupUi(this);

    const TCalcWynik w = CalcInductance(pomiar);
    // Values the record cannot give are said to be missing rather than
    // shown as numbers computed from rows the search never found.
    const QString missing = tr("brak");

    ui->label_R->setText(QStringLiteral(" R=") + Number(w.R));
    ui->label_R1->setText(QStringLiteral("R1=") + (w.bMaximum ? Number(w.R1) : missing));
    ui->label_R2->setText(QStringLiteral("R2=") + (w.bWindow ? Number(w.R2) : missing));
    ui->label_L->setText(QStringLiteral("L=") + (w.bMaximum ? Number(w.L) + QStringLiteral(" uH") : missing));
    ui->label_L_1->setText(QStringLiteral("L1=") + (w.bMaximum ? Number(w.L1) + QStringLiteral(" uH") : missing));
    ui->label_L_2->setText(QStringLiteral("L2=") + (w.bWindow ? Number(w.L2) + QStringLiteral(" uH") : missing));

    // The fit reads the channels the calculation has just chosen; it changes nothing itself.
    const TFitRL fit = FitRL(pomiar);
    if (!fit.bValid) {
        ui->label_Rfit->setText(QStringLiteral("Rfit=") + missing);
        ui->label_Lfit->setText(QStringLiteral("Lfit=") + missing);
        ui->label_fitRms->setText(missing);
        return;
    }
    // As many decimals as two significant digits of the uncertainty justify.
    auto withUncertainty = [](double value, double sigma, const QString &unit) {
        const int decimals = SignificantDecimals(sigma, 2);
        return QString::number(value, 'f', decimals) + unit + QString::number(sigma, 'f', decimals);
    };
    ui->label_Rfit->setText(QStringLiteral("Rfit=") + withUncertainty(fit.R, fit.sR, QStringLiteral(" Ω ± ")));
    ui->label_Lfit->setText(QStringLiteral("Lfit=") + withUncertainty(fit.L, fit.sL, QStringLiteral(" uH ± ")));
    const double rmsMilliVolts = fit.rmsResidual * 1e3;
    ui->label_fitRms->setText(tr("Reszta RMS=%1 mV, wierszy: %2")
                                  .arg(QString::number(rmsMilliVolts, 'f', SignificantDecimals(rmsMilliVolts, 3)))
                                  .arg(fit.iRows));
}

DialogCalc::~DialogCalc()
{
    delete ui;
}
