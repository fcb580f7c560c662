#pragma once

#include "app/model/capture_calibration.h"

#include "imaging/extraction/extraction_types.h"

#include <optional>
#include <vector>

// Where an extraction searches, and at which xs a curve is sampled: arithmetic over picture
// pixels, without the toolkit.

// The picture pixels of a rectangle given by two opposite corners on the diagram as shown
// (displayed pixels, displayScale displayed pixels per picture pixel): every pixel whose centre
// the rectangle reaches, kept on a picture of width x height. Empty when nothing of it lies on
// the picture.
[[nodiscard]] PixelArea pictureAreaOf(
    PixelPoint corner, PixelPoint opposite, double displayScale, int width, int height);

// The calibrated data area: from the origin to the width end and the height end, or for the
// two-point way the rectangle around the four marks.
[[nodiscard]] PixelArea dataAreaOf(const CaptureCalibration& calibration, int width, int height);

// The most samples one extraction takes: a step that would give more is refused rather than
// filling the table with millions of rows.
inline constexpr std::size_t MAX_SAMPLES = 100000;

// One sample every step picture pixels from the area's first column on, the last column
// included when the step reaches it exactly. Empty for a step that is not above 0 or would give
// more than MAX_SAMPLES.
[[nodiscard]] std::vector<double> samplesEveryPixels(const PixelArea& area, double step);

// The xs (picture pixels, ascending) of the chart x values that are whole multiples of step and
// lie inside the area, taken along the area's middle row (a scan that lies askew has its x axis
// askew too). Empty for a step that is not above 0, a calibration without x values there, or
// more than MAX_SAMPLES.
[[nodiscard]] std::vector<double> samplesAtChartSteps(
    const PixelArea& area, const ChartCalibration& calibration, double step);
