#include "digest/csha256.h"

#include <limits>

namespace {

constexpr std::uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::uint32_t H0[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

} // namespace

CSHA256::CSHA256()
{
    for (int k = 0; k < 31; ++k) {
        LowMasks[k] = pattern((std::uint32_t{ 2 } << k) - 1);
        PowersOfTwo[k] = pattern(std::uint32_t{ 1 } << k);
    }
    for (int k = 0; k < 64; ++k)
        RoundConstants[k] = pattern(K[k]);
}

// Four characters to a word, the first in the top byte.
static void packWords(const char16_t *c, qsizetype count, std::int32_t *words)
{
    for (qsizetype w = 0; w < count / 4; ++w, c += 4) {
        words[w] = static_cast<std::int32_t>(
                (std::uint32_t(c[0] & 0xFF) << 24) | (std::uint32_t(c[1] & 0xFF) << 16)
                | (std::uint32_t(c[2] & 0xFF) << 8) | std::uint32_t(c[3] & 0xFF));
    }
}

std::vector<std::int32_t> CSHA256::MessageWords(const QString &sMessage) const
{
    return paddedWords(sMessage, 0);
}

// The padded message words from character `from` (a multiple of 64) to the
// end; from 0 that is the whole padded message.
std::vector<std::int32_t> CSHA256::paddedWords(const QString &sMessage, qsizetype from) const
{
    const qsizetype L = sMessage.size();
    if (L > std::numeric_limits<std::int32_t>::max() - 8)
        throw std::length_error("CSHA256: text too long to hash");
    const qsizetype count = L - from;
    const qsizetype N = 16 * ((count + 8) / 64 + 1);
    std::vector<std::int32_t> words(static_cast<size_t>(N), 0);

    packWords(reinterpret_cast<const char16_t *>(sMessage.constData()) + from, count, words.data());
    for (qsizetype i = count / 4 * 4; i < count; ++i)
        words[i / 4] |= ShiftLeft(sMessage.at(from + i).unicode() & 0xFF, 24 - 8 * int(i % 4));
    words[count / 4] |= ShiftLeft(0x80, 24 - 8 * int(count % 4));

    const auto length = static_cast<std::int32_t>(L);
    words[N - 2] = ShiftRight(length, 29);
    words[N - 1] = ShiftLeft(length, 3);
    return words;
}

// One block of FIPS 180-2, section 6.2.2. The eight rounds of the body are
// written out with the working variables renamed from round to round instead
// of moved, and the schedule is kept in a ring of 16 words.
void CSHA256::compress(std::int32_t H[8], const std::int32_t *M) const
{
    std::int32_t W[16];
    for (int t = 0; t < 16; ++t)
        W[t] = M[t];

    std::int32_t a = H[0], b = H[1], c = H[2], d = H[3], e = H[4], f = H[5], g = H[6], h = H[7];
    const std::int32_t *K = RoundConstants.data();

#define ZENDRY_SCHEDULE(t)                                                                                   \
    (W[(t)&15] = Add32(Add32(sigma1(W[((t)-2) & 15]), W[((t)-7) & 15]),                                      \
                       Add32(sigma0(W[((t)-15) & 15]), W[(t)&15])))
#define ZENDRY_ROUND(a, b, c, d, e, f, g, h, t, w)                                                           \
    do {                                                                                                     \
        const std::int32_t T1 = Add32(Add32(Add32((h), Sigma1(e)), Add32(Ch((e), (f), (g)), K[t])), (w));    \
        (d) = Add32((d), T1);                                                                                \
        (h) = Add32(T1, Add32(Sigma0(a), Maj((a), (b), (c))));                                               \
    } while (false)

    for (int t = 0; t < 16; t += 8) {
        ZENDRY_ROUND(a, b, c, d, e, f, g, h, t + 0, W[t + 0]);
        ZENDRY_ROUND(h, a, b, c, d, e, f, g, t + 1, W[t + 1]);
        ZENDRY_ROUND(g, h, a, b, c, d, e, f, t + 2, W[t + 2]);
        ZENDRY_ROUND(f, g, h, a, b, c, d, e, t + 3, W[t + 3]);
        ZENDRY_ROUND(e, f, g, h, a, b, c, d, t + 4, W[t + 4]);
        ZENDRY_ROUND(d, e, f, g, h, a, b, c, t + 5, W[t + 5]);
        ZENDRY_ROUND(c, d, e, f, g, h, a, b, t + 6, W[t + 6]);
        ZENDRY_ROUND(b, c, d, e, f, g, h, a, t + 7, W[t + 7]);
    }
    for (int t = 16; t < 64; t += 8) {
        ZENDRY_ROUND(a, b, c, d, e, f, g, h, t + 0, ZENDRY_SCHEDULE(t + 0));
        ZENDRY_ROUND(h, a, b, c, d, e, f, g, t + 1, ZENDRY_SCHEDULE(t + 1));
        ZENDRY_ROUND(g, h, a, b, c, d, e, f, t + 2, ZENDRY_SCHEDULE(t + 2));
        ZENDRY_ROUND(f, g, h, a, b, c, d, e, t + 3, ZENDRY_SCHEDULE(t + 3));
        ZENDRY_ROUND(e, f, g, h, a, b, c, d, t + 4, ZENDRY_SCHEDULE(t + 4));
        ZENDRY_ROUND(d, e, f, g, h, a, b, c, t + 5, ZENDRY_SCHEDULE(t + 5));
        ZENDRY_ROUND(c, d, e, f, g, h, a, b, t + 6, ZENDRY_SCHEDULE(t + 6));
        ZENDRY_ROUND(b, c, d, e, f, g, h, a, t + 7, ZENDRY_SCHEDULE(t + 7));
    }
#undef ZENDRY_ROUND
#undef ZENDRY_SCHEDULE

    H[0] = Add32(H[0], a);
    H[1] = Add32(H[1], b);
    H[2] = Add32(H[2], c);
    H[3] = Add32(H[3], d);
    H[4] = Add32(H[4], e);
    H[5] = Add32(H[5], f);
    H[6] = Add32(H[6], g);
    H[7] = Add32(H[7], h);
}

QString CSHA256::SHA256(const QString &sMessage) const
{
    std::int32_t H[8];
    for (int i = 0; i < 8; ++i)
        H[i] = pattern(H0[i]);

    // The whole blocks come straight from the text; only the tail is padded.
    // The words are those of MessageWords, without holding them all at once.
    const qsizetype whole = sMessage.size() / 64;
    const std::vector<std::int32_t> tail = paddedWords(sMessage, whole * 64);
    const auto *text = reinterpret_cast<const char16_t *>(sMessage.constData());
    std::int32_t block[16];
    for (qsizetype i = 0; i < whole; ++i) {
        packWords(text + i * 64, 64, block);
        compress(H, block);
    }
    for (size_t i = 0; i < tail.size(); i += 16)
        compress(H, tail.data() + i);

    static constexpr char hex[] = "0123456789abcdef";
    QString digest(64, Qt::Uninitialized);
    QChar *out = digest.data();
    for (std::int32_t word : H) {
        for (int shift = 28; shift >= 0; shift -= 4)
            *out++ = QLatin1Char(hex[(bits(word) >> shift) & 0xF]);
    }
    return digest;
}
