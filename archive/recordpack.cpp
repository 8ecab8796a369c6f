// The raw record as the archive keeps it. The samples are 12-bit counts
// that change little from row to row, and unused channels do not change at
// all: each channel's differences, zigzagged so that small negative ones
// have zero high bytes too, are split into four byte planes. Three of the
// planes are then nearly all zeros and the fourth holds the noise, which
// zlib packs to a quarter of the image or less. Every byte of the image
// (reserved word and padding included) comes back unchanged.

#include "archive/recordsha.h"
#include "archive/tarchive.h"

#include <QByteArray>

#include <cstring>
#include <memory>

namespace {

constexpr char kPackFormat = 1;     // first byte of a packed record
constexpr int kSamples = kPomiarRows * kPomiarChannels;
constexpr int kHeadBytes = 12;      // metoda, kanalI, kanalU
constexpr int kTailOffset = kHeadBytes + kSamples * 4;
constexpr int kTailBytes = int(kPomiarFileSize) - kTailOffset;
// zlib's fastest level: the byte planes leave it little to search for, and
// a higher level gains a few per cent of size for several times the time.
constexpr int kPackLevel = 1;

} // namespace

QByteArray PackRecord(const TDataPomiar *rec)
{
    const auto *image = reinterpret_cast<const unsigned char *>(rec);
    QByteArray plain(int(kPomiarFileSize), Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(plain.data());
    std::memcpy(out, image, kHeadBytes);
    std::memcpy(out + kTailOffset, image + kTailOffset, kTailBytes);
    unsigned char *planes = out + kHeadBytes;
    for (int c = 0; c < kPomiarChannels; ++c) {
        quint32 previous = 0;
        for (int r = 0; r < kPomiarRows; ++r) {
            const quint32 value = quint32(rec->dane[r][c]);
            const quint32 delta = value - previous;
            previous = value;
            const quint32 zigzag = (delta << 1) ^ quint32(-(qint32)(delta >> 31));
            const int i = c * kPomiarRows + r;
            planes[i] = quint8(zigzag);
            planes[kSamples + i] = quint8(zigzag >> 8);
            planes[2 * kSamples + i] = quint8(zigzag >> 16);
            planes[3 * kSamples + i] = quint8(zigzag >> 24);
        }
    }
    return QByteArray(1, kPackFormat) + qCompress(plain, kPackLevel);
}

bool UnpackRecord(const QByteArray &packed, TDataPomiar *rec)
{
    if (packed.size() < 5 || packed.at(0) != kPackFormat)
        return false;
    // qUncompress trusts the size in its header and would allocate whatever
    // a damaged blob claims: only the one size a record has is accepted.
    const auto *header = reinterpret_cast<const unsigned char *>(packed.constData() + 1);
    const quint32 claimed = quint32(header[0]) << 24 | quint32(header[1]) << 16 | quint32(header[2]) << 8 | header[3];
    if (claimed != quint32(kPomiarFileSize))
        return false;
    const QByteArray plain = qUncompress(reinterpret_cast<const uchar *>(packed.constData() + 1), packed.size() - 1);
    if (plain.size() != int(kPomiarFileSize))
        return false;
    const auto *in = reinterpret_cast<const unsigned char *>(plain.constData());
    std::unique_ptr<TDataPomiar> result(new TDataPomiar);
    auto *image = reinterpret_cast<unsigned char *>(result.get());
    std::memcpy(image, in, kHeadBytes);
    std::memcpy(image + kTailOffset, in + kTailOffset, kTailBytes);
    const unsigned char *planes = in + kHeadBytes;
    for (int c = 0; c < kPomiarChannels; ++c) {
        quint32 previous = 0;
        for (int r = 0; r < kPomiarRows; ++r) {
            const int i = c * kPomiarRows + r;
            const quint32 zigzag = quint32(planes[i]) | quint32(planes[kSamples + i]) << 8
                | quint32(planes[2 * kSamples + i]) << 16 | quint32(planes[3 * kSamples + i]) << 24;
            const quint32 delta = (zigzag >> 1) ^ quint32(-(qint32)(zigzag & 1));
            previous += delta;
            result->dane[r][c] = qint32(previous);
        }
    }
    std::memcpy(rec, result.get(), sizeof(TDataPomiar));
    return true;
}

QByteArray RecordSha256(const TDataPomiar *rec)
{
    return Sha256(reinterpret_cast<const char *>(rec), int(kPomiarFileSize));
}
