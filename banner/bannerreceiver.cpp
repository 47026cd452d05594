#include "banner/bannerreceiver.h"

#include "banner/bannerheader.h"

#include <algorithm>
#include <limits>

namespace zendry {

BannerReceiver::Outcome BannerReceiver::receive(QByteArrayView packet, qint32 &remaining, QString &link,
                                                BannerFile &file)
{
    QByteArrayView picture = packet;
    if (remaining == -1) {
        const auto header = BannerHeader::parse(packet);
        if (!header || header->length > BannerFile::maxBytes)
            return Outcome::Failed;
        remaining = header->length;
        link = header->link;
        if (!file.replace())
            return Outcome::Failed;
        picture = picture.sliced(header->pictureAt);
    }
    if (!file.append(picture))
        return Outcome::Failed;
    // An announced length near the bottom of 32 bits must not wrap round to
    // a large count still expected: it expects nothing.
    const qint64 left = qint64(remaining) - picture.size();
    remaining = qint32(std::max<qint64>(left, std::numeric_limits<qint32>::min()));
    return left > 0 ? Outcome::Waiting : Outcome::Complete;
}

} // namespace zendry
