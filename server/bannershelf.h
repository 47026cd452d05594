#pragma once

#include <QByteArray>
#include <QString>

namespace zendry::server {

// The pictures the stand-in serves as advertisements, in turn: those in
// DIR/banners (GIF, PNG, JPEG), or a built-in one when there are none.
class BannerShelf
{
public:
    explicit BannerShelf(const QString &dataFolder);

    // The reply to "Ad SMS v1.10": the length, a space, the link, a carriage
    // return, then the picture. `site` is "http://host:port" of this server.
    QByteArray nextReply(const QString &site);

    static constexpr qsizetype requestSize = 12;

private:
    QString m_folder;
    int m_next = 0;
};

} // namespace zendry::server
