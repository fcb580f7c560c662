#include "runtime/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hexOf(const std::array<std::uint8_t, 32>& digest)
{
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 15];
    }
    return text;
}

// The published test vectors, and lengths around the block and padding boundaries (55, 56, 64
// bytes), where the padding spills into a second block or does not.
TEST(Sha256, KnownDigests)
{
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        { "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855" },
        { "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad" },
        { "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1" },
        { "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmn"
          "opqrst"
          "nopqrstu",
            "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1" },
        { std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318" },
        { std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a" },
        { std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb" },
        { std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(sha256Hex(c.input), c.digest) << c.input.size() << " bytes";
}

// Fed in pieces of every size, the digest is that of the whole.
TEST(Sha256, PiecesGiveTheDigestOfTheWhole)
{
    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes += static_cast<char>(i * 7 + 3);
    const std::string whole = sha256Hex(bytes);
    for (std::size_t piece : { 1u, 3u, 63u, 64u, 65u, 127u, 200u }) {
        Sha256 hash;
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            hash.add(std::string_view(bytes).substr(at, piece));
        EXPECT_EQ(hexOf(hash.finish()), whole) << "pieces of " << piece;
    }
}

} // namespace
