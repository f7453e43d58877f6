#include "LogoPicture.h"

#include "records/LogoDither.h"

#include <QImage>
#include <QImageReader>
#include <QString>

namespace ecr::records {

namespace {

// The picture on white paper, as grey levels.
GreyPicture greyOf(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    GreyPicture g;
    g.width = argb.width();
    g.height = argb.height();
    g.pixels.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
    for (int y = 0; y < g.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < g.width; ++x) {
            const int a = qAlpha(line[x]);
            const int grey = (qGray(line[x]) * a + 255 * (255 - a)) / 255;
            g.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(g.width) + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(grey);
        }
    }
    return g;
}

} // namespace

bool IsPictureFile(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    return reader.canRead();
}

LogoChoice ReadLogoPicture(const std::string& path, bool dither) {
    LogoChoice c;
    c.error = LogoFileToImage(path, c.image);
    if (c.error.ok()) {
        c.sourceWidth = c.image.width;
        c.sourceHeight = c.image.height;
        return c;
    }
    if (!dither || c.error.messageId == kLogoFolderId || c.error.messageId == kLogoUnreadableId) return c;

    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) return c; // the bitmap check's reason stands
    c.sourceWidth = picture.width();
    c.sourceHeight = picture.height();
    const auto [w, h] = FitLogoSize(picture.width(), picture.height());
    const QImage fitted =
        w == picture.width() && h == picture.height()
            ? picture
            : picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    c.image = DitherPicture(greyOf(fitted));
    c.error = {};
    c.converted = true;
    return c;
}

} // namespace ecr::records
