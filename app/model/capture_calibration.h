#pragma once

#include "app/chart_calibration.h"

#include <optional>
#include <string>

// The calibration a point was captured under, as the three calibration clicks and the two
// references set it. Origin and spans are in displayed pixels, as the user clicked them;
// displayScale is how much the picture was reduced for showing (displayed pixels per picture
// pixel), so that points kept in the picture's own pixels find their displayed row again.
struct CaptureCalibration {
    double originX = 0.0;
    double originY = 0.0;
    double spanWidth = 0.0;
    double spanHeight = 0.0;
    double widthReference = 0.0;
    double heightReference = 0.0;
    double displayScale = 1.0;

    bool operator==(const CaptureCalibration&) const = default;

    // The picture pixel of a displayed pixel.
    [[nodiscard]] PixelPoint picturePixel(PixelPoint displayed) const;
    // The displayed pixel of a picture pixel. A click is a whole displayed pixel; the division by
    // the scale and the multiplication back may miss it in the last bit, which the float rounding
    // of the value could then show, so a result that close to a whole pixel is that pixel.
    [[nodiscard]] PixelPoint displayedPixel(PixelPoint picture) const;

    // The chart value of a picture pixel: the vertical value, exactly as the table has always
    // computed it. Not finite when the height span is 0 or the value overflows.
    [[nodiscard]] double value(PixelPoint picture) const;
    // The value as the table shows it; empty when it is not finite.
    [[nodiscard]] std::string valueText(PixelPoint picture) const;
    // The horizontal value the same way: widthReference / spanWidth x (x - originX) on the
    // displayed pixel, rounded to a float; and its text.
    [[nodiscard]] double xValue(PixelPoint picture) const;
    [[nodiscard]] std::string xValueText(PixelPoint picture) const;

    // The same calibration as a general transform over picture pixels, with origin values 0;
    // empty while a span is 0.
    [[nodiscard]] std::optional<ChartCalibration> chartCalibration() const;
};
