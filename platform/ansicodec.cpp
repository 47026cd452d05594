#include "platform/ansicodec.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace zendry {

namespace {

// The characters of the bytes 0x80..0xFF of a code page; below them every
// code page here is ASCII.
struct CodePage
{
    char16_t high[128];
};

#ifdef Q_OS_WIN
// The system's own conversion. A byte the code page has no character for
// keeps its code.
CodePage tableOf(int number)
{
    CPINFO info;
    if (!GetCPInfo(UINT(number), &info) || info.MaxCharSize != 1)
        number = 1252;
    CodePage page;
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        wchar_t wide = 0;
        const bool mapped = MultiByteToWideChar(UINT(number), MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1) == 1;
        page.high[b - 0x80] = mapped ? char16_t(wide) : char16_t(b);
    }
    return page;
}
#else
// Qt's converter of that name (ICU's tables of Windows' code pages). A byte
// the code page has no character for keeps its code, as Windows decodes the
// holes of 1252 to the C1 controls; a Qt without the converter keeps every
// byte's code.
CodePage tableOf(int number)
{
    CodePage page;
    const QByteArray name = "windows-" + QByteArray::number(number);
    for (int b = 0x80; b < 0x100; ++b) {
        // A new decoder for each byte: a decoder counts its errors over all
        // its calls, and resetting one drops ICU's converter altogether.
        QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
        const char byte = char(b);
        const QString c = decoder.isValid() ? decoder.decode(QByteArrayView(&byte, 1)) : QString();
        const bool mapped = !decoder.hasError() && c.size() == 1 && c.at(0) != QChar::ReplacementCharacter;
        page.high[b - 0x80] = mapped ? c.at(0).unicode() : char16_t(b);
    }
    return page;
}
#endif

// The code page asked for; 0 until the user's is looked up at the first use.
int requested = 0;

const CodePage &codePageInUse()
{
    static CodePage page;
    static int built = 0;
    if (!requested)
        requested = AnsiCodec::userCodePage();
    if (built != requested) {
        page = tableOf(requested);
        built = requested;
    }
    return page;
}

// Windows' ANSI code page of each language that has one besides 1252, by
// ISO 639 code; a language written in two scripts is listed by its usual one.
struct LanguagePage
{
    const char *language;
    int codePage;
};
// clang-format off
constexpr LanguagePage languagePages[] = {
    // Cyrillic
    { "ru", 1251 }, { "uk", 1251 }, { "be", 1251 }, { "bg", 1251 }, { "mk", 1251 },
    { "sr", 1251 }, { "kk", 1251 }, { "ky", 1251 }, { "tt", 1251 }, { "mn", 1251 },
    { "ba", 1251 }, { "sah", 1251 }, { "tg", 1251 },
    // Central European
    { "pl", 1250 }, { "cs", 1250 }, { "sk", 1250 }, { "hu", 1250 }, { "ro", 1250 },
    { "hr", 1250 }, { "sl", 1250 }, { "sq", 1250 }, { "bs", 1250 }, { "tk", 1250 },
    { "el", 1253 },
    { "tr", 1254 }, { "az", 1254 }, { "uz", 1254 },
    { "he", 1255 },
    { "ar", 1256 }, { "fa", 1256 }, { "ur", 1256 }, { "ug", 1256 },
    { "lt", 1257 }, { "lv", 1257 }, { "et", 1257 },
    { "vi", 1258 },
    { "th", 874 },
};
// clang-format on

} // namespace

char AnsiCodec::byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return static_cast<char>(u);
    const CodePage &page = codePageInUse();
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
    return code < 0x80 ? QChar(code) : QChar(codePageInUse().high[code - 0x80]);
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

int AnsiCodec::codePageFor(QStringView locale)
{
    // language[_territory][.codeset][@modifier], or language-Script-territory.
    QString language;
    bool latin = false;
    bool cyrillic = false;
    const QStringList parts = locale.toString().toLower().split(QRegularExpression("[_.@-]"));
    for (const QString &part : parts) {
        if (language.isNull())
            language = part;
        latin = latin || part == u"latin" || part == u"latn";
        cyrillic = cyrillic || part == u"cyrillic" || part == u"cyrl";
    }
    // Serbian is Cyrillic unless written in Latin letters; Azeri, Uzbek and
    // Bosnian are Latin unless written in Cyrillic ones.
    if (cyrillic)
        return 1251;
    if (latin && language == u"sr")
        return 1250;
    for (const LanguagePage &entry : languagePages) {
        if (language == QLatin1StringView(entry.language))
            return entry.codePage;
    }
    return 1252;
}

int AnsiCodec::userCodePage()
{
#ifdef Q_OS_WIN
    CPINFO info;
    const UINT acp = GetACP();
    if (acp == CP_UTF8 || !GetCPInfo(acp, &info) || info.MaxCharSize != 1)
        return 1252;
    return int(acp);
#else
    for (const char *variable : { "LC_ALL", "LC_CTYPE", "LANG" }) {
        const QString locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty())
            return codePageFor(locale);
    }
    return 1252;
#endif
}

int AnsiCodec::codePage()
{
    codePageInUse();
    return requested;
}

void AnsiCodec::useCodePage(int codePage)
{
    requested = codePage;
}

} // namespace zendry
