#include "measurement/evaluation.h"

#include "measurement/tdatapomiar.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kRangeFirstRow = kRowZero;   // first row of the pulse window
constexpr int kRangeEndRow = kPulseEndRow; // one past its last row
constexpr double kChannel2MaxAmps = 17.0;
constexpr int kVoltageSaturated = kConverterMaxCount; // channels 0 and 1 clip at full scale
constexpr int kChannel5Limit = 4096;    // channel 5 is only over range beyond full scale

double NotANumber() { return std::numeric_limits<double>::quiet_NaN(); }

bool ChannelsUsable(const TDataPomiar *rec)
{
    return IsChannel(rec->kanalU) && IsChannel(rec->kanalI);
}

} // namespace

int BaselineLevel(const TDataPomiar *rec, int c)
{
    // 64-bit sum: damaged files may carry counts far outside 12 bits.
    qint64 sum = 0;
    for (int r = 0; r < kBaselineRows; ++r)
        sum += rec->dane[r][c];
    return static_cast<int>(sum / kBaselineRows); // C++ division truncates toward zero
}

int DetectRange(TDataPomiar *rec)
{
    int kanalI, kanalU;
    RangeChannels(rec, &kanalI, &kanalU);
    rec->kanalI = kanalI;
    rec->kanalU = kanalU;
    return 0;
}

void RangeChannels(const TDataPomiar *rec, int *kanalI, int *kanalU, int *peakRow2, int *peakRow5)
{
    int peak2 = kRangeFirstRow, peak5 = kRangeFirstRow;
    *kanalI = rec->kanalI;
    *kanalU = rec->kanalU;
    // Each test asks whether any row reaches a limit, which is whether the
    // highest (or, for a scale below zero, the lowest) count does: one pass
    // of comparisons the processor need not branch on, on a path every
    // fit takes.
    qint32 max0 = rec->dane[kRangeFirstRow][0], max1 = rec->dane[kRangeFirstRow][1];
    qint32 max2 = rec->dane[kRangeFirstRow][2], min2 = max2, max5 = rec->dane[kRangeFirstRow][5];
    for (int r = kRangeFirstRow + 1; r < kRangeEndRow; ++r) {
        const qint32 *row = rec->dane[r];
        max0 = std::max(max0, row[0]);
        max1 = std::max(max1, row[1]);
        min2 = std::min(min2, row[2]);
        // The first row of the highest count.
        peak2 = row[2] > max2 ? r : peak2;
        max2 = std::max(max2, row[2]);
        peak5 = row[5] > max5 ? r : peak5;
        max5 = std::max(max5, row[5]);
    }
    const bool okU0 = max0 < kVoltageSaturated;
    const bool okU1 = max1 < kVoltageSaturated;
    // A product that is not a number compares false and so counts as in range.
    const double s2 = rec->skala[2];
    const bool okI2 = !(max2 * s2 > kChannel2MaxAmps) && !(min2 * s2 > kChannel2MaxAmps);
    const bool okI5 = max5 < kChannel5Limit;
    if (peakRow2)
        *peakRow2 = peak2;
    if (peakRow5)
        *peakRow5 = peak5;

    // The voltage choice is judged on channels 1 and 0 for both current
    // ranges: channels 3 and 4 are their counterparts on the high range.
    if (okI2) {
        *kanalI = 2;
        if (okU1)
            *kanalU = 1;
        else if (okU0)
            *kanalU = 0;
    } else if (okI5) {
        *kanalI = 5;
        if (okU1)
            *kanalU = 4;
        else if (okU0)
            *kanalU = 3;
    }
}

double CalcR_Sample(const TDataPomiar *rec, int row)
{
    if (!ChannelsUsable(rec) || !IsRow(row))
        return NotANumber();
    const int cU = rec->kanalU;
    const int cI = rec->kanalI;
    const qint64 dU = qint64(rec->dane[row][cU]) - BaselineLevel(rec, cU);
    const qint64 dI = qint64(rec->dane[row][cI]) - BaselineLevel(rec, cI);
    return (double(dU) * rec->skala[cU]) / (double(dI) * rec->skala[cI]);
}

double CalcR_Window(TDataPomiar *rec, int first, int last)
{
    DetectRange(rec);
    if (!ChannelsUsable(rec) || !IsRow(first) || !IsRow(last))
        return NotANumber();
    const int cU = rec->kanalU;
    const int cI = rec->kanalI;
    const qint64 mU = BaselineLevel(rec, cU);
    const qint64 mI = BaselineLevel(rec, cI);

    qint64 sumU = 0;
    qint64 sumI = 0;
    if (last - 1 > first + 1) {
        // Row last - 1 is in neither sum: the meter's window leaves it out.
        for (int r = first + 1; r <= last - 2; ++r) {
            sumU += rec->dane[r][cU] - mU;
            sumI += rec->dane[r][cI] - mI;
        }
    }
    const qint64 endU = (qint64(rec->dane[first][cU]) + rec->dane[last][cU] - 2 * mU) / 2;
    const qint64 endI = (qint64(rec->dane[first][cI]) + rec->dane[last][cI] - 2 * mI) / 2;

    return (double(sumU + endU) * rec->skala[cU]) / (double(sumI + endI) * rec->skala[cI]);
}

double CalcR_Pulse(TDataPomiar *rec)
{
    return CalcR_Window(rec, kRangeFirstRow, kRangeEndRow);
}
