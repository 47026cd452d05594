#pragma once

#include "platform/desktop.h"

namespace zendry {

// The Windows shell on Windows, QDesktopServices elsewhere.
class SystemDesktop : public Desktop
{
public:
    void open(QWidget *owner, const QString &verb, const QString &target) override;

    // An address as it goes to the desktop, fully percent-encoded so that a
    // browser's command line holds it as one argument: the scheme and the
    // host as QUrl writes them (lower case, an international name in its
    // ASCII form); after the host every escape kept as it is, a '%' that
    // starts none written "%25", and what an address may not hold (spaces,
    // quotes, letters outside ASCII) encoded in UTF-8. Empty when the text
    // is no address with a host.
    static QString encodedAddress(const QString &address);

    // How Windows is asked: ShellExecuteW's arguments, the owner window's
    // handle first and the show command last. Tests put a recorder here.
    using ShellOpen = void (*)(quintptr owner, const wchar_t *verb, const wchar_t *file,
                               const wchar_t *parameters, const wchar_t *directory, int show);
    static ShellOpen shellOpen;
};

} // namespace zendry
