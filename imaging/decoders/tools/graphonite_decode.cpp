// graphonite-decode INPUT OUTPUT.pam
//
// Decodes INPUT with the BMP, PNG and JPEG decoders (the format comes from the bytes, not the
// name) and writes its pixels as a PAM file (RGB_ALPHA, 8 bits). Exit status:
//   0  the picture decoded; OUTPUT holds it
//   1  the picture was rejected or OUTPUT could not be written (one line on standard error says why)
//   2  wrong arguments
// A file whose header is sound but whose data breaks off or is damaged still gives a picture:
// the tool writes it (rows the data did not deliver are opaque black), prints one line
// "graphonite-decode: INPUT: warning: ..." on standard error and exits 0.

#include "imaging/decoders/image_decoding.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

#include <sys/stat.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool writePam(const char* path, const std::uint8_t* rgba, int width, int height)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) {
        return false;
    }
    std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    bool written
        = std::fprintf(file.get(),
              "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", width, height)
            > 0
        && std::fwrite(rgba, 1, size, file.get()) == size;
    return std::fclose(file.release()) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: graphonite-decode INPUT OUTPUT.pam\n");
        return 2;
    }
    const char* input = argv[1];
    const char* output = argv[2];
    // Only regular files: opening a FIFO or a device could wait forever.
    struct stat status { };
    if (::stat(input, &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fprintf(stderr, "graphonite-decode: %s: rejected: not a readable regular file\n", input);
        return 1;
    }
    initImageDecoders();
    useBmpDecoder();
    usePngDecoder();
    useJpegDecoder();
    if (openImageFile(input) != 1) {
        std::fprintf(stderr, "graphonite-decode: %s: rejected: %s\n", input, lastDecodeFailure());
        return 1;
    }
    int width = decodedWidth();
    int height = decodedHeight();
    std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    std::unique_ptr<std::uint8_t[]> rgba(new (std::nothrow) std::uint8_t[size]);
    if (!rgba) {
        finishDecoding();
        std::fprintf(
            stderr, "graphonite-decode: %s: rejected: no memory for %d x %d pixels\n", input, width, height);
        return 1;
    }
    int result = readDecodedRowsAsRgba(rgba.get());
    if (result < 0) {
        std::fprintf(stderr, "graphonite-decode: %s: rejected: %s\n", input, lastDecodeFailure());
        return 1;
    }
    if (result == 0) {
        std::fprintf(stderr, "graphonite-decode: %s: warning: %s; missing rows are opaque black\n", input,
            lastDecodeFailure());
    }
    if (!writePam(output, rgba.get(), width, height)) {
        std::fprintf(stderr, "graphonite-decode: %s: cannot write the output file\n", output);
        return 1;
    }
    return 0;
}
