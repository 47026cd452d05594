#pragma once

#include <QByteArray>
#include <QString>

namespace zendry {

// The plain bodies of the two requests, built from the fields as they stand.
// "message" is the message box's text with CR LF line breaks.
QString creditsRequestBody(const QString &zdid, const QString &passwordHash);
QString sendRequestBody(const QString &zdid, const QString &passwordHash, const QString &number,
                        const QString &message, const QString &signature);

// What goes on the wire: the prefix ("txt " or "stxt ") and the encoded body,
// as Windows-1252 bytes, with nothing after it.
QByteArray creditsRequest(const QString &zdid, const QString &passwordHash);
QByteArray sendRequest(const QString &zdid, const QString &passwordHash, const QString &number,
                       const QString &message, const QString &signature);

inline constexpr char clientVersion[] = "v1.10";

} // namespace zendry
