#include "banner/bannerreceiver.h"

#include "banner/bannerheader.h"

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
    // The file's cap keeps this well inside 32 bits.
    remaining -= qint32(picture.size());
    return remaining > 0 ? Outcome::Waiting : Outcome::Complete;
}

} // namespace zendry
