// Opening a project of 100,000 points: reading its text alone, and the real application opening
// it in-process on Qt's offscreen platform (picture, table, markers), against opening its picture
// alone, so that the difference is what the project costs beyond the picture. Writing the text is
// measured too, as a save does it.

#include "bench_app.h"

#include "app/app_ids.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/project/project_commands.h"
#include "app/project/project_format.h"
#include "app/startup.h"

#include "runtime/atomic_file.h"
#include "runtime/sha256.h"
#include "toolkit/gadgets.h"
#include "toolkit/requester_script.h"
#include "toolkit/wait_event.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr int POINTS = 100'000;
const std::string CHART = sampleChartPath();

// Two columns of 50,000 captured points each over the sample chart, under one calibration.
std::string projectText()
{
    static const std::string text = [] {
        ProjectData data;
        std::string bytes;
        (void)readWholeFile(CHART, bytes, std::size_t { 1 } << 30);
        data.picturePath = CHART;
        data.pictureSha256 = sha256Hex(bytes);
        data.pictureWidth = 960;
        data.pictureHeight = 720;
        data.calibration.originY = 250;
        data.calibration.spanWidth = 480;
        data.calibration.spanHeight = 100;
        data.calibration.widthReference = 10;
        data.calibration.heightReference = 100;
        data.calibration.displayScale = 0.5;
        data.widthClicked = data.heightClicked = true;
        data.calibrations = { data.calibration };
        for (int column = 0; column < 2; ++column) {
            Series series { std::to_string(column + 1), std::nullopt, {} };
            for (int row = 0; row < POINTS / 2; ++row)
                series.cells.push_back(
                    Cell::captured({ 10.0 + row % 900 + 0.5 * column, 20.0 + row % 650 }, 0));
            data.columns.push_back(std::move(series));
        }
        return writeProject(data);
    }();
    return text;
}

void BM_ReadProjectText(benchmark::State& state)
{
    const std::string text = projectText();
    for (auto _ : state) {
        const ProjectReading reading = readProject(text);
        if (reading.problem != ProjectProblem::None)
            state.SkipWithError("the project was refused");
        benchmark::DoNotOptimize(reading.data.columns.data());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadProjectText)->Unit(benchmark::kMillisecond);

void BM_WriteProjectText(benchmark::State& state)
{
    const ProjectReading reading = readProject(projectText());
    for (auto _ : state) {
        const std::string text = writeProject(reading.data);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_WriteProjectText)->Unit(benchmark::kMillisecond);

const std::string& projectFile()
{
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        const std::string file = std::string(folder && *folder ? folder : "/tmp") + "/graphonite-bench-"
            + std::to_string(::getpid()) + ".graphonite";
        (void)writeFileAtomically(file, projectText());
        return file;
    }();
    return path;
}

bool startApplicationOnce()
{
    return startWithSampleChart();
}

void BM_AppOpenPictureAlone(benchmark::State& state)
{
    if (!startApplicationOnce()) {
        state.SkipWithError("the application did not start");
        return;
    }
    for (auto _ : state) {
        if (!openDiagramFile(CHART.c_str()))
            state.SkipWithError("the picture did not open");
        waitEvent(0);
    }
}
BENCHMARK(BM_AppOpenPictureAlone)->Unit(benchmark::kMillisecond);

void BM_AppOpenProject(benchmark::State& state)
{
    if (!startApplicationOnce()) {
        state.SkipWithError("the application did not start");
        return;
    }
    const std::string& path = projectFile();
    for (auto _ : state) {
        if (!openProjectFile(path.c_str()) || countGadgetItems(GADGET_TABLE) != POINTS / 2)
            state.SkipWithError("the project did not open");
        waitEvent(0);
    }
}
BENCHMARK(BM_AppOpenProject)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    endBenchApplication();
    std::remove(projectFile().c_str());
    return 0;
}
