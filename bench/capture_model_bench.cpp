// The capture model at the size of a long digitizing session: 100,000 captured points. A capture
// must stay within a millisecond, model and table cell together, and undoing Empty Table within
// 50 ms. The model alone, and the real application in-process on Qt's offscreen platform with
// its table gadget.

#include "bench_app.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/model/capture_document.h"
#include "app/startup.h"

#include "toolkit/gadgets.h"
#include "toolkit/requester_script.h"
#include "toolkit/wait_event.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int POINTS = 100000;

void fill(CaptureDocument& document)
{
    const CaptureCalibration calibration = benchCalibration(0.5);
    for (int i = 0; i < POINTS; ++i)
        document.run(captureCommand(0, { 20, static_cast<double>(i % 400) }, calibration));
}

void BM_ModelCapture(benchmark::State& state)
{
    CaptureDocument document;
    fill(document);
    const CaptureCalibration calibration = benchCalibration(0.5);
    int i = 0;
    for (auto _ : state)
        document.run(captureCommand(0, { 20, static_cast<double>(++i % 400) }, calibration));
}
BENCHMARK(BM_ModelCapture)->Unit(benchmark::kMicrosecond);

void BM_ModelUndoEmptyTable(benchmark::State& state)
{
    CaptureDocument document;
    fill(document);
    for (auto _ : state) {
        state.PauseTiming();
        document.run(emptyTableCommand());
        state.ResumeTiming();
        document.undo();
    }
}
BENCHMARK(BM_ModelUndoEmptyTable)->Unit(benchmark::kMillisecond);

// What the table view asks of the model when it shows every row.
void BM_ModelAllCellTexts(benchmark::State& state)
{
    CaptureDocument document;
    fill(document);
    for (auto _ : state) {
        std::size_t length = 0;
        for (int row = 0; row < document.model().rowCount(); ++row)
            length += document.model().cellText(row, 0).size();
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_ModelAllCellTexts)->Unit(benchmark::kMillisecond);

// The application with the sample chart and 100,000 points in its table.
bool openWithLongTable()
{
    static const bool opened = startWithSampleChart() && captureRows(POINTS, benchCalibration(0.5));
    return opened;
}

void BM_AppCapture(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    const CaptureCalibration calibration = benchCalibration(0.5);
    int i = 0;
    for (auto _ : state) {
        if (!captureValue(20, ++i % 400, calibration))
            state.SkipWithError("a capture failed");
    }
}
BENCHMARK(BM_AppCapture)->Unit(benchmark::kMicrosecond);

// The same with the dispatch that follows in the main loop, where the table is repainted.
void BM_AppCaptureAndRepaint(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    const CaptureCalibration calibration = benchCalibration(0.5);
    int i = 0;
    for (auto _ : state) {
        if (!captureValue(20, ++i % 400, calibration))
            state.SkipWithError("a capture failed");
        waitEvent(0);
    }
}
BENCHMARK(BM_AppCaptureAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_AppUndoEmptyTable(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        emptyTable();
        state.ResumeTiming();
        undoChange();
    }
}
BENCHMARK(BM_AppUndoEmptyTable)->Unit(benchmark::kMillisecond);

} // namespace
