#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pictures made in the tests with libpng's and libjpeg's writers, and the decode of a picture
// through the registry with all three decoders registered.

struct PngPicture {
    int width = 0;
    int height = 0;
    int colourType = 0; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::uint8_t> rows; // height rows of packed samples, as the PNG row format has them
    std::vector<std::uint8_t> palette; // R,G,B triples
    std::vector<std::uint8_t> transparency; // tRNS: palette alphas
    int compressionLevel = 6;
};
std::vector<std::uint8_t> encodePng(const PngPicture& picture);

struct JpegPicture {
    int width = 0;
    int height = 0;
    int components = 3; // 1 grey, 3 RGB, 4 CMYK
    std::vector<std::uint8_t> samples;
    int quality = 95;
    bool progressive = false;
    bool ycck = false; // store 4-component data as YCCK
    bool adobeMarker = true; // 4 components: write Adobe's APP14 segment
};
std::vector<std::uint8_t> encodeJpeg(const JpegPicture& picture);

struct Decoded {
    int opened = 0;
    int width = 0;
    int height = 0;
    int depth = 0;
    int sourceDepth = 0;
    int result = -1; // readDecodedRowsAsRgba's
    std::vector<std::uint8_t> rgba;
};
// Registers BMP, PNG and JPEG (in that order) afresh and decodes, reading the rows when a
// decoder accepted the data.
Decoded decodeMemory(const std::vector<std::uint8_t>& bytes);
Decoded decodeFile(const std::string& path);
void useAllDecoders();

std::vector<std::uint8_t> readFileBytes(const std::string& path);
// A file under the test's temporary folder holding the bytes; returns its path.
std::string writeTemporaryFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

// R,G,B,A of pixel (x, y) of a decode.
std::vector<int> pixelAt(const Decoded& decoded, int x, int y);
