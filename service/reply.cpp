#include "service/reply.h"

#include "platform/numericprefix.h"
#include "service/texts.h"

namespace zendry {

namespace {

Outcome box(const QString &title, const QString &text, Field focus)
{
    Outcome o;
    o.title = title;
    o.text = text;
    o.focus = focus;
    return o;
}

// "=free,purchased": each read by its numeric prefix and rounded down. No
// comma is no balance; any number is one, however large, since the message
// it follows has gone out and been paid for.
Outcome balance(const QString &reply, bool refresh)
{
    const qsizetype comma = reply.indexOf(u',', 1);
    if (comma < 0)
        return box(texts::error, texts::connectionProblem, Field::Send);
    Outcome o = refresh ? Outcome() : box(texts::sentTitle, texts::sent, Field::Message);
    o.setsCredits = true;
    o.freeCredits = NumericPrefix(QStringView(reply).mid(1, comma - 1)).floorText();
    o.purchasedCredits = NumericPrefix(QStringView(reply).mid(comma + 1)).floorText();
    if (!refresh)
        o.select = Outcome::Select::All;
    return o;
}

} // namespace

Outcome replyOutcome(const QString &reply, bool refresh)
{
    const QString head = reply.left(2).toLower();
    if (head == u"!w")
        return box(texts::error, texts::unknownZdid, Field::Zdid);
    if (head == u"!p")
        return box(texts::error, texts::wrongPassword, Field::Password);
    if (head == u"!0") {
        Outcome o = box(texts::buyCreditsTitle, texts::buyCredits, Field::Send);
        o.yesNo = true;
        o.setsCredits = true;
        o.freeCredits = o.purchasedCredits = QStringLiteral("0");
        return o;
    }
    if (head == u"!r") {
        const QString third = reply.mid(2, 1).toLower();
        return box(texts::error,
                   third == u"w"           ? texts::recipientUnknown
                           : third == u"n" ? texts::recipientNoMobile
                                           : texts::recipientProblem,
                   Field::Number);
    }
    if (head == u"!\"")
        return box(texts::error, reply.mid(2), Field::Send);
    if (reply.startsWith(u'='))
        return balance(reply, refresh);
    return unavailableOutcome();
}

Outcome unavailableOutcome()
{
    return box(texts::error, texts::unavailable, Field::Send);
}

} // namespace zendry
