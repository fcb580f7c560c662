#include "test_pictures.h"

#include "imaging/decoders/image_decoding.h"

#include <png.h>

#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace {

void appendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushPngBytes(png_structp)
{
}

Decoded readOpened(int opened)
{
    Decoded decoded;
    decoded.opened = opened;
    if (opened != 1) {
        return decoded;
    }
    decoded.width = decodedWidth();
    decoded.height = decodedHeight();
    decoded.depth = decodedDepth();
    decoded.sourceDepth = decodedSourceDepth();
    decoded.rgba.assign(
        static_cast<std::size_t>(decoded.width) * static_cast<std::size_t>(decoded.height) * 4, 0x5A);
    decoded.result = readDecodedRowsAsRgba(decoded.rgba.data());
    return decoded;
}

} // namespace

std::vector<std::uint8_t> encodePng(const PngPicture& picture)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPngBytes, flushPngBytes);
    png_set_compression_level(png, picture.compressionLevel);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
        picture.bitDepth, picture.colourType, picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < picture.palette.size(); i += 3) {
        palette.push_back({ picture.palette[i], picture.palette[i + 1], picture.palette[i + 2] });
    }
    if (!palette.empty()) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (!picture.transparency.empty()) {
        png_set_tRNS(
            png, info, picture.transparency.data(), static_cast<int>(picture.transparency.size()), nullptr);
    }
    png_write_info(png, info);
    std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows;
    for (int y = 0; y < picture.height; ++y) {
        rows.push_back(const_cast<png_bytep>(picture.rows.data() + static_cast<std::size_t>(y) * rowBytes));
    }
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> encodeJpeg(const JpegPicture& picture)
{
    jpeg_compress_struct compressor {};
    jpeg_error_mgr errors {};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(picture.width);
    compressor.image_height = static_cast<JDIMENSION>(picture.height);
    compressor.input_components = picture.components;
    compressor.in_color_space = picture.components == 1 ? JCS_GRAYSCALE
        : picture.components == 3                       ? JCS_RGB
                                                        : JCS_CMYK;
    jpeg_set_defaults(&compressor);
    if (picture.components == 4) {
        jpeg_set_colorspace(&compressor, picture.ycck ? JCS_YCCK : JCS_CMYK);
        compressor.write_Adobe_marker = picture.adobeMarker ? TRUE : FALSE;
    }
    jpeg_set_quality(&compressor, picture.quality, TRUE);
    if (picture.progressive) {
        jpeg_simple_progression(&compressor);
    }
    jpeg_start_compress(&compressor, TRUE);
    std::size_t rowBytes
        = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.components);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row[1]
            = { const_cast<JSAMPLE*>(picture.samples.data() + compressor.next_scanline * rowBytes) };
        jpeg_write_scanlines(&compressor, row, 1);
    }
    jpeg_finish_compress(&compressor);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&compressor);
    std::free(buffer);
    return out;
}

void useAllDecoders()
{
    initImageDecoders();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
}

Decoded decodeMemory(const std::vector<std::uint8_t>& bytes)
{
    useAllDecoders();
    return readOpened(openImageMemory(bytes.data(), bytes.size()));
}

Decoded decodeFile(const std::string& path)
{
    useAllDecoders();
    return readOpened(openImageFile(path.c_str()));
}

std::vector<std::uint8_t> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

namespace {

// One folder per process (ctest runs the tests of a suite side by side), named by mkdtemp so that
// no folder an earlier process of the same number left is taken, and removed when the tests end.
class TemporaryFolder {
public:
    static const TemporaryFolder& ofProcess()
    {
        static const TemporaryFolder folder;
        return folder;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    TemporaryFolder()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "graphonite-decoder-tests-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    std::filesystem::path m_path;
};

} // namespace

std::string writeTemporaryFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::filesystem::path path = TemporaryFolder::ofProcess().path() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::vector<int> pixelAt(const Decoded& decoded, int x, int y)
{
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(decoded.width)
                         + static_cast<std::size_t>(x))
        * 4;
    return { decoded.rgba[at], decoded.rgba[at + 1], decoded.rgba[at + 2], decoded.rgba[at + 3] };
}
