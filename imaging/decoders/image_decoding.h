#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The registry of image decoders and the one decode state that every load goes through.
//
// A load is: openImageFile() or openImageMemory() (the first registered decoder that recognises
// the bytes wins; formats are told apart by content, never by file name), then either
// readDecodedRows() (or one of its variants below) or finishDecoding(). Nothing of a load
// survives it. Each thread has its own decode state, so a thread may load while another does; the
// decoders are registered before any load starts.

// readRows flag: write the rows bottom-up (row r at buffer + (height - 1 - r) * stride).
inline constexpr int DECODE_BOTTOM_UP = 2;
// readRows flag understood by the built-in decoders: write 4-byte R,G,B,A pixels whatever the
// output depth (alpha 255 where the picture has none); a row the data breaks off in is
// left as it was or made opaque black. readDecodedRowsAsRgba passes it to them so that their rows need no
// second pass.
inline constexpr int DECODE_RGBA = 4;

struct DecodeState;
class DecodedRows;

// One decoder: three operations over the shared state, and an optional fourth.
struct ImageDecoder {
    // 1 when the data is in this format and its header was read: width, height, outputDepth (24
    // for R,G,B rows, 32 for R,G,B,A rows) and sourceDepth are filled in. 0 otherwise, after
    // undoing everything it set up.
    int (*recognize)(DecodeState& state);
    // Writes height rows of width pixels, row r at buffer + r * stride. Returns 1, or 0 when the
    // data turned out to be broken (rows not delivered are left as the caller prepared them).
    int (*readRows)(DecodeState& state, std::uint8_t* buffer, std::size_t stride, int flags);
    // Frees whatever recognize and readRows kept.
    void (*finish)(DecodeState& state);
    // Optional: delivers the rows through `rows` in order from the top, whatever order the file
    // stores them in: R,G,B pixels for output depth 24, R,G,B,A for 32. Returns 1, 0 when the
    // data turned out to be broken, or -1 when memory ran out before any row was delivered.
    int (*readRowsInOrder)(DecodeState& state, DecodedRows& rows) = nullptr;
};

// Private data a decoder keeps between recognize and finish.
class DecoderData {
public:
    virtual ~DecoderData() = default;
};

struct DecodeState {
    const ImageDecoder* decoder = nullptr;
    const char* path = nullptr; // file source
    std::FILE* file = nullptr; // file source, opened "rb"
    const std::uint8_t* data = nullptr; // memory source
    std::size_t dataSize = 0; // memory source: the true size of the bytes
    int fromMemory = 0;
    int width = 0;
    int height = 0;
    int outputDepth = 0;
    DecoderData* privateData = nullptr; // owned by the decoder; freed by its finish
    int sourceDepth = 0;
    // The smallest picture the caller can use (0: the full size). A decoder that can make a
    // smaller picture for less work (JPEG, in steps of 1/8) makes the smallest one that still
    // covers this in both directions, and reports that size as width and height.
    int minimumWidth = 0;
    int minimumHeight = 0;
    // After broken data: how many rows the data delivered whole, as the decoder counts them (-1:
    // the decoder does not tell; the rows it reported complete count then).
    int deliveredRows = -1;
};

// Empties the decoder table; at start-up, before any decoder is registered.
void initImageDecoders();
// Appends a decoder (at most 30); returns its 1-based position, or 0 when the table is full.
int registerImageDecoder(const ImageDecoder* decoder);
// Register the built-in decoders once; later calls do nothing.
void useBmpDecoder();
void usePngDecoder();
void useJpegDecoder();

// 1 when a decoder recognised the file or the bytes (the state then holds it), else 0.
int openImageFile(const char* path);
int openImageMemory(const void* data, std::size_t size);
// The same for a picture that will be shown at no more than minimumWidth x minimumHeight: a
// decoder may deliver it reduced, down to that size (see DecodeState::minimumWidth);
// decodedWidth() and decodedHeight() tell the size it delivers.
int openImageFileReduced(const char* path, int minimumWidth, int minimumHeight);
int openImageMemoryReduced(const void* data, std::size_t size, int minimumWidth, int minimumHeight);

int decodedWidth();
int decodedHeight();
int decodedDepth();
int decodedSourceDepth();

// Lets the recognising decoder write its rows, then finishes the load. 1, or 0 for broken data.
int readDecodedRows(std::uint8_t* buffer, std::size_t stride, int flags);
// Finishes a load without reading rows.
void finishDecoding();

// Reads the rows of the opened image and finishes the load, converting them into
// decodedWidth() * decodedHeight() * 4 bytes of R,G,B,A at rgba (rows top to bottom, no padding;
// alpha 255 for 24-bit output). Rows the data did not deliver are opaque black, never left as they
// were. Returns 1 when every row decoded, 0 when the data was broken (rgba is still fully written),
// and -1 (rgba untouched) when no load is open or memory for the row buffer ran out.
int readDecodedRowsAsRgba(std::uint8_t* rgba);

// Takes the rows of a picture one at a time, from the top, as they are decoded. It is called
// between the decoding library's calls, so it must not throw.
class DecodedRowSink {
public:
    virtual ~DecodedRowSink() = default;
    // Before the first row: every row will be `width` pixels of `pixelBytes` bytes, R,G,B (3,
    // opaque) or R,G,B,A (4), and `height` rows will come. false ends the load without rows.
    virtual bool beginRows(int width, int height, int pixelBytes) = 0;
    // The next row; valid during the call only.
    virtual void takeRow(const std::uint8_t* row) = 0;
};

// Reads the rows of the opened image into the sink and finishes the load. Decoders that can
// (PNG, JPEG) hand on each row as soon as it is decoded, in their own R,G,B or R,G,B,A rows, so
// that the picture is never whole in memory; the rows of others are decoded whole first and come
// as R,G,B,A. The pixels are those readDecodedRowsAsRgba gives, rows that the data did not
// deliver included (opaque black). Returns 1 when every row decoded, 0 when the data was broken
// (the sink still got every row), and -1 when no load is open, memory ran out or the sink
// refused the rows.
int readDecodedRowsInOrder(DecodedRowSink& sink);

// How many rows of the picture the last read decoded from the data, of how many (both in the
// rows it delivered: a picture decoded reduced counts its reduced rows). Every row of a whole
// picture; fewer when the data broke off, the rest being the opaque black rows.
struct DecodedRowCount {
    int decoded = 0;
    int total = 0;
};
DecodedRowCount lastDecodedRowCount();

// A short English reason for the last failed open or read ("" when there is none), for
// developer tools and logs; the application shows none of it.
const char* lastDecodeFailure();
