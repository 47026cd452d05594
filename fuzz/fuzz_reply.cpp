// A reply from the service, whatever its bytes: classified without a crash,
// and a balance only ever with numbers that hold.
#include "platform/ansicodec.h"
#include "platform/numericprefix.h"
#include "service/reply.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = zendry::AnsiCodec::decode(QByteArrayView(data, qsizetype(size)));
    const zendry::Reply r = zendry::classifyReply(reply);
    if (r.kind == zendry::Reply::Kind::Balance && !reply.startsWith(u'='))
        std::abort();
    zendry::NumericPrefix number(reply);
    (void)number.floor();
    (void)number.roundHalfEven();
    return 0;
}
