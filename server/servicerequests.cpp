#include "server/servicerequests.h"

#include "platform/ansicodec.h"
#include "service/credential.h"
#include "service/request.h"

namespace zendry::server {

namespace {

const QByteArray creditsPrefix = QByteArrayLiteral("txt ");
const QByteArray sendPrefix = QByteArrayLiteral("stxt ");

QString plainBody(const QByteArray &request, qsizetype prefix)
{
    return WireEncode(AnsiCodec::decode(QByteArrayView(request).sliced(prefix)));
}

QByteArray balance(const Account &a)
{
    return '=' + QByteArray::number(a.freeCredits) + ',' + QByteArray::number(a.purchasedCredits);
}

// "zdid digest": the digest never holds a space, the ZDID might.
bool splitAccount(const QString &text, QString *zdid, QString *digest)
{
    const qsizetype space = text.lastIndexOf(u' ');
    if (space < 0)
        return false;
    *zdid = text.left(space);
    *digest = text.mid(space + 1);
    return true;
}

// The refusal an account earns before anything is spent, or empty.
QByteArray refuseAccount(const Account *account, const QString &digest)
{
    if (!account)
        return QByteArrayLiteral("!w");
    if (account->digest.isEmpty() || account->digest != digest)
        return QByteArrayLiteral("!p");
    return {};
}

ServiceAnswer answerCredits(const QString &body, AccountStore &accounts)
{
    QString zdid, digest;
    if (!splitAccount(body, &zdid, &digest))
        return {};
    Account *account = accounts.find(zdid);
    if (QByteArray refusal = refuseAccount(account, digest); !refusal.isEmpty())
        return { refusal };
    return { balance(*account) };
}

ServiceAnswer answerSend(const QString &body, AccountStore &accounts)
{
    // "v1.10 zdid digest" CR LF number CR LF message CR signature
    const qsizetype firstEnd = body.indexOf(QLatin1String("\r\n"));
    const qsizetype secondEnd = firstEnd < 0 ? -1 : body.indexOf(QLatin1String("\r\n"), firstEnd + 2);
    const qsizetype lastCr = body.lastIndexOf(u'\r');
    if (secondEnd < 0 || lastCr < secondEnd + 2)
        return {};
    const QString head = body.left(firstEnd);
    const qsizetype space = head.indexOf(u' ');
    QString zdid, digest;
    if (space < 0 || !splitAccount(head.mid(space + 1), &zdid, &digest))
        return {};
    if (head.left(space) != QLatin1String(clientVersion))
        return { QByteArray(outdatedVersionReply) };

    Account *account = accounts.find(zdid);
    if (QByteArray refusal = refuseAccount(account, digest); !refusal.isEmpty())
        return { refusal };
    if (account->freeCredits + account->purchasedCredits <= 0)
        return { QByteArrayLiteral("!0") };

    QString to = body.mid(firstEnd + 2, secondEnd - firstEnd - 2);
    if (to.isEmpty())
        return { QByteArrayLiteral("!r") };
    if (to.toLower() != to.toUpper()) {
        // Letters: another user's ZDID, delivered to that user's mobile.
        const Account *recipient = accounts.find(to);
        if (!recipient)
            return { QByteArrayLiteral("!rw") };
        if (recipient->mobile.isEmpty())
            return { QByteArrayLiteral("!rn") };
        to = recipient->mobile;
    }

    if (account->freeCredits > 0)
        --account->freeCredits;
    else
        --account->purchasedCredits;
    ServiceAnswer answer{ balance(*account), true };
    answer.delivery = Delivery{ account->zdid, to, body.mid(secondEnd + 2, lastCr - secondEnd - 2),
                                body.mid(lastCr + 1) };
    return answer;
}

} // namespace

ServiceAnswer answerServiceRequest(const QByteArray &request, AccountStore &accounts)
{
    if (request.startsWith(creditsPrefix))
        return answerCredits(plainBody(request, creditsPrefix.size()), accounts);
    if (request.startsWith(sendPrefix))
        return answerSend(plainBody(request, sendPrefix.size()), accounts);
    return {};
}

} // namespace zendry::server
