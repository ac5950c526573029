#include "logo_picture_file.h"

#include <QImage>
#include <QImageReader>
#include <QString>

namespace {

std::optional<SourcePicture> readWith(QImageReader& reader, std::string& reason) {
    reader.setAutoTransform(true); // a photo's orientation tag turns it upright
    QImage image;
    if (!reader.read(&image)) {
        reason = reader.errorString().toStdString();
        return std::nullopt;
    }
    // A Windows bitmap's fourth byte has always been ignored, so a bitmap
    // converts exactly as it always did; every other picture is laid over
    // white by its alpha.
    const bool windowsBitmap = reader.format() == "bmp";
    const QImage words = image.convertToFormat(windowsBitmap ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    if (words.isNull()) {
        reason = "not enough memory for a picture of this size";
        return std::nullopt;
    }
    return sourceFromArgb(words.width(), words.height(),
                          reinterpret_cast<const std::uint32_t*>(words.constBits()),
                          words.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t)));
}

} // namespace

std::optional<SourcePicture> readLogoPicture(const std::string& fileName, std::string& reason) {
    QImageReader reader(QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size())));
    return readWith(reader, reason);
}

std::optional<SourcePicture> readLogoPicture(QIODevice& device, std::string& reason) {
    QImageReader reader(&device);
    return readWith(reader, reason);
}
