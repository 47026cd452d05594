#pragma once

#include <QString>

namespace zendry {

// Where the client talks to: the service, the ad server and the web pages,
// all on one port.
struct Endpoints
{
    QString serviceHost;
    QString adHost;
    QString webHost;
    quint16 port = 80;
    QString defaultBannerLink;

    // "http://host/path", with ":port" when the port is not 80.
    QString webAddress(const QString &host, const QString &path) const;
};

} // namespace zendry
