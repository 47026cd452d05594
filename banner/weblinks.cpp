#include "banner/weblinks.h"

#include "platform/systemdesktop.h"

namespace zendry {

QString WebLinks::purchasePage(const Endpoints &endpoints)
{
    return endpoints.webAddress(endpoints.serviceHost, QStringLiteral("/buytexts.html"));
}

QString WebLinks::createPage(const Endpoints &endpoints)
{
    return endpoints.webAddress(endpoints.webHost, QStringLiteral("/create/"));
}

QString WebLinks::webPage(const QString &link)
{
    // A link without a scheme that starts "www." is a web site, as the
    // Windows shell takes it. Ad servers send links with spaces, "|", quotes
    // or a lone "%" in them; read tolerantly, they are the web pages they
    // look like, and encoded whole they reach a browser's command line as
    // one address.
    const bool bare = link.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
    QString page = SystemDesktop::encodedAddress(bare ? QStringLiteral("http://") + link : link);
    if (!page.startsWith(QLatin1String("http://")) && !page.startsWith(QLatin1String("https://")))
        return QString();
    return page;
}

} // namespace zendry
