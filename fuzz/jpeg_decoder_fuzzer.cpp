// libFuzzer target: the JPEG decoder alone, every mode (see fuzz_decode.h).

#include "fuzz_decode.h"

#include "imaging/decoders/image_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzDecode(data, size, useJpegDecoder);
    return 0;
}
