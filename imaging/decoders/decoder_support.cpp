#include "imaging/decoders/decoder_support.h"

#include <cstdio>

void adoptDecoderData(DecodeState& state, std::unique_ptr<DecoderData> data)
{
    releaseDecoderData(state);
    state.privateData = data.release();
}

void releaseDecoderData(DecodeState& state)
{
    std::unique_ptr<DecoderData> owned(state.privateData);
    state.privateData = nullptr;
}

std::size_t peekSourceBytes(DecodeState& state, std::span<std::uint8_t> out)
{
    if (state.fromMemory != 0) {
        std::size_t count = state.dataSize < out.size() ? state.dataSize : out.size();
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = state.data[i];
        }
        return count;
    }
    if (state.file == nullptr) {
        return 0;
    }
    long position = std::ftell(state.file);
    std::size_t count = std::fread(out.data(), 1, out.size(), state.file);
    if (position >= 0) {
        std::fseek(state.file, position, SEEK_SET);
    }
    return count;
}

std::span<const std::uint8_t> wholeSource(DecodeState& state, std::vector<std::uint8_t>& storage)
{
    if (state.fromMemory != 0) {
        return { state.data, state.dataSize };
    }
    storage.clear();
    if (state.file == nullptr || std::fseek(state.file, 0, SEEK_END) != 0) {
        return {};
    }
    long size = std::ftell(state.file);
    if (size <= 0 || size > MAX_SOURCE_FILE_BYTES || std::fseek(state.file, 0, SEEK_SET) != 0) {
        return {};
    }
    storage.resize(static_cast<std::size_t>(size));
    // A file that shrank since ftell gives fewer bytes; the decoders see the true count.
    storage.resize(std::fread(storage.data(), 1, storage.size(), state.file));
    return { storage.data(), storage.size() };
}
