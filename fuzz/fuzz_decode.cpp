#include "fuzz_decode.h"

#include "imaging/decoders/image_decoding.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Pictures above this are recognised but not read: decoding them would only slow the fuzzer
// down, and their headers have been checked by then.
constexpr std::int64_t MAX_FUZZ_PIXELS = std::int64_t { 1 } << 22;

constexpr std::uint8_t FROM_FILE = 1;
constexpr std::uint8_t BOTTOM_UP = 2;
constexpr std::uint8_t AS_RGBA = 4;
constexpr std::uint8_t NO_ROWS = 8;
constexpr int REDUCE_SHIFT = 4;
constexpr int MINIMUM_SIDES[4] = { 0, 1, 64, 300 };
constexpr std::uint8_t IN_ORDER = 64;

// Checks that rows come as announced: every one of them, no more.
class CountingSink : public DecodedRowSink {
public:
    bool beginRows(int width, int height, int pixelBytes) override
    {
        if (width != decodedWidth() || height != decodedHeight() || (pixelBytes != 3 && pixelBytes != 4)) {
            std::abort();
        }
        m_expected = height;
        m_rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(pixelBytes);
        return true;
    }
    void takeRow(const std::uint8_t* row) override
    {
        if (++m_rows > m_expected) {
            std::abort();
        }
        // Reads the whole row, so that the sanitizers see one that is too short.
        unsigned sum = 0;
        for (std::size_t i = 0; i < m_rowBytes; ++i) {
            sum += row[i];
        }
        m_sum += sum;
    }
    void checkComplete() const
    {
        if (m_rows != m_expected) {
            std::abort();
        }
    }

private:
    int m_expected = 0;
    int m_rows = 0;
    std::size_t m_rowBytes = 0;
    unsigned m_sum = 0;
};

// The file each input is written to, removed when the fuzzer exits.
struct FuzzFile {
    std::string path = "/tmp/graphonite-fuzz-" + std::to_string(::getpid()) + ".bin";
    FuzzFile() = default;
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;
    ~FuzzFile() { std::remove(path.c_str()); }
};

const std::string& fuzzFilePath()
{
    static const FuzzFile file;
    return file.path;
}

int openFromFile(const std::uint8_t* data, std::size_t size, int minimumSide)
{
    std::FILE* file = std::fopen(fuzzFilePath().c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        return 0;
    }
    return openImageFileReduced(fuzzFilePath().c_str(), minimumSide, minimumSide);
}

} // namespace

void fuzzDecode(const std::uint8_t* data, std::size_t size, void (*useDecoder)())
{
    if (size == 0) {
        return;
    }
    std::uint8_t mode = data[size - 1];
    std::size_t pictureSize = size - 1;
    initImageDecoders();
    useDecoder();
    // The payload is copied so that a read past it lands outside a heap block of its exact size.
    std::vector<std::uint8_t> picture(data, data + pictureSize);
    int minimumSide = MINIMUM_SIDES[(mode >> REDUCE_SHIFT) & 3];
    int opened = (mode & FROM_FILE) != 0
        ? openFromFile(picture.data(), picture.size(), minimumSide)
        : openImageMemoryReduced(picture.data(), picture.size(), minimumSide, minimumSide);
    if (opened != 1) {
        return;
    }
    std::int64_t width = decodedWidth();
    std::int64_t height = decodedHeight();
    if ((mode & NO_ROWS) != 0 || width * height > MAX_FUZZ_PIXELS) {
        finishDecoding();
        return;
    }
    if ((mode & IN_ORDER) != 0) {
        CountingSink sink;
        if (readDecodedRowsInOrder(sink) >= 0) {
            sink.checkComplete();
        }
        return;
    }
    if ((mode & AS_RGBA) != 0) {
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width * height * 4));
        readDecodedRowsAsRgba(rgba.data());
        return;
    }
    std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(decodedDepth() / 8);
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
    readDecodedRows(rows.data(), stride, (mode & BOTTOM_UP) != 0 ? DECODE_BOTTOM_UP : 0);
}
