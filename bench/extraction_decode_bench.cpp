// What extraction pays to read a picture at its own resolution when it is shown reduced: the
// decode of a 24-megapixel JPEG (quality 75) and of a PNG of the same size into a pixel buffer,
// as an extraction's thread does it, and whether the memory goes back once the buffer is let go.

#include "app/extraction/extraction_job.h"

#include "imaging/decoders/image_decoding.h"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int WIDTH = 6000;
constexpr int HEIGHT = 4000;

// A chart-like photo: paper with a faint gradient, grid lines and a dark curve.
std::vector<unsigned char> chartRow(int y)
{
    std::vector<unsigned char> row(static_cast<std::size_t>(WIDTH) * 3);
    for (int x = 0; x < WIDTH; ++x) {
        unsigned char value = static_cast<unsigned char>(235 + (x + y) % 17);
        if (x % 500 == 0 || y % 400 == 0)
            value = 200;
        const int curve = 2000 + static_cast<int>(1500 * __builtin_sin(x / 900.0));
        unsigned char* p = &row[static_cast<std::size_t>(x) * 3];
        p[0] = p[1] = p[2] = value;
        if (y >= curve - 4 && y <= curve + 4) {
            p[0] = 30;
            p[1] = 80;
            p[2] = 190;
        }
    }
    return row;
}

std::string writeJpeg()
{
    const std::string path = "/tmp/graphonite-extraction-bench-" + std::to_string(::getpid()) + ".jpg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct compressor {};
    jpeg_error_mgr errors {};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = WIDTH;
    compressor.image_height = HEIGHT;
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 75, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        std::vector<unsigned char> row = chartRow(static_cast<int>(compressor.next_scanline));
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
    return path;
}

std::string writePng()
{
    const std::string path = "/tmp/graphonite-extraction-bench-" + std::to_string(::getpid()) + ".png";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, WIDTH, HEIGHT, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < HEIGHT; ++y) {
        std::vector<unsigned char> row = chartRow(y);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return path;
}

// Resident memory in kilobytes.
long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmRSS:" && status >> value)
            return value;
        status.ignore(256, '\n');
    }
    return -1;
}

void decodeAtOwnSize(benchmark::State& state, const std::string& path)
{
    useJpegDecoder();
    usePngDecoder();
    const long before = residentKilobytes();
    long held = 0;
    for (auto _ : state) {
        std::shared_ptr<const PixelBuffer> pixels = decodePictureFile(path, WIDTH, HEIGHT);
        if (!pixels) {
            state.SkipWithError("the picture did not decode");
            break;
        }
        held = residentKilobytes() - before;
        benchmark::DoNotOptimize(pixels->data());
    }
    // The buffer was let go at the end of the last iteration: its pages are back.
    state.counters["held MB"] = static_cast<double>(held) / 1024;
    state.counters["after MB"] = static_cast<double>(residentKilobytes() - before) / 1024;
    std::remove(path.c_str());
}

void BM_DecodeJpeg24Megapixels(benchmark::State& state)
{
    decodeAtOwnSize(state, writeJpeg());
}

void BM_DecodePng24Megapixels(benchmark::State& state)
{
    decodeAtOwnSize(state, writePng());
}

} // namespace

BENCHMARK(BM_DecodeJpeg24Megapixels)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodePng24Megapixels)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
