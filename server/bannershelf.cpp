#include "server/bannershelf.h"

#include <QDir>
#include <QFile>
#include <QUrl>

static void initServerResources()
{
    Q_INIT_RESOURCE(server);
}

namespace zendry::server {

BannerShelf::BannerShelf(const QString &dataFolder)
    : m_folder(QDir(dataFolder).filePath(QStringLiteral("banners")))
{
    initServerResources();
}

QByteArray BannerShelf::nextReply(const QString &site)
{
    const QStringList pictures = QDir(m_folder).entryList({ "*.gif", "*.png", "*.jpg", "*.jpeg" },
                                                          QDir::Files, QDir::Name | QDir::IgnoreCase);
    QString path = QStringLiteral(":/server/builtin-banner.gif");
    QString name = QStringLiteral("builtin");
    if (!pictures.isEmpty()) {
        name = pictures.at(m_next++ % pictures.size());
        path = QDir(m_folder).filePath(name);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray picture = file.readAll();
    const QByteArray link =
            (site + QStringLiteral("/?banner=") + QString::fromLatin1(QUrl::toPercentEncoding(name)))
                    .toUtf8();
    return QByteArray::number(picture.size()) + ' ' + link + '\r' + picture;
}

} // namespace zendry::server
