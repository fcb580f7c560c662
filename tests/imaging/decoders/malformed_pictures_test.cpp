// Every kept fuzz find (malformed/) fails cleanly through the registry, from memory and from a
// file, whichever way its rows are read.

#include "test_pictures.h"

#include "imaging/decoders/image_decoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(MalformedPictures, FailCleanly)
{
    fs::path folder = fs::path(GRAPHONITE_SOURCE_DIR) / "tests" / "imaging" / "decoders" / "malformed";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".md") {
            continue;
        }
        ++files;
        std::string name = entry.path().filename().string();
        std::vector<std::uint8_t> bytes = readFileBytes(entry.path().string());
        for (const Decoded& decoded : { decodeMemory(bytes), decodeFile(entry.path().string()) }) {
            EXPECT_TRUE(decoded.opened == 0 || decoded.result == 0) << name;
        }
        useAllDecoders();
        if (openImageMemory(bytes.data(), bytes.size()) == 1) {
            std::size_t stride
                = static_cast<std::size_t>(decodedWidth()) * static_cast<std::size_t>(decodedDepth() / 8);
            std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(decodedHeight()));
            EXPECT_EQ(readDecodedRows(rows.data(), stride, DECODE_BOTTOM_UP), 0) << name;
        }
        EXPECT_STRNE(lastDecodeFailure(), "") << name;
    }
    EXPECT_GE(files, 18);
}
