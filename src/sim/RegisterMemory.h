// The simulated register's memory: 4096-byte pages by address. A page never
// written reads as erased flash (all 0xFF).
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace ecr::sim {

using Bytes = std::vector<std::uint8_t>;
inline constexpr std::size_t kSimPageSize = 4096;

class RegisterMemory {
public:
    Bytes read(int address) const;
    void write(int address, std::span<const std::uint8_t> page); // page: 4096 bytes
    bool has(int address) const { return pages_.count(address) != 0; }
    std::vector<int> addresses() const;
    void clear() { pages_.clear(); }

    // Image file: "ECRSIM1\n", then per page its address (2 bytes, low first)
    // and its 4096 bytes. Returns "" or the error text.
    std::string load(const std::string& path);
    std::string save(const std::string& path) const;

private:
    std::map<int, Bytes> pages_;
};

} // namespace ecr::sim
