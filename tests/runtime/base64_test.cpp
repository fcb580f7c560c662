#include "runtime/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The examples of RFC 4648, both ways.
TEST(Base64, RfcExamplesBothWays)
{
    const struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        { "", "" },
        { "f", "Zg==" },
        { "fo", "Zm8=" },
        { "foo", "Zm9v" },
        { "foob", "Zm9vYg==" },
        { "fooba", "Zm9vYmE=" },
        { "foobar", "Zm9vYmFy" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeBase64(c.bytes), c.text);
        EXPECT_EQ(decodeBase64(c.text), std::optional<std::string>(c.bytes)) << c.text;
    }
}

TEST(Base64, EveryByteValueSurvives)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    for (std::size_t length : { 254u, 255u, 256u })
        EXPECT_EQ(decodeBase64(encodeBase64(bytes.substr(0, length))), bytes.substr(0, length));
}

TEST(Base64, MalformedTextIsRefused)
{
    for (const char* text : {
             "Zg=", // length not a multiple of four
             "Zm9v\n", // a line break
             "Zm=v", // padding inside
             "Zg==Zm9v", // padding before the end
             "Zh==", // bits left over after the last byte
             "Zm9=", // the same with one padding character
             "Z===", // too much padding
             "Zm9*", // outside the alphabet
         })
        EXPECT_FALSE(decodeBase64(text).has_value()) << text;
}

} // namespace
