#include "store/textfile.h"

#include "platform/ansicodec.h"
#include "platform/wholefile.h"

#include <QFile>

namespace zendry {

void TextFile::createIfMissing(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.close();
}

QStringList TextFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return split(file.readAll());
}

QStringList TextFile::split(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] != '\r')
            continue;
        lines.append(AnsiCodec::decode(QByteArrayView(bytes).sliced(start, i - start)));
        if (i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(AnsiCodec::decode(QByteArrayView(bytes).sliced(start)));
    return lines;
}

namespace {

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += AnsiCodec::encode(line) + "\r\n";
    return bytes;
}

} // namespace

bool TextFile::write(QIODevice &device, const QStringList &lines, QString *why)
{
    return WholeFile::writeAll(device, encodeLines(lines), why);
}

bool TextFile::save(const QString &path, const QStringList &lines, QString *why)
{
    return WholeFile::save(path, encodeLines(lines), why);
}

} // namespace zendry
