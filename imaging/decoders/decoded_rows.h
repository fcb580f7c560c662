#pragma once

#include "imaging/decoders/image_decoding.h"

#include <cstddef>
#include <cstdint>

// Where a decoder puts the rows it makes, in order from the top: at their places in the caller's
// buffer (readRows), or one at a time into a row of the registry's that goes on to a
// DecodedRowSink as soon as it is complete (readRowsInOrder). The decoder asks for a row's place,
// fills it and reports it complete; a row that broken data leaves unfinished is not reported.
class DecodedRows {
public:
    // Row r at buffer + r * stride, or from the bottom up with DECODE_BOTTOM_UP in flags.
    DecodedRows(std::uint8_t* buffer, std::size_t stride, int height, int flags);
    // Every row goes through `row` (width pixels of pixelBytes bytes, 3 or 4) to the sink.
    DecodedRows(DecodedRowSink& sink, std::uint8_t* row, int width, int height, int pixelBytes);

    bool toSink() const { return m_sink != nullptr; }
    // The place to write row r into. For a sink, r is the row after the last complete one, and
    // its place starts out opaque black: a row that the data breaks off in ends as it would in a
    // buffer that readDecodedRowsAsRgba prepared.
    std::uint8_t* place(int row);
    // Row r is written.
    void complete(int row);
    // For a sink after broken data: the row begun and not completed as it stands, then opaque
    // black rows up to the last. Nothing once every row is complete.
    void completeWithBlack();
    // Rows the decoder reported complete; for a sink, those handed on before completeWithBlack.
    int deliveredRows() const { return m_sink != nullptr ? m_completeRows : m_delivered; }

private:
    void fillBlack();

    std::uint8_t* m_buffer = nullptr;
    std::size_t m_stride = 0;
    int m_height = 0;
    int m_flags = 0;
    DecodedRowSink* m_sink = nullptr;
    int m_width = 0;
    int m_pixelBytes = 0;
    int m_completeRows = 0; // sink: rows handed on
    bool m_begun = false; // sink: the row after them has been given out
    int m_delivered = 0; // buffer: rows reported complete
};
