#pragma once

#include "marker_index.h"

#include "imaging/pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The markers on the diagram: the picture as shown (the scaled diagram) with a small disc in its
// column's colour over every captured point, the selected one larger and ringed. The layer keeps
// an untouched copy of the picture and the markers, and paints them into the image the diagram
// gadget shows. Readers of that image (the magnifier) thus see the markers without any work of
// their own.
//
// Changes are painted incrementally: moving, adding or removing a marker repaints only the areas
// it covered and covers (picture pixels restored, then every marker reaching into them redrawn),
// so that one change costs the same with ten markers or ten thousand. Showing or hiding all
// markers and a new picture repaint everything. An incremental paint gives exactly the bytes
// that painting everything would.
//
// Positions are display pixels as the mouse reports them, fractions allowed: a whole number is
// the centre of that pixel. Markers are known by the non-negative numbers addMarker hands out;
// a removed marker's number is handed out again later. Markers overlap in the order of their
// numbers, the selected one above all.

inline constexpr double MARKER_FILL_RADIUS = 2.5;
inline constexpr double MARKER_OUTLINE_RADIUS = 3.5; // 7 pixels across
inline constexpr double SELECTED_FILL_RADIUS = 3.5;
inline constexpr double SELECTED_OUTLINE_RADIUS = 4.5;
inline constexpr double SELECTED_HALO_RADIUS = 5.5; // 11 pixels across

// A rectangle of pixels; empty when width or height is not positive.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// Pixels to paint into: RGBA rows top to bottom, stride bytes apart (at least width * 4).
struct PixelView {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
};

struct Marker {
    double x = 0.0;
    double y = 0.0;
    int column = 0;
};

class MarkerLayer {
public:
    // Takes a copy of the picture the markers are drawn over and marks everything for painting;
    // the markers stay. false, changing nothing, for a missing picture, a size images do not
    // accept, a stride too small for a row, or when memory ran out.
    bool setPicture(const std::uint8_t* pixels, int width, int height, std::size_t stride);
    int pictureWidth() const { return m_picture ? m_picture->width() : 0; }
    int pictureHeight() const { return m_picture ? m_picture->height() : 0; }
    // The picture without markers; it is never written, a new picture replaces it.
    std::shared_ptr<const PixelBuffer> picture() const { return m_picture; }

    // The new marker's number, or -1 when the position is not finite.
    int addMarker(double x, double y, int column);
    // false, changing nothing, for a number that names no marker or a position that is not finite.
    bool moveMarker(int number, double x, double y);
    bool setMarkerColumn(int number, int column);
    bool removeMarker(int number);
    void removeAllMarkers();

    std::optional<Marker> marker(int number) const;
    std::size_t markerCount() const { return m_index.size(); }

    // The selected marker's number, or -1 for none; selecting a number that names no marker
    // selects none. Removing the selected marker leaves none selected.
    void selectMarker(int number);
    int selectedMarker() const { return m_selected; }

    // A frame of one pixel around the rectangle (a rectangle being dragged on the diagram), dashed
    // black and white so that it shows on any picture, above the markers; none removes it.
    // Shown whether the markers are or not.
    void setFrame(std::optional<PixelRect> frame);
    std::optional<PixelRect> frame() const { return m_frame; }

    // Hidden markers are kept (and can be found) but not painted.
    void showMarkers(bool shown);
    bool markersShown() const { return m_shown; }

    // The marker nearest to (x, y) within radius, for a click or the start of a drag; -1 for
    // none. Hidden markers are found too: whether that suits is the caller's choice.
    int markerNear(double x, double y, double radius) const { return m_index.nearest(x, y, radius); }

    // Brings target, which holds what the last paint into it left (or anything, before the first
    // paint after setPicture), up to date. Returns the bounding rectangle of the pixels it
    // repainted; empty when nothing had changed, and when the target's size is not the picture's
    // (nothing is painted then and the changes stay due).
    PixelRect paintChanges(PixelView target);
    // Paints the picture and every marker into target, whatever it held; empty as paintChanges.
    PixelRect paintAll(PixelView target);
    bool hasChanges() const { return m_everythingChanged || !m_changed.empty(); }

private:
    struct Slot {
        Marker marker;
        bool used = false;
    };

    bool fits(const PixelView& target) const;
    PixelRect markerBounds(int number) const;
    void markChanged(int number);
    void markChanged(PixelRect rect);
    void paintArea(const PixelView& target, PixelRect area);
    void drawMarker(const PixelView& target, int number, PixelRect clip) const;
    void markFrameChanged();
    void drawFrame(const PixelView& target, PixelRect clip) const;

    std::shared_ptr<PixelBuffer> m_picture;
    std::vector<Slot> m_slots;
    std::vector<int> m_freeNumbers;
    MarkerIndex m_index;
    int m_selected = -1;
    std::optional<PixelRect> m_frame;
    bool m_shown = true;
    bool m_everythingChanged = true;
    std::vector<PixelRect> m_changed;
    std::vector<int> m_found; // reused by paintArea, to spare an allocation per change
};
