#include "RegisterMemory.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace ecr::sim {

namespace {
constexpr char kMagic[] = "ECRSIM1\n";
constexpr std::size_t kMagicSize = 8;
} // namespace

Bytes RegisterMemory::read(int address) const {
    auto it = pages_.find(address);
    return it == pages_.end() ? Bytes(kSimPageSize, 0xFF) : it->second;
}

void RegisterMemory::write(int address, std::span<const std::uint8_t> page) {
    if (page.size() != kSimPageSize) throw std::invalid_argument("a page holds 4096 bytes");
    pages_[address] = Bytes(page.begin(), page.end());
}

std::vector<int> RegisterMemory::addresses() const {
    std::vector<int> a;
    for (const auto& [k, v] : pages_) a.push_back(k);
    return a;
}

std::string RegisterMemory::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot open " + path;
    char magic[kMagicSize];
    if (!in.read(magic, kMagicSize) || std::memcmp(magic, kMagic, kMagicSize) != 0) return path + " is not a register image";
    std::map<int, Bytes> pages;
    for (;;) {
        unsigned char addr[2];
        if (!in.read(reinterpret_cast<char*>(addr), 2)) break;
        Bytes page(kSimPageSize);
        if (!in.read(reinterpret_cast<char*>(page.data()), kSimPageSize)) return path + " is truncated";
        pages[addr[0] | (addr[1] << 8)] = std::move(page);
    }
    pages_ = std::move(pages);
    return {};
}

std::string RegisterMemory::save(const std::string& path) const {
    // Written beside and renamed, so a reader never sees half an image.
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return "cannot write " + tmp;
        out.write(kMagic, kMagicSize);
        for (const auto& [a, page] : pages_) {
            const char addr[2] = {static_cast<char>(a & 0xFF), static_cast<char>((a >> 8) & 0xFF)};
            out.write(addr, 2);
            out.write(reinterpret_cast<const char*>(page.data()), static_cast<std::streamsize>(page.size()));
        }
        if (!out) return "cannot write " + tmp;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    return ec ? "cannot write " + path + ": " + ec.message() : std::string();
}

} // namespace ecr::sim
