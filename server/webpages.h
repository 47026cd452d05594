#pragma once

#include "server/accountstore.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace zendry::server {

// The stand-in's few web pages: the home page, account creation and the
// credits purchase, over plain HTTP/1.0.
class WebPages
{
public:
    struct Request
    {
        QString method;
        QString path;
        QMap<QString, QString> fields; // from the query and a form body
    };

    // Whether the headers and the whole body announced by them have arrived.
    static bool isComplete(const QByteArray &bytes);
    static Request parse(const QByteArray &bytes);

    // The whole response; `changed` tells whether an account was stored.
    static QByteArray respond(const Request &request, AccountStore &accounts, bool *changed);

    static constexpr qint64 newAccountFreeCredits = 5;
};

} // namespace zendry::server
