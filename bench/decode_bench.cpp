// Decoding a 6000 x 4000 JPEG and a 4000 x 3000 PNG: through our decoders (openImageMemory and
// readDecodedRowsAsRgba), through the bare library calls (libjpeg, libpng) and through Qt's
// QImageReader. Our overhead is the ratio of the first to the second.
//
// Then opening the same pictures as a diagram is shown: at 960 pixels wide (half of a 1920-pixel
// screen), by loadImageFileScaled from a file, against the bare full-size decodes and against
// QImageReader with a scaled size. The counter "peak_MB" is how far the process's resident memory
// rose above where it stood before one such load. The run ends with the ratios of our times to
// the bare decodes.

#include "imaging/decoders/image_decoding.h"
#include "imaging/image.h"
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
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int JPEG_WIDTH = 6000;
constexpr int JPEG_HEIGHT = 4000;
constexpr int PNG_WIDTH = 4000;
constexpr int PNG_HEIGHT = 3000;
// The diagram's display width, and the heights that keep the pictures' aspect ratios.
constexpr int DISPLAY_WIDTH = 960;
constexpr int JPEG_DISPLAY_HEIGHT = JPEG_HEIGHT * DISPLAY_WIDTH / JPEG_WIDTH;
constexpr int PNG_DISPLAY_HEIGHT = PNG_HEIGHT * DISPLAY_WIDTH / PNG_WIDTH;

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

// The pictures as files, for the loads that take a path; removed when the run ends.
std::filesystem::path benchFilePath(const char* extension)
{
    return std::filesystem::temp_directory_path()
        / ("graphonite-decode-bench-" + std::to_string(::getpid()) + "." + extension);
}

const std::string& pictureFile(const Bytes& bytes, const char* extension)
{
    static std::map<std::string, std::string> files;
    std::string& path = files[extension];
    if (path.empty()) {
        path = benchFilePath(extension).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return path;
}

// Kilobytes of a field ("VmRSS:", "VmHWM:") of /proc/self/status; -1 when it cannot be read.
long statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::char_traits<char>::length(field));
    }
    return -1;
}

// How many megabytes the resident memory rose above its level before `load` while it ran: the
// high-water mark is reset (Linux's clear_refs) after the allocator gave back what it held free.
// -1 where the kernel does not offer that.
double peakMegabytesOf(const std::function<void()>& load)
{
    malloc_trim(0);
    if (!std::ofstream("/proc/self/clear_refs").write("5", 1))
        return -1;
    const long before = statusKilobytes("VmRSS:");
    load();
    const long peak = statusKilobytes("VmHWM:");
    if (before < 0 || peak < 0)
        return -1;
    return static_cast<double>(peak - before) / 1024.0;
}

void useOurDecodersAndImages()
{
    initImageDecoders();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
    initImages();
}

// Opening a picture file at the display size, as the application does.
void loadScaledThroughOurImages(benchmark::State& state, const std::string& path, int width, int height,
    int sourceWidth, int sourceHeight)
{
    useOurDecodersAndImages();
    for (auto _ : state) {
        if (loadImageFileScaled(0, path.c_str(), width, height) == 0) {
            state.SkipWithError("loading failed");
            break;
        }
    }
    releaseImage(0);
    state.counters["peak_MB"] = peakMegabytesOf([&] { loadImageFileScaled(0, path.c_str(), width, height); });
    releaseImage(0);
    countPixels(state, sourceWidth, sourceHeight);
}

void loadScaledThroughQt(benchmark::State& state, const std::string& path, int width, int height,
    int sourceWidth, int sourceHeight)
{
    const QString name = QString::fromStdString(path);
    auto load = [&] {
        QImageReader reader(name);
        reader.setScaledSize(QSize(width, height));
        return reader.read();
    };
    for (auto _ : state) {
        QImage image = load();
        if (image.width() != width || image.height() != height) {
            state.SkipWithError("Qt could not load the picture");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["peak_MB"] = peakMegabytesOf([&] { benchmark::DoNotOptimize(load().constBits()); });
    countPixels(state, sourceWidth, sourceHeight);
}

void BM_JpegLoadScaled(benchmark::State& state)
{
    loadScaledThroughOurImages(
        state, pictureFile(testJpeg(), "jpg"), DISPLAY_WIDTH, JPEG_DISPLAY_HEIGHT, JPEG_WIDTH, JPEG_HEIGHT);
}

void BM_JpegQImageReaderScaled(benchmark::State& state)
{
    loadScaledThroughQt(
        state, pictureFile(testJpeg(), "jpg"), DISPLAY_WIDTH, JPEG_DISPLAY_HEIGHT, JPEG_WIDTH, JPEG_HEIGHT);
}

// The reference for the memory a load costs: a 960 x 720 picture, already as large as it is shown.
void BM_JpegLoadDisplaySized(benchmark::State& state)
{
    static const Bytes small = [] {
        JpegPicture picture;
        picture.width = DISPLAY_WIDTH;
        picture.height = 720;
        picture.samples = chartLikeRgb(picture.width, picture.height);
        picture.quality = 90;
        return encodeJpeg(picture);
    }();
    const std::string& path = pictureFile(small, "small.jpg");
    useOurDecodersAndImages();
    for (auto _ : state)
        benchmark::DoNotOptimize(loadImageFile(0, path.c_str()));
    releaseImage(0);
    state.counters["peak_MB"] = peakMegabytesOf([&] { loadImageFile(0, path.c_str()); });
    releaseImage(0);
}

// What the application does before loading: the picture's size from the file's header.
void readSizeThroughOurDecoders(benchmark::State& state, const std::string& path)
{
    useOurDecodersAndImages();
    for (auto _ : state) {
        ImageFileSize size;
        if (!readImageFileSize(path.c_str(), size)) {
            state.SkipWithError("reading the size failed");
            break;
        }
        benchmark::DoNotOptimize(size);
    }
}

void BM_JpegReadFileSize(benchmark::State& state)
{
    readSizeThroughOurDecoders(state, pictureFile(testJpeg(), "jpg"));
}

void BM_PngLoadScaled(benchmark::State& state)
{
    loadScaledThroughOurImages(
        state, pictureFile(testPng(), "png"), DISPLAY_WIDTH, PNG_DISPLAY_HEIGHT, PNG_WIDTH, PNG_HEIGHT);
}

void BM_PngQImageReaderScaled(benchmark::State& state)
{
    loadScaledThroughQt(
        state, pictureFile(testPng(), "png"), DISPLAY_WIDTH, PNG_DISPLAY_HEIGHT, PNG_WIDTH, PNG_HEIGHT);
}

void BM_PngReadFileSize(benchmark::State& state)
{
    readSizeThroughOurDecoders(state, pictureFile(testPng(), "png"));
}

BENCHMARK(BM_JpegOurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegBareLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegQImageReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngOurDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngBareLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngQImageReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegLoadScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegQImageReaderScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegLoadDisplaySized)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegReadFileSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngLoadScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngQImageReaderScaled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngReadFileSize)->Unit(benchmark::kMillisecond);

// The console output, and at its end the ratios of our times to the bare library decodes, from
// CPU time (the machine may be shared) and from the median when the run repeats.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration && m_median.count(name) == 0)
                m_cpuTime[name] = run.GetAdjustedCPUTime();
            if (median) {
                m_cpuTime[name] = run.GetAdjustedCPUTime();
                m_median[name] = true;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const
    {
        const char* pairs[][2] = {
            { "BM_JpegOurDecoder", "BM_JpegBareLibjpeg" },
            { "BM_JpegLoadScaled", "BM_JpegBareLibjpeg" },
            { "BM_JpegQImageReaderScaled", "BM_JpegBareLibjpeg" },
            { "BM_PngOurDecoder", "BM_PngBareLibpng" },
            { "BM_PngLoadScaled", "BM_PngBareLibpng" },
            { "BM_PngQImageReaderScaled", "BM_PngBareLibpng" },
        };
        std::printf("\nCPU time relative to the bare library decode:\n");
        for (const auto& pair : pairs) {
            auto ours = m_cpuTime.find(pair[0]);
            auto bare = m_cpuTime.find(pair[1]);
            if (ours != m_cpuTime.end() && bare != m_cpuTime.end() && bare->second > 0)
                std::printf("  %-28s %5.2f x %s\n", pair[0], ours->second / bare->second, pair[1]);
        }
    }

private:
    std::map<std::string, double> m_cpuTime;
    std::map<std::string, bool> m_median;
};

} // namespace

int main(int argc, char** argv)
{
    // QImageReader finds its format plugins through the application object.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    releaseAllImages();
    for (const char* extension : { "jpg", "png", "small.jpg" }) {
        std::error_code ignored;
        std::filesystem::remove(benchFilePath(extension), ignored);
    }
    return 0;
}
