// Logos and picture files for the logo form's tests.
#pragma once

#include "records/Logo.h"

#include <cstdint>
#include <fstream>
#include <string>

inline void WriteFile(const std::string& path, const ecr::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A logo of the given size whose bytes follow a pattern; pixels beyond the
// width are never ink.
inline ecr::records::LogoImage PatternLogo(int width, int height) {
    ecr::records::LogoImage logo{width, height, {}};
    const int row = ecr::records::LogoRowBytes(width);
    for (int i = 0; i < height * row; ++i) {
        auto b = static_cast<std::uint8_t>((i * 13 + 5) & 0xFF);
        if (i % row == row - 1 && width % 8) b &= ecr::records::LeftBitsMask(width % 8);
        logo.bytes.push_back(b);
    }
    return logo;
}
