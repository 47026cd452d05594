#include "service/reply.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>
#include <string>
#include <system_error>

namespace zendry {

namespace {

// Whether a number that does not fit a double is too large (rather than too
// small): its decimal magnitude is the exponent plus the integer digits, or
// minus the zeros that follow the point.
bool overflows(const std::string &number)
{
    const size_t e = number.find('e');
    const std::string mantissa = number.substr(0, e);
    long long magnitude = 0;
    if (e != std::string::npos) {
        // Clamp: a long run of exponent digits only needs its sign to be right.
        const std::string exp = number.substr(e + 1);
        const bool negative = !exp.empty() && exp[0] == '-';
        long long value = 0;
        for (char c : exp) {
            if (c >= '0' && c <= '9')
                value = std::min<long long>(value * 10 + (c - '0'), 1LL << 40);
        }
        magnitude = negative ? -value : value;
    }
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const size_t significant = whole.find_first_not_of("+-0");
    if (significant != std::string::npos)
        return magnitude + (long long)(whole.size() - significant) > 0;
    if (point == std::string::npos)
        return false;
    const size_t firstDigit = mantissa.find_first_not_of('0', point + 1);
    return magnitude - (long long)(firstDigit - point - 1) > 0;
}

// A number without an exponent is read exactly: a balance keeps every digit.
std::optional<qint64> exactFloor(const std::string &number)
{
    const bool negative = number[0] == '-';
    quint64 whole = 0;
    bool fraction = false, point = false;
    for (char c : number) {
        if (c == '.') {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (point) {
                fraction = fraction || c != '0';
            } else {
                if (whole > (quint64(1) << 63) / 10)
                    return std::nullopt;
                whole = whole * 10 + quint64(c - '0');
                if (whole > (quint64(1) << 63))
                    return std::nullopt;
            }
        }
    }
    if (!negative)
        return whole == (quint64(1) << 63) ? std::nullopt : std::optional<qint64>(qint64(whole));
    if (fraction && whole == (quint64(1) << 63))
        return std::nullopt;
    // -whole, then one further down for a fraction: floor goes towards minus infinity.
    const qint64 down = whole == (quint64(1) << 63) ? std::numeric_limits<qint64>::min() : -qint64(whole);
    return fraction ? down - 1 : down;
}

} // namespace

std::optional<qint64> balanceNumber(QStringView text)
{
    std::string number;
    bool digits = false, point = false, exponent = false;
    qsizetype exponentAt = 0; // where the exponent began, to drop one with no digits
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const bool signAllowed = number.empty()
            || (exponent && number.size() == size_t(exponentAt) + 1);
        if (c >= u'0' && c <= u'9') {
            number += char(c);
            digits = true;
        } else if ((c == u'+' || c == u'-') && signAllowed) {
            number += char(c);
        } else if (c == u'.' && !point && !exponent) {
            number += '.';
            point = true;
        } else if ((c == u'e' || c == u'E') && digits && !exponent) {
            exponentAt = qsizetype(number.size());
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    // An exponent needs digits of its own; "1e" and "1e+" read as 1.
    if (exponent) {
        const std::string tail = number.substr(size_t(exponentAt) + 1);
        if (tail.find_first_of("0123456789") == std::string::npos)
            number.resize(size_t(exponentAt));
    }
    if (!digits)
        return 0;
    if (!exponent)
        return exactFloor(number);
    // from_chars: the decimal point is '.' whatever the user's locale says.
    const char *first = number.c_str();
    if (*first == '+')
        ++first;
    double parsed = 0;
    const auto [end, error] = std::from_chars(first, number.c_str() + number.size(), parsed);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range)
        return overflows(number) ? std::nullopt : std::optional<qint64>(0);
    const double value = std::floor(parsed);
    // 2^63 is the first double outside qint64.
    if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(value);
}

Reply classifyReply(const QString &reply)
{
    Reply r;
    const QString head = reply.left(2).toLower();
    using Kind = Reply::Kind;
    if (head == QLatin1String("!w")) {
        r.kind = Kind::UnknownZdid;
    } else if (head == QLatin1String("!p")) {
        r.kind = Kind::WrongPassword;
    } else if (reply.startsWith(QLatin1String("!0"))) {
        r.kind = Kind::NoCredits;
    } else if (head == QLatin1String("!r")) {
        const QString third = reply.mid(2, 1).toLower();
        r.kind = third == u"w" ? Kind::RecipientUnknown
            : third == u"n"    ? Kind::RecipientNoMobile
                               : Kind::RecipientProblem;
    } else if (reply.startsWith(QLatin1String("!\""))) {
        r.kind = Kind::ServiceMessage;
        r.message = reply.mid(2);
    } else if (reply.startsWith(u'=')) {
        const qsizetype comma = reply.indexOf(u',', 1);
        const auto freeCredits = comma < 0 ? std::nullopt : balanceNumber(QStringView(reply).mid(1, comma - 1));
        const auto purchased = comma < 0 ? std::nullopt : balanceNumber(QStringView(reply).mid(comma + 1));
        if (freeCredits && purchased) {
            r.kind = Kind::Balance;
            r.freeCredits = *freeCredits;
            r.purchasedCredits = *purchased;
        } else {
            r.kind = Kind::BadBalance;
        }
    }
    return r;
}

} // namespace zendry
