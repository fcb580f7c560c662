// Image benchmarks: scaling a large photo down to the diagram width against Qt's smooth scaling,
// and the magnifier step the main loop runs every 25 ms.

#include "imaging/decoders/image_decoding.h"
#include "imaging/drawing.h"
#include "imaging/image.h"
#include "imaging/platform_image.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>

namespace {

// A chart-like photo: a smooth background, grid lines and sensor noise.
std::shared_ptr<PixelBuffer> photo(int width, int height)
{
    auto pixels = PixelBuffer::allocate(width, height, PixelFill::None);
    std::minstd_rand random(42);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels->row(y);
        for (int x = 0; x < width; ++x) {
            const bool line = x % 97 < 2 || y % 89 < 2;
            const auto noise = static_cast<int>(random() % 16);
            row[4 * x] = static_cast<std::uint8_t>(line ? noise : 200 + x * 40 / width + noise);
            row[4 * x + 1] = static_cast<std::uint8_t>(line ? noise : 190 + y * 50 / height + noise);
            row[4 * x + 2] = static_cast<std::uint8_t>(line ? 120 : 180 + noise);
            row[4 * x + 3] = 255;
        }
    }
    return pixels;
}

const std::shared_ptr<PixelBuffer>& bigPhoto()
{
    static const std::shared_ptr<PixelBuffer> pixels = photo(6000, 4000);
    return pixels;
}

void scaleImage6000x4000To960(benchmark::State& state)
{
    for (auto _ : state) {
        makeImageFromPixels(0, bigPhoto()); // no copy: the image shares the buffer
        benchmark::DoNotOptimize(scaleImage(0, 960, 640));
    }
    releaseImage(0);
    state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}
BENCHMARK(scaleImage6000x4000To960)->Unit(benchmark::kMillisecond);

void qImageSmoothScaled6000x4000To960(benchmark::State& state)
{
    const auto format = static_cast<QImage::Format>(state.range(0));
    const std::shared_ptr<PixelBuffer>& pixels = bigPhoto();
    const QImage rgba(pixels->data(), pixels->width(), pixels->height(),
        static_cast<qsizetype>(pixels->stride()), QImage::Format_RGBA8888);
    const QImage source = rgba.convertToFormat(format);
    for (auto _ : state) {
        QImage scaled = source.scaled(960, 640, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}
BENCHMARK(qImageSmoothScaled6000x4000To960)
    ->Arg(QImage::Format_RGBA8888)
    ->Arg(QImage::Format_ARGB32_Premultiplied)
    ->Unit(benchmark::kMillisecond);

// One pass of the magnifier: grab 60 x 60 around the mouse from the 960 x 640 diagram, enlarge
// it to 180 x 180, draw the cross-hair, and hand the new platform image to the gadget (which
// keeps a reference to what it shows).
void magnifierStep(benchmark::State& state)
{
    makeImageFromPixels(0, photo(960, 640));
    makeImage(1, 180, 180, 32);
    Handle shown = imagePlatformHandle(1);
    retainPlatformImage(shown);
    int step = 0;
    for (auto _ : state) {
        const int x = (step * 37) % 960;
        const int y = (step * 23) % 640;
        ++step;
        if (beginDrawing(imageDrawTarget(0))) {
            copyAreaToImage(1, x - 30, y - 30, 60, 60);
            scaleImage(1, 180, 180);
            endDrawing();
        }
        if (beginDrawing(imageDrawTarget(1))) {
            drawBox(89, 70, 3, 18, 0);
            drawBox(89, 92, 3, 18, 0);
            drawBox(70, 89, 18, 3, 0);
            drawBox(92, 89, 18, 3, 0);
            endDrawing();
        }
        const Handle next = imagePlatformHandle(1);
        retainPlatformImage(next);
        releasePlatformImage(shown);
        shown = next;
    }
    releasePlatformImage(shown);
    releaseImage(0);
    releaseImage(1);
}
BENCHMARK(magnifierStep)->Unit(benchmark::kMicrosecond);

// The parts of the magnifier step on their own.
void enlarge60To180(benchmark::State& state)
{
    const auto source = photo(60, 60);
    for (auto _ : state) {
        makeImageFromPixels(1, source);
        benchmark::DoNotOptimize(scaleImage(1, 180, 180));
    }
    releaseImage(1);
}
BENCHMARK(enlarge60To180)->Unit(benchmark::kMicrosecond);

void qImageSmoothScaled60To180(benchmark::State& state)
{
    const auto pixels = photo(60, 60);
    const QImage source = QImage(pixels->data(), 60, 60, 240, QImage::Format_RGBA8888).copy();
    for (auto _ : state) {
        QImage scaled = source.scaled(180, 180, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}
BENCHMARK(qImageSmoothScaled60To180)->Unit(benchmark::kMicrosecond);

// Loading a large photo of a chart from a file: decoding, RGBA conversion and the image's
// platform image, against Qt's own reader of the same file.
const std::string& photoFile(const char* format)
{
    static std::map<std::string, std::string> files;
    std::string& path = files[format];
    if (path.empty()) {
        const std::shared_ptr<PixelBuffer>& pixels = bigPhoto();
        const QImage image(pixels->data(), pixels->width(), pixels->height(),
            static_cast<qsizetype>(pixels->stride()), QImage::Format_RGBA8888);
        path = (std::filesystem::temp_directory_path() / ("graphonite_image_bench." + std::string(format)))
                   .string();
        if (!image.convertToFormat(QImage::Format_RGB888).save(QString::fromStdString(path), format, 90))
            path.clear();
    }
    return path;
}

void loadImageFile6000x4000(benchmark::State& state, const char* format)
{
    initImageDecoders();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
    const std::string& path = photoFile(format);
    if (path.empty()) {
        state.SkipWithError("could not write the photo");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(loadImageFile(0, path.c_str()));
    releaseImage(0);
    state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}
BENCHMARK_CAPTURE(loadImageFile6000x4000, jpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(loadImageFile6000x4000, png, "png")->Unit(benchmark::kMillisecond);

void qImageReader6000x4000(benchmark::State& state, const char* format)
{
    const std::string& path = photoFile(format);
    for (auto _ : state) {
        QImage image(QString::fromStdString(path));
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}
BENCHMARK_CAPTURE(qImageReader6000x4000, jpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(qImageReader6000x4000, png, "png")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    initImageDecoders();
    initImages();
    initDrawing();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    releaseAllImages();
    for (const char* format : { "jpg", "png" }) {
        std::error_code ignored;
        std::filesystem::remove(
            std::filesystem::temp_directory_path() / ("graphonite_image_bench." + std::string(format)),
            ignored);
    }
    return 0;
}
