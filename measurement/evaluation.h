#ifndef EVALUATION_H
#define EVALUATION_H

struct TDataPomiar;

/// Chooses the current and voltage channels that the converters did not
/// overdrive in rows 1000 to 2999 and writes them into `kanalI`/`kanalU`.
/// Current channel 2 is preferred (up to 17 A), then 5; voltage channel 1,
/// then 0 (with current channel 5: 4, then 3). Always returns 0.
int DetectRange(TDataPomiar *rec);

/// The channels DetectRange would write, leaving `rec` as it is: `kanalI`
/// and `kanalU` start from the record's and change as DetectRange changes
/// them.
void RangeChannels(const TDataPomiar *rec, int *kanalI, int *kanalU);

/// Resistance in ohms at one sample row, with the channels as they stand in
/// `rec` and the zero levels of rows 0 to 999. NaN for a channel index
/// outside 0..5 or a row outside 0..9999.
double CalcR_Sample(const TDataPomiar *rec, int row);

/// DetectRange, then the resistance over rows `first` to `last`: the ends
/// weighted by one half (trapezoid), row `last` - 1 left out. NaN for rows
/// outside 0..9999 or channel indices outside 0..5.
double CalcR_Window(TDataPomiar *rec, int first, int last);

/// CalcR_Window over rows 1000 to 3000, the meter's default window.
double CalcR_Pulse(TDataPomiar *rec);

/// Zero level of channel `c`: the mean of rows 0 to 999, truncated toward
/// zero. `c` must be a channel index.
int BaselineLevel(const TDataPomiar *rec, int c);

#endif // EVALUATION_H
