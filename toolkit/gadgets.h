#pragma once

#include "runtime/object_number.h"
#include "runtime/runtime_string.h"

// Gadgets: the numbered controls inside a window (static texts, one-line text fields, buttons,
// combo boxes, image areas, multi-column lists). The application addresses every gadget by its
// number and drives all kinds through the generic operations below; an operation that a kind
// does not have does nothing and answers 0 or the empty text.
//
// Rules:
// - Gadget numbers are registry numbers: creating a gadget under a number that is in use
//   destroys the old gadget first; DYNAMIC_NUMBER asks for a fresh number, which the creation
//   returns. For a fixed number the creation returns the platform control (gadgetHandle); 0 when
//   no window is the current gadget list or the number cannot be used (the number then stays
//   as it was).
// - Gadgets are created into the current gadget list (the window that openWindow made current),
//   at x, y relative to its content area.
// - Closing a window destroys its gadgets and frees their numbers.
// - Texts are ISO 8859-1; nullptr is the empty text. Text results are runtime strings.
// - Activity reaches the application as EVENT_GADGET with the gadget's number, its window and a
//   gadget event type (event_codes.h).

// textGadget flags.
inline constexpr int TEXT_RIGHT = 1;
inline constexpr int TEXT_CENTER = 2;
inline constexpr int TEXT_BORDER = 4; // a one-line frame around the text

// stringGadget flags. STRING_NUMERIC, STRING_UPPER_CASE and STRING_LOWER_CASE apply to typed
// characters (not to pasted text, nor while Control is held).
inline constexpr int STRING_PASSWORD = 1;
inline constexpr int STRING_READ_ONLY = 2;
inline constexpr int STRING_UPPER_CASE = 4;
inline constexpr int STRING_LOWER_CASE = 8;
inline constexpr int STRING_NUMERIC = 0x10; // only 0 to 9 and the full stop

// buttonGadget flags. The alignments apply to toggle buttons.
inline constexpr int BUTTON_RIGHT = 1;
inline constexpr int BUTTON_LEFT = 2;
inline constexpr int BUTTON_TOGGLE = 4; // stays pressed; getGadgetState gives 0 or 1
inline constexpr int BUTTON_DEFAULT = 8; // the window's default button: Return presses it

// comboBoxGadget flags.
inline constexpr int COMBOBOX_EDITABLE = 1;
inline constexpr int COMBOBOX_LOWER_CASE = 2; // items are lower-cased when added (wins over upper)
inline constexpr int COMBOBOX_UPPER_CASE = 4;
inline constexpr int COMBOBOX_IMAGE = 8; // items may carry images

// imageGadget flags.
inline constexpr int IMAGE_BORDER = 1; // a 2-pixel two-tone frame around the image

// listGadget flags.
inline constexpr int LIST_MULTI_SELECT = 1;
inline constexpr int LIST_CHECKBOXES = 2; // a checkbox column left of the text columns

// Creation. A string gadget's field lies inset in its rectangle, at (x + 4, y + 3), width - 8,
// height - 5, so that its frame fits around it. A non-editable combo box is 20 pixels high and
// an editable one 25, whatever height is given. An image gadget takes the size of its image
// (plus 4 with IMAGE_BORDER); image is a platform image (imagePlatformHandle) or 0.
Handle textGadget(int number, int x, int y, int width, int height, const char* text, int flags = 0);
Handle stringGadget(int number, int x, int y, int width, int height, const char* text, int flags = 0);
Handle buttonGadget(int number, int x, int y, int width, int height, const char* text, int flags = 0);
Handle comboBoxGadget(int number, int x, int y, int width, int height, int flags = 0);
Handle imageGadget(int number, int x, int y, int width, int height, Handle image, int flags = 0);
Handle listGadget(int number, int x, int y, int width, int height, const char* firstColumnTitle,
    int firstColumnWidth, int flags = 0);

// Non-zero when the number denotes a gadget.
int isGadget(int number);
// The platform control, 0 for an unknown number.
Handle gadgetHandle(int number);
// The top edge relative to the window's content area (a string gadget: its inset field's).
int gadgetY(int number);

// Each value may be IGNORE_VALUE (keep). For a string gadget the given values are those of the
// outer rectangle, as at creation. A non-editable combo box becomes 25 pixels high. A gadget
// moved wholly out of its window's content gives up the keyboard focus.
void resizeGadget(int number, int x, int y, int width, int height);

// Brings the gadget's window to the front and gives the gadget the keyboard focus (string
// gadgets, editable combo boxes). 1; 0 for an unknown number.
int setActiveGadget(int number);

// Text of the gadget: a text, string gadget or button its text; a combo box the selected item's
// (an editable one: its field's); a list cell 0 of the selected row, or the title of column 0
// when not exactly one row is selected.
String getGadgetText(int number);
// Combo box: selects the last item with exactly this text (nothing when none has it). List:
// replaces the whole text (all cells) of the selected row.
void setGadgetText(int number, const char* text);

// Button: toggle state (0 for a plain button). Combo box: selected index, -1 for none. List:
// the selected row when exactly one is selected, else -1. Image: the platform image shown.
Handle getGadgetState(int number);
// Button: pressed (non-zero) or released. Combo box: selects item n (-1: none). List: selects
// row n alone and scrolls to it (-1: none), without any event. Image: shows another platform
// image and takes the gadget to its size.
void setGadgetState(int number, Handle state);

// Combo box: -1 appends, n inserts so that the item becomes item n. List: < 0 or >= the row
// count appends, n inserts before row n. A list row's text holds one line per cell ("a\nb").
// image: a platform image or 0 (combo boxes only with COMBOBOX_IMAGE).
void addGadgetItem(int number, int position, const char* text, Handle image = 0);
// Appends count items at once, as addGadgetItem with position -1 and no image would one by one; a
// list takes them in one step, so that a long table fills in a fraction of the time.
void addGadgetItems(int number, const char* const* texts, int count);
// A position that denotes no item changes nothing.
void removeGadgetItem(int number, int position);
void clearGadgetItems(int number);
int countGadgetItems(int number);
// List: item -1 gives the title of the column; otherwise line `column` of the row's text. Empty
// when the item or the line does not exist.
String getGadgetItemText(int number, int item, int column = 0);
// List: nothing for a column outside the columns. Item -1 sets the column's title; otherwise
// the row's text becomes one line per column (each ending in a line feed) with this text in
// the given column.
void setGadgetItemText(int number, int item, const char* text, int column = 0);

// List columns. position 0 inserts first, a position inside the columns inserts before that
// column, anything else appends. Widths start as given (at most 500 pixels) and the user may
// widen a column up to 500 pixels.
void addGadgetColumn(int number, int position, const char* title, int width);
// Removes the column and line `column` of every row (later lines move up).
void removeGadgetColumn(int number, int column);
// List: the number of text columns (a checkbox column does not count); 0 for other kinds.
int countGadgetColumns(int number);

// font: a font handle (fontID) or -1 for the system font. Number -1 sets the font of the
// gadgets created afterwards (font -1: the system font again).
void setGadgetFont(int number, Handle font);

// The text the desktop shows when the mouse rests over the gadget; empty: none.
void gadgetToolTip(int number, const char* text);

// Makes the gadget registry and forgets the default font; at start-up.
void initGadgets();

// Internal (requesters): the height the gadget would like at its current width; 0 for an
// unknown number.
int gadgetPreferredHeight(int number);
