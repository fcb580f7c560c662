// Decoding a 6000 x 4000 JPEG and a 4000 x 3000 PNG: through our decoders (openImageMemory and
// readDecodedRowsAsRgba), through the bare library calls (libjpeg, libpng) and through Qt's
// QImageReader. Our overhead is the ratio of the first to the second.

#include "imaging/decoders/image_decoding.h"

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
        Bytes rgb = chartLikeRgb(JPEG_WIDTH, JPEG_HEIGHT);
        jpeg_compress_struct compressor {};
        jpeg_error_mgr errors {};
        compressor.err = jpeg_std_error(&errors);
        jpeg_create_compress(&compressor);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&compressor, &buffer, &size);
        compressor.image_width = JPEG_WIDTH;
        compressor.image_height = JPEG_HEIGHT;
        compressor.input_components = 3;
        compressor.in_color_space = JCS_RGB;
        jpeg_set_defaults(&compressor);
        jpeg_set_quality(&compressor, 90, TRUE);
        jpeg_start_compress(&compressor, TRUE);
        while (compressor.next_scanline < compressor.image_height) {
            JSAMPROW row[1]
                = { rgb.data() + static_cast<std::size_t>(compressor.next_scanline) * JPEG_WIDTH * 3 };
            jpeg_write_scanlines(&compressor, row, 1);
        }
        jpeg_finish_compress(&compressor);
        Bytes out(buffer, buffer + size);
        jpeg_destroy_compress(&compressor);
        std::free(buffer);
        return out;
    }();
    return jpeg;
}

void appendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

const Bytes& testPng()
{
    static const Bytes png = [] {
        Bytes rgb = chartLikeRgb(PNG_WIDTH, PNG_HEIGHT);
        Bytes out;
        png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(writer);
        png_set_write_fn(writer, &out, appendPngBytes, nullptr);
        png_set_IHDR(writer, info, PNG_WIDTH, PNG_HEIGHT, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
            PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(writer, info);
        for (int y = 0; y < PNG_HEIGHT; ++y) {
            png_write_row(writer, rgb.data() + static_cast<std::size_t>(y) * PNG_WIDTH * 3);
        }
        png_write_end(writer, info);
        png_destroy_write_struct(&writer, &info);
        return out;
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
