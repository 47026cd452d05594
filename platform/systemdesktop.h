#pragma once

#include "platform/desktop.h"

namespace zendry {

// ShellExecuteA on Windows, QDesktopServices elsewhere.
class SystemDesktop : public Desktop
{
public:
    void open(QWidget *owner, const QString &verb, const QString &target) override;
};

} // namespace zendry
