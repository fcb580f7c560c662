#include "imaging/decoders/jpeg_error_manager.h"

#include "imaging/decoders/decoder_support.h"

#include <array>
#include <cstddef>

#include <jerror.h>

namespace {

// Real progressive files have a few dozen scans at most.
constexpr int MAX_SCANS = 1000;

JpegErrorManager& managerOf(j_common_ptr info)
{
    // library is the first member, and the library hands back the pointer it was given.
    return *reinterpret_cast<JpegErrorManager*>(info->err);
}

[[noreturn]] void failJpegRead(j_common_ptr info)
{
    std::array<char, JMSG_LENGTH_MAX> message {};
    info->err->format_message(info, message.data());
    std::array<char, JMSG_LENGTH_MAX + 8> text {};
    std::snprintf(text.data(), text.size(), "JPEG: %s", message.data());
    noteDecodeFailure(text.data());
    std::longjmp(managerOf(info).jump, 1);
}

void dropJpegMessage(j_common_ptr)
{
}

void noteJpegMessage(j_common_ptr info, int level)
{
    if (level >= 0) {
        return; // trace messages
    }
    info->err->num_warnings++;
    if (info->err->msg_code == JWRN_HIT_MARKER) {
        managerOf(info).dataLacking = true;
    }
}

void guardScanCount(j_common_ptr info)
{
    if (info->is_decompressor == 0) {
        return;
    }
    auto* decompressor = reinterpret_cast<j_decompress_ptr>(info);
    if (decompressor->input_scan_number > MAX_SCANS) {
        noteDecodeFailure("JPEG: too many scans");
        std::longjmp(managerOf(info).jump, 1);
    }
}

} // namespace

void attachJpegErrorManager(jpeg_decompress_struct& decompressor, JpegErrorManager& manager)
{
    static_assert(offsetof(JpegErrorManager, library) == 0);
    decompressor.err = jpeg_std_error(&manager.library);
    manager.library.error_exit = failJpegRead;
    manager.library.output_message = dropJpegMessage;
    manager.library.emit_message = noteJpegMessage;
    manager.dataLacking = false;
    manager.progress.progress_monitor = guardScanCount;
    decompressor.progress = &manager.progress;
}
