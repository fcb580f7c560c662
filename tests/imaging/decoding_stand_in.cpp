// A minimal decoder registry for the imaging tests while the real one (graphonite_decoders) is
// not part of the build: registration in order, one decode state, file and memory sources and
// the RGBA conversion, following imaging/decoders/image_decoding.h. No decoders of its own.

#include "imaging/decoders/image_decoding.h"
#include "imaging/decoders/image_limits.h"

#include <cstring>
#include <vector>

namespace {

std::vector<const ImageDecoder*> g_decoders;
DecodeState g_state;

void closeLoad()
{
    if (g_state.decoder)
        g_state.decoder->finish(g_state);
    if (g_state.file)
        std::fclose(g_state.file);
    g_state = DecodeState {};
}

int recognise()
{
    for (const ImageDecoder* decoder : g_decoders) {
        if (g_state.file)
            std::fseek(g_state.file, 0, SEEK_SET);
        if (decoder->recognize(g_state)) {
            g_state.decoder = decoder;
            return 1;
        }
    }
    closeLoad();
    return 0;
}

} // namespace

void initImageDecoders()
{
    g_decoders.clear();
    closeLoad();
}

int registerImageDecoder(const ImageDecoder* decoder)
{
    if (!decoder || g_decoders.size() >= 30)
        return 0;
    g_decoders.push_back(decoder);
    return static_cast<int>(g_decoders.size());
}

void useBmpDecoder()
{
}
void usePngDecoder()
{
}
void useJpegDecoder()
{
}

int openImageFile(const char* path)
{
    closeLoad();
    g_state.path = path;
    g_state.file = std::fopen(path, "rb");
    if (!g_state.file)
        return 0;
    return recognise();
}

int openImageMemory(const void* data, std::size_t size)
{
    closeLoad();
    g_state.fromMemory = 1;
    g_state.data = static_cast<const std::uint8_t*>(data);
    g_state.dataSize = size;
    return recognise();
}

int decodedWidth()
{
    return g_state.width;
}
int decodedHeight()
{
    return g_state.height;
}
int decodedDepth()
{
    return g_state.outputDepth;
}
int decodedSourceDepth()
{
    return g_state.sourceDepth;
}

int readDecodedRows(std::uint8_t* buffer, std::size_t stride, int flags)
{
    if (!g_state.decoder)
        return 0;
    const int result = g_state.decoder->readRows(g_state, buffer, stride, flags);
    closeLoad();
    return result;
}

void finishDecoding()
{
    closeLoad();
}

int readDecodedRowsAsRgba(std::uint8_t* rgba)
{
    if (!g_state.decoder || !imageSizeAcceptable(g_state.width, g_state.height))
        return -1;
    const auto width = static_cast<std::size_t>(g_state.width);
    const auto height = static_cast<std::size_t>(g_state.height);
    const std::size_t bpp = g_state.outputDepth == 32 ? 4 : 3;
    std::vector<std::uint8_t> rows(width * height * bpp, 0);
    if (bpp == 4) {
        for (std::size_t i = 3; i < rows.size(); i += 4)
            rows[i] = 255;
    }
    const int result = readDecodedRows(rows.data(), width * bpp, 0);
    for (std::size_t i = 0; i < width * height; ++i) {
        std::memcpy(rgba + 4 * i, rows.data() + bpp * i, 3);
        rgba[4 * i + 3] = bpp == 4 ? rows[bpp * i + 3] : 255;
    }
    return result ? 1 : 0;
}
