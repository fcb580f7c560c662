#pragma once

#include "csv_table.h"
#include "model/capture_model.h"

#include <optional>
#include <string>
#include <vector>

// How the table shows and writes the captured data. Without "Capture X and Y" each series is one
// table column of values, exactly as the table has always been. With it each series is two
// columns, its x values and its y values, titled "<title> x" and "<title> y"; files and the
// clipboard carry the same title line, so that a file whose titles come in such pairs reads back
// as x,y points.

// The table columns that the model shows: one or two per series.
int shownColumnCount(const CaptureModel& model);
// The table column where a series starts.
int firstShownColumn(const CaptureModel& model, int column);
// The header title and a cell's text of a table column.
std::string shownTitle(const CaptureModel& model, int shown);
std::string shownCellText(const CaptureModel& model, int row, int shown);

// The table as files and the clipboard get it.
TableData tableOf(const CaptureModel& model);

// The series titles of a title line of x,y pairs ("A x,A y,B x,B y" gives A and B); none when
// the titles are not all such pairs.
std::optional<std::vector<std::string>> pairSeriesTitles(const std::vector<std::string>& titles);
