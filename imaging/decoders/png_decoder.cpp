#include "imaging/decoders/png_decoder.h"

#include "imaging/decoders/decoder_support.h"
#include "imaging/decoders/image_limits.h"
#include "imaging/decoders/png_error_handler.h"

#include <array>
#include <csetjmp>
#include <memory>

namespace {

constexpr std::size_t PNG_SIGNATURE_SIZE = 8;

struct PngData : DecoderData {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const std::uint8_t* data = nullptr; // memory source
    std::size_t size = 0;
    std::size_t position = 0;
    int passes = 1;

    ~PngData() override { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// Reads from a memory source, never past its true size: running out is a decoding error.
void readPngMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* data = static_cast<PngData*>(png_get_io_ptr(png));
    if (length > data->size - data->position) {
        png_error(png, "the data is cut short");
    }
    for (png_size_t i = 0; i < length; ++i) {
        out[i] = data->data[data->position + i];
    }
    data->position += length;
}

// Asks libpng for 8-bit R,G,B or R,G,B,A rows whatever the file holds. Runs under startPngRead's
// error recovery.
void requestRgbRows(png_structp png, png_infop info, DecodeState& state)
{
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        state.sourceDepth = 24;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        state.sourceDepth = 32;
        break;
    default:
        state.sourceDepth = bitDepth;
        break;
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
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
}

// Everything of recognize that may end in a libpng error. No local here or in what it calls may
// need a destructor: an error longjmps back into this function.
int startPngRead(PngData* data, DecodeState* state)
{
    if (setjmp(png_jmpbuf(data->png)) != 0) {
        return 0;
    }
    if (state->fromMemory != 0) {
        png_set_read_fn(data->png, data, readPngMemory);
    } else {
        png_init_io(data->png, state->file);
    }
    png_read_info(data->png, data->info);
    png_uint_32 width = png_get_image_width(data->png, data->info);
    png_uint_32 height = png_get_image_height(data->png, data->info);
    if (!imageSizeAcceptable(width, height)) {
        png_error(data->png, "width or height out of range");
    }
    requestRgbRows(data->png, data->info, *state);
    data->passes = png_set_interlace_handling(data->png);
    png_read_update_info(data->png, data->info);
    int colourType = png_get_color_type(data->png, data->info);
    state->outputDepth = colourType == PNG_COLOR_TYPE_RGB ? 24 : 32;
    if ((colourType != PNG_COLOR_TYPE_RGB && colourType != PNG_COLOR_TYPE_RGB_ALPHA)
        || png_get_bit_depth(data->png, data->info) != 8
        || png_get_rowbytes(data->png, data->info) != width * static_cast<png_uint_32>(state->outputDepth / 8)) {
        png_error(data->png, "unexpected row format");
    }
    state->width = static_cast<int>(width);
    state->height = static_cast<int>(height);
    return 1;
}

int recognizePng(DecodeState& state)
{
    std::array<std::uint8_t, PNG_SIGNATURE_SIZE> signature {};
    if (peekSourceBytes(state, signature) < signature.size() || png_sig_cmp(signature.data(), 0, signature.size()) != 0) {
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
    data->data = state.data;
    data->size = state.dataSize;
    if (startPngRead(data.get(), &state) != 1) {
        state.width = state.height = state.outputDepth = state.sourceDepth = 0;
        return 0;
    }
    adoptDecoderData(state, std::move(data));
    return 1;
}

// Reads every pass of every row into its place, so that an interlaced picture is completed pass
// by pass in the caller's buffer. Same rule as startPngRead: no locals with destructors.
int readPngPasses(PngData* data, std::uint8_t* buffer, std::size_t stride, int flags, int height)
{
    if (setjmp(png_jmpbuf(data->png)) != 0) {
        return 0;
    }
    for (int pass = 0; pass < data->passes; ++pass) {
        for (int row = 0; row < height; ++row) {
            png_read_row(data->png, decodedRowAddress(buffer, stride, row, height, flags), nullptr);
        }
    }
    return 1;
}

int readPngRows(DecodeState& state, std::uint8_t* buffer, std::size_t stride, int flags)
{
    if (state.privateData == nullptr) {
        return 0;
    }
    return readPngPasses(&decoderData<PngData>(state), buffer, stride, flags, state.height);
}

void finishPng(DecodeState& state)
{
    releaseDecoderData(state);
}

} // namespace

const ImageDecoder PNG_DECODER { recognizePng, readPngRows, finishPng };
