#pragma once

#include "app/model/capture_calibration.h"

#include <string>

// The application started inside a benchmark's process, on Qt's offscreen platform, with the
// committed sample chart; requesters answer from the script, so nothing waits for a person.

// The sample chart (960 x 720).
[[nodiscard]] std::string sampleChartPath();

// How the sample chart is shown.
enum class ChartShown {
    AsTheScreenAllows, // as the offscreen screen fits it
    AtItsOwnSize, // as a 1920-wide desktop shows it: 960 wide, no bound on the height
};

// Starts the runtime and the application with the sample chart once per process and reports
// whether that worked; a later call returns the first call's answer.
[[nodiscard]] bool startWithSampleChart(ChartShown shown = ChartShown::AsTheScreenAllows);

// The plain corner calibration the benchmarks capture under: the origin at displayed row 500,
// 400 displayed pixels standing for 100 both ways.
[[nodiscard]] CaptureCalibration benchCalibration(double displayScale = 1.0);

// Captures `points` values into the selected column, one per click down the data area, and lets
// the table show them; false when a capture or the table failed.
[[nodiscard]] bool captureRows(int points, const CaptureCalibration& calibration);

// The application's orderly end, for a benchmark's own main function (bench_main.cpp is the
// usual one): the windows must go while Qt still runs, before static destruction.
void endBenchApplication();
