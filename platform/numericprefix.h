#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string>

namespace zendry {

// The number a text begins with, read leniently: spaces, tabs and line feeds
// are skipped wherever they stand; an optional sign, digits, one decimal
// point and an exponent are read up to the first character that cannot
// continue the number. A text without a leading number reads as 0.
//
// The value is kept as decimal digits, so rounding it is exact however many
// digits it has.
class NumericPrefix
{
public:
    explicit NumericPrefix(QStringView text);

    // Rounded towards minus infinity; empty when outside 64 bits.
    std::optional<qint64> floor() const;
    // The same floor as decimal text, exact whatever its size: a minus sign
    // when negative, then its digits. Only an exponent that would pad more
    // than `maxPaddedZeros` zeros onto the digits is kept as one, counting
    // the zeros exactly however many digits it has ("1e9999999999"), so that
    // no text grows far beyond the one read.
    QString floorText() const;
    static constexpr long long maxPaddedZeros = 1000;
    // Rounded to the nearest, halves to the even neighbour; empty when outside 32 bits.
    std::optional<qint32> roundHalfEven() const;

private:
    struct Parts
    {
        quint64 whole = 0; // the integer part's magnitude
        bool tooLarge = false; // the integer part has more than 19 digits
        int firstFraction = 0; // the first digit after the point
        bool moreFraction = false; // any non-zero digit after that one
        bool fraction() const { return firstFraction != 0 || moreFraction; }
    };
    Parts parts() const;

    bool m_negative = false;
    std::string m_digits; // significant digits, no leading or trailing zeros
    long long m_point = 0; // the decimal point stands after this many of them
    // An exponent too long for 64 bits puts the point this far away, either
    // side; the count of zeros after the digits is then kept in `m_zeros`.
    static constexpr long long hugePoint = 1LL << 62;
    std::string m_zeros;
};

} // namespace zendry
