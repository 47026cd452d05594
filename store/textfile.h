#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

namespace zendry {

// The program's own text files: Windows-1252 bytes; a line ends at CR LF or
// at a lone CR (a lone LF is part of the line); the last line needs no line
// end. Written lines end with CR LF.
class TextFile
{
public:
    // Creates the file empty when it is missing, as opening it for appending
    // would. A file that cannot be created is no error here.
    static void createIfMissing(const QString &path);

    // The lines of the file. What cannot be read is taken as the end of the
    // file: a missing or unreadable file has no lines.
    static QStringList read(const QString &path);
    static QStringList split(const QByteArray &bytes);

    // Writes every line and its CR LF; false with the reason on the first failure.
    static bool write(QIODevice &device, const QStringList &lines, QString *why);

    // Replaces the file whole, or not at all: the lines go to a new file that
    // takes the old one's place only once every byte is written. Where no new
    // file can be made there, the file itself is rewritten.
    static bool save(const QString &path, const QStringList &lines, QString *why);
};

} // namespace zendry
