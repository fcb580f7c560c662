// The decoders against outside corpora and reference decoders: PngSuite against libpng's
// simplified reader, BMP Suite against its reference renderings, the libjpeg-turbo test images
// against djpeg, and libpng's crash reproducers. Each suite skips when its folder is absent.

#include "test_pictures.h"

#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path corpus(const char* name)
{
    return fs::path(GRAPHONITE_CORPORA_DIR) / name;
}

std::vector<fs::path> filesIn(const fs::path& folder, const std::string& extension)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::uint32_t bigEndian32(const std::uint8_t* at)
{
    return (std::uint32_t { at[0] } << 24) | (std::uint32_t { at[1] } << 16) | (std::uint32_t { at[2] } << 8)
        | at[3];
}

// The PNG with its colour-space chunks (gAMA, cHRM, sRGB, iCCP) replaced by one sRGB chunk: the
// simplified reader then hands the samples over without a gamma conversion, as our decoder does.
// (Without any such chunk it would take 16-bit samples as linear light.)
std::vector<std::uint8_t> withoutColourSpace(const std::vector<std::uint8_t>& png)
{
    std::vector<std::uint8_t> out(png.begin(), png.begin() + 8);
    std::size_t at = 8;
    bool srgbAdded = false;
    while (at + 12 <= png.size()) {
        if (at > 8 && !srgbAdded) {
            static constexpr std::uint8_t SRGB_CHUNK[] = { 0, 0, 0, 1, 's', 'R', 'G', 'B', 0 };
            static_assert(sizeof(SRGB_CHUNK) == 9);
            out.insert(out.end(), std::begin(SRGB_CHUNK), std::end(SRGB_CHUNK));
            auto crc = static_cast<std::uint32_t>(crc32(0, SRGB_CHUNK + 4, 5));
            for (int shift = 24; shift >= 0; shift -= 8) {
                out.push_back(static_cast<std::uint8_t>(crc >> shift));
            }
            srgbAdded = true;
        }
        std::size_t length = bigEndian32(png.data() + at);
        std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
        std::size_t end = std::min(png.size(), at + 12 + length);
        if (type != "gAMA" && type != "cHRM" && type != "sRGB" && type != "iCCP") {
            out.insert(out.end(), png.begin() + static_cast<long>(at), png.begin() + static_cast<long>(end));
        }
        at = end;
    }
    return out;
}

// libpng's simplified reader: 8-bit R,G,B,A; empty when it refuses the data.
std::vector<std::uint8_t> simplifiedPngRead(const std::vector<std::uint8_t>& bytes, int& width, int& height)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        return {};
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return {};
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

// Reads a binary PPM (P6) or PGM (P5) into R,G,B,A.
std::vector<std::uint8_t> readNetpbm(const std::vector<std::uint8_t>& bytes, int& width, int& height)
{
    std::array<char, 3> magic {};
    int maxValue = 0;
    int consumed = 0;
    std::string text(
        bytes.begin(), bytes.begin() + static_cast<long>(std::min<std::size_t>(bytes.size(), 64)));
    if (std::sscanf(text.c_str(), "%2s %d %d %d%n", magic.data(), &width, &height, &maxValue, &consumed) != 4
        || maxValue != 255) {
        return {};
    }
    int channels = std::string(magic.data()) == "P6" ? 3 : 1;
    std::size_t at = static_cast<std::size_t>(consumed) + 1;
    std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (bytes.size() < at + count * static_cast<std::size_t>(channels)) {
        return {};
    }
    std::vector<std::uint8_t> rgba(count * 4, 255);
    for (std::size_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c) {
            rgba[i * 4 + static_cast<std::size_t>(c)] = bytes[at + i * static_cast<std::size_t>(channels)
                + (channels == 3 ? static_cast<std::size_t>(c) : 0)];
        }
    }
    return rgba;
}

// The largest difference between two samples at the same place; 256 when the sizes differ.
int largestDifference(const std::vector<std::uint8_t>& ours, const std::vector<std::uint8_t>& reference)
{
    if (ours.size() != reference.size()) {
        return 256;
    }
    int largest = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        largest = std::max(largest, std::abs(ours[i] - reference[i]));
    }
    return largest;
}

// Decodes from a file and from memory, which must agree, and returns the file decode.
Decoded decodeBothWays(const fs::path& path)
{
    Decoded fromFile = decodeFile(path.string());
    Decoded fromMemory = decodeMemory(readFileBytes(path.string()));
    EXPECT_EQ(fromFile.opened, fromMemory.opened) << path;
    EXPECT_EQ(fromFile.result, fromMemory.result) << path;
    EXPECT_TRUE(fromFile.rgba == fromMemory.rgba) << path;
    return fromFile;
}

} // namespace

TEST(PngSuite, ValidFilesMatchLibpngAndCorruptFilesFail)
{
    fs::path folder = corpus("pngsuite");
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no PngSuite at " << folder;
    }
    int valid = 0;
    int corrupt = 0;
    int sixteenBitFiles = 0;
    for (const fs::path& path : filesIn(folder, ".png")) {
        std::string name = path.filename().string();
        Decoded decoded = decodeBothWays(path);
        if (name[0] == 'x') {
            ++corrupt;
            EXPECT_TRUE(decoded.opened == 0 || decoded.result == 0) << name;
            continue;
        }
        ++valid;
        // libpng 1.6.39's simplified reader garbles interlaced 16-bit files (its decode of
        // basi0g16 differs from its decode of basn0g16, the same picture stored plainly); those
        // five are checked against the reader's decode of the plain twin.
        std::string referenceName = name;
        if (name == "basi0g16.png" || name == "basi2c16.png" || name == "basi4a16.png"
            || name == "basi6a16.png") {
            referenceName[3] = 'n';
        } else if (name == "bgai4a16.png") {
            referenceName = "basn4a16.png";
        }
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> reference = simplifiedPngRead(
            withoutColourSpace(readFileBytes((folder / referenceName).string())), width, height);
        ASSERT_FALSE(reference.empty()) << name;
        ASSERT_EQ(decoded.opened, 1) << name;
        EXPECT_EQ(decoded.result, 1) << name;
        EXPECT_EQ(decoded.width, width) << name;
        EXPECT_EQ(decoded.height, height) << name;
        // Our decoder keeps the high byte of a 16-bit sample (png_set_strip_16); the simplified
        // reader rounds. For 16-bit files (names ending in "16") the two may differ by 1; every
        // other file must agree byte for byte.
        bool sixteenBit = name.ends_with("16.png");
        EXPECT_LE(largestDifference(decoded.rgba, reference), sixteenBit ? 1 : 0) << name;
        if (sixteenBit) {
            sixteenBitFiles++;
        }
    }
    EXPECT_EQ(sixteenBitFiles, 33);
    EXPECT_EQ(valid, 161);
    EXPECT_EQ(corrupt, 14);
}

TEST(BmpSuite, GoodFilesMatchTheReferenceRenderings)
{
    fs::path folder = corpus("bmpsuite");
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no BMP Suite at " << folder;
    }
    // Each good file and the rendering (upstream-docs/html) that shows what it must look like.
    struct Case {
        const char* file;
        const char* reference;
    };
    static constexpr Case CASES[] = {
        { "pal1.bmp", "pal1" },
        { "pal1bg.bmp", "pal1bg" },
        { "pal1wb.bmp", "pal1" },
        { "pal4.bmp", "pal4" },
        { "pal4gs.bmp", "pal4gs" },
        { "pal4rle.bmp", "pal4" },
        { "pal8-0.bmp", "pal8" },
        { "pal8.bmp", "pal8" },
        { "pal8gs.bmp", "pal8gs" },
        { "pal8nonsquare.bmp", "pal8nonsquare-e" },
        { "pal8os2.bmp", "pal8" },
        { "pal8rle.bmp", "pal8" },
        { "pal8topdown.bmp", "pal8" },
        { "pal8v4.bmp", "pal8" },
        { "pal8v5.bmp", "pal8" },
        { "pal8w124.bmp", "pal8w124" },
        { "pal8w125.bmp", "pal8w125" },
        { "pal8w126.bmp", "pal8w126" },
        { "rgb16-565.bmp", "rgb16-565" },
        { "rgb16-565pal.bmp", "rgb16-565" },
        { "rgb16.bmp", "rgb16" },
        { "rgb16bfdef.bmp", "rgb16" },
        { "rgb24.bmp", "rgb24" },
        { "rgb24pal.bmp", "rgb24" },
        { "rgb32.bmp", "rgb24" },
        { "rgb32bf.bmp", "rgb24" },
        { "rgb32bfdef.bmp", "rgb24" },
    };
    static_assert(std::size(CASES) == 27);
    for (const Case& c : CASES) {
        Decoded decoded = decodeBothWays(folder / "g" / c.file);
        int width = 0;
        int height = 0;
        fs::path reference = folder / "upstream-docs" / "html" / (std::string(c.reference) + ".png");
        std::vector<std::uint8_t> expected
            = simplifiedPngRead(withoutColourSpace(readFileBytes(reference.string())), width, height);
        ASSERT_EQ(decoded.opened, 1) << c.file;
        EXPECT_EQ(decoded.result, 1) << c.file;
        EXPECT_EQ(decoded.width, width) << c.file;
        EXPECT_EQ(decoded.height, height) << c.file;
        EXPECT_EQ(largestDifference(decoded.rgba, expected), 0) << c.file;
    }
}

TEST(BmpSuite, QuestionableAndBadFilesDecodeOrFailCleanly)
{
    fs::path folder = corpus("bmpsuite");
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no BMP Suite at " << folder;
    }
    // Headers that no reading can make sense of are refused at once.
    static const std::vector<std::string> REFUSED = {
        "b/badbitcount.bmp", // an absurd bit count
        "b/badheadersize.bmp", // 66-byte header
        "b/badplanes.bmp", // planes != 1
        "b/badwidth.bmp", // negative width
        "b/reallybig.bmp", // beyond the pixel bound
        "b/rletopdown.bmp", // RLE cannot be top-down
        "q/rgb24jpeg.bmp", // embedded JPEG
        "q/rgb24png.bmp", // embedded PNG
        "q/rgb24rle24.bmp", // OS/2 24-bit RLE
        "q/pal1huffmsb.bmp", // OS/2 Huffman 1D
        "q/rgba64.bmp", // 64 bits per pixel
        "q/pal8os2-hs.bmp", // OS/2 hotspot in the reserved fields, which must be 0
        "x/ba-bm.bmp", // OS/2 bitmap array, not a BMP
    };
    int files = 0;
    for (const char* sub : { "q", "b", "x" }) {
        for (const fs::path& path : filesIn(folder / sub, ".bmp")) {
            ++files;
            std::string name = std::string(sub) + "/" + path.filename().string();
            Decoded decoded = decodeBothWays(path);
            bool refused = std::find(REFUSED.begin(), REFUSED.end(), name) != REFUSED.end();
            EXPECT_EQ(decoded.opened, refused ? 0 : 1) << name;
            if (decoded.opened == 1) {
                EXPECT_TRUE(decoded.result == 0 || decoded.result == 1) << name;
            }
        }
    }
    EXPECT_EQ(files, 64);
}

TEST(LibjpegTurboImages, EightBitFilesMatchDjpegAndTwelveBitFilesAreRefused)
{
    fs::path folder = corpus("jpeg-libjpeg-turbo");
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no libjpeg-turbo test images at " << folder;
    }
    if (std::system("command -v djpeg > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "djpeg is not installed";
    }
    int compared = 0;
    for (const char* sub : { "current", "historic" }) {
        for (const fs::path& path : filesIn(folder / sub, ".jpg")) {
            std::string name = path.filename().string();
            Decoded decoded = decodeBothWays(path);
            if (name.find("12") != std::string::npos) {
                EXPECT_EQ(decoded.opened, 0) << name;
                continue;
            }
            const std::string output = writeTemporaryFile("djpeg-" + std::to_string(compared) + ".pnm", {});
            std::string command = "djpeg -dct int -ppm -outfile '" + output + "' '" + path.string() + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            int width = 0;
            int height = 0;
            std::vector<std::uint8_t> expected = readNetpbm(readFileBytes(output), width, height);
            fs::remove(output);
            ASSERT_EQ(decoded.opened, 1) << name;
            EXPECT_EQ(decoded.result, 1) << name;
            EXPECT_EQ(decoded.width, width) << name;
            EXPECT_EQ(decoded.height, height) << name;
            EXPECT_EQ(largestDifference(decoded.rgba, expected), 0) << name;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 8);
}

TEST(LibpngTestPngs, CrashReproducersFailCleanlyAndBadPalettesDecode)
{
    fs::path folder = corpus("png-libpng-testpngs");
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no libpng test PNGs at " << folder;
    }
    for (const fs::path& path : filesIn(folder / "crashers", ".png")) {
        std::string name = path.filename().string();
        Decoded decoded = decodeBothWays(path);
        if (name == "empty_ancillary_chunks.png") {
            EXPECT_EQ(decoded.result, 1) << name; // only damaged ancillary chunks, which are skipped
        } else {
            EXPECT_TRUE(decoded.opened == 0 || decoded.result == 0) << name;
        }
    }
    // Indices past the palette: libpng gives them black; nothing is read past the PLTE entries
    // (the sanitizer build checks that).
    int badPalettes = 0;
    for (const fs::path& path : filesIn(folder / "badpal", ".png")) {
        Decoded decoded = decodeBothWays(path);
        EXPECT_EQ(decoded.opened, 1) << path.filename();
        ++badPalettes;
    }
    EXPECT_EQ(badPalettes, 9);
}
