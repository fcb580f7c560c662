#include "main_window.h"

#include "app_ids.h"
#include "calibration.h"
#include "chart_transform.h"
#include "data_table.h"
#include "magnifier.h"
#include "main_window_layout.h"
#include "status_prompt.h"
#include "translations.h"

#include "imaging/image.h"
#include "imaging/stored_picture.h"
#include "runtime/text_builder.h"
#include "toolkit/file_drops.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/status_bar.h"
#include "toolkit/window.h"

namespace {

constexpr int MAIN_WINDOW_FLAGS = WINDOW_CLOSE_BOX | WINDOW_CENTERED;
constexpr int STATUS_FIELD_STEP_WIDTH = 200;
constexpr int MESSAGE_FONT_SIZE = 20;

Handle platformImage(int image)
{
    return imagePlatformHandle(image);
}

} // namespace

void openMainWindow()
{
    const MainWindowLayout layout = mainWindowLayout(spanWidth, spanHeight);
    openWindow(
        WINDOW_MAIN, 100, 100, layout.contentWidth, layout.contentHeight, PRODUCT_NAME, MAIN_WINDOW_FLAGS);

    createStatusBar(STATUSBAR_MAIN, windowHandle(WINDOW_MAIN));
    addStatusBarField(STATUS_FIELD_STEP_WIDTH);
    addStatusBarField(IGNORE_VALUE);
    clearChartPosition();
    forgetTrackedMouse();

    const GadgetRect& d = layout.diagram;
    imageGadget(GADGET_DIAGRAM, d.x, d.y, d.width, d.height, platformImage(IMAGE_DIAGRAM));

    loadFont(FONT_MESSAGE, "Arial", MESSAGE_FONT_SIZE);

    const GadgetRect& c = layout.coords;
    textGadget(GADGET_COORDS, c.x, c.y, c.width, c.height, WorkText(translate("Coords"), ": n/a"));
    const GadgetRect& o = layout.origin;
    textGadget(
        GADGET_ORIGIN, o.x, o.y, o.width, o.height, pointReadout(translate("Origin"), originX, originY));
    const GadgetRect& w = layout.width;
    textGadget(
        GADGET_WIDTH, w.x, w.y, w.width, w.height, unsetSpanReadout(translate("Width"), widthReference));
    const GadgetRect& h = layout.height;
    textGadget(
        GADGET_HEIGHT, h.x, h.y, h.width, h.height, unsetSpanReadout(translate("Height"), heightReference));

    const GadgetRect& m = layout.message;
    textGadget(GADGET_MESSAGE, m.x, m.y, m.width, m.height, "");
    setGadgetFont(GADGET_MESSAGE, fontID(FONT_MESSAGE));

    makeImage(IMAGE_MAGNIFIER, MAGNIFIER_SIZE, MAGNIFIER_SIZE, 32);
    const GadgetRect& g = layout.magnifier;
    imageGadget(GADGET_MAGNIFIER, g.x, g.y, g.width, g.height, platformImage(IMAGE_MAGNIFIER));

    decodeStoredPicture(IMAGE_PEN, StoredPicture::Pen);

    const GadgetRect& s = layout.columnSelect;
    comboBoxGadget(GADGET_COLUMN_SELECT, s.x, s.y, s.width, s.height);
    const GadgetRect& r = layout.renameButton;
    imageGadget(GADGET_RENAME_BUTTON, r.x, r.y, r.width, r.height, platformImage(IMAGE_PEN));
    const GadgetRect& n = layout.columnName;
    stringGadget(GADGET_COLUMN_NAME, n.x, n.y, n.width, n.height, "");

    const WorkText firstColumn(translate("Column "), 1);
    addGadgetItem(GADGET_COLUMN_SELECT, -1, firstColumn);
    setGadgetText(GADGET_COLUMN_SELECT, firstColumn);

    const GadgetRect& t = layout.table;
    listGadget(GADGET_TABLE, t.x, t.y, t.width, t.height, "1", TABLE_COLUMN_WIDTH);
    startDataTracking(currentCaptureCalibration());

    acceptFileDrops(WINDOW_MAIN, 1);

    gadgetToolTip(GADGET_TABLE, translate("Here you see the recorded data."));
    gadgetToolTip(GADGET_COLUMN_SELECT, translate("Select the appropriate Column to add data points."));
    gadgetToolTip(GADGET_COLUMN_NAME, translate("Enter the new name and click on the pen."));
    gadgetToolTip(GADGET_RENAME_BUTTON, translate("Change the name of the current column."));
}
