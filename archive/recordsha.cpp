// SHA-256 for the archive's records. Qt's own implementation takes about a
// millisecond for one 240080-byte record, which alone would use up the time
// the display of an archived measurement has; the SHA instructions of
// x86 processors (most since 2017) take a tenth of that. Other processors
// and compilers use Qt's.

#include "archive/recordsha.h"

#include <QCryptographicHash>
#include <QtGlobal>

#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define ZYM_SHA_INSTRUCTIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

#ifdef ZYM_SHA_INSTRUCTIONS

alignas(16) const quint32 kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

bool HasShaInstructions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 19)) || !(c & (1u << 9))) // SSE4.1, SSSE3
        return false;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return (b & (1u << 29)) != 0; // SHA
}

// Hashes `blocks` whole 64-byte blocks into `state` (the eight words a..h).
__attribute__((target("sha,sse4.1,ssse3"))) void Blocks(quint32 state[8], const unsigned char *data, size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i tmp = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&state[0]));
    __m128i state1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(&state[4]));
    tmp = _mm_shuffle_epi32(tmp, 0xB1);          // CDAB
    state1 = _mm_shuffle_epi32(state1, 0x1B);    // EFGH
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8); // ABEF
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);  // CDGH

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefSave = state0;
        const __m128i cdghSave = state1;
        __m128i w[4];
        // Unrolled, the four message words stay in registers.
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            __m128i &wi = w[i & 3];
            if (i < 4) {
                wi = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * i)), byteSwap);
            } else {
                // w[i] = msg2(msg1(w[i-4], w[i-3]) + (w[i-1]:w[i-2] >> 4 bytes), w[i-1])
                __m128i t = _mm_sha256msg1_epu32(w[i & 3], w[(i - 3) & 3]);
                t = _mm_add_epi32(t, _mm_alignr_epi8(w[(i - 1) & 3], w[(i - 2) & 3], 4));
                wi = _mm_sha256msg2_epu32(t, w[(i - 1) & 3]);
            }
            __m128i msg = _mm_add_epi32(wi, _mm_load_si128(reinterpret_cast<const __m128i *>(&kRound[4 * i])));
            state1 = _mm_sha256rnds2_epu32(state1, state0, msg);
            msg = _mm_shuffle_epi32(msg, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, msg);
        }
        state0 = _mm_add_epi32(state0, abefSave);
        state1 = _mm_add_epi32(state1, cdghSave);
    }

    tmp = _mm_shuffle_epi32(state0, 0x1B);       // FEBA
    state1 = _mm_shuffle_epi32(state1, 0xB1);    // DCHG
    state0 = _mm_blend_epi16(tmp, state1, 0xF0); // DCBA
    state1 = _mm_alignr_epi8(state1, tmp, 8);    // HGFE
    _mm_storeu_si128(reinterpret_cast<__m128i *>(&state[0]), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(&state[4]), state1);
}

QByteArray ShaWithInstructions(const unsigned char *data, size_t size)
{
    quint32 state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    const size_t whole = size / 64;
    Blocks(state, data, whole);
    // The rest, the 0x80 that ends the message and its length in bits.
    unsigned char tail[128] = {};
    const size_t rest = size - whole * 64;
    std::memcpy(tail, data + whole * 64, rest);
    tail[rest] = 0x80;
    const size_t tailBlocks = rest + 9 <= 64 ? 1 : 2;
    const quint64 bits = quint64(size) * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailBlocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    Blocks(state, tail, tailBlocks);
    QByteArray digest(32, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = char(state[i] >> 24);
        digest[4 * i + 1] = char(state[i] >> 16);
        digest[4 * i + 2] = char(state[i] >> 8);
        digest[4 * i + 3] = char(state[i]);
    }
    return digest;
}

#endif

} // namespace

QByteArray Sha256(const char *data, int size)
{
#ifdef ZYM_SHA_INSTRUCTIONS
    static const bool instructions = HasShaInstructions();
    if (instructions)
        return ShaWithInstructions(reinterpret_cast<const unsigned char *>(data), size_t(qMax(size, 0)));
#endif
    return QCryptographicHash::hash(QByteArray::fromRawData(data, size), QCryptographicHash::Sha256);
}
