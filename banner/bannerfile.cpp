#include "banner/bannerfile.h"

#include "platform/wholefile.h"

#include <QImageReader>

namespace zendry {

const QString BannerFile::fileName = QStringLiteral("Banner.tmp");
const QString BannerFile::fallbackPicture = QStringLiteral("Vorral.gif");

BannerFile::BannerFile(const QString &path) : m_file(path) { }

bool BannerFile::replace()
{
    m_file.close();
    if (m_file.exists() && !m_file.remove())
        return false;
    return m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool BannerFile::append(QByteArrayView bytes)
{
    if (!m_file.isOpen() || m_file.size() + bytes.size() > maxBytes)
        return false;
    return WholeFile::writeAll(m_file, bytes.toByteArray(), nullptr);
}

void BannerFile::close()
{
    m_file.close();
}

bool BannerFile::remove()
{
    m_file.close();
    return !m_file.exists() || m_file.remove();
}

QImage BannerFile::loadPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace zendry
