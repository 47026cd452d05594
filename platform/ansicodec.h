#pragma once

#include <QByteArray>
#include <QString>

namespace zendry {

// The single-byte code page of the program: on Windows the system's ANSI
// code page where that is a single-byte one, and Windows-1252 where not;
// elsewhere the code page Windows gives the user's language. Texts go out on
// the sockets, into the local files and into the credential digest through
// this one codec, one byte per character.
class AnsiCodec
{
public:
    // The byte Windows would write for a character; '?' when the code page
    // has none. A byte the code page has no character for decodes to the
    // character of the same code, so every byte survives a round trip.
    static char byte(QChar c);
    // The character's code in the code page, 0..255 ('?' = 63 when it has none).
    static int code(QChar c) { return static_cast<unsigned char>(byte(c)); }
    static QChar character(unsigned char code);

    static QByteArray encode(QStringView text);
    static QString decode(QByteArrayView bytes);

    // The number of the code page in use (1252, 1251, 874...).
    static int codePage();
    // The ANSI code page Windows gives the language of a locale, named as
    // POSIX names them ("ru_RU.UTF-8", "sr_RS@latin", "C") or as Windows
    // does ("sr-Latn-RS"): 1252 for every language without a single-byte
    // code page of its own.
    static int codePageFor(QStringView locale);
    // The code page the user's settings give: Windows' ANSI code page; on
    // other systems that of the locale of characters (LC_ALL, LC_CTYPE, LANG).
    static int userCodePage();
    // Converts through the given code page from now on (tests run rows under
    // each); 0 goes back to the user's.
    static void useCodePage(int codePage);
};

} // namespace zendry
