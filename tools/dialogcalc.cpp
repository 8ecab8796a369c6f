#include "tools/dialogcalc.h"
#include "ui_dialogcalc.h"

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
}

DialogCalc::~DialogCalc()
{
    delete ui;
}
