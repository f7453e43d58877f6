// Pictures that are no monochrome bitmap, converted into logos through Qt's
// image reader when conversion is asked for, and refused as before otherwise.
// (Monochrome bitmaps taken as they are and large pictures fitted are checked
// through the logo form in the maintenance tests.)
#include "QtApp.h"
#include "TempDir.h"
#include "records/LogoDither.h"
#include "records/picture/LogoPicture.h"

#include <gtest/gtest.h>

#include <QImage>

#include <fstream>

using namespace ecr;
using namespace ecr::records;

namespace {

// Left half black, right half white, on a transparent top row.
QImage halves(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) image.setPixel(x, y, qRgb(0, 0, 0));
    for (int x = 0; x < w; ++x) image.setPixel(x, 0, qRgba(0, 0, 0, 0));
    return image;
}

} // namespace

TEST(LogoPicture, OtherPicturesAreConvertedOnlyWhenAsked) {
    TempDir dir;
    const QImage picture = halves(16, 3);
    struct Case {
        const char* file;
        const char* format;
        int refusedWith; // without conversion
    };
    const Case cases[] = {
        {"logo.png", "PNG", kLogoNotBitmapId},
        {"logo24.bmp", "BMP", kLogoNotMonochromeId}, // Qt writes 24 bits a pixel
        {"logo.jpg", "JPG", kLogoNotBitmapId},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.file);
        ASSERT_TRUE(picture.convertToFormat(c.file == std::string("logo.png") ? QImage::Format_ARGB32
                                                                             : QImage::Format_RGB32)
                        .save(QString::fromStdString(path), c.format, 100))
            << c.file;
        EXPECT_TRUE(IsPictureFile(path)) << c.file;
        const LogoChoice plain = ReadLogoPicture(path, false);
        EXPECT_EQ(plain.error.messageId, c.refusedWith) << c.file;
        EXPECT_FALSE(plain.converted);

        const LogoChoice converted = ReadLogoPicture(path, true);
        ASSERT_TRUE(converted.ok()) << c.file;
        EXPECT_TRUE(converted.converted);
        EXPECT_FALSE(converted.scaled());
        EXPECT_EQ(converted.image.width, 16);
        EXPECT_EQ(converted.image.height, 3);
        // Black ink on the left; transparency is paper (only the PNG keeps
        // it: the others stored the top row black, and it stays ink).
        const std::uint8_t top = c.file == std::string("logo.png") ? 0x00 : 0xFF;
        EXPECT_EQ(converted.image.bytes, (Bytes{top, top, 0xFF, 0x00, 0xFF, 0x00})) << c.file;
    }
}

TEST(LogoPicture, FilesThatCannotBeReadAreRefusedWhateverIsAsked) {
    TempDir dir;
    std::ofstream(dir.file("text.png")) << "not a picture at all";
    for (bool dither : {false, true}) {
        EXPECT_EQ(ReadLogoPicture(dir.file("missing.png"), dither).error.messageId, kLogoUnreadableId);
        EXPECT_EQ(ReadLogoPicture(dir.path.string(), dither).error.messageId, kLogoFolderId);
        EXPECT_EQ(ReadLogoPicture(dir.file("text.png"), dither).error.messageId, kLogoNotBitmapId);
    }
    EXPECT_FALSE(IsPictureFile(dir.file("text.png")));
}
