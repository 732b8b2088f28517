#include "platform/casq/bitmapfile.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>
#include <array>
#include <cmath>

namespace casq {
namespace {

constexpr std::array<QRgb, 16> standardcolours { 0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080,
    0xFF800080, 0xFF008080, 0xFFC0C0C0, 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF,
    0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF };

QVector<QRgb> cubeandgreys()
{
    QVector<QRgb> table;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                table << qRgb(r * 51, g * 51, b * 51);
            }
        }
    }
    for (int i = 0; i < 40; ++i) {
        int grey = 6 + i * 249 / 39;
        table << qRgb(grey, grey, grey);
    }
    return table;
}

int distance(QRgb a, QRgb b)
{
    int dr = qRed(a) - qRed(b);
    int dg = qGreen(a) - qGreen(b);
    int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

int nearest(const QVector<QRgb>& table, QRgb colour)
{
    int best = 0;
    for (int i = 1; i < table.size(); ++i) {
        if (distance(table[i], colour) < distance(table[best], colour)) {
            best = i;
        }
    }
    return best;
}

QImage indexed(const QImage& image, const QVector<QRgb>& table)
{
    QImage result(image.size(), QImage::Format_Indexed8);
    result.setColorTable(table);
    result.setDotsPerMeterX(image.dotsPerMeterX());
    result.setDotsPerMeterY(image.dotsPerMeterY());
    QHash<QRgb, uchar> seen;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = result.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            QRgb colour = in[x] | 0xFF000000u;
            auto found = seen.find(colour);
            if (found == seen.end()) {
                found = seen.insert(colour, uchar(nearest(table, colour)));
            }
            out[x] = *found;
        }
    }
    return result;
}

} // namespace

QImage reducedepth(const QImage& source, int depth, COLORREF background)
{
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    if (depth == 4) {
        return indexed(image, QVector<QRgb>(standardcolours.begin(), standardcolours.end()));
    }
    if (depth == 8) {
        return indexed(image, cubeandgreys());
    }
    if (depth != 1) {
        return image;
    }
    // Ink is whatever lies clearly off the paper; the paper keeps its shade.
    QRgb paper = qRgb(GetRValue(background), GetGValue(background), GetBValue(background));
    bool lightpaper = qGray(paper) >= 128;
    QVector<QRgb> table { 0xFF000000, 0xFFFFFFFF };
    QImage result = indexed(image, table);
    uchar paperindex = lightpaper ? 1 : 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = result.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            out[x] = distance(in[x], paper) > 3 * 64 * 64 ? 1 - paperindex : paperindex;
        }
    }
    return result;
}

QByteArray bmpfile(const QImage& source, int dpi)
{
    bool palette = source.format() == QImage::Format_Indexed8;
    QImage image = palette ? source : source.convertToFormat(QImage::Format_RGB32);
    int colours = palette ? int(image.colorCount()) : 0;
    int bits = !palette ? 24 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    int tablesize = palette ? (1 << bits) : 0;
    int stride = (image.width() * bits + 31) / 32 * 4;
    quint32 offset = 14 + 40 + 4 * tablesize;
    quint32 imagesize = quint32(stride) * quint32(image.height());
    qint32 perm = qint32(std::lround(dpi / 0.0254));

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << quint32(offset + imagesize) << quint32(0) << offset;
    out << quint32(40) << qint32(image.width()) << qint32(image.height()) << quint16(1) << quint16(bits)
        << quint32(0) << imagesize << perm << perm << quint32(tablesize) << quint32(0);
    for (int i = 0; i < tablesize; ++i) {
        QRgb c = i < colours ? image.color(i) : 0;
        out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    }
    QByteArray row(stride, '\0');
    for (int y = image.height() - 1; y >= 0; --y) {
        row.fill('\0');
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (!palette) {
                QRgb c = reinterpret_cast<const QRgb*>(line)[x];
                row[x * 3] = char(qBlue(c));
                row[x * 3 + 1] = char(qGreen(c));
                row[x * 3 + 2] = char(qRed(c));
            } else {
                int perbyte = 8 / bits;
                row[x / perbyte]
                    = char(uchar(row[x / perbyte]) | (line[x] << (8 - bits * (x % perbyte + 1))));
            }
        }
        out.writeRawData(row.constData(), stride);
    }
    return file;
}

} // namespace casq
