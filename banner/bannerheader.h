#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace zendry {

// The head of an ad server's reply: the picture's length in decimal, one
// space, the link, one carriage return; the picture's bytes follow.
struct BannerHeader
{
    qint32 length = 0; // the number the length text begins with, rounded half to even
    QString link; // up to the first carriage return
    qsizetype pictureAt = 0; // where the picture's bytes begin in the packet

    // The whole header must be in the first packet. Empty when it is not (no
    // space, or no carriage return after it), when the space lies beyond what
    // a 16-bit position can count, or when the length does not fit 32 bits.
    static std::optional<BannerHeader> parse(QByteArrayView packet);
};

} // namespace zendry
