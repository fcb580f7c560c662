// The autosave with 100,000 points in the table: the copy of the work the event loop takes, the
// text made from it (on the writer's thread, as is the rest), writing it (the disk work must stay
// under 50 ms), and the tracking step of the event loop while a write runs beside it, which must
// cost what it costs without one. The
// real application in-process on Qt's offscreen platform, its session in a temporary folder.

#include "bench_app.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/session/session_writer.h"
#include "app/startup.h"
#include "app/work_text.h"

#include "runtime/atomic_file.h"
#include "toolkit/gadgets.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/wait_event.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

constexpr int POINTS = 100000;

std::string g_folder;

bool openWithLongTable()
{
    static const bool opened
        = startWithSampleChart(ChartShown::AtItsOwnSize) && captureRows(POINTS, benchCalibration());
    return opened;
}

void BM_SessionText(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(currentWorkText(std::string()));
    state.counters["bytes"] = static_cast<double>(currentWorkText(std::string()).size());
}
BENCHMARK(BM_SessionText)->Unit(benchmark::kMillisecond);

// What the event loop spends on one autosave: the copy of the work.
void BM_SessionCopy(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    std::string error;
    for (auto _ : state)
        benchmark::DoNotOptimize(currentWorkTextMaker(std::string(), error));
}
BENCHMARK(BM_SessionCopy)->Unit(benchmark::kMillisecond);

// From the hand-over to the file on the disk (written, flushed, renamed, folder flushed).
void BM_SessionWrite(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    const std::string text = currentWorkText(std::string());
    const std::string path = g_folder + "/bench-session.graphonite";
    SessionWriter writer;
    std::uint64_t stamp = 0;
    for (auto _ : state) {
        writer.submit(path, text, ++stamp);
        if (!writer.flush())
            state.SkipWithError("the session could not be written");
    }
}
BENCHMARK(BM_SessionWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tracking step and the repaint that follows, with (1) and without (0) a writer thread
// writing the 100,000-point session over and over beside it.
void BM_TrackingStepBesideWrites(benchmark::State& state)
{
    if (!openWithLongTable()) {
        state.SkipWithError("the sample chart with its table did not open");
        return;
    }
    std::atomic<bool> writing = state.range(0) == 1;
    std::atomic<int> writes = 0;
    std::thread writer;
    if (writing) {
        writer = std::thread([&writing, &writes, text = currentWorkText(std::string())] {
            const std::string path = g_folder + "/bench-beside.graphonite";
            while (writing) {
                (void)writeFileAtomically(path, text);
                ++writes;
            }
        });
    }
    int step = 0;
    for (auto _ : state) {
        placeMouse(WINDOW_MAIN, 300 + (step & 1), 400);
        ++step;
        trackMouse();
        waitEvent(0);
    }
    writing = false;
    if (writer.joinable())
        writer.join();
    state.counters["writes"] = writes.load();
}
BENCHMARK(BM_TrackingStepBesideWrites)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string pattern = std::filesystem::temp_directory_path().string() + "/graphonite-bench-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return 1;
    g_folder = pattern;
    setenv("XDG_STATE_HOME", g_folder.c_str(), 1);
    setenv("XDG_CONFIG_HOME", g_folder.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    endBenchApplication();
    std::filesystem::remove_all(g_folder);
    return 0;
}
