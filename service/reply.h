#pragma once

#include <QString>

#include <optional>

namespace zendry {

// What a reply from the service means, tested in a fixed order.
struct Reply
{
    enum class Kind {
        UnknownZdid,       // "!w"
        WrongPassword,     // "!p"
        NoCredits,         // "!0"
        RecipientUnknown,  // "!rw"
        RecipientNoMobile, // "!rn"
        RecipientProblem,  // "!r" and anything else
        ServiceMessage,    // "!\"" followed by the text to show
        Balance,           // "=free,purchased"
        BadBalance,        // "=" without a comma, or a balance too large to hold
        Unrecognised,      // anything else, an empty reply included
    };

    Kind kind = Kind::Unrecognised;
    QString message;         // ServiceMessage: the text from the third character on
    qint64 freeCredits = 0;  // Balance
    qint64 purchasedCredits = 0;
};

Reply classifyReply(const QString &reply);

// The lenient numeric-prefix reading of a balance: spaces, tabs and line
// feeds are skipped wherever they stand; a sign, digits, one decimal point and
// an exponent are read up to the first character that cannot continue the
// number; no number gives 0. Rounded down. Empty when the number is too large
// to hold in 64 bits.
std::optional<qint64> balanceNumber(QStringView text);

} // namespace zendry
