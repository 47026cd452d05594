#include "platform/ansicodec.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zendry {

namespace {

// The characters of the bytes 0x80..0xFF; below them the code page is ASCII.
struct CodePage
{
    char16_t high[128];
};

// 0x80..0x9F of Windows-1252, then Latin-1. The five holes (81, 8D, 8F, 90,
// 9D) decode to the C1 control of the same code, as Windows does, so every
// byte survives a round trip.
CodePage windows1252()
{
    CodePage page = { { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 } };
    for (int b = 0xA0; b < 0x100; ++b)
        page.high[b - 0x80] = char16_t(b);
    return page;
}

#ifdef Q_OS_WIN
// Windows' own single-byte (ANSI) code page, as the system converts it; a
// byte it has no character for keeps its code. Where that code page is not
// a single-byte one (UTF-8, or a double-byte page), Windows-1252.
CodePage systemCodePage()
{
    const UINT acp = GetACP();
    CPINFO info;
    if (acp == CP_UTF8 || !GetCPInfo(acp, &info) || info.MaxCharSize != 1)
        return windows1252();
    CodePage page;
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        wchar_t wide = 0;
        const bool mapped = MultiByteToWideChar(acp, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1;
        page.high[b - 0x80] = mapped ? char16_t(wide) : char16_t(b);
    }
    return page;
}
#endif

const CodePage &codePage()
{
#ifdef Q_OS_WIN
    static const CodePage page = systemCodePage();
#else
    static const CodePage page = windows1252();
#endif
    return page;
}

} // namespace

char AnsiCodec::byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return static_cast<char>(u);
    const CodePage &page = codePage();
    if (u < 0x100 && page.high[u - 0x80] == u)
        return static_cast<char>(u);
    for (int i = 0; i < 128; ++i) {
        if (page.high[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QChar AnsiCodec::character(unsigned char code)
{
    return code < 0x80 ? QChar(code) : QChar(codePage().high[code - 0x80]);
}

QByteArray AnsiCodec::encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (QChar c : text)
        *d++ = byte(c);
    return out;
}

QString AnsiCodec::decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (char b : bytes)
        *d++ = character(static_cast<unsigned char>(b));
    return out;
}

} // namespace zendry
