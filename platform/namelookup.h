#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

namespace zendry {

// The system's addresses for a host name, in the order it prefers them;
// none when the name is unknown or the lookup fails. It blocks for as long
// as the system's resolver takes, which on a network whose name server
// never answers is many seconds: call it off the window's thread.
QList<QHostAddress> lookUpName(const QString &name);

} // namespace zendry
