#ifndef DIALOGCALC_H
#define DIALOGCALC_H

#include <QDialog>

struct TDataPomiar;

namespace Ui {
class DialogCalc;
}

/// The inductance calculator: three resistance estimates of one record and
/// the inductance each of them implies, and below them R and L fitted to the
/// whole pulse with their uncertainties; computed once when the dialog is
/// built and kept only as label texts (a snapshot of that record).
class DialogCalc : public QDialog
{
    Q_OBJECT

public:
    /// Builds the form and runs the calculation on `*pomiar`, whose
    /// `kanalI`/`kanalU` the range detection may rewrite. The record is not
    /// used after construction.
    explicit DialogCalc(TDataPomiar *pomiar, QWidget *parent = nullptr);
    ~DialogCalc() override;

private:
    Ui::DialogCalc *ui;
};

#endif // DIALOGCALC_H
