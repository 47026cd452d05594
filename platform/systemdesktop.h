#pragma once

#include "platform/desktop.h"

namespace zendry {

// The Windows shell on Windows, QDesktopServices elsewhere.
class SystemDesktop : public Desktop
{
public:
    void open(QWidget *owner, const QString &verb, const QString &target) override;

    // How Windows is asked: ShellExecuteW's arguments, the owner window's
    // handle first and the show command last. Tests put a recorder here.
    using ShellOpen = void (*)(quintptr owner, const wchar_t *verb, const wchar_t *file,
                               const wchar_t *parameters, const wchar_t *directory, int show);
    static ShellOpen shellOpen;
};

} // namespace zendry
