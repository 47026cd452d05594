#pragma once

#include <QString>

namespace zendry {

// What a reply from the service means, tested in a fixed order.
struct Reply
{
    enum class Kind {
        UnknownZdid, // "!w"
        WrongPassword, // "!p"
        NoCredits, // "!0"
        RecipientUnknown, // "!rw"
        RecipientNoMobile, // "!rn"
        RecipientProblem, // "!r" and anything else
        ServiceMessage, // "!\"" followed by the text to show
        Balance, // "=free,purchased"
        BadBalance, // "=" without a comma, or a balance too large to hold
        Unrecognised, // anything else, an empty reply included
    };

    Kind kind = Kind::Unrecognised;
    QString message; // ServiceMessage: the text from the third character on
    qint64 freeCredits = 0; // Balance
    qint64 purchasedCredits = 0;
};

// The balances are read by their numeric prefix and rounded down; a balance
// too large to hold is no balance.
Reply classifyReply(const QString &reply);

} // namespace zendry
