#include "platform/endpoints.h"

namespace zendry {

QString Endpoints::webAddress(const QString &host, const QString &path) const
{
    QString address = QStringLiteral("http://") + host;
    if (port != 80)
        address += u':' + QString::number(port);
    return address + path;
}

} // namespace zendry
