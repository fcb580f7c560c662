// Loading a picture file straight at the size it is shown at (loadImageFileScaled): the same
// image as loadImageFile followed by scaleImage, also for broken files, except that a JPEG may
// be decoded reduced first, which must stay close to the average of the full picture.

#include "imaging_fixture.h"

#include "tests/imaging/decoders/test_pictures.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int WIDTH = 97;
constexpr int HEIGHT = 61;

// A picture with smooth parts and fine detail, sample c of pixel (x, y).
std::uint8_t sampleAt(int x, int y, int c)
{
    return static_cast<std::uint8_t>((x * (c + 3) * 5 + y * (7 - c) * 3 + ((x ^ y) & 8) * 6) % 256);
}

Bytes samples(int width, int height, int components)
{
    Bytes out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c)
                out.push_back(sampleAt(x, y, c));
        }
    }
    return out;
}

Bytes pngFile(int colourType, int bitDepth = 8, bool interlaced = false)
{
    PngPicture picture;
    picture.width = WIDTH;
    picture.height = HEIGHT;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    picture.interlaced = interlaced;
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        picture.rows = samples(WIDTH, HEIGHT, 3);
        if (bitDepth == 16) {
            Bytes wide;
            for (std::uint8_t sample : picture.rows) {
                wide.push_back(sample);
                wide.push_back(static_cast<std::uint8_t>(255 - sample));
            }
            picture.rows = wide;
        }
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        picture.rows = samples(WIDTH, HEIGHT, 4);
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x) // transparent, opaque and partly transparent areas
                picture.rows[(y * WIDTH + x) * 4 + 3] = static_cast<std::uint8_t>(x < 20 ? 0
                        : y < 30                                                         ? 255
                                                                                         : x * 2);
        }
        break;
    case PNG_COLOR_TYPE_PALETTE:
        for (int i = 0; i < 16; ++i) {
            for (int c = 0; c < 3; ++c)
                picture.palette.push_back(static_cast<std::uint8_t>(i * 16 + c * 40));
        }
        picture.transparency = { 0 };
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x)
                picture.rows.push_back(static_cast<std::uint8_t>((x / 7 + y / 5) % 16));
        }
        break;
    case PNG_COLOR_TYPE_GRAY: // 2 bits: four pixels a byte
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; x += 4) {
                int packed = 0;
                for (int i = 0; i < 4; ++i)
                    packed = packed << 2 | (x + i < WIDTH ? (x + i + y) / 9 % 4 : 0);
                picture.rows.push_back(static_cast<std::uint8_t>(packed));
            }
        }
        break;
    default:
        break;
    }
    return encodePng(picture);
}

Bytes jpegFile(int components, bool progressive = false, int width = WIDTH, int height = HEIGHT)
{
    JpegPicture picture;
    picture.width = width;
    picture.height = height;
    picture.components = components;
    picture.samples = samples(width, height, components);
    picture.progressive = progressive;
    return encodeJpeg(picture);
}

void put16(Bytes& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(Bytes& out, int value)
{
    put16(out, value);
    put16(out, value >> 16);
}

// A 24-bit BMP, rows stored bottom-up as the format has them.
Bytes bmpFile()
{
    const int rowBytes = (WIDTH * 3 + 3) / 4 * 4;
    Bytes out { 'B', 'M' };
    put32(out, 54 + rowBytes * HEIGHT);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, WIDTH);
    put32(out, HEIGHT);
    put16(out, 1);
    put16(out, 24);
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    for (int y = HEIGHT - 1; y >= 0; --y) {
        for (int x = 0; x < WIDTH; ++x) {
            for (int c = 2; c >= 0; --c)
                out.push_back(sampleAt(x, y, c));
        }
        out.resize(out.size() + static_cast<std::size_t>(rowBytes - WIDTH * 3));
    }
    return out;
}

Bytes cutShort(Bytes bytes, double keep)
{
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * keep));
    return bytes;
}

struct Loaded {
    Handle handle = 0;
    int width = 0;
    int height = 0;
    int sourceDepth = 0;
    Bytes pixels;
};

Loaded imageOf(int number, Handle handle)
{
    Loaded loaded { handle, imagePixelWidth(number), imagePixelHeight(number), imageBitDepth(number, -2),
        {} };
    if (handle != 0)
        loaded.pixels.assign(
            imagePixels(number), imagePixels(number) + std::size_t(loaded.width) * loaded.height * 4);
    return loaded;
}

class ScaledLoadingTest : public ImagingTest {
protected:
    ScaledLoadingTest()
    {
        useBmpDecoder();
        usePngDecoder();
        useJpegDecoder();
    }

    // What loadImageFile followed by scaleImage makes of the file.
    static Loaded loadThenScale(const std::string& path, int width, int height)
    {
        if (loadImageFile(3, path.c_str()) == 0)
            return {};
        if (imagePixelWidth(3) != width || imagePixelHeight(3) != height) {
            EXPECT_EQ(scaleImage(3, width, height), 1);
        }
        return imageOf(3, imagePlatformHandle(3));
    }

    static Loaded loadScaled(const std::string& path, int width, int height)
    {
        return imageOf(4, loadImageFileScaled(4, path.c_str(), width, height));
    }
};

struct NamedFile {
    const char* name;
    Bytes bytes;
};

TEST_F(ScaledLoadingTest, GivesWhatLoadingAndScalingGiveForEveryKindOfFile)
{
    // A JPEG is decoded reduced when the target is smaller in both directions; these targets
    // are not, for it, so that it too must come out byte for byte the same.
    const NamedFile files[] = {
        { "rgb.png", pngFile(PNG_COLOR_TYPE_RGB) },
        { "rgba.png", pngFile(PNG_COLOR_TYPE_RGB_ALPHA) },
        { "palette-trns.png", pngFile(PNG_COLOR_TYPE_PALETTE) },
        { "grey-2-bit.png", pngFile(PNG_COLOR_TYPE_GRAY, 2) },
        { "rgb-16-bit.png", pngFile(PNG_COLOR_TYPE_RGB, 16) },
        { "interlaced.png", pngFile(PNG_COLOR_TYPE_RGB, 8, true) },
        { "interlaced-rgba.png", pngFile(PNG_COLOR_TYPE_RGB_ALPHA, 8, true) },
        { "rgb-24-bit.bmp", bmpFile() },
        { "rgb.jpg", jpegFile(3) },
        { "grey.jpg", jpegFile(1) },
        { "cmyk.jpg", jpegFile(4) },
        { "progressive.jpg", jpegFile(3, true) },
    };
    struct Target {
        int width, height;
        bool jpegStaysFull;
    };
    const Target targets[] = {
        { 40, 25, false }, // shrink
        { 200, 130, true }, // enlarge
        { WIDTH, HEIGHT, true }, // the picture's own size: copied
        { 300, 20, true }, // wider and lower
        { 98, 10, true },
        { 1, 1, false },
    };
    for (const NamedFile& file : files) {
        const std::string path = writeTemporaryFile(file.name, file.bytes);
        const bool jpeg = std::string(file.name).ends_with(".jpg");
        for (const Target& target : targets) {
            if (jpeg && !target.jpegStaysFull)
                continue;
            SCOPED_TRACE(testing::Message() << file.name << " at " << target.width << "x" << target.height);
            const Loaded expected = loadThenScale(path, target.width, target.height);
            const Loaded scaled = loadScaled(path, target.width, target.height);
            ASSERT_NE(expected.handle, 0);
            ASSERT_NE(scaled.handle, 0);
            EXPECT_EQ(scaled.width, target.width);
            EXPECT_EQ(scaled.height, target.height);
            EXPECT_EQ(scaled.sourceDepth, expected.sourceDepth);
            EXPECT_TRUE(scaled.pixels == expected.pixels);
        }
    }
}

TEST_F(ScaledLoadingTest, BrokenFilesFailOrGetBlackRowsAsWhenLoadedWhole)
{
    Bytes flipped = pngFile(PNG_COLOR_TYPE_RGB);
    flipped[flipped.size() / 2] ^= 0x55; // image data that no longer matches its checksum
    // A wrong checksum of the last image data chunk (just before the 12 bytes of IEND): libpng
    // reports it after it has written the last row.
    Bytes lastChecksum = pngFile(PNG_COLOR_TYPE_RGB);
    lastChecksum[lastChecksum.size() - 13] ^= 0x55;
    const NamedFile files[] = {
        { "cut.png", cutShort(pngFile(PNG_COLOR_TYPE_RGB), 0.6) },
        { "cut-interlaced.png", cutShort(pngFile(PNG_COLOR_TYPE_RGB_ALPHA, 8, true), 0.6) },
        { "damaged.png", flipped },
        { "last-checksum.png", lastChecksum },
        { "cut-header.png", cutShort(pngFile(PNG_COLOR_TYPE_RGB), 0.01) },
        { "cut.bmp", cutShort(bmpFile(), 0.5) },
        { "cut.jpg", cutShort(jpegFile(3), 0.5) },
        { "cut-progressive.jpg", cutShort(jpegFile(3, true), 0.6) },
        { "cut-header.jpg", cutShort(jpegFile(3), 0.02) },
        { "text.jpg", Bytes(5000, 'x') },
    };
    int partial = 0;
    for (const NamedFile& file : files) {
        SCOPED_TRACE(file.name);
        const std::string path = writeTemporaryFile(file.name, file.bytes);
        for (const auto& [width, height] : { std::pair { 120, 40 }, std::pair { WIDTH, HEIGHT } }) {
            const Loaded expected = loadThenScale(path, width, height);
            const Loaded scaled = loadScaled(path, width, height);
            EXPECT_EQ(scaled.handle != 0, expected.handle != 0);
            EXPECT_TRUE(scaled.pixels == expected.pixels);
            if (expected.pixels.empty())
                continue;
            const std::uint8_t* last = &expected.pixels[expected.pixels.size() - 4];
            partial += last[0] == 0 && last[1] == 0 && last[2] == 0;
        }
    }
    EXPECT_GE(partial, 6) << "the cut files should end in black rows";
}

TEST_F(ScaledLoadingTest, TellsHowManyRowsTheDataDelivered)
{
    // Rows counted in the decoder's rows; a cut file delivers some of them and the rest are
    // black: the first row after the delivered ones (top-down formats) is black throughout.
    const int bmpRowBytes = (WIDTH * 3 + 3) / 4 * 4;
    const Bytes halfBmp = cutShort(bmpFile(), 0.5);
    const struct {
        NamedFile file;
        int decoded; // -1: fewer than all, more than none; -2: fewer than all
        bool topDown;
    } cases[] = {
        { { "whole.png", pngFile(PNG_COLOR_TYPE_RGB) }, HEIGHT, true },
        { { "whole-interlaced.png", pngFile(PNG_COLOR_TYPE_RGB, 8, true) }, HEIGHT, true },
        { { "whole.bmp", bmpFile() }, HEIGHT, false },
        { { "whole.jpg", jpegFile(3) }, HEIGHT, true },
        // libpng asks for the image data in pieces larger than this small file: no row comes.
        { { "cut.png", cutShort(pngFile(PNG_COLOR_TYPE_RGB), 0.6) }, -2, true },
        { { "cut.jpg", cutShort(jpegFile(3), 0.5) }, -1, true },
        { { "cut.bmp", halfBmp }, (static_cast<int>(halfBmp.size()) - 54) / bmpRowBytes, false },
        // Rows are whole only after the last pass; the earlier passes drew into the others.
        { { "cut-interlaced.png", cutShort(pngFile(PNG_COLOR_TYPE_RGB_ALPHA, 8, true), 0.6) }, -2, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.name);
        const std::string path = writeTemporaryFile(c.file.name, c.file.bytes);
        DecodedRowCount rows { -7, -7 };
        ASSERT_NE(loadImageFileScaled(5, path.c_str(), WIDTH, HEIGHT, &rows), 0);
        EXPECT_EQ(rows.total, HEIGHT);
        if (c.decoded >= 0) {
            EXPECT_EQ(rows.decoded, c.decoded);
        } else {
            EXPECT_GE(rows.decoded, c.decoded == -1 ? 1 : 0);
            EXPECT_LT(rows.decoded, HEIGHT);
        }
        if (c.topDown && rows.decoded > 0 && rows.decoded < HEIGHT) {
            const int blackRow = rows.decoded;
            EXPECT_TRUE(everyPixel(5, [blackRow](int, int y, Rgba p) {
                return y != blackRow || p == Rgba { 0, 0, 0, 255 };
            }));
            EXPECT_FALSE(everyPixel(5, [blackRow](int, int y, Rgba p) {
                return y != blackRow - 1 || p == Rgba { 0, 0, 0, 255 };
            })) << "the last delivered row has the picture's colours";
        }
    }
    // A failed load tells nothing.
    DecodedRowCount untouched { -7, -7 };
    EXPECT_EQ(loadImageFileScaled(5, "/nonexistent.png", WIDTH, HEIGHT, &untouched), 0);
    EXPECT_EQ(untouched.decoded, -7);
}

TEST_F(ScaledLoadingTest, APngFileLargerThanTheDecodersReadWindowLoadsAsFromMemory)
{
    // Noise does not compress: 2.4 MB of pixel data make a file of more than the decoder's 1 MB
    // window, which it then reads in several pieces.
    PngPicture picture;
    picture.width = 1000;
    picture.height = 800;
    picture.colourType = PNG_COLOR_TYPE_RGB;
    std::uint32_t seed = 99;
    for (int i = 0; i < picture.width * picture.height * 3; ++i)
        picture.rows.push_back(static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16));
    const Bytes bytes = encodePng(picture);
    ASSERT_GT(bytes.size(), std::size_t { 2 } << 20);
    const std::string path = writeTemporaryFile("noise.png", bytes);

    const Loaded fromMemory = imageOf(1, decodeImageMemory(1, bytes.data(), bytes.size()));
    const Loaded fromFile = imageOf(2, loadImageFile(2, path.c_str()));
    ASSERT_NE(fromFile.handle, 0);
    EXPECT_TRUE(fromFile.pixels == fromMemory.pixels);
    EXPECT_TRUE(loadScaled(path, 130, 90).pixels == loadThenScale(path, 130, 90).pixels);
}

// The average of the full decode under each target pixel, computed apart from the resampler.
Bytes areaAverages(const Loaded& full, int width, int height)
{
    const double sx = static_cast<double>(full.width) / width;
    const double sy = static_cast<double>(full.height) / height;
    Bytes out;
    for (int ty = 0; ty < height; ++ty) {
        for (int tx = 0; tx < width; ++tx) {
            double sum[3] = { 0, 0, 0 };
            double area = 0;
            for (int y = static_cast<int>(ty * sy);
                 y < std::min(full.height, static_cast<int>(std::ceil((ty + 1) * sy))); ++y) {
                const double h = std::min(y + 1.0, (ty + 1) * sy) - std::max(static_cast<double>(y), ty * sy);
                for (int x = static_cast<int>(tx * sx);
                     x < std::min(full.width, static_cast<int>(std::ceil((tx + 1) * sx))); ++x) {
                    const double w
                        = std::min(x + 1.0, (tx + 1) * sx) - std::max(static_cast<double>(x), tx * sx);
                    const std::uint8_t* p = &full.pixels[(static_cast<std::size_t>(y) * full.width + x) * 4];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += w * h * p[c];
                    area += w * h;
                }
            }
            for (int c = 0; c < 3; ++c)
                out.push_back(static_cast<std::uint8_t>(std::lround(sum[c] / area)));
            out.push_back(255);
        }
    }
    return out;
}

TEST_F(ScaledLoadingTest, JpegDecodedReducedStaysCloseToTheAverageOfTheFullPicture)
{
    // A photographed chart: soft waves and a soft-edged curve. (Reduced decoding makes each
    // block from its lowest frequencies, which is sharper than an average: lines one pixel wide
    // come out up to a few dozen levels apart from it, soft shapes within a few.)
    constexpr int PHOTO_WIDTH = 640;
    constexpr int PHOTO_HEIGHT = 480;
    JpegPicture picture;
    picture.width = PHOTO_WIDTH;
    picture.height = PHOTO_HEIGHT;
    const auto level
        = [](double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); };
    for (int y = 0; y < PHOTO_HEIGHT; ++y) {
        for (int x = 0; x < PHOTO_WIDTH; ++x) {
            const double distance = (y - 240 - (x - 320) / 2.0) / 5.0;
            const double curve = std::exp(-distance * distance);
            const double wave = std::sin(x / 23.0) * std::cos(y / 31.0);
            picture.samples.push_back(level(200 - 60 * wave - 150 * curve));
            picture.samples.push_back(level(128 + 100 * std::sin((x + 2 * y) / 57.0) - 90 * curve));
            picture.samples.push_back(level(60 + x / 4.0 + 50 * curve));
        }
    }
    const std::string path = writeTemporaryFile("chart.jpg", encodeJpeg(picture));
    const Loaded full = imageOf(3, loadImageFile(3, path.c_str()));
    ASSERT_NE(full.handle, 0);

    // The target, and the reduced size the decoder picks: the smallest n/8 of the picture that
    // still covers the target in both directions.
    struct Case {
        int width, height, reducedWidth, reducedHeight;
    };
    const Case cases[] = {
        { 150, 110, 160, 120 },
        { 100, 75, 160, 120 },
        { 80, 60, 80, 60 },
        { 300, 200, 320, 240 },
        { 500, 400, 560, 420 },
        { 561, 10, 640, 480 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        ASSERT_EQ(openImageFileReduced(path.c_str(), c.width, c.height), 1);
        EXPECT_EQ(decodedWidth(), c.reducedWidth);
        EXPECT_EQ(decodedHeight(), c.reducedHeight);
        finishDecoding();

        const Loaded scaled = loadScaled(path, c.width, c.height);
        ASSERT_NE(scaled.handle, 0);
        ASSERT_EQ(scaled.width, c.width);
        ASSERT_EQ(scaled.height, c.height);
        EXPECT_EQ(scaled.sourceDepth, 24);
        const Bytes expected = areaAverages(full, c.width, c.height);
        double total = 0;
        int largest = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const int difference = std::abs(scaled.pixels[i] - expected[i]);
            total += difference;
            largest = std::max(largest, difference);
        }
        EXPECT_LE(total / static_cast<double>(expected.size()), 1.0);
        EXPECT_LE(largest, 24);
    }

    // The full size is still what the header says.
    ImageFileSize size;
    ASSERT_TRUE(readImageFileSize(path.c_str(), size));
    EXPECT_EQ(size.width, PHOTO_WIDTH);
    EXPECT_EQ(size.height, PHOTO_HEIGHT);
}

TEST_F(ScaledLoadingTest, ACutJpegDecodedReducedEndsInBlackRows)
{
    const std::string path = writeTemporaryFile("cut-large.jpg", cutShort(jpegFile(3, false, 800, 600), 0.5));
    ASSERT_NE(loadImageFileScaled(1, path.c_str(), 190, 140), 0);
    EXPECT_NE(pixelAt(1, 100, 0), (Rgba { 0, 0, 0, 255 }));
    EXPECT_TRUE(everyPixel(1, [](int, int y, Rgba p) { return y < 139 || p == Rgba { 0, 0, 0, 255 }; }));
}

TEST_F(ScaledLoadingTest, AFailedLoadLeavesTheImageOfTheNumberAlone)
{
    const std::string picture = writeTemporaryFile("picture.png", pngFile(PNG_COLOR_TYPE_RGB));
    const std::string text = writeTemporaryFile("text.png", Bytes(100, 'x'));
    const Handle before = makeImage(1, 5, 5, 32);
    struct Case {
        std::string path;
        int width, height;
    };
    const Case cases[] = {
        { picture, 0, 10 },
        { picture, 10, 0 },
        { picture, -3, 10 },
        { picture, 40000, 10 },
        { picture, 20000, 20000 }, // too many pixels
        { text, 10, 10 },
        { "/nonexistent/picture.png", 10, 10 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << " at " << c.width << "x" << c.height);
        EXPECT_EQ(loadImageFileScaled(1, c.path.c_str(), c.width, c.height), 0);
        EXPECT_EQ(imagePlatformHandle(1), before);
        EXPECT_EQ(imagePixelWidth(1), 5);
    }
    EXPECT_EQ(loadImageFileScaled(1, nullptr, 10, 10), 0);
    EXPECT_EQ(loadImageFileScaled(-7, picture.c_str(), 10, 10), 0);
    EXPECT_EQ(imagePlatformHandle(1), before);

    // A load that works replaces the image.
    EXPECT_NE(loadImageFileScaled(1, picture.c_str(), 10, 10), 0);
    EXPECT_NE(imagePlatformHandle(1), before);
    EXPECT_EQ(imagePixelWidth(1), 10);
}

TEST_F(ScaledLoadingTest, PicturesOfOtherDecodersAreDecodedWholeAndThenScaled)
{
    // The test decoder delivers whole pictures only; a cut one gets black rows.
    const auto colour = [](int x, int y) {
        return Rgba { std::uint8_t(x * 9), std::uint8_t(y * 7), std::uint8_t(x * y),
            std::uint8_t(x * 20 + 30) };
    };
    const Bytes whole = fake::encode(12, 9, 32, 32, colour);
    for (const Bytes& bytes : { whole, cutShort(whole, 0.7) }) {
        const std::string path = writeTemporaryFile("picture.fake", bytes);
        const Loaded expected = loadThenScale(path, 5, 20);
        const Loaded scaled = loadScaled(path, 5, 20);
        ASSERT_NE(scaled.handle, 0);
        EXPECT_EQ(scaled.sourceDepth, 32);
        EXPECT_TRUE(scaled.pixels == expected.pixels);
    }
}

} // namespace
