#pragma once

#include <QFile>
#include <QImage>
#include <QString>

namespace zendry {

// "Banner.tmp": the picture as it arrives, raw bytes, on a handle of its own.
class BannerFile
{
public:
    static const QString fileName;
    // The banner shipped beside the program, shown when a fetch fails.
    static const QString fallbackPicture;
    // A real banner is a few kilobytes; the ad server is a remote peer on a
    // plain connection and must not be able to fill the disk.
    static constexpr qint64 maxBytes = qint64(4) * 1024 * 1024;

    explicit BannerFile(const QString &path);

    // Closes the handle, deletes any older file and opens a new, empty one.
    bool replace();
    // Appends at the end; false when the write fails or would pass maxBytes.
    bool append(QByteArrayView bytes);
    void close();
    bool remove();
    QString path() const { return m_file.fileName(); }

    // A picture from a file, its format told by its content, not its name.
    static QImage loadPicture(const QString &path);

private:
    QFile m_file;
};

} // namespace zendry
