#include "imaging/decoders/image_decoding.h"

#include "imaging/decoders/bmp_decoder.h"
#include "imaging/decoders/decoded_rows.h"
#include "imaging/decoders/decoder_support.h"
#include "imaging/decoders/image_limits.h"
#include "imaging/decoders/jpeg_decoder.h"
#include "imaging/decoders/png_decoder.h"
#include "runtime/regular_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int MAX_DECODERS = 30;

std::array<const ImageDecoder*, MAX_DECODERS> decoderTable {};
int decoderCount = 0;

// The decode state of the thread; a load fills it and finishing a load empties it. Each thread
// has its own, so that a picture can be decoded away from the application's thread while the
// application opens another.
thread_local DecodeState decodeState;

thread_local std::array<char, 160> failureReason {};

void useDecoderOnce(const ImageDecoder* decoder)
{
    for (int i = 0; i < decoderCount; ++i) {
        if (decoderTable[i] == decoder) {
            return;
        }
    }
    registerImageDecoder(decoder);
}

void closeSource()
{
    if (decodeState.file != nullptr) {
        std::fclose(decodeState.file);
    }
    decodeState = DecodeState {};
}

void endLoad()
{
    if (decodeState.decoder != nullptr) {
        decodeState.decoder->finish(decodeState);
    }
    releaseDecoderData(decodeState);
    closeSource();
}

// Offers the source to every decoder in registration order; each one starts from the first byte.
int recognizeSource()
{
    for (int i = 0; i < decoderCount; ++i) {
        if (decodeState.file != nullptr && std::fseek(decodeState.file, 0, SEEK_SET) != 0) {
            break;
        }
        decodeState.privateData = nullptr;
        if (decoderTable[i]->recognize(decodeState) == 1) {
            decodeState.decoder = decoderTable[i];
            return 1;
        }
        releaseDecoderData(decodeState);
    }
    if (failureReason[0] == '\0') {
        noteDecodeFailure("not a BMP, PNG or JPEG picture");
    }
    closeSource();
    return 0;
}

void startLoad()
{
    if (decodeState.decoder != nullptr || decodeState.file != nullptr) {
        endLoad();
    }
    decodeState = DecodeState {};
    failureReason[0] = '\0';
}

// Turns rows of 3 bytes, each at the start of a 4-byte-per-pixel row, into R,G,B,255 in place,
// working from the row's end so that no byte is overwritten before it is read.
void widenRgbRows(std::uint8_t* rgba, int width, int height)
{
    std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = rgba + static_cast<std::size_t>(y) * stride;
        for (int x = width - 1; x >= 0; --x) {
            const std::uint8_t* from = row + static_cast<std::size_t>(x) * 3;
            std::uint8_t red = from[0];
            std::uint8_t green = from[1];
            std::uint8_t blue = from[2];
            std::uint8_t* to = row + static_cast<std::size_t>(x) * 4;
            to[0] = red;
            to[1] = green;
            to[2] = blue;
            to[3] = 255;
        }
    }
}

} // namespace

void noteDecodeFailure(const char* reason)
{
    if (failureReason[0] != '\0') {
        return; // the first reason is the cause; later ones are its consequences
    }
    std::strncpy(failureReason.data(), reason, failureReason.size() - 1);
    failureReason.back() = '\0';
}

const char* lastDecodeFailure()
{
    return failureReason.data();
}

void initImageDecoders()
{
    if (decodeState.decoder != nullptr || decodeState.file != nullptr) {
        endLoad();
    }
    decoderTable.fill(nullptr);
    decoderCount = 0;
    decodeState = DecodeState {};
}

int registerImageDecoder(const ImageDecoder* decoder)
{
    if (decoder == nullptr || decoderCount >= MAX_DECODERS) {
        return 0;
    }
    decoderTable[decoderCount] = decoder;
    ++decoderCount;
    return decoderCount;
}

void useBmpDecoder()
{
    useDecoderOnce(&BMP_DECODER);
}

void usePngDecoder()
{
    useDecoderOnce(&PNG_DECODER);
}

void useJpegDecoder()
{
    useDecoderOnce(&JPEG_DECODER);
}

int openImageFile(const char* path)
{
    return openImageFileReduced(path, 0, 0);
}

int openImageMemory(const void* data, std::size_t size)
{
    return openImageMemoryReduced(data, size, 0, 0);
}

int openImageFileReduced(const char* path, int minimumWidth, int minimumHeight)
{
    startLoad();
    if (path == nullptr) {
        noteDecodeFailure("no file name");
        return 0;
    }
    decodeState.path = path;
    // A pipe or device would block the reading for good: only regular files are opened.
    UniqueFd file;
    struct stat info { };
    if (openRegularFile(path, file, info) == 0) {
        decodeState.file = ::fdopen(file.get(), "rb");
        if (decodeState.file != nullptr)
            file.release();
    }
    if (decodeState.file == nullptr) {
        noteDecodeFailure("the file cannot be opened");
        decodeState = DecodeState {};
        return 0;
    }
    decodeState.minimumWidth = minimumWidth;
    decodeState.minimumHeight = minimumHeight;
    return recognizeSource();
}

int openImageMemoryReduced(const void* data, std::size_t size, int minimumWidth, int minimumHeight)
{
    startLoad();
    if (data == nullptr || size == 0) {
        noteDecodeFailure("no data");
        return 0;
    }
    decodeState.fromMemory = 1;
    decodeState.data = static_cast<const std::uint8_t*>(data);
    decodeState.dataSize = size;
    decodeState.minimumWidth = minimumWidth;
    decodeState.minimumHeight = minimumHeight;
    return recognizeSource();
}

int decodedWidth()
{
    return decodeState.width;
}

int decodedHeight()
{
    return decodeState.height;
}

int decodedDepth()
{
    return decodeState.outputDepth;
}

int decodedSourceDepth()
{
    return decodeState.sourceDepth;
}

namespace {

thread_local DecodedRowCount lastRows;

// Notes the rows of the read that is ending, while the state still holds its height.
void noteDecodedRows(bool whole, int delivered)
{
    int height = decodeState.height;
    lastRows = { whole ? height : std::clamp(delivered, 0, height), height };
}

} // namespace

DecodedRowCount lastDecodedRowCount()
{
    return lastRows;
}

int readDecodedRows(std::uint8_t* buffer, std::size_t stride, int flags)
{
    if (decodeState.decoder == nullptr) {
        return 0;
    }
    int result = buffer != nullptr ? decodeState.decoder->readRows(decodeState, buffer, stride, flags) : 0;
    if (result != 1) {
        noteDecodeFailure("the picture data is broken or cut short");
    }
    noteDecodedRows(result == 1, std::max(decodeState.deliveredRows, 0));
    endLoad();
    return result == 1 ? 1 : 0;
}

void finishDecoding()
{
    endLoad();
}

int readDecodedRowsAsRgba(std::uint8_t* rgba)
{
    if (decodeState.decoder == nullptr || rgba == nullptr) {
        return -1;
    }
    int width = decodeState.width;
    int height = decodeState.height;
    std::size_t stride = static_cast<std::size_t>(width) * 4;
    std::size_t total = stride * static_cast<std::size_t>(height);
    bool builtIn = decodeState.decoder == &BMP_DECODER || decodeState.decoder == &PNG_DECODER
        || decodeState.decoder == &JPEG_DECODER;
    if (decodeState.outputDepth == 32 || builtIn) {
        // Rows the data does not deliver keep this opaque black.
        static constexpr std::uint8_t OPAQUE_BLACK[4] = { 0, 0, 0, 255 };
        for (std::size_t i = 0; i < total; i += 4) {
            std::memcpy(rgba + i, OPAQUE_BLACK, 4);
        }
        return readDecodedRows(rgba, stride, builtIn ? DECODE_RGBA : 0);
    }
    // 24-bit rows of another decoder are decoded into the start of each RGBA row and widened
    // afterwards; a row the data does not deliver stays zero and so becomes opaque black.
    std::memset(rgba, 0, total);
    int result = readDecodedRows(rgba, stride, 0);
    widenRgbRows(rgba, width, height);
    return result;
}

int readDecodedRowsInOrder(DecodedRowSink& sink)
{
    if (decodeState.decoder == nullptr) {
        return -1;
    }
    int width = decodeState.width;
    int height = decodeState.height;
    if (!imageSizeAcceptable(width, height)) {
        noteDecodeFailure("width or height out of range");
        endLoad();
        return -1;
    }
    std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (decodeState.decoder->readRowsInOrder == nullptr) {
        // The whole picture first, then its rows one by one.
        std::unique_ptr<std::uint8_t[]> rgba(new (std::nothrow) std::uint8_t[pixels * 4]);
        if (rgba == nullptr || !sink.beginRows(width, height, 4)) {
            endLoad();
            return -1;
        }
        int result = readDecodedRowsAsRgba(rgba.get());
        for (int y = 0; y < height; ++y) {
            sink.takeRow(rgba.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4);
        }
        return result;
    }
    int pixelBytes = decodeState.outputDepth == 32 ? 4 : 3;
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow)
            std::uint8_t[static_cast<std::size_t>(width) * static_cast<std::size_t>(pixelBytes)]);
    if (row == nullptr || !sink.beginRows(width, height, pixelBytes)) {
        endLoad();
        return -1;
    }
    DecodedRows rows(sink, row.get(), width, height, pixelBytes);
    int result = decodeState.decoder->readRowsInOrder(decodeState, rows);
    if (result == -1) {
        noteDecodeFailure("out of memory");
        endLoad();
        return -1;
    }
    if (result != 1) {
        noteDecodeFailure("the picture data is broken or cut short");
    }
    noteDecodedRows(
        result == 1, decodeState.deliveredRows >= 0 ? decodeState.deliveredRows : rows.deliveredRows());
    rows.completeWithBlack();
    endLoad();
    return result == 1 ? 1 : 0;
}
