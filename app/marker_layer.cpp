#include "marker_layer.h"

#include "marker_palette.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The grid of the index: a few markers per cell on a crowded diagram, and a click's radius
// touches at most four cells.
constexpr double INDEX_CELL_SIZE = 8.0;
// Beyond this many separate areas waiting, one paint of everything is cheaper than tracking them.
constexpr std::size_t MAX_CHANGED_AREAS = 64;
// Positions are held to this range where they become pixel numbers, which keeps every sum in
// range; markers that far out lie off every picture anyway.
constexpr double POSITION_LIMIT = 1.0e7;

PixelRect intersection(PixelRect a, PixelRect b)
{
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return { left, top, right - left, bottom - top };
}

// Whether the two touch or overlap, so that one rectangle around both wastes little.
bool touching(PixelRect a, PixelRect b)
{
    return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height && b.y <= a.y + a.height;
}

PixelRect unite(PixelRect a, PixelRect b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return { left, top, right - left, bottom - top };
}

double heldPosition(double value)
{
    return std::clamp(value, -POSITION_LIMIT, POSITION_LIMIT);
}

} // namespace

bool MarkerLayer::setPicture(const std::uint8_t* pixels, int width, int height, std::size_t stride)
{
    if (!pixels || width <= 0 || height <= 0 || stride < static_cast<std::size_t>(width) * 4)
        return false;
    std::shared_ptr<PixelBuffer> picture = PixelBuffer::allocate(width, height, PixelFill::None);
    if (!picture)
        return false;
    for (int y = 0; y < height; ++y)
        std::memcpy(picture->row(y), pixels + stride * static_cast<std::size_t>(y), picture->stride());
    m_picture = std::move(picture);
    m_index.reset(width, height, INDEX_CELL_SIZE);
    for (std::size_t number = 0; number < m_slots.size(); ++number) {
        const Slot& slot = m_slots[number];
        if (slot.used)
            m_index.insert(static_cast<int>(number), slot.marker.x, slot.marker.y);
    }
    m_everythingChanged = true;
    m_changed.clear();
    return true;
}

int MarkerLayer::addMarker(double x, double y, int column)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return -1;
    int number;
    if (!m_freeNumbers.empty()) {
        number = m_freeNumbers.back();
        m_freeNumbers.pop_back();
    } else {
        number = static_cast<int>(m_slots.size());
        m_slots.emplace_back();
    }
    m_slots[number] = { { x, y, column }, true };
    m_index.insert(number, x, y);
    markChanged(number);
    return number;
}

bool MarkerLayer::moveMarker(int number, double x, double y)
{
    if (!m_index.contains(number) || !std::isfinite(x) || !std::isfinite(y))
        return false;
    markChanged(number);
    m_slots[number].marker.x = x;
    m_slots[number].marker.y = y;
    m_index.move(number, x, y);
    markChanged(number);
    return true;
}

bool MarkerLayer::setMarkerColumn(int number, int column)
{
    if (!m_index.contains(number))
        return false;
    m_slots[number].marker.column = column;
    markChanged(number);
    return true;
}

bool MarkerLayer::removeMarker(int number)
{
    if (!m_index.contains(number))
        return false;
    markChanged(number);
    if (m_selected == number)
        m_selected = -1;
    m_index.remove(number);
    m_slots[number].used = false;
    m_freeNumbers.push_back(number);
    return true;
}

void MarkerLayer::removeAllMarkers()
{
    m_slots.clear();
    m_freeNumbers.clear();
    m_index.clear();
    m_selected = -1;
    m_everythingChanged = true;
    m_changed.clear();
}

std::optional<Marker> MarkerLayer::marker(int number) const
{
    if (!m_index.contains(number))
        return std::nullopt;
    return m_slots[number].marker;
}

void MarkerLayer::selectMarker(int number)
{
    if (!m_index.contains(number))
        number = -1;
    if (number == m_selected)
        return;
    // Each is marked while it is selected, so that the area covers the larger shape.
    if (m_selected >= 0)
        markChanged(m_selected);
    m_selected = number;
    if (m_selected >= 0)
        markChanged(m_selected);
}

void MarkerLayer::setFrame(std::optional<PixelRect> frame)
{
    if (frame && frame->empty())
        frame.reset();
    markFrameChanged();
    m_frame = frame;
    markFrameChanged();
}

void MarkerLayer::markFrameChanged()
{
    if (!m_frame)
        return;
    const PixelRect& f = *m_frame;
    for (const PixelRect& edge :
        { PixelRect { f.x, f.y, f.width, 1 }, PixelRect { f.x, f.y + f.height - 1, f.width, 1 },
            PixelRect { f.x, f.y, 1, f.height }, PixelRect { f.x + f.width - 1, f.y, 1, f.height } })
        markChanged(edge);
}

void MarkerLayer::showMarkers(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    m_everythingChanged = true;
    m_changed.clear();
}

PixelRect MarkerLayer::markerBounds(int number) const
{
    const Marker& marker = m_slots[number].marker;
    const double radius = number == m_selected ? SELECTED_HALO_RADIUS : MARKER_OUTLINE_RADIUS;
    const double x = heldPosition(marker.x);
    const double y = heldPosition(marker.y);
    const int left = static_cast<int>(std::ceil(x - radius));
    const int top = static_cast<int>(std::ceil(y - radius));
    const int right = static_cast<int>(std::floor(x + radius));
    const int bottom = static_cast<int>(std::floor(y + radius));
    return { left, top, right - left + 1, bottom - top + 1 };
}

void MarkerLayer::markChanged(int number)
{
    // Hidden markers change nothing that is shown.
    if (m_shown)
        markChanged(markerBounds(number));
}

void MarkerLayer::markChanged(PixelRect rect)
{
    if (m_everythingChanged || !m_picture)
        return;
    rect = intersection(rect, { 0, 0, m_picture->width(), m_picture->height() });
    if (rect.empty())
        return;
    // A marker dragged a pixel at a time leaves an area that touches the one before.
    if (!m_changed.empty() && touching(m_changed.back(), rect)) {
        m_changed.back() = unite(m_changed.back(), rect);
        return;
    }
    if (m_changed.size() >= MAX_CHANGED_AREAS) {
        m_everythingChanged = true;
        m_changed.clear();
        return;
    }
    m_changed.push_back(rect);
}

bool MarkerLayer::fits(const PixelView& target) const
{
    return m_picture && target.pixels && target.width == m_picture->width()
        && target.height == m_picture->height() && target.stride >= m_picture->stride();
}

PixelRect MarkerLayer::paintChanges(PixelView target)
{
    if (!fits(target))
        return {};
    if (m_everythingChanged)
        return paintAll(target);
    PixelRect painted;
    for (const PixelRect& area : m_changed) {
        paintArea(target, area);
        painted = unite(painted, area);
    }
    m_changed.clear();
    return painted;
}

PixelRect MarkerLayer::paintAll(PixelView target)
{
    if (!fits(target))
        return {};
    const PixelRect whole = { 0, 0, m_picture->width(), m_picture->height() };
    for (int y = 0; y < whole.height; ++y)
        std::memcpy(target.pixels + target.stride * static_cast<std::size_t>(y), m_picture->row(y),
            m_picture->stride());
    if (m_shown) {
        for (std::size_t number = 0; number < m_slots.size(); ++number) {
            if (m_slots[number].used && static_cast<int>(number) != m_selected)
                drawMarker(target, static_cast<int>(number), whole);
        }
        if (m_selected >= 0)
            drawMarker(target, m_selected, whole);
    }
    drawFrame(target, whole);
    m_everythingChanged = false;
    m_changed.clear();
    return whole;
}

// The picture comes back over the area, then every marker that reaches into it is drawn again,
// clipped to it, in the order painting everything would draw them.
void MarkerLayer::paintArea(const PixelView& target, PixelRect area)
{
    const std::size_t rowBytes = static_cast<std::size_t>(area.width) * 4;
    for (int y = area.y; y < area.y + area.height; ++y) {
        std::memcpy(target.pixels + target.stride * static_cast<std::size_t>(y)
                + static_cast<std::size_t>(area.x) * 4,
            m_picture->row(y) + static_cast<std::size_t>(area.x) * 4, rowBytes);
    }
    if (!m_shown) {
        drawFrame(target, area);
        return;
    }
    // Any marker reaching into the area has its centre within the largest radius of it.
    const double reach = SELECTED_HALO_RADIUS;
    m_found.clear();
    m_index.collect(area.x - reach, area.y - reach, area.x + area.width - 1 + reach,
        area.y + area.height - 1 + reach, m_found);
    std::sort(m_found.begin(), m_found.end());
    bool selectedFound = false;
    for (int number : m_found) {
        if (number == m_selected)
            selectedFound = true;
        else
            drawMarker(target, number, area);
    }
    if (selectedFound)
        drawMarker(target, m_selected, area);
    drawFrame(target, area);
}

void MarkerLayer::drawFrame(const PixelView& target, PixelRect clip) const
{
    if (!m_frame)
        return;
    const PixelRect& f = *m_frame;
    const PixelRect area = intersection(f, clip);
    if (area.empty())
        return;
    constexpr std::uint32_t BLACK = 0xFF000000;
    constexpr std::uint32_t WHITE = 0xFFFFFFFF;
    constexpr int DASH = 4;
    const auto put = [&](int x, int y) {
        // The dashes run along the frame, so they meet at the corners.
        const std::uint32_t colour = ((x - f.x + y - f.y) / DASH) % 2 ? WHITE : BLACK;
        std::memcpy(
            target.pixels + target.stride * static_cast<std::size_t>(y) + static_cast<std::size_t>(x) * 4,
            &colour, 4);
    };
    const int right = f.x + f.width - 1;
    const int bottom = f.y + f.height - 1;
    for (int y = area.y; y < area.y + area.height; ++y) {
        if (y == f.y || y == bottom) {
            for (int x = area.x; x < area.x + area.width; ++x)
                put(x, y);
            continue;
        }
        for (int x : { f.x, right }) {
            if (x >= area.x && x < area.x + area.width)
                put(x, y);
        }
    }
}

void MarkerLayer::drawMarker(const PixelView& target, int number, PixelRect clip) const
{
    const PixelRect area = intersection(markerBounds(number), clip);
    if (area.empty())
        return;
    const Marker& marker = m_slots[number].marker;
    const MarkerColours colours = markerColours(marker.column);
    const bool selected = number == m_selected;
    const double fill = selected ? SELECTED_FILL_RADIUS : MARKER_FILL_RADIUS;
    const double outline = selected ? SELECTED_OUTLINE_RADIUS : MARKER_OUTLINE_RADIUS;
    const double halo = selected ? SELECTED_HALO_RADIUS : MARKER_OUTLINE_RADIUS;
    const double fillSquared = fill * fill;
    const double outlineSquared = outline * outline;
    const double haloSquared = halo * halo;
    const double centreX = heldPosition(marker.x);
    const double centreY = heldPosition(marker.y);
    for (int y = area.y; y < area.y + area.height; ++y) {
        const double dy = y - centreY;
        std::uint8_t* row = target.pixels + target.stride * static_cast<std::size_t>(y);
        for (int x = area.x; x < area.x + area.width; ++x) {
            const double dx = x - centreX;
            const double distance = dx * dx + dy * dy;
            if (distance > haloSquared)
                continue;
            const std::uint32_t colour = distance <= fillSquared ? colours.fill
                : distance <= outlineSquared                     ? colours.outline
                                                                 : colours.halo;
            std::memcpy(row + static_cast<std::size_t>(x) * 4, &colour, 4);
        }
    }
}
