#ifndef FITSHOWN_H
#define FITSHOWN_H

#include "tools/fitrl.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <list>

struct TDataPomiar;

/// The two lines the result area shows of a fit beside the meter's R.
struct TFitTexts
{
    Q_DECLARE_TR_FUNCTIONS(TFitTexts)

public:
    QString r; // "R (dopasowanie): 12.346 mΩ ± 0.012 mΩ", or that there is none
    QString l; // "L: 1.0062 mH ± 0.0013 mH", or why there is none
};

/// What the result area says of `fit`: values with their uncertainties
/// from the one formatter, or a short reason when the record cannot be fitted.
TFitTexts FitTexts(const TFitRL &fit);

/// The short reason of `powod` ("impuls za krótki", ...); empty for FitOk.
QString FitPowodText(TFitPowod powod);

/// The voltage the fitted model gives, U0 + offset + R·I + L·dI/dt, on the
/// rows the fit used that the chart shows, in the chart's frame (the
/// voltage channel's zero offset `offset03`/`offset14` subtracted, as the
/// measured voltage is drawn). Empty for a fit that is not valid.
struct TFitModel
{
    QVector<double> keys;    // ms; row 1000 is 0
    QVector<double> voltage; // V
};
TFitModel FitModelVoltage(const TDataPomiar *pomiar, const TFitRL &fit, int offset03, int offset14);

/// The fits of the records shown lately, each run once: showing a record
/// again takes its fit from here. A record is known by its whole content,
/// so a file opened twice under two names, or a row read again, is the same.
class TFitCache
{
public:
    /// The fit of `pomiar`, run now only when this record was not fitted lately.
    const TFitRL &Of(const TDataPomiar *pomiar);
    /// How many fits were run (not taken from here) since the cache was made.
    int FitsRun() const { return iFitsRun; }

private:
    struct TEntry
    {
        uint hash = 0;     // of the record's image, to pass over the others quickly
        QByteArray image;  // the record itself: a hash alone could hand one record another's fit
        TFitRL fit;
    };
    // Newest first; a technician goes back and forth over a few dozen records.
    std::list<TEntry> Fits;
    int iFitsRun = 0;
};

#endif // FITSHOWN_H
