#include "bench_app.h"

#include "app/app_ids.h"
#include "app/data_table.h"
#include "app/diagram.h"
#include "app/startup.h"

#include "app/session/autosave.h"

#include "imaging/image.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/menus.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/requester_script.h"
#include "toolkit/test_driver.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <cstdlib>
#include <filesystem>

namespace {

// The benchmark's own folder for the autosaved session and the recent files, so that a run
// leaves nothing in the user's.
std::string g_userFolder;
bool g_started = false;

} // namespace

void endBenchApplication()
{
    if (!g_started)
        return;
    g_started = false;
    endAutosave();
    closeAllWindows();
    freeAllFonts();
    releaseAllImages();
    freeAllMenus();
    shutdownToolkit();
    if (!g_userFolder.empty())
        std::filesystem::remove_all(g_userFolder);
}

namespace {

void useOwnUserFolders()
{
    std::string pattern = "/tmp/graphonite-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return;
    g_userFolder = pattern;
    ::setenv("XDG_STATE_HOME", (g_userFolder + "/state").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (g_userFolder + "/config").c_str(), 1);
}

} // namespace

std::string sampleChartPath()
{
    return GRAPHONITE_SOURCE_DIR "/samples/bar_chart.png";
}

bool startWithSampleChart(ChartShown shown)
{
    static const bool started = [shown] {
        useOwnUserFolders();
        initRuntime();
        scriptRequesters(true);
        const std::string chart = sampleChartPath();
        startApplication(chart.c_str());
        g_started = true;
        if (shown == ChartShown::AsTheScreenAllows)
            return isGadget(GADGET_TABLE) != 0;
        // The offscreen screen is small: the chart is opened again as a wide desktop shows it.
        displayWidth = 960.0;
        diagramHeightBound = 0.0;
        return openDiagramFile(chart.c_str());
    }();
    return started;
}

CaptureCalibration benchCalibration(double displayScale)
{
    CaptureCalibration calibration;
    calibration.originY = 500;
    calibration.spanWidth = 400;
    calibration.spanHeight = 400;
    calibration.widthReference = 100;
    calibration.heightReference = 100;
    calibration.displayScale = displayScale;
    return calibration;
}

bool captureRows(int points, const CaptureCalibration& calibration)
{
    const int before = countGadgetItems(GADGET_TABLE);
    for (int i = 0; i < points; ++i) {
        if (!captureValue(20, i % 400, calibration))
            return false;
    }
    waitEvent(0);
    return countGadgetItems(GADGET_TABLE) == before + points;
}
