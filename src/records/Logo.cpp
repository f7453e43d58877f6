#include "Logo.h"

#include "PageKinds.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace ecr::records {

namespace {

std::int64_t readInt32(ByteView b, std::size_t off) {
    const std::uint32_t u = static_cast<std::uint32_t>(b[off]) | static_cast<std::uint32_t>(b[off + 1]) << 8 |
                            static_cast<std::uint32_t>(b[off + 2]) << 16 | static_cast<std::uint32_t>(b[off + 3]) << 24;
    return static_cast<std::int32_t>(u);
}

constexpr std::size_t kHeaderBytes = 30; // through the bits-per-pixel field

} // namespace

std::uint8_t LeftBitsMask(int n) {
    if (n < 1 || n > 7) return 0;
    return static_cast<std::uint8_t>(0xFF00u >> n);
}

LogoError LogoToBytes(ByteView file, Bytes& out) {
    out.clear();
    if (file.size() > kLogoMaxFileSize) return {kLogoTooLargeId, kLogoTooLargeText};
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return {kLogoNotBitmapId, {}};
    if (file.size() < kHeaderBytes) return {kLogoNotBitmapId, {}};
    const std::int64_t width = readInt32(file, 18);
    const std::int64_t height = readInt32(file, 22);
    const unsigned bpp = static_cast<unsigned>(file[28]) | static_cast<unsigned>(file[29]) << 8;
    if (bpp != 1) return {kLogoNotMonochromeId, {}};
    // Rows are read back from the end of the file; sizes the file cannot hold
    // (or top-down and empty bitmaps) are refused rather than read past.
    if (width <= 0 || height <= 0) return {kLogoNotBitmapId, {}};
    const std::int64_t stride = 4 * (width / 32 + (width % 32 > 0 ? 1 : 0));
    const std::int64_t available = static_cast<std::int64_t>(file.size() - kHeaderBytes);
    if (stride > available || height > available / stride) return {kLogoNotBitmapId, {}};
    const std::int64_t rowBytes = width / 8 + (width % 8 > 0 ? 1 : 0);
    const std::uint8_t lastMask = LeftBitsMask(static_cast<int>(width % 8));
    out.resize(static_cast<std::size_t>(rowBytes * height));
    const auto fileSize = static_cast<std::int64_t>(file.size());
    for (std::int64_t r = 0; r < height; ++r) {
        const std::int64_t src = fileSize - (r + 1) * stride;
        for (std::int64_t c = 0; c < rowBytes; ++c) {
            auto b = static_cast<std::uint8_t>(~file[static_cast<std::size_t>(src + c)]);
            if (c == rowBytes - 1 && lastMask) b &= lastMask;
            out[static_cast<std::size_t>(r * rowBytes + c)] = b;
        }
    }
    return {};
}

LogoError LogoFileToBytes(const std::string& path, Bytes& out) {
    out.clear();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return {kLogoFolderId, {}};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return {kLogoUnreadableId, std::strerror(errno ? errno : ENOENT)};
    Bytes data(kLogoMaxFileSize + 1);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return LogoToBytes(data, out);
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
