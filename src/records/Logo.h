// Receipt logo: a monochrome Windows bitmap converted to the register's logo
// bytes (rows top to bottom, leftmost pixel in the high bit, ink = 1), laid out
// from the first logo page on.
#pragma once

#include "app/GlobalFunc.h"

#include <string>
#include <vector>

namespace ecr::records {

inline constexpr std::size_t kLogoMaxFileSize = 12288;
inline constexpr int kLogoTooLargeId = 120709;   // larger than a logo file may be
inline constexpr int kLogoNotBitmapId = 111215; // not a bitmap, or sizes the file cannot hold
inline constexpr int kLogoNotMonochromeId = 111216;
inline constexpr int kLogoFolderId = 120108;     // "%1 is a folder, not a bitmap file."
inline constexpr int kLogoUnreadableId = 120109; // "%1 cannot be read: %2", %2 the system's reason in text

// Why a file was refused: a catalogue message id, with the system's reason
// in text for an unreadable file.
struct LogoError {
    int messageId = 0;
    std::string text;
    bool ok() const { return messageId == 0 && text.empty(); }
    bool operator==(const LogoError&) const = default;
};

// A logo as the register prints it.
struct LogoImage {
    int width = 0;
    int height = 0;
    Bytes bytes; // height rows of LogoRowBytes(width), top row first, ink = 1
    bool ink(int x, int y) const;
    bool operator==(const LogoImage&) const = default;
};

// Bytes of one logo row: width / 8, plus one for the pixels left over.
int LogoRowBytes(int width);
// Pages the logo bytes take, 4096 bytes each.
int LogoPageCount(std::size_t bytes);
// Byte with the n highest bits set for n = 1..7, else 0.
std::uint8_t LeftBitsMask(int n);

// Reads the bytes of a bitmap file. The pixel rows are found where the header
// puts them (bottom-up, or top-down for a negative height), and the two-colour
// palette decides which bit is ink.
LogoError DecodeLogo(ByteView file, LogoImage& out);
// The same, keeping only the logo bytes.
LogoError LogoToBytes(ByteView file, Bytes& out);
// Reads the file (at most one byte more than the limit) and decodes it.
// A folder and a file that cannot be opened are refused as such.
LogoError LogoFileToImage(const std::string& path, LogoImage& out);
LogoError LogoFileToBytes(const std::string& path, Bytes& out);

// The logo as a monochrome bitmap file (palette black then white, rows
// bottom-up) that DecodeLogo reads back to the same logo.
Bytes MonochromeBitmap(const LogoImage& logo);
// Size of that file for a logo of the given size.
std::size_t MonochromeBitmapSize(int width, int height);

// The pages to write, in order from the first logo page: 4096 bytes each, the
// rest of the last page 0x00.
std::vector<Bytes> LogoPages(ByteView logo);

} // namespace ecr::records
