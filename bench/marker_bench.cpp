// The markers on the diagram: what a change costs with many markers on a 960 x 720 diagram, the
// lookup under the mouse among 100,000, and the application's tracking step (readout and
// magnifier) with 10,000 markers painted into the diagram against none. The last runs the real
// application in-process on Qt's offscreen platform.

#include "bench_app.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/diagram.h"
#include "app/marker_index.h"
#include "app/marker_layer.h"
#include "app/startup.h"

#include "imaging/image.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 960;
constexpr int HEIGHT = 720;

std::vector<std::uint8_t> chartLikePicture()
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(WIDTH) * HEIGHT * 4, 0xFF);
    for (int y = 0; y < HEIGHT; y += 40)
        for (int x = 0; x < WIDTH; ++x)
            bytes[(static_cast<std::size_t>(y) * WIDTH + x) * 4] = 0x40;
    return bytes;
}

// A layer over the picture with count markers spread over it, painted once into shown.
void fillLayer(MarkerLayer& layer, std::vector<std::uint8_t>& shown, int count)
{
    const std::vector<std::uint8_t> picture = chartLikePicture();
    layer.setPicture(picture.data(), WIDTH, HEIGHT, WIDTH * 4);
    std::mt19937 random(1);
    std::uniform_real_distribution<double> across(0, WIDTH);
    std::uniform_real_distribution<double> down(0, HEIGHT);
    for (int i = 0; i < count; ++i)
        layer.addMarker(across(random), down(random), i % 12);
    shown.assign(picture.size(), 0);
    layer.paintAll({ shown.data(), WIDTH, HEIGHT, WIDTH * 4 });
}

// A capture: one marker more, painted.
void BM_MarkerAddOneTo10000(benchmark::State& state)
{
    MarkerLayer layer;
    std::vector<std::uint8_t> shown;
    fillLayer(layer, shown, 10000);
    std::mt19937 random(2);
    std::vector<int> added;
    for (auto _ : state) {
        added.push_back(layer.addMarker(random() % WIDTH + 0.5, random() % HEIGHT, 3));
        benchmark::DoNotOptimize(layer.paintChanges({ shown.data(), WIDTH, HEIGHT, WIDTH * 4 }));
        // Kept near 10,000, as a growing crowd would measure something else.
        if (added.size() == 1000) {
            state.PauseTiming();
            for (int number : added)
                layer.removeMarker(number);
            layer.paintChanges({ shown.data(), WIDTH, HEIGHT, WIDTH * 4 });
            added.clear();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_MarkerAddOneTo10000)->Unit(benchmark::kMicrosecond);

// An arrow key or a drag: the selected marker a pixel further, painted.
void BM_MarkerMoveSelectedAmong10000(benchmark::State& state)
{
    MarkerLayer layer;
    std::vector<std::uint8_t> shown;
    fillLayer(layer, shown, 10000);
    layer.selectMarker(5000);
    int step = 0;
    for (auto _ : state) {
        layer.moveMarker(5000, 400 + (step & 1), 300);
        ++step;
        benchmark::DoNotOptimize(layer.paintChanges({ shown.data(), WIDTH, HEIGHT, WIDTH * 4 }));
    }
}
BENCHMARK(BM_MarkerMoveSelectedAmong10000)->Unit(benchmark::kMicrosecond);

// Showing the markers again, or a new calibration: everything painted.
void BM_MarkerRebuild10000(benchmark::State& state)
{
    MarkerLayer layer;
    std::vector<std::uint8_t> shown;
    fillLayer(layer, shown, 10000);
    for (auto _ : state)
        benchmark::DoNotOptimize(layer.paintAll({ shown.data(), WIDTH, HEIGHT, WIDTH * 4 }));
}
BENCHMARK(BM_MarkerRebuild10000)->Unit(benchmark::kMicrosecond);

// Ctrl+click: the nearest within a few pixels among 100,000.
void BM_MarkerNearestAmong100000(benchmark::State& state)
{
    MarkerIndex index;
    index.reset(WIDTH, HEIGHT, 8);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> across(0, WIDTH);
    std::uniform_real_distribution<double> down(0, HEIGHT);
    for (int id = 0; id < 100000; ++id)
        index.insert(id, across(random), down(random));
    std::vector<std::pair<double, double>> queries;
    for (int i = 0; i < 1024; ++i)
        queries.emplace_back(across(random), down(random));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [x, y] = queries[i++ & 1023];
        benchmark::DoNotOptimize(index.nearest(x, y, 5.0));
    }
}
BENCHMARK(BM_MarkerNearestAmong100000)->Unit(benchmark::kNanosecond);

bool openSampleAt960()
{
    return startWithSampleChart(ChartShown::AtItsOwnSize) && imagePixelWidth(IMAGE_DIAGRAM) == WIDTH;
}

// Paints count markers into the diagram image as the application will: the layer keeps the
// picture, the image shows picture and markers.
bool paintMarkersIntoDiagram(int count)
{
    static MarkerLayer layer;
    static bool haveLayer = false;
    if (!haveLayer) {
        const std::shared_ptr<PixelBuffer> picture = imagePixelBuffer(IMAGE_DIAGRAM);
        if (!picture
            || !layer.setPicture(picture->data(), picture->width(), picture->height(), picture->stride()))
            return false;
        haveLayer = true;
    }
    layer.removeAllMarkers();
    std::mt19937 random(4);
    for (int i = 0; i < count; ++i)
        layer.addMarker(random() % WIDTH, random() % HEIGHT, i % 12);
    const std::shared_ptr<PixelBuffer> held = imagePixelBuffer(IMAGE_DIAGRAM);
    const std::shared_ptr<PixelBuffer> target = imagePixelsForWriting(IMAGE_DIAGRAM, held);
    if (!target)
        return false;
    layer.paintAll({ target->data(), target->width(), target->height(), target->stride() });
    renewImagePlatformImage(IMAGE_DIAGRAM, target.get());
    return true;
}

// The tracking step over a diagram with state.range(0) markers: the magnifier reads the shown
// image, so the number of markers must make no difference.
void BM_TrackingStepWithMarkers(benchmark::State& state)
{
    if (!openSampleAt960()) {
        state.SkipWithError("the sample chart did not open");
        return;
    }
    if (!paintMarkersIntoDiagram(static_cast<int>(state.range(0)))) {
        state.SkipWithError("the markers could not be painted into the diagram");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        placeMouse(WINDOW_MAIN, 300 + (step & 1), 400);
        ++step;
        trackMouse();
    }
}
BENCHMARK(BM_TrackingStepWithMarkers)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
