#include "imaging/decoders/png_decoder.h"

#include "imaging/decoders/decoded_rows.h"
#include "imaging/decoders/decoder_support.h"
#include "imaging/decoders/image_limits.h"
#include "imaging/decoders/png_error_handler.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr std::size_t PNG_SIGNATURE_SIZE = 8;
constexpr std::size_t IMAGE_DATA_PIECE = 2048;
// A file is read through a window of this size rather than whole: a large picture's file then
// costs no memory of its own size, and is read in a few large reads.
constexpr std::size_t FILE_WINDOW_BYTES = std::size_t { 1 } << 20;

struct PngData : DecoderData {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::uint8_t* data = nullptr; // memory source
    std::FILE* file = nullptr; // file source (the decode state's)
    std::vector<std::uint8_t> window; // file source: the bytes from windowStart on
    std::size_t windowStart = 0;
    std::size_t windowBytes = 0;
    std::size_t size = 0;
    std::size_t position = 0;
    std::size_t nextChunk = PNG_SIGNATURE_SIZE; // where the next chunk's length and type start

    ~PngData() override { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

std::uint32_t bigEndian32(const std::uint8_t* at)
{
    return (std::uint32_t { at[0] } << 24) | (std::uint32_t { at[1] } << 16) | (std::uint32_t { at[2] } << 8)
        | at[3];
}

// Copies the next `length` bytes of the source to `out`; false when the source has fewer.
bool copySourceBytes(PngData* data, std::uint8_t* out, std::size_t length)
{
    if (length > data->size - data->position) {
        return false;
    }
    if (data->file == nullptr) {
        std::memcpy(out, data->data + data->position, length);
        data->position += length;
        return true;
    }
    while (length > 0) {
        if (data->position < data->windowStart || data->position >= data->windowStart + data->windowBytes) {
            if (std::fseek(data->file, static_cast<long>(data->position), SEEK_SET) != 0) {
                return false;
            }
            data->windowStart = data->position;
            data->windowBytes = std::fread(data->window.data(), 1, data->window.size(), data->file);
            if (data->windowBytes == 0) {
                return false; // the file shrank since its size was taken
            }
        }
        std::size_t offset = data->position - data->windowStart;
        std::size_t count = std::min(length, data->windowBytes - offset);
        std::memcpy(out, data->window.data() + offset, count);
        out += count;
        length -= count;
        data->position += count;
    }
    return true;
}

// Reads the PNG's bytes for libpng, never past their true size: running out is a decoding error.
// libpng reads each chunk's length and type as one 8-byte read at the chunk's start; a chunk
// other than IDAT that claims more bytes than the file holds is refused there, before libpng
// allocates (and clears) a buffer of the claimed size. A cut-off IDAT still gives its rows.
void readPngBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto* data = static_cast<PngData*>(png_get_io_ptr(png));
    std::size_t start = data->position;
    if (!copySourceBytes(data, out, length)) {
        png_error(png, "the data is cut short");
    }
    if (start == data->nextChunk && length == 8) {
        std::uint64_t chunkEnd = start + std::uint64_t { 12 } + bigEndian32(out);
        bool imageData = out[4] == 'I' && out[5] == 'D' && out[6] == 'A' && out[7] == 'T';
        if (chunkEnd > data->size && !imageData) {
            png_error(png, "a chunk runs past the end of the data");
        }
        data->nextChunk = static_cast<std::size_t>(chunkEnd);
    }
}

// The size of a file source, or 0 when it cannot be told or is beyond MAX_SOURCE_FILE_BYTES.
std::size_t sourceFileSize(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    long size = std::ftell(file);
    return size > 0 && size <= MAX_SOURCE_FILE_BYTES ? static_cast<std::size_t>(size) : 0;
}

// What the header tells: the source depth (the bit depth for grey, grey with alpha and palette
// files, 24 for RGB, 32 for RGBA) and whether rows carry alpha (an alpha channel or tRNS).
void describePng(png_structp png, png_infop info, DecodeState& state)
{
    int colourType = png_get_color_type(png, info);
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        state.sourceDepth = 24;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        state.sourceDepth = 32;
        break;
    default:
        state.sourceDepth = png_get_bit_depth(png, info);
        break;
    }
    bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    state.outputDepth = alpha ? 32 : 24;
    state.width = static_cast<int>(png_get_image_width(png, info));
    state.height = static_cast<int>(png_get_image_height(png, info));
}

// Asks libpng for 8-bit R,G,B (or R,G,B,A when the picture has alpha or `rgba` asks for it)
// rows whatever the file holds. Runs under the caller's error recovery.
void requestRgbRows(png_structp png, png_infop info, bool rgba)
{
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (transparency) {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    } else if (bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    if (rgba && (colourType & PNG_COLOR_MASK_ALPHA) == 0 && !transparency) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
}

// Everything of recognize that may end in a libpng error. No local here or in what it calls may
// need a destructor: an error longjmps back into this function.
int startPngRead(PngData* data, DecodeState* state)
{
    if (setjmp(png_jmpbuf(data->png)) != 0) {
        return 0;
    }
    png_set_read_fn(data->png, data, readPngBytes);
    // libpng reads image data in pieces of this size and a piece cut short delivers nothing;
    // small pieces let a cut-off file give nearly every row it holds.
    png_set_compression_buffer_size(data->png, IMAGE_DATA_PIECE);
    png_read_info(data->png, data->info);
    if (!imageSizeAcceptable(
            png_get_image_width(data->png, data->info), png_get_image_height(data->png, data->info))) {
        png_error(data->png, "width or height out of range");
    }
    describePng(data->png, data->info, *state);
    return 1;
}

int recognizePng(DecodeState& state)
{
    std::array<std::uint8_t, PNG_SIGNATURE_SIZE> signature {};
    if (peekSourceBytes(state, signature) < signature.size()
        || png_sig_cmp(signature.data(), 0, signature.size()) != 0) {
        return 0;
    }
    auto data = std::make_unique<PngData>();
    data->png = createPngReader();
    if (data->png == nullptr) {
        noteDecodeFailure("PNG: out of memory");
        return 0;
    }
    data->info = png_create_info_struct(data->png);
    if (data->info == nullptr) {
        noteDecodeFailure("PNG: out of memory");
        return 0;
    }
    if (state.fromMemory != 0) {
        data->data = state.data;
        data->size = state.dataSize;
    } else {
        data->file = state.file;
        data->size = sourceFileSize(state.file);
        data->window.resize(std::min(data->size, FILE_WINDOW_BYTES));
    }
    if (startPngRead(data.get(), &state) != 1) {
        state.width = state.height = state.outputDepth = state.sourceDepth = 0;
        return 0;
    }
    adoptDecoderData(state, std::move(data));
    return 1;
}

// Sets up the row format, then reads every pass of every row into its place, so that an
// interlaced picture is completed pass by pass; a row is complete after the last pass. Same rule
// as startPngRead: no locals with destructors.
int readPngPasses(PngData* data, const DecodeState* state, DecodedRows* rows, bool rgba)
{
    if (setjmp(png_jmpbuf(data->png)) != 0) {
        return 0;
    }
    requestRgbRows(data->png, data->info, rgba);
    int passes = png_set_interlace_handling(data->png);
    png_read_update_info(data->png, data->info);
    png_size_t pixelBytes = rgba || state->outputDepth == 32 ? 4 : 3;
    if (png_get_bit_depth(data->png, data->info) != 8
        || png_get_rowbytes(data->png, data->info) != static_cast<png_size_t>(state->width) * pixelBytes) {
        png_error(data->png, "unexpected row format");
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (int row = 0; row < state->height; ++row) {
            png_read_row(data->png, rows->place(row), nullptr);
            if (pass == passes - 1) {
                rows->complete(row);
            }
        }
    }
    return 1;
}

int readPngRows(DecodeState& state, std::uint8_t* buffer, std::size_t stride, int flags)
{
    if (state.privateData == nullptr) {
        return 0;
    }
    DecodedRows rows(buffer, stride, state.height, flags);
    int result = readPngPasses(&decoderData<PngData>(state), &state, &rows, (flags & DECODE_RGBA) != 0);
    state.deliveredRows = rows.deliveredRows();
    return result;
}

// Rows of a picture stored without interlacing go on as libpng delivers them. An interlaced one
// comes complete only with its last pass, so it is read whole first, into a buffer prepared as
// readDecodedRowsAsRgba prepares one (opaque black), then handed on.
int readPngRowsInOrder(DecodeState& state, DecodedRows& rows)
{
    if (state.privateData == nullptr) {
        return 0;
    }
    auto* data = &decoderData<PngData>(state);
    if (png_get_interlace_type(data->png, data->info) == PNG_INTERLACE_NONE) {
        return readPngPasses(data, &state, &rows, false);
    }
    std::size_t pixelBytes = state.outputDepth == 32 ? 4 : 3;
    std::size_t rowBytes = static_cast<std::size_t>(state.width) * pixelBytes;
    std::size_t size = rowBytes * static_cast<std::size_t>(state.height);
    std::unique_ptr<std::uint8_t[]> picture(new (std::nothrow) std::uint8_t[size]);
    if (picture == nullptr) {
        return -1;
    }
    std::memset(picture.get(), 0, size);
    if (pixelBytes == 4) {
        for (std::size_t i = 3; i < size; i += 4) {
            picture[i] = 255;
        }
    }
    DecodedRows whole(picture.get(), rowBytes, state.height, 0);
    int result = readPngPasses(data, &state, &whole, false);
    // Only rows that the last pass reached are whole; the copies below hand on every row.
    state.deliveredRows = whole.deliveredRows();
    for (int row = 0; row < state.height; ++row) {
        std::memcpy(rows.place(row), picture.get() + static_cast<std::size_t>(row) * rowBytes, rowBytes);
        rows.complete(row);
    }
    return result;
}

void finishPng(DecodeState& state)
{
    releaseDecoderData(state);
}

} // namespace

const ImageDecoder PNG_DECODER { recognizePng, readPngRows, finishPng, readPngRowsInOrder };
