#include "banner/weblinks.h"

#include <QUrl>

namespace zendry {

QString WebLinks::purchasePage(const Endpoints &endpoints)
{
    return endpoints.webAddress(endpoints.serviceHost, QStringLiteral("/buytexts.html"));
}

QString WebLinks::createPage(const Endpoints &endpoints)
{
    return endpoints.webAddress(endpoints.webHost, QStringLiteral("/create/"));
}

bool WebLinks::isWebPage(const QString &link)
{
    // Ad servers send links with spaces, "|" or a lone "%" in them; read
    // tolerantly, they are the web pages they look like.
    const QUrl url(link, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
            && !url.host().isEmpty();
}

} // namespace zendry
