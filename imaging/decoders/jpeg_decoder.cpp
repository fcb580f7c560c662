#include "imaging/decoders/jpeg_decoder.h"

#include "imaging/decoders/decoded_rows.h"
#include "imaging/decoders/decoder_support.h"
#include "imaging/decoders/image_limits.h"
#include "imaging/decoders/jpeg_error_manager.h"
#include "imaging/decoders/jpeg_source.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// libjpeg's own buffers (whole-picture coefficient arrays of progressive files among them)
// may not grow beyond this: enough for a progressive picture of MAX_IMAGE_PIXELS in 4:2:0.
constexpr long MAX_LIBRARY_MEMORY = 512L * 1024 * 1024;

struct JpegData : DecoderData {
    jpeg_decompress_struct decompressor {};
    JpegErrorManager errors;
    JpegSource source;
    bool created = false;
    std::vector<std::uint8_t> fileBytes; // file source only
    std::vector<std::uint8_t> row; // one output row of the library
    bool started = false; // jpeg_start_decompress has run
    bool cmyk = false;
    // Adobe applications write CMYK and YCCK with every sample inverted (255 is no ink) and mark
    // such files with their APP14 segment.
    bool invertedCmyk = false;

    ~JpegData() override
    {
        if (created) {
            jpeg_destroy_decompress(&decompressor);
        }
    }
};

// Decoding at a scale of n/8 makes libjpeg compute each 8 x 8 block as an n x n one straight from
// its coefficients, which is far less work than the full picture when n is small. Takes the
// smallest n whose picture still covers minimumWidth x minimumHeight (8 when none does).
void chooseJpegScale(jpeg_decompress_struct& decompressor, int minimumWidth, int minimumHeight)
{
    decompressor.scale_denom = 8;
    for (unsigned n = 1; n <= 8; ++n) {
        decompressor.scale_num = n;
        jpeg_calc_output_dimensions(&decompressor);
        if (decompressor.output_width >= static_cast<JDIMENSION>(minimumWidth)
            && decompressor.output_height >= static_cast<JDIMENSION>(minimumHeight)) {
            return;
        }
    }
}

// Everything of recognize that may end in a libjpeg error. No local here may need a destructor:
// an error longjmps back into this function.
int startJpegRead(JpegData* data, DecodeState* state)
{
    if (setjmp(data->errors.jump) != 0) {
        return 0;
    }
    jpeg_create_decompress(&data->decompressor);
    data->created = true;
    data->decompressor.mem->max_memory_to_use = MAX_LIBRARY_MEMORY;
    attachJpegSource(data->decompressor, data->source, data->source.bytes);
    if (jpeg_read_header(&data->decompressor, TRUE) != JPEG_HEADER_OK || data->source.ranOut) {
        noteDecodeFailure("JPEG: the header is cut short");
        return 0;
    }
    jpeg_decompress_struct& decompressor = data->decompressor;
    if (!imageSizeAcceptable(decompressor.image_width, decompressor.image_height)) {
        noteDecodeFailure("JPEG: width or height out of range");
        return 0;
    }
    switch (decompressor.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        decompressor.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        decompressor.out_color_space = JCS_CMYK;
        data->cmyk = true;
        data->invertedCmyk = decompressor.saw_Adobe_marker != 0;
        break;
    default:
        noteDecodeFailure("JPEG: unsupported colour space");
        return 0;
    }
    decompressor.dct_method = JDCT_ISLOW;
    if (state->minimumWidth > 0 || state->minimumHeight > 0) {
        chooseJpegScale(decompressor, state->minimumWidth, state->minimumHeight);
    }
    // A multi-scan (progressive) file is read whole here, so that data broken before its first
    // row rejects it. A single-scan file starts in readRows, where the row format is known.
    if (jpeg_has_multiple_scans(&decompressor) != 0) {
        jpeg_start_decompress(&decompressor);
        data->started = true;
    } else {
        jpeg_calc_output_dimensions(&decompressor);
    }
    state->width = static_cast<int>(decompressor.output_width);
    state->height = static_cast<int>(decompressor.output_height);
    state->sourceDepth = 8 * decompressor.num_components;
    state->outputDepth = 24;
    return 1;
}

int recognizeJpeg(DecodeState& state)
{
    std::array<std::uint8_t, 3> start {};
    if (peekSourceBytes(state, start) < start.size() || start[0] != 0xFF || start[1] != 0xD8) {
        return 0;
    }
    auto data = std::make_unique<JpegData>();
    attachJpegErrorManager(data->decompressor, data->errors);
    data->source.bytes = wholeSource(state, data->fileBytes);
    if (startJpegRead(data.get(), &state) != 1) {
        state.width = state.height = state.outputDepth = state.sourceDepth = 0;
        return 0;
    }
    data->row.resize(static_cast<std::size_t>(data->decompressor.output_width)
        * static_cast<std::size_t>(data->decompressor.output_components));
    adoptDecoderData(state, std::move(data));
    return 1;
}

std::uint8_t inkToLight(unsigned ink, unsigned black)
{
    return static_cast<std::uint8_t>((ink * black + 127) / 255);
}

void convertCmykRow(const std::uint8_t* from, std::uint8_t* to, int width, bool inverted, int pixelBytes)
{
    for (int x = 0; x < width; ++x, from += 4, to += pixelBytes) {
        unsigned c = from[0];
        unsigned m = from[1];
        unsigned y = from[2];
        unsigned k = from[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        to[0] = inkToLight(c, k);
        to[1] = inkToLight(m, k);
        to[2] = inkToLight(y, k);
        if (pixelBytes == 4) {
            to[3] = 255;
        }
    }
}

void widenRgbRow(const std::uint8_t* from, std::uint8_t* to, int width)
{
    for (int x = 0; x < width; ++x, from += 3, to += 4) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
        to[3] = 255;
    }
}

// True once the rows the library makes are no longer the picture's: the Huffman decoder warned
// that it ran out of data in mid-scan, or (the arithmetic decoder makes up zeros without a
// warning) the data ran out under arithmetic coding.
bool rowsMadeUp(const JpegData& data)
{
    return data.errors.dataLacking || (data.source.ranOut && data.decompressor.arith_code != 0);
}

void makeRowBlack(std::uint8_t* row, int width, int pixelBytes)
{
    for (int x = 0; x < width; ++x, row += pixelBytes) {
        row[0] = row[1] = row[2] = 0;
        if (pixelBytes == 4) {
            row[3] = 255;
        }
    }
}

// Rows come through a row of our own, so that a row the library made up after the data ran out
// never reaches the caller's buffer. Rows of a single-scan file are decoded in place (by
// libjpeg-turbo's own colour conversion) where such a row can be made opaque black again: in
// R,G,B,A rows, and in every row going to a sink. Same rule as startJpegRead: no locals with
// destructors.
int readJpegScanlines(JpegData* data, DecodeState* state, DecodedRows* rows, bool rgba)
{
    if (setjmp(data->errors.jump) != 0) {
        return 0;
    }
    jpeg_decompress_struct& decompressor = data->decompressor;
    int pixelBytes = rgba ? 4 : 3;
    bool inPlace = false;
    // A multi-scan file read all its data in recognize; when that data was cut short the rows are
    // the best the library can make of it, but the load still counts as broken.
    bool cutBeforeRows = data->started && (data->source.ranOut || rowsMadeUp(*data));
    if (!data->started) {
        inPlace = !data->cmyk && (rgba || rows->toSink());
        if (inPlace) {
            decompressor.out_color_space = rgba ? JCS_EXT_RGBA : JCS_RGB;
        }
        jpeg_start_decompress(&decompressor);
        data->started = true;
    }
    std::size_t rowBytes = static_cast<std::size_t>(state->width) * 3;
    for (int y = 0; y < state->height; ++y) {
        std::uint8_t* to = rows->place(y);
        JSAMPROW scanline[1] = { inPlace ? to : data->row.data() };
        if (jpeg_read_scanlines(&decompressor, scanline, 1) != 1) {
            return 0;
        }
        if (!cutBeforeRows && rowsMadeUp(*data)) {
            if (inPlace) {
                makeRowBlack(to, state->width, pixelBytes);
            }
            return 0;
        }
        if (!inPlace) {
            if (data->cmyk) {
                convertCmykRow(data->row.data(), to, state->width, data->invertedCmyk, pixelBytes);
            } else if (rgba) {
                widenRgbRow(data->row.data(), to, state->width);
            } else {
                std::memcpy(to, data->row.data(), rowBytes);
            }
        }
        rows->complete(y);
    }
    if (cutBeforeRows) {
        return 0;
    }
    // Every row is real by now; a file that lacks only its end marker still counts as whole.
    jpeg_finish_decompress(&decompressor);
    return 1;
}

int readJpegRows(DecodeState& state, std::uint8_t* buffer, std::size_t stride, int flags)
{
    if (state.privateData == nullptr) {
        return 0;
    }
    DecodedRows rows(buffer, stride, state.height, flags);
    int result = readJpegScanlines(&decoderData<JpegData>(state), &state, &rows, (flags & DECODE_RGBA) != 0);
    state.deliveredRows = rows.deliveredRows();
    return result;
}

int readJpegRowsInOrder(DecodeState& state, DecodedRows& rows)
{
    if (state.privateData == nullptr) {
        return 0;
    }
    return readJpegScanlines(&decoderData<JpegData>(state), &state, &rows, false);
}

void finishJpeg(DecodeState& state)
{
    releaseDecoderData(state);
}

} // namespace

const ImageDecoder JPEG_DECODER { recognizeJpeg, readJpegRows, finishJpeg, readJpegRowsInOrder };
