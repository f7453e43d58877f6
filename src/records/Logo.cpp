#include "Logo.h"

#include "PageKinds.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace ecr::records {

namespace {

std::uint32_t readU32(ByteView b, std::size_t off) {
    return static_cast<std::uint32_t>(b[off]) | static_cast<std::uint32_t>(b[off + 1]) << 8 |
           static_cast<std::uint32_t>(b[off + 2]) << 16 | static_cast<std::uint32_t>(b[off + 3]) << 24;
}
std::int64_t readI32(ByteView b, std::size_t off) { return static_cast<std::int32_t>(readU32(b, off)); }

void putU32(Bytes& b, std::size_t off, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40; // the smallest header with 32-bit sizes
constexpr std::size_t kPaletteBytes = 8;     // two colours, BGR and a spare byte each

std::int64_t strideOf(std::int64_t width) { return 4 * ((width + 31) / 32); }

// Brightness of a palette entry (blue, green, red).
int brightness(ByteView entry) { return 114 * entry[0] + 587 * entry[1] + 299 * entry[2]; }

} // namespace

bool LogoImage::ink(int x, int y) const {
    const std::size_t at = static_cast<std::size_t>(y * LogoRowBytes(width) + x / 8);
    return at < bytes.size() && (bytes[at] & (0x80 >> (x % 8))) != 0;
}

int LogoRowBytes(int width) { return width / 8 + (width % 8 > 0 ? 1 : 0); }

int LogoPageCount(std::size_t bytes) { return static_cast<int>((bytes + kPageSize - 1) / kPageSize); }

std::uint8_t LeftBitsMask(int n) {
    if (n < 1 || n > 7) return 0;
    return static_cast<std::uint8_t>(0xFF00u >> n);
}

LogoError DecodeLogo(ByteView file, LogoImage& out) {
    out = {};
    if (file.size() > kLogoMaxFileSize) return {kLogoTooLargeId, {}};
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return {kLogoNotBitmapId, {}};
    if (file.size() < 30) return {kLogoNotBitmapId, {}};
    const unsigned bpp = static_cast<unsigned>(file[28]) | static_cast<unsigned>(file[29]) << 8;
    if (bpp != 1) return {kLogoNotMonochromeId, {}};

    const std::int64_t size = static_cast<std::int64_t>(file.size());
    const std::int64_t headerBytes = readU32(file, 14);
    if (headerBytes < static_cast<std::int64_t>(kInfoHeaderBytes) || kFileHeaderBytes + headerBytes > file.size())
        return {kLogoNotBitmapId, {}};
    if (readU32(file, 30) != 0) return {kLogoNotBitmapId, {}}; // compressed
    const std::int64_t width = readI32(file, 18);
    const std::int64_t signedHeight = readI32(file, 22);
    const bool topDown = signedHeight < 0;
    const std::int64_t height = topDown ? -signedHeight : signedHeight;
    if (width <= 0 || height <= 0) return {kLogoNotBitmapId, {}};
    // The rows start where the header says, and must lie inside the file;
    // bytes behind them are no part of the picture.
    const std::int64_t stride = strideOf(width);
    const std::int64_t offset = readU32(file, 10);
    const std::int64_t paletteAt = static_cast<std::int64_t>(kFileHeaderBytes) + headerBytes;
    if (offset < paletteAt || offset > size) return {kLogoNotBitmapId, {}};
    if (stride > size - offset || height > (size - offset) / stride) return {kLogoNotBitmapId, {}};

    // Colour 0 is black in the usual palette, so a set bit is paper and the
    // bytes are inverted; a palette with white first has ink in its set bits.
    bool invert = true;
    if (paletteAt + static_cast<std::int64_t>(kPaletteBytes) <= offset) {
        const ByteView palette = file.subspan(static_cast<std::size_t>(paletteAt), kPaletteBytes);
        invert = !(brightness(palette.subspan(0, 3)) > brightness(palette.subspan(4, 3)));
    }

    const int rowBytes = LogoRowBytes(static_cast<int>(width));
    const std::uint8_t lastMask = LeftBitsMask(static_cast<int>(width % 8));
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bytes.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    for (std::int64_t r = 0; r < height; ++r) {
        const std::int64_t sourceRow = topDown ? r : height - 1 - r;
        const std::size_t src = static_cast<std::size_t>(offset + sourceRow * stride);
        for (int c = 0; c < rowBytes; ++c) {
            auto b = file[src + static_cast<std::size_t>(c)];
            if (invert) b = static_cast<std::uint8_t>(~b);
            if (c == rowBytes - 1 && lastMask) b &= lastMask;
            out.bytes[static_cast<std::size_t>(r * rowBytes + c)] = b;
        }
    }
    return {};
}

LogoError LogoToBytes(ByteView file, Bytes& out) {
    LogoImage image;
    const LogoError e = DecodeLogo(file, image);
    out = std::move(image.bytes);
    return e;
}

LogoError LogoFileToImage(const std::string& path, LogoImage& out) {
    out = {};
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return {kLogoFolderId, {}};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return {kLogoUnreadableId, std::strerror(errno ? errno : ENOENT)};
    Bytes data(kLogoMaxFileSize + 1);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return DecodeLogo(data, out);
}

LogoError LogoFileToBytes(const std::string& path, Bytes& out) {
    LogoImage image;
    const LogoError e = LogoFileToImage(path, image);
    out = std::move(image.bytes);
    return e;
}

std::size_t MonochromeBitmapSize(int width, int height) {
    return kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes +
           static_cast<std::size_t>(strideOf(width)) * static_cast<std::size_t>(height);
}

Bytes MonochromeBitmap(const LogoImage& logo) {
    const std::size_t offset = kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes;
    const auto stride = static_cast<std::size_t>(strideOf(logo.width));
    Bytes f(MonochromeBitmapSize(logo.width, logo.height), 0x00);
    f[0] = 'B';
    f[1] = 'M';
    putU32(f, 2, static_cast<std::uint32_t>(f.size()));
    putU32(f, 10, static_cast<std::uint32_t>(offset));
    putU32(f, 14, static_cast<std::uint32_t>(kInfoHeaderBytes));
    putU32(f, 18, static_cast<std::uint32_t>(logo.width));
    putU32(f, 22, static_cast<std::uint32_t>(logo.height));
    f[26] = 1; // planes
    f[28] = 1; // bits per pixel
    putU32(f, 34, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(logo.height)));
    putU32(f, 38, 2835); // 72 dots per inch
    putU32(f, 42, 2835);
    putU32(f, 46, 2);
    f[58] = f[59] = f[60] = 0xFF; // colour 1: white
    const auto rowBytes = static_cast<std::size_t>(LogoRowBytes(logo.width));
    for (int r = 0; r < logo.height; ++r) {
        const std::size_t dst = offset + static_cast<std::size_t>(logo.height - 1 - r) * stride;
        for (std::size_t c = 0; c < stride; ++c) {
            const std::uint8_t ink = c < rowBytes ? logo.bytes[static_cast<std::size_t>(r) * rowBytes + c] : 0x00;
            f[dst + c] = static_cast<std::uint8_t>(~ink);
        }
    }
    return f;
}

std::vector<Bytes> LogoPages(ByteView logo) {
    std::vector<Bytes> pages;
    for (std::size_t off = 0; off < logo.size(); off += kPageSize) {
        Bytes page(kPageSize, 0x00);
        const std::size_t n = std::min<std::size_t>(kPageSize, logo.size() - off);
        std::copy_n(logo.begin() + static_cast<std::ptrdiff_t>(off), n, page.begin());
        pages.push_back(std::move(page));
    }
    return pages;
}

} // namespace ecr::records
