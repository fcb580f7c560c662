#pragma once

#include "app/model/model_command.h"

#include <memory>
#include <vector>

// The points an extraction found (picture pixels) into the column's first empty cells, in their
// order, all under the calibration given: one change, so that one Undo takes the whole extraction
// back. Nothing changes for a column that does not exist or an empty list.
[[nodiscard]] std::unique_ptr<ModelCommand> extractedPointsCommand(
    int column, std::vector<PixelPoint> points, const CaptureCalibration& calibration);
