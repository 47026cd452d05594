#pragma once

#include <QString>
#include <QStringList>

namespace zendry {

// The program's own text files, as users edit them too. A file is read in the
// encoding it was found in and written back in the same one: Notepad's and
// other editors' files keep their encoding and mark, and a file the program
// wrote itself stays in the code page. A line ends at CR LF, at a lone CR or
// at a lone LF; the last line needs no line end. Written lines end with CR LF.
class TextFile
{
public:
    enum class Encoding {
        CodePage, // the program's own: one byte a character (AnsiCodec)
        Utf8, // no mark, but valid UTF-8 with bytes above 127, as Linux editors write
        Utf8Mark, // EF BB BF first
        Utf16LE, // FF FE first: Notepad's "Unicode"
        Utf16BE, // FE FF first
        Utf32LE, // FF FE 00 00 first
        Utf32BE, // 00 00 FE FF first
    };

    struct Contents
    {
        QStringList lines;
        Encoding encoding = Encoding::CodePage;
    };

    // Creates the file empty when it is missing, as opening it for appending
    // would. A file that cannot be created is no error here.
    static void createIfMissing(const QString &path);

    // The lines of the file and its encoding. What cannot be read is taken as
    // the end of the file: a missing or unreadable file has no lines.
    // A file without a mark is UTF-8 only when it reads as UTF-8 and every
    // letter of that reading is one the code page has: text the program wrote
    // itself may happen to be valid UTF-8 ("CAFÉ…" is C9 85), but then it
    // reads as letters the code page lacks. In a file with a mark, bytes that
    // are no character of its encoding are the code page's letters, as a
    // tool that knows only the code page would have added them, so nothing
    // is lost and no U+FFFD is made up.
    static Contents read(const QString &path);
    static Contents decode(const QByteArray &bytes);

    // Every line and its CR LF, with the encoding's mark in front.
    static QByteArray encode(const QStringList &lines, Encoding encoding);

    // Replaces the file whole, or not at all: the lines go to a new file that
    // takes the old one's place only once every byte is written. Where no new
    // file can be made there, the file itself is rewritten.
    static bool save(const QString &path, const QStringList &lines, Encoding encoding, QString *why);
};

} // namespace zendry
