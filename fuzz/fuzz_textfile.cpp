// The settings file or the phonebook, whatever its bytes: lines without a
// crash, and what is written back in the encoding found reads the same again.
// A file read in the code page is written back byte for byte once its lines
// end with CR LF; a file without a mark read as UTF-8 holds only letters the
// code page has; no text read holds U+FFFD where the bytes did not.
#include "platform/ansicodec.h"
#include "store/textfile.h"

#include <cstdio>
#include <cstdlib>

namespace {

using zendry::TextFile;
using Encoding = TextFile::Encoding;

// The bytes of U+FFFD in an encoding; none in the code page, which has no
// such character.
QByteArray replacementIn(Encoding encoding)
{
    switch (encoding) {
    case Encoding::CodePage:
        break;
    case Encoding::Utf8:
    case Encoding::Utf8Mark:
        return "\xEF\xBF\xBD";
    case Encoding::Utf16LE:
        return "\xFD\xFF";
    case Encoding::Utf16BE:
        return "\xFF\xFD";
    case Encoding::Utf32LE:
        return QByteArray("\xFD\xFF\0\0", 4);
    case Encoding::Utf32BE:
        return QByteArray("\0\0\xFF\xFD", 4);
    }
    return {};
}

void check(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz_textfile: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TextFile::Contents read = TextFile::decode(bytes);
    const TextFile::Contents again = TextFile::decode(TextFile::encode(read.lines, read.encoding));
    check(again.lines == read.lines && again.encoding == read.encoding, "what is written reads the same");

    const QString text = read.lines.join(u'\n');
    const QByteArray replacement = replacementIn(read.encoding);
    check(text.count(QChar::ReplacementCharacter) <= (replacement.isEmpty() ? 0 : bytes.count(replacement)),
          "no U+FFFD the bytes did not hold");

    if (read.encoding == Encoding::Utf8) {
        for (QChar c : text)
            check(zendry::AnsiCodec::byte(c) != '?' || c == u'?',
                  "UTF-8 without a mark in the code page's letters");
    }

    // The same bytes with every line ended by CR LF, as the program writes them.
    QByteArray crlf;
    for (char b : bytes) {
        if (b == '\n')
            crlf += "\r\n";
        else if (b != '\r')
            crlf += b;
    }
    if (!crlf.isEmpty() && !crlf.endsWith("\r\n"))
        crlf += "\r\n";
    const TextFile::Contents own = TextFile::decode(crlf);
    if (own.encoding == Encoding::CodePage)
        check(TextFile::encode(own.lines, own.encoding) == crlf, "the code page written back byte for byte");
    return 0;
}
