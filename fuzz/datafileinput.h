#ifndef DATAFILEINPUT_H
#define DATAFILEINPUT_H

// The input of fuzz_datafile: a data file in a compact form.
//
// A data file is 240 kB, nearly all of it samples that nothing looks at
// past row 2999. Taken whole, every input would cost libFuzzer's copy of it,
// and AddressSanitizer maps each allocation over 128 kB afresh and hands it
// back: on a virtual machine with slow page faults that copy alone takes
// about a millisecond. The compact form keeps an input well under that size
// and puts the mutations on the bytes that matter:
//
//   bytes   0..3    the shape of the file (little-endian): when its low three
//                   bits are 7 the file is cut short after (shape >> 3) %
//                   240080 bytes, when they are 6 it runs (shape >> 3) % 4096
//                   bytes past the record; otherwise it is exactly a record
//   bytes   4..15   the record's first 12 bytes: method and channels
//   bytes  16..83   the record's last 68 bytes: reserved word, scales,
//                   resistance and time
//   bytes  84..     the samples, repeated to fill the record's 10000 rows
//                   (zeros when there are none) and any bytes past it
//
// Missing bytes of the fixed part are zeros. A file of 3000 rows of samples
// makes an input of 72 084 bytes.

#include "measurement/tdatapomiar.h"

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace datafileinput {

constexpr size_t kShapeAt = 0;
constexpr size_t kHeadAt = 4;
constexpr size_t kHeadBytes = offsetof(TDataPomiar, dane);
constexpr size_t kTailAt = kHeadAt + kHeadBytes;
constexpr size_t kTailBytes = sizeof(TDataPomiar) - offsetof(TDataPomiar, rezerwa);
constexpr size_t kSamplesAt = kTailAt + kTailBytes;
constexpr size_t kSampleBytes = sizeof(TDataPomiar::dane);
/// The most bytes a file can run past the record.
constexpr qint64 kMaxExtra = 4095;
/// Room for the largest file an input can describe.
constexpr qint64 kMaxFileBytes = kPomiarFileSize + kMaxExtra;

enum : quint32 { kShapeExact = 0, kShapeLonger = 6, kShapeShort = 7 };

/// The fixed part of `data` (shape, head and tail), zero-padded.
inline void FixedPart(const uint8_t *data, size_t size, uint8_t fixed[kSamplesAt])
{
    std::memset(fixed, 0, kSamplesAt);
    std::memcpy(fixed, data, std::min(size, kSamplesAt));
}

/// Writes the file `data` describes into `file` (room for kMaxFileBytes)
/// and returns its length.
inline qint64 Expand(const uint8_t *data, size_t size, char *file)
{
    uint8_t fixed[kSamplesAt];
    FixedPart(data, size, fixed);
    quint32 shape;
    std::memcpy(&shape, fixed + kShapeAt, sizeof shape);

    qint64 length = kPomiarFileSize;
    if ((shape & 7) == kShapeShort)
        length = (shape >> 3) % kPomiarFileSize;
    else if ((shape & 7) == kShapeLonger)
        length = kPomiarFileSize + (shape >> 3) % (kMaxExtra + 1);

    std::memcpy(file, fixed + kHeadAt, kHeadBytes);
    std::memcpy(file + kPomiarFileSize - kTailBytes, fixed + kTailAt, kTailBytes);
    // The samples, and past the record their continuation.
    const uint8_t *samples = data + kSamplesAt;
    const size_t n = size > kSamplesAt ? size - kSamplesAt : 0;
    auto fill = [samples, n](char *to, size_t bytes, size_t phase) {
        if (n == 0) {
            std::memset(to, 0, bytes);
            return;
        }
        size_t done = 0;
        while (done < bytes) {
            const size_t at = (phase + done) % n;
            const size_t chunk = std::min(n - at, bytes - done);
            std::memcpy(to + done, samples + at, chunk);
            done += chunk;
        }
    };
    fill(file + kHeadBytes, kSampleBytes, 0);
    if (length > kPomiarFileSize)
        fill(file + kPomiarFileSize, size_t(length - kPomiarFileSize), kSampleBytes);
    return length;
}

/// The input that describes `rec` as a file of `length` bytes (shorter than
/// a record, a record, or up to kMaxExtra bytes longer), with the samples of
/// its first `sampleRows` rows.
inline QByteArray Compact(const TDataPomiar &rec, qint64 length = kPomiarFileSize, int sampleRows = kShownRows)
{
    quint32 shape = kShapeExact;
    if (length < kPomiarFileSize)
        shape = quint32(length) << 3 | kShapeShort;
    else if (length > kPomiarFileSize)
        shape = quint32(std::min(length - kPomiarFileSize, kMaxExtra)) << 3 | kShapeLonger;
    const char *image = reinterpret_cast<const char *>(&rec);
    QByteArray input(int(kSamplesAt), '\0');
    std::memcpy(input.data() + kShapeAt, &shape, sizeof shape);
    std::memcpy(input.data() + kHeadAt, image, kHeadBytes);
    std::memcpy(input.data() + kTailAt, image + kPomiarFileSize - kTailBytes, kTailBytes);
    input.append(image + kHeadBytes, sampleRows * kPomiarChannels * int(sizeof(qint32)));
    return input;
}

} // namespace datafileinput

#endif // DATAFILEINPUT_H
