#include "service/checks.h"

#include "platform/numericprefix.h"
#include "platform/trim.h"
#include "service/texts.h"

namespace zendry {

namespace {

Outcome refused(const QString &text, Field focus)
{
    Outcome o;
    o.title = texts::error;
    o.text = text;
    o.focus = focus;
    return o;
}

Outcome refusedAt(const QString &text, int start, int length)
{
    Outcome o = refused(text, Field::Number);
    o.settle = true;
    o.select = Outcome::Select::Range;
    o.start = start;
    o.length = length;
    return o;
}

} // namespace

std::optional<Outcome> checkSend(const SendFields &f)
{
    if (trimSpaces(f.zdid).isEmpty())
        return refused(texts::enterZdid, Field::Zdid);
    // Unlike Refresh, Send takes a password of spaces.
    if (f.password.isEmpty())
        return refused(texts::enterPassword, Field::Password);
    const QString number = trimSpaces(f.number);
    if (number.isEmpty())
        return refused(texts::enterNumber, Field::Number);
    // A local number lacks its country code; a recipient with letters is a
    // ZDID, which may well begin with a zero.
    if (number.startsWith(u'0') && f.number.toLower() == f.number.toUpper())
        return refusedAt(texts::countryCode, 0, 1);
    if (const qsizetype comma = f.number.indexOf(u','); comma >= 0)
        return refusedAt(texts::oneRecipient, int(comma), int(f.number.size() - comma));
    if (trimSpaces(f.message).isEmpty())
        return refused(texts::enterMessage, Field::Message);
    if (const qint64 left = NumericPrefix(f.charsRemaining).floor().value_or(0); left < 0) {
        Outcome o = refused(texts::tooLong(-left), Field::Message);
        o.select = Outcome::Select::End;
        return o;
    }
    return std::nullopt;
}

std::optional<Outcome> checkRefresh(const QString &zdid, const QString &password)
{
    if (trimSpaces(zdid).isEmpty())
        return refused(texts::enterZdid, Field::Zdid);
    if (trimSpaces(password).isEmpty())
        return refused(texts::enterPassword, Field::Password);
    return std::nullopt;
}

} // namespace zendry
