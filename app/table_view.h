#pragma once

#include "model/capture_model.h"
#include "model/model_command.h"

// The data table (GADGET_TABLE) and its column selector (GADGET_COLUMN_SELECT) as a view of the
// capture model: after each change it shows what changed, and nothing else, so that a capture
// into a long table stays as quick as into a short one. The gadgets keep no data of their own.

// Shows the change the model went through.
void showModelChange(const CaptureModel& model, const ModelChange& change);

// Rebuilds the columns, the selector and every row from the model; the selector selects the
// column given, or keeps its selection (within the columns) for -1.
void showWholeModel(const CaptureModel& model, int selectColumn);

// The name the selector shows for a column.
std::string columnLabel(const CaptureModel& model, int column);
