#pragma once

#include "server/accountstore.h"

#include <QByteArray>

#include <optional>

namespace zendry::server {

struct Delivery
{
    QString from;
    QString to;
    QString message; // lines separated by CR, as they travel
    QString signature;
};

struct ServiceAnswer
{
    QByteArray reply; // empty: not a request; answer nothing
    bool accountsChanged = false; // a credit was spent
    std::optional<Delivery> delivery; // a message to put in the outbox
};

// The service's answer to one whole request, as the client sent it.
ServiceAnswer answerServiceRequest(const QByteArray &request, AccountStore &accounts);

inline constexpr char outdatedVersionReply[] =
        "!\"This version of Zendry SMS is out of date.\r\nPlease download the latest version.";

} // namespace zendry::server
