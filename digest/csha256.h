#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

// SHA-256 (FIPS 180-2) over a text, one byte per character: the low 8 bits of
// each character's 16-bit code. The digest comes back as 64 lower-case hex digits.
//
// Words are kept as signed 32-bit integers holding 32-bit patterns; every
// operation computes its pattern through uint32_t, so nothing overflows.
class CSHA256
{
public:
    CSHA256();

    // Throws std::length_error for a text too long to pad (more than 2^31 - 9
    // characters) rather than return a wrong digest.
    QString SHA256(const QString &sMessage) const;

private:
    friend class TestRules;

    static void checkAmount(int n)
    {
        if (n < 0 || n > 31)
            throw std::overflow_error("CSHA256: shift amount outside 0..31");
    }
    static std::int32_t pattern(std::uint32_t u) { return static_cast<std::int32_t>(u); }
    static std::uint32_t bits(std::int32_t v) { return static_cast<std::uint32_t>(v); }

    static std::int32_t ShiftLeft(std::int32_t v, int n)
    {
        checkAmount(n);
        return pattern(bits(v) << n);
    }
    static std::int32_t ShiftRight(std::int32_t v, int n)
    {
        checkAmount(n);
        return pattern(bits(v) >> n);
    }
    static std::int32_t Add32(std::int32_t x, std::int32_t y) { return pattern(bits(x) + bits(y)); }
    static std::int32_t RotateRight(std::int32_t v, int n)
    {
        const int r = n & 31;
        return ShiftRight(v, r) | ShiftLeft(v, 32 - r);
    }
    static std::int32_t SHR(std::int32_t v, int n) { return ShiftRight(v, n & 31); }

    // (x AND y) XOR (NOT x AND z), and (x AND y) XOR (x AND z) XOR (y AND z),
    // each in one operation fewer.
    static std::int32_t Ch(std::int32_t x, std::int32_t y, std::int32_t z) { return ((y ^ z) & x) ^ z; }
    static std::int32_t Maj(std::int32_t x, std::int32_t y, std::int32_t z)
    {
        return (x & y) | ((x | y) & z);
    }
    static std::int32_t Sigma0(std::int32_t x)
    {
        return RotateRight(x, 2) ^ RotateRight(x, 13) ^ RotateRight(x, 22);
    }
    static std::int32_t Sigma1(std::int32_t x)
    {
        return RotateRight(x, 6) ^ RotateRight(x, 11) ^ RotateRight(x, 25);
    }
    static std::int32_t sigma0(std::int32_t x) { return RotateRight(x, 7) ^ RotateRight(x, 18) ^ SHR(x, 3); }
    static std::int32_t sigma1(std::int32_t x)
    {
        return RotateRight(x, 17) ^ RotateRight(x, 19) ^ SHR(x, 10);
    }

    std::vector<std::int32_t> MessageWords(const QString &sMessage) const;
    std::vector<std::int32_t> paddedWords(const QString &sMessage, qsizetype from) const;
    void compress(std::int32_t H[8], const std::int32_t *M) const;

    std::array<std::int32_t, 31> LowMasks;
    std::array<std::int32_t, 31> PowersOfTwo;
    std::array<std::int32_t, 64> RoundConstants;
};
