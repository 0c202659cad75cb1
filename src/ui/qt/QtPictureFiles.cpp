#include "ui/qt/QtPictureFiles.h"

#include "core/base/RuntimeError.h"
#include "ui/qt/BitmapHeaderCheck.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QSaveFile>
#include <QSize>
#include <QString>

#include <cstdlib>
#include <span>

namespace nimbrel::view {

namespace {

RuntimeError fileNotFound() { return RuntimeError(53, "File not found"); }
RuntimeError invalidPicture() { return RuntimeError(481, "Invalid picture"); }
RuntimeError pathFileAccessError() { return RuntimeError(75, "Path/File access error"); }

QString fileName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// Qt's allocation limit for decoded images is one setting for the whole program;
// it is held down to the largest picture accepted while a bitmap is read. The
// program reads pictures on the user-interface thread only.
class AllocationLimit {
public:
    AllocationLimit()
        : previous_(QImageReader::allocationLimit())
    {
        constexpr int megabytes = static_cast<int>(bitmapMaxPixels * 4 / (1024 * 1024));
        if (previous_ == 0 || previous_ > megabytes) QImageReader::setAllocationLimit(megabytes);
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(previous_); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int previous_;
};

// The colours of a decoded bitmap. A bitmap is opaque: what an alpha channel or
// the fourth byte of a 32-bit pixel holds is not looked at. A palette index
// past the end of the palette is black.
Picture pictureOf(const QImage& decoded)
{
    const QImage image = [&] {
        switch (decoded.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_Indexed8:
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB: return decoded;
        default: return decoded.convertToFormat(QImage::Format_ARGB32);
        }
    }();
    const QList<QRgb> palette = image.colorTable();
    const auto paletteColour = [&](int index) {
        if (index < 0 || index >= palette.size()) return colours::black;
        const QRgb c = palette[index];
        return rgb(qRed(c), qGreen(c), qBlue(c));
    };

    Picture picture(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        switch (image.format()) {
        case QImage::Format_Indexed8: {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x) picture.at(x, y) = paletteColour(line[x]);
            break;
        }
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            for (int x = 0; x < image.width(); ++x) picture.at(x, y) = paletteColour(image.pixelIndex(x, y));
            break;
        default: {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = line[x];
                picture.at(x, y) = rgb(qRed(c), qGreen(c), qBlue(c));
            }
            break;
        }
        }
    }
    return picture;
}

} // namespace

bool QtPictureFiles::exists(const std::string& path)
{
    // A folder, a named pipe or a device of that name is there too: loading it fails like a broken bitmap, and
    // nothing is saved over it.
    return !path.empty() && QFileInfo(fileName(path)).exists();
}

Picture QtPictureFiles::load(const std::string& path)
{
    const QString name = fileName(path);
    const QFileInfo info(name);
    if (path.empty() || !info.exists()) throw fileNotFound();
    // A folder, a named pipe or a device is no picture, and opening a pipe would wait for a writer.
    if (!info.isFile()) throw invalidPicture();

    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) throw invalidPicture();
    const QByteArray head = file.peek(static_cast<qint64>(bitmapHeadBytes));
    const auto layout = checkBitmapHeader(
        std::span(reinterpret_cast<const unsigned char*>(head.constData()), static_cast<std::size_t>(head.size())),
        static_cast<std::uint64_t>(file.size()));
    if (!layout) throw invalidPicture();

    const AllocationLimit limit;
    // The bitmap decoder only: a PNG or a JPEG named .bmp is not a bitmap.
    QImageReader reader(&file, "bmp");
    reader.setAutoDetectImageFormat(false);
    // Qt gives the height of a top-down bitmap as a negative number.
    const QSize announced = reader.size();
    if (announced.width() != layout->width || std::abs(announced.height()) != layout->height) throw invalidPicture();

    QImage image;
    if (layout->runLengthEncoded()) {
        // A run-length stream may skip pixels (a delta, an early end of line or of
        // the picture). Qt leaves them as it finds them and decodes into an image of
        // the right size and form when it is given one: hand it one cleared to
        // palette index 0, so skipped pixels show the first palette colour.
        image = QImage(layout->width, layout->height, QImage::Format_Indexed8);
        if (image.isNull()) throw invalidPicture();
        image.fill(0);
    }
    if (!reader.read(&image) || image.width() != layout->width || image.height() != layout->height)
        throw invalidPicture();
    return pictureOf(image);
}

void QtPictureFiles::save(const Picture& picture, const std::string& path)
{
    if (picture.empty() ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        throw invalidPicture();

    // Qt writes a 32-bit image without alpha as a 24-bit bitmap: a 40-byte header,
    // rows from the bottom, each padded to a whole number of 32-bit words.
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    if (image.isNull()) throw errors::outOfMemory();
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            const Colour c = picture.at(x, y);
            line[x] = qRgb(red(c), green(c), blue(c));
        }
    }

    // A folder, a named pipe or a device of that name is the user's, and opening a pipe would wait for a reader.
    // So is a file that is no bitmap at all (notes saved under the wrong name); a bitmap, even one cut short or
    // with dimensions no picture has, and an empty file are replaced.
    const QFileInfo existing(fileName(path));
    if (existing.exists() && !existing.isFile()) throw pathFileAccessError();
    if (existing.exists() && existing.size() > 0) {
        QFile old(fileName(path));
        if (!old.open(QIODevice::ReadOnly) || old.read(2) != QByteArrayLiteral("BM")) throw pathFileAccessError();
    }
    // The bitmap goes to a new file beside the old one, which it replaces only once
    // it is complete; on any failure the old file stays as it was.
    QSaveFile file(fileName(path));
    if (path.empty() || !file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP") || !file.commit())
        throw pathFileAccessError();
}

} // namespace nimbrel::view
