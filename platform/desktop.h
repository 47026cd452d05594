#pragma once

#include <QString>

class QWidget;

namespace zendry {

// Hands a web address or a file to the desktop's default handler. The result
// is never looked at: the program shows nothing when opening fails.
class Desktop
{
public:
    virtual ~Desktop();
    virtual void open(QWidget *owner, const QString &verb, const QString &target) = 0;
};

} // namespace zendry
