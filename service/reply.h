#pragma once

#include "service/outcome.h"

namespace zendry {

// What the service's reply means to the user, tested in a fixed order: the
// first two characters name a refusal ("!w", "!p", "!0", "!r", a message
// after "!\""), "=" starts the two balances, anything else is the server
// being unavailable. `refresh`: the exchange was a credits refresh, so a
// balance is shown without a word.
Outcome replyOutcome(const QString &reply, bool refresh);

// A socket error or the time-out.
Outcome unavailableOutcome();

} // namespace zendry
