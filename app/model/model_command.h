#pragma once

#include "capture_model.h"

#include <memory>
#include <string>
#include <vector>

// The changes of the captured data, each with its way back. A command is made with what it is
// to do, applied once, and may then be reverted and applied again any number of times, always
// in turn; what it needs to go back it keeps from its last application.

// What a command changed, for the views: they redraw only that much.
struct ModelChange {
    enum class Kind {
        None, // nothing changed
        Cell, // the cell (row, column); a row of rowCount()-1 may have been appended
        RowRemoved, // row `row` went, the rows below moved up
        Rows, // any rows changed; columns and titles stay
        Titles, // the titles and names of the series
        Whole, // anything
        Calibration, // only the current calibration
    };
    Kind kind = Kind::None;
    int row = -1;
    int column = -1;
};

class ModelCommand {
public:
    virtual ~ModelCommand() = default;
    virtual ModelChange apply(CaptureModel& model) = 0;
    virtual ModelChange revert(CaptureModel& model) = 0;
};

// A point clicked on the picture (in picture pixels) into the column's first empty cell, under the
// calibration given (it joins the model's calibrations).
[[nodiscard]] std::unique_ptr<ModelCommand> captureCommand(
    int column, PixelPoint point, const CaptureCalibration& calibration);
// Row r goes from every column; the rows below move up.
[[nodiscard]] std::unique_ptr<ModelCommand> deleteRowCommand(int row);
// Every row goes; the columns and their titles stay.
[[nodiscard]] std::unique_ptr<ModelCommand> emptyTableCommand();
// A column appended with its header title; its selector name is the numbered one.
[[nodiscard]] std::unique_ptr<ModelCommand> addColumnCommand(std::string title);
// The last column with its cells; nothing while there is only one.
[[nodiscard]] std::unique_ptr<ModelCommand> removeLastColumnCommand();
// The column's header title and selector name both become the name.
[[nodiscard]] std::unique_ptr<ModelCommand> renameColumnCommand(int column, std::string name);
// The whole table replaced by loaded titles and cell texts (an empty text is an empty cell).
[[nodiscard]] std::unique_ptr<ModelCommand> replaceTableCommand(
    std::vector<std::string> titles, std::vector<std::vector<std::string>> rows);
// The same for a file of x,y pairs: one title per series, and per row the x and y texts of each
// series in turn (2k and 2k+1); the table then shows x and y. A pair of empty texts is an empty
// cell.
[[nodiscard]] std::unique_ptr<ModelCommand> replacePairTableCommand(
    std::vector<std::string> titles, std::vector<std::vector<std::string>> rows);
// "Capture X and Y" switched on or off; no cell changes, so switching back restores the table.
[[nodiscard]] std::unique_ptr<ModelCommand> setCapturesXyCommand(bool on);
// Every captured point of the column is taken under the calibration from now on.
[[nodiscard]] std::unique_ptr<ModelCommand> applyCalibrationCommand(
    int column, const CaptureCalibration& calibration);
// The calibration that later captures are taken under changes from one to the other (undo puts
// the first back).
[[nodiscard]] std::unique_ptr<ModelCommand> setCalibrationCommand(
    const CaptureCalibration& before, const CaptureCalibration& after);
