#pragma once

#include "service/outcome.h"

#include <optional>

namespace zendry {

// The fields Send looks at, as the window shows them. `message` has CR LF
// line breaks; `charsRemaining` is the text of the counter box.
struct SendFields
{
    QString zdid;
    QString password;
    QString number;
    QString message;
    QString charsRemaining;
};

// The first check that fails, as the box to show and the place to correct;
// nothing when the exchange may start.
std::optional<Outcome> checkSend(const SendFields &fields);
std::optional<Outcome> checkRefresh(const QString &zdid, const QString &password);

} // namespace zendry
