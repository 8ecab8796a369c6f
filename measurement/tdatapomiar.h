#ifndef TDATAPOMIAR_H
#define TDATAPOMIAR_H

#include <QtGlobal>
#include <QMetaType>

#include <cstddef>
#include <cstdint>

/// Number of sample rows every record carries (0.02 ms apart).
constexpr int kPomiarRows = 10000;
/// Number of converter channels per row.
constexpr int kPomiarChannels = 6;
/// Size of a record and of a `*.zym5` data file, in bytes.
constexpr qint64 kPomiarFileSize = 240080;

// ---- the time base every record shares
/// Row at time 0: the pulse starts here, rows 0..999 are the zero level.
constexpr int kRowZero = 1000;
/// Rows before kRowZero, whose mean is each channel's zero level.
constexpr int kBaselineRows = kRowZero;
/// Time between two rows, in milliseconds (50 rows a millisecond).
constexpr double kRowSpacingMs = 0.02;
constexpr int kRowsPerMs = 50;
/// One past the last row of the pulse window (rows 1000..2999) that the
/// range detection, the resistance and the maximum search look at; also
/// the number of rows the chart and the CSV show (rows 0..2999).
constexpr int kPulseEndRow = 3000;
/// The last row of the pulse window.
constexpr int kPulseLastRow = kPulseEndRow - 1;
/// Rows the chart and the export show, from row 0.
constexpr int kShownRows = kPulseEndRow;
/// The falling edge is searched and integrated up to this row (24 ms).
constexpr int kEdgeEndRow = 2200;

/// Time of `row` in milliseconds, row kRowZero being 0. Written as the
/// 60 ms of 3000 rows so that every caller gets the same doubles.
constexpr double RowToMs(int row) { return (row - kRowZero) * 60.0 / 3000.0; }

/// The converters' 12-bit full scale, in counts: a sample here is clipped.
constexpr int kConverterMaxCount = 4095;
/// Resistances at or above this many ohms are the meter's open circuit
/// (the lists show "∞").
constexpr double kOpenCircuitOhms = 1000.0;

/// Zero offsets, in converter counts, of the voltage channels 0 and 3 ...
constexpr int kOffset03 = 549;
/// ... and of the voltage channels 1 and 4. The current channels 2 and 5 have none.
constexpr int kOffset14 = 1095;

/// One measurement: the memory image of a `*.zym5` data file.
///
/// The layout is the file format itself (little-endian, no header), so the
/// record is read and written as one block. The static asserts below keep
/// the compiler honest about it.
struct TDataPomiar
{
    qint32 metoda;   // method code: bit 0x80 of the lowest byte set means 3P, clear 2P
    qint32 kanalI;   // channel carrying the current (2 or 5 once range detection has run)
    qint32 kanalU;   // channel carrying the voltage (0, 1, 3 or 4 once range detection has run)
    qint32 dane[kPomiarRows][kPomiarChannels]; // raw 12-bit converter counts, row-major
    qint32 rezerwa;  // reserved by the meter; kept so that a record is written back as it was read
    double skala[kPomiarChannels]; // units per count: V on voltage channels, A on current channels
    double rezystancja; // ohms, as the meter computed it
    qint64 czas;     // seconds since 1970-01-01 00:00 UTC; only the low 32 bits are meaningful
};

static_assert(sizeof(TDataPomiar) == kPomiarFileSize, "TDataPomiar must be the data file image");
static_assert(offsetof(TDataPomiar, dane) == 12, "samples start at offset 12");
static_assert(offsetof(TDataPomiar, rezerwa) == 240012, "reserved word at offset 240012");
static_assert(offsetof(TDataPomiar, skala) == 240016, "scale factors at offset 240016");
static_assert(offsetof(TDataPomiar, rezystancja) == 240064, "resistance at offset 240064");
static_assert(offsetof(TDataPomiar, czas) == 240072, "time at offset 240072");
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the data file is little-endian and read as a memory image");

Q_DECLARE_METATYPE(TDataPomiar)

/// True when `c` names one of the six channels.
inline bool IsChannel(int c) { return c >= 0 && c < kPomiarChannels; }
/// True when `r` names one of the record's rows.
inline bool IsRow(int r) { return r >= 0 && r < kPomiarRows; }
/// True for the voltage channels 0, 1, 3 and 4.
inline bool IsVoltageChannel(int c) { return c == 0 || c == 1 || c == 3 || c == 4; }
/// True for the current channels 2 and 5.
inline bool IsCurrentChannel(int c) { return c == 2 || c == 5; }
/// Zero offset in counts of voltage channel `c`: `offset03` for 0 and 3,
/// `offset14` for 1 and 4, nothing for any other index.
inline int VoltageOffset(int c, int offset03 = kOffset03, int offset14 = kOffset14)
{
    if (c == 0 || c == 3)
        return offset03;
    if (c == 1 || c == 4)
        return offset14;
    return 0;
}
/// True when bit 7 of the lowest byte of a method code is set (method 3P).
inline bool IsMetoda3P(qint32 metoda) { return (metoda & 0x80) != 0; }

#endif // TDATAPOMIAR_H
