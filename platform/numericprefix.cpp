#include "platform/numericprefix.h"

#include <algorithm>
#include <limits>

namespace zendry {

namespace {

bool skipped(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool digit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Decimal digits plus a number far smaller than they are, carried or
// borrowed digit by digit.
std::string plus(std::string digits, long long k)
{
    const int step = k < 0 ? -1 : 1;
    unsigned long long carry = k < 0 ? 0 - (unsigned long long)k : (unsigned long long)k;
    for (auto d = digits.rbegin(); d != digits.rend() && carry != 0; ++d) {
        int v = (*d - '0') + step * int(carry % 10);
        carry /= 10;
        if (v < 0 || v > 9) {
            v -= step * 10;
            ++carry;
        }
        *d = char('0' + v);
    }
    if (carry != 0)
        digits.insert(0, std::to_string(carry));
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    return digits;
}

} // namespace

NumericPrefix::NumericPrefix(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto peek = [&]() -> char16_t {
        while (i < n && skipped(text[i].unicode()))
            ++i;
        return i < n ? text[i].unicode() : u'\0';
    };

    if (const char16_t c = peek(); c == u'+' || c == u'-') {
        m_negative = c == u'-';
        ++i;
    }
    std::string whole, fraction;
    auto digits = [&](std::string &into) {
        while (digit(peek()))
            into += char(text[i++].unicode());
    };
    digits(whole);
    if (peek() == u'.') {
        ++i;
        digits(fraction);
    }
    // The exponent is read whole: one too long for 64 bits keeps its digits
    // for the text, and is far beyond every limit of the numbers.
    std::string exponent;
    bool negativeExponent = false;
    if (const char16_t e = peek(); (e == u'e' || e == u'E') && !(whole.empty() && fraction.empty())) {
        // Taken only with digits of its own: "1e" and "1e+" read as 1.
        const qsizetype mark = i++;
        if (const char16_t c = peek(); c == u'+' || c == u'-') {
            negativeExponent = c == u'-';
            ++i;
        }
        bool any = false;
        while (digit(peek())) {
            any = true;
            const char d = char(text[i++].unicode());
            if (!exponent.empty() || d != '0')
                exponent += d;
        }
        if (!any)
            i = mark;
    }
    constexpr size_t exactDigits = 18; // below 10^18, with room for the digits' own count
    const bool huge = exponent.size() > exactDigits;
    const long long shift = huge || exponent.empty() ? 0 : std::stoll(exponent);
    m_digits = whole + fraction;
    m_point = (long long)whole.size() + (negativeExponent ? -shift : shift);
    const size_t lead = std::min(m_digits.find_first_not_of('0'), m_digits.size());
    m_digits.erase(0, lead);
    m_point -= (long long)lead;
    m_digits.erase(m_digits.find_last_not_of('0') + 1);
    if (m_digits.empty()) {
        m_negative = false;
        m_point = 0;
    } else if (huge && negativeExponent) {
        m_point = -hugePoint; // zeros after the point beyond any text
    } else if (huge) {
        m_zeros = plus(exponent, m_point - (long long)m_digits.size());
        m_point = hugePoint;
    }
}

NumericPrefix::Parts NumericPrefix::parts() const
{
    Parts p;
    const long long size = (long long)m_digits.size();
    if (m_point > 19) {
        p.tooLarge = true;
        return p;
    }
    for (long long k = 0; k < m_point; ++k)
        p.whole = p.whole * 10 + (k < size ? quint64(m_digits[size_t(k)] - '0') : 0);
    if (m_point >= 0) {
        p.firstFraction = m_point < size ? m_digits[size_t(m_point)] - '0' : 0;
        p.moreFraction = m_point + 1 < size;
    } else {
        p.moreFraction = size > 0; // zeros first, then the digits
    }
    return p;
}

std::optional<qint64> NumericPrefix::floor() const
{
    const Parts p = parts();
    constexpr quint64 limit = quint64(1) << 63;
    if (p.tooLarge)
        return std::nullopt;
    if (!m_negative)
        return p.whole < limit ? std::optional<qint64>(qint64(p.whole)) : std::nullopt;
    const quint64 magnitude = p.whole + (p.fraction() ? 1 : 0);
    if (magnitude > limit || magnitude < p.whole)
        return std::nullopt;
    return magnitude == limit ? std::numeric_limits<qint64>::min() : -qint64(magnitude);
}

QString NumericPrefix::floorText() const
{
    const long long size = (long long)m_digits.size();
    // The integer part: the digits before the point, then zeros up to it.
    std::string whole = m_digits.substr(0, size_t(std::clamp(m_point, 0LL, size)));
    const long long zeros = std::max(m_point - size, 0LL);
    // Below zero a fraction takes the magnitude one up. Only digits written
    // out can hold a fraction, so there are no padded zeros to carry into.
    if (m_negative && m_point < size) {
        auto digit = whole.rbegin();
        for (; digit != whole.rend() && *digit == '9'; ++digit)
            *digit = '0';
        if (digit == whole.rend())
            whole.insert(whole.begin(), '1');
        else
            ++*digit;
    }
    if (whole.empty())
        return QStringLiteral("0");
    QString text = QString::fromLatin1(m_negative ? "-" : "") + QString::fromStdString(whole);
    if (!m_zeros.empty())
        return text + u'e' + QString::fromStdString(m_zeros);
    if (zeros > maxPaddedZeros)
        return text + u'e' + QString::number(zeros);
    return text + QString(qsizetype(zeros), u'0');
}

std::optional<qint32> NumericPrefix::roundHalfEven() const
{
    const Parts p = parts();
    if (p.tooLarge)
        return std::nullopt;
    quint64 magnitude = p.whole;
    if (p.firstFraction > 5 || (p.firstFraction == 5 && (p.moreFraction || (magnitude & 1))))
        ++magnitude;
    const quint64 limit = m_negative ? quint64(1) << 31 : (quint64(1) << 31) - 1;
    if (magnitude > limit)
        return std::nullopt;
    return m_negative ? qint32(-qint64(magnitude)) : qint32(magnitude);
}

} // namespace zendry
