#include "service/request.h"

#include "platform/ansicodec.h"
#include "platform/trim.h"
#include "service/credential.h"

namespace zendry {

QString creditsRequestBody(const QString &zdid, const QString &passwordHash)
{
    return trimSpaces(zdid) + u' ' + passwordHash;
}

QString sendRequestBody(const QString &zdid, const QString &passwordHash, const QString &number,
                        const QString &message, const QString &signature)
{
    QString body = QLatin1String(clientVersion);
    body += u' ';
    body += trimSpaces(zdid);
    body += u' ';
    body += passwordHash;
    body += QLatin1String("\r\n");
    body += trimSpaces(number);
    body += QLatin1String("\r\n");
    body += trimSpaces(QString(message).replace(QLatin1String("\r\n"), QLatin1String("\r")));
    body += u'\r';
    body += trimSpaces(signature);
    return body;
}

QByteArray creditsRequest(const QString &zdid, const QString &passwordHash)
{
    return "txt " + AnsiCodec::encode(WireEncode(creditsRequestBody(zdid, passwordHash)));
}

QByteArray sendRequest(const QString &zdid, const QString &passwordHash, const QString &number,
                       const QString &message, const QString &signature)
{
    return "stxt "
            + AnsiCodec::encode(WireEncode(sendRequestBody(zdid, passwordHash, number, message, signature)));
}

} // namespace zendry
