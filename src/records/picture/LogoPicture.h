// Choosing a logo file: a monochrome bitmap is taken as it is; any other
// picture Qt can read (PNG, JPEG, a colour bitmap) is, when conversion is
// asked for, made to fit the logo pages and dithered to one bit per pixel.
#pragma once

#include "records/Logo.h"

#include <string>

namespace ecr::records {

struct LogoChoice {
    LogoImage image;
    LogoError error;        // refused: why, as the bitmap check says
    bool converted = false; // dithered from another picture
    int sourceWidth = 0;    // the picture's own size before it was fitted
    int sourceHeight = 0;
    bool ok() const { return error.ok(); }
    bool scaled() const { return converted && (sourceWidth != image.width || sourceHeight != image.height); }
};

// The logo of the file. Without dither only a monochrome bitmap is taken;
// with it, a picture the bitmap check refuses is converted when Qt reads it.
LogoChoice ReadLogoPicture(const std::string& path, bool dither);

// True when Qt can read the file as a picture (it could then be converted).
bool IsPictureFile(const std::string& path);

} // namespace ecr::records
