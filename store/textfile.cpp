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
    default:
        return QStringConverter::Utf8;
    }
}

// The mark is taken off by hand, so a second one right after it is a
// character of the text and is written back as such.
constexpr auto unicodeFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

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
    for (Encoding marked : { Encoding::Utf8Mark, Encoding::Utf16LE, Encoding::Utf16BE }) {
        const QByteArrayView mark = markOf(marked);
        if (bytes.startsWith(mark)) {
            QStringDecoder decoder(unicodeOf(marked), unicodeFlags);
            const QString text = decoder(QByteArrayView(bytes).sliced(mark.size()));
            return { splitLines(text), marked };
        }
    }
    // Text in the code page is seldom valid UTF-8 once it holds a letter
    // above ASCII, while an editor's UTF-8 always is. An ASCII file reads
    // the same either way, and stays in the code page.
    if (!isAscii(bytes)) {
        QStringDecoder decoder(QStringConverter::Utf8, unicodeFlags);
        const QString text = decoder(bytes);
        if (!decoder.hasError())
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
