// An ad server's reply in random packet splits, through the same receiving
// code the banner socket uses. The first byte sets the split points.
#include "banner/bannerfile.h"
#include "banner/bannerreceiver.h"

#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const unsigned step = size > 0 ? data[0] % 64 + 1 : 1;
    const QByteArrayView reply = QByteArrayView(data, qsizetype(size)).sliced(size > 0 ? 1 : 0);
    zendry::BannerFile file(dir.filePath(QStringLiteral("Banner.tmp")));
    qint32 remaining = -1;
    QString link;
    for (qsizetype at = 0; at < reply.size();) {
        const qsizetype length = std::min<qsizetype>(step + at % 7, reply.size() - at);
        const auto outcome = zendry::BannerReceiver::receive(reply.sliced(at, length), remaining, link, file);
        at += length;
        if (QFileInfo(file.path()).size() > zendry::BannerFile::maxBytes
            || (outcome == zendry::BannerReceiver::Outcome::Complete && remaining > 0))
            std::abort();
        if (outcome != zendry::BannerReceiver::Outcome::Waiting)
            break;
    }
    file.remove();
    return 0;
}
