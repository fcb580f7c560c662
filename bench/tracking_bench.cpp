// The application's tracking step, which runs after every wait of the main loop while the mouse
// is over the diagram: the coordinate readout, the magnifier frame (grab, 3x resize, cross-hair)
// and the gadget updates, on a 960 x 720 diagram (the sample chart). Runs the real application
// in-process on Qt's offscreen platform; the mouse moves between two points so that every step
// draws.

#include "bench_app.h"

#include "app/app_ids.h"
#include "app/calibration.h"
#include "app/diagram.h"
#include "app/startup.h"

#include "imaging/image.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

bool openSampleAt960()
{
    return startWithSampleChart(ChartShown::AtItsOwnSize) && imagePixelWidth(IMAGE_DIAGRAM) == 960;
}

void BM_TrackingStep(benchmark::State& state)
{
    if (!openSampleAt960()) {
        state.SkipWithError("the sample chart did not open");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        placeMouse(WINDOW_MAIN, 300 + (step & 1), 400);
        ++step;
        trackMouse();
    }
}
BENCHMARK(BM_TrackingStep)->Unit(benchmark::kMicrosecond);

// The same with the dispatch that follows it in the loop (waitEvent(0)), where the gadgets are
// repainted.
void BM_TrackingStepAndRepaint(benchmark::State& state)
{
    if (!openSampleAt960()) {
        state.SkipWithError("the sample chart did not open");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        placeMouse(WINDOW_MAIN, 300 + (step & 1), 400);
        ++step;
        trackMouse();
        waitEvent(0);
    }
}
BENCHMARK(BM_TrackingStepAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
