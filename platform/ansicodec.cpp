#include "platform/ansicodec.h"

namespace zendry {

namespace {

// 0x80..0x9F of Windows-1252. The five holes (81, 8D, 8F, 90, 9D) decode to the
// C1 control of the same code, as Windows does, so every byte survives a round trip.
constexpr char16_t high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char AnsiCodec::byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (int i = 0; i < 32; ++i) {
        if (high[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QChar AnsiCodec::character(unsigned char code)
{
    if (code >= 0x80 && code < 0xA0)
        return QChar(high[code - 0x80]);
    return QChar(code);
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
