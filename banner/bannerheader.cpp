#include "banner/bannerheader.h"

#include "platform/ansicodec.h"
#include "platform/numericprefix.h"

#include <limits>

namespace zendry {

std::optional<BannerHeader> BannerHeader::parse(QByteArrayView packet)
{
    const qsizetype space = packet.indexOf(' ');
    // The space's position, counted from 1, is held in 16 signed bits.
    if (space < 0 || space + 1 > std::numeric_limits<qint16>::max())
        return std::nullopt;
    const auto length = NumericPrefix(AnsiCodec::decode(packet.first(space))).roundHalfEven();
    if (!length)
        return std::nullopt;
    const qsizetype linkAt = space + 1;
    const qsizetype cr = packet.indexOf('\r', linkAt);
    if (cr < 0)
        return std::nullopt;
    return BannerHeader{ *length, AnsiCodec::decode(packet.sliced(linkAt, cr - linkAt)), cr + 1 };
}

} // namespace zendry
