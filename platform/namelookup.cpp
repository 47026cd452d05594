#include "platform/namelookup.h"

#include <QUrl>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace zendry {

QList<QHostAddress> lookUpName(const QString &name)
{
    const QByteArray ace = QUrl::toAce(name);
    if (ace.isEmpty())
        return {};
#ifdef Q_OS_WIN
    // The lookup may come before any socket has started Windows' sockets.
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return {};
#endif
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo *found = nullptr;
    QList<QHostAddress> addresses;
    if (getaddrinfo(ace.constData(), nullptr, &hints, &found) == 0) {
        for (const addrinfo *a = found; a; a = a->ai_next) {
            const QHostAddress address(a->ai_addr);
            if (!address.isNull() && !addresses.contains(address))
                addresses.append(address);
        }
        freeaddrinfo(found);
    }
#ifdef Q_OS_WIN
    WSACleanup();
#endif
    return addresses;
}

} // namespace zendry
