#include "store/textfile.h"

#include "platform/ansicodec.h"
#include "platform/wholefile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace zendry {

namespace {

using Encoding = TextFile::Encoding;

QByteArrayView markOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8Mark:
        return "\xEF\xBB\xBF";
    case Encoding::Utf16LE:
        return "\xFF\xFE";
    case Encoding::Utf16BE:
        return "\xFE\xFF";
    case Encoding::Utf32LE:
        return QByteArrayView("\xFF\xFE\0\0", 4);
    case Encoding::Utf32BE:
        return QByteArrayView("\0\0\xFE\xFF", 4);
    case Encoding::CodePage:
    case Encoding::Utf8:
        break;
    }
    return {};
}

QStringConverter::Encoding unicodeOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case Encoding::Utf16BE:
        return QStringConverter::Utf16BE;
    case Encoding::Utf32LE:
        return QStringConverter::Utf32LE;
    case Encoding::Utf32BE:
        return QStringConverter::Utf32BE;
    default:
        return QStringConverter::Utf8;
    }
}

// The UTF-16 mark is taken off by hand, so a second one right after it is
// a character of the text and is written back as such.
constexpr auto unicodeFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

void appendCode(QString &text, char32_t code)
{
    if (QChar::requiresSurrogates(code))
        text.append(QChar(QChar::highSurrogate(code))).append(QChar(QChar::lowSurrogate(code)));
    else
        text.append(QChar(char16_t(code)));
}

// The length of the well-formed UTF-8 sequence that starts at bytes[at], and
// its character; 0 when none starts there (no overlong form, no surrogate,
// nothing past U+10FFFF, nothing cut short).
int utf8SequenceAt(QByteArrayView bytes, qsizetype at, char32_t *code)
{
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byteAt(at);
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    int length = 0;
    unsigned low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    char32_t c = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned b = byteAt(at + k);
        if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    *code = c;
    return length;
}

// UTF-8 where it is well formed, each other byte the code page's letter.
QString decodeUtf8(QByteArrayView bytes, bool *wellFormed)
{
    QString text;
    text.reserve(bytes.size());
    *wellFormed = true;
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t code = 0;
        const int length = utf8SequenceAt(bytes, at, &code);
        if (length == 0) {
            *wellFormed = false;
            text.append(AnsiCodec::character(static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            appendCode(text, code);
            at += length;
        }
    }
    return text;
}

// Two bytes a unit, as they come (a lone surrogate too); an odd last byte is
// the code page's letter. A NUL there is no letter but half of nothing, and
// is left out: kept, it would begin the text of a file that held nothing
// else, and UTF-16 that begins with a NUL is written as UTF-32's mark.
QString decodeUtf16(QByteArrayView bytes, Encoding encoding)
{
    const qsizetype whole = bytes.size() & ~qsizetype(1);
    QStringDecoder decoder(unicodeOf(encoding), unicodeFlags);
    QString text = decoder(bytes.first(whole));
    if (whole < bytes.size() && bytes.back() != '\0')
        text += AnsiCodec::character(static_cast<unsigned char>(bytes.back()));
    return text;
}

// The character of the four bytes at bytes[at]; false when they are none
// (past U+10FFFF, a surrogate) or fewer than four are left.
bool utf32CharacterAt(QByteArrayView bytes, qsizetype at, Encoding encoding, char32_t *code)
{
    if (at + 4 > bytes.size())
        return false;
    *code = 0;
    for (int k = 0; k < 4; ++k) {
        const int shift = 8 * (encoding == Encoding::Utf32LE ? k : 3 - k);
        *code |= char32_t(static_cast<unsigned char>(bytes[at + k])) << shift;
    }
    return *code <= 0x10FFFF && !QChar::isSurrogate(*code);
}

// Four bytes a character; a unit that is no character, and the bytes of an
// unfinished last one, are the code page's letters.
QString decodeUtf32(QByteArrayView bytes, Encoding encoding)
{
    QString text;
    qsizetype at = 0;
    for (; at + 4 <= bytes.size(); at += 4) {
        char32_t code = 0;
        if (utf32CharacterAt(bytes, at, encoding, &code))
            appendCode(text, code);
        else
            text += AnsiCodec::decode(bytes.sliced(at, 4));
    }
    return text + AnsiCodec::decode(bytes.sliced(at));
}

bool codePageHas(QStringView text)
{
    for (QChar c : text) {
        if (AnsiCodec::byte(c) == '?' && c != u'?')
            return false;
    }
    return true;
}

// A line ends at CR LF, a lone CR or a lone LF.
QStringList splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.sliced(start, i - start).toString());
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.sliced(start).toString());
    return lines;
}

bool isAscii(QByteArrayView bytes)
{
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) > 0x7F)
            return false;
    }
    return true;
}

} // namespace

void TextFile::createIfMissing(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.close();
}

TextFile::Contents TextFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decode(file.readAll());
}

TextFile::Contents TextFile::decode(const QByteArray &bytes)
{
    // UTF-32's little-endian mark is UTF-16's followed by a NUL, so it is
    // tried first.
    for (Encoding marked :
         { Encoding::Utf32LE, Encoding::Utf32BE, Encoding::Utf8Mark, Encoding::Utf16LE, Encoding::Utf16BE }) {
        const QByteArrayView mark = markOf(marked);
        if (!bytes.startsWith(mark))
            continue;
        const QByteArrayView rest = QByteArrayView(bytes).sliced(mark.size());
        bool wellFormed = true;
        switch (marked) {
        case Encoding::Utf8Mark:
            return { splitLines(decodeUtf8(rest, &wellFormed)), marked };
        case Encoding::Utf16LE:
        case Encoding::Utf16BE:
            return { splitLines(decodeUtf16(rest, marked)), marked };
        default:
            return { splitLines(decodeUtf32(rest, marked)), marked };
        }
    }
    // An editor's UTF-8 is always well formed, text in the code page seldom
    // is once it holds a letter above ASCII; when it is, its UTF-8 reading
    // mostly holds letters the code page lacks, which the program could not
    // have written. An ASCII file reads the same either way, and stays in
    // the code page.
    if (!isAscii(bytes)) {
        bool wellFormed = false;
        const QString text = decodeUtf8(bytes, &wellFormed);
        if (wellFormed && codePageHas(text))
            return { splitLines(text), Encoding::Utf8 };
    }
    return { splitLines(AnsiCodec::decode(bytes)), Encoding::CodePage };
}

QByteArray TextFile::encode(const QStringList &lines, Encoding encoding)
{
    if (encoding == Encoding::CodePage) {
        QByteArray bytes;
        for (const QString &line : lines)
            bytes += AnsiCodec::encode(line) + "\r\n";
        return bytes;
    }
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    QStringEncoder encoder(unicodeOf(encoding), QStringConverter::Flag::Stateless);
    return markOf(encoding).toByteArray() + QByteArray(encoder(text));
}

bool TextFile::save(const QString &path, const QStringList &lines, Encoding encoding, QString *why)
{
    return WholeFile::save(path, encode(lines, encoding), why);
}

} // namespace zendry
