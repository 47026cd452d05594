#pragma once

#include "platform/desktop.h"

namespace zendry {

// ShellExecuteA on Windows, QDesktopServices elsewhere.
class SystemDesktop : public Desktop
{
public:
    void open(QWidget *owner, const QString &verb, const QString &target) override;

    // How Windows is asked: ShellExecuteA's arguments, the owner window's
    // handle first and the show command last. Tests put a recorder here.
    using ShellOpen = void (*)(quintptr owner, const char *verb, const char *file, const char *parameters,
                                  const char *directory, int show);
    static ShellOpen shellOpen;
};

} // namespace zendry
