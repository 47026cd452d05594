#include "service/reply.h"

#include "platform/numericprefix.h"

namespace zendry {

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
        r.kind = third == u"w"  ? Kind::RecipientUnknown
                : third == u"n" ? Kind::RecipientNoMobile
                                : Kind::RecipientProblem;
    } else if (reply.startsWith(QLatin1String("!\""))) {
        r.kind = Kind::ServiceMessage;
        r.message = reply.mid(2);
    } else if (reply.startsWith(u'=')) {
        const qsizetype comma = reply.indexOf(u',', 1);
        const auto freeCredits =
                comma < 0 ? std::nullopt : NumericPrefix(QStringView(reply).mid(1, comma - 1)).floor();
        const auto purchased =
                comma < 0 ? std::nullopt : NumericPrefix(QStringView(reply).mid(comma + 1)).floor();
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
