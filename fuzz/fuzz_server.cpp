// The stand-in's request handling on any bytes: the service protocol and the
// web pages, against accounts kept in memory.
#include "server/accountstore.h"
#include "server/servicerequests.h"
#include "server/webpages.h"
#include "service/credential.h"

#include <cstdlib>

using namespace zendry::server;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString digest = zendry::PasswordDigest(QStringLiteral("pw"));
    AccountStore accounts(QStringLiteral("/nonexistent-zendry-fuzz")); // never saved
    accounts.put({ "alice", digest, 1, 1, "4477" });
    accounts.put({ "bob", digest, 0, 0, "" });

    const QByteArray request(reinterpret_cast<const char *>(data), qsizetype(size));
    const ServiceAnswer a = answerServiceRequest(request, accounts);
    const Account *alice = accounts.find(QStringLiteral("alice"));
    if (!alice || alice->freeCredits < 0 || alice->purchasedCredits < 0)
        std::abort();
    if (a.accountsChanged != a.delivery.has_value())
        std::abort();

    bool changed = false;
    (void)WebPages::isComplete(request);
    const QByteArray page = WebPages::respond(WebPages::parse(request), accounts, &changed);
    if (!page.startsWith("HTTP/1.0 "))
        std::abort();
    return 0;
}
