// Any picture as a receipt logo: grey levels reduced to ink and paper by
// error diffusion, so shades survive as dot patterns, at a size whose
// monochrome bitmap the register's logo pages hold.
#pragma once

#include "Logo.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace ecr::records {

// Grey levels, 0 black to 255 white, rows top to bottom.
struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// Floyd-Steinberg: a pixel darker than the middle grey is ink, and what that
// choice gets wrong is passed on to the pixels right of and below it.
LogoImage DitherPicture(const GreyPicture& picture);

// The largest size, with the picture's proportions, whose monochrome bitmap
// is at most the logo file limit; the size itself when it fits.
std::pair<int, int> FitLogoSize(int width, int height);

} // namespace ecr::records
