#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace zendry {

// Writing files so that a failure is seen and nothing is half-written.
class WholeFile
{
public:
    // Writes every byte, calling again after a partial write; false with the
    // reason when the device refuses.
    static bool writeAll(QIODevice &device, const QByteArray &bytes, QString *why);

    // Replaces the file whole or not at all: the bytes go to a new file that
    // takes the old one's place only once every byte is on disk. Where no new
    // file can be made there, the file itself is rewritten.
    static bool save(const QString &path, const QByteArray &bytes, QString *why);
};

} // namespace zendry
