#include "program/linux/IconThemeFiles.h"

#include "platform/linux/FileReplacement.h"
#include "ui/qt/AppIcon.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <functional>

namespace nimbrel::program {

namespace {

// Writes the sizes whose file (named, with its size) is wanted; false when one could not be written.
bool writeIconFiles(const QString& themeDir, const std::function<bool(const QString& file, int size)>& wanted)
{
    bool written = true;
    for (const int size : themeIconSizes) {
        const QString dir = QDir(themeDir).filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = QDir(dir).filePath(QStringLiteral("nimbrel.png"));
        if (!wanted(file, size)) continue;
        QByteArray png;
        QBuffer buffer(&png);
        written = QDir().mkpath(dir) && view::drawAppIcon(size).save(&buffer, "PNG") &&
                  configfiles::replaceFile(QFile::encodeName(file).toStdString(), png.toStdString(), 0644) && written;
    }
    return written;
}

} // namespace

bool writeIconFiles(const QString& themeDir)
{
    return writeIconFiles(themeDir, [](const QString&, int) { return true; });
}

bool repairIconFiles(const QString& themeDir)
{
    // Runs at every start of a portable copy, so a sound file is not decoded: its header (the
    // signature and the IHDR chunk) tells the size, and a PNG cut short misses the image-end chunk
    // that closes every whole one.
    return writeIconFiles(themeDir, [](const QString& file, int size) {
        static const QByteArray signature = QByteArray::fromRawData("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
        static const QByteArray imageEnd = QByteArray::fromRawData("\0\0\0\0IEND\xae\x42\x60\x82", 12);
        QFile png(file);
        if (!png.open(QIODevice::ReadOnly) || png.size() < signature.size() + 8 + imageEnd.size()) return true;
        const QByteArray head = png.read(signature.size() + 8);
        if (!head.startsWith(signature) || !png.seek(png.size() - imageEnd.size()) ||
            png.read(imageEnd.size()) != imageEnd)
            return true;
        const auto bigEndian = [&](int at) {
            return static_cast<quint32>(static_cast<unsigned char>(head[at])) << 24 |
                   static_cast<quint32>(static_cast<unsigned char>(head[at + 1])) << 16 |
                   static_cast<quint32>(static_cast<unsigned char>(head[at + 2])) << 8 |
                   static_cast<quint32>(static_cast<unsigned char>(head[at + 3]));
        };
        const auto side = static_cast<quint32>(size);
        return bigEndian(16) != side || bigEndian(20) != side;
    });
}

QString userIconTheme()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/icons/hicolor");
}

} // namespace nimbrel::program
