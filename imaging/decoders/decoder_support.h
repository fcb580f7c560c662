#pragma once

#include "imaging/decoders/image_decoding.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// What every decoder needs from the decode state: its private data, the bytes of the source and
// the place of a row in the caller's buffer.

// Hands the decoder's private data to the state; the state holds it until releaseDecoderData.
void adoptDecoderData(DecodeState& state, std::unique_ptr<DecoderData> data);
// Frees the decoder's private data (nothing when there is none).
void releaseDecoderData(DecodeState& state);

template <typename T> T& decoderData(DecodeState& state)
{
    return static_cast<T&>(*state.privateData);
}

// The first bytes of the source (at most out.size()), without moving a file source's position
// for later readers; returns how many there were.
std::size_t peekSourceBytes(DecodeState& state, std::span<std::uint8_t> out);

// The whole source: a memory source is used in place; a file source is read from its start into
// storage (files above MAX_SOURCE_FILE_BYTES are refused). Empty on failure.
inline constexpr std::int64_t MAX_SOURCE_FILE_BYTES = std::int64_t { 1 } << 30;
std::span<const std::uint8_t> wholeSource(DecodeState& state, std::vector<std::uint8_t>& storage);

// Where decoded row `row` (counted from the top of the picture) goes in the caller's buffer.
inline std::uint8_t* decodedRowAddress(
    std::uint8_t* buffer, std::size_t stride, int row, int height, int flags)
{
    int place = (flags & DECODE_BOTTOM_UP) != 0 ? height - 1 - row : row;
    return buffer + static_cast<std::size_t>(place) * stride;
}

// Remembers why the current load failed, for lastDecodeFailure().
void noteDecodeFailure(const char* reason);
