// Loading real files and the stored pictures through the registered BMP, PNG and JPEG decoders.
// The files come from the shared test corpora; tests skip where those are absent.

#include "imaging_fixture.h"

#include "imaging/stored_picture.h"

#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::filesystem::path JPEG_CORPUS
    = std::filesystem::path(GRAPHONITE_CORPORA_DIR) / "jpeg-libjpeg-turbo" / "current";
const std::filesystem::path BMP_CORPUS = std::filesystem::path(GRAPHONITE_CORPORA_DIR) / "bmpsuite" / "g";

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The RGB samples of a binary PPM (P6, maxval 255) as it comes from the corpus: a header of
// four tokens separated by single whitespace characters.
std::vector<std::uint8_t> ppmSamples(const std::filesystem::path& path, int& width, int& height)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255)
        return {};
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(width) * height * 3);
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size()));
    return in ? samples : std::vector<std::uint8_t> {};
}

class ImageFilesTest : public ImagingTest {
protected:
    ImageFilesTest()
    {
        useBmpDecoder();
        usePngDecoder();
        useJpegDecoder();
    }
};

TEST_F(ImageFilesTest, JpegLoadsCloseToItsSourceAndGreyPngAsRgb)
{
    int width = 0, height = 0;
    const std::vector<std::uint8_t> reference = ppmSamples(JPEG_CORPUS / "testorig.ppm", width, height);
    if (reference.empty())
        GTEST_SKIP() << "corpus not found in " << JPEG_CORPUS;

    EXPECT_NE(loadImageFile(0, (JPEG_CORPUS / "testorig.jpg").c_str()), 0);
    ASSERT_EQ(imagePixelWidth(0), width);
    ASSERT_EQ(imagePixelHeight(0), height);
    EXPECT_EQ(imageBitDepth(0, -2), 24);
    double difference = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba p = pixelAt(0, x, y);
            ASSERT_EQ(p[3], 255);
            for (int i = 0; i < 3; ++i)
                difference += std::abs(p[i] - reference[(static_cast<std::size_t>(y) * width + x) * 3 + i]);
        }
    }
    EXPECT_LE(difference / (3.0 * width * height), 4.0); // JPEG is lossy

    // The PNG beside it is 8-bit grey.
    EXPECT_NE(loadImageFile(1, (JPEG_CORPUS / "testorig.png").c_str()), 0);
    EXPECT_EQ(imagePixelWidth(1), width);
    EXPECT_EQ(imageBitDepth(1, -2), 8);
    EXPECT_TRUE(everyPixel(1, [](int, int, Rgba p) { return p[0] == p[1] && p[1] == p[2] && p[3] == 255; }));
}

TEST_F(ImageFilesTest, ContentDecidesNotTheName)
{
    const std::vector<std::uint8_t> png = fileBytes(JPEG_CORPUS / "testorig.png");
    const std::vector<std::uint8_t> bmp = fileBytes(BMP_CORPUS / "pal8.bmp");
    if (png.empty() || bmp.empty())
        GTEST_SKIP() << "corpus not found";
    const std::filesystem::path misnamed = std::filesystem::path(testing::TempDir()) / "picture.jpg";
    struct Case {
        const std::vector<std::uint8_t>& bytes;
        int sourceDepth;
    };
    for (Case c : { Case { png, 8 }, Case { bmp, 8 } }) {
        std::ofstream(misnamed, std::ios::binary)
            .write(
                reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
        EXPECT_NE(loadImageFile(1, misnamed.c_str()), 0);
        EXPECT_EQ(imageBitDepth(1, -2), c.sourceDepth);
        EXPECT_NE(decodeImageMemory(2, c.bytes.data(), c.bytes.size()), 0);
        EXPECT_EQ(imagePixelWidth(2), imagePixelWidth(1));
    }
    std::filesystem::remove(misnamed);
}

TEST_F(ImageFilesTest, ACutOffJpegStillGivesAnImageWithBlackMissingRows)
{
    const std::vector<std::uint8_t> jpeg = fileBytes(JPEG_CORPUS / "testorig.jpg");
    if (jpeg.empty())
        GTEST_SKIP() << "corpus not found";
    EXPECT_NE(decodeImageMemory(0, jpeg.data(), jpeg.size() / 2), 0);
    ASSERT_EQ(imagePixelHeight(0), 149);
    const int bottom = imagePixelHeight(0) - 1;
    EXPECT_TRUE(everyPixel(0, [&](int, int y, Rgba p) { return y < bottom || p == Rgba { 0, 0, 0, 255 }; }));
    EXPECT_NE(pixelAt(0, 100, 0), (Rgba { 0, 0, 0, 255 }));
}

TEST_F(ImageFilesTest, StoredPicturesDecode)
{
    struct Case {
        StoredPicture picture;
        int width, height, sourceDepth;
    };
    const Case cases[] = {
        { StoredPicture::DialogQuestion, 120, 90, 8 },
        { StoredPicture::DialogProhibition, 120, 90, 8 },
        { StoredPicture::DialogLightBulb, 120, 90, 8 },
        { StoredPicture::DialogInformation, 120, 90, 8 },
        { StoredPicture::DialogPadlock, 120, 90, 8 },
        { StoredPicture::Pen, 24, 24, 32 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.picture));
        EXPECT_NE(decodeStoredPicture(2, c.picture), 0);
        EXPECT_EQ(imagePixelWidth(2), c.width);
        EXPECT_EQ(imagePixelHeight(2), c.height);
        EXPECT_EQ(imageBitDepth(2, -2), c.sourceDepth);
        // Transparent background; some opaque drawing, black in the dialog icons.
        EXPECT_EQ(pixelAt(2, 0, 0)[3], 0);
        EXPECT_EQ(pixelAt(2, c.width - 1, c.height - 1)[3], 0);
        int black = 0, opaque = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const Rgba p = pixelAt(2, x, y);
                opaque += p[3] == 255;
                black += p == Rgba { 0, 0, 0, 255 };
            }
        }
        EXPECT_GT(opaque, c.width * c.height / 20);
        if (c.picture != StoredPicture::Pen) {
            EXPECT_GT(black, c.width * c.height / 20);
        }
    }
}

// A named pipe without a writer blocks whoever opens it for reading; each way of opening a
// picture must refuse it at once. Should one block, the test opens the writing end itself after a
// while, which releases the reader, and fails.
TEST_F(ImageFilesTest, NamedPipesAreRefusedWithoutBlocking)
{
    char folder[] = "/tmp/graphonite-pipe-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string pipe = std::string(folder) + "/pipe.png";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::function<bool()> ways[] = {
        [&pipe] { return openImageFile(pipe.c_str()) != 0; },
        [&pipe] {
            ImageFileSize size {};
            return readImageFileSize(pipe.c_str(), size);
        },
        [&pipe] { return loadImageFileScaled(1, pipe.c_str(), 10, 10) != 0; },
        [&pipe] { return loadImageFile(1, pipe.c_str()) != 0; },
    };
    int way = 0;
    for (const auto& open : ways) {
        auto opening = std::async(std::launch::async, open);
        if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            ADD_FAILURE() << "way " << way << " blocked on the pipe";
            opening.wait();
            ::close(writer);
        } else {
            EXPECT_FALSE(opening.get()) << way;
        }
        ++way;
    }
    ::unlink(pipe.c_str());
    ::rmdir(folder);
}

} // namespace
