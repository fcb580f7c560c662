#pragma once

#include "model/capture_calibration.h"

#include "runtime/runtime_string.h"

// Calibration: where the chart's data area lies on the displayed diagram (origin, end of the
// width, end of the height, each set by a left click in its click mode) and the coordinate
// readout that follows the mouse. Coordinates are window-content pixels, which are also pixels of
// the displayed diagram (it sits at the content's top-left corner); y grows downward.

// What a left click on the diagram does.
enum class ClickMode { Nothing, Origin, Width, Height, Capture, AxisMark, PickColour };
inline constexpr ClickMode CLICK_NOTHING = ClickMode::Nothing;
inline constexpr ClickMode CLICK_ORIGIN = ClickMode::Origin;
inline constexpr ClickMode CLICK_WIDTH = ClickMode::Width;
inline constexpr ClickMode CLICK_HEIGHT = ClickMode::Height;
inline constexpr ClickMode CLICK_CAPTURE = ClickMode::Capture;
// The clicks of the two marks per axis (axis_calibration.h).
inline constexpr ClickMode CLICK_AXIS_MARK = ClickMode::AxisMark;
// The click on the colour that an extraction looks for (extraction/extraction_commands.h).
inline constexpr ClickMode CLICK_PICK_COLOUR = ClickMode::PickColour;

extern ClickMode clickMode;
// 1 once "Measure Diagram" was chosen: from then on each calibration click leads on to the next
// step, for the rest of the run.
extern int guidedCalibration;
extern double originX;
extern double originY;
// Pixel distance from the origin to the width end, and up from the origin to the height end.
// Loading a diagram sets them to its displayed size.
extern double spanWidth;
extern double spanHeight;
// The chart values that the width and the height stand for.
extern double widthReference;
extern double heightReference;
// 1 once the width end, and the height end, were clicked on the diagram shown.
extern int widthCalibrated;
extern int heightCalibrated;
// The width the current diagram is shown at: the mouse is tracked over it.
extern double diagramShownWidth;
// The mouse relative to the main window's content, sampled after every wait; -1 outside it.
extern double mouseX;
extern double mouseY;

// Samples the mouse; over the diagram's width the coordinate readout and the magnifier follow it.
void trackMouse();

// The next tracking step draws even when the mouse has not moved (a new window, a new
// calibration).
void forgetTrackedMouse();

// The left click on the diagram in the Origin, Width or Height click mode, at the mouse position
// of this pass.
void clickCalibrationCorner();

// "Measure Diagram": the guided sequence from the origin on.
void measureDiagram();
// "Set Origin", "Set Width", "Set Height": one step, with its prompt blinking anew.
void startCalibrationStep(ClickMode mode);

// A new diagram, shown at width x height displayed pixels, displayScale displayed pixels per
// picture pixel: the origin at its bottom-left corner, the spans its size, nothing clicked yet.
void startCalibration(double width, double height, double displayScale);

// Asks for a reference: MENU_SET_REFERENCE_WIDTH or MENU_SET_REFERENCE_HEIGHT store their value
// and rewrite the readout; MENU_ENTER_NUMBER asks with empty texts and drops the answer.
void enterReference(int item);

// Back to the values before start-up.
void resetCalibration();

// The calibration as it stands, with the diagram's display scale: what a capture is taken under.
CaptureCalibration currentCaptureCalibration();
// The check marks of the logarithmic axis items follow the current calibration.
void showAxisScaleChecks();
// Puts a calibration back (Undo, Redo) and shows it in the readouts.
void restoreCalibration(const CaptureCalibration& calibration);
// Makes the calibration current as a change that Undo takes back; nothing when it is current
// already.
void changeCalibration(const CaptureCalibration& after);
// 1 while the calibration tells chart values: width and height clicked, or the marks set.
int chartCalibrated();

// The chart values at a pixel of the diagram, once width and height are calibrated:
// "x: 3.2500   y: 45.0000"; the empty text while a span is 0 or a value is not finite, since
// such a calibration tells nothing about the chart.
String chartPositionText(double x, double y);
