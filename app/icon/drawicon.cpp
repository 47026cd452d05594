// Draws the program's icon at each size it ships in and writes zendry.ico
// (16, 32, 48 and 256 pixels) and zendry.png (32 pixels) into the folder
// named on the command line. Each size has its own layout, its edges on
// whole pixels where a small picture needs them, so that none is another
// one scaled: cmake --build --preset default --target icon
#include <QBuffer>
#include <QSaveFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cstdio>

namespace {

// A speech bubble with a tail at its lower left and a "Z" in it, in the
// pixels of one size.
struct Layout
{
    int size;
    QRectF bubble;
    qreal radius;
    QPolygonF tail;
    QRectF z; // the letter's box
    qreal bar; // the height of its two bars
    qreal slant; // the width of its stroke, measured along a bar
};

// clang-format off
const Layout layouts[] = {
    { 16, { 0, 1, 16, 12 }, 3, QPolygonF({ { 3, 11 }, { 8, 11 }, { 3, 16 } }),
      { 4, 3, 8, 8 }, 2, 3 },
    { 32, { 1, 3, 30, 22 }, 5, QPolygonF({ { 7, 23 }, { 16, 23 }, { 7, 31.5 } }),
      { 10, 7, 12, 14 }, 3, 4 },
    { 48, { 1, 4, 46, 34 }, 7, QPolygonF({ { 10, 36 }, { 24, 36 }, { 10, 47.5 } }),
      { 15, 10, 18, 22 }, 5, 6 },
    { 256, { 8, 24, 240, 176 }, 36, QPolygonF({ { 56, 190 }, { 130, 190 }, { 56, 252 } }),
      { 80, 56, 96, 112 }, 24, 32 },
};
// clang-format on

const QColor blue(0x00, 0x99, 0xFF);

QImage draw(const Layout &l)
{
    QImage image(l.size, l.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    QPainterPath bubble;
    bubble.addRoundedRect(l.bubble, l.radius, l.radius);
    QPainterPath tail;
    tail.addPolygon(l.tail);
    p.fillPath(bubble.united(tail), blue);

    // The Z: two bars joined by a stroke from the top bar's right end down
    // to the bottom bar's left end.
    const QRectF &z = l.z;
    const qreal top = z.top() + l.bar, bottom = z.bottom() - l.bar;
    const QPolygonF letter({ { z.left(), z.top() },
                             { z.right(), z.top() },
                             { z.right(), top },
                             { z.left() + l.slant, bottom },
                             { z.right(), bottom },
                             { z.right(), z.bottom() },
                             { z.left(), z.bottom() },
                             { z.left(), bottom },
                             { z.right() - l.slant, top },
                             { z.left(), top } });
    QPainterPath path;
    path.addPolygon(letter);
    p.fillPath(path, Qt::white);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// An icon entry as Windows' own: the picture bottom-up in BGRA, twice the
// height in its header for the 1-bit mask that follows it.
QByteArray bitmap(const QImage &image)
{
    const int n = image.width();
    QByteArray out(40, '\0');
    auto put32 = [&out](int at, quint32 v) { qToLittleEndian(v, out.data() + at); };
    put32(0, 40);
    put32(4, quint32(n));
    put32(8, quint32(2 * n));
    qToLittleEndian<quint16>(1, out.data() + 12); // planes
    qToLittleEndian<quint16>(32, out.data() + 14); // bits a pixel
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const QRgb c = image.pixel(x, y);
            out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(qAlpha(c)));
        }
    }
    const int maskRow = (n + 31) / 32 * 4;
    for (int y = n - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < n; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawicon FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QList<QByteArray> entries;
    for (const Layout &l : layouts) {
        const QImage image = draw(l);
        // The large picture as PNG, as Windows stores it; the small ones as bitmaps.
        entries << (l.size >= 256 ? png(image) : bitmap(image));
        if (l.size == 32 && !write(folder + QStringLiteral("/zendry.png"), png(image)))
            return 1;
    }
    // The header, one directory entry for each picture, then the pictures.
    QByteArray ico(6, '\0');
    qToLittleEndian<quint16>(1, ico.data() + 2); // an icon
    qToLittleEndian<quint16>(quint16(entries.size()), ico.data() + 4);
    quint32 offset = quint32(6 + 16 * entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        QByteArray entry(16, '\0');
        const int size = layouts[i].size;
        entry[0] = char(size >= 256 ? 0 : size); // 0 stands for 256
        entry[1] = entry[0];
        qToLittleEndian<quint16>(1, entry.data() + 4); // planes
        qToLittleEndian<quint16>(32, entry.data() + 6); // bits a pixel
        qToLittleEndian<quint32>(quint32(entries[i].size()), entry.data() + 8);
        qToLittleEndian<quint32>(offset, entry.data() + 12);
        offset += quint32(entries[i].size());
        ico += entry;
    }
    for (const QByteArray &e : entries)
        ico += e;
    return write(folder + QStringLiteral("/zendry.ico"), ico) ? 0 : 1;
}
