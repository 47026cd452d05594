// A reply from the service, whatever its bytes: an outcome without a crash,
// and credits only ever from a balance.
#include "platform/ansicodec.h"
#include "service/reply.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = zendry::AnsiCodec::decode(QByteArrayView(data, qsizetype(size)));
    const zendry::Outcome o = zendry::replyOutcome(reply, size % 2 == 0);
    if (o.setsCredits && !reply.startsWith(u'=') && !reply.startsWith(QLatin1String("!0")))
        std::abort();
    if (o.title.isEmpty() && (!o.setsCredits || size % 2 != 0))
        std::abort();
    return 0;
}
