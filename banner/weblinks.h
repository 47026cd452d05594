#pragma once

#include "platform/endpoints.h"

#include <QString>

namespace zendry {

// The addresses the window hands to the desktop.
class WebLinks
{
public:
    static QString purchasePage(const Endpoints &endpoints);
    static QString createPage(const Endpoints &endpoints);

    // Whether a link from the network is a web page. The banner's link comes
    // from the ad server over a plain connection: a file path or another
    // scheme handed to the desktop would open or run something local.
    static bool isWebPage(const QString &link);
};

} // namespace zendry
