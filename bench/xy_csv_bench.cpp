// Save To CSV with "Capture X and Y" on, for a long session: 100,000 points, each written as its
// x and y values, must be saved within 100 ms. What Save To CSV does once the file is chosen:
// the model's table, its CSV text and the atomic write; and the same without the write, to
// tell the formatting from the file system.

#include "app/csv_table.h"
#include "app/model/capture_document.h"
#include "app/xy_table.h"

#include "runtime/atomic_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr int POINTS = 100000;

CaptureCalibration benchCalibration()
{
    CaptureCalibration calibration;
    calibration.originX = 40;
    calibration.originY = 500;
    calibration.spanWidth = 400;
    calibration.spanHeight = 400;
    calibration.widthReference = 100;
    calibration.heightReference = 100;
    calibration.displayScale = 0.5;
    return calibration;
}

// Points spread over the chart, so that the values have every length the chart gives.
void fill(CaptureDocument& document)
{
    const CaptureCalibration calibration = benchCalibration();
    for (int i = 0; i < POINTS; ++i) {
        const PixelPoint point { static_cast<double>(i % 997), static_cast<double>(i % 400) };
        document.run(captureCommand(0, point, calibration));
    }
    document.run(setCapturesXyCommand(true));
}

void BM_XyCsvText(benchmark::State& state)
{
    CaptureDocument document;
    fill(document);
    for (auto _ : state) {
        const std::string csv = tableToCsv(tableOf(document.model()));
        benchmark::DoNotOptimize(csv.data());
    }
}
BENCHMARK(BM_XyCsvText)->Unit(benchmark::kMillisecond);

void BM_XySaveToCsv(benchmark::State& state)
{
    CaptureDocument document;
    fill(document);
    const std::string path = "/tmp/graphonite-xy-bench-" + std::to_string(::getpid()) + ".csv";
    for (auto _ : state) {
        const std::string reason = writeFileAtomically(path.c_str(), tableToCsv(tableOf(document.model())));
        if (!reason.empty()) {
            state.SkipWithError(reason.c_str());
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_XySaveToCsv)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
