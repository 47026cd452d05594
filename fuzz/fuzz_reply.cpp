// A reply from the service, whatever its bytes: an outcome without a crash,
// and credits only ever from a balance.
#include "platform/ansicodec.h"
#include "service/reply.h"

#include <QRegularExpression>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = zendry::AnsiCodec::decode(QByteArrayView(data, qsizetype(size)));
    const zendry::Outcome o = zendry::replyOutcome(reply, size % 2 == 0);
    if (o.setsCredits && !reply.startsWith(u'=') && !reply.startsWith(QLatin1String("!0")))
        std::abort();
    if (o.title.isEmpty() && (!o.setsCredits || size % 2 != 0))
        std::abort();
    // A balance is a whole number in digits, its exponent kept when it would pad
    // more zeros than that, so its text stays near the reply's size.
    static const QRegularExpression whole(QStringLiteral("^-?[1-9][0-9]*(e[0-9]+)?$|^0$"));
    for (const QString &credits : { o.freeCredits, o.purchasedCredits }) {
        if (o.setsCredits && (!whole.match(credits).hasMatch() || credits.size() > reply.size() + 1001))
            std::abort();
    }
    return 0;
}
