// What the application's gadgets cost on its hot paths: the magnifier, which gets a new picture
// in every pass of the 25 ms loop (a new 180 x 180 platform image shown and drawn), a capture,
// which scans a table column for its first empty cell and writes it, and building the main
// window's gadgets and status bar, as every diagram load does. Runs on Qt's offscreen platform.

#include "imaging/pixel_buffer.h"
#include "imaging/platform_image.h"
#include "toolkit/gadgets.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/status_bar.h"
#include "toolkit/window.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QWidget>

#include <cstdlib>
#include <string>

namespace {

constexpr int WINDOW_MAIN = 0;
constexpr int GADGET_MAGNIFIER = 1;
constexpr int GADGET_TABLE = 2;

void BM_MagnifierFrame(benchmark::State& state)
{
    openWindow(WINDOW_MAIN, 10, 10, 400, 300, "bench", WINDOW_CLOSE_BOX);
    imageGadget(GADGET_MAGNIFIER, 10, 10, 180, 180, 0);
    auto* widget = reinterpret_cast<QWidget*>(gadgetHandle(GADGET_MAGNIFIER));
    auto pixels = PixelBuffer::allocate(180, 180, PixelFill::OpaqueBlack);
    // The gadget draws into this as it would into the window (the offscreen platform shows
    // nothing, so drawing is asked for directly).
    QImage target(180, 180, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const Handle picture = makePlatformImage(pixels);
        setGadgetState(GADGET_MAGNIFIER, picture);
        releasePlatformImage(picture);
        widget->render(&target);
    }
    closeWindow(WINDOW_MAIN);
}
BENCHMARK(BM_MagnifierFrame)->Unit(benchmark::kMicrosecond);

// A table of `rows` rows and 3 columns whose column 1 is full: the capture reads every cell of
// column 1, then appends a row and writes its cell.
void BM_CaptureIntoFullColumn(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    openWindow(WINDOW_MAIN, 10, 10, 400, 300, "bench", WINDOW_CLOSE_BOX);
    listGadget(GADGET_TABLE, 10, 10, 300, 250, "1", 78);
    addGadgetColumn(GADGET_TABLE, 1, "2", 78);
    addGadgetColumn(GADGET_TABLE, 2, "3", 78);
    for (int row = 0; row < rows; ++row)
        addGadgetItem(GADGET_TABLE, -1, "12.50\n-3.75\n100.00\n");
    for (auto _ : state) {
        int free = 0;
        const int count = countGadgetItems(GADGET_TABLE);
        while (free < count && !getGadgetItemText(GADGET_TABLE, free, 1).isEmpty())
            ++free;
        addGadgetItem(GADGET_TABLE, -1, "");
        setGadgetItemText(GADGET_TABLE, free, "42.00", 1);
        state.PauseTiming();
        removeGadgetItem(GADGET_TABLE, free);
        state.ResumeTiming();
    }
    closeWindow(WINDOW_MAIN);
}
BENCHMARK(BM_CaptureIntoFullColumn)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_BuildMainWindowGadgets(benchmark::State& state)
{
    for (auto _ : state) {
        openWindow(WINDOW_MAIN, 100, 100, 1350, 742, "Graphonite", WINDOW_CLOSE_BOX | WINDOW_CENTERED);
        createStatusBar(0, windowHandle(WINDOW_MAIN));
        addStatusBarField(200);
        addStatusBarField(IGNORE_VALUE);
        imageGadget(0, 0, 0, 960, 720, 0);
        for (int i = 0; i < 4; ++i)
            textGadget(10 + i, 970, 10 + 20 * i, 180, 20, "Coords: n/a");
        textGadget(14, 970, 100, 180, 90, "");
        imageGadget(1, 970, 530, 180, 180, 0);
        comboBoxGadget(3, 1160, 10, 140, 20);
        imageGadget(5, 1310, 10, 20, 20, 0);
        stringGadget(4, 1160, -30, 140, 20, "");
        addGadgetItem(3, -1, "Column 1");
        setGadgetText(3, "Column 1");
        listGadget(2, 1160, 40, 180, 680, "1", 78);
        gadgetToolTip(2, "Here you see the recorded data.");
        closeWindow(WINDOW_MAIN);
    }
}
BENCHMARK(BM_BuildMainWindowGadgets)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    initWindows();
    initGadgets();
    initStatusBars();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shutdownToolkit();
    return 0;
}
