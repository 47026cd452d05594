#pragma once

#include <QByteArray>
#include <QString>

namespace zendry {

// The single-byte code page of the program: on Windows the system's ANSI
// code page where that is a single-byte one, and Windows-1252 elsewhere.
// Texts go out on the sockets, into the local files and into the credential
// digest through this one codec, one byte per character.
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
};

} // namespace zendry
