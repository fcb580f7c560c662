#pragma once

#include "app/model/capture_model.h"

#include <optional>
#include <string>
#include <vector>

// Everything a project file holds, as plain values: what the screen, the table and the markers
// are made from again. Texts are ISO 8859-1 as everywhere inside the program; the picture's path
// is the file system's raw bytes.
struct ProjectData {
    // Relative to the project file's folder, or absolute.
    std::string picturePath;
    // The SHA-256 of the picture's bytes, 64 lower-case hexadecimal digits.
    std::string pictureSha256;
    // The picture's own size in pixels.
    int pictureWidth = 0;
    int pictureHeight = 0;
    // The picture's bytes, when the project carries them ("Save Project With Picture").
    std::optional<std::string> embeddedPicture;

    // The calibration the next capture is taken under, and whether the width end and the height
    // end were clicked (the readouts show a span only then).
    CaptureCalibration calibration;
    bool widthClicked = false;
    bool heightClicked = false;
    // Every calibration a point was captured under; a captured cell names one by its index.
    std::vector<CaptureCalibration> calibrations;
    // The columns in order, each with as many cells as the table has rows.
    std::vector<Series> columns;

    // The capture options: x beside y, the markers shown, clicks capturing.
    bool capturesXy = false;
    bool markersShown = true;
    bool catchingPoints = false;
    int selectedColumn = 0;

    std::size_t pointCount() const;
};
