#include "LogoDither.h"

#include <algorithm>
#include <cmath>

namespace ecr::records {

LogoImage DitherPicture(const GreyPicture& picture) {
    LogoImage out;
    out.width = picture.width;
    out.height = picture.height;
    const int rowBytes = LogoRowBytes(picture.width);
    out.bytes.assign(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(std::max(0, picture.height)), 0);
    if (picture.width <= 0 || picture.height <= 0) return out;
    const auto w = static_cast<std::size_t>(picture.width);
    // Levels with the error carried so far: this row and the next.
    std::vector<int> row(w), next(w, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (std::size_t x = 0; x < w; ++x) row[x] = picture.pixels[static_cast<std::size_t>(y) * w + x] + next[x];
        std::fill(next.begin(), next.end(), 0);
        for (std::size_t x = 0; x < w; ++x) {
            const bool ink = row[x] < 128;
            const int err = row[x] - (ink ? 0 : 255);
            if (ink) out.bytes[static_cast<std::size_t>(y * rowBytes) + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            if (x + 1 < w) row[x + 1] += err * 7 / 16;
            if (x > 0) next[x - 1] += err * 3 / 16;
            next[x] += err * 5 / 16;
            if (x + 1 < w) next[x + 1] += err / 16;
        }
    }
    return out;
}

std::pair<int, int> FitLogoSize(int width, int height) {
    if (width <= 0 || height <= 0) return {width, height};
    auto at = [&](double scale) {
        return std::pair{std::max(1, static_cast<int>(std::lround(width * scale))),
                         std::max(1, static_cast<int>(std::lround(height * scale)))};
    };
    auto fits = [](std::pair<int, int> size) {
        return MonochromeBitmapSize(size.first, size.second) <= kLogoMaxFileSize;
    };
    if (fits({width, height})) return {width, height};
    // The file grows with the scale: the largest scale that fits, by halving.
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        (fits(at(mid)) ? lo : hi) = mid;
    }
    return at(lo);
}

} // namespace ecr::records
