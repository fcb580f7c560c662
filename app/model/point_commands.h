#pragma once

#include "model_command.h"

#include <memory>

// The changes of one captured point that the diagram's markers make: moving it and deleting it.

// The captured point of cell (row, column) goes to another place in the picture (picture pixels),
// keeping its calibration. Nothing changes for a cell that holds no captured point.
[[nodiscard]] std::unique_ptr<ModelCommand> movePointCommand(int row, int column, PixelPoint to);

// The captured point of cell (row, column) goes; the cells below it in that column move up one
// row, as the column fills from the top, and a last row left empty everywhere goes too. Nothing
// changes for a cell that holds no captured point.
[[nodiscard]] std::unique_ptr<ModelCommand> deletePointCommand(int row, int column);
