// Decoding a 6000 x 4000 JPEG and a 4000 x 3000 PNG: through our decoders (openImageMemory and
// readDecodedRowsAsRgba), through the bare library calls (libjpeg, libpng) and through Qt's
// QImageReader. Our overhead is the ratio of the first to the second.

#include "imaging/decoders/image_decoding.h"
#include "tests/imaging/decoders/test_pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include <png.h>

#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int JPEG_WIDTH = 6000;
constexpr int JPEG_HEIGHT = 4000;
constexpr int PNG_WIDTH = 4000;
constexpr int PNG_HEIGHT = 3000;

// Something like a photographed chart: a gradient, sensor noise, and dark grid and curve lines.
Bytes chartLikeRgb(int width, int height)
{
    Bytes rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = rgb.data()
                + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width)
                      + static_cast<std::size_t>(x))
                    * 3;
            bool line = x % 250 < 2 || y % 200 < 2 || std::abs(y - height / 2 - (x - width / 2) / 3) < 3;
            int base = line ? 30 : 200 + 40 * x / width;
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(
                    std::clamp(base - c * 10 * y / height + noise(random), 0, 255));
            }
        }
    }
    return rgb;
}

const Bytes& testJpeg()
{
    static const Bytes jpeg = [] {
        JpegPicture picture;
        picture.width = JPEG_WIDTH;
        picture.height = JPEG_HEIGHT;
        picture.samples = chartLikeRgb(JPEG_WIDTH, JPEG_HEIGHT);
        picture.quality = 90;
        return encodeJpeg(picture);
    }();
    return jpeg;
}

const Bytes& testPng()
{
    static const Bytes png = [] {
        PngPicture picture;
        picture.width = PNG_WIDTH;
        picture.height = PNG_HEIGHT;
        picture.colourType = PNG_COLOR_TYPE_RGB;
        picture.rows = chartLikeRgb(PNG_WIDTH, PNG_HEIGHT);
        return encodePng(picture);
    }();
    return png;
}

void countPixels(benchmark::State& state, int width, int height)
{
    state.counters["Mpixel/s"] = benchmark::Counter(
        static_cast<double>(width) * height / 1e6 * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void decodeThroughOurDecoders(benchmark::State& state, const Bytes& bytes, int width, int height)
{
    initImageDecoders();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
    Bytes rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (auto _ : state) {
        if (openImageMemory(bytes.data(), bytes.size()) != 1 || readDecodedRowsAsRgba(rgba.data()) != 1) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(rgba.data());
    }
    countPixels(state, width, height);
}

void decodeThroughQt(benchmark::State& state, const Bytes& bytes, int width, int height)
{
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    for (auto _ : state) {
        QBuffer buffer(&data);
        QImageReader reader(&buffer);
        QImage image = reader.read();
        if (image.isNull()) {
            state.SkipWithError("Qt could not decode the picture");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    countPixels(state, width, height);
}

void BM_JpegOurDecoder(benchmark::State& state)
{
    decodeThroughOurDecoders(state, testJpeg(), JPEG_WIDTH, JPEG_HEIGHT);
}

// libjpeg alone with the same settings: accurate integer DCT, R,G,B,A rows straight into place.
void BM_JpegBareLibjpeg(benchmark::State& state)
{
    const Bytes& jpeg = testJpeg();
    Bytes rgba(static_cast<std::size_t>(JPEG_WIDTH) * JPEG_HEIGHT * 4);
    for (auto _ : state) {
        jpeg_decompress_struct decompressor {};
        jpeg_error_mgr errors {};
        decompressor.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&decompressor);
        jpeg_mem_src(&decompressor, jpeg.data(), jpeg.size());
        jpeg_read_header(&decompressor, TRUE);
        decompressor.dct_method = JDCT_ISLOW;
        decompressor.out_color_space = JCS_EXT_RGBA;
        jpeg_start_decompress(&decompressor);
        while (decompressor.output_scanline < decompressor.output_height) {
            JSAMPROW row[1]
                = { rgba.data() + static_cast<std::size_t>(decompressor.output_scanline) * JPEG_WIDTH * 4 };
            jpeg_read_scanlines(&decompressor, row, 1);
        }
        jpeg_finish_decompress(&decompressor);
        jpeg_destroy_decompress(&decompressor);
        benchmark::DoNotOptimize(rgba.data());
    }
    countPixels(state, JPEG_WIDTH, JPEG_HEIGHT);
}

void BM_JpegQImageReader(benchmark::State& state)
{
    decodeThroughQt(state, testJpeg(), JPEG_WIDTH, JPEG_HEIGHT);
}

void BM_PngOurDecoder(benchmark::State& state)
{
    decodeThroughOurDecoders(state, testPng(), PNG_WIDTH, PNG_HEIGHT);
}

struct PngMemory {
    const Bytes* bytes;
    std::size_t position;
};

void readPngMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* memory = static_cast<PngMemory*>(png_get_io_ptr(png));
    std::copy_n(memory->bytes->data() + memory->position, length, out);
    memory->position += length;
}

// libpng alone: R,G,B,A rows straight into place, reading from memory without bounds checks.
void BM_PngBareLibpng(benchmark::State& state)
{
    const Bytes& png = testPng();
    Bytes rgba(static_cast<std::size_t>(PNG_WIDTH) * PNG_HEIGHT * 4);
    for (auto _ : state) {
        PngMemory memory { &png, 0 };
        png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(reader);
        png_set_read_fn(reader, &memory, readPngMemory);
        png_read_info(reader, info);
        png_set_filler(reader, 0xFF, PNG_FILLER_AFTER);
        png_read_update_info(reader, info);
        for (int y = 0; y < PNG_HEIGHT; ++y) {
            png_read_row(reader, rgba.data() + static_cast<std::size_t>(y) * PNG_WIDTH * 4, nullptr);
        }
        png_destroy_read_struct(&reader, &info, nullptr);
        benchmark::DoNotOptimize(rgba.data());
    }
    countPixels(state, PNG_WIDTH, PNG_HEIGHT);
}

void BM_PngQImageReader(benchmark::State& state)
{
    decodeThroughQt(state, testPng(), PNG_WIDTH, PNG_HEIGHT);
}

BENCHMARK(BM_JpegOurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegBareLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegQImageReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngOurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngBareLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngQImageReader)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // QImageReader finds its format plugins through the application object.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
