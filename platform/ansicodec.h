#pragma once

#include <QByteArray>
#include <QString>

namespace zendry {

// The single-byte code page of the program: Windows-1252. Texts go out on the
// sockets, into the local files and into the credential digest through this
// one codec, one byte per character.
class AnsiCodec
{
public:
    // The byte Windows would write for a character; '?' when the code page
    // has none.
    static char byte(QChar c);
    // The character's code in the code page, 0..255 ('?' = 63 when it has none).
    static int code(QChar c) { return static_cast<unsigned char>(byte(c)); }
    static QChar character(unsigned char code);

    static QByteArray encode(QStringView text);
    static QString decode(QByteArrayView bytes);
};

} // namespace zendry
