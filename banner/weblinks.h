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

    // The web page a link from the network opens, encoded as the desktop
    // gets it (SystemDesktop::encodedAddress), or an empty text when the link
    // is no web page. The banner's link comes from the ad server over a plain
    // connection: a file path or another scheme handed to the desktop would
    // open or run something local.
    static QString webPage(const QString &link);
};

} // namespace zendry
