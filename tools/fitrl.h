#ifndef FITRL_H
#define FITRL_H

#include <limits>

struct TDataPomiar;

/// Why a record could not be fitted, for a short word beside the result.
enum TFitPowod {
    FitOk = 0,        ///< fitted
    FitNoChannels,    ///< no current and voltage channel with a usable scale
    FitNoPulse,       ///< no current pulse above the noise
    FitShortPulse,    ///< a pulse too short to carry a fit
    FitClipped,       ///< a clipped converter or more switches than the fit carries
    FitUndetermined   ///< the rows do not fix R and L
};

/// The object's resistance and inductance fitted to the whole current pulse
/// (rising edge, top and falling edge), with their standard uncertainties.
struct TFitRL
{
    bool bValid = false; // false: the record cannot support a fit, and no number below is defined
    TFitPowod powod = FitNoChannels; // why not, when not valid
    double R = std::numeric_limits<double>::quiet_NaN();  // ohms
    double L = std::numeric_limits<double>::quiet_NaN();  // microhenries
    double sR = std::numeric_limits<double>::quiet_NaN(); // ohms, one standard deviation
    double sL = std::numeric_limits<double>::quiet_NaN(); // microhenries, one standard deviation
    /// V: RMS of the voltage the fitted model leaves unexplained row by row
    /// (the converters' noise, the current's seen through L·dI/dt, included).
    double rmsResidual = std::numeric_limits<double>::quiet_NaN();
    double offset = 0;    // V: constant voltage offset fitted beside R and L (zero levels, thermal voltage)
    bool bOffset = false; // the offset was fitted (false only where the rows cannot fix it)
    int iRows = 0;        // rows used
    int firstRow = -1;    // first and last row used
    int lastRow = -1;
    int kanalI = -1;      // channels used, as the range detection chooses them
    int kanalU = -1;
};

/// Fits U = R·I + L·dI/dt to the pulse of `pomiar` (volts and amperes above
/// the zero levels of rows 0..999). Changes nothing: the range detection's
/// channels are taken without writing them. Invalid when the record has no
/// positive pulse, more voltage switches than the fit carries, too few
/// rows above the noise, a clipped converter on the pulse, unusable
/// channels or scales, or a system that does not fix R and L.
TFitRL FitRL(const TDataPomiar *pomiar);

/// Decimals that show `x` with `digits` significant digits in fixed
/// notation ('f'), from 0 to 9: an uncertainty is shown with two, and its
/// value with the same decimals. 9 for zero or a value that is not finite.
int SignificantDecimals(double x, int digits);

#endif // FITRL_H
