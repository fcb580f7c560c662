#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256 (FIPS 180-4): the digest by which a project recognises the bytes of its picture. Fed in
// pieces of any size, it gives the same digest as the whole at once.
class Sha256 {
public:
    Sha256();

    void add(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    [[nodiscard]] std::array<std::uint8_t, 32> finish();

private:
    void compressBlock(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block {};
    std::size_t m_blockUsed = 0;
    std::uint64_t m_totalBytes = 0;
};

// The digest of the bytes as 64 lower-case hexadecimal digits.
[[nodiscard]] std::string sha256Hex(std::string_view bytes);
