#pragma once

#include "runtime/object_number.h"

#include <cstddef>
#include <cstdint>

// Drawing on images (and on plain pixel buffers) through one current drawing output per thread:
//
//     if (beginDrawing(imageDrawTarget(number))) {
//         drawBox(x, y, width, height, colour);
//         endDrawing(); // the image gets a new platform image showing what was drawn
//     }
//
// imageDrawTarget makes the new output current at once (ending one that was still current). The
// primitives act on the current output, clip to it and never write outside it. Coordinates are
// pixels from the top-left corner, y downwards; colours are 0xAABBGGRR.
//
// When the image under the current output is released, replaced or scaled before drawing ends,
// the output is gone: the primitives write nothing and endDrawing changes nothing.

// Drawing modes (drawingMode). Without any flag red, green and blue take the front colour's and
// alpha keeps its value. When several are given the first of this list that is set decides how a
// pixel is written: ALL_CHANNELS, ALPHA_ONLY, ALPHA_BLEND, XOR; OUTLINE combines with each.
inline constexpr int DRAW_XOR = 0x2; // red, green, blue XORed with the front colour's
inline constexpr int DRAW_OUTLINE = 0x4; // boxes as outlines instead of filled
inline constexpr int DRAW_ALPHA_ONLY = 0x8; // only alpha, set to the front colour's (4-byte outputs)
inline constexpr int DRAW_ALPHA_BLEND = 0x10; // the front colour laid over the pixel by its alpha
inline constexpr int DRAW_ALL_CHANNELS = 0x100; // all four bytes take the front colour's

// Output flags of bufferDrawTarget: 4 bytes per pixel with either of the first two (R, G, B, A),
// else 3 (R, G, B); rows stored from the bottom up.
inline constexpr int OUTPUT_FOUR_BYTES = 0x20;
inline constexpr int OUTPUT_FOUR_BYTES_ALT = 0x40;
inline constexpr int OUTPUT_BOTTOM_UP = 0x8000;

class DrawingOutput;

// Clears this thread's current output; at start-up.
void initDrawing();

// A new output over the image, made current; nullptr when the number is not live.
DrawingOutput* imageDrawTarget(int number);
// A new output over a caller's pixel buffer (which must outlive it), made current; nullptr for
// a missing buffer, a size that is not positive or a stride too small for a row.
DrawingOutput* bufferDrawTarget(std::uint8_t* pixels, int width, int height, std::size_t stride, int flags);

// Non-zero when drawing on the output can proceed. 0 when the output is none or not the current
// one, or when its image is gone (the output is then released and nothing is drawn).
int beginDrawing(DrawingOutput* output);
// Ends drawing on the current output: an image output gets a new platform image over its
// pixels (the old one is released) and the current output is cleared. Nothing without one.
void endDrawing();

// The current output of this thread, or nullptr.
DrawingOutput* currentDrawingOutput();

// Sets the drawing mode of the current output (0 at the start).
void drawingMode(int flags);
// A box from (x, y), width x height pixels, in the colour (which becomes the front colour). A
// negative width or height extends it to the left or upwards from x or y.
void drawBox(int x, int y, int width, int height, std::uint32_t colour);
// Copies the width x height area at (x, y) of the current output into a new image of that size,
// made as makeImage makes it (same results); the parts of the area outside the output are
// opaque black. 0 without a current output.
Handle copyAreaToImage(int number, int x, int y, int width, int height);

// Begins drawing on construction and, when it began and the output is still current, ends it on
// destruction.
class ScopedDrawing {
public:
    explicit ScopedDrawing(DrawingOutput* output)
        : m_output(beginDrawing(output) ? output : nullptr)
    {
    }
    ~ScopedDrawing()
    {
        if (m_output && currentDrawingOutput() == m_output)
            endDrawing();
    }
    ScopedDrawing(const ScopedDrawing&) = delete;
    ScopedDrawing& operator=(const ScopedDrawing&) = delete;

    explicit operator bool() const { return m_output != nullptr; }

private:
    DrawingOutput* m_output;
};
