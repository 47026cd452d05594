#pragma once

#include "banner/bannerfile.h"

#include <QByteArrayView>
#include <QString>

namespace zendry {

// The ad server's reply as it arrives, one packet at a time. The header must
// be in the first packet; the picture's bytes go to the banner file.
class BannerReceiver
{
public:
    enum class Outcome {
        Waiting, // more picture bytes are expected
        Complete, // every announced byte has come: the file holds the picture
        Failed, // the header or the file failed: fall back to the default banner
    };

    // `remaining` is -1 until the header has been read, then the number of
    // picture bytes still expected; `link` takes the header's link.
    static Outcome receive(QByteArrayView packet, qint32 &remaining, QString &link, BannerFile &file);
};

} // namespace zendry
